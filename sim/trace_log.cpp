#include "sim/trace_log.h"

namespace sim {

void TraceLog::Restart(const std::string& path) {
  start_ = std::chrono::steady_clock::now();
  lines_.clear();
  file_.close();
  file_.clear();
  if (!path.empty()) {
    file_.open(path, std::ios::app | std::ios::binary);
  }
}

void TraceLog::Add(nlohmann::json entry) {
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start_;
  entry["t"] = elapsed.count();
  if (file_.is_open()) {
    file_ << entry.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n' << std::flush;
  }
  lines_.push_back(std::move(entry));
}

std::string HexBytes(const uint8_t* data, size_t size) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    text += Digits[data[i] >> 4];
    text += Digits[data[i] & 0xF];
  }
  return text;
}

} // namespace sim
