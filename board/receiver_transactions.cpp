#include "board/receiver_transactions.h"

namespace {

void SetNvidiaRecord(ReceiverTransaction& transaction, uint8_t* data, int32_t size) {
  NV_I2C_INFO& info = transaction.Info;
  transaction.RegisterAddress = 0;
  info.deviceAddress = ReceiverDeviceAddress;
  info.regAddress = &transaction.RegisterAddress;
  info.regAddressSize = 0;
  info.data = data;
  info.size = static_cast<uint32_t>(size);
  info.speed = ReceiverBusSpeed;
}

void SetAtiRequest(ReceiverTransaction& transaction, int32_t direction, uint8_t* data, int32_t size) {
  AtiI2CRequest& request = transaction.Request;
  request = {};
  request.Size = sizeof(AtiI2CRequest);
  request.Line = 1;
  request.DeviceAddress = ReceiverDeviceAddress;
  request.Offset = 0;
  request.Direction = direction;
  request.Speed = 10;
  request.DataSize = size;
  request.Data = data;
}

} // namespace

void SetVersionRead(ReceiverTransaction& transaction, uint8_t* buffer) {
  SetNvidiaRecord(transaction, buffer, 1);
}

void SetPacketWrite(ReceiverTransaction& transaction, uint8_t* packet) {
  SetNvidiaRecord(transaction, packet, PacketWriteSize);
  SetAtiRequest(transaction, AtiDirectionWrite, packet, PacketWriteSize);
}

void SetChecksumRead(ReceiverTransaction& transaction, uint8_t* packet) {
  SetNvidiaRecord(transaction, packet, 1);
  SetAtiRequest(transaction, AtiDirectionRead, packet, 1);
}
