#include "sim/receiver_model.h"

#include <algorithm>
#include <numeric>

namespace sim {

ReceiverModel::ReceiverModel(ReceiverSettings settings) : settings_(std::move(settings)) {
  flash_.fill(ErasedByte);
}

void ReceiverModel::Note(nlohmann::json event) {
  events_.push_back(std::move(event));
}

std::vector<nlohmann::json> ReceiverModel::TakeEvents() {
  std::vector<nlohmann::json> events;
  events.swap(events_);
  return events;
}

bool ReceiverModel::Write(std::span<const uint8_t> data) {
  if (data.size() != PacketSize) {
    Note({{"event", "packet_length"}, {"size", data.size()}});
    return true;
  }
  if (received_ == 0 && checksumPending_) {
    Note({{"event", "checksum_unread"}, {"stream", pendingStream_}});
    checksumPending_ = false;
  }
  const uint32_t packet = static_cast<uint32_t>(received_ / PacketSize);
  if (settings_.FailWrite && settings_.FailWrite->Sector == streamOrdinal_ && settings_.FailWrite->Packet == packet) {
    Note({{"event", "no_ack"}, {"reason", "fault_write"}, {"stream", streamOrdinal_}, {"packet", packet}});
    return false;
  }
  std::copy(data.begin(), data.end(), stream_.begin() + static_cast<ptrdiff_t>(received_));
  received_ += PacketSize;
  if (received_ == StreamSize) {
    CompleteStream();
  }
  return true;
}

void ReceiverModel::CompleteStream() {
  const uint8_t trailer = stream_[TrailerPosition];
  const uint32_t sector = TrailerSector(trailer);
  if (sector < SectorCount) {
    auto data = stream_.begin();
    std::copy(data, data + SectorSize, flash_.begin() + static_cast<ptrdiff_t>(sector * SectorSize));
    const uint8_t sum = static_cast<uint8_t>(std::accumulate(data, data + SectorSize, 0u));
    pendingChecksum_ = settings_.WrongChecksum.contains(streamOrdinal_) ? static_cast<uint8_t>(sum + 1) : sum;
    checksumPending_ = true;
    pendingStream_ = streamOrdinal_;
    busyPollsLeft_ = settings_.BusyPolls;
    storedAny_ = true;
    Note({{"event", "sector_stored"}, {"stream", streamOrdinal_}, {"sector", sector}, {"checksum", sum}});
  } else {
    Note({{"event", "bad_trailer"}, {"stream", streamOrdinal_}, {"trailer", trailer}});
  }
  ++streamOrdinal_;
  received_ = 0;
}

bool ReceiverModel::Read(std::span<uint8_t> buffer) {
  if (buffer.size() != 1) {
    Note({{"event", "read_length"}, {"size", buffer.size()}});
  }
  if (received_ != 0) {
    Note({{"event", "stream_cut"}, {"stream", streamOrdinal_}, {"received", received_}});
    received_ = 0;
  }
  uint8_t answer;
  if (checksumPending_) {
    checksumPending_ = false;
    if (settings_.FailChecksumRead.contains(pendingStream_)) {
      Note({{"event", "no_ack"}, {"reason", "fault_checksum_read"}, {"stream", pendingStream_}});
      return false;
    }
    answer = pendingChecksum_;
  } else {
    if (settings_.FailVersionRead) {
      Note({{"event", "no_ack"}, {"reason", "fault_version_read"}});
      return false;
    }
    answer = settings_.Version;
  }
  if (!buffer.empty()) {
    buffer[0] = answer;
  }
  return true;
}

bool ReceiverModel::PollBusy() {
  if (settings_.BusyForever && storedAny_) {
    return true;
  }
  if (busyPollsLeft_ > 0) {
    --busyPollsLeft_;
    return true;
  }
  return false;
}

} // namespace sim
