#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cstring>

namespace fuzz {

FuzzInput DecodeInput(const uint8_t* data, size_t size) {
  FuzzInput input;
  if (size < HeaderSize) {
    return input;
  }
  const size_t declared = (size_t{data[0]} | size_t{data[1]} << 8) % (MaxNameLength + 1);
  input.placement = static_cast<Placement>(data[2] & 3);
  const size_t nameBytes = std::min(declared, size - HeaderSize);
  const char* name = reinterpret_cast<const char*>(data + HeaderSize);
  input.name.assign(name, strnlen(name, nameBytes));
  const uint8_t* contents = data + HeaderSize + nameBytes;
  const size_t contentsSize = std::min(size - HeaderSize - nameBytes, MaxFileSize);
  input.contents.assign(contents, contents + contentsSize);
  return input;
}

std::vector<uint8_t> EncodeInput(const std::string& name, Placement placement, const std::vector<uint8_t>& contents) {
  std::vector<uint8_t> bytes;
  bytes.reserve(HeaderSize + name.size() + contents.size());
  bytes.push_back(static_cast<uint8_t>(name.size() & 0xFF));
  bytes.push_back(static_cast<uint8_t>(name.size() >> 8));
  bytes.push_back(static_cast<uint8_t>(placement));
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.insert(bytes.end(), contents.begin(), contents.end());
  return bytes;
}

} // namespace fuzz
