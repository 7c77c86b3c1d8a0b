// The Flash Receiver as its I2C peer sees it: pure logic, no bus and no
// registers. It answers a one-byte version read, gathers ten-byte packet
// writes into 4100-byte sector streams, stores each complete stream's 4096
// data bytes in the sector its trailer names, and answers the next one-byte
// read with the 8-bit sum of what it stored. Faults are injected from the
// settings. What it makes of unusual traffic is kept as events.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include <nlohmann/json.hpp>

namespace sim {

struct ReceiverPacket {
  uint32_t Sector; // stream ordinal, counted from 0 in order of arrival
  uint32_t Packet;
};

struct ReceiverSettings {
  uint8_t Version = 1;
  bool FailVersionRead = false;
  std::optional<ReceiverPacket> FailWrite;
  std::set<uint32_t> FailChecksumRead;
  std::set<uint32_t> WrongChecksum;
  uint32_t BusyPolls = 0;
  bool BusyForever = false;
};

class ReceiverModel {
public:
  static constexpr uint8_t DeviceAddress = 0x22;
  static constexpr size_t PacketSize = 10;
  static constexpr size_t SectorSize = 4096;
  static constexpr size_t StreamSize = 4100;
  static constexpr size_t TrailerPosition = 4096;
  static constexpr size_t SectorCount = 7;
  static constexpr uint8_t ErasedByte = 0xFF;

  explicit ReceiverModel(ReceiverSettings settings = {});

  // A write transaction addressed to the receiver. False when it is not
  // acknowledged.
  bool Write(std::span<const uint8_t> data);

  // A read transaction addressed to the receiver; on acknowledge the answer
  // goes into byte 0 of the buffer (when it has one). False when it is not
  // acknowledged; the buffer is then untouched.
  bool Read(std::span<uint8_t> buffer);

  // One test of the busy status; true while busy. Each true answer of a
  // limited busy time uses one poll.
  bool PollBusy();

  const std::array<uint8_t, SectorCount * SectorSize>& Flash() const {
    return flash_;
  }

  // The events since the last call, oldest first: JSON objects with an
  // "event" key (see sim/README.md, receiver events).
  std::vector<nlohmann::json> TakeEvents();

private:
  void CompleteStream();
  void Note(nlohmann::json event);

  ReceiverSettings settings_;
  std::array<uint8_t, SectorCount * SectorSize> flash_;
  std::array<uint8_t, StreamSize> stream_{};
  size_t received_ = 0;
  uint32_t streamOrdinal_ = 0;
  bool checksumPending_ = false;
  uint8_t pendingChecksum_ = 0;
  uint32_t pendingStream_ = 0;
  uint32_t busyPollsLeft_ = 0;
  bool storedAny_ = false;
  std::vector<nlohmann::json> events_;
};

// The sector a trailer byte names: (trailer + 15) mod 256, valid when below
// ReceiverModel::SectorCount.
constexpr uint32_t TrailerSector(uint8_t trailer) {
  return static_cast<uint8_t>(trailer + 15u);
}

} // namespace sim
