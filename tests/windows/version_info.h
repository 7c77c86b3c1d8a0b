// The contents of a Windows version resource (VS_VERSIONINFO).
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

struct VersionInfo {
  std::string FileVersion;                    // from the fixed part, "a.b.c.d"
  std::string ProductVersion;                 // from the fixed part, "a.b.c.d"
  std::map<std::string, std::string> Strings; // every StringFileInfo value, by key
};

// Throws std::runtime_error when the resource is malformed.
VersionInfo ParseVersionInfo(std::span<const uint8_t> resource);
