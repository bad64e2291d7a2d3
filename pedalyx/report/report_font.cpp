#include "pedalyx/report/report_font.h"

#include <fontconfig/fontconfig.h>

#include "platform/files.h"

namespace report {

FontFile findSystemCjkFont(bool bold) {
  FontFile found;
  if (!FcInit()) return found;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-tw"));
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Noto Sans CJK TC"));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match != nullptr) {
    FcChar8* file = nullptr;
    FcCharSet* chars = nullptr;
    // Only a font that holds the report's characters will do (a Latin fallback would not).
    bool coversChinese = FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch &&
                         FcCharSetHasChar(chars, 0x8173) && FcCharSetHasChar(chars, 0x58D3);
    if (coversChinese && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      found.path = reinterpret_cast<const char*>(file);
      FcPatternGetInteger(match, FC_INDEX, 0, &found.faceIndex);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

FontFile findReportFont() {
  if (platform::fileExists("./simsun.ttc")) return {"./simsun.ttc", 0};
  return findSystemCjkFont(false);
}

}  // namespace report
