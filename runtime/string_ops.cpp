#include "runtime/string_ops.h"

#include <cstring>
#include <string_view>

#include "runtime/errors.h"

namespace hb {
namespace {

// Position of the first occurrence of `needle` in `hay` at or after `from`,
// or npos. An empty haystack or a needle longer than what remains never
// matches.
std::size_t FindFrom(std::string_view hay, std::string_view needle, std::size_t from) noexcept {
  if (needle.size() == 1) {
    if (from >= hay.size()) return std::string_view::npos;
    const void* hit = std::memchr(hay.data() + from, needle[0], hay.size() - from);
    return hit == nullptr ? std::string_view::npos
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - hay.data());
  }
  return hay.find(needle, from);
}

// Visits the fields of a delimited text in order: visit(field) returns false
// to stop early.
template <class Visit>
void ForEachField(std::string_view text, std::string_view delimiter, Visit visit) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t hit = FindFrom(text, delimiter, start);
    if (hit == std::string_view::npos) {
      visit(text.substr(start));
      return;
    }
    if (!visit(text.substr(start, hit - start))) return;
    start = hit + delimiter.size();
  }
}

// Comma-separated fields for the empty delimiter: leading blanks of a field
// are skipped, and commas inside double quotes do not separate.
template <class Visit>
void ForEachCommaField(std::string_view text, Visit visit) {
  std::size_t pos = 0;
  for (;;) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const std::size_t start = pos;
    bool quoted = false;
    while (pos < text.size() && (quoted || text[pos] != ',')) {
      if (text[pos] == '"') quoted = !quoted;
      ++pos;
    }
    if (!visit(text.substr(start, pos - start)) || pos >= text.size()) return;
    ++pos;  // past the comma
  }
}

template <class Visit>
void VisitFields(const DynString& text, const DynString& delimiter, Visit visit) {
  if (delimiter.Empty()) {
    ForEachCommaField(text.View(), visit);
  } else {
    ForEachField(text.View(), delimiter.View(), visit);
  }
}

// Windows-1252 for 0x80..0x9F; the five undefined bytes keep their value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

int32_t CountFields(const DynString& text, const DynString& delimiter) noexcept {
  int32_t fields = 0;
  VisitFields(text, delimiter, [&](std::string_view) {
    ++fields;
    return true;
  });
  return fields;
}

void SplitFields(const DynString& text, const DynString& delimiter, Array<DynString>& fields) noexcept {
  if (!fields.Dimensioned()) return;
  // The text or the delimiter may be an element of `fields` itself.
  const DynString source = text;
  const DynString separator = delimiter;
  // 64-bit so that a table reaching INT32_MAX does not overflow the walk.
  int64_t index = fields.LowerBound();
  const int64_t upper = fields.UpperBound();
  VisitFields(source, separator, [&](std::string_view field) {
    fields[static_cast<int32_t>(index)].Assign(field.data(), static_cast<uint32_t>(field.size()));
    return index++ < upper;
  });
  for (; index <= upper; ++index) fields[static_cast<int32_t>(index)].Clear();
}

DynString Spaces(int32_t count) noexcept {
  if (count < 0) {
    RaiseError(kErrorInvalidArgument, "Spaces");
    return DynString();
  }
  DynString blanks = DynString::WithLength(static_cast<uint32_t>(count));
  if (!blanks.Empty()) std::memset(blanks.MutableData(), ' ', static_cast<std::size_t>(count));
  return blanks;
}

char16_t WidenByte(unsigned char byte) noexcept {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

std::u16string ToWide(const DynString& text) {
  const std::string_view bytes = text.View();
  std::u16string wide(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) wide[i] = WidenByte(static_cast<unsigned char>(bytes[i]));
  return wide;
}

}  // namespace hb
