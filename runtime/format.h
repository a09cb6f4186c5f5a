// Numbers to text: FormatNumber by a mask and NumberText (the default form);
// and two conversions on the same extended values, ToInteger and LargerOf.
//
// All arithmetic is done on 80-bit extended values (long double on x86-64)
// with round-to-nearest, ties to even; every integer of up to 19 digits, the
// 64-bit tick counts included, converts exactly.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"

namespace hb {

using Extended = long double;

// Renders `value` by `mask` ("#,##0", "0.00", "#,##0;(#,##0);zero", ...); the
// mask characters are listed in number_mask.h. The value is taken to 19
// significant digits, then rounded at the last place the section shows, ties
// to even on the decimal digits (2.5 -> "2", 3.5 -> "4" with "0").
//
// Section choice: a positive value takes the first section; zero the third
// when there is text after the second ";", else the first; a negative value
// takes the second, without its sign, when a ";" with text after it follows
// the first section, else the first with "-" right before its first digit.
// A negative value that rounds to zero shows no sign.
//
// An empty mask, or an empty chosen section, gives NumberText without its
// leading blank. Integer digits beyond the section's positions are all shown,
// left of the leftmost position. With an exponent part the mantissa keeps one
// integer digit when the section has integer positions ("0.00E+00": 12345 ->
// "1.23E+04"), none otherwise; the exponent has as many digits as it needs,
// padded by "0" positions. A section without digit positions shows only its
// literals. NaN gives "NaN", infinities "Inf" and "-Inf", whatever the mask.
// Empty string and error 7 when memory is exhausted.
DynString FormatNumber(Extended value, const DynString& mask);

// The default text form: a sign position (blank or "-"), then at most 15
// significant digits, switching to exponent form when more than 15 integer
// digits or 15 decimal places would be needed. 12 -> " 12", 0.25 -> " .25",
// 1e16 -> " 1E+16", -1.5e-16 -> "-1.5E-16". NaN gives " NaN", infinities
// " Inf" and "-Inf". Empty string and error 7 when memory is exhausted.
DynString NumberText(Extended value);

// To the nearest 32-bit integer by the current rounding mode, which is ties
// to even (2.5 -> 2, 3.5 -> 4). Outside the 32-bit range the result is
// INT32_MIN or INT32_MAX, and NaN gives 0; both record error 6 (overflow).
int32_t ToInteger(Extended value) noexcept;

// The larger of two values; when equal, that value (the first one, so
// LargerOf(0.0, -0.0) is +0). NaN in either gives NaN.
Extended LargerOf(Extended a, Extended b) noexcept;

}  // namespace hb
