#include "runtime/number_mask.h"

#include <utility>

namespace hb {

MaskSections SplitMask(std::string_view mask) noexcept {
  MaskSections result;
  std::size_t start = 0;
  bool inQuote = false;
  for (std::size_t i = 0; i < mask.size() && result.separators < 2; ++i) {
    const char c = mask[i];
    if (inQuote) {
      inQuote = c != '"';
    } else if (c == '"') {
      inQuote = true;
    } else if (c == '\\') {
      ++i;  // the escaped character never separates
    } else if (c == ';') {
      if (result.separators == 0) result.textAfterFirst = i + 1 < mask.size();
      result.section[result.separators++] = mask.substr(start, i - start);
      start = i + 1;
    }
  }
  result.section[result.separators] = mask.substr(start);
  return result;
}

MaskToken MaskLexer::Next() noexcept {
  using Kind = MaskToken::Kind;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (inQuote_) {
      if (c == '"') {
        inQuote_ = false;
        continue;
      }
      return {Kind::kLiteral, c, 0, zone_};
    }
    const bool afterDigit = std::exchange(afterDigit_, false);
    const bool more = pos_ < text_.size();
    switch (c) {
      case '#':
      case '0':
        seenDigit_ = afterDigit_ = true;
        return {Kind::kDigit, c, 0, zone_};
      case '.':
        if (zone_ != MaskZone::kInteger) continue;
        zone_ = MaskZone::kDecimal;
        return {Kind::kPoint, c, 0, zone_};
      case ',':
        if (afterDigit && zone_ != MaskZone::kExponent) return {Kind::kGroup, c, 0, zone_};
        return {Kind::kLiteral, c, 0, zone_};
      case '%':
        if (afterDigit) return {Kind::kPercent, c, 0, zone_};
        continue;
      case 'E':
      case 'e':
        if (!seenDigit_ || zone_ == MaskZone::kExponent || !more) continue;
        if (text_[pos_] != '+' && text_[pos_] != '-') continue;
        zone_ = MaskZone::kExponent;
        return {Kind::kExponent, c, text_[pos_++], zone_};
      case '*':
        if (!more) continue;
        return {Kind::kFill, text_[pos_++], 0, zone_};
      case '"':
        inQuote_ = true;
        continue;
      case '\\':
        if (!more) continue;
        return {Kind::kLiteral, text_[pos_++], 0, zone_};
      case '-':
      case '+':
      case '(':
      case ')':
      case '$':
      case ' ':
        return {Kind::kLiteral, c, 0, zone_};
      default:
        continue;
    }
  }
  return {};
}

MaskLayout ReadLayout(std::string_view section) noexcept {
  using Kind = MaskToken::Kind;
  MaskLayout layout;
  MaskLexer lexer(section);
  for (MaskToken token = lexer.Next(); token.kind != Kind::kEnd; token = lexer.Next()) {
    switch (token.kind) {
      case Kind::kDigit:
        if (token.zone == MaskZone::kInteger) ++layout.integerPositions;
        if (token.zone == MaskZone::kDecimal) ++layout.decimalPositions;
        if (token.zone == MaskZone::kExponent) ++layout.exponentPositions;
        break;
      case Kind::kPoint: layout.point = true; break;
      case Kind::kGroup: layout.grouping = true; break;
      case Kind::kPercent: layout.percent = true; break;
      case Kind::kExponent: layout.exponent = true; break;
      case Kind::kFill:
        layout.fill = true;
        layout.fillChar = token.ch;
        break;
      default: break;
    }
  }
  return layout;
}

}  // namespace hb
