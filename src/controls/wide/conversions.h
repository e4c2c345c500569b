// Conversions between UTF-16 text and byte encodings: the system's code pages, UTF-8 and
// UTF-7. Byte strings are std::string holding raw bytes in the named encoding.
//
// Pure functions (the UTF-7 tables are built once, thread-safely, on first use); any thread
// may call them.
#pragma once

#include <windows.h>

#include <string>

namespace wide {

// The system's ANSI code page, read once when the program starts. 8-bit text without a
// byte-order mark is decoded with it.
extern const unsigned DefaultSystemCodePage;

// Code page numbers with a meaning of their own.
constexpr unsigned CP_UTF7_NUMBER = 65000;
constexpr unsigned CP_UTF8_NUMBER = 65001;

// Bytes of code page `codePage` to UTF-16. 65000 is UTF-7, 65001 UTF-8, 0 the system's ANSI
// code page; anything else is handed to the platform. Characters without a mapping become
// the platform's default character.
std::wstring StringToWideStringEx(const std::string& s, unsigned codePage);
// UTF-16 to bytes of `codePage` (same numbering as above).
std::string WideStringToStringEx(const std::wstring& w, unsigned codePage);

// UTF-8 bytes of `w`. A surrogate pair becomes one four-byte sequence; a lone surrogate
// half is written as its own three-byte sequence, so every UTF-16 text survives the trip
// through UTF8ToWideString unchanged.
std::string WideStringToUTF8(const std::wstring& w);

// UTF-16 text of UTF-8 bytes. Never raises: every malformed part (a bad lead or
// continuation byte, a sequence cut short, an over-long form, a value beyond U+10FFFF)
// becomes one U+FFFD, and `lossy`, when given, is set to whether that happened. Four-byte
// sequences become surrogate pairs. A byte-order mark is not removed here.
std::wstring UTF8ToWideString(const std::string& s, bool* lossy = nullptr);

// UTF-7 (RFC 2152, optional direct characters written directly). Empty for empty.
std::string WideStringToUTF7(const std::wstring& w);
// UTF-16 text of UTF-7 bytes. Malformed input raises EWideGeneralError "Invalid UTF7"
// after the whole text has been read; no partial result is returned.
std::wstring UTF7ToWideString(const std::string& s);

// The default ANSI code page of a locale; GetACP() when the locale does not give one.
unsigned LCIDToCodePage(LCID locale);
// The ANSI code page of the current thread's keyboard layout.
unsigned KeyboardCodePage();
// A typed character: values of 256 and above unchanged, others converted as one byte of
// the keyboard's code page (control codes as glyph characters).
wchar_t KeyboardCharToWide(unsigned short ch);

// Swaps the two bytes of every character up to the first U+0000.
void SwapWideByteOrder(wchar_t* p);

}  // namespace wide
