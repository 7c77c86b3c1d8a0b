#include "tests/windows/pe_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr uint16_t OptionalMagicPe32 = 0x10B;
constexpr uint16_t OptionalMagicPe32Plus = 0x20B;
constexpr uint32_t ImportDirectoryIndex = 1;
constexpr uint32_t ResourceDirectoryIndex = 2;
constexpr uint32_t ImportDescriptorSize = 20;
constexpr uint32_t SectionHeaderSize = 40;
constexpr uint32_t ResourceSubdirectory = 0x80000000;

void Require(bool condition, const char* what) {
  if (!condition) {
    throw std::runtime_error(what);
  }
}

} // namespace

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t offset) {
  Require(offset <= bytes.size() && bytes.size() - offset >= 2, "read past the end");
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
  return ReadU16(bytes, offset) | static_cast<uint32_t>(ReadU16(bytes, offset + 2)) << 16;
}

PeFile::PeFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
  Require(ReadU16(bytes_, 0) == 0x5A4D, "no MZ header");
  uint32_t pe = ReadU32(bytes_, 0x3C);
  Require(ReadU32(bytes_, pe) == 0x00004550, "no PE signature");
  machine_ = ReadU16(bytes_, pe + 4);
  uint16_t sectionCount = ReadU16(bytes_, pe + 6);
  uint16_t optionalSize = ReadU16(bytes_, pe + 20);

  uint32_t optional = pe + 24;
  uint16_t magic = ReadU16(bytes_, optional);
  Require(magic == OptionalMagicPe32 || magic == OptionalMagicPe32Plus, "unknown optional header");
  subsystem_ = ReadU16(bytes_, optional + 68);
  uint32_t directoryCountOffset = optional + (magic == OptionalMagicPe32 ? 92 : 108);
  uint32_t directoryCount = ReadU32(bytes_, directoryCountOffset);
  auto directory = [&](uint32_t index) {
    if (index >= directoryCount) {
      return Directory{};
    }
    uint32_t entry = directoryCountOffset + 4 + 8 * index;
    return Directory{ReadU32(bytes_, entry), ReadU32(bytes_, entry + 4)};
  };
  imports_ = directory(ImportDirectoryIndex);
  resources_ = directory(ResourceDirectoryIndex);

  uint32_t table = optional + optionalSize;
  for (uint32_t i = 0; i < sectionCount; ++i) {
    uint32_t header = table + i * SectionHeaderSize;
    sections_.push_back({ReadU32(bytes_, header + 12), ReadU32(bytes_, header + 8), ReadU32(bytes_, header + 20),
                         ReadU32(bytes_, header + 16)});
  }
}

PeFile PeFile::Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  Require(file.good(), "cannot open the file");
  return PeFile(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}));
}

uint32_t PeFile::FileOffset(uint32_t rva) const {
  for (const Section& section : sections_) {
    if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.RawSize) {
      return section.RawOffset + (rva - section.VirtualAddress);
    }
  }
  throw std::runtime_error("address outside every section's file data");
}

std::string PeFile::StringAt(uint32_t rva) const {
  std::string text;
  for (uint32_t offset = FileOffset(rva);; ++offset) {
    Require(offset < bytes_.size(), "string runs past the end");
    if (bytes_[offset] == 0) {
      return text;
    }
    text.push_back(static_cast<char>(bytes_[offset]));
  }
}

std::vector<std::string> PeFile::ImportedLibraries() const {
  std::vector<std::string> names;
  if (imports_.Address == 0) {
    return names;
  }
  for (uint32_t descriptor = FileOffset(imports_.Address);; descriptor += ImportDescriptorSize) {
    uint32_t name = ReadU32(bytes_, descriptor + 12);
    if (name == 0) {
      return names;
    }
    names.push_back(StringAt(name));
  }
}

std::span<const uint8_t> PeFile::ResourceSection() const {
  uint32_t offset = FileOffset(resources_.Address);
  Require(offset <= bytes_.size(), "resource section past the end");
  return std::span(bytes_).subspan(offset);
}

uint32_t PeFile::ResourceEntry(uint32_t directory, uint16_t id, bool any) const {
  std::span<const uint8_t> section = ResourceSection();
  uint32_t named = ReadU16(section, directory + 12);
  uint32_t numbered = ReadU16(section, directory + 14);
  for (uint32_t i = 0; i < named + numbered; ++i) {
    uint32_t entry = directory + 16 + 8 * i;
    if (any || (i >= named && ReadU32(section, entry) == id)) {
      return ReadU32(section, entry + 4);
    }
  }
  return 0;
}

std::span<const uint8_t> PeFile::Resource(uint16_t type, uint16_t id) const {
  if (resources_.Address == 0) {
    return {};
  }
  uint32_t types = ResourceEntry(0, type, false);
  if ((types & ResourceSubdirectory) == 0) {
    return {};
  }
  uint32_t languages = ResourceEntry(types & ~ResourceSubdirectory, id, false);
  if ((languages & ResourceSubdirectory) == 0) {
    return {};
  }
  uint32_t data = ResourceEntry(languages & ~ResourceSubdirectory, 0, true);
  Require(data != 0 && (data & ResourceSubdirectory) == 0, "resource without data");
  std::span<const uint8_t> section = ResourceSection();
  uint32_t offset = FileOffset(ReadU32(section, data));
  uint32_t size = ReadU32(section, data + 4);
  Require(offset <= bytes_.size() && bytes_.size() - offset >= size, "resource data past the end");
  return std::span(bytes_).subspan(offset, size);
}
