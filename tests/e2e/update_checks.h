// Checks shared by the firmware update cases: what reached the receiver and
// when, read from the simulated board's trace and flash.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/e2e/tool_run.h"
#include "tests/e2e/trace.h"

namespace e2e {

// Every whole sector of the image went out as 410 ten-byte writes, the last
// one carrying the sector's trailer byte, was read back once, and is now in
// the receiver's flash byte for byte.
void ExpectImageFlashed(const ToolResult& result, const std::vector<uint8_t>& image);

// to - from is the pause of the given length: not shorter, and not much
// longer on a busy machine.
void ExpectPause(double from, double to, double milliseconds);

// The time of the first register write of the given offset and value.
double TimeOfWrite(const Trace& trace, uint32_t offset, uint32_t value);

// Indices into I2cTransfers of the checksum reads, in order.
std::vector<size_t> ReadIndices(const std::vector<I2cTransfer>& transfers);

} // namespace e2e
