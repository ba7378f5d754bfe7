#include "options/widget_text_gtk.h"

#include <glib.h>

#include <cmath>
#include <cstring>

std::string MnemonicFromAccessText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      } else if (i + 1 < text.size()) {
        out += '_';
      }
    } else if (c == '_') {
      out += "__";
    } else {
      out += c;
    }
  }
  return out;
}

std::string LinesFromCarriageReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string DisplayText(const std::string& text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string out = valid;
  g_free(valid);
  return out;
}

std::string SymbolGlyphs(const char* face, const std::string& text) {
  if (!face || std::strcmp(face, "Marlett") != 0) return text;
  std::string out;
  for (char c : text) {
    if (c == 't') {
      out += "\xE2\x96\xB2";  // U+25B2 black up-pointing triangle
    } else if (c == 'u') {
      out += "\xE2\x96\xBC";  // U+25BC black down-pointing triangle
    } else {
      out += c;
    }
  }
  return out;
}

