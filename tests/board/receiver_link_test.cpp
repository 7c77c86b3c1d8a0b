// The register operations that route the receiver's link, as the simulated
// chip sees them through KAV.DLL.
#include "board/receiver_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/register_access.h"
#include "sim/sim_control.h"
#include "tests/board/sim_board.h"

namespace {

using board_test::RegisterCall;
using board_test::RegisterCalls;

constexpr uint32_t LinkRegister = 0xE280;
constexpr uint32_t BusyRegister = 0x641C;

class ReceiverLinkTest : public board_test::SimBoardTest {
protected:
  // A board whose chip is found and mapped, with a clean trace.
  static void PrepareBoard(const std::string& scenario) {
    LoadScenario(scenario);
    board_test::CurrentDirectory in(SIM_LIBS_DIR);
    ASSERT_EQ(Kav.Load(), 1);
    ASSERT_GT(Kav.DetectChip(), 0);
    MapChipRegisters();
    sim::ClearTrace();
  }
};

TEST_F(ReceiverLinkTest, MappingHandsTheLibraryTheChipInformation) {
  LoadScenario("{}");
  board_test::CurrentDirectory in(SIM_LIBS_DIR);
  ASSERT_EQ(Kav.Load(), 1);
  ASSERT_GT(Kav.DetectChip(), 0);

  MapChipRegisters();

  const std::vector<nlohmann::json> calls = sim::TraceOf("GetVGAMMIOAddress");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["chipInfo"], true);
  EXPECT_EQ(calls[0]["zero"], 0);
  EXPECT_TRUE(RegisterCalls().empty());
}

struct LinkCase {
  const char* label;
  void (*operation)();
  uint32_t before;
  uint32_t written;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
  *os << c.label;
}

class LinkFieldTest : public ReceiverLinkTest, public testing::WithParamInterface<LinkCase> {};

TEST_P(LinkFieldTest, ReadsOnceAndWritesTheFieldBack) {
  const LinkCase& c = GetParam();
  PrepareBoard("{}");
  sim::SetRegisterValue(LinkRegister, c.before);

  c.operation();

  const std::vector<RegisterCall> expected = {{false, LinkRegister, c.before}, {true, LinkRegister, c.written}};
  EXPECT_EQ(RegisterCalls(), expected);
}

INSTANTIATE_TEST_SUITE_P(Registers, LinkFieldTest,
                         testing::Values(LinkCase{"OpenOnZero", OpenReceiverLink, 0, 0x300},
                                         LinkCase{"OpenOnAllOnes", OpenReceiverLink, 0xFFFFFFFF, 0xFFFFF3FF},
                                         LinkCase{"CloseOnZero", CloseReceiverLink, 0, 0x200},
                                         LinkCase{"CloseOnAllOnes", CloseReceiverLink, 0xFFFFFFFF, 0xFFFFF2FF}),
                         [](const testing::TestParamInfo<LinkCase>& info) { return info.param.label; });

TEST_F(ReceiverLinkTest, OpenThenCloseLeavesTwoInTheFieldAndKeepsTheRest) {
  PrepareBoard("{}");
  sim::SetRegisterValue(LinkRegister, 0xA5A5FDA5);

  OpenReceiverLink();
  EXPECT_EQ(sim::RegisterValue(LinkRegister), 0xA5A5F3A5u);
  CloseReceiverLink();
  EXPECT_EQ(sim::RegisterValue(LinkRegister), 0xA5A5F2A5u);
}

TEST_F(ReceiverLinkTest, AmdGpioIsThreeWritesInOrderAndNoRead) {
  PrepareBoard(R"({"vendor": "amd"})");

  SetAmdReceiverGpio();

  const std::vector<RegisterCall> expected = {{true, 0x6410, 0x10}, {true, 0x6414, 0x100}, {true, 0x6418, 0x100}};
  EXPECT_EQ(RegisterCalls(), expected);
}

struct BusyCase {
  uint32_t status;
  bool busy;
};

void PrintTo(const BusyCase& c, std::ostream* os) {
  *os << std::hex << "0x" << c.status;
}

class ReceiverBusyTest : public ReceiverLinkTest, public testing::WithParamInterface<BusyCase> {};

TEST_P(ReceiverBusyTest, BusyExactlyWhenTheFieldHoldsOne) {
  PrepareBoard(R"({"vendor": "amd"})");
  sim::SetRegisterValue(BusyRegister, GetParam().status);

  EXPECT_EQ(ReceiverBusy(), GetParam().busy);
  const std::vector<RegisterCall> expected = {{false, BusyRegister, GetParam().status}};
  EXPECT_EQ(RegisterCalls(), expected);
}

INSTANTIATE_TEST_SUITE_P(StatusValues, ReceiverBusyTest,
                         testing::Values(BusyCase{0x100, true}, BusyCase{0x1100, true}, BusyCase{0xFFFFF1FF, true},
                                         BusyCase{0x0, false}, BusyCase{0x1, false}, BusyCase{0x200, false},
                                         BusyCase{0xF00, false}));

} // namespace
