// Stand-in for the register-access library KAV.DLL: the four entries the
// tool calls over the board model, and the twenty-one it binds but never
// calls.
#include <cstdint>

#include "board/register_access.h"
#include "sim/standin.h"

SIM_STANDIN("KAV.DLL")

SIM_EXPORT int32_t FindVGAChip(uint32_t vendorId, void* chipInfo, uint32_t size) {
  return sim::model::KavFindVgaChip(vendorId, chipInfo, size);
}

SIM_EXPORT int32_t GetVGAMMIOAddress(void* chipInfo, uint32_t zero) {
  return sim::model::KavGetVgaMmioAddress(chipInfo, zero);
}

SIM_EXPORT uint32_t GetDWORDVGAMMIOData(uint32_t offset, uint32_t zero) {
  return sim::model::KavReadRegister(offset, zero);
}

SIM_EXPORT int32_t WriteDWORDVGAMMIOData(uint32_t offset, uint32_t value, uint32_t zero) {
  return sim::model::KavWriteRegister(offset, value, zero);
}

SIM_UNCALLED(WriteI2CByte)
SIM_UNCALLED(WriteI2C)
SIM_UNCALLED(ReadI2CByte)
SIM_UNCALLED(ReadI2C)
SIM_UNCALLED(DetectI2CDevice)
SIM_UNCALLED(DefinePort)
SIM_UNCALLED(GetMapAddress)
SIM_UNCALLED(ReadMMIODword)
SIM_UNCALLED(WriteMMIODword)
SIM_UNCALLED(ReadMMIOWord)
SIM_UNCALLED(WriteMMIOWord)
SIM_UNCALLED(ReadMMIOByte)
SIM_UNCALLED(WriteMMIOByte)
SIM_UNCALLED(GetVGABIOSAddress)
SIM_UNCALLED(GetWORDVGAMMIOData)
SIM_UNCALLED(GetBYTEVGAMMIOData)
SIM_UNCALLED(WriteWORDVGAMMIOData)
SIM_UNCALLED(WriteBYTEVGAMMIOData)
SIM_UNCALLED(GetDWORDVGABIOSData)
SIM_UNCALLED(GetWORDVGABIOSData)
SIM_UNCALLED(GetBYTEVGABIOSData)

KAV_EXPORTS(SIM_CHECK_EXPORT)
