#include "tests/e2e/file_permissions.h"

#include <fstream>
#include <linux/capability.h>
#include <sstream>
#include <sys/prctl.h>
#include <unistd.h>

namespace e2e {

void DropPermissionOverride() {
  if (geteuid() == 0) {
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
  }
}

bool HeldToFilePermissions(const std::string& process) {
  // /proc/<id>/status: "Uid:" real, effective, ...; "CapBnd:" the bounding
  // set in hexadecimal.
  std::ifstream status("/proc/" + process + "/status");
  unsigned long realUid = 0;
  unsigned long effectiveUid = 0;
  unsigned long long bounding = ~0ull;
  for (std::string line; std::getline(status, line);) {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "Uid:") {
      fields >> realUid >> effectiveUid;
    } else if (key == "CapBnd:") {
      fields >> std::hex >> bounding;
    }
  }
  constexpr unsigned long long Override = 1ull << CAP_DAC_OVERRIDE | 1ull << CAP_DAC_READ_SEARCH;
  return status.eof() && (effectiveUid != 0 || (bounding & Override) == 0);
}

} // namespace e2e
