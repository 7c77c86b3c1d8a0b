// Single I2C transactions with the receiver and the records of the three
// transaction kinds, as the simulated NVAPI and AMD drivers receive them.
#include "board/receiver_i2c.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "board/board_vendor.h"
#include "board/receiver_transactions.h"
#include "sim/sim_control.h"
#include "tests/board/sim_board.h"
#include "tests/support/preloaded_library.h"

namespace {

using board_test::PrintedBy;

// Boards whose receiver link is set, so that the receiver answers.
constexpr char NvidiaBoard[] = R"({"kav": {"registers": {"0xE280": 768}}, "receiver": {"version": 90})";
constexpr char AmdBoard[] =
    R"({"vendor": "amd", "kav": {"registers": {"0x6410": 16, "0x6414": 256, "0x6418": 256}}, "receiver": {"version": 90})";
constexpr uint8_t ReceiverVersion = 90;

std::string Scenario(const char* board, const char* extra = "") {
  return std::string(board) + extra + "}";
}

// What a caller's stack holds before it fills the records.
ReceiverTransaction DirtyTransaction() {
  ReceiverTransaction transaction;
  std::memset(&transaction, 0xA5, sizeof transaction);
  return transaction;
}

using Operation = int32_t (*)(int32_t, NV_I2C_INFO*, uint32_t*, AtiI2CRequest*);

int32_t Transfer(Operation operation, int32_t type, ReceiverTransaction& t) {
  return operation(type, &t.Info, &t.Extension, &t.Request);
}

// The driver calls that reached either driver's I2C functions.
std::vector<nlohmann::json> I2cCalls() {
  std::vector<nlohmann::json> calls;
  for (const nlohmann::json& line : sim::Trace()) {
    const std::string call = line["call"];
    if (call.starts_with("NvAPI_I2C") || call == "ATIDL_WriteAndReadI2CEx") {
      calls.push_back(line);
    }
  }
  return calls;
}

class ReceiverI2cTest : public board_test::SimBoardTest {
protected:
  // Detects the scenario's board as the tool's start does.
  static void DetectBoard(const std::string& scenario, int32_t vendor) {
    LoadScenario(scenario);
    BoardVendor = DetectBoardVendor();
    ASSERT_EQ(BoardVendor, vendor);
    sim::ClearTrace();
  }
};

enum class Kind { VersionRead, PacketWrite, ChecksumRead };

// Fills the records for the kind and sends it with transaction type 3.
int32_t Send(Kind kind, ReceiverTransaction& t, uint8_t* buffer) {
  switch (kind) {
  case Kind::VersionRead:
    SetVersionRead(t, buffer);
    return Transfer(ReceiverRead, I2cTypeExtended, t);
  case Kind::PacketWrite:
    SetPacketWrite(t, buffer);
    return Transfer(ReceiverWrite, I2cTypeExtended, t);
  case Kind::ChecksumRead:
    SetChecksumRead(t, buffer);
    return Transfer(ReceiverRead, I2cTypeExtended, t);
  }
  return -1;
}

struct KindCase {
  const char* label;
  int32_t vendor;
  Kind kind;
  bool read;
  uint32_t size;
  int32_t direction; // AMD only
};

void PrintTo(const KindCase& c, std::ostream* os) {
  *os << c.label;
}

class TransactionKindTest : public ReceiverI2cTest, public testing::WithParamInterface<KindCase> {};

TEST_P(TransactionKindTest, DriverGetsTheKindsRecord) {
  const KindCase& c = GetParam();
  DetectBoard(Scenario(c.vendor == BoardVendorNvidia ? NvidiaBoard : AmdBoard), c.vendor);
  ReceiverTransaction t = DirtyTransaction();
  uint8_t buffer[PacketWriteSize] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

  std::string printed = PrintedBy([&] { EXPECT_EQ(Send(c.kind, t, buffer), 1); });

  EXPECT_EQ(printed, "");
  const std::vector<nlohmann::json> calls = I2cCalls();
  ASSERT_EQ(calls.size(), 1u);
  const nlohmann::json& call = calls[0];
  if (c.vendor == BoardVendorNvidia) {
    EXPECT_EQ(call["call"], c.read ? "NvAPI_I2CReadEx" : "NvAPI_I2CWriteEx");
    EXPECT_EQ(call["gpu"], sim::GpuHandle(0));
    EXPECT_EQ(call["version"], sizeof(NV_I2C_INFO) | 1u << 16);
    EXPECT_EQ(call["displayMask"], 0);
    EXPECT_EQ(call["isDdcPort"], 0);
    EXPECT_EQ(call["deviceAddress"], 0x22);
    EXPECT_EQ(call["regAddress"], true);
    EXPECT_EQ(call["regAddressSize"], 0);
    EXPECT_EQ(call["size"], c.size);
    EXPECT_EQ(call["speed"], 45);
    EXPECT_EQ(call["ext"], 1);
    ASSERT_NE(t.Info.regAddress, nullptr);
    EXPECT_EQ(*t.Info.regAddress, 0);
  } else {
    EXPECT_EQ(call["zero"], 0);
    EXPECT_EQ(call["Size"], sizeof(AtiI2CRequest));
    EXPECT_EQ(call["Line"], 1);
    EXPECT_EQ(call["DeviceAddress"], 0x22);
    EXPECT_EQ(call["Offset"], 0);
    EXPECT_EQ(call["Direction"], c.direction);
    EXPECT_EQ(call["Speed"], 10);
    EXPECT_EQ(call["DataSize"], c.size);
    EXPECT_EQ(call["adapterDescription"], true);
  }
  if (c.read) {
    EXPECT_EQ(buffer[0], ReceiverVersion) << "the answer did not reach the caller's buffer";
  } else {
    EXPECT_EQ(call["data"], "0102030405060708090a");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TransactionKindTest,
    testing::Values(KindCase{"NvidiaVersionRead", BoardVendorNvidia, Kind::VersionRead, true, 1, 0},
                    KindCase{"NvidiaPacketWrite", BoardVendorNvidia, Kind::PacketWrite, false, 10, 0},
                    KindCase{"NvidiaChecksumRead", BoardVendorNvidia, Kind::ChecksumRead, true, 1, 0},
                    KindCase{"AmdPacketWrite", BoardVendorAmd, Kind::PacketWrite, false, 10, 2},
                    KindCase{"AmdChecksumRead", BoardVendorAmd, Kind::ChecksumRead, true, 1, 1}),
    [](const testing::TestParamInfo<KindCase>& info) { return info.param.label; });

// On an NVIDIA board the type picks NVAPI's plain or extended function, or
// none at all.
struct TypeCase {
  const char* label;
  Operation operation;
  int32_t type;
  const char* function; // null: nothing is called
  bool maskKept;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
  *os << c.label;
}

class TransactionTypeTest : public ReceiverI2cTest, public testing::WithParamInterface<TypeCase> {};

TEST_P(TransactionTypeTest, TypeSelectsTheNvapiFunction) {
  const TypeCase& c = GetParam();
  DetectBoard(Scenario(NvidiaBoard), BoardVendorNvidia);
  ReceiverTransaction t = DirtyTransaction();
  uint8_t packet[PacketWriteSize] = {};
  if (c.operation == ReceiverWrite) {
    SetPacketWrite(t, packet);
  } else {
    SetChecksumRead(t, packet);
  }
  t.Info.displayMask = 0x00FF00FF;
  t.Info.isDdcPort = 1;

  std::string printed = PrintedBy([&] { EXPECT_EQ(Transfer(c.operation, c.type, t), c.function ? 1 : 0); });

  EXPECT_EQ(printed, "");
  EXPECT_EQ(t.Info.version, NvI2cInfoVersion);
  const std::vector<nlohmann::json> calls = I2cCalls();
  if (c.function == nullptr) {
    EXPECT_TRUE(calls.empty());
    return;
  }
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["call"], c.function);
  EXPECT_EQ(calls[0]["displayMask"], c.maskKept ? 0x00FF00FFu : 0u);
  EXPECT_EQ(calls[0]["isDdcPort"], 0);
}

INSTANTIATE_TEST_SUITE_P(Types, TransactionTypeTest,
                         testing::Values(TypeCase{"Read0", ReceiverRead, 0, "NvAPI_I2CRead", true},
                                         TypeCase{"Read1", ReceiverRead, 1, "NvAPI_I2CRead", true},
                                         TypeCase{"Read2", ReceiverRead, 2, "NvAPI_I2CReadEx", false},
                                         TypeCase{"Read3", ReceiverRead, 3, "NvAPI_I2CReadEx", false},
                                         TypeCase{"Read5", ReceiverRead, 5, nullptr, false},
                                         TypeCase{"ReadNegative", ReceiverRead, -1, nullptr, false},
                                         TypeCase{"Write0", ReceiverWrite, 0, "NvAPI_I2CWrite", true},
                                         TypeCase{"Write1", ReceiverWrite, 1, "NvAPI_I2CWrite", true},
                                         TypeCase{"Write2", ReceiverWrite, 2, "NvAPI_I2CWriteEx", false},
                                         TypeCase{"Write3", ReceiverWrite, 3, "NvAPI_I2CWriteEx", false},
                                         TypeCase{"Write5", ReceiverWrite, 5, nullptr, false}),
                         [](const testing::TestParamInfo<TypeCase>& info) { return info.param.label; });

// What a driver's answer becomes: a result and, on AMD boards only, a line.
struct OutcomeCase {
  const char* label;
  std::string scenario;
  int32_t vendor;
  Operation operation;
  int32_t type;
  int32_t result;
  const char* printed;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
  *os << c.label;
}

class TransactionOutcomeTest : public ReceiverI2cTest, public testing::WithParamInterface<OutcomeCase> {};

TEST_P(TransactionOutcomeTest, DriverResultBecomesTheOperationsResult) {
  const OutcomeCase& c = GetParam();
  DetectBoard(c.scenario, c.vendor);
  ReceiverTransaction t = DirtyTransaction();
  uint8_t packet[PacketWriteSize] = {};
  SetPacketWrite(t, packet);
  const ReceiverTransaction before = t;

  std::string printed = PrintedBy([&] { EXPECT_EQ(Transfer(c.operation, c.type, t), c.result); });

  EXPECT_EQ(printed, c.printed);
  EXPECT_EQ(I2cCalls().size(), 1u);
  if (c.vendor == BoardVendorAmd) {
    EXPECT_EQ(std::memcmp(&t.Info, &before.Info, sizeof t.Info), 0) << "the AMD path changed the NVAPI record";
    EXPECT_EQ(t.Extension, before.Extension);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Results, TransactionOutcomeTest,
    testing::Values(OutcomeCase{"NvidiaReadFails", Scenario(NvidiaBoard, R"(, "nvapi": {"i2c_status": -5})"),
                                BoardVendorNvidia, ReceiverRead, 3, 0, ""},
                    OutcomeCase{"NvidiaWriteFails", Scenario(NvidiaBoard, R"(, "nvapi": {"i2c_status": -5})"),
                                BoardVendorNvidia, ReceiverWrite, 3, 0, ""},
                    OutcomeCase{"AmdReadFails", Scenario(AmdBoard, R"(, "ati": {"i2c_status": 7})"), BoardVendorAmd,
                                ReceiverRead, 3, 0, "ATI API Read I2C  fail\n"},
                    OutcomeCase{"AmdWriteFails", Scenario(AmdBoard, R"(, "ati": {"i2c_status": 7})"), BoardVendorAmd,
                                ReceiverWrite, 0, 0, "ATI API Write I2C  fail\n"},
                    OutcomeCase{"AmdReadIgnoresType", Scenario(AmdBoard), BoardVendorAmd, ReceiverRead, 5, 1, ""},
                    OutcomeCase{"AmdWriteIgnoresType", Scenario(AmdBoard), BoardVendorAmd, ReceiverWrite, 0, 1, ""}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return info.param.label; });

TEST_F(ReceiverI2cTest, NoSupportedBoardTouchesNothing) {
  DetectBoard(Scenario(NvidiaBoard), BoardVendorNvidia);
  BoardVendor = BoardVendorNone;
  for (Operation operation : {ReceiverRead, ReceiverWrite}) {
    ReceiverTransaction t = DirtyTransaction();
    const ReceiverTransaction before = t;

    std::string printed = PrintedBy([&] { EXPECT_EQ(Transfer(operation, I2cTypeExtended, t), 0); });

    EXPECT_EQ(printed, "");
    EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0);
  }
  EXPECT_TRUE(sim::Trace().empty());
}

// Detection reports an AMD board even when the driver library lacks its I2C
// entry; each operation then fails with its own line.
TEST_F(ReceiverI2cTest, AmdDriverWithoutI2cEntryFailsWithoutACall) {
  stand_ins::PreloadedLibrary variant("atipdlxx.dll", "ATIDL_WriteAndReadI2CEx");
  ASSERT_TRUE(variant.Loaded());
  DetectBoard(Scenario(AmdBoard), BoardVendorAmd);
  ReceiverTransaction t = DirtyTransaction();
  uint8_t packet[PacketWriteSize] = {};

  std::string printed = PrintedBy([&] {
    SetPacketWrite(t, packet);
    EXPECT_EQ(Transfer(ReceiverWrite, I2cTypeExtended, t), 0);
    SetChecksumRead(t, packet);
    EXPECT_EQ(Transfer(ReceiverRead, I2cTypeExtended, t), 0);
  });

  EXPECT_EQ(printed, "ATI API Write I2C  fail\nATI API Read I2C  fail\n");
  EXPECT_TRUE(sim::Trace().empty());
}

// The update keeps one set of records for a whole image: a packet write after
// a checksum read goes out exactly like the one before it.
class SharedRecordsTest : public ReceiverI2cTest, public testing::WithParamInterface<int32_t> {};

TEST_P(SharedRecordsTest, PacketWriteAfterChecksumReadIsUnchanged) {
  const int32_t vendor = GetParam();
  DetectBoard(Scenario(vendor == BoardVendorNvidia ? NvidiaBoard : AmdBoard), vendor);
  ReceiverTransaction t = DirtyTransaction();
  uint8_t packet[PacketWriteSize] = {};

  EXPECT_EQ(Send(Kind::PacketWrite, t, packet), 1);
  EXPECT_EQ(Send(Kind::ChecksumRead, t, packet), 1);
  std::memset(packet, 0, sizeof packet);
  EXPECT_EQ(Send(Kind::PacketWrite, t, packet), 1);

  std::vector<nlohmann::json> calls = I2cCalls();
  ASSERT_EQ(calls.size(), 3u);
  std::vector<uint32_t> sizes;
  for (nlohmann::json& call : calls) {
    sizes.push_back(call[vendor == BoardVendorNvidia ? "size" : "DataSize"]);
    call.erase("t");
  }
  EXPECT_EQ(sizes, (std::vector<uint32_t>{10, 1, 10}));
  EXPECT_EQ(calls[2], calls[0]);
}

INSTANTIATE_TEST_SUITE_P(Boards, SharedRecordsTest, testing::Values(BoardVendorNvidia, BoardVendorAmd),
                         [](const testing::TestParamInfo<int32_t>& info) {
                           return info.param == BoardVendorNvidia ? "Nvidia" : "Amd";
                         });

} // namespace
