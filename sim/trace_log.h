// The board's trace: one JSON object per call, kept in memory for in-process
// tests and appended to the scenario's trace file a line at a time, flushed
// per line so that a process that ends abruptly leaves a complete trace.
#pragma once

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace sim {

class TraceLog {
public:
  // Starts the clock afresh, forgets the kept lines and appends to the file
  // at path from now on (none when empty).
  void Restart(const std::string& path);

  // Stamps the entry with "t", milliseconds since Restart, and records it.
  void Add(nlohmann::json entry);

  const std::vector<nlohmann::json>& Lines() const {
    return lines_;
  }

  void Clear() {
    lines_.clear();
  }

private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::vector<nlohmann::json> lines_;
  std::ofstream file_;
};

// Bytes as a lowercase hex string without separators.
std::string HexBytes(const uint8_t* data, size_t size);

} // namespace sim
