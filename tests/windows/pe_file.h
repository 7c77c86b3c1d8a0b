// A small reader of Windows PE executables: the headers, the imported
// libraries and the resources, as far as the tests of the Windows build
// need them. Reads past the end of the file throw std::runtime_error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr uint16_t PeMachineI386 = 0x014C;
inline constexpr uint16_t PeMachineAmd64 = 0x8664;
inline constexpr uint16_t PeSubsystemConsole = 3;
inline constexpr uint16_t ResourceTypeVersion = 16;
inline constexpr uint16_t ResourceTypeManifest = 24;

class PeFile {
public:
  // Reads and checks the headers; throws when the file is no PE image.
  explicit PeFile(std::vector<uint8_t> bytes);
  static PeFile Load(const std::string& path);

  uint16_t Machine() const {
    return machine_;
  }
  uint16_t Subsystem() const {
    return subsystem_;
  }

  // The names of the libraries in the import directory, in file order.
  std::vector<std::string> ImportedLibraries() const;

  // The data of resource (type, id) in its first language; empty when the
  // file has no such resource.
  std::span<const uint8_t> Resource(uint16_t type, uint16_t id) const;

private:
  struct Section {
    uint32_t VirtualAddress;
    uint32_t VirtualSize;
    uint32_t RawOffset;
    uint32_t RawSize;
  };
  struct Directory {
    uint32_t Address;
    uint32_t Size;
  };

  uint32_t FileOffset(uint32_t rva) const;
  std::string StringAt(uint32_t rva) const;
  // The resource section from its start to the end of the file.
  std::span<const uint8_t> ResourceSection() const;
  // The entry with the given id in the resource directory at offset
  // `directory` of the resource section; 0 when there is none, else the
  // entry's raw target word.
  uint32_t ResourceEntry(uint32_t directory, uint16_t id, bool any) const;

  std::vector<uint8_t> bytes_;
  uint16_t machine_ = 0;
  uint16_t subsystem_ = 0;
  Directory imports_{};
  Directory resources_{};
  std::vector<Section> sections_;
};

// Little-endian reads, bounds-checked.
uint16_t ReadU16(std::span<const uint8_t> bytes, size_t offset);
uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset);
