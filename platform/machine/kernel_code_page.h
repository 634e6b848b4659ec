// Text conversions of the machine: the ANSI code page (Windows-1252), UTF-16
// and the host's UTF-8, and the case folding that names are compared with.
#pragma once

#include <cstdint>
#include <string>

// The Unicode code point of one Windows-1252 byte. The five bytes that the
// code page leaves undefined map to the C1 controls of the same value, as
// Windows does, so every byte survives a round trip.
char32_t CodePointFromAnsi(unsigned char byte);

// The Windows-1252 byte of a code point; false when the code page has none.
bool AnsiFromCodePoint(char32_t codePoint, unsigned char& byte);

// Windows-1252 text to UTF-8 and back. Code points without an ANSI byte and
// invalid UTF-8 become '?'.
std::string Utf8FromAnsi(const std::string& ansi);
std::string AnsiFromUtf8(const std::string& utf8);
// True when the UTF-8 text is valid and every character has an ANSI byte.
bool IsAnsiRepresentable(const std::string& utf8);

// Decodes UTF-8 into code points; invalid sequences become U+FFFD.
std::u32string CodePointsFromUtf8(const std::string& utf8);
std::string Utf8FromCodePoints(const std::u32string& codePoints);

// The upper-case form of Windows-1252 text for comparisons without regard to
// case: a-z, the accented letters of 0xE0-0xFE (except 0xF7) and the pairs
// š/Š, œ/Œ, ž/Ž, ÿ/Ÿ.
std::string FoldAnsiCase(const std::string& ansi);
bool EqualIgnoringAnsiCase(const std::string& left, const std::string& right);
