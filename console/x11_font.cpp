#include "console/x11_font.h"

#include <algorithm>
#include <cmath>

#include "console/utf8.h"

namespace hb {
namespace {

// Whether pixels are colour values (not indexes into a colour map).
bool TrueColorScreen(Display* display, int screen) {
  const int visualClass = DefaultVisual(display, screen)->c_class;
  return visualClass == TrueColor || visualClass == DirectColor;
}

// The pattern fontconfig matches for `description`; `pixelSize` 0 leaves the
// size to the description or the system default.
FcPattern* MatchPattern(Display* display, int screen, const FontDescription& description, double pixelSize) {
  FcPattern* request = FcPatternCreate();
  if (request == nullptr) return nullptr;
  const std::string face = ToUtf8(description.face);
  FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  if (description.pitch == FontPitch::kFixed) FcPatternAddInteger(request, FC_SPACING, FC_MONO);
  if (description.pitch == FontPitch::kVariable) FcPatternAddInteger(request, FC_SPACING, FC_PROPORTIONAL);
  FcPatternAddDouble(request, FC_WEIGHT, FcWeightFromOpenTypeDouble(description.weight));
  if (pixelSize > 0) {
    FcPatternAddDouble(request, FC_PIXEL_SIZE, pixelSize);
  } else if (description.height > 0) {
    FcPatternAddDouble(request, FC_PIXEL_SIZE, description.height);
  }
  FcConfigSubstitute(nullptr, request, FcMatchPattern);
  XftDefaultSubstitute(display, screen, request);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, request, &result);
  FcPatternDestroy(request);
  return match;
}

std::optional<ConsoleFont> OpenAtSize(Display* display, int screen, const FontDescription& description,
                                      double pixelSize) {
  FcPattern* match = MatchPattern(display, screen, description, pixelSize);
  if (match == nullptr) return std::nullopt;
  ConsoleFont opened;
  FcChar8* family = nullptr;
  if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
    opened.family = reinterpret_cast<const char*>(family);
  }
  FcPatternGetDouble(match, FC_PIXEL_SIZE, 0, &opened.pixelSize);
  FcPatternDel(match, FC_SPACING);
  if (!TrueColorScreen(display, screen)) {  // see the header
    FcPatternDel(match, XFT_RENDER);
    FcPatternAddBool(match, XFT_RENDER, FcFalse);
    FcPatternDel(match, FC_ANTIALIAS);
    FcPatternAddBool(match, FC_ANTIALIAS, FcFalse);
  }
  opened.font = XftFontOpenPattern(display, match);  // owns `match` from here on success
  if (opened.font == nullptr) {
    FcPatternDestroy(match);
    return std::nullopt;
  }
  XGlyphInfo extents{};
  const FcChar8 typical[] = "M";
  XftTextExtentsUtf8(display, opened.font, typical, 1, &extents);
  opened.cellWidth = extents.xOff;
  opened.ascent = opened.font->ascent;
  opened.lineHeight = std::max(opened.font->height, opened.font->ascent + opened.font->descent);
  if (opened.cellWidth <= 0 || opened.lineHeight <= 0) {
    CloseConsoleFont(display, opened);
    return std::nullopt;
  }
  return opened;
}

bool Fits(const ConsoleFont& font, int32_t columns, int32_t rows, PixelArea area) {
  return int64_t{font.cellWidth} * columns <= area.width && int64_t{font.lineHeight} * rows <= area.height;
}

}  // namespace

std::optional<ConsoleFont> OpenConsoleFont(Display* display, int screen, const FontDescription& description,
                                           int32_t columns, int32_t rows, PixelArea area) {
  std::optional<ConsoleFont> chosen = OpenAtSize(display, screen, description, 0);
  if (!chosen || Fits(*chosen, columns, rows, area) || chosen->cellWidth <= kMinimumCellWidth) return chosen;
  // Too large for the screen: step down one pixel at a time, keeping the
  // smallest readable size in case none fits.
  for (double size = std::ceil(chosen->pixelSize) - 1; size >= 1; --size) {
    std::optional<ConsoleFont> smaller = OpenAtSize(display, screen, description, size);
    if (!smaller) break;
    if (smaller->cellWidth < kMinimumCellWidth) {
      CloseConsoleFont(display, *smaller);
      break;
    }
    CloseConsoleFont(display, *chosen);
    chosen = smaller;
    if (Fits(*chosen, columns, rows, area)) break;
  }
  return chosen;
}

void CloseConsoleFont(Display* display, ConsoleFont& font) {
  if (font.font != nullptr) XftFontClose(display, font.font);
  font.font = nullptr;
}

}  // namespace hb
