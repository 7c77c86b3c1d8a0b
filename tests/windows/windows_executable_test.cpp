// What the Windows builds of rxflash.exe carry, read from the executables
// themselves: machine, console subsystem, imported libraries, version
// resource and manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <regex>
#include <set>

#include "tests/windows/pe_file.h"
#include "tests/windows/version_info.h"

namespace {

struct WindowsBuild {
  const char* Name;
  const char* Path; // empty when the toolchain was missing when this build was configured
  const char* Toolchain;
  uint16_t Machine;
  const char* ManifestArchitecture;
};

const WindowsBuild Builds[] = {
    {"x86", RXFLASH_WINDOWS_X86_EXE, "i686-w64-mingw32-g++ (Debian package g++-mingw-w64-i686)", PeMachineI386, "X86"},
    {"x64", RXFLASH_WINDOWS_X64_EXE, "x86_64-w64-mingw32-g++ (Debian package g++-mingw-w64-x86-64)", PeMachineAmd64,
     "amd64"},
};

// Names the case in test listings.
void PrintTo(const WindowsBuild& build, std::ostream* out) {
  *out << build.Name;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

// The value of `attribute` in the first <element ...> of an XML text; empty
// when either is missing.
std::string XmlAttribute(const std::string& xml, const std::string& element, const std::string& attribute) {
  const std::regex pattern("<" + element + R"(\b[^>]*\s)" + attribute + R"(\s*=\s*["']([^"']*)["'])");
  std::smatch match;
  return std::regex_search(xml, match, pattern) ? match[1].str() : std::string();
}

class WindowsExecutable : public testing::TestWithParam<WindowsBuild> {
protected:
  void SetUp() override {
    if (*GetParam().Path == '\0') {
      GTEST_SKIP() << "The " << GetParam().Name << " Windows build was not made: " << GetParam().Toolchain
                   << " was not found when this build was configured.";
    }
    File.emplace(PeFile::Load(GetParam().Path));
  }

  std::optional<PeFile> File;
};

TEST_P(WindowsExecutable, IsAConsoleProgramForItsMachine) {
  EXPECT_EQ(File->Machine(), GetParam().Machine);
  EXPECT_EQ(File->Subsystem(), PeSubsystemConsole);
}

// The compiler's runtime is linked in and USER32 is loaded at run time, so
// the executable imports only what every Windows installation has.
TEST_P(WindowsExecutable, ImportsOnlyKernel32AndTheSystemCRuntime) {
  std::set<std::string> libraries;
  for (const std::string& name : File->ImportedLibraries()) {
    libraries.insert(Upper(name));
  }
  EXPECT_EQ(libraries, (std::set<std::string>{"KERNEL32.DLL", "MSVCRT.DLL"}));
}

TEST_P(WindowsExecutable, VersionResourceSaysVersion1000) {
  std::span<const uint8_t> resource = File->Resource(ResourceTypeVersion, 1);
  ASSERT_FALSE(resource.empty()) << "no version resource";
  VersionInfo version = ParseVersionInfo(resource);
  EXPECT_EQ(version.FileVersion, "1.0.0.0");
  EXPECT_EQ(version.ProductVersion, "1.0.0.0");
  EXPECT_EQ(version.Strings["FileVersion"], "1.0.0.0");
  EXPECT_EQ(version.Strings["ProductVersion"], "1.0.0.0");
}

TEST_P(WindowsExecutable, ManifestAsksForAdministratorRights) {
  std::span<const uint8_t> resource = File->Resource(ResourceTypeManifest, 1);
  ASSERT_FALSE(resource.empty()) << "no manifest with id 1";
  const std::string manifest(resource.begin(), resource.end());
  EXPECT_EQ(XmlAttribute(manifest, "requestedExecutionLevel", "level"), "requireAdministrator");
  EXPECT_EQ(XmlAttribute(manifest, "requestedExecutionLevel", "uiAccess"), "false");
  EXPECT_EQ(XmlAttribute(manifest, "assemblyIdentity", "processorArchitecture"), GetParam().ManifestArchitecture);
}

INSTANTIATE_TEST_SUITE_P(Builds, WindowsExecutable, testing::ValuesIn(Builds),
                         [](const testing::TestParamInfo<WindowsBuild>& info) { return std::string(info.param.Name); });

} // namespace
