#include "board/receiver_link.h"

#include "board/register_access.h"

namespace {

uint32_t ReadRegister(uint32_t offset) {
  return Kav.GetDWORDVGAMMIOData(offset, 0);
}

void WriteRegister(uint32_t offset, uint32_t value) {
  Kav.WriteDWORDVGAMMIOData(offset, value, 0);
}

void SetLinkField(uint32_t field) {
  WriteRegister(NvidiaLinkRegister, WithLinkField(ReadRegister(NvidiaLinkRegister), field));
}

} // namespace

void MapChipRegisters() {
  Kav.GetVGAMMIOAddress(Kav.ChipInfo, 0);
}

void OpenReceiverLink() {
  SetLinkField(LinkOpen);
}

void CloseReceiverLink() {
  SetLinkField(LinkClosed);
}

void SetAmdReceiverGpio() {
  WriteRegister(AmdGpioRegister0, 0x10);
  WriteRegister(AmdGpioRegister1, 0x100);
  WriteRegister(AmdGpioRegister2, 0x100);
}

bool ReceiverBusy() {
  return (ReadRegister(AmdReceiverStatusRegister) & LinkFieldMask) >> LinkFieldShift == ReceiverBusyValue;
}
