// The board model as the stand-ins call it, in this process.
#include <array>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/display_device_record.h"
#include "board/i2c_records.h"
#include "nvapi/nvapi_members.h"
#include "sim/board_model.h"
#include "sim/sim_control.h"

namespace {

using I2cExFunction = NvAPI_Status (*)(NvPhysicalGpuHandle, NV_I2C_INFO*, uint32_t*);
constexpr uint32_t I2cWriteExId = 0x283AC65A;

void Load(const std::string& scenario) {
  std::string error;
  ASSERT_TRUE(sim::LoadScenarioText(scenario, &error)) << error;
}

template <typename Function> Function Query(uint32_t id) {
  return reinterpret_cast<Function>(sim::model::NvapiQueryInterface(id));
}

TEST(BoardScenario, RefusesWhatWouldSilentlyPlayAnotherBoard) {
  struct Case {
    const char* Text;
    const char* Mentions;
  };
  const Case cases[] = {
      {R"({"nvapi": {"hook": "both"}})", "hook"},
      {R"({"nvapi": {"hooks": "all"}})", "all"},
      {R"({"vendor": "intel"})", "intel"},
      {R"({"kav": {"registers": {"E280": 1}}})", "E280"},
      {R"({"receiver": {"fail_write": {"sector": 1}}})", "packet"},
      {R"({"receiver": {"busy_polls": "3"}})", "number"},
      {R"({"trace": "x",})", "parse"},
  };
  Load(R"({"receiver": {"version": 7}})");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    std::string error;
    EXPECT_FALSE(sim::LoadScenarioText(c.Text, &error));
    EXPECT_NE(error.find(c.Mentions), std::string::npos) << error;
  }
  // The board loaded before the refusals is still the one playing.
  sim::SetRegisterValue(0xE280, 0x300);
  uint8_t version = 0;
  uint8_t zero = 0;
  NV_I2C_INFO info{NvI2cInfoVersion, 0, 0, 0x22, &zero, 0, &version, 1, 45};
  uint32_t extension = 1;
  const auto read = Query<I2cExFunction>(0x4D7B0709);
  ASSERT_EQ(read(reinterpret_cast<NvPhysicalGpuHandle>(sim::GpuHandle(0)), &info, &extension), 0);
  EXPECT_EQ(version, 7);
}

TEST(BoardNvapi, HooksOfferedAsConfigured) {
  struct Case {
    const char* Hooks;
    bool Enter;
    bool Exit;
  };
  for (const Case& c :
       {Case{"none", false, false}, Case{"both", true, true}, Case{"enter", true, false}, Case{"exit", false, true}}) {
    SCOPED_TRACE(c.Hooks);
    Load(std::string(R"({"nvapi": {"hooks": ")") + c.Hooks + "\"}}");
    EXPECT_EQ(sim::model::NvapiQueryInterface(0x33C7358C) != nullptr, c.Enter);
    EXPECT_EQ(sim::model::NvapiQueryInterface(0x593E8644) != nullptr, c.Exit);
  }
  Load(R"({"nvapi": {"hooks": "both", "enter_hook_writes": [17, 4000000000]}})");
  using EnterHook = NvAPI_Status (*)(uint32_t, uint32_t*);
  uint32_t context[2] = {0, 0};
  Query<EnterHook>(0x33C7358C)(0x1234, context);
  EXPECT_EQ(context[0], 17u);
  EXPECT_EQ(context[1], 4000000000u);
}

TEST(BoardNvapi, MissingIdsAreNotOffered) {
  Load(R"({"nvapi": {"missing_ids": [3853292063, 22079528]}})");
  EXPECT_EQ(sim::model::NvapiQueryInterface(0xE5AC921F), nullptr);
  EXPECT_EQ(sim::model::NvapiQueryInterface(0x0150E828), nullptr);
  EXPECT_NE(sim::model::NvapiQueryInterface(0xD22BDD7E), nullptr);
  EXPECT_EQ(sim::model::NvapiQueryInterface(0x12345678), nullptr);
}

TEST(BoardNvapi, GenericMembersRecordTheirArgumentsAndRecordsPassedByValue) {
  Load(R"({"nvapi": {"member_status": -9}})");
  NvRecord12 small{};
  small.Words[0] = 0x000000A1;
  small.Words[2] = 0xB2000000;
  NvRecord516 large{};
  large.Bytes[0] = 0xC3;
  large.Bytes[515] = 0xD4;

  using Mixed = NvAPI_Status (*)(NvWord, NvWord, NvWord, NvWord, NvRecord12, NvWord, NvWord, NvWord);
  using Large = NvAPI_Status (*)(NvRecord516, NvWord);
  EXPECT_EQ(Query<Mixed>(0xAFC4833E)(1, 2, 3, 4, small, 5, 6, 7), -9);
  EXPECT_EQ(Query<Large>(0xFA0B9A59)(large, 8), -9);

  const auto mixed = sim::TraceOf("NvAPI_InterfaceAFC4833E");
  ASSERT_EQ(mixed.size(), 1u);
  EXPECT_EQ(mixed[0].at("args"), nlohmann::json::parse(R"([1, 2, 3, 4, {"size": 12, "first": 161, "last": 178},
                                                            5, 6, 7])"));
  const auto big = sim::TraceOf("NvAPI_InterfaceFA0B9A59");
  ASSERT_EQ(big.size(), 1u);
  EXPECT_EQ(big[0].at("args"), nlohmann::json::parse(R"([{"size": 516, "first": 195, "last": 212}, 8])"));
}

// One packet write through NvAPI_I2CWriteEx; the reason of a refusal, or ""
// when it was acknowledged.
std::string WritePacket(NV_I2C_INFO info, uintptr_t gpu = sim::GpuHandle(0)) {
  std::array<uint8_t, 10> packet{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  info.data = packet.data();
  uint32_t extension = 1;
  sim::ClearTrace();
  const NvAPI_Status status =
      Query<I2cExFunction>(I2cWriteExId)(reinterpret_cast<NvPhysicalGpuHandle>(gpu), &info, &extension);
  const auto refusals = sim::TraceOf("receiver");
  if (status == 0) {
    return refusals.empty() ? "" : "acknowledged, yet refused";
  }
  return refusals.empty() ? "refused without a reason" : refusals[0].value("reason", "");
}

TEST(BoardNvapi, ReceiverAnswersOnlyOnItsAddressWhileTheLinkIsOpen) {
  Load(R"({"kav": {"registers": {"0xE280": 4294967295}}})");
  uint8_t zero = 0;
  const NV_I2C_INFO packet{NvI2cInfoVersion, 0, 0, 0x22, &zero, 0, nullptr, 10, 45};

  EXPECT_EQ(WritePacket(packet), "link_closed");
  sim::SetRegisterValue(0xE280, 0xFFFFF3FF); // bits 8-11 hold 3
  EXPECT_EQ(WritePacket(packet), "");

  NV_I2C_INFO otherAddress = packet;
  otherAddress.deviceAddress = 0x11;
  EXPECT_EQ(WritePacket(otherAddress), "device_address");
  NV_I2C_INFO withRegister = packet;
  withRegister.regAddressSize = 1;
  EXPECT_EQ(WritePacket(withRegister), "register_address");
  EXPECT_EQ(WritePacket(packet, sim::GpuHandle(1)), "gpu_handle");
}

TEST(BoardAti, BusyFieldOfItsRegisterAfterEachStoredSector) {
  Load(R"({"vendor": "amd", "receiver": {"busy_polls": 2},
           "kav": {"registers": {"0x6410": 16, "0x6414": 256, "0x6418": 256, "0x641C": 61455}}})");
  std::array<uint8_t, 4100> stream{};
  stream[4096] = 0xF4;
  AtiI2CRequest request{sizeof(AtiI2CRequest), 1, 0x22, 0, 2, 10, 10, nullptr};
  for (size_t offset = 0; offset < stream.size(); offset += 10) {
    request.Data = stream.data() + offset;
    ASSERT_EQ(sim::model::AtiWriteAndReadI2CEx(0, &request, nullptr), 0);
  }
  EXPECT_EQ(sim::model::KavReadRegister(0x641C, 0), 0xF10Fu);
  EXPECT_EQ(sim::model::KavReadRegister(0x641C, 0), 0xF10Fu);
  EXPECT_EQ(sim::model::KavReadRegister(0x641C, 0), 0xF00Fu);
  const auto stored = sim::TraceOf("receiver");
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].at("sector"), 3);
}

TEST(BoardDisplay, EnumerationWritesFlagsOnlyWithinTheSizeWord) {
  Load(R"({"display_devices": [1, 5], "display_devices_endless": true})");
  DisplayDeviceRecord record{};
  record.Size = sizeof record;
  EXPECT_EQ(sim::model::EnumDisplayDevices(nullptr, 1, &record, 0), 1);
  EXPECT_EQ(record.StateFlags, 5u);
  EXPECT_EQ(sim::model::EnumDisplayDevices(nullptr, 1000, &record, 0), 1);
  EXPECT_EQ(record.StateFlags, 0u);

  DisplayDeviceRecord small{};
  small.Size = sizeof small - 4;
  small.StateFlags = 0xABCD;
  EXPECT_EQ(sim::model::EnumDisplayDevices(nullptr, 1, &small, 0), 1);
  EXPECT_EQ(small.StateFlags, 0xABCDu);

  Load(R"({"display_devices": [5]})");
  EXPECT_EQ(sim::model::EnumDisplayDevices(nullptr, 1, &record, 0), 0);
}

} // namespace
