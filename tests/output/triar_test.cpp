// The destination flow: options, list building, prefilled fields and the three ways out.
#include <gtest/gtest.h>

#include "console/formulari.h"
#include "entorn_sortida.h"
#include "files/selector.h"
#include "mail/formcorreu.h"
#include "output/despatx.h"
#include "output/triar.h"
#include "platform/sistema.h"
#include "session/sessio.h"

namespace {

class Triar : public ::testing::Test {
 protected:
  void SetUp() override {
    auto original = Ganxos.DibuixarFormulari;
    Ganxos.DibuixarFormulari = [this, original](int16_t f) {
      ++pagines;
      if (original) original(f);
    };
  }
  EntornSortida e;
  int pagines = 0;  // pages the dialog drew
};

#ifndef _WIN32  // a case-blind disk cannot hold both spellings
// Where a case-sensitive disk holds a file under two spellings, every step uses one: the
// request's options come from the caller's and the dispatch edits it, the destination and
// the installation's flags come from the session's own spellings.
TEST_F(Triar, EachFileIsOneFileWhateverElseTheFolderHolds) {
  e.Escriure("tmp/kevprint.tmp", "VENDES\r\n");
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=N\r\nCorreu=S\r\n");
  e.Escriure("tmp/KEVPRINT.INI", "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\n");
  e.Escriure("tmp/QuilTerm.ini", "[Sistema]\r\nSortida=F\r\n");
  e.Escriure("tmp/QUILTERM.INI", "[Sistema]\r\nSortida=H\r\n");
  EstatSessio.Entorn = "WIN";
  e.Escriure("exe/kewprint.exe", "MZ");
  e.Escriure("arrel/Quil.ini", "[KevPrint]\r\nDosOnly=-1\r\n");
  e.Escriure("arrel/QUIL.INI", "[KevPrint]\r\nDosOnly=0\r\n");
  TriarSortida();
  EXPECT_EQ(pagines, 0);  // "N": no dialog
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\KEVPDF"});  // "F", and no companion
  EXPECT_EQ(e.Llegir("tmp/KevPrint.ini"), "[Opcions]\r\nMostrar=N\r\n");
  EXPECT_EQ(e.Llegir("tmp/KEVPRINT.INI"), "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\n");
}
#endif

TEST_F(Triar, EmptyListingEndsAtOnce) {
  e.Escriure("tmp/kevprint.tmp", "SEND\r\n* res\r\n\r\nPAGE 1\r\n");
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=N\r\nCorreu=S\r\n");
  TriarSortida();
  EXPECT_TRUE(e.Ordres().empty());
  EXPECT_EQ(e.Llegir("tmp/KevPrint.ini"), "[Opcions]\r\nMostrar=N\r\nCorreu=S\r\n");
  EXPECT_EQ(e.tmp.Entrades("tmp"), 3);  // x, the listing and the request: nothing new
  // No listing at all behaves the same.
  e.tmp.Escriure("tmp/kevprint.tmp", "");
  TriarSortida();
  EXPECT_TRUE(e.Ordres().empty());
}

TEST_F(Triar, PrinterNamesWithGapsAndScreenInSessionLanguage) {
  const struct {
    const char* impressores;
    const char* llista;
  } casos[] = {
      {"LPT2.Nom=Oficina\r\nLPT5.Nom=Magatzem\r\nLPT7.Nom=\r\n",
       "|P,PANTALLA|2,Oficina|5,Magatzem|H,HTML|F,PDF|W,WINDOWS"},
      // The first and the last number, written out of order; there is no tenth printer.
      {"LPT9.Nom=Darrera\r\nLPT10.Nom=Sobrant\r\nLPT1.Nom=Primera\r\n",
       "|P,PANTALLA|1,Primera|9,Darrera|H,HTML|F,PDF|W,WINDOWS"},
      {"LPT9.Nom=Sola\r\n", "|P,PANTALLA|9,Sola|H,HTML|F,PDF|W,WINDOWS"},
  };
  for (const auto& c : casos) {
    e.Escriure("term/KEVLSTPR.INI", std::string("[Impressores]\r\n") + c.impressores);
    EXPECT_EQ(LlistaSortides(), c.llista) << c.impressores;
  }
  EstatSessio.Idioma = "GLG";
  e.Escriure("term/KEVLSTPR.INI", "");
  EXPECT_EQ(LlistaSortides(), "|P,PANTALHA|H,HTML|F,PDF|W,WINDOWS");
}

TEST_F(Triar, SendTimesFromTheCurrentHour) {
  plat::FixarRellotge(plat::Moment{2024, 3, 15, 10, 37, 0, 0});
  std::string l = OpcionsHora();
  EXPECT_EQ(l.substr(0, 18), "|02,12.00 15/3 |03");
  EXPECT_EQ(l.substr(l.size() - 15), "|49,11.00 17/3 ");
  // Late evening at the end of a leap February and of a year.
  plat::FixarRellotge(plat::Moment{2024, 2, 28, 23, 15, 0, 0});
  l = OpcionsHora();
  EXPECT_EQ(l.substr(0, 15), "|02,01.00 29/2 ");
  EXPECT_EQ(l.substr(l.size() - 15), "|49,00.00 2/3  ");
  plat::FixarRellotge(plat::Moment{2023, 12, 31, 23, 15, 0, 0});
  l = OpcionsHora();
  EXPECT_EQ(l.substr(0, 15), "|02,01.00 1/1  ");
  EXPECT_NE(l.find("|25,00.00 2/1  |"), std::string::npos);
  EXPECT_EQ(l.substr(l.size() - 15), "|49,00.00 3/1  ");
  EXPECT_EQ(l.size(), 48u * 15);
}

TEST_F(Triar, FieldsPrefilledFromStoredValues) {
  e.LlistatAmbContingut();
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\n");
  e.Escriure("tmp/QUILTERM.INI", "[Sistema]\r\nSortida=HTML\r\n");
  e.Escriure("arrel/MAIL.INI", "[*]\r\nAssumpte=Factures\r\nNom=Anna\r\nMail=anna@example.cat\r\n[PERE]\r\nNom=Pere\r\n");
  e.Escriure("arrel/QUIL.INI", "[KevPrint]\r\nEmpresa=B12345678\r\n");
  e.Escriure("arrel/IMATGES/B12345678.GIF", "GIF89a");
  e.Escriure("term/KEVPRINT.INI", "[Cerca]\r\nUnit=101\r\nPath=VELL\\\r\n");
  CarpetaRelativa = "VELL\\";
  TriarSortida();  // the dialog gets Escape: nothing stored
  EXPECT_EQ(ValorCamp(1, 1), "H");
  EXPECT_EQ(ValorCamp(1, 4), "Factures" + std::string(32, ' '));
  EXPECT_EQ(ValorCamp(1, 5), "Anna" + std::string(36, ' '));
  EXPECT_EQ(ValorCamp(1, 6), "anna@example.cat" + std::string(24, ' '));
  EXPECT_TRUE(MembretExisteix);
  EXPECT_EQ(CarpetaBase, "101");
  EXPECT_EQ(CarpetaRelativa, "");
  EXPECT_EQ(CampFormulari(1, 7)->OpcionsCamp.substr(0, 27), "|00,IMMEDIAT|02,12.00 15/3 ");
  EXPECT_EQ(CampFormulari(1, 2)->Indicadors & 6, 0);
  EXPECT_TRUE(e.Ordres().empty());
  EXPECT_EQ(e.Llegir("tmp/QUILTERM.INI"), "[Sistema]\r\nSortida=HTML\r\n");
}

TEST_F(Triar, OperatorSectionAndMissingLetterhead) {
  e.LlistatAmbContingut();
  EstatSessio.Operador = "PERE";
  e.Escriure("arrel/MAIL.INI", "[*]\r\nNom=Anna\r\n[pere]\r\nNom=Pere\r\n");
  e.Escriure("arrel/QUIL.INI", "[KevPrint]\r\nEmpresa=B12345678\r\n");
  TriarSortida();
  EXPECT_EQ(ValorCamp(1, 5), "Pere" + std::string(36, ' '));
  EXPECT_FALSE(MembretExisteix);
  // Without a request allowing mail, the mail questions are disabled.
  EXPECT_EQ(CampFormulari(1, 2)->Indicadors & 6, 6);
  EXPECT_EQ(CampFormulari(1, 3)->Indicadors & 6, 6);
}

TEST_F(Triar, LowerCaseNStillShowsTheDialog) {
  e.LlistatAmbContingut();
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=n\r\nCorreu=S\r\n");
  TriarSortida();  // Escape from the dialog
  EXPECT_EQ(pagines, 1);
  EXPECT_TRUE(e.Ordres().empty());
  // Abandoned: the mail offer stays in the request.
  EXPECT_EQ(e.Llegir("tmp/KevPrint.ini"), "[Opcions]\r\nMostrar=n\r\nCorreu=S\r\n");
}

TEST_F(Triar, MostrarNDispatchesWithoutAsking) {
  e.LlistatAmbContingut();
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=N\r\nCorreu=S\r\nTornar=MENU\r\n");
  e.Escriure("tmp/QUILTERM.INI", "[Sistema]\r\nSortida=F\r\n");
  e.Escriure("term/KEVPRINT.INI", "[Entrada]\r\nPerCorreu=-1\r\nPrtTambe=-1\r\n");
  TriarSortida();
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\KEVPDF"});
  EXPECT_EQ(e.Llegir("tmp/KevPrint.ini"), "[Opcions]\r\nMostrar=N\r\nTornar=MENU\r\n");
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"), "[Entrada]\r\nPerCorreu=-1\r\nPrtTambe=-1\r\n");
  EXPECT_FALSE(e.tmp.Existeix("tmp/KEVEML.INI"));
  EXPECT_EQ(pagines, 0);
}

TEST_F(Triar, TerminalDefaultDispatchClearsTheMailFlag) {
  e.LlistatAmbContingut();
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\n");
  e.Escriure("term/KEVPRINT.INI", "[Entrada]\r\nPerDefecte=1\r\nPerCorreu=-1\r\nPrtTambe=-1\r\n");
  TriarSortida();
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\KEVLPT"});  // nothing stored: blank destination
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"), "[Entrada]\r\nPerDefecte=1\r\nPerCorreu= 0\r\nPrtTambe=-1\r\n");
  EXPECT_EQ(e.Llegir("tmp/KevPrint.ini"), "[Opcions]\r\nMostrar=S\r\n");
}

TEST_F(Triar, WindowsCompanionOnlyWhenPresentAndAllowed) {
  e.LlistatAmbContingut();
  EstatSessio.Entorn = "WIN";
  TriarSortida();  // no companion: the console dialog, abandoned
  EXPECT_TRUE(e.Ordres().empty());
  EXPECT_EQ(pagines, 1);

  e.Escriure("exe/kewprint.exe", "MZ");
  e.Escriure("arrel/QUIL.INI", "[KevPrint]\r\nDosOnly=-1\r\n");
  TriarSortida();
  EXPECT_TRUE(e.Ordres().empty());
  EXPECT_EQ(pagines, 2);

  e.Escriure("arrel/QUIL.INI", "[KevPrint]\r\nDosOnly=0\r\n");
  TriarSortida();
  EXPECT_EQ(pagines, 2);
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\KEWPRINT.EXE " + e.tmp.Programa() + "tmp\\"});

  e.ordres.clear();
  EstatSessio.Entorn = "CGI";
  TriarSortida();
  EXPECT_TRUE(e.Ordres().empty());
}

TEST_F(Triar, ConfirmedDialogStoresAndDispatches) {
  e.LlistatAmbContingut();
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nCorreu=S\r\n");
  e.Escriure("tmp/QUILTERM.INI", "[Sistema]\r\nSortida=P\r\n");
  e.consola.Tecla('\r', 0x1C);  // Enter on the destination and on the mail question:
  e.consola.Tecla('\r', 0x1C);  // past the last open field, the form is confirmed
  TriarSortida();
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\KEVSCR"});
  EXPECT_EQ(e.Llegir("tmp/QUILTERM.INI"), "[Sistema]\r\nSortida=P\r\n");
  EXPECT_EQ(e.Llegir("tmp/KevPrint.ini"), "[Opcions]\r\n");
  EXPECT_EQ(e.Llegir("term/KEVPRINT.INI"), "[Entrada]\r\nPerCorreu= 0\r\nPrtTambe= 0\r\n");
  EXPECT_TRUE(e.tmp.Existeix("tmp/KEVEML.INI"));
}

}  // namespace
