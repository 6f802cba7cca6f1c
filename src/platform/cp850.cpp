#include "platform/cp850.h"

#include <algorithm>
#include <array>

namespace plat {

namespace {
constexpr char32_t kTaula[256] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642, 
    0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, 
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023, 
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F, 
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B, 
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077, 
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2, 
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 
    0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 
    0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x20AC, 0x00CD, 0x00CE, 
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 
    0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 
    0x00B3, 0x00B2, 0x25A0, 0x00A0
};
}  // namespace

char32_t Cp850AUnicode(unsigned char c) { return kTaula[c]; }

namespace {

// The UTF-8 bytes of one code point at out (room for four); how many.
constexpr int Codificar(char32_t u, char* out) {
  if (u < 0x80) {
    out[0] = static_cast<char>(u);
    return 1;
  }
  if (u < 0x800) {
    out[0] = static_cast<char>(0xC0 | (u >> 6));
    out[1] = static_cast<char>(0x80 | (u & 0x3F));
    return 2;
  }
  if (u < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (u >> 12));
    out[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (u & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (u >> 18));
  out[1] = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (u & 0x3F));
  return 4;
}

// Every glyph of the table, already in UTF-8: painting a screen encodes two thousand.
constexpr auto kGlifs = [] {
  std::array<GlifCodificat, 256> g{};
  for (int i = 0; i < 256; ++i) {
    char b[4] = {};
    const int n = Codificar(kTaula[i], b);
    if (n > 3) throw "a glyph needs three bytes at most";  // stops the build
    g[static_cast<size_t>(i)] = {{b[0], b[1], b[2]}, static_cast<unsigned char>(n)};
  }
  return g;
}();

}  // namespace

const GlifCodificat* GlifsUtf8() { return kGlifs.data(); }

int UnicodeACp850(char32_t u) {
  if (u >= 0x20 && u < 0x7F) return static_cast<int>(u);
  // Built once: reverse of the table, preferring real control bytes for U+0000..U+001F.
  static const auto invers = [] {
    struct Parell { char32_t u; unsigned char c; };
    std::array<Parell, 256> v{};
    for (int i = 0; i < 256; ++i) v[i] = {kTaula[i], static_cast<unsigned char>(i)};
    std::sort(v.begin(), v.end(), [](const Parell& a, const Parell& b) { return a.u < b.u || (a.u == b.u && a.c > b.c); });
    return v;
  }();
  if (u < 0x20) return static_cast<int>(u);  // raw control characters pass through
  if (u == 0x7F) return 0x7F;
  auto it = std::lower_bound(invers.begin(), invers.end(), u, [](const auto& p, char32_t x) { return p.u < x; });
  if (it != invers.end() && it->u == u) return it->c;
  return -1;
}

void AfegirUtf8(std::string& s, char32_t u) {
  char b[4];
  s.append(b, static_cast<size_t>(Codificar(u, b)));
}

namespace {
// Decodes one UTF-8 sequence at s[i]; a bad byte is skipped and reported as false.
bool Descodificar(const std::string& s, size_t& i, char32_t& u) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  const int n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (n == 0) { u = c; ++i; return true; }
  if (n < 0 || s.size() - i <= static_cast<size_t>(n)) { ++i; return false; }
  char32_t v = c & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    const unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) { ++i; return false; }
    v = (v << 6) | (d & 0x3F);
  }
  static const char32_t minim[4] = {0, 0x80, 0x800, 0x10000};
  if (v < minim[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) { ++i; return false; }
  u = v;
  i += n + 1;
  return true;
}
}  // namespace

std::string Utf8ACp850(const std::string& utf8) {
  std::string r;
  r.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t u;
    if (!Descodificar(utf8, i, u)) continue;
    int c = UnicodeACp850(u);
    if (c >= 0) r += static_cast<char>(c);
  }
  return r;
}

bool Utf8Representable(const std::string& utf8) {
  for (size_t i = 0; i < utf8.size();) {
    char32_t u;
    if (!Descodificar(utf8, i, u) || UnicodeACp850(u) < 0) return false;
  }
  return true;
}

std::string Cp850AUtf8(const std::string& cp850) {
  std::string r;
  r.reserve(cp850.size() * 2);
  for (unsigned char c : cp850) AfegirCp850(r, c);
  return r;
}

}  // namespace plat
