#include "output/principal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "console/tecles.h"
#include "entorn_sortida.h"
#include "files/selector.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "util/consola_prova.h"

namespace {

// The main procedure reads its directories from the environment, as the suite passes them.
class Principal : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string p = e.tmp.Programa();
    plat::FixarEntorn("KEVROOT", p + "arrel\\");
    plat::FixarEntorn("KEVEXE", p + "exe\\");
    plat::FixarEntorn("KEVTMP", p + "tmp\\");
    plat::FixarEntorn("KEVTERM", p + "term\\");
    plat::FixarEntorn("TEMP", e.tmp.Host());
    for (const char* v : {"HTTP_USER_AGENT", "HTTP_ACCEPT", "WINDIR", "SYSTEMROOT"}) plat::FixarEntorn(v, "");
    ASSERT_TRUE(getcwd(directori_, sizeof directori_));
  }
  void TearDown() override {
    ASSERT_EQ(chdir(directori_), 0);
    plat::ReiniciarMissatgeMida();
    plat::NetejarEntorn();
    plat::RecarregarUnitats();
    ReiniciarSelector();
  }
  EntornSortida e;
  char directori_[4096] = {};
};

TEST_F(Principal, EmptyListingConsumesTheRequestAndStartsTheReturnProgram) {
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\nTornar=MENU LLISTATS 3\r\n");
  e.Escriure("tmp/kevprint.tmp", "PAGE 66\r\n* nothing\r\n");
  EXPECT_EQ(ExecutarPrincipal(), 0);
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\MENU LLISTATS 3"});
  EXPECT_FALSE(e.tmp.Existeix("tmp/KevPrint.ini"));
  EXPECT_EQ(e.tmp.Entrades("tmp"), 2);  // the listing and the placeholder; nothing new
}

TEST_F(Principal, AbandonedDialogStillConsumesTheRequest) {
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nTornar=TORNAR\r\n");
  e.LlistatAmbContingut();
  // The virtual console answers Escape: the dialog is left without storing anything.
  EXPECT_EQ(ExecutarPrincipal(), 0);
  EXPECT_EQ(e.Ordres(), std::vector<std::string>{"exe\\TORNAR"});
  EXPECT_FALSE(e.tmp.Existeix("tmp/KevPrint.ini"));
  EXPECT_FALSE(e.tmp.Existeix("tmp/KEVEML.INI"));
  EXPECT_FALSE(e.tmp.Existeix("tmp/WinPush.tmp"));
}

TEST_F(Principal, NoRequestFileMeansNothingToReturnTo) {
  e.LlistatAmbContingut();
  EXPECT_EQ(ExecutarPrincipal(), 0);
  EXPECT_TRUE(e.Ordres().empty());
}

// The session ends (closed terminal window, shutdown) while the file picker is open; the
// operator's keys still queued would close it, fill in the sender and confirm the dialog.
TEST_F(Principal, AnEndingSessionLeavesTheSharedFilesAsFoundAndStartsNothing) {
  struct ConsolaQueAcaba : ConsolaProva {
    std::string browse;
    bool llista_oberta = false;
    bool LlegirEsdeveniment(plat::Esdeveniment& ev, int espera_ms) override {
      if (!plat::SessioAcabant() && plat::Info(browse).existeix) {
        llista_oberta = true;
        plat::FixarSessioAcabant(true);
      }
      return ConsolaProva::LlegirEsdeveniment(ev, espera_ms);
    }
  } con;
  con.browse = e.tmp.Programa() + "tmp\\Browse.tmp";
  con.Claus({kTeclaTab, 'S', kTeclaTab, kTeclaF2, kTeclaF4, kTeclaEscape, kTeclaEscape, kTeclaTab, kTeclaTab,
             kTeclaTab});
  con.Text("a@b.cat\r");
  plat::FixarConsola(&con);
  // One window of the caller's: stack top, ten two-digit numbers, two saved cells, length.
  const std::string pila = std::string("\x22\0\0\0", 4) + "05100202104001010102A\x07" "B\x07" "00029";
  e.Escriure("tmp/WinPush.tmp", pila);
  e.Escriure("tmp/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\nTornar=TORNAR\r\n");
  e.LlistatAmbContingut();
  ExecutarPrincipal();
  plat::FixarSessioAcabant(false);
  plat::FixarConsola(&e.consola);
  EXPECT_TRUE(con.llista_oberta);
  // Records are overwritten in place: what lies past the stack top is free space.
  EXPECT_EQ(e.Llegir("tmp/WinPush.tmp").substr(0, pila.size()), pila);
  EXPECT_FALSE(e.tmp.Existeix("tmp/Browse.tmp"));
  EXPECT_TRUE(e.Ordres().empty()) << "neither the output program nor the return program";
  EXPECT_FALSE(e.tmp.Existeix("tmp/KEVEML.INI"));
}

TEST_F(Principal, SmallWindowMessageFollowsTheSessionLanguage) {
  e.Escriure("tmp/QuilTerm.ini", "[Sistema]\r\nIdioma=SPA\r\n");
  ExecutarPrincipal();
  EXPECT_EQ(plat::MissatgeMida(), "Se necesita una ventana de 80 x 25 como m\xA1nimo");
  e.Escriure("tmp/QuilTerm.ini", "[Sistema]\r\nIdioma=spa\r\n");  // lower case is Catalan
  ExecutarPrincipal();
  EXPECT_EQ(plat::MissatgeMida(), "Cal una finestra de 80 x 25 com a m\xA1nim");
}

class CarpetesEspecials_ : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::FixarEntorn("KEVDRIVES", "C=" + dir.Host());
    plat::RecarregarUnitats();
    plat::FixarEntorn("USERPROFILE", "");
    plat::FixarEntorn("HOME", "");
    plat::FixarEntorn("windir", "C:\\WINDOWS");
  }
  void TearDown() override {
    plat::NetejarEntorn();
    plat::RecarregarUnitats();
    ReiniciarSelector();
  }
  CarpetaTemporal dir;
};

TEST_F(CarpetesEspecials_, WithoutAProfileTheWindowsFolderGivesTheBase) {
  PrepararCarpetesEspecials();
  EXPECT_EQ(CarpetesEspecials[0], "C:\\Mis Documentos\\");  // no MyDocs on drive C:
  EXPECT_EQ(CarpetesEspecials[1], "C:\\WINDOWS\\Escritorio\\");
  EXPECT_EQ(CarpetesEspecials[2], "C:\\WINDOWS\\Recent\\");
  dir.Escriure("mydocs/x", "");
  dir.Escriure("windows/desktop/x", "");
  PrepararCarpetesEspecials();
  EXPECT_EQ(CarpetesEspecials[0], "C:\\MyDocs\\");
  EXPECT_EQ(CarpetesEspecials[1], "C:\\WINDOWS\\Desktop\\");
}

TEST_F(CarpetesEspecials_, WithAProfileTheHostsDocumentsFolderComesFirst) {
  plat::FixarEntorn("USERPROFILE", "C:\\Users\\anna\\");
  dir.Escriure("Users/anna/Documents/x", "");
  dir.Escriure("Users/anna/MyDocs/x", "");
  PrepararCarpetesEspecials();
  EXPECT_EQ(CarpetesEspecials[0], "C:\\Users\\anna\\Documents\\");
  EXPECT_EQ(CarpetesEspecials[1], "C:\\Users\\anna\\Escritorio\\");
}

TEST_F(CarpetesEspecials_, HomeStandsInForTheProfileInItsDriveForm) {
  plat::FixarEntorn("HOME", dir.Host() + "home/anna");
  dir.Escriure("home/anna/Desktop/x", "");
  PrepararCarpetesEspecials();
  EXPECT_EQ(CarpetesEspecials[1], "C:\\home\\anna\\Desktop\\");
  EXPECT_EQ(CarpetesEspecials[2], "C:\\home\\anna\\Recent\\");
}

}  // namespace
