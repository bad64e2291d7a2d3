#include "platform/chinese_fonts_ui.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>

#include <string>

namespace {

// The family fontconfig picks for Traditional Chinese sans-serif text, or empty.
std::string chineseSansFamily() {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans:lang=zh-tw"));
  if (pattern == nullptr) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string family;
  FcChar8* name = nullptr;
  FcCharSet* charset = nullptr;
  // Accept the match only when it really holds Chinese characters (here: "壓").
  if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch &&
      FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch &&
      FcCharSetHasChar(charset, 0x58D3)) {
    family = reinterpret_cast<const char*>(name);
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace

namespace platform {

void useChineseCapableFonts() {
  // Every label is Chinese; the toolkit draws each text with one font and no fallback, so its
  // sans-serif faces must be a family that has the characters.
  static const std::string family = chineseSansFamily();
  if (family.empty()) return;
  // The first character of a toolkit font name selects the style: plain, bold, italic, both.
  static const std::string plain = " " + family;
  static const std::string bold = "B" + family;
  static const std::string italic = "I" + family;
  static const std::string boldItalic = "P" + family;
  Fl::set_font(FL_HELVETICA, plain.c_str());
  Fl::set_font(FL_HELVETICA_BOLD, bold.c_str());
  Fl::set_font(FL_HELVETICA_ITALIC, italic.c_str());
  Fl::set_font(FL_HELVETICA_BOLD_ITALIC, boldItalic.c_str());
}

}  // namespace platform
