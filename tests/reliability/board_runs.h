// Runs of the tool on a simulated NVIDIA or AMD board, and the console text
// the commands print there.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tests/e2e/tool_run.h"

namespace reliability {

enum class Board { Nvidia, Amd };

inline constexpr char ImageName[] = "fw.bin";
// Standard input of every run: a key wait takes one byte of it.
inline constexpr char KeyInput[] = "xy";

// A board of that vendor, as a machine has it: the other vendor's driver
// library is not installed. `scenario` is merged into the board's.
e2e::ToolRun UpdateRun(Board board, const std::vector<uint8_t>& image, const nlohmann::json& scenario = {});
e2e::ToolRun VersionRun(Board board, const nlohmann::json& scenario = {});

// The two-sector image of the sweep; each sector sums to its own byte 4090,
// the byte a packet buffer holds after the sector's last packet, so a failed
// checksum read would pass for a match if the tool compared that buffer.
std::vector<uint8_t> TwoSectorImage();

// The update's output before its first sector: "AMD VGA GPIO..." on AMD,
// then the banner.
std::string UpdateStart(Board board);

// "\tFirmware sector <n> updating" and its dots: four on NVIDIA, one per busy
// test after the first on AMD.
std::string Progress(Board board, size_t sector, size_t amdDots = 0);

// The verdict lines after a last sector that matched.
std::string Verdict(Board board, bool allSectorsMatched);

// A whole update of `sectors` sectors that all matched.
std::string SuccessfulUpdate(Board board, size_t sectors);

// The version query's output on a board whose receiver answers `version`.
std::string VersionOutput(Board board, int version = 1);

// The version query's output on an NVIDIA board when the version read fails.
std::string VersionReadFailure();

// The line a failed packet write prints: the AMD driver layer's line first.
std::string DownloadFailure(Board board);

// The lines a failed checksum read of sector n prints.
std::string ChecksumReadFailure(Board board, size_t sector);

inline constexpr char SectorSuccess[] = " Success\n";
inline constexpr char SectorFail[] = " FAIL\n";
inline constexpr char UnknownOption[] = "Unknown option!\n";
inline constexpr char KavFailure[] = "Can not initial KAV\n";
inline constexpr char ImageNotFound[] = "\tFirmware is not found\n";

} // namespace reliability
