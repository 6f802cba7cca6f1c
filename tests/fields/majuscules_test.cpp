// Case tables: capitals that keep accents, and search keys without case or accents.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "fields/majuscules.h"
#include "platform/cp850.h"

namespace {

class MajusculesTest : public ::testing::Test {
 protected:
  void TearDown() override { ReiniciarMajuscules(); }
};

std::string U(unsigned char c) {
  SenseAccents = false;
  return Majuscules(std::string(1, static_cast<char>(c)));
}
std::string K(unsigned char c) {
  SenseAccents = true;
  return Majuscules(std::string(1, static_cast<char>(c)));
}
std::string C(unsigned char c) { return std::string(1, static_cast<char>(c)); }

}  // namespace

TEST_F(MajusculesTest, BothTablesKeepLowAndHighCodes) {
  for (int c = 0; c < 64; ++c) {
    EXPECT_EQ(U(c), C(c)) << c;
    EXPECT_EQ(K(c), C(c)) << c;
  }
  for (int c = 238; c < 256; ++c) {
    EXPECT_EQ(U(c), C(c)) << c;
    EXPECT_EQ(K(c), C(c)) << c;
  }
}

TEST_F(MajusculesTest, UpperCaseTableKeepsAccents) {
  // Known pairs: a/A, ç/Ç, é/É, ñ/Ñ, ü/Ü.
  EXPECT_EQ(U('a'), "A");
  EXPECT_EQ(U(0x87), "\x80");
  EXPECT_EQ(U(0x82), "\x90");
  EXPECT_EQ(U(0xA4), "\xA5");
  EXPECT_EQ(U(0x81), "\x9A");
  // The rest by Unicode: ASCII and Latin-1 small letters sit 0x20 above their capitals.
  // ø and þ have capitals in CP850 but the system's table leaves them, as it leaves ÿ
  // (no capital in CP850), ß and the euro sign.
  int canviats = 0;
  for (int c = 64; c < 238; ++c) {
    const char32_t u = plat::Cp850AUnicode(static_cast<unsigned char>(c));
    int esperat = c;
    if (u >= U'a' && u <= U'z') {
      esperat = plat::UnicodeACp850(u - 0x20);
    } else if (u >= 0xE0 && u <= 0xFE && u != 0xF7 && u != 0xF8 && u != 0xFE) {
      const int capital = plat::UnicodeACp850(u - 0x20);
      if (capital >= 0) esperat = capital;
    }
    EXPECT_EQ(U(c), C(esperat)) << std::hex << c;
    if (esperat != c) {
      ++canviats;
      EXPECT_EQ(U(esperat), C(esperat)) << "capitals stay";
    }
  }
  EXPECT_EQ(canviats, 54);
  EXPECT_EQ(U(0x9B), C(0x9B));
  EXPECT_EQ(U(0xE7), C(0xE7));
  EXPECT_EQ(U(0x98), C(0x98));
  EXPECT_EQ(U(0xD5), C(0xD5));
}

TEST_F(MajusculesTest, SearchKeyTableFoldsLettersAndBlanksTheRest) {
  // Letters by their Unicode code points, each family to its plain capital.
  const std::pair<char, std::u32string> families[] = {
      // á à â ä ã å Á À Â Ä Ã Å æ Æ ª
      {'A', U"\u00E1\u00E0\u00E2\u00E4\u00E3\u00E5\u00C1\u00C0\u00C2\u00C4\u00C3\u00C5\u00E6\u00C6\u00AA"},
      {'C', U"\u00E7\u00C7"},  // ç Ç
      {'D', U"\u00F0\u00D0"},  // ð Ð
      // é è ê ë É È Ê Ë, and the euro sign (Alt+E) searches as E
      {'E', U"\u00E9\u00E8\u00EA\u00EB\u00C9\u00C8\u00CA\u00CB\u20AC"},
      {'I', U"\u00ED\u00EC\u00EE\u00EF\u00CD\u00CC\u00CE\u00CF"},  // í ì î ï Í Ì Î Ï
      {'N', U"\u00F1\u00D1"},                                      // ñ Ñ
      // ó ò ô ö õ Ó Ò Ô Ö Õ ø Ø º
      {'O', U"\u00F3\u00F2\u00F4\u00F6\u00F5\u00D3\u00D2\u00D4\u00D6\u00D5\u00F8\u00D8\u00BA"},
      {'S', U"\u00DF"},                                            // ß
      {'T', U"\u00FE\u00DE"},                                      // þ Þ
      {'U', U"\u00FA\u00F9\u00FB\u00FC\u00DA\u00D9\u00DB\u00DC"},  // ú ù û ü Ú Ù Û Ü
      {'Y', U"\u00FF\u00FD\u00DD"}};                               // ÿ ý Ý
  int plegades = 0;
  for (const auto& [clau, lletres] : families)
    for (char32_t u : lletres) {
      const int c = plat::UnicodeACp850(u);
      ASSERT_GE(c, 0) << std::hex << static_cast<uint32_t>(u);
      EXPECT_EQ(K(static_cast<unsigned char>(c)), std::string(1, clau)) << std::hex << c;
      ++plegades;
    }
  EXPECT_EQ(plegades, 65);
  for (int c = 'A'; c <= 'Z'; ++c) {
    EXPECT_EQ(K(c), C(c));
    EXPECT_EQ(K(c + 32), C(c));
  }

  // The blanked codes, as listed: punctuation, currency, symbols and box drawing.
  std::set<int> blancs = {0x40, '[', '\\', ']', '^', '_', '`', '{', '|', '}', '~', 0x7F,
                          0x9C, 0x9E, 0x9F, 0xBD, 0xBE, 0xCF, 0xE6};
  auto rang = [&](int a, int b) {
    for (int c = a; c <= b; ++c) blancs.insert(c);
  };
  rang(0xA8, 0xAF);
  rang(0xB0, 0xB4);
  rang(0xB8, 0xBC);
  rang(0xBF, 0xC5);
  rang(0xC8, 0xCE);
  rang(0xD9, 0xDF);
  blancs.erase(0xDE);  // Ì is a letter: it searches as I
  EXPECT_EQ(blancs.size(), 57u);
  std::set<int> espais;
  for (int c = 64; c < 238; ++c)
    if (K(c) == " ") espais.insert(c);
  EXPECT_EQ(espais, blancs);
}

TEST_F(MajusculesTest, TextsKeepTheirLength) {
  SenseAccents = false;
  EXPECT_EQ(Majuscules("mar\x87"), "MAR\x80");
  EXPECT_EQ(Majuscules("\x98"), "\x98");
  EXPECT_EQ(Majuscules("abc 123 xyz"), "ABC 123 XYZ");
  SenseAccents = true;
  EXPECT_EQ(Majuscules("mar\x87"), "MARC");
  EXPECT_EQ(Majuscules("S\xA1, senyor!"), "SI, SENYOR!");
  EXPECT_EQ(Majuscules("@[x]"), "  X ");
  EXPECT_EQ(Majuscules("0123456789"), "0123456789");
  const std::string amb0("a\0b\xFF", 4);
  EXPECT_EQ(Majuscules(amb0), std::string("A\0B\xFF", 4));
  EXPECT_EQ(Majuscules(""), "");
}

TEST_F(MajusculesTest, ResetReturnsToUpperCaseTable) {
  SenseAccents = true;
  ReiniciarMajuscules();
  EXPECT_FALSE(SenseAccents);
  EXPECT_EQ(Majuscules("\x85"), "\xB7");
}
