#include "console/ajuda.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "util/entorn_pantalla.h"

namespace {

// A record of the help file: the text padded with spaces to 80 bytes.
std::string Registre(const std::string& text) { return text + std::string(80 - text.size(), ' '); }
std::string Pagina(int linies, const std::string& prefix = "Linia ") {
  std::string s;
  for (int i = 1; i <= linies; ++i) s += Registre(prefix + std::to_string(i));
  return s;
}

class Ajuda : public PantallaTest {
 protected:
  void SetUp() override {
    PantallaTest::SetUp();
    ReiniciarFormularis();
    plat::ReiniciarSistema();
    EstatSessio.Idioma = "CAT";
    EstatSessio.TaulaColors[0][0] = 15;
    EstatSessio.TaulaColors[1][0] = 7;
    EstatSessio.TaulaColors[4][0] = 0;
    EstatSessio.TaulaColors[4][1] = 7;
    abans_ = std::filesystem::current_path();
    ASSERT_TRUE(plat::CanviarDirectori(dir.Programa()));
    for (int f = 0; f < 25; ++f)
      for (int c = 0; c < 80; ++c) con.EscriureCella(f, c, plat::Cella{static_cast<uint8_t>('a' + (f * 3 + c) % 26), 0x3C});
    fons = con.Files();
  }
  void TearDown() override {
    std::filesystem::current_path(abans_);
    ReiniciarFormularis();
    plat::ReiniciarSistema();
    PantallaTest::TearDown();
  }

  // Text of inside row r (1-based, 17 rows) at wait number n, trailing spaces removed.
  std::string Dins(size_t n, int r) const {
    std::string s = con.fotos[n].files[static_cast<size_t>(3 + r)].substr(2, 76);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  // First and last line numbers shown at wait n of a page made by Pagina().
  std::pair<std::string, std::string> Mostrades(size_t n) const { return {Dins(n, 1), Dins(n, 17)}; }

  std::vector<std::string> fons;
  std::filesystem::path abans_;
};

using Parell = std::pair<std::string, std::string>;

TEST_F(Ajuda, PagesThroughALongFile) {
  dir.Escriure("AJUDA/TEMA.HLP", Pagina(50));
  con.Claus({kTeclaFinal, kTeclaRePag, kTeclaRePag, kTeclaAvPag, kTeclaAvPag, kTeclaAvPag, kTeclaInici, kTeclaAvall, kTeclaAvall, kTeclaAmunt, kTeclaEscape});
  MostrarAjuda("TEMA");
  ASSERT_EQ(con.fotos.size(), 11u);
  EXPECT_EQ(Mostrades(0), Parell("Linia 1", "Linia 17"));
  EXPECT_EQ(Mostrades(1), Parell("Linia 34", "Linia 50"));  // End
  EXPECT_EQ(Mostrades(2), Parell("Linia 18", "Linia 34"));  // Page Up: the old first line last
  EXPECT_EQ(Mostrades(3), Parell("Linia 2", "Linia 18"));
  EXPECT_EQ(Mostrades(4), Parell("Linia 19", "Linia 35"));  // Page Down
  EXPECT_EQ(Mostrades(5), Parell("Linia 34", "Linia 50"));  // no further than the last page
  EXPECT_EQ(Mostrades(6), Parell("Linia 34", "Linia 50"));  // nothing follows: ignored
  EXPECT_EQ(Mostrades(7), Parell("Linia 1", "Linia 17"));   // Home
  EXPECT_EQ(Mostrades(9), Parell("Linia 3", "Linia 19"));   // Down twice
  EXPECT_EQ(Mostrades(10), Parell("Linia 2", "Linia 18"));  // Up
  // Frame: double line from row 4 to row 22, the whole width.
  EXPECT_EQ(con.fotos[0].files[3], "\xC9" + std::string(78, '\xCD') + "\xBB");
  EXPECT_EQ(con.fotos[0].files[21], "\xC8" + std::string(78, '\xCD') + "\xBC");
  EXPECT_EQ(con.fotos[0].files[4].substr(0, 9), "\xBA Linia 1");
  EXPECT_EQ(con.fotos[0].files[2], fons[2]);
  EXPECT_EQ(con.Files(), fons);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(dir.Existeix("WinPush.tmp"));
  EXPECT_TRUE(PilaColors.empty());
}

TEST_F(Ajuda, ShortFileIgnoresEveryMove) {
  dir.Escriure("AJUDA/CURT.HLP", Pagina(5));
  con.Claus({kTeclaAvall, kTeclaAvPag, kTeclaFinal, kTeclaAmunt, kTeclaRePag, kTeclaInici, 'x', kTeclaEscape});
  MostrarAjuda("curt");  // file names are matched without regard to case
  ASSERT_EQ(con.fotos.size(), 8u);
  for (size_t n = 0; n < con.fotos.size(); ++n) {
    EXPECT_EQ(Dins(n, 1), "Linia 1");
    EXPECT_EQ(Dins(n, 5), "Linia 5");
    EXPECT_EQ(Dins(n, 6), "");
  }
}

TEST_F(Ajuda, SwitchBytesChangeTheColourAndAreNotShown) {
  dir.Escriure("AJUDA/COLORS.HLP", Registre("ab\x1F" "cd\x1F" "ef") + Registre("\x1E" "h\x1Fu\x1E" "v\x1F" "n\x10r") +
                                          Registre(std::string(90 - 80, '\x1E') + std::string(70, 'x')));
  MostrarAjuda("COLORS");
  EXPECT_EQ(Dins(0, 1), "abcdef");
  // Normal light grey, highlight white, underline black on grey, reverse role 2 (black).
  EXPECT_EQ(con.fotos[0].colors[4].substr(4, 12), "707007077070");
  EXPECT_EQ(Dins(0, 2), "huvnr");
  // Highlight stays off while underline is on; reverse ends in its own role.
  EXPECT_EQ(con.fotos[0].colors[5].substr(4, 10), "f007077000");
  EXPECT_EQ(Dins(0, 3), std::string(70, 'x'));
}

TEST_F(Ajuda, AtMost76CharactersOfALine) {
  dir.Escriure("AJUDA/AMPLE.HLP", std::string(80, 'w'));
  MostrarAjuda("AMPLE");
  EXPECT_EQ(con.fotos[0].files[4], "\xBA " + std::string(76, 'w') + " \xBA");
}

TEST_F(Ajuda, F1OpensTheHelpOnHelpAndEscapeTwiceRestoresTheScreen) {
  dir.Escriure("AJUDA/TEMA.HLP", Pagina(3, "Tema "));
  dir.Escriure("AJUDA/ZEDMENUS.HLP", Pagina(3, "Ajuda "));
  con.Claus({kTeclaF1, kTeclaF1, kTeclaAvall, kTeclaEscape, kTeclaEscape});
  MostrarAjuda("TEMA");
  ASSERT_EQ(con.fotos.size(), 5u);
  EXPECT_EQ(Dins(0, 1), "Tema 1");
  EXPECT_EQ(Dins(1, 1), "Ajuda 1");
  EXPECT_EQ(Dins(2, 1), "Ajuda 1");  // F1 inside ZEDMENUS opens nothing more
  EXPECT_EQ(Dins(4, 1), "Tema 1");
  EXPECT_EQ(con.Files(), fons);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_TRUE(PilaColors.empty());
}

TEST_F(Ajuda, MissingFileSaysSoInTheSessionLanguage) {
  MostrarAjuda("NOHIES");
  EXPECT_EQ(Dins(0, 1), "No hi ha ajuda per a aquesta opci\xA2.");
  EXPECT_EQ(con.Files(), fons);
  EstatSessio.Idioma = "SPA";
  MostrarAjuda("NOHIES");
  EXPECT_EQ(Dins(1, 1), "No hay ayuda para esta opci\xA2n.");
  EstatSessio.Idioma = "GLG";
  MostrarAjuda("NOHIES");
  EXPECT_EQ(Dins(2, 1), "Non hai axuda para esta opci\xA2n.");
  EstatSessio.Idioma = "OCI";
  MostrarAjuda("NOHIES");
  EXPECT_EQ(Dins(3, 1), "Non i a ajuda entad aguesta opcion.");
}

TEST_F(Ajuda, EmptyFileShowsAnEmptyWindow) {
  dir.Escriure("AJUDA/BUIT.HLP", "");
  con.Claus({kTeclaAvall, kTeclaFinal, kTeclaEscape});
  MostrarAjuda("BUIT");
  ASSERT_EQ(con.fotos.size(), 3u);
  for (int r = 1; r <= 17; ++r) EXPECT_EQ(Dins(2, r), "");
}

TEST(FitxerAjuda, LineCountRoundsToTheNearestRecord) {
  CarpetaTemporal dir;
  dir.Escriure("a.hlp", std::string(80 * 3 + 39, 'a'));
  dir.Escriure("b.hlp", std::string(80 * 3 + 40, 'b'));
  FitxerAjuda a(dir.Programa() + "a.hlp", 80), b(dir.Programa() + "b.hlp", 80);
  EXPECT_EQ(a.Linies(), 3);
  EXPECT_EQ(b.Linies(), 4);
  EXPECT_EQ(b.Linia(4), std::string(40, 'b'));  // the short last record
  EXPECT_EQ(b.Linia(5), "");
  EXPECT_EQ(b.Linia(0), "");
  FitxerAjuda c(dir.Programa() + "c.hlp", 80);
  EXPECT_FALSE(c.Obert());
  FitxerAjuda d(dir.Programa(), 80);  // a folder is not a help file
  EXPECT_FALSE(d.Obert());
}

TEST_F(Ajuda, HugeBinaryFileIsReadOnlyWhereShown) {
  dir.Escriure("AJUDA/GRAN.HLP", "");
  const std::string host = dir.Host() + "AJUDA/GRAN.HLP";
  ASSERT_EQ(truncate(host.c_str(), 100LL * 1024 * 1024 + 7), 0);  // sparse: reads as NUL bytes
  {
    FILE* f = fopen(host.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    fseek(f, 100L * 1024 * 1024 - 80, SEEK_SET);
    fputs("\x10\x1E\x1F\xFF final", f);
    fclose(f);
  }
  con.Claus({kTeclaFinal, kTeclaAmunt, kTeclaAvPag, kTeclaEscape});
  MostrarAjuda("GRAN");
  ASSERT_EQ(con.fotos.size(), 4u);
  EXPECT_EQ(Dins(1, 17).substr(0, 7), "\xFF final");
  EXPECT_EQ(Dins(3, 17).substr(0, 7), "\xFF final");
  EXPECT_EQ(con.Files(), fons);
}

TEST_F(Ajuda, WindowsModeStartsTheLauncherThroughTheCommandInterpreter) {
  EstatSessio.Entorn = "WIN";
  plat::FixarEntorn("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
  std::vector<std::string> ordres;
  plat::FixarObservadorProcessos([&](const std::string& o) {
    ordres.push_back(o);
    return false;
  });
  MostrarAjuda("LLISTATS");
  ASSERT_EQ(ordres.size(), 1u);
  EXPECT_EQ(ordres[0], "C:\\WINDOWS\\system32\\cmd.exe /C VISRUN AJUDA\\LLISTATS.HTM");
  EXPECT_TRUE(con.fotos.empty());  // no console window
}

TEST_F(Ajuda, F1InAFormShowsTheMenuOptionsPage) {
  dir.Escriure("AJUDA/LLISTATS.HLP", Pagina(2, "Llistats "));
  EstatSessio.NomMenu = "LLISTATS  ";
  RegistrarAjuda();
  ASSERT_TRUE(Ganxos.Ajuda);
  Ganxos.Ajuda("LLISTATS");
  EXPECT_EQ(Dins(0, 1), "Llistats 1");
  Ganxos.Ajuda("");
  EXPECT_EQ(Dins(1, 2), "Llistats 2");
}

}  // namespace
