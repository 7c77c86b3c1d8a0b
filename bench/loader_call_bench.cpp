// A member call through the NVAPI loader once its entry is resolved, with no
// hooks and with both hooks, beside a direct call of the same driver
// function through a plain function pointer. The call is the one the update
// makes 410 times per sector: NvAPI_I2CWriteEx with a packet write record.
#include <benchmark/benchmark.h>

#include "bench/driver_under_test.h"
#include "board/receiver_transactions.h"
#include "nvapi/nvapi_loader.h"

namespace {

using I2cWriteExFunction = NvAPI_Status (*)(NvPhysicalGpuHandle, NV_I2C_INFO*, uint32_t*);

// Global, so that every call loads it afresh, as the loader loads its entry.
I2cWriteExFunction DirectI2cWriteEx;

struct PacketWrite {
  uint8_t Packet[PacketWriteSize] = {};
  ReceiverTransaction Transaction{};

  PacketWrite() {
    SetPacketWrite(Transaction, Packet);
    Transaction.Info.version = NvI2cInfoVersion;
    Transaction.Extension = 1;
  }
};

bool Prepare(benchmark::State& state, bool hooks) {
  if (!bench::PrepareDriver(hooks) || NvAPI_Initialize() != NVAPI_OK) {
    state.SkipWithError("the driver did not load or initialise");
    return false;
  }
  return true;
}

template <typename Call> void RunCalls(benchmark::State& state, Call call) {
  PacketWrite write;
  NvPhysicalGpuHandle gpu = bench::Gpu();
  if (call(gpu, write) != NVAPI_OK) { // resolves the loader's entry
    state.SkipWithError("the driver refused the packet write");
    return;
  }
  int64_t sinceTidy = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(call(gpu, write));
    if (++sinceTidy == bench::TidyInterval) {
      state.PauseTiming();
      bench::Tidy();
      sinceTidy = 0;
      state.ResumeTiming();
    }
  }
  bench::Tidy(); // the timing has stopped with the loop
}

void BM_DirectCall(benchmark::State& state) {
  if (!Prepare(state, false)) {
    return;
  }
  DirectI2cWriteEx = reinterpret_cast<I2cWriteExFunction>(bench::DriverFunction(bench::I2cWriteExId));
  RunCalls(state, [](NvPhysicalGpuHandle gpu, PacketWrite& write) {
    return DirectI2cWriteEx(gpu, &write.Transaction.Info, &write.Transaction.Extension);
  });
}
BENCHMARK(BM_DirectCall);

void BM_MemberCall(benchmark::State& state) {
  if (!Prepare(state, state.range(0) != 0)) {
    return;
  }
  RunCalls(state, [](NvPhysicalGpuHandle gpu, PacketWrite& write) {
    return NvAPI_I2CWriteEx(gpu, &write.Transaction.Info, &write.Transaction.Extension);
  });
}
BENCHMARK(BM_MemberCall)->ArgName("hooks")->Arg(0)->Arg(1);

} // namespace
