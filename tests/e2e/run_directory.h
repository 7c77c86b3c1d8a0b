// A fresh directory for one run of the tool, removed again afterwards unless
// the test failed, so what the run left can be looked at.
#pragma once

#include <filesystem>

namespace e2e {

class RunDirectory {
public:
  RunDirectory();
  ~RunDirectory();
  RunDirectory(const RunDirectory&) = delete;
  RunDirectory& operator=(const RunDirectory&) = delete;

  const std::filesystem::path& Path() const {
    return Root;
  }

private:
  std::filesystem::path Root;
};

} // namespace e2e
