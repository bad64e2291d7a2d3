#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16, RoundTripsChineseAndCharactersBeyondTheBasicPlane) {
  std::string text = "足底壓力檢測儀 abc \xF0\x9F\x91\xA3";  // ends with a footprint emoji
  std::u16string wide = platform::utf8ToUtf16(text);
  EXPECT_EQ(wide.size(), 7u + 5u + 2u);  // the emoji takes a surrogate pair
  EXPECT_EQ(platform::utf16ToUtf8(wide), text);
}

TEST(Utf16, BrokenInputBecomesReplacementCharacters) {
  EXPECT_EQ(platform::utf8ToUtf16("a\xE8\xB6"), (std::u16string{u'a', 0xFFFD, 0xFFFD}));
  EXPECT_EQ(platform::utf8ToUtf16("\xC0\xAF"), (std::u16string{0xFFFD, 0xFFFD}));  // overlong
  EXPECT_EQ(platform::utf16ToUtf8(std::u16string{0xD800}), "\xEF\xBF\xBD");
}

TEST(Big5, EncodesTraditionalCharactersAndMarksTheUnencodable) {
  // "中立" in Big5 is A4 A4 A5 DF.
  EXPECT_EQ(platform::utf8ToBig5("中立"), "\xA4\xA4\xA5\xDF");
  EXPECT_EQ(platform::utf8ToBig5("ID,12"), "ID,12");
  EXPECT_EQ(platform::big5ToUtf8("\xA4\xA4\xA5\xDF"), "中立");
  // An emoji has no Big5 form: one '?' for the whole character, the rest kept.
  EXPECT_EQ(platform::utf8ToBig5("a\xF0\x9F\x91\xA3" "b"), "a?b");
}

}  // namespace
