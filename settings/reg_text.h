#pragma once
// Text helpers for registry files: UTF-8 <-> UTF-16LE and the case-blind
// comparison the registry uses for key and value names.
#include <cstddef>
#include <string>
#include <string_view>

// UTF-16LE bytes to UTF-8. An odd last byte is dropped (as the ANSI registry
// calls do); a lone U+DC80..U+DCFF becomes the byte 0x80..0xFF it stands for,
// other unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// UTF-8 to UTF-16LE bytes; each byte that is not valid UTF-8 becomes the lone
// surrogate U+DC00 + byte, so the two conversions round-trip any bytes.
std::string Utf8ToUtf16Le(std::string_view text);

bool IsValidUtf8(std::string_view text);

// Length in UTF-16 code units (what a line's width counts in a .reg file).
std::size_t Utf16Length(std::string_view text);

// Names compare without regard to ASCII case, as registry names do.
std::string FoldCase(std::string_view text);
bool SameRegName(std::string_view a, std::string_view b);
// Registry order of value names: case-blind, a shorter prefix first.
bool RegNameLess(std::string_view a, std::string_view b);
