#include "tests/e2e/stand_ins.h"

namespace e2e {
namespace {

// The one library the tool loads from its current directory.
constexpr char RegisterLibrary[] = "KAV.DLL";

// Links every library of one directory into place, replacing what is there.
void Place(const std::filesystem::path& from, const std::set<std::string>& absent,
           const std::filesystem::path& workDirectory, const std::filesystem::path& libraryDirectory) {
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(from)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || absent.count(name) != 0) {
      continue;
    }
    const std::filesystem::path link = (name == RegisterLibrary ? workDirectory : libraryDirectory) / name;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(entry.path(), link);
  }
}

} // namespace

void StageStandIns(const ToolRunner& runner, const StandIns& standIns, const std::filesystem::path& workDirectory,
                   const std::filesystem::path& libraryDirectory) {
  std::filesystem::create_directories(libraryDirectory);
  Place(runner.StandInDirectory(), standIns.absent, workDirectory, libraryDirectory);
  for (const std::string& missingExport : standIns.lacking) {
    Place(runner.VariantDirectory() / missingExport, standIns.absent, workDirectory, libraryDirectory);
  }
}

} // namespace e2e
