// The stored choices, byte for byte, and the program each destination starts.
#include <gtest/gtest.h>

#include "console/formulari.h"
#include "entorn_sortida.h"
#include "files/selector.h"
#include "mail/adjunts.h"
#include "output/despatx.h"
#include "session/sessio.h"

namespace {

class Despatx : public ::testing::Test {
 protected:
  EntornSortida e;
};

TEST_F(Despatx, DesarEleccioWritesEveryFile) {
  e.Escriure("term/KEVPRINT.INI", "[Entrada]\r\nPerDefecte=0\r\n\r\n[Cerca]\r\nUnit=C:\r\n");
  e.Escriure("arrel/MAIL.INI", "; correu\r\n[*]\r\nNom=Vell\r\n");
  e.Escriure("tmp/KEVEML.INI", "[Adjunt]\r\n 3=C:\\VELL.TXT\r\n 10=C:\\X\r\n");
  FixarValorCamp(1, 1, "3");
  FixarValorCamp(1, 2, "S");
  FixarValorCamp(1, 3, "N");
  FixarValorCamp(1, 4, "");
  FixarValorCamp(1, 5, "Anna Puig");
  FixarValorCamp(1, 6, "anna@example.cat");
  FixarValorCamp(1, 7, "05");
  FixarValorCamp(1, 8, "S");
  CarpetaBase = "102";
  CarpetaRelativa = "FACTURES\\";
  Adjunts[1] = "C:\\A.PDF";
  Adjunts[2] = "D:\\DOCS\\B.TXT";
  DesarEleccio();

  const std::string s40(40, ' ');
  EXPECT_EQ(e.Llegir("tmp/QuilTerm.ini"), "[Sistema]\r\nSortida=3\r\n");
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"),
            "[Entrada]\r\nPerDefecte=0\r\nPerCorreu=-1\r\nPrtTambe= 0\r\n\r\n[Cerca]\r\nUnit=102\r\nPath=FACTURES\\\r\n");
  EXPECT_EQ(e.Llegir("arrel/MAIL.INI"), "; correu\r\n[*]\r\nNom=Anna Puig" + std::string(31, ' ') + "\r\nAssumpte=" + s40 +
                                            "\r\nMail=anna@example.cat" + std::string(24, ' ') + "\r\n");
  EXPECT_EQ(e.Llegir("tmp/KEVEML.INI"),
            "[Adjunt]\r\n 1=C:\\A.PDF\r\n 2=D:\\DOCS\\B.TXT\r\n[Missatge]\r\nNom=Anna Puig\r\nMail=anna@example.cat\r\n"
            "Hora=05\r\nMembret= 1\r\n");
}

TEST_F(Despatx, OperatorSectionAndFalseAnswers) {
  EstatSessio.Operador = "PERE";
  FixarValorCamp(1, 1, "P");
  FixarValorCamp(1, 2, "N");
  FixarValorCamp(1, 3, "S");
  FixarValorCamp(1, 4, "Vendes");
  FixarValorCamp(1, 7, "00");
  FixarValorCamp(1, 8, "N");
  DesarEleccio();
  const std::string s40(40, ' ');
  EXPECT_EQ(e.Llegir("arrel/MAIL.INI"),
            "[PERE]\r\nAssumpte=Vendes" + std::string(34, ' ') + "\r\nNom=" + s40 + "\r\nMail=" + s40 + "\r\n");
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"), "[Entrada]\r\nPerCorreu= 0\r\nPrtTambe=-1\r\n");
  EXPECT_EQ(e.Llegir("tmp/KEVEML.INI"), "[Missatge]\r\nAssumpte=Vendes\r\nHora=00\r\nMembret= 0\r\n");
}

TEST_F(Despatx, AFolderNamedWithASemicolonIsNotStoredCut) {
  e.Escriure("term/KEVPRINT.INI", "[Cerca]\r\nUnit=C:\r\nPath=VELL\\\r\n");
  CarpetaBase = "D:";
  CarpetaRelativa = "FACTURES;2026\\";
  DesarEleccio();
  const std::string terminal = e.Llegir("term/KEVPRINT.INI");
  EXPECT_EQ(terminal.substr(0, 18), "[Cerca]\r\nUnit=D:\r\n");
  EXPECT_EQ(terminal.find("Path"), std::string::npos) << terminal;
}

TEST_F(Despatx, ProgramPerDestination) {
  const std::pair<const char*, const char*> casos[] = {
      {"P", "KEVSCR"}, {"H", "KEVHTM"}, {"F", "KEVPDF"}, {"W", "KEVWIN"},
      {"3", "KEVLPT"}, {" ", "KEVLPT"}, {"p", "KEVLPT"}};
  for (const auto& [desti, programa] : casos) {
    e.ordres.clear();
    FixarValorCamp(1, 1, desti);
    Despatxar();
    EXPECT_EQ(e.Ordres(), std::vector<std::string>{std::string("exe\\") + programa}) << desti;
  }
}

TEST_F(Despatx, RemovesTheMailOfferAndOnlyThat) {
  e.Escriure("tmp/KEVPRINT.INI", "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\nTornar=MENU\r\n");
  e.Escriure("term/KEVPRINT.INI", "[Entrada]\r\nPerCorreu=-1\r\n");
  FixarValorCamp(1, 1, "W");
  Despatxar();
  EXPECT_EQ(e.Llegir("tmp/KEVPRINT.INI"), "[Opcions]\r\nMostrar=S\r\nTornar=MENU\r\n");
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"), "[Entrada]\r\nPerCorreu=-1\r\n");  // untouched without PerDefecte
  Peticio.PerDefecte = true;
  Despatxar();
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"), "[Entrada]\r\nPerCorreu= 0\r\n");
  EXPECT_EQ(e.Ordres().size(), 2u);
}

}  // namespace
