// Text conversions between the encodings the station meets: the toolkit's UTF-8, UTF-16 for
// message boxes, the system's 8-bit code page for file names (UTF-8 on Linux) and Big5 for
// the measurement database.
#pragma once
#include <string>

namespace platform {

// Invalid input sequences are replaced by U+FFFD.
std::u16string utf8ToUtf16(const std::string& utf8);
std::string utf16ToUtf8(const std::u16string& utf16);

// The system's 8-bit code page. On Linux file names are UTF-8 bytes, so this is the identity.
std::string utf8ToSystemCodePage(const std::string& utf8);

// Big5 (code page 950). Characters Big5 cannot hold become '?', as the Windows conversion does.
std::string utf8ToBig5(const std::string& utf8);
std::string big5ToUtf8(const std::string& big5);

// The longest prefix of at most maxBytes bytes that does not end inside a UTF-8 character.
std::string cutAtCharacterBoundary(const std::string& text, size_t maxBytes);

}  // namespace platform
