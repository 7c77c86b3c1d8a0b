// The NVAPI loader against the simulated driver: its two states, when it asks
// nvapi_QueryInterface, the hooks around a member call, and that arguments
// and statuses pass through untouched.
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "nvapi/nvapi_loader.h"
#include "sim/sim_control.h"
#include "tests/board/sim_board.h"
#include "tests/support/preloaded_library.h"

namespace {

using nlohmann::json;

// Published interface ID of the member the single-member cases use.
constexpr uint32_t GetErrorMessageId = 0x6C2D048C;

// Distinct argument values, one per position: words, addresses into a zeroed
// scratch area (the simulated I2C and enumeration members dereference theirs)
// and records whose first and last bytes differ from one position to the next.
alignas(16) uint8_t Scratch[16][1024];

template <typename T> T Argument(size_t position) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(Scratch[position]);
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<T>(0x5A000000u + position);
  } else {
    T record;
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t i = 0; i < sizeof record; ++i) {
      bytes[i] = static_cast<uint8_t>(i * 7 + position);
    }
    return record;
  }
}

// An argument as the simulated driver reports what it received.
template <typename T> json Received(const T& value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<uintptr_t>(value);
  } else if constexpr (std::is_integral_v<T>) {
    return value;
  } else {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    return {{"size", sizeof value}, {"first", bytes[0]}, {"last", bytes[sizeof value - 1]}};
  }
}

template <typename MemberOperation, typename Prototype> struct Caller;

template <typename MemberOperation, typename... Args> struct Caller<MemberOperation, NvAPI_Status(Args...)> {
  static NvAPI_Status Call() {
    std::memset(Scratch, 0, sizeof Scratch);
    return Call(std::index_sequence_for<Args...>{});
  }
  static json Sent() {
    return Sent(std::index_sequence_for<Args...>{});
  }

private:
  template <size_t... Position> static NvAPI_Status Call(std::index_sequence<Position...>) {
    return MemberOperation{}(Argument<Args>(Position)...);
  }
  template <size_t... Position> static json Sent(std::index_sequence<Position...>) {
    json sent = json::array();
    (sent.push_back(Received(Argument<Args>(Position))), ...);
    return sent;
  }
};

struct MemberCall {
  const char* Name; // also what the simulated driver calls its function
  NvAPI_Status (*Call)();
  json (*Sent)();
};

// Every member of the table, each called with its own argument list.
const MemberCall Members[] = {
#define MEMBER_CALL(name, id, prototype)                                                                               \
  {#name, &Caller<std::remove_cv_t<decltype(name)>, prototype>::Call,                                                  \
   &Caller<std::remove_cv_t<decltype(name)>, prototype>::Sent},
    NVAPI_MEMBERS(MEMBER_CALL)
#undef MEMBER_CALL
};

// The queries and driver calls in the trace: without the hooks, and without
// the receiver's events that follow the I2C members.
std::vector<json> QueriesAndCalls() {
  std::vector<json> lines;
  for (const json& line : sim::Trace()) {
    const std::string call = line["call"];
    if (call != "receiver" && call != "nvapi_enter_hook" && call != "nvapi_exit_hook") {
      lines.push_back(line);
    }
  }
  return lines;
}

size_t Count(const std::string& call) {
  return sim::TraceOf(call).size();
}

// Each member returns -3 and nothing at all reaches the driver.
void ExpectEveryMemberUnavailable() {
  sim::ClearTrace();
  for (const MemberCall& member : Members) {
    EXPECT_EQ(member.Call(), NVAPI_NO_IMPLEMENTATION) << member.Name;
  }
  EXPECT_EQ(sim::Trace(), std::vector<json>{});
}

// Each member's first call asks the driver for its function once; both calls
// reach that function with the arguments as sent and return its status.
void ExpectEveryMemberResolvesOnce() {
  for (const MemberCall& member : Members) {
    SCOPED_TRACE(member.Name);
    for (const bool first : {true, false}) {
      sim::ClearTrace();
      const NvAPI_Status status = member.Call();
      const std::vector<json> lines = QueriesAndCalls();
      ASSERT_EQ(lines.size(), first ? 2u : 1u) << json(lines);
      if (first) {
        EXPECT_EQ(lines[0]["call"], "nvapi_QueryInterface");
        EXPECT_EQ(lines[0]["found"], true);
      }
      const json& reached = lines.back();
      EXPECT_EQ(reached["call"], member.Name);
      EXPECT_EQ(reached["status"], status);
      if (reached.contains("args")) {
        EXPECT_EQ(reached["args"], member.Sent());
      }
    }
  }
}

class NvapiLoader : public board_test::SimBoardTest {
protected:
  void TearDown() override {
    // A default board lets the unload that resets the loader succeed.
    LoadScenario("{}");
    SimBoardTest::TearDown();
  }
};

TEST_F(NvapiLoader, MembersWaitForInitialiseThenResolveOnceAndPassEverythingThrough) {
  LoadScenario(R"({"nvapi": {"member_status": 1514}})");
  ExpectEveryMemberUnavailable();
  ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
  ExpectEveryMemberResolvesOnce();
}

TEST_F(NvapiLoader, UnloadForgetsEveryEntryAndTheNextInitialiseResolvesAfresh) {
  LoadScenario("{}");
  ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
  ExpectEveryMemberResolvesOnce();
  sim::ClearTrace();
  ASSERT_EQ(NvAPI_Unload(), NVAPI_OK);
  EXPECT_EQ(Count("nvapi_unload"), 1u);
  EXPECT_EQ(Count("library_unloaded"), 1u);
  ExpectEveryMemberUnavailable();
  ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
  ExpectEveryMemberResolvesOnce();
}

TEST_F(NvapiLoader, SecondInitialiseKeepsEntriesAndRunsTheDriverAndHookQueriesAgain) {
  LoadScenario("{}");
  ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
  char text[64];
  ASSERT_EQ(NvAPI_GetErrorMessage(0, text), NVAPI_OK);

  // The same loaded library, now with a driver that offers both hooks.
  LoadScenario(R"({"nvapi": {"hooks": "both"}})");
  ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
  EXPECT_EQ(Count("library_loaded"), 0u);
  EXPECT_EQ(Count("nvapi_initialize"), 1u);

  sim::ClearTrace();
  EXPECT_EQ(NvAPI_GetErrorMessage(0, text), NVAPI_OK);
  EXPECT_EQ(Count("nvapi_QueryInterface"), 0u);
  EXPECT_EQ(Count("NvAPI_GetErrorMessage"), 1u);
  EXPECT_EQ(Count("nvapi_enter_hook"), 1u);
  EXPECT_EQ(Count("nvapi_exit_hook"), 1u);
}

// A member's call as the driver sees it, with both hooks offered.
struct HookedCase {
  const char* Name;
  bool Offered;              // the driver offers the member
  NvAPI_Status DriverStatus; // what its function returns
};

void PrintTo(const HookedCase& c, std::ostream* os) {
  *os << c.Name;
}

class NvapiHookedCall : public NvapiLoader, public testing::WithParamInterface<HookedCase> {};

TEST_P(NvapiHookedCall, HooksSeeAZeroedContextAndTheCallerGetsTheDriverStatus) {
  const HookedCase& c = GetParam();
  const uint32_t word0 = 0xC0FFEE;
  const uint32_t word1 = 0xBEEF;
  json scenario = {{"nvapi",
                    {{"hooks", "both"},
                     {"enter_hook_writes", {word0, word1}},
                     {"member_status", c.DriverStatus},
                     {"missing_ids", c.Offered ? json::array() : json::array({GetErrorMessageId})}}}};
  LoadScenario(scenario.dump());
  ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);

  for (const bool first : {true, false}) {
    SCOPED_TRACE(first ? "first call" : "second call");
    sim::ClearTrace();
    char text[64];
    EXPECT_EQ(NvAPI_GetErrorMessage(-1, text), c.Offered ? c.DriverStatus : NVAPI_NO_IMPLEMENTATION);

    std::vector<std::string> calls;
    for (const json& line : sim::Trace()) {
      calls.push_back(line["call"]);
    }
    std::vector<std::string> expected;
    if (first) {
      expected.push_back("nvapi_QueryInterface");
    }
    if (c.Offered) {
      expected.insert(expected.end(), {"nvapi_enter_hook", "NvAPI_GetErrorMessage", "nvapi_exit_hook"});
    }
    ASSERT_EQ(calls, expected);
    if (c.Offered) {
      const json enter = sim::TraceOf("nvapi_enter_hook")[0];
      EXPECT_EQ(enter["id"], GetErrorMessageId);
      EXPECT_EQ(enter["context"], json::array({0, 0}));
      const json exit = sim::TraceOf("nvapi_exit_hook")[0];
      EXPECT_EQ(exit["id"], GetErrorMessageId);
      EXPECT_EQ(exit["word0"], word0);
      EXPECT_EQ(exit["word1"], word1);
      EXPECT_EQ(exit["status"], c.DriverStatus);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, NvapiHookedCall,
                         testing::Values(HookedCase{"Succeeds", true, NVAPI_OK}, HookedCase{"Fails", true, 5},
                                         HookedCase{"ReturnsNoImplementation", true, NVAPI_NO_IMPLEMENTATION},
                                         HookedCase{"ReturnsNotInitialised", true, NVAPI_API_NOT_INITIALIZED},
                                         HookedCase{"NotOffered", false, NVAPI_OK}),
                         [](const testing::TestParamInfo<HookedCase>& info) { return info.param.Name; });

// Initialise, initialise again, one member call, unload: only the member call
// may run hooks, and only when the driver offers both.
TEST_F(NvapiLoader, HooksRunAroundMemberCallsOnlyAndOnlyAsAPair) {
  const std::pair<const char*, size_t> cases[] = {{"both", 1}, {"enter", 0}, {"exit", 0}, {"none", 0}};
  for (const auto& [hooks, calls] : cases) {
    SCOPED_TRACE(hooks);
    LoadScenario(json{{"nvapi", {{"hooks", hooks}, {"member_status", 9}}}}.dump());
    ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
    ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
    char text[64];
    EXPECT_EQ(NvAPI_GetErrorMessage(0, text), 9);
    ASSERT_EQ(NvAPI_Unload(), NVAPI_OK);
    EXPECT_EQ(Count("nvapi_enter_hook"), calls);
    EXPECT_EQ(Count("nvapi_exit_hook"), calls);
  }
}

// NvAPI_Unload paths that must leave everything as it was.
enum class Before { Nothing, FailedInitialise, Initialise };

struct RefusedUnloadCase {
  const char* Name;
  json Scenario;
  Before Start;
  NvAPI_Status Expected;
};

void PrintTo(const RefusedUnloadCase& c, std::ostream* os) {
  *os << c.Name;
}

class NvapiRefusedUnload : public NvapiLoader, public testing::WithParamInterface<RefusedUnloadCase> {};

TEST_P(NvapiRefusedUnload, ChangesNothing) {
  const RefusedUnloadCase& c = GetParam();
  LoadScenario(c.Scenario.dump());
  char text[64];
  if (c.Start == Before::FailedInitialise) {
    ASSERT_EQ(NvAPI_Initialize(), NVAPI_ERROR);
  } else if (c.Start == Before::Initialise) {
    ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
    ASSERT_EQ(NvAPI_GetErrorMessage(0, text), NVAPI_OK);
  }
  sim::ClearTrace();
  EXPECT_EQ(NvAPI_Unload(), c.Expected);
  EXPECT_EQ(Count("library_unloaded"), 0u);

  if (c.Start != Before::Initialise) {
    ExpectEveryMemberUnavailable();
    return;
  }
  // Still initialised: the resolved entry is kept, and others still resolve.
  sim::ClearTrace();
  EXPECT_EQ(NvAPI_GetErrorMessage(0, text), NVAPI_OK);
  EXPECT_EQ(Count("nvapi_QueryInterface"), 0u);
  EXPECT_EQ(Count("NvAPI_GetErrorMessage"), 1u);
  EXPECT_EQ(NvAPI_Interface239C4545(), NVAPI_OK);
  EXPECT_EQ(Count("nvapi_QueryInterface"), 1u);
  EXPECT_EQ(Count("NvAPI_Interface239C4545"), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NvapiRefusedUnload,
    testing::Values(RefusedUnloadCase{"NeverInitialised", json::object(), Before::Nothing, NVAPI_API_NOT_INITIALIZED},
                    RefusedUnloadCase{"AfterAFailedInitialise",
                                      {{"nvapi", {{"initialize_status", 3}}}},
                                      Before::FailedInitialise,
                                      NVAPI_API_NOT_INITIALIZED},
                    RefusedUnloadCase{"DriverLacksUnload",
                                      {{"nvapi", {{"missing_ids", {NvUnloadId}}}}},
                                      Before::Initialise,
                                      NVAPI_NO_IMPLEMENTATION},
                    RefusedUnloadCase{
                        "DriverUnloadFails", {{"nvapi", {{"unload_status", 6}}}}, Before::Initialise, NVAPI_ERROR}),
    [](const testing::TestParamInfo<RefusedUnloadCase>& info) { return info.param.Name; });

// A failing NvAPI_Initialize, on its own or after a successful one.
struct FailedInitialiseCase {
  const char* Name;
  const char* MissingExport; // the library lacks this export (nullptr: the full library)
  json Scenario;             // the board when the failing initialise runs
  bool AfterSuccess;
};

void PrintTo(const FailedInitialiseCase& c, std::ostream* os) {
  *os << c.Name;
}

class NvapiFailedInitialise : public NvapiLoader, public testing::WithParamInterface<FailedInitialiseCase> {};

TEST_P(NvapiFailedInitialise, FreesTheLibraryAndLeavesNothingToCallInto) {
  const FailedInitialiseCase& c = GetParam();
  std::optional<stand_ins::PreloadedLibrary> variant;
  if (c.MissingExport != nullptr) {
    ASSERT_TRUE(variant.emplace("nvapi.dll", c.MissingExport).Loaded());
  }
  if (c.AfterSuccess) {
    LoadScenario(R"({"nvapi": {"hooks": "both"}})");
    ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
    ExpectEveryMemberResolvesOnce();
  }
  LoadScenario(c.Scenario.dump());
  EXPECT_EQ(NvAPI_Initialize(), NVAPI_ERROR);
  variant.reset();
  EXPECT_EQ(Count("library_unloaded"), 1u) << "nvapi.dll must be freed";

  ExpectEveryMemberUnavailable();
  EXPECT_EQ(NvAPI_Unload(), NVAPI_API_NOT_INITIALIZED);

  if (c.MissingExport == nullptr) {
    // A later initialise loads the library again and starts from scratch.
    LoadScenario("{}");
    ASSERT_EQ(NvAPI_Initialize(), NVAPI_OK);
    EXPECT_EQ(Count("library_loaded"), 1u);
    ExpectEveryMemberResolvesOnce();
  }
}

const json LacksInitialise = {{"nvapi", {{"missing_ids", {NvInitializeId}}, {"hooks", "both"}}}};
const json InitialiseFails = {{"nvapi", {{"initialize_status", 7}, {"hooks", "both"}}}};

INSTANTIATE_TEST_SUITE_P(
    Cases, NvapiFailedInitialise,
    testing::Values(FailedInitialiseCase{"LibraryLacksQueryInterface", "nvapi_QueryInterface", json::object(), false},
                    FailedInitialiseCase{"DriverLacksInitialise", nullptr, LacksInitialise, false},
                    FailedInitialiseCase{"DriverInitialiseFails", nullptr, InitialiseFails, false},
                    FailedInitialiseCase{"DriverLacksInitialiseAfterSuccess", nullptr, LacksInitialise, true},
                    FailedInitialiseCase{"DriverInitialiseFailsAfterSuccess", nullptr, InitialiseFails, true}),
    [](const testing::TestParamInfo<FailedInitialiseCase>& info) { return info.param.Name; });

// Run with no stand-in on the loader's search path.
class AbsentNvapi : public NvapiLoader {
protected:
  void SetUp() override {
    ASSERT_FALSE(stand_ins::Findable("nvapi.dll")) << "run with LD_LIBRARY_PATH empty";
    NvapiLoader::SetUp();
  }
};

TEST_F(AbsentNvapi, InitialiseReportsLibraryNotFoundAndTriesAgainNextTime) {
  LoadScenario("{}");
  EXPECT_EQ(NvAPI_Initialize(), NVAPI_LIBRARY_NOT_FOUND);
  ExpectEveryMemberUnavailable();
  EXPECT_EQ(NvAPI_Unload(), NVAPI_API_NOT_INITIALIZED);

  stand_ins::PreloadedLibrary nvapi("nvapi.dll");
  ASSERT_TRUE(nvapi.Loaded());
  EXPECT_EQ(NvAPI_Initialize(), NVAPI_OK);
  ExpectEveryMemberResolvesOnce();
  EXPECT_EQ(NvAPI_Unload(), NVAPI_OK);
}

} // namespace
