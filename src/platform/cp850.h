// Code page 850 <-> Unicode, the only place where text changes encoding.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Unicode code point shown for a CP850 byte (control codes as PC glyphs, euro at 0xD5).
char32_t Cp850AUnicode(unsigned char c);
// CP850 byte for a code point; -1 when it has none.
int UnicodeACp850(char32_t u);

// Whole texts. Characters without a CP850 code are dropped; invalid UTF-8 bytes too.
std::string Utf8ACp850(const std::string& utf8);
std::string Cp850AUtf8(const std::string& cp850);
// True when every character of the UTF-8 text has a CP850 code (and it decodes cleanly).
bool Utf8Representable(const std::string& utf8);
// Appends one code point as UTF-8.
void AfegirUtf8(std::string& sortida, char32_t u);
// The UTF-8 bytes of the glyph shown for each CP850 byte (Cp850AUnicode, encoded): a
// table of 256, for loops that encode many.
struct GlifCodificat {
  char bytes[3];
  unsigned char mida;
};
const GlifCodificat* GlifsUtf8();
inline std::string_view GlifUtf8(unsigned char c) { return {GlifsUtf8()[c].bytes, GlifsUtf8()[c].mida}; }
// Appends one CP850 byte as Cp850AUtf8 converts it: control bytes stay as they are (file
// names and data keep them), the rest become their glyph's UTF-8.
inline void AfegirCp850(std::string& utf8, unsigned char c) {
  if (c < 0x80) utf8 += static_cast<char>(c);  // ASCII glyphs are their own bytes
  else utf8 += GlifUtf8(c);
}

}  // namespace plat
