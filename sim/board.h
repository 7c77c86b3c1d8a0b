// The one simulated board of the process: its scenario, chip registers,
// receiver and trace, and what the drivers remember between calls. It is
// created at the first call into the model (from the scenario file named by
// RXFLASH_SIM_SCENARIO) or by sim::LoadScenarioText, and never destroyed, so
// that stand-ins unloaded at the very end of the process can still trace.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "board/ati_records.h"
#include "sim/receiver_model.h"
#include "sim/scenario.h"
#include "sim/trace_log.h"

namespace sim {

struct Board {
  explicit Board(Scenario settings);

  // Records a trace line; with events, records them after it as
  // "call": "receiver" lines.
  void Record(nlohmann::json entry);
  void RecordEvents(std::vector<nlohmann::json> events);

  // The register as held, without tracing or busy polls.
  uint32_t Register(uint32_t offset) const;

  // Rewrites the scenario's flash file with the receiver's flash.
  void WriteFlashFile() const;

  Scenario Settings;
  ReceiverModel Receiver;
  std::map<uint32_t, uint32_t> Registers;
  TraceLog Trace;

  // Remembered between driver calls.
  bool Mapped = false;                             // GetVGAMMIOAddress was called
  const void* ChipInfo = nullptr;                  // the buffer last passed to FindVGAChip
  const MvpuStatus* LastMvpu = nullptr;            // the record last passed to ATIDL_GetMVPUStatus
  const PhysicalAdapterRecord* Adapter0 = nullptr; // the record passed for adapter 0
  size_t OdCalls = 0;                              // ATIDL_GetODParameters calls so far
};

// The board, created from RXFLASH_SIM_SCENARIO on first use.
Board& TheBoard();

// Replaces the board with one playing the scenario.
void ResetBoard(Scenario settings);

// True once the process has started its exit processing.
bool ProcessExiting();

} // namespace sim
