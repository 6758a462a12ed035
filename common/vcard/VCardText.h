// Text helpers of the vCard reader and writer: transfer encodings, character
// sets, UTF-8 checks, backslash escapes and line ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vcardtext {

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsUtf8(const char* p, size_t n);
inline bool IsUtf8(const std::string& s) { return IsUtf8(s.data(), s.size()); }

// Appends code point c as UTF-8.
void AppendUtf8(unsigned c, std::string& out);

// Converts text of a single-byte character set to UTF-8. Returns false for a
// set it does not know (out untouched). Known: UTF-8 (checked by the caller),
// US-ASCII, ISO-8859-1 / LATIN1, ISO-8859-15, WINDOWS-1252 / CP1252.
bool IsKnownCharset(const std::string& szCharset);
bool IsUtf8Charset(const std::string& szCharset);
bool ConvertToUtf8(const std::string& szCharset, const std::string& in, std::string& out);

// A whole buffer in UTF-16 (little or big endian, after its byte-order mark)
// to UTF-8; broken surrogates become U+FFFD.
std::string Utf16ToUtf8(const unsigned char* p, size_t n, bool bBigEndian);

// Quoted-printable: =XX gives the byte, a lone = at a line end is a soft break
// and goes; anything else malformed is kept as it stands.
std::string DecodeQuotedPrintable(const std::string& in);

// Base64, ignoring white space; false for other characters.
bool DecodeBase64(const std::string& in, std::string& out);

// Splits a value at every separator not escaped by a backslash. The parts keep
// their escapes.
std::vector<std::string> SplitEscaped(const std::string& in, char cSep);

// Resolves backslash escapes. bFull (3.0 and later) also reads \n and \N as a
// line break; 2.1 knows only \; \, and \\. Unknown escapes stay as written.
std::string Unescape(const std::string& in, bool bFull);

// Every line break (CR LF, LF or CR) becomes CR LF, and NUL bytes go.
std::string NormalizeLineEnds(const std::string& in);

// Escapes a text value for writing: \ ; , and line breaks.
void AppendEscaped(const char* sz, std::string& out);

// ASCII upper case.
std::string Upper(std::string s);

}  // namespace vcardtext
