#include "tests/windows/version_info.h"

#include <algorithm>
#include <stdexcept>

#include "tests/windows/pe_file.h"

namespace {

constexpr uint32_t FixedInfoSignature = 0xFEEF04BD;
constexpr uint16_t TextValue = 1;

// One node of the version resource's tree: wLength, wValueLength, wType, a
// UTF-16 key, then the value and the children, each aligned to 4 bytes.
struct Node {
  std::string Key;
  std::span<const uint8_t> Value;
  std::span<const uint8_t> Children;
};

size_t Align4(size_t offset) {
  return (offset + 3) & ~size_t{3};
}

// UTF-16 text up to its NUL or the end of `bytes`; characters beyond ASCII
// become '?'. Leaves `offset` after the NUL.
std::string Utf16Text(std::span<const uint8_t> bytes, size_t& offset) {
  std::string text;
  for (; offset + 2 <= bytes.size(); offset += 2) {
    uint16_t unit = ReadU16(bytes, offset);
    if (unit == 0) {
      offset += 2;
      break;
    }
    text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return text;
}

Node ParseNode(std::span<const uint8_t> bytes) {
  size_t length = ReadU16(bytes, 0);
  if (length < 6 || length > bytes.size()) {
    throw std::runtime_error("version resource node of a wrong length");
  }
  bytes = bytes.first(length);
  // Text values count their length in UTF-16 units, binary ones in bytes.
  size_t valueLength = ReadU16(bytes, 2) * (ReadU16(bytes, 4) == TextValue ? 2u : 1u);
  size_t offset = 6;
  Node node;
  node.Key = Utf16Text(bytes, offset);
  size_t value = std::min(Align4(offset), length);
  size_t valueEnd = std::min(value + valueLength, length);
  node.Value = bytes.subspan(value, valueEnd - value);
  node.Children = bytes.subspan(std::min(Align4(valueEnd), length));
  return node;
}

template <typename Visit> void ForEachChild(std::span<const uint8_t> children, Visit visit) {
  size_t offset = 0;
  while (offset + 6 <= children.size()) {
    Node child = ParseNode(children.subspan(offset));
    visit(child);
    offset = Align4(offset + ReadU16(children, offset));
  }
}

std::string VersionText(uint32_t high, uint32_t low) {
  return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
         std::to_string(low & 0xFFFF);
}

} // namespace

VersionInfo ParseVersionInfo(std::span<const uint8_t> resource) {
  Node root = ParseNode(resource);
  if (root.Key != "VS_VERSION_INFO" || ReadU32(root.Value, 0) != FixedInfoSignature) {
    throw std::runtime_error("no VS_VERSION_INFO with a fixed part");
  }
  VersionInfo info;
  info.FileVersion = VersionText(ReadU32(root.Value, 8), ReadU32(root.Value, 12));
  info.ProductVersion = VersionText(ReadU32(root.Value, 16), ReadU32(root.Value, 20));
  ForEachChild(root.Children, [&](const Node& block) {
    if (block.Key != "StringFileInfo") {
      return;
    }
    ForEachChild(block.Children, [&](const Node& table) {
      ForEachChild(table.Children, [&](const Node& string) {
        size_t offset = 0;
        info.Strings[string.Key] = Utf16Text(string.Value, offset);
      });
    });
  });
  return info;
}
