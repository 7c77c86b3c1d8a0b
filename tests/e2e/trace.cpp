#include "tests/e2e/trace.h"

namespace e2e {
namespace {

std::vector<uint8_t> HexBytes(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// NVAPI's own I2C members and whether each writes.
bool NvapiI2cCall(const std::string& call, bool& write) {
  write = call == "NvAPI_I2CWrite" || call == "NvAPI_I2CWriteEx";
  return write || call == "NvAPI_I2CRead" || call == "NvAPI_I2CReadEx";
}

constexpr int AtiDirectionWrite = 2;

} // namespace

std::vector<nlohmann::json> CallsOf(const Trace& trace, const std::string& call) {
  std::vector<nlohmann::json> lines;
  for (const nlohmann::json& line : trace) {
    if (line.at("call") == call) {
      lines.push_back(line);
    }
  }
  return lines;
}

std::vector<bool> UnloadsOf(const Trace& trace, const std::string& library) {
  std::vector<bool> unloads;
  for (const nlohmann::json& line : CallsOf(trace, "library_unloaded")) {
    if (line.at("lib") == library) {
      unloads.push_back(line.at("exiting"));
    }
  }
  return unloads;
}

std::vector<I2cTransfer> I2cTransfers(const Trace& trace) {
  std::vector<I2cTransfer> transfers;
  for (const nlohmann::json& line : trace) {
    const std::string call = line.at("call");
    I2cTransfer transfer;
    if (call == "ATIDL_WriteAndReadI2CEx") {
      transfer.write = line.at("Direction") == AtiDirectionWrite;
    } else if (!NvapiI2cCall(call, transfer.write)) {
      continue;
    }
    transfer.time = line.at("t");
    transfer.data = HexBytes(line.at("data"));
    transfer.acknowledged = line.at("status") == 0;
    transfers.push_back(transfer);
  }
  return transfers;
}

std::vector<RegisterAccess> RegisterAccesses(const Trace& trace) {
  std::vector<RegisterAccess> accesses;
  for (const nlohmann::json& line : trace) {
    const std::string call = line.at("call");
    if (call == "GetDWORDVGAMMIOData" || call == "WriteDWORDVGAMMIOData") {
      accesses.push_back({line.at("t"), call == "WriteDWORDVGAMMIOData", line.at("offset"), line.at("value")});
    }
  }
  return accesses;
}

std::optional<uint32_t> LastWrite(const Trace& trace, uint32_t offset) {
  std::optional<uint32_t> value;
  for (const RegisterAccess& access : RegisterAccesses(trace)) {
    if (access.write && access.offset == offset) {
      value = access.value;
    }
  }
  return value;
}

} // namespace e2e
