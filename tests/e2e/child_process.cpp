#include "tests/e2e/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace e2e {
namespace {

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

} // namespace

std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& variables) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& variable : variables) {
      replaced = replaced || name == variable.first;
    }
    if (!replaced) {
      environment.emplace_back(text);
    }
  }
  for (const auto& [name, value] : variables) {
    environment.push_back(name + "=" + value);
  }
  return environment;
}

Completion RunChild(const std::string& program, std::vector<std::string> arguments,
                    std::vector<std::string> environment, const Invocation& invocation) {
  std::vector<char*> argv = Pointers(arguments);
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
    if (chdir(workDirectory.c_str()) == 0 && dup2(input.Fd, STDIN_FILENO) >= 0 && dup2(output.Fd, STDOUT_FILENO) >= 0 &&
        dup2(errors.Fd, STDERR_FILENO) >= 0) {
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

} // namespace e2e
