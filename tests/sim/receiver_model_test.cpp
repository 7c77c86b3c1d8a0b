#include "sim/receiver_model.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

#include <gtest/gtest.h>

namespace sim {
namespace {

using Stream = std::array<uint8_t, ReceiverModel::StreamSize>;

// A sector's data that differs from sector to sector and from byte to byte.
std::vector<uint8_t> SectorData(uint32_t seed) {
  std::vector<uint8_t> data(ReceiverModel::SectorSize);
  for (size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<uint8_t>(i * 7 + seed * 31 + (i >> 8));
  }
  return data;
}

Stream MakeStream(const std::vector<uint8_t>& data, uint8_t trailer) {
  Stream stream{};
  std::copy(data.begin(), data.end(), stream.begin());
  stream[ReceiverModel::TrailerPosition] = trailer;
  stream[4097] = 0x5A;
  stream[4098] = 0xA5;
  stream[4099] = 0x3C;
  return stream;
}

uint8_t Sum(const std::vector<uint8_t>& data) {
  return static_cast<uint8_t>(std::accumulate(data.begin(), data.end(), 0u));
}

// Sends the stream as 10-byte packets; the count of acknowledged packets.
size_t SendStream(ReceiverModel& receiver, const Stream& stream) {
  size_t acknowledged = 0;
  for (size_t offset = 0; offset < stream.size(); offset += ReceiverModel::PacketSize) {
    if (receiver.Write(std::span(stream).subspan(offset, ReceiverModel::PacketSize))) {
      ++acknowledged;
    }
  }
  return acknowledged;
}

struct ReadResult {
  bool Ack;
  uint8_t Byte;
};

ReadResult ReadByte(ReceiverModel& receiver, uint8_t fill = 0xEE) {
  uint8_t byte = fill;
  const bool ack = receiver.Read(std::span(&byte, 1));
  return {ack, byte};
}

std::vector<std::string> EventNames(ReceiverModel& receiver) {
  std::vector<std::string> names;
  for (const auto& event : receiver.TakeEvents()) {
    names.push_back(event.at("event"));
  }
  return names;
}

TEST(ReceiverModel, VersionReadBeforeAnyPacket) {
  ReceiverModel receiver({.Version = 0x0C});
  const ReadResult read = ReadByte(receiver);
  EXPECT_TRUE(read.Ack);
  EXPECT_EQ(read.Byte, 0x0C);
  EXPECT_TRUE(receiver.TakeEvents().empty());
}

TEST(ReceiverModel, EachSectorLandsWhereItsTrailerSaysAndItsChecksumIsAnswered) {
  for (uint32_t sector = 0; sector < ReceiverModel::SectorCount; ++sector) {
    SCOPED_TRACE(sector);
    ReceiverModel receiver;
    const std::vector<uint8_t> data = SectorData(sector);
    EXPECT_EQ(SendStream(receiver, MakeStream(data, static_cast<uint8_t>(0xF1 + sector))), 410u);

    const auto& flash = receiver.Flash();
    for (uint32_t other = 0; other < ReceiverModel::SectorCount; ++other) {
      const auto begin = flash.begin() + other * ReceiverModel::SectorSize;
      if (other == sector) {
        EXPECT_TRUE(std::equal(data.begin(), data.end(), begin));
      } else {
        EXPECT_TRUE(std::all_of(begin, begin + ReceiverModel::SectorSize, [](uint8_t b) { return b == 0xFF; }));
      }
    }
    const auto events = receiver.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].at("event"), "sector_stored");
    EXPECT_EQ(events[0].at("sector"), sector);

    const ReadResult read = ReadByte(receiver);
    EXPECT_TRUE(read.Ack);
    EXPECT_EQ(read.Byte, Sum(data));
    // The checksum is answered once; the next read is a version read again.
    EXPECT_EQ(ReadByte(receiver).Byte, 1);
  }
}

TEST(ReceiverModel, TrailerNamingNoSectorIsRecordedAndNotStored) {
  for (uint8_t trailer : {0xF0, 0xF8, 0x00, 0xF1 - 16}) {
    SCOPED_TRACE(trailer);
    ReceiverModel receiver({.Version = 9});
    SendStream(receiver, MakeStream(SectorData(1), trailer));
    EXPECT_TRUE(std::all_of(receiver.Flash().begin(), receiver.Flash().end(), [](uint8_t b) { return b == 0xFF; }));
    const auto events = receiver.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].at("event"), "bad_trailer");
    EXPECT_EQ(events[0].at("trailer"), trailer);
    EXPECT_EQ(ReadByte(receiver).Byte, 9);
  }
}

TEST(ReceiverModel, SectorsInOrderEachAnswerTheirOwnChecksum) {
  ReceiverModel receiver;
  for (uint32_t sector = 0; sector < 3; ++sector) {
    const std::vector<uint8_t> data = SectorData(sector + 10);
    SendStream(receiver, MakeStream(data, static_cast<uint8_t>(0xF1 + sector)));
    EXPECT_EQ(ReadByte(receiver).Byte, Sum(data));
  }
  EXPECT_EQ(EventNames(receiver), std::vector<std::string>(3, "sector_stored"));
}

TEST(ReceiverModel, InjectedFaults) {
  const std::vector<uint8_t> data = SectorData(3);
  const Stream sector0 = MakeStream(data, 0xF1);
  const Stream sector1 = MakeStream(data, 0xF2);

  {
    SCOPED_TRACE("a packet write fails at packet 7 of sector 1 only");
    ReceiverModel receiver({.FailWrite = ReceiverPacket{1, 7}});
    EXPECT_EQ(SendStream(receiver, sector0), 410u);
    ReadByte(receiver);
    std::span<const uint8_t> packets(sector1);
    for (size_t k = 0; k < 7; ++k) {
      EXPECT_TRUE(receiver.Write(packets.subspan(k * 10, 10)));
    }
    EXPECT_FALSE(receiver.Write(packets.subspan(70, 10)));
    EXPECT_EQ(EventNames(receiver), (std::vector<std::string>{"sector_stored", "no_ack"}));
  }
  {
    SCOPED_TRACE("the checksum read of sector 1 fails and leaves the buffer alone");
    ReceiverModel receiver({.FailChecksumRead = {1}});
    SendStream(receiver, sector0);
    EXPECT_TRUE(ReadByte(receiver).Ack);
    SendStream(receiver, sector1);
    const ReadResult read = ReadByte(receiver, 0x77);
    EXPECT_FALSE(read.Ack);
    EXPECT_EQ(read.Byte, 0x77);
  }
  {
    SCOPED_TRACE("the checksum of sector 0 is off by one, still stored right");
    ReceiverModel receiver({.WrongChecksum = {0}});
    SendStream(receiver, sector0);
    EXPECT_EQ(ReadByte(receiver).Byte, static_cast<uint8_t>(Sum(data) + 1));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), receiver.Flash().begin()));
  }
  {
    SCOPED_TRACE("the version read fails");
    ReceiverModel receiver({.FailVersionRead = true});
    EXPECT_FALSE(ReadByte(receiver).Ack);
  }
}

TEST(ReceiverModel, MalformedTrafficIsRecorded) {
  const Stream stream = MakeStream(SectorData(5), 0xF1);
  {
    SCOPED_TRACE("a packet of another length is dropped");
    ReceiverModel receiver;
    EXPECT_TRUE(receiver.Write(std::span(stream).first(9)));
    EXPECT_EQ(SendStream(receiver, stream), 410u);
    EXPECT_EQ(EventNames(receiver), (std::vector<std::string>{"packet_length", "sector_stored"}));
  }
  {
    SCOPED_TRACE("a read cuts the stream short; the partial stream is dropped");
    ReceiverModel receiver({.Version = 4});
    for (size_t k = 0; k < 5; ++k) {
      receiver.Write(std::span(stream).subspan(k * 10, 10));
    }
    EXPECT_EQ(ReadByte(receiver).Byte, 4);
    const auto events = receiver.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].at("event"), "stream_cut");
    EXPECT_EQ(events[0].at("received"), 50);
    SendStream(receiver, stream);
    EXPECT_EQ(EventNames(receiver), std::vector<std::string>{"sector_stored"});
  }
  {
    SCOPED_TRACE("a new stream while the checksum is unread");
    ReceiverModel receiver;
    SendStream(receiver, stream);
    SendStream(receiver, stream);
    EXPECT_EQ(EventNames(receiver), (std::vector<std::string>{"sector_stored", "checksum_unread", "sector_stored"}));
  }
}

TEST(ReceiverModel, BusyAfterEachStoredSector) {
  const Stream stream = MakeStream(SectorData(2), 0xF3);
  ReceiverModel receiver({.BusyPolls = 2});
  EXPECT_FALSE(receiver.PollBusy());
  for (int sector = 0; sector < 2; ++sector) {
    SendStream(receiver, stream);
    EXPECT_TRUE(receiver.PollBusy());
    EXPECT_TRUE(receiver.PollBusy());
    EXPECT_FALSE(receiver.PollBusy());
    ReadByte(receiver);
  }

  ReceiverModel stuck({.BusyForever = true});
  EXPECT_FALSE(stuck.PollBusy());
  SendStream(stuck, stream);
  for (int poll = 0; poll < 1000; ++poll) {
    ASSERT_TRUE(stuck.PollBusy());
  }
}

} // namespace
} // namespace sim
