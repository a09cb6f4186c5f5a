#include "runtime/decimal_digits.h"

#include <cmath>
#include <cstdio>

namespace hb {
namespace {

void DropTrailingZeros(DecimalDigits& digits) noexcept {
  while (digits.count > 0 && digits.digit[digits.count - 1] == '0') --digits.count;
  if (digits.count == 0) digits.point = 0;
}

}  // namespace

DecimalDigits ToDecimalDigits(long double value, int significant) noexcept {
  if (significant < 1) significant = 1;
  if (significant > DecimalDigits::kMaxDigits) significant = DecimalDigits::kMaxDigits;

  // The C library converts the exact binary value, rounding the decimal
  // string to nearest with ties to even. Its text is "d.ddd...e+XX"; the
  // point may be another character under a foreign locale, so everything
  // that is not a digit is skipped up to the 'e'.
  char text[64];
  std::snprintf(text, sizeof text, "%.*Le", significant - 1, std::fabs(value));

  DecimalDigits digits{};
  const char* c = text;
  for (; *c != '\0' && *c != 'e'; ++c) {
    if (*c >= '0' && *c <= '9' && digits.count < DecimalDigits::kMaxDigits) digits.digit[digits.count++] = *c;
  }
  int32_t exponent = 0;
  bool negative = false;
  if (*c == 'e') ++c;
  if (*c == '-' || *c == '+') negative = *c++ == '-';
  for (; *c >= '0' && *c <= '9'; ++c) exponent = exponent * 10 + (*c - '0');
  digits.point = (negative ? -exponent : exponent) + 1;
  DropTrailingZeros(digits);
  return digits;
}

void RoundDigits(DecimalDigits& digits, int64_t keep) noexcept {
  if (keep >= digits.count) return;
  if (keep < 0) {
    digits.count = 0;
    digits.point = 0;
    return;
  }
  const int kept = static_cast<int>(keep);
  const char first = digits.digit[kept];
  bool up = first > '5';
  if (first == '5') {
    bool beyond = false;  // a non-zero digit after the 5
    for (int i = kept + 1; i < digits.count; ++i) beyond = beyond || digits.digit[i] != '0';
    const bool odd = kept > 0 && (digits.digit[kept - 1] - '0') % 2 == 1;
    up = beyond || odd;
  }
  digits.count = kept;
  if (up) {
    int i = kept - 1;
    while (i >= 0 && digits.digit[i] == '9') --i;
    if (i < 0) {
      digits.digit[0] = '1';
      digits.count = 1;
      ++digits.point;
    } else {
      ++digits.digit[i];
      digits.count = i + 1;
    }
  }
  DropTrailingZeros(digits);
}

}  // namespace hb
