#include "tests/e2e/wine_server.h"

#include <fstream>
#include <iterator>
#include <string_view>

namespace e2e {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The value of a variable in a process's environment (NUL-separated
// NAME=value entries), empty when it is not set.
std::string VariableOf(const std::string& environment, std::string_view name) {
  size_t start = 0;
  while (start < environment.size()) {
    size_t end = environment.find('\0', start);
    if (end == std::string::npos) {
      end = environment.size();
    }
    const std::string_view entry(environment.data() + start, end - start);
    if (entry.size() > name.size() && entry.substr(0, name.size()) == name && entry[name.size()] == '=') {
      return std::string(entry.substr(name.size() + 1));
    }
    start = end + 1;
  }
  return {};
}

} // namespace

std::string WineServerProcess(const std::filesystem::path& prefix) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    // The 64-bit server's process name is "wineserver64".
    if (ReadAll(entry.path() / "comm").rfind("wineserver", 0) != 0) {
      continue;
    }
    const std::string served = VariableOf(ReadAll(entry.path() / "environ"), "WINEPREFIX");
    if (!served.empty() && std::filesystem::equivalent(served, prefix, error)) {
      return entry.path().filename().string();
    }
  }
  return {};
}

} // namespace e2e
