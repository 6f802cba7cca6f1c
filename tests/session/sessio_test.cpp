#include <gtest/gtest.h>

#include "platform/sistema.h"
#include "session/sessio.h"
#include "session/utilitats.h"
#include "util/entorn_prova.h"

namespace {

class Sessio : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::NetejarEntorn();
    for (const char* v : {"KEVROOT", "KEVEXE", "KEVTMP", "KEVTERM", "TERM", "HTTP_USER_AGENT", "HTTP_ACCEPT",
                          "WINDIR", "SYSTEMROOT"})
      plat::FixarEntorn(v, "");
    ReiniciarSessio();
  }
  void TearDown() override {
    plat::NetejarEntorn();
    ReiniciarSessio();
  }
  CarpetaTemporal dir;
};

TEST_F(Sessio, WorkDirectorySeparatorRule) {
  for (auto [entrada, esperat] : {std::pair{"C:\\TMP", "C:\\TMP\\"}, {"C:", "C:"}, {"C:\\TMP\\", "C:\\TMP\\"}}) {
    plat::FixarEntorn("KEVTMP", entrada);
    IniciSessio();
    EXPECT_EQ(EstatSessio.DirTmp, esperat);
  }
}

TEST_F(Sessio, EverythingFromTheFiles) {
  const std::string p = dir.Programa();
  plat::FixarEntorn("KEVTMP", p.substr(0, p.size() - 1));
  plat::FixarEntorn("KEVROOT", "C:\\KEV\\");
  plat::FixarEntorn("KEVEXE", "C:\\KEV\\EXE");
  dir.Escriure("Sessio.ini", "[Menu]\r\nNomMenu=VENDES\r\nOperador=PERE\r\n[Terminal]\r\nDir=D:\\TERM01\r\n");
  dir.Escriure("QuilTerm.ini",
               "[Pantalla]\r\nSeleccio=3\r\nCol0=00000000000000000000\r\nCol3=14011501070007000001\r\n"
               "[Sistema]\r\nData=20240229\r\nIdioma=SPANISH\r\n");
  IniciSessio();
  const auto& e = EstatSessio;
  EXPECT_EQ(e.DirArrel, "C:\\KEV\\");
  EXPECT_EQ(e.DirExe, "C:\\KEV\\EXE");  // used exactly as given
  EXPECT_EQ(e.DirTmp, p);
  EXPECT_EQ(e.DirTerminal, "D:\\TERM01\\");
  EXPECT_EQ(e.NomMenu, "VENDES");
  EXPECT_EQ(e.Operador, "PERE");
  EXPECT_EQ(e.Idioma, "SPA");
  EXPECT_EQ(e.DataTreball, EmpaquetarDigits("20240229"));
  const int16_t esperat[5][2] = {{14, 1}, {15, 1}, {7, 0}, {7, 0}, {0, 1}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(e.TaulaColors[i][0], esperat[i][0]) << i;
    EXPECT_EQ(e.TaulaColors[i][1], esperat[i][1]) << i;
  }
  EXPECT_EQ(e.Entorn, "DOS");
}

TEST_F(Sessio, TerminalVariableIsTheFallbackForBothDirectories) {
  const std::string p = dir.Programa();
  plat::FixarEntorn("TERM", "xterm-256color");  // the terminal type, never a folder here
  plat::FixarEntorn("KEVTERM", p.substr(0, p.size() - 1));
  dir.Escriure("QuilTerm.ini", "[Sistema]\r\nIdioma=GLG\r\n");
  IniciSessio();
  EXPECT_EQ(EstatSessio.DirTerminal, p);
  EXPECT_EQ(EstatSessio.DirTmp, p);
  EXPECT_EQ(EstatSessio.Idioma, "GLG");
}

TEST_F(Sessio, ColourDefaultsAndShortValues) {
  const std::string p = dir.Programa();
  plat::FixarEntorn("KEVTMP", p);
  IniciSessio();  // no files at all
  const int16_t defecte[5][2] = {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(EstatSessio.TaulaColors[i][0], defecte[i][0]);
    EXPECT_EQ(EstatSessio.TaulaColors[i][1], defecte[i][1]);
  }
  EXPECT_EQ(EstatSessio.Idioma, "   ");
  EXPECT_EQ(EstatSessio.DataTreball, "");

  // No Seleccio: Col0 is read. A short value fills the rest with zeros; a group starting
  // with a non-digit is 0, a digit followed by junk is its leading number.
  dir.Escriure("QuilTerm.ini", "[Pantalla]\r\nCol0=1501 x2a\r\n");
  IniciSessio();
  const int16_t curt[5][2] = {{15, 1}, {0, 2}, {0, 0}, {0, 0}, {0, 0}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(EstatSessio.TaulaColors[i][0], curt[i][0]) << i;
    EXPECT_EQ(EstatSessio.TaulaColors[i][1], curt[i][1]) << i;
  }
}

TEST_F(Sessio, LanguageFromInstallationWhenBlank) {
  const std::string p = dir.Programa();
  plat::FixarEntorn("KEVTMP", p + "term");
  plat::FixarEntorn("KEVROOT", p);
  dir.Escriure("term/QuilTerm.ini", "[Sistema]\r\nIdioma=   \r\n");
  dir.Escriure("Quil.ini", "[Usuari]\r\nIdioma=OC\r\n");
  IniciSessio();
  EXPECT_EQ(EstatSessio.Idioma, "OC ");
  dir.Escriure("term/QuilTerm.ini", "[Sistema]\r\nIdioma=spa\r\n");
  IniciSessio();
  EXPECT_EQ(EstatSessio.Idioma, "spa");  // kept as is; only exact "SPA" selects Spanish
}

TEST_F(Sessio, EnvironmentMode) {
  IniciSessio();
  EXPECT_EQ(EstatSessio.Entorn, "DOS");
  plat::FixarEntorn("SYSTEMROOT", "C:\\WINDOWS");
  IniciSessio();
  EXPECT_EQ(EstatSessio.Entorn, "WIN");
  plat::FixarEntorn("HTTP_ACCEPT", "*/*");
  IniciSessio();
  EXPECT_EQ(EstatSessio.Entorn, "CGI");
  ReiniciarSessio();
  EXPECT_EQ(EstatSessio.Entorn, "DOS");
  EXPECT_EQ(EstatSessio.DirTmp, "");
}

}  // namespace
