#include "fields/majuscules.h"

#include <array>

bool SenseAccents = false;

namespace {

using Taula = std::array<unsigned char, 256>;

struct Parell {
  unsigned char de, a;
};

// Small accented letters of CP850 and their capitals.
constexpr Parell kCapitals[] = {
    {0x81, 0x9A}, {0x82, 0x90}, {0x83, 0xB6}, {0x84, 0x8E}, {0x85, 0xB7}, {0x86, 0x8F},
    {0x87, 0x80}, {0x88, 0xD2}, {0x89, 0xD3}, {0x8A, 0xD4}, {0x8B, 0xD8}, {0x8C, 0xD7},
    {0x8D, 0xDE}, {0x91, 0x92}, {0x93, 0xE2}, {0x94, 0x99}, {0x95, 0xE3}, {0x96, 0xEA},
    {0x97, 0xEB}, {0xA0, 0xB5}, {0xA1, 0xD6}, {0xA2, 0xE0}, {0xA3, 0xE9}, {0xA4, 0xA5},
    {0xC6, 0xC7}, {0xD0, 0xD1}, {0xE4, 0xE5}, {0xEC, 0xED},
};

struct Familia {
  unsigned char clau;
  const char* codis;
};

// Accented and special letters folded onto their base letter. 0xD5 is the euro sign
// in the euro code page, which the key reader produces for Alt+E: it searches as E.
constexpr Familia kFamilies[] = {
    {'A', "\x83\x84\x85\x86\x8E\x8F\x91\x92\xA0\xA6\xB5\xB6\xB7\xC6\xC7"},
    {'C', "\x80\x87"},
    {'D', "\xD0\xD1"},
    {'E', "\x82\x88\x89\x8A\x90\xD2\xD3\xD4\xD5"},
    {'I', "\x8B\x8C\x8D\xA1\xD6\xD7\xD8\xDE"},
    {'N', "\xA4\xA5"},
    {'O', "\x93\x94\x95\x99\x9B\x9D\xA2\xA7\xE0\xE2\xE3\xE4\xE5"},
    {'S', "\xE1"},
    {'T', "\xE7\xE8"},
    {'U', "\x81\x96\x97\x9A\xA3\xE9\xEA\xEB"},
    {'Y', "\x98\xEC\xED"},
};

constexpr Taula Identitat() {
  Taula t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  return t;
}

constexpr Taula FerMajuscules() {
  Taula t = Identitat();
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 'a' + 'A');
  for (const Parell& p : kCapitals) t[p.de] = p.a;
  return t;
}

constexpr Taula FerClauCerca() {
  Taula t = Identitat();
  for (int c = 64; c <= 237; ++c) t[c] = ' ';
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) {
    t[c] = static_cast<unsigned char>(c);
    t[c - 'A' + 'a'] = static_cast<unsigned char>(c);
  }
  for (const Familia& f : kFamilies)
    for (const char* p = f.codis; *p; ++p) t[static_cast<unsigned char>(*p)] = f.clau;
  return t;
}

}  // namespace

// Built at compile time, so no start-up order to worry about.
constinit const std::array<unsigned char, 256> TaulaMajuscules = FerMajuscules();
constinit const std::array<unsigned char, 256> TaulaClauCerca = FerClauCerca();

std::string Majuscules(const std::string& text) {
  const auto& taula = SenseAccents ? TaulaClauCerca : TaulaMajuscules;
  std::string r = text;
  for (char& c : r) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b > 63 && b < 238) c = static_cast<char>(taula[b]);
  }
  return r;
}

void ReiniciarMajuscules() { SenseAccents = false; }
