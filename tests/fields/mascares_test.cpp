// Number edit masks: the worked layouts, separators from Quil.ini, values that do not fit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fields/mascares.h"
#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace {

class MascaraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::FixarEntorn("KEVROOT", arrel_.Programa());
    ReiniciarMascares();
  }
  void TearDown() override {
    plat::NetejarEntorn();
    ReiniciarMascares();
  }
  CarpetaTemporal arrel_;
};

// Underscores written for spaces, to keep the expectations readable.
std::string F(const std::string& mascara, double v) {
  std::string r = FormatNumero(mascara, v);
  for (char& c : r)
    if (c == ' ') c = '_';
  return r;
}

}  // namespace

TEST_F(MascaraTest, ThousandsDecimalsAndFloatingMinus) {
  EXPECT_EQ(F("ZZZ,ZZ9.99", 1234.5), "__1.234'50");
  EXPECT_EQ(F("ZZZ,ZZ9.99", -1234.5), "_-1.234'50");
  EXPECT_EQ(F("ZZZ,ZZ9.99", 0), "______0'00");
  EXPECT_EQ(F("ZZ9", -5), "_-5");
  EXPECT_EQ(F("Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9", -1234567), "___________-1.234.567");
  // No room for the millions separator: the plain number instead.
  EXPECT_EQ(F("ZZZ,ZZ9.99", 1234567.891), "1234567'89");
}

TEST_F(MascaraTest, SuppressedDecimalsAndThePoint) {
  EXPECT_EQ(F("ZZ9.ZZ", 5.5), "__5'5_");
  EXPECT_EQ(F("ZZ9.ZZ", 5), "__5___");
  EXPECT_EQ(F("ZZ9.ZZ", 5.05), "__5'05");
  EXPECT_EQ(F("ZZZ.ZZ", 0), "______");
  EXPECT_EQ(F("ZZZ", 0.4), "__0");
  EXPECT_EQ(F("ZZZ", 0), "___");
  EXPECT_EQ(F("ZZZ", 7.5), "__8");
}

TEST_F(MascaraTest, FixedSignPositions) {
  EXPECT_EQ(F("ZZ9.99-", -12.3), "_12'30-");
  EXPECT_EQ(F("ZZ9.99-", 12.3), "_12'30_");
  EXPECT_EQ(F("+ZZ9.99", 12.3), "+_12'30");
  EXPECT_EQ(F("+ZZ9.99", -12.3), "-_12'30");
  EXPECT_EQ(F("-ZZ9", -7), "-__7");
  EXPECT_EQ(F("-ZZ9", 7), "___7");
}

TEST_F(MascaraTest, AsteriskFill) {
  EXPECT_EQ(F("***,**9.99", 1234.5), "**1.234'50");
  EXPECT_EQ(F("***,**9.99", 5), "******5'00");
  EXPECT_EQ(F("***,**9.99", -5), "*****-5'00");
}

TEST_F(MascaraTest, RoundsHalvesToEven) {
  EXPECT_EQ(F("ZZ9.99", 0.125), "__0'12");
  EXPECT_EQ(F("ZZ9.99", 0.375), "__0'38");
  EXPECT_EQ(F("ZZ9", 2.5), "__2");
  EXPECT_EQ(F("ZZ9", 3.5), "__4");
  EXPECT_EQ(F("ZZ9", 7.5), "__8");
  EXPECT_EQ(F("ZZ9", 7.4999), "__7");
}

TEST_F(MascaraTest, OverflowFormsKeepTheMaskLength) {
  EXPECT_EQ(F("ZZ9.99", -99.99), "-99'99");
  EXPECT_EQ(F("ZZ9.99", 12345.678), "12345'");
  EXPECT_EQ(F("ZZ9", 12345), "!!!");
  EXPECT_EQ(F("Z9", -12), "!!");
  EXPECT_EQ(F("Z9", -5), "-5");
  EXPECT_EQ(F("ZZZ9", 12345), "!!!!");
  EXPECT_EQ(F("ZZZ9.9", 12345), "12345'");
}

TEST_F(MascaraTest, LiteralsAndPlainDigits) {
  EXPECT_EQ(F("99/99/99", 123456), "12/34/56");
  EXPECT_EQ(F("99/99/99", 10203), "01/02/03");
  EXPECT_EQ(F("9,999", 5), "0.005");
  EXPECT_EQ(F("", 12.5), "");
  EXPECT_EQ(F("abc", 0), "abc");
}

TEST_F(MascaraTest, SeparatorsFromQuilIniReadOnce) {
  arrel_.Escriure("Quil.ini", "[Usuari]\r\nDecCaracter=,\r\nMilCaracter=.\r\n");
  EXPECT_EQ(F("ZZZ,ZZ9.99", 1234.5), "__1.234,50");
  EXPECT_EQ(DecCaracter, ',');
  arrel_.Escriure("Quil.ini", "[Usuari]\r\nDecCaracter=#\r\nMilCaracter= \r\n");
  EXPECT_EQ(F("ZZZ,ZZ9.99", 1234.5), "__1.234,50");
  ReiniciarMascares();
  // A value beginning with a space falls back to the default.
  EXPECT_EQ(F("ZZZ,ZZ9.99", 1234.5), "__1.234#50");
  EXPECT_EQ(MilCaracter, '.');
}

TEST_F(MascaraTest, NonFiniteValuesShowExclamationMarks) {
  EXPECT_EQ(F("ZZZ,ZZ9.99", std::numeric_limits<double>::infinity()), "!!!!!!!!!!");
  EXPECT_EQ(F("ZZ9", -std::numeric_limits<double>::infinity()), "!!!");
  EXPECT_EQ(F("+ZZ9.99", std::nan("")), "!!!!!!!");
  EXPECT_EQ(F("", std::nan("")), "");
}

TEST_F(MascaraTest, ExtremeMagnitudes) {
  const std::string m22 = "ZZZ,ZZZ,ZZZ,ZZZ,ZZ9.99";
  ASSERT_EQ(m22.size(), 22u);
  EXPECT_EQ(F(m22, 1e308), std::string(22, '!'));
  EXPECT_EQ(F(m22, -1e308), std::string(22, '!'));
  EXPECT_EQ(F(m22, std::numeric_limits<double>::max()), std::string(22, '!'));
  EXPECT_EQ(F("ZZ9.99", std::numeric_limits<double>::denorm_min()), "__0'00");
  EXPECT_EQ(FormatNumero("ZZ9.99", -std::numeric_limits<double>::denorm_min()).size(), 6u);
  EXPECT_EQ(F("Z9.9", 1e-300), "_0'0");
  // More decimal places than any scale can hold: the digits beyond are zeros.
  const std::string llarga = "9." + std::string(6000, '9');
  const std::string r = FormatNumero(llarga, 1.5);
  ASSERT_EQ(r.size(), llarga.size());
  EXPECT_EQ(r.substr(0, 3), "1'5");
  EXPECT_EQ(r.find_first_not_of('0', 3), std::string::npos);
}
