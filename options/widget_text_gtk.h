#pragma once
// Texts as the GTK widgets of the options dialog show them. The dialog's
// texts follow the Windows conventions ("&" marks an access key, lines of a
// prompt may be separated by a lone CR, the arrows come from a symbol font);
// GTK wants "_" mnemonics, "\n" line breaks and valid UTF-8.
#include <string>

// "&Interval:" -> "_Interval:"; "&&" -> "&"; a literal "_" is doubled so GTK
// shows it as it is.
std::string MnemonicFromAccessText(const std::string& text);
// CR-LF and a lone CR (or LF) each become one "\n".
std::string LinesFromCarriageReturns(const std::string& text);
// The text itself when it is valid UTF-8; otherwise each invalid byte is
// replaced, so a folder name in another encoding still shows.
std::string DisplayText(const std::string& text);
// A caption drawn in a symbol font on Windows, as ordinary characters: the
// "Marlett" triangles "t" and "u" become up and down arrows. Other faces give
// the text unchanged.
std::string SymbolGlyphs(const char* face, const std::string& text);
