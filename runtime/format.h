// Numbers to text: FormatNumber by a mask, NumberText (the default form), and
// the numeric conversions the containers and the driver rely on.
//
// All arithmetic is done on 80-bit extended values (long double on x86-64)
// with round-to-nearest, ties to even; every integer of up to 19 digits, the
// 64-bit tick counts included, converts exactly.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"

namespace hb {

using Extended = long double;

// Renders `value` by `mask` ("#,##0", "0.00", "#,##0;(#,##0);zero", ...).
// An empty mask, or an empty chosen section, gives NumberText without its
// leading blank. Empty string and error 7 when memory is exhausted.
DynString FormatNumber(Extended value, const DynString& mask);

// The default text form: a sign position (blank or "-"), then at most 15
// significant digits, switching to exponent form when more than 15 integer
// digits or 15 decimal places would be needed. 12 -> " 12", 0.25 -> " .25".
DynString NumberText(Extended value);

// To the nearest 32-bit integer, ties to even (2.5 -> 2, 3.5 -> 4).
int32_t ToInteger(Extended value) noexcept;

// The larger of two values; when equal, that value.
Extended LargerOf(Extended a, Extended b) noexcept;

}  // namespace hb
