// Starts the native executable with fork and exec. Standard input is a file
// opened here and inherited by the child, so the offset the child leaves
// behind tells how much of it was read.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifdef __linux__
#include <linux/capability.h>
#include <sys/prctl.h>
#endif

#include "tests/e2e/tool_runner.h"

extern char** environ;

namespace e2e {
namespace {

constexpr char LibrarySearchVariable[] = "LD_LIBRARY_PATH";
constexpr char ScenarioVariable[] = "RXFLASH_SIM_SCENARIO";

class FileDescriptor {
public:
  FileDescriptor(const std::filesystem::path& path, int flags) : Fd(open(path.c_str(), flags | O_CLOEXEC, 0644)) {}
  ~FileDescriptor() {
    if (Fd >= 0) {
      close(Fd);
    }
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  const int Fd;
};

std::vector<std::string> ChildEnvironment(const Invocation& invocation) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    if (name != LibrarySearchVariable && name != ScenarioVariable) {
      environment.emplace_back(text);
    }
  }
  environment.push_back(std::string(LibrarySearchVariable) + "=" + invocation.libraryDirectory.string());
  environment.push_back(std::string(ScenarioVariable) + "=" + invocation.scenario.string());
  return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) {
    pointers.push_back(s.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

// Waits for the child until the deadline; kills it then.
int AwaitChild(pid_t child, std::chrono::seconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  int status = 0;
  while (true) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child || (done < 0 && errno != EINTR)) {
      return status;
    }
    if (std::chrono::steady_clock::now() >= end) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

class NativeRunner final : public ToolRunner {
public:
  NativeRunner() {
#ifdef __linux__
    // Root opens any file for reading and writing. Children started from
    // here on lose that power, so a file without write or read permission is
    // closed to the tool as it would be to a user. This process keeps it.
    if (geteuid() == 0) {
      prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
      prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    }
#endif
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
#ifdef __linux__
    return geteuid() != 0 || (prctl(PR_CAPBSET_READ, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
                              prctl(PR_CAPBSET_READ, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0);
#else
    return geteuid() != 0;
#endif
  }

  Completion Run(const Invocation& invocation) const override {
    std::string program = RXFLASH_EXECUTABLE;
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    std::vector<char*> argv = Pointers(arguments);
    std::vector<std::string> environment = ChildEnvironment(invocation);
    std::vector<char*> envp = Pointers(environment);
    const std::string workDirectory = invocation.workDirectory.string();

    FileDescriptor input(invocation.input, O_RDONLY);
    FileDescriptor output(invocation.output, O_WRONLY | O_CREAT | O_TRUNC);
    FileDescriptor errors(invocation.errors, O_WRONLY | O_CREAT | O_TRUNC);
    if (input.Fd < 0 || output.Fd < 0 || errors.Fd < 0) {
      return {};
    }

    const pid_t child = fork();
    if (child == 0) {
      // Only async-signal-safe calls between fork and exec.
      if (chdir(workDirectory.c_str()) == 0 && dup2(input.Fd, STDIN_FILENO) >= 0 &&
          dup2(output.Fd, STDOUT_FILENO) >= 0 && dup2(errors.Fd, STDERR_FILENO) >= 0) {
        execve(program.c_str(), argv.data(), envp.data());
      }
      _exit(127);
    }
    if (child < 0) {
      return {};
    }
    const int status = AwaitChild(child, invocation.deadline);

    Completion completion;
    completion.finished = WIFEXITED(status);
    completion.exitStatus = static_cast<int8_t>(WEXITSTATUS(status));
    const off_t offset = lseek(input.Fd, 0, SEEK_CUR);
    completion.inputConsumed = offset < 0 ? 0 : static_cast<std::uintmax_t>(offset);
    return completion;
  }
};

} // namespace

const ToolRunner& SelectedRunner() {
  static const NativeRunner runner;
  return runner;
}

} // namespace e2e
