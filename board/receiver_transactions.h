// The three kinds of transaction the tool makes with the receiver, and the
// records that carry them. Each Set function fills every field its kind
// needs, so records kept across transactions always go out right.
#pragma once

#include <cstdint>

#include "board/i2c_records.h"

// The receiver's address in the form both records use: the 7-bit bus
// address 0x11 shifted left by one.
inline constexpr uint8_t ReceiverDeviceAddress = 0x22;
inline constexpr uint32_t ReceiverBusSpeed = 45;
inline constexpr int32_t PacketWriteSize = 10;

struct ReceiverTransaction {
  NV_I2C_INFO Info;
  uint32_t Extension;
  AtiI2CRequest Request;
  uint8_t RegisterAddress; // always 0; no register address is sent
};

// One byte into buffer, whose first byte receives the version (NVIDIA only).
void SetVersionRead(ReceiverTransaction& transaction, uint8_t* buffer);
// One 10-byte packet from packet.
void SetPacketWrite(ReceiverTransaction& transaction, uint8_t* packet);
// One byte into the first byte of packet.
void SetChecksumRead(ReceiverTransaction& transaction, uint8_t* packet);
