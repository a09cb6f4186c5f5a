// Conversions between the console's 16-bit text and UTF-8, for the stream
// console's output and input and for window titles.
#pragma once

#include <string>
#include <string_view>

namespace hb {

// Surrogate pairs become one code point; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::u16string_view text, std::string& out);
std::string ToUtf8(std::u16string_view text);

// Decodes UTF-8 into 16-bit units (code points above U+FFFF as surrogate
// pairs); malformed sequences become U+FFFD.
std::u16string FromUtf8(std::string_view bytes);

// Length of the UTF-8 sequence that starts with `lead` (1 for a byte that
// cannot start one).
int Utf8SequenceLength(unsigned char lead) noexcept;

}  // namespace hb
