// Operations on DynStrings: field counting and splitting, runs of blanks and
// widening to the 16-bit text the console takes.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/array.h"
#include "runtime/dyn_string.h"

namespace hb {

// 1 + the number of non-overlapping occurrences of `delimiter` in `text`,
// searched from the left. The empty text gives 1. With an empty delimiter the
// text is read as comma-separated fields: blanks before a field are skipped
// and double-quoted stretches may hold commas.
int32_t CountFields(const DynString& text, const DynString& delimiter) noexcept;

// Copies field k of `text` into element k of `fields`, walking the elements
// from the lower bound up. Elements left over after the last field become
// empty; fields left over after the last element are ignored. Does nothing on
// an undimensioned array.
void SplitFields(const DynString& text, const DynString& delimiter, Array<DynString>& fields) noexcept;

// `count` blanks. 0 gives the empty string; a negative count gives the empty
// string and records error 5.
DynString Spaces(int32_t count) noexcept;

// One UTF-16 unit per byte through the fixed Windows-1252 table: bytes 0x80 to
// 0x9F map by that table (undefined ones to the same code point), every other
// byte to the code point of the same value. Independent of the locale.
std::u16string ToWide(const DynString& text);
char16_t WidenByte(unsigned char byte) noexcept;

}  // namespace hb
