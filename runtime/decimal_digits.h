// The decimal digit string of a number, and rounding on that string.
//
// A non-negative finite value is held as 0.d[0]d[1]...d[count-1] x 10^point,
// without trailing zero digits:
//
//   1234.5  -> "12345", point 4        0.05 -> "5", point -1
//   1000    -> "1",     point 4        0    -> "",  point 0
//
// Formatting works on this string, never on the binary value, so rounding
// at a shown place is exact and ties go to the even digit.
#pragma once

#include <cstdint>

namespace hb {

struct DecimalDigits {
  static constexpr int kMaxDigits = 19;

  char digit[kMaxDigits];  // '0'..'9'; digit[count - 1] is never '0'
  int count;               // 0 for zero
  int32_t point;           // decimal exponent as above; 0 for zero

  bool IsZero() const noexcept { return count == 0; }
  // The digit at `index`, '0' outside [0, count): the zeros before the first
  // significant digit of a small value and after the last one.
  char At(int64_t index) const noexcept {
    return index >= 0 && index < count ? digit[index] : '0';
  }
};

// |value| rounded to `significant` (1 to 19) significant digits, ties to
// even. `value` must be finite. Every integer of up to 19 digits is exact.
DecimalDigits ToDecimalDigits(long double value, int significant) noexcept;

// Keeps the first `keep` digits and rounds on the first dropped one: up when
// it is above 5, or 5 followed by any non-zero digit; on exactly 5 followed by
// zeros only when the last kept digit is odd (no kept digit counts as even).
// A carry out of the first digit gives "1" one place further left. keep <= 0
// rounds in front of the first digit (and below it, to zero).
void RoundDigits(DecimalDigits& digits, int64_t keep) noexcept;

}  // namespace hb
