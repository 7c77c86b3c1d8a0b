#include "sim/scenario.h"

#include <initializer_list>
#include <stdexcept>
#include <string_view>

namespace sim {

namespace {

using nlohmann::json;

// A misspelt key would silently play the default board; refuse it instead.
void CheckKeys(const json& object, std::string_view where, std::initializer_list<std::string_view> known) {
  if (!object.is_object()) {
    throw std::runtime_error(std::string(where) + " is not an object");
  }
  for (const auto& item : object.items()) {
    bool found = false;
    for (std::string_view key : known) {
      found = found || item.key() == key;
    }
    if (!found) {
      throw std::runtime_error("unknown key \"" + item.key() + "\" in " + std::string(where));
    }
  }
}

template <typename T> void Take(const json& object, const char* key, T& target) {
  if (auto it = object.find(key); it != object.end()) {
    target = it->get<T>();
  }
}

uint32_t NumericKey(const std::string& key) {
  const std::runtime_error notANumber("key \"" + key + "\" is not a number");
  size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(key, &used, 0);
  } catch (const std::logic_error&) {
    throw notANumber;
  }
  if (used != key.size()) {
    throw notANumber;
  }
  return static_cast<uint32_t>(value);
}

template <typename Value> void TakeNumericMap(const json& object, const char* key, std::map<uint32_t, Value>& target) {
  if (auto it = object.find(key); it != object.end()) {
    target.clear();
    for (const auto& item : it->items()) {
      target[NumericKey(item.key())] = item.value().get<Value>();
    }
  }
}

template <typename T> void TakeSet(const json& object, const char* key, std::set<T>& target) {
  if (auto it = object.find(key); it != object.end()) {
    target.clear();
    for (const json& value : *it) {
      target.insert(value.get<T>());
    }
  }
}

void ParseNvapi(const json& object, NvapiSettings& nvapi) {
  CheckKeys(object, "nvapi",
            {"initialize_status", "unload_status", "missing_ids", "hooks", "enter_hook_writes", "enum_status",
             "gpu_count", "i2c_status", "member_status"});
  Take(object, "initialize_status", nvapi.InitializeStatus);
  Take(object, "unload_status", nvapi.UnloadStatus);
  TakeSet(object, "missing_ids", nvapi.MissingIds);
  std::string hooks = "none";
  Take(object, "hooks", hooks);
  if (hooks != "none" && hooks != "both" && hooks != "enter" && hooks != "exit") {
    throw std::runtime_error("nvapi.hooks is \"" + hooks + "\", not none, both, enter or exit");
  }
  nvapi.EnterHook = hooks == "both" || hooks == "enter";
  nvapi.ExitHook = hooks == "both" || hooks == "exit";
  Take(object, "enter_hook_writes", nvapi.EnterHookWrites);
  Take(object, "enum_status", nvapi.EnumStatus);
  Take(object, "gpu_count", nvapi.GpuCount);
  Take(object, "i2c_status", nvapi.I2cStatus);
  Take(object, "member_status", nvapi.MemberStatus);
}

void ParseAti(const json& object, AtiSettings& ati) {
  CheckKeys(object, "ati", {"mvpu_status", "gpu_count", "od_statuses", "enum_adapters_status", "i2c_status"});
  Take(object, "mvpu_status", ati.MvpuStatus);
  Take(object, "gpu_count", ati.GpuCount);
  Take(object, "od_statuses", ati.OdStatuses);
  Take(object, "enum_adapters_status", ati.EnumAdaptersStatus);
  Take(object, "i2c_status", ati.I2cStatus);
}

void ParseKav(const json& object, KavSettings& kav) {
  CheckKeys(object, "kav", {"chips", "registers"});
  TakeNumericMap(object, "chips", kav.Chips);
  TakeNumericMap(object, "registers", kav.Registers);
}

void ParseReceiver(const json& object, ReceiverSettings& receiver) {
  CheckKeys(object, "receiver",
            {"version", "fail_version_read", "fail_write", "fail_checksum_read", "wrong_checksum", "busy_polls",
             "busy_forever"});
  Take(object, "version", receiver.Version);
  Take(object, "fail_version_read", receiver.FailVersionRead);
  if (auto it = object.find("fail_write"); it != object.end() && !it->is_null()) {
    CheckKeys(*it, "receiver.fail_write", {"sector", "packet"});
    receiver.FailWrite = ReceiverPacket{it->at("sector").get<uint32_t>(), it->at("packet").get<uint32_t>()};
  }
  TakeSet(object, "fail_checksum_read", receiver.FailChecksumRead);
  TakeSet(object, "wrong_checksum", receiver.WrongChecksum);
  Take(object, "busy_polls", receiver.BusyPolls);
  Take(object, "busy_forever", receiver.BusyForever);
}

// "vendor" sets the defaults that make the tool find that vendor's board.
void ApplyVendor(const std::string& vendor, Scenario& scenario) {
  if (vendor == "nvidia") {
    scenario.Nvapi.GpuCount = 1;
    scenario.Kav.Chips = {{0x10DE, 1}, {0x1002, 0}};
  } else if (vendor == "amd") {
    scenario.Nvapi.GpuCount = 0;
    scenario.Kav.Chips = {{0x10DE, 0}, {0x1002, 1}};
  } else {
    throw std::runtime_error("vendor is \"" + vendor + "\", not nvidia or amd");
  }
}

const json& Section(const json& root, const char* key) {
  static const json empty = json::object();
  auto it = root.find(key);
  return it == root.end() ? empty : *it;
}

} // namespace

Scenario ParseScenario(const std::string& text) {
  const json root = json::parse(text, nullptr, true, true);
  CheckKeys(root, "the scenario",
            {"trace", "flash_out", "vendor", "display_devices", "display_devices_endless", "nvapi", "ati", "kav",
             "receiver"});
  Scenario scenario;
  std::string vendor = "nvidia";
  Take(root, "vendor", vendor);
  ApplyVendor(vendor, scenario);
  Take(root, "trace", scenario.TracePath);
  Take(root, "flash_out", scenario.FlashOutPath);
  Take(root, "display_devices", scenario.DisplayDevices);
  Take(root, "display_devices_endless", scenario.DisplayDevicesEndless);
  ParseNvapi(Section(root, "nvapi"), scenario.Nvapi);
  ParseAti(Section(root, "ati"), scenario.Ati);
  ParseKav(Section(root, "kav"), scenario.Kav);
  ParseReceiver(Section(root, "receiver"), scenario.Receiver);
  return scenario;
}

} // namespace sim
