#include "runtime/format.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "runtime/decimal_digits.h"
#include "runtime/errors.h"
#include "runtime/number_mask.h"

namespace hb {
namespace {

constexpr int kFormatDigits = 19;      // significant digits FormatNumber works with
constexpr int kNumberTextDigits = 15;  // significant digits of NumberText

// Text is produced twice by the same code: first into a counter, to size the
// result, then into the result's one buffer.
class TextOut {
 public:
  TextOut(char* buffer, std::size_t capacity) noexcept : buffer_(buffer), capacity_(capacity) {}
  void Put(char c) noexcept {
    if (size_ < capacity_) buffer_[size_] = c;
    ++size_;
  }
  void Put(std::string_view text) noexcept {
    for (const char c : text) Put(c);
  }
  std::size_t Size() const noexcept { return size_; }

 private:
  char* buffer_;
  std::size_t capacity_;  // 0 while counting
  std::size_t size_ = 0;
};

template <class Render>
DynString RenderText(const Render& render) {
  TextOut counter(nullptr, 0);
  render(counter);
  if (counter.Size() > std::numeric_limits<uint32_t>::max()) {
    RaiseError(kErrorOutOfMemory, "number text");
    return DynString();
  }
  // Empty on out of memory, with error 7 recorded by the allocation.
  DynString result = DynString::WithLength(static_cast<uint32_t>(counter.Size()));
  if (!result.Empty()) {
    TextOut writer(result.MutableData(), result.Length());
    render(writer);
  }
  return result;
}

void PutDecimal(TextOut& out, int64_t value) {
  char reversed[20];
  int n = 0;
  do {
    reversed[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out.Put(reversed[--n]);
}

// NaN, infinities: fixed words, since no digit string describes them.
void PutNonFinite(TextOut& out, Extended value, bool leadingBlank) {
  if (std::isnan(value)) {
    if (leadingBlank) out.Put(' ');
    out.Put("NaN");
  } else if (value < 0) {
    out.Put("-Inf");
  } else {
    if (leadingBlank) out.Put(' ');
    out.Put("Inf");
  }
}

// The default form of a finite value whose digits are `digits`.
void PutNumberText(TextOut& out, const DecimalDigits& digits, bool negative, bool leadingBlank) {
  if (negative && !digits.IsZero()) {
    out.Put('-');
  } else if (leadingBlank) {
    out.Put(' ');
  }
  if (digits.IsZero()) {
    out.Put('0');
    return;
  }
  const int64_t places = digits.count - int64_t{digits.point};  // digits after the point
  if (digits.point > kNumberTextDigits || places > kNumberTextDigits) {
    out.Put(digits.digit[0]);
    if (digits.count > 1) {
      out.Put('.');
      for (int i = 1; i < digits.count; ++i) out.Put(digits.digit[i]);
    }
    const int64_t exponent = int64_t{digits.point} - 1;
    out.Put(exponent < 0 ? "E-" : "E+");
    PutDecimal(out, exponent < 0 ? -exponent : exponent);
    return;
  }
  for (int64_t i = 0; i < digits.point; ++i) out.Put(digits.At(i));
  if (places > 0) {
    out.Put('.');
    for (int64_t i = digits.point; i < digits.count; ++i) out.Put(digits.At(i));
  }
}

// The rounded number one mask section shows.
struct ShownNumber {
  DecimalDigits digits;
  int64_t point;     // where the decimal point falls in `digits`
  int64_t exponent;  // the exponent part's value, when the section has one

  int64_t IntegerLength() const noexcept { return point > 0 ? point : 0; }
  int64_t FractionLength() const noexcept { return digits.count > point ? digits.count - point : 0; }
  // Integer digit `k` places left of the point (0 is the units digit).
  char IntegerDigit(int64_t k) const noexcept { return digits.At(point - 1 - k); }
  char FractionDigit(int64_t i) const noexcept { return digits.At(point + i); }
};

ShownNumber RoundForSection(Extended magnitude, const MaskLayout& layout) {
  ShownNumber shown{ToDecimalDigits(magnitude, kFormatDigits), 0, 0};
  DecimalDigits& digits = shown.digits;
  if (layout.percent && !digits.IsZero()) digits.point += 2;
  if (!layout.exponent) {
    RoundDigits(digits, digits.point + layout.decimalPositions);
    shown.point = digits.point;
    return shown;
  }
  // Exponent form: one integer digit when the section has integer positions,
  // none otherwise; the exponent takes the rest.
  const int64_t integerDigits = layout.integerPositions > 0 ? 1 : 0;
  RoundDigits(digits, integerDigits + layout.decimalPositions);
  if (!digits.IsZero()) {
    shown.point = integerDigits;
    shown.exponent = digits.point - integerDigits;
  }
  return shown;
}

// Writes one section, token by token, filling the integer positions from
// the decimal point leftwards and the decimal positions rightwards.
class SectionWriter {
 public:
  SectionWriter(TextOut& out, const MaskLayout& layout, const ShownNumber& shown, bool negative)
      : out_(out), layout_(layout), shown_(shown), signPending_(negative && !shown.digits.IsZero()) {}

  void Write(std::string_view section) {
    MaskLexer lexer(section);
    for (MaskToken token = lexer.Next(); token.kind != MaskToken::Kind::kEnd; token = lexer.Next()) {
      Write(token);
    }
  }

 private:
  void Write(const MaskToken& token) {
    using Kind = MaskToken::Kind;
    switch (token.kind) {
      case Kind::kDigit:
        if (token.zone == MaskZone::kInteger) IntegerPosition(token.ch);
        if (token.zone == MaskZone::kDecimal) DecimalPosition(token.ch);
        if (token.zone == MaskZone::kExponent) ExponentPosition(token.ch);
        break;
      case Kind::kPoint:
        if (layout_.integerPositions == 0) ExcessIntegerDigits();
        Sign();
        out_.Put('.');
        break;
      case Kind::kPercent: out_.Put('%'); break;
      case Kind::kExponent:
        out_.Put(token.ch);
        if (shown_.exponent < 0) {
          out_.Put('-');
        } else if (token.sign == '+') {
          out_.Put('+');
        }
        if (layout_.exponentPositions == 0) PutDecimal(out_, ExponentMagnitude());
        break;
      case Kind::kLiteral: out_.Put(token.ch); break;
      default: break;  // grouping and fill show nothing where they stand
    }
  }

  // The sign of a negative value goes right before its first digit (or the
  // decimal point, when no integer digit is shown).
  void Sign() {
    if (signPending_) out_.Put('-');
    signPending_ = false;
  }
  void Digit(char c) {
    Sign();
    out_.Put(c);
  }
  void NoDigit() {
    if (layout_.fill) out_.Put(layout_.fillChar);
  }

  void IntegerDigit(int64_t k, char c) {
    Digit(c);
    if (layout_.grouping && k > 0 && k % 3 == 0) out_.Put(',');
  }
  // Integer digits beyond the section's positions stand left of the leftmost.
  void ExcessIntegerDigits() {
    for (int64_t k = shown_.IntegerLength() - 1; k >= layout_.integerPositions; --k) {
      IntegerDigit(k, shown_.IntegerDigit(k));
    }
  }
  void IntegerPosition(char placeholder) {
    if (integerSeen_ == 0) ExcessIntegerDigits();
    const int64_t k = layout_.integerPositions - 1 - integerSeen_++;
    if (k < shown_.IntegerLength()) {
      IntegerDigit(k, shown_.IntegerDigit(k));
    } else if (placeholder == '0') {
      IntegerDigit(k, '0');
    } else {
      NoDigit();
    }
  }
  void DecimalPosition(char placeholder) {
    const int64_t i = decimalSeen_++;
    if (i < shown_.FractionLength()) {
      Digit(shown_.FractionDigit(i));
    } else if (placeholder == '0') {
      Digit('0');
    } else {
      NoDigit();
    }
  }

  int64_t ExponentMagnitude() const { return shown_.exponent < 0 ? -shown_.exponent : shown_.exponent; }
  void ExponentPosition(char placeholder) {
    char text[20];
    int length = 0;
    for (int64_t e = ExponentMagnitude(); e != 0; e /= 10) text[length++] = static_cast<char>('0' + e % 10);
    if (exponentSeen_ == 0) {
      for (int64_t k = length - 1; k >= layout_.exponentPositions; --k) out_.Put(text[k]);
    }
    const int64_t k = layout_.exponentPositions - 1 - exponentSeen_++;
    if (k < length) {
      out_.Put(text[k]);
    } else if (placeholder == '0') {
      out_.Put('0');
    } else {
      NoDigit();
    }
  }

  TextOut& out_;
  const MaskLayout& layout_;
  const ShownNumber& shown_;
  bool signPending_;
  int64_t integerSeen_ = 0;
  int64_t decimalSeen_ = 0;
  int64_t exponentSeen_ = 0;
};

// Which section formats the value, and whether the value keeps its sign.
struct SectionChoice {
  std::string_view section;
  bool keepSign;
};

SectionChoice ChooseSection(Extended value, const MaskSections& sections) {
  if (value > 0) return {sections.section[0], false};
  if (value == 0) {
    const bool zeroSection = sections.separators == 2 && !sections.section[2].empty();
    return {sections.section[zeroSection ? 2 : 0], false};
  }
  if (sections.separators >= 1 && sections.textAfterFirst) return {sections.section[1], false};
  return {sections.section[0], true};
}

}  // namespace

DynString NumberText(Extended value) {
  if (!std::isfinite(value)) return RenderText([value](TextOut& out) { PutNonFinite(out, value, true); });
  const DecimalDigits digits = ToDecimalDigits(value, kNumberTextDigits);
  return RenderText([&](TextOut& out) { PutNumberText(out, digits, value < 0, true); });
}

DynString FormatNumber(Extended value, const DynString& mask) {
  if (!std::isfinite(value)) return RenderText([value](TextOut& out) { PutNonFinite(out, value, false); });
  const SectionChoice choice = ChooseSection(value, SplitMask(mask.View()));
  if (choice.section.empty()) {
    const DecimalDigits digits = ToDecimalDigits(value, kNumberTextDigits);
    return RenderText([&](TextOut& out) { PutNumberText(out, digits, choice.keepSign, false); });
  }
  const MaskLayout layout = ReadLayout(choice.section);
  const ShownNumber shown = RoundForSection(std::fabs(value), layout);
  return RenderText([&](TextOut& out) { SectionWriter(out, layout, shown, choice.keepSign).Write(choice.section); });
}

int32_t ToInteger(Extended value) noexcept {
  constexpr Extended kMin = std::numeric_limits<int32_t>::min();
  constexpr Extended kMax = std::numeric_limits<int32_t>::max();
  if (std::isnan(value)) {
    RaiseError(kErrorOverflow, "ToInteger");
    return 0;
  }
  // nearbyint rounds by the current mode: to nearest, ties to even.
  const Extended rounded = std::nearbyint(value);
  if (rounded < kMin || rounded > kMax) {
    RaiseError(kErrorOverflow, "ToInteger");
    return rounded < kMin ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(rounded);
}

Extended LargerOf(Extended a, Extended b) noexcept {
  if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<Extended>::quiet_NaN();
  return b > a ? b : a;
}

}  // namespace hb
