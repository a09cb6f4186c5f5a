// Reading the masks of FormatNumber: sections, then the tokens of a section.
//
// A mask has up to three sections separated by ";" (positive and default;
// negative; zero). A ";" inside double quotes or right after a backslash does
// not separate. A quote that is never closed runs to the end of the mask, and
// a backslash at the very end shows nothing. After the second separator the
// rest of the mask is the third section, where a further ";" is dropped.
//
// Within a section (characters not listed are dropped):
//   # 0      digit positions: integer, decimal or exponent, by where they stand
//   .        the first one (before any exponent part) is the decimal point;
//            later ones are dropped
//   ,        right after a digit position outside the exponent part: group the
//            integer digits by three, shown nowhere; elsewhere a literal comma
//   %        right after a digit position: shown, and the value is scaled by
//            100 (once per section, however many there are); elsewhere dropped
//   E+ E- e+ e-   after a digit position: starts the exponent part (only once)
//   *c       c fills the digit positions that hold no digit
//   "..."    literal stretch;  \c  the character c, literally
//   - + ( ) $ blank   literal
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace hb {

struct MaskSections {
  std::string_view section[3];  // missing sections are empty
  int separators = 0;           // 0, 1 or 2
  bool textAfterFirst = false;  // the first separator is not the mask's last character
};

MaskSections SplitMask(std::string_view mask) noexcept;

enum class MaskZone : uint8_t { kInteger, kDecimal, kExponent };

struct MaskToken {
  enum class Kind : uint8_t {
    kEnd,
    kDigit,     // ch is '#' or '0'; zone tells which part it belongs to
    kPoint,     // the decimal point
    kGroup,     // grouping comma: turns grouping on, shows nothing
    kPercent,   // shows '%'
    kExponent,  // ch is 'E' or 'e', sign is '+' or '-'
    kFill,      // ch is the fill character; shows nothing
    kLiteral,   // shows ch
  };
  Kind kind = Kind::kEnd;
  char ch = 0;
  char sign = 0;
  MaskZone zone = MaskZone::kInteger;
};

class MaskLexer {
 public:
  explicit MaskLexer(std::string_view section) noexcept : text_(section) {}
  // The next token, kEnd when the section is used up. Dropped characters
  // produce no token.
  MaskToken Next() noexcept;

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  MaskZone zone_ = MaskZone::kInteger;
  bool inQuote_ = false;
  bool seenDigit_ = false;   // a digit position earlier in the section
  bool afterDigit_ = false;  // the previous character was a digit position
};

// What a whole section asks for, gathered before the value is rounded.
struct MaskLayout {
  int64_t integerPositions = 0;
  int64_t decimalPositions = 0;
  int64_t exponentPositions = 0;
  bool point = false;
  bool exponent = false;
  bool grouping = false;
  bool percent = false;
  bool fill = false;
  char fillChar = 0;
};

MaskLayout ReadLayout(std::string_view section) noexcept;

}  // namespace hb
