// The x87 floating-point control word under which numbers are formatted.
#pragma once

#include <cstdint>

namespace hb {

// Round to nearest (ties to even), 64-bit mantissa, every exception masked.
inline constexpr uint16_t kProgramControlWord = 0x133F;

// Loads the control word on x86-64; elsewhere there is no x87 unit and this
// does nothing.
void SetFloatingPointControlWord(uint16_t word) noexcept;

// The current control word; kProgramControlWord where there is no x87 unit.
uint16_t FloatingPointControlWord() noexcept;

}  // namespace hb
