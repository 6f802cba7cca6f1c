// Reading: the same suite runs over CR LF, LF and CR files.
#include <gtest/gtest.h>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

class LecturaIni : public ::testing::TestWithParam<const char*> {
 protected:
  // Writes lines joined with the line end under test; returns the program path.
  std::string Fitxer(std::initializer_list<std::string> linies, bool finalAmbSalt = true) {
    std::string d;
    size_t i = 0;
    for (const auto& l : linies) {
      d += l;
      if (++i < linies.size() || finalAmbSalt) d += GetParam();
    }
    dir.Escriure("prova.ini", d);
    return dir.Programa() + "prova.ini";
  }
  CarpetaTemporal dir;
};

TEST_P(LecturaIni, ValueKeepsSpacesUpToComment) {
  const auto f = Fitxer({"[Sec]", "Key = Value ;note", "Altra=x"});
  EXPECT_EQ(LlegirIni(f, "Sec", "KEY"), " Value ");
  EXPECT_EQ(LlegirIni(f, "sec", "altra"), "x");
  EXPECT_EQ(LlegirIni(f, "  SEC ", "  Altra "), "x");
}

TEST_P(LecturaIni, QuotesRemovedOnlyWhenBothEnds) {
  const auto f = Fitxer({"[S]", "a=\"hola ; \"", "b=\"", "c=\"x\"", "d=\"\"", "e= \"x\"", "g=\"x"});
  EXPECT_EQ(LlegirIni(f, "S", "a"), "\"hola ");  // the comment cut comes first
  EXPECT_EQ(LlegirIni(f, "S", "b"), "\"");
  EXPECT_EQ(LlegirIni(f, "S", "c"), "x");
  EXPECT_EQ(LlegirIni(f, "S", "d"), "");
  EXPECT_EQ(LlegirIni(f, "S", "e"), " \"x\"");
  EXPECT_EQ(LlegirIni(f, "S", "g"), "\"x");
}

TEST_P(LecturaIni, OnlyTheFirstOfTwoSectionsIsSearched) {
  const auto f = Fitxer({"[A]", "x=1", "[B]", "y=2", "[A]", "x=3", "z=4"});
  EXPECT_EQ(LlegirIni(f, "A", "x"), "1");
  EXPECT_EQ(LlegirIni(f, "A", "z"), "");
  EXPECT_EQ(LlegirIni(f, "B", "x"), "");
}

TEST_P(LecturaIni, KeysBeforeAnyHeaderAreNeverFound) {
  const auto f = Fitxer({"x=1", "[A]", "y=2"});
  EXPECT_EQ(LlegirIni(f, "", "x"), "");
  EXPECT_EQ(LlegirIni(f, "A", "x"), "");
}

TEST_P(LecturaIni, HeadersAndCommentsAndOddLines) {
  const auto f = Fitxer({"  [ Mes Espais ]  ;c", "a=1", "[Sense tancar", "b=2", ";[Comentat]", "c=3",
                         "  ; x=9", "linia sense igual", "  d  =  4", "e==5", "[Buit]", "f=", "[X]=y", "g=6"});
  EXPECT_EQ(LlegirIni(f, "mes espais", "a"), "1");
  EXPECT_EQ(LlegirIni(f, "Sense tancar", "b"), "2");
  EXPECT_EQ(LlegirIni(f, "Sense tancar", "c"), "3");  // the commented header is no header
  EXPECT_EQ(LlegirIni(f, "Sense tancar", "x"), "");
  EXPECT_EQ(LlegirIni(f, "Sense tancar", "d"), "  4");
  EXPECT_EQ(LlegirIni(f, "Sense tancar", "e"), "=5");
  EXPECT_EQ(LlegirIni(f, "Comentat", "c"), "");
  EXPECT_EQ(LlegirIni(f, "Buit", "f"), "");
  EXPECT_EQ(LlegirIni(f, "X", "g"), "6");  // a header line with "=" is still a header
}

TEST_P(LecturaIni, LastLineWithoutLineEnd) {
  const auto f = Fitxer({"[A]", "x=fi"}, false);
  EXPECT_EQ(LlegirIni(f, "A", "x"), "fi");
}

TEST_P(LecturaIni, AccentedNamesMatchAcrossCase) {
  // "Configuració" / "CONFIGURACIÓ" in code page 850
  const auto f = Fitxer({"[Configuraci\xA2]", "Opci\xA2=\x82s"});
  EXPECT_EQ(LlegirIni(f, "CONFIGURACI\xE0", "OPCI\xE0"), "\x82s");
}

INSTANTIATE_TEST_SUITE_P(FinalsDeLinia, LecturaIni, ::testing::Values("\r\n", "\n", "\r"),
                         [](const auto& i) { return std::string(i.index == 0 ? "CRLF" : i.index == 1 ? "LF" : "CR"); });

TEST(LecturaIniFitxer, MissingFileOrDirectoryReadsEmpty) {
  CarpetaTemporal dir;
  EXPECT_EQ(LlegirIni(dir.Programa() + "noexisteix.ini", "A", "x"), "");
  EXPECT_EQ(LlegirIni(dir.Programa(), "A", "x"), "");
  EXPECT_EQ(LlegirIni("", "A", "x"), "");
}

TEST(LecturaIniFitxer, NamesMatchRegardlessOfCaseAndSeparators) {
  CarpetaTemporal dir;
  dir.Escriure("Sub/MAIL.INI", "[A]\r\nx=1\r\n");
  EXPECT_EQ(LlegirIni(dir.Programa() + "sub\\mail.ini", "A", "x"), "1");
}

}  // namespace

namespace {

// Numbered keys in one long section, found with the wide and the narrow scan alike: every
// key is found, a near miss is not, and a header between them still ends the section.
TEST(EscaneigIni, WideAndNarrowScansFindTheSameKeys) {
  CarpetaTemporal dir;
  std::string d = "[Unica]\r\n";
  for (int k = 0; k < 3000; ++k) d += "Clau" + std::to_string(k) + "=v" + std::to_string(k) + "\r\n";
  d += "[Altra]\r\nClau9998=no\r\n";
  dir.Escriure("n.ini", d);
  const std::string f = dir.Programa() + "n.ini";
  for (bool ample : {true, false}) {
    IniEscaneigAmple = ample;
    for (int k : {0, 7, 98, 998, 1998, 2998, 2999})
      EXPECT_EQ(LlegirIni(f, "unica", "CLAU" + std::to_string(k)), "v" + std::to_string(k)) << ample << " " << k;
    EXPECT_EQ(LlegirIni(f, "Unica", "Clau9998"), "") << ample;
    EXPECT_EQ(LlegirIni(f, "Unica", "Clau299"), "v299") << ample;
    EXPECT_EQ(LlegirIni(f, "Unica", "lau299"), "") << ample;
    EXPECT_EQ(LlegirIni(f, "Altra", "clau9998"), "no") << ample;
  }
  IniEscaneigAmple = true;
}

}  // namespace
