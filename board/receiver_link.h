// Register operations that route the receiver's link, through the entries
// of the register-access library. Each needs Load and DetectChip to have
// succeeded, and the last four need MapChipRegisters.
#pragma once

#include <cstdint>

inline constexpr uint32_t NvidiaLinkRegister = 0xE280;
inline constexpr uint32_t AmdGpioRegister0 = 0x6410;
inline constexpr uint32_t AmdGpioRegister1 = 0x6414;
inline constexpr uint32_t AmdGpioRegister2 = 0x6418;
inline constexpr uint32_t AmdReceiverStatusRegister = 0x641C;

// The 4-bit field in bits 8 to 11 of the NVIDIA link register and of the
// AMD status register.
inline constexpr uint32_t LinkFieldShift = 8;
inline constexpr uint32_t LinkFieldMask = 0xFu << LinkFieldShift;
inline constexpr uint32_t LinkOpen = 3;   // receiver talked to
inline constexpr uint32_t LinkClosed = 2; // afterwards
inline constexpr uint32_t ReceiverBusyValue = 1;

// Makes the found chip's registers reachable.
void MapChipRegisters();
// NVIDIA: the link field to 3, the rest of the register kept.
void OpenReceiverLink();
// NVIDIA: the link field to 2, the rest of the register kept.
void CloseReceiverLink();
// AMD: the three general-purpose I/O writes.
void SetAmdReceiverGpio();
// AMD: true while the receiver is busy with a sector.
bool ReceiverBusy();

// The register value with bits 8 to 11 replaced by field.
constexpr uint32_t WithLinkField(uint32_t value, uint32_t field) {
  return (value & ~LinkFieldMask) | (field << LinkFieldShift & LinkFieldMask);
}
