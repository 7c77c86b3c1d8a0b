#include "fuzz/fuzzer_arguments.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view ArtifactPrefix = "-artifact_prefix=";
constexpr std::string_view PathFlags[] = {ArtifactPrefix, "-exact_artifact_path=", "-dict="};

std::vector<std::string> Arguments;
std::vector<char*> Pointers;

// Absolute, and keeping a trailing separator: libFuzzer prepends the artifact
// prefix to file names as text.
std::string Absolute(std::string_view path) {
  const bool directory = !path.empty() && path.back() == '/';
  std::string absolute = fs::absolute(fs::path(path)).lexically_normal().string();
  if (directory && absolute.back() != '/') {
    absolute += '/';
  }
  return absolute;
}

std::string Rewritten(std::string_view argument) {
  if (argument.empty()) {
    return std::string(argument);
  }
  if (argument.front() != '-') {
    return Absolute(argument);
  }
  for (std::string_view flag : PathFlags) {
    if (argument.substr(0, flag.size()) == flag) {
      return std::string(flag) + Absolute(argument.substr(flag.size()));
    }
  }
  return std::string(argument);
}

} // namespace

void MakePathsAbsolute(int* argc, char*** argv) {
  bool prefixGiven = false;
  for (int i = 0; i < *argc; ++i) {
    const std::string_view argument = (*argv)[i];
    Arguments.push_back(i == 0 ? std::string(argument) : Rewritten(argument));
    prefixGiven = prefixGiven || argument.substr(0, ArtifactPrefix.size()) == ArtifactPrefix;
  }
  if (!prefixGiven) {
    Arguments.push_back(std::string(ArtifactPrefix) + Absolute("./"));
  }
  for (std::string& argument : Arguments) {
    Pointers.push_back(argument.data());
  }
  Pointers.push_back(nullptr);
  *argc = static_cast<int>(Arguments.size());
  *argv = Pointers.data();
}

} // namespace fuzz
