#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/sistema.h"
#include "session/utilitats.h"
#include "util/entorn_prova.h"

namespace {

TEST(Utilitats, PackedDigits) {
  EXPECT_EQ(EmpaquetarDigits("20240315"), std::string("\x94\x98\x83\x8F"));
  // Odd length: the last byte has a zero second digit; spaces and non-digits count as 0.
  EXPECT_EQ(EmpaquetarDigits("123"), std::string("\x8C\x9E"));
  EXPECT_EQ(EmpaquetarDigits(" 7  "), std::string("\x80\x87"));  // right-aligned: "0007"
  EXPECT_EQ(EmpaquetarDigits("1a"), std::string("\x8A"));
  EXPECT_EQ(EmpaquetarDigits(""), "");
  EXPECT_EQ(EmpaquetarDigits("        "), std::string(4, '\x80'));
  EXPECT_EQ(DesempaquetarDigits(EmpaquetarDigits("19991231")), "19991231");
  EXPECT_EQ(DesempaquetarDigits(std::string("\x80\xE3\xFF")), "009927");
  // Packed dates compare in chronological order.
  EXPECT_LT(EmpaquetarDigits("19991231"), EmpaquetarDigits("20000101"));
}

TEST(Utilitats, ZerosEsquerraPadsAndCutsFromTheLeft) {
  EXPECT_EQ(ZerosEsquerra(4, 7), "0007");
  EXPECT_EQ(ZerosEsquerra(2, 2024), "24");
  EXPECT_EQ(ZerosEsquerra(3, -5), "005");
  EXPECT_EQ(ZerosEsquerra(0, 5), "");
  EXPECT_EQ(ZerosEsquerra(20, INT64_MIN), "09223372036854775808");
}

TEST(Utilitats, TotIgual) {
  EXPECT_TRUE(TotIgual("", ' '));
  EXPECT_TRUE(TotIgual("   ", ' '));
  EXPECT_FALSE(TotIgual("  x", ' '));
  EXPECT_TRUE(TotIgual("\xC4\xC4", 0xC4));
}

TEST(Utilitats, ValorNumeric) {
  EXPECT_EQ(ValorNumeric(""), 0);
  EXPECT_EQ(ValorNumeric("abc"), 0);
  EXPECT_EQ(ValorNumeric(" 0"), 0);
  EXPECT_EQ(ValorNumeric("-1"), -1);
  EXPECT_EQ(ValorNumeric("  12ab"), 12);
  EXPECT_EQ(ValorNumeric("+3"), 3);
  EXPECT_EQ(ValorNumeric("- 3"), 0);
  EXPECT_EQ(ValorNumeric("99999999999999999999999"), INT64_MAX);
  EXPECT_EQ(ValorNumeric("-99999999999999999999999"), -INT64_MAX);
}

TEST(Utilitats, TrimAndFit) {
  EXPECT_EQ(SenseEspaisFinals("  a b  "), "  a b");
  EXPECT_EQ(Retallat("  a b  "), "a b");
  EXPECT_EQ(Retallat("    "), "");
  EXPECT_EQ(Ajustat("SPANISH", 3), "SPA");
  EXPECT_EQ(Ajustat("ab", 3), "ab ");
  EXPECT_EQ(Ajustat("", 2), "  ");
}

TEST(Utilitats, ExisteixCamiKinds) {
  CarpetaTemporal dir;
  dir.Escriure("fitxer.txt", "x");
  dir.Escriure("carpeta/dins.txt", "y");
  dir.Escriure(".amagat", "z");
  const std::string p = dir.Programa();
  EXPECT_TRUE(ExisteixCami(p + "FITXER.TXT"));
  EXPECT_FALSE(ExisteixCami(p + "fitxer.txt", kCamiDirectori));
  EXPECT_FALSE(ExisteixCami(p + "carpeta"));
  EXPECT_TRUE(ExisteixCami(p + "carpeta", kCamiDirectori));
  EXPECT_TRUE(ExisteixCami(p + "carpeta\\", kCamiDirectori));
  EXPECT_FALSE(ExisteixCami(p + "nohies"));
  EXPECT_FALSE(ExisteixCami(""));
  // Hidden entries count only when asked for.
  EXPECT_FALSE(ExisteixCami(p + ".amagat"));
  EXPECT_TRUE(ExisteixCami(p + ".amagat", kCamiOcult));
}

TEST(Utilitats, ExisteixCamiCountsAFileWithoutWriteBits) {
  // A letterhead image installed by root, readable by everybody and writable by nobody.
  CarpetaTemporal dir;
  dir.Escriure("IMATGES/B12345678.GIF", "GIF89a");
  chmod((dir.Host() + "IMATGES/B12345678.GIF").c_str(), 0444);
  EXPECT_TRUE(ExisteixCami(dir.Programa() + "IMATGES\\B12345678.GIF"));
}

TEST(Utilitats, EsborrarCamiFileAndFolder) {
  CarpetaTemporal dir;
  dir.Escriure("f.txt", "x");
  dir.Escriure("c/a.txt", "a");
  dir.Escriure("c/b.txt", "b");
  const std::string p = dir.Programa();
  EXPECT_EQ(EsborrarCami(p + "f.txt"), 0);
  EXPECT_FALSE(dir.Existeix("f.txt"));
  EXPECT_EQ(EsborrarCami(p + "C"), 0);
  EXPECT_FALSE(dir.Existeix("c"));
  EXPECT_NE(EsborrarCami(p + "noexisteix"), 0);
}

}  // namespace
