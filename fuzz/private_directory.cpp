#include "fuzz/private_directory.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz {
namespace {

namespace fs = std::filesystem;

fs::path Root;
fs::path RunDirectory;

void RemoveRoot() {
  std::error_code ignored;
  fs::current_path(Root.parent_path(), ignored);
  fs::remove_all(Root, ignored);
}

// False for a name that is absolute or whose ".." components climb above
// the directory it is taken against.
bool StaysInside(const std::string& name) {
  if (!name.empty() && name.front() == '/') {
    return false;
  }
  int depth = 0;
  for (const fs::path& component : fs::path(name)) {
    if (component == "..") {
      --depth;
    } else if (component != "." && !component.empty()) {
      ++depth;
    }
    if (depth < 0) {
      return false;
    }
  }
  return true;
}

} // namespace

void EnterPrivateDirectory() {
  std::string pattern = (fs::temp_directory_path() / "rxflash-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  Root = pattern;
  RunDirectory = Root / "run";
  fs::create_directory(RunDirectory);
  fs::current_path(RunDirectory);
  std::atexit(RemoveRoot);
}

std::string ContainedName(const std::string& name) {
  if (StaysInside(name)) {
    return name;
  }
  std::string contained = name;
  for (char& c : contained) {
    if (c == '/') {
      c = '_';
    }
  }
  // Only ".." itself is left that points out of the run directory: at the
  // private root, which is still the target's own.
  return contained;
}

void Place(const std::string& containedName, Placement placement, const std::vector<uint8_t>& contents) {
  if (containedName.empty() || placement == Placement::Nothing) {
    return;
  }
  const fs::path path(containedName);
  std::error_code ignored;
  if (path.has_parent_path()) {
    fs::create_directories(path.parent_path(), ignored);
  }
  if (placement == Placement::Directory) {
    fs::create_directory(path, ignored);
    return;
  }
  {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(contents.size()));
  }
  if (placement == Placement::ReadOnlyFile) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, ignored);
  }
}

void ClearRunDirectory() {
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::directory_iterator(RunDirectory, ignored)) {
    fs::remove_all(entry.path(), ignored);
  }
}

} // namespace fuzz
