// Starts the 64-bit Windows build under Wine: rxflash.exe is copied into the
// run's library directory, so that the driver stand-ins and simboard.dll lie
// beside it, where Windows looks first; KAV.DLL lies in the current
// directory, from where the tool loads it by full path. USER32 is Wine's own.
#include <fstream>
#include <iterator>

#include "tests/e2e/child_process.h"
#include "tests/e2e/file_permissions.h"
#include "tests/e2e/tool_runner.h"
#include "tests/e2e/wine_server.h"

namespace e2e {
namespace {

constexpr char ExecutableName[] = "rxflash.exe";

// Wine's drive Z: is the host's root directory.
std::string WindowsPath(const std::filesystem::path& path) {
  std::string text = "Z:" + std::filesystem::absolute(path).string();
  for (char& c : text) {
    c = c == '/' ? '\\' : c;
  }
  return text;
}

// The tool prints "\n"; Windows' text-mode standard output writes it as
// "\r\n". That is the platform's rendering of the same text, so the bytes
// are turned back into the program's own before they are compared.
void NormaliseLineEnds(const std::filesystem::path& path) {
  std::string text;
  {
    std::ifstream file(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  std::string normal;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      normal += text[i];
    }
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << normal;
}

class WineRunner final : public ToolRunner {
public:
  WineRunner() {
    DropPermissionOverride();
  }

  std::filesystem::path StandInDirectory() const override {
    return RXFLASH_WINDOWS_SIM_LIBS_DIR;
  }

  std::filesystem::path VariantDirectory() const override {
    return RXFLASH_WINDOWS_SIM_VARIANTS_DIR;
  }

  std::filesystem::path LibraryDirectory(const std::filesystem::path& runDirectory) const override {
    return runDirectory / "bin";
  }

  // The Wine server opens files for the tool; one not yet running is
  // started by the tool's run, as this process's child.
  bool ObeysFilePermissions() const override {
    const std::string server = WineServerProcess(RXFLASH_WINE_PREFIX);
    return HeldToFilePermissions() && (server.empty() || HeldToFilePermissions(server));
  }

  Completion Run(const Invocation& invocation) const override {
    const std::filesystem::path executable = invocation.libraryDirectory / ExecutableName;
    std::filesystem::copy_file(RXFLASH_WINDOWS_EXECUTABLE, executable,
                               std::filesystem::copy_options::overwrite_existing);
    const std::string loader = RXFLASH_WINE_LOADER;
    std::vector<std::string> arguments{loader, executable.string()};
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    const Completion completion =
        RunChild(loader, std::move(arguments),
                 EnvironmentWith({{"WINEPREFIX", RXFLASH_WINE_PREFIX},
                                  {"WINEDEBUG", "-all"},
                                  {"RXFLASH_SIM_SCENARIO", WindowsPath(invocation.scenario)}}),
                 invocation);
    NormaliseLineEnds(invocation.output);
    return completion;
  }
};

} // namespace

const ToolRunner& SelectedRunner() {
  static const WineRunner runner;
  return runner;
}

} // namespace e2e
