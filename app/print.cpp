#include "app/print.h"

#include <cstring>

#include "console/console.h"
#include "runtime/string_ops.h"

namespace hb {

void PrintString(const DynString& text) { PrintText(ToWide(text)); }

void PrintNumber(Extended value) {
  const DynString number = NumberText(value);
  DynString text = DynString::WithLength(number.Length() + 1);
  if (text.Empty()) return;  // out of memory, recorded as error 7
  if (!number.Empty()) std::memcpy(text.MutableData(), number.Data(), number.Length());
  text.MutableData()[number.Length()] = ' ';
  PrintString(text);
}

void PrintCount(Extended value) { PrintString(FormatNumber(value, "#,##0")); }

void PrintPassLine(const char* label, int32_t count, int64_t ticks, const char* unit) {
  PrintString(label);
  PrintCount(count);
  PrintString(" in ");
  PrintCount(static_cast<Extended>(ticks));
  PrintString(unit);
  NewLine();
}

}  // namespace hb
