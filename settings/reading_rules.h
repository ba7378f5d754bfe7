#pragma once
// The rules that turn a stored value's text into a setting. Every stored
// value arrives as text (GetRegistryValue), so a setting may also have been
// typed in by hand as a string; these rules read both the same way.
#include <optional>
#include <string_view>

// The number at the start of the text: white space skipped, then an optional
// sign and decimal digits with an optional decimal point (a full stop) and
// exponent, or a hexadecimal number after "&H" (either case). Reading stops at
// the first character that does not continue the number; no number gives 0.
double LeadingNumber(std::string_view text);

// The whole text as one number (spaces around it allowed), or nothing when
// any other character is present or there is no number at all.
std::optional<double> WholeNumber(std::string_view text);

// True for "yes" (lower case exactly, spaces around it allowed) or when the
// leading number is above 0.
bool BooleanRule(std::string_view text);

// Nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
