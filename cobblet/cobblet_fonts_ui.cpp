#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>

#include <string>

#include "cobblet/cobblet_window.h"

namespace {

// The sans-serif family fontconfig offers for Traditional Chinese, when it really has the
// characters of the labels (tested with "讀"); empty otherwise.
std::string traditionalChineseSans() {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans:lang=zh-tw"));
  if (pattern == nullptr) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string family;
  FcChar8* name = nullptr;
  FcCharSet* characters = nullptr;
  if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch &&
      FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch &&
      FcCharSetHasChar(characters, 0x8B80)) {
    family = reinterpret_cast<const char*>(name);
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace

void useTraditionalChineseFont() {
  // The toolkit draws a label in one font without fallback, so the default face itself must
  // hold the Chinese characters. A leading blank in the name selects the plain style.
  static const std::string plain = " " + traditionalChineseSans();
  if (plain.size() > 1) Fl::set_font(FL_HELVETICA, plain.c_str());
}
