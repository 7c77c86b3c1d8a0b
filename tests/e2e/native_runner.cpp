// Starts the native executable, with the simulated board's stand-ins found
// through the dynamic loader's search path.
#include "tests/e2e/child_process.h"
#include "tests/e2e/file_permissions.h"
#include "tests/e2e/tool_runner.h"

namespace e2e {
namespace {

class NativeRunner final : public ToolRunner {
public:
  NativeRunner() {
    DropPermissionOverride();
  }

  std::filesystem::path StandInDirectory() const override {
    return SIM_LIBS_DIR;
  }

  std::filesystem::path VariantDirectory() const override {
    return SIM_VARIANTS_DIR;
  }

  std::filesystem::path LibraryDirectory(const std::filesystem::path& runDirectory) const override {
    return runDirectory / "lib";
  }

  bool ObeysFilePermissions() const override {
    return HeldToFilePermissions();
  }

  Completion Run(const Invocation& invocation) const override {
    const std::string program = RXFLASH_EXECUTABLE;
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    return RunChild(program, std::move(arguments),
                    EnvironmentWith({{"LD_LIBRARY_PATH", invocation.libraryDirectory.string()},
                                     {"RXFLASH_SIM_SCENARIO", invocation.scenario.string()}}),
                    invocation);
  }
};

} // namespace

const ToolRunner& SelectedRunner() {
  static const NativeRunner runner;
  return runner;
}

} // namespace e2e
