// How the firmware-image fuzz target reads one input: the image file's name,
// what is put under that name, and the file's bytes.
//
//   bytes 0-1   name length, little-endian, taken modulo 301 (0 to 300)
//   byte 2      placement, low two bits (see Placement)
//   next bytes  the name, as many as the length says and the input holds
//   the rest    the file's bytes, at most 40000 of them
//
// The name is used as a C string, so a NUL byte in it ends it early.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

inline constexpr size_t MaxNameLength = 300;
inline constexpr size_t MaxFileSize = 40000;
inline constexpr size_t HeaderSize = 3;

enum class Placement : uint8_t {
  File,         // a regular file with the bytes
  Nothing,      // nothing: the name is missing
  Directory,    // a directory under the name
  ReadOnlyFile, // a regular file with the bytes, without write permission
};

struct FuzzInput {
  std::string name; // up to its first NUL
  Placement placement = Placement::File;
  std::vector<uint8_t> contents;
};

FuzzInput DecodeInput(const uint8_t* data, size_t size);

// The opposite, for writing seeds and regression inputs.
std::vector<uint8_t> EncodeInput(const std::string& name, Placement placement, const std::vector<uint8_t>& contents);

} // namespace fuzz
