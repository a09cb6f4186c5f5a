// Printing program text and numbers at the console cursor. Program text is
// 8-bit; it is widened with ToWide on its way to the console.
#pragma once

#include <cstdint>

#include "runtime/dyn_string.h"
#include "runtime/format.h"

namespace hb {

// PrintText of the widened text.
void PrintString(const DynString& text);

// NumberText of the value and one blank: 5 prints as " 5 ", -7 as "-7 ".
// Does nothing when no console is open.
void PrintNumber(Extended value);

// The value formatted with "#,##0" (1234567 -> "1,234,567").
void PrintCount(Extended value);

// "<label><count> in <ticks><unit>" and the line end, the numbers formatted
// as by PrintCount: the closing line of a timed pass.
void PrintPassLine(const char* label, int32_t count, int64_t ticks, const char* unit);

}  // namespace hb
