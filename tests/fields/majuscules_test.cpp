// Case tables: capitals that keep accents, and search keys without case or accents.
#include <gtest/gtest.h>

#include <set>

#include "fields/majuscules.h"

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
  const unsigned char parells[][2] = {
      {0x81, 0x9A}, {0x82, 0x90}, {0x83, 0xB6}, {0x84, 0x8E}, {0x85, 0xB7}, {0x86, 0x8F}, {0x87, 0x80},
      {0x88, 0xD2}, {0x89, 0xD3}, {0x8A, 0xD4}, {0x8B, 0xD8}, {0x8C, 0xD7}, {0x8D, 0xDE}, {0x91, 0x92},
      {0x93, 0xE2}, {0x94, 0x99}, {0x95, 0xE3}, {0x96, 0xEA}, {0x97, 0xEB}, {0xA0, 0xB5}, {0xA1, 0xD6},
      {0xA2, 0xE0}, {0xA3, 0xE9}, {0xA4, 0xA5}, {0xC6, 0xC7}, {0xD0, 0xD1}, {0xE4, 0xE5}, {0xEC, 0xED}};
  std::set<int> canviats;
  for (const auto& p : parells) {
    EXPECT_EQ(U(p[0]), C(p[1])) << std::hex << int(p[0]);
    EXPECT_EQ(U(p[1]), C(p[1])) << "capitals stay";
    canviats.insert(p[0]);
  }
  for (int c = 'a'; c <= 'z'; ++c) {
    EXPECT_EQ(U(c), C(c - 32));
    canviats.insert(c);
  }
  // Everything else maps to itself: ÿ, ø, ß, þ and the euro sign among them.
  for (int c = 64; c < 238; ++c)
    if (!canviats.count(c)) {
      EXPECT_EQ(U(c), C(c)) << std::hex << c;
    }
  EXPECT_EQ(canviats.size(), 54u);
  EXPECT_EQ(U(0x98), C(0x98));
  EXPECT_EQ(U(0xD5), C(0xD5));
}

TEST_F(MajusculesTest, SearchKeyTableFoldsLettersAndBlanksTheRest) {
  const std::pair<char, const char*> families[] = {
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
      {'Y', "\x98\xEC\xED"}};
  for (const auto& [clau, codis] : families)
    for (const char* p = codis; *p; ++p) EXPECT_EQ(K(static_cast<unsigned char>(*p)), std::string(1, clau)) << std::hex << int(static_cast<unsigned char>(*p));
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
