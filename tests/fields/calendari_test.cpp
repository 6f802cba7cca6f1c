#include "fields/calendari.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/tecles.h"
#include "dates/dates.h"
#include "fields/calculadora.h"
#include "fields/colors.h"
#include "fields/majuscules.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "session/utilitats.h"
#include "util/entorn_pantalla.h"

namespace {

class Cal : public PantallaTest {
 protected:
  void SetUp() override {
    PantallaTest::SetUp();
    ReiniciarDates();
    ReiniciarMajuscules();
    plat::ReiniciarSistema();
    EstatSessio.Idioma = "CAT";
    EstatSessio.TaulaColors[0][0] = 15;
    EstatSessio.TaulaColors[4][0] = 0;
    EstatSessio.TaulaColors[4][1] = 7;
    DatCaracter = '/';
    DatOrdre[0] = 'D';
    DatOrdre[1] = 'M';
    DatOrdre[2] = 'A';
    for (int f = 0; f < 25; ++f)
      for (int c = 0; c < 80; ++c) con.EscriureCella(f, c, plat::Cella{static_cast<uint8_t>('A' + (f * 7 + c) % 26), 0x2F});
    fons = con.Files();
  }
  void TearDown() override {
    ReiniciarDates();
    plat::ReiniciarSistema();
    PantallaTest::TearDown();
  }

  std::string Executar(int any, int mes, int dia, std::vector<int> claus, bool acceptar = true) {
    EstatSessio.DataTreball = DatEmpaquetar(any, mes, dia);
    return Executar(claus, acceptar);
  }
  std::string Executar(std::vector<int> claus, bool acceptar = true) {
    con.fotos.clear();
    for (int c : claus) con.Clau(c);
    if (acceptar) con.Tecla('F');
    return Calendari();
  }
  // The inside of window row r (20 columns) at the last wait for a key.
  std::string Dins(int r) const { return con.fotos.back().files[static_cast<size_t>(r)].substr(59, 20); }
  std::string Marc(int r) const { return con.fotos.back().files[static_cast<size_t>(r)].substr(58, 22); }

  std::vector<std::string> fons;
};

// Numeric dates come at the full width of the date text, trailing spaces included, so they
// overwrite the whole field.
TEST_F(Cal, LeftFromNewYearGoesToTheLastQuarterOfTheYearBefore) {
  EXPECT_EQ(Executar(2025, 1, 1, {kTeclaEsquerra}), "31/12/2024");
  EXPECT_EQ(Marc(0), "\xDA" + std::string(7, '\xC4') + " 2024 " + std::string(7, '\xC4') + "\xBF");
  EXPECT_EQ(Dins(1), "DL DT DC DJ DV DS DG");
  EXPECT_EQ(Dins(2), "      OCTUBRE       ");
  EXPECT_EQ(Dins(9), "      NOVEMBRE      ");
  EXPECT_EQ(Dins(16), "      DESEMBRE      ");
  // 1 December 2024 is a Sunday: the 31st opens the sixth week row, a Tuesday.
  EXPECT_EQ(Dins(17), "                   1");
  EXPECT_EQ(Dins(22), "30 31               ");
  // The selected day in the editing role, the others highlighted.
  EXPECT_EQ(con.fotos.back().colors[22].substr(2 * 62, 4), "0707");
  EXPECT_EQ(con.fotos.back().colors[22].substr(2 * 59, 4), "f0f0");
  EXPECT_EQ(Marc(23), "\xC0" + std::string(20, '\xC4') + "\xD9");
}

TEST_F(Cal, WeekMovesCrossMonthEnds) {
  EXPECT_EQ(Executar(2025, 4, 28, {kTeclaAvall}), "5/5/2025  ");
  EXPECT_EQ(Executar(2023, 3, 3, {kTeclaAmunt}), "24/2/2023 ");
  EXPECT_EQ(Executar(2024, 3, 3, {kTeclaAmunt}), "25/2/2024 ");
  EXPECT_EQ(Executar(2024, 12, 31, {kTeclaDreta}), "1/1/2025  ");
  EXPECT_EQ(Dins(2), "       GENER        ");
  EXPECT_EQ(Executar(2024, 4, 3, {kTeclaAmunt}), "27/3/2024 ");
  EXPECT_EQ(Dins(16), "        MAR\x80        ");
}

TEST_F(Cal, QuarterMovesKeepTheDayWithinTheMonth) {
  EXPECT_EQ(Executar(2025, 1, 31, {kTeclaAvPag}), "30/4/2025 ");
  EXPECT_EQ(Executar(2027, 11, 30, {kTeclaAvPag}), "29/2/2028 ");
  EXPECT_EQ(Executar(2028, 11, 30, {kTeclaAvPag}), "28/2/2029 ");
  EXPECT_EQ(Executar(2025, 2, 15, {kTeclaRePag}), "15/11/2024");
  EXPECT_EQ(Dins(9), "      NOVEMBRE      ");
  EXPECT_EQ(Executar(2025, 5, 15, {kTeclaInici}), "15/1/2025 ");
  EXPECT_EQ(Dins(2), "       GENER        ");
  EXPECT_EQ(Executar(2025, 5, 15, {kTeclaFinal, kTeclaAvall}), "22/12/2025");
}

TEST_F(Cal, RedrawLeavesNoDaysOfTheQuarterBefore) {
  // 2023 starts on a Sunday: six empty cells before the 1st.
  Executar(2023, 1, 1, {kTeclaRePag, kTeclaAvPag});
  EXPECT_EQ(Dins(3), "                   1");
  EXPECT_EQ(Dins(8), "30 31               ");
  // November 2022 had 28, 29 and 30 on this week row.
  EXPECT_EQ(Dins(14), "27 28               ");
  EXPECT_EQ(Dins(15), std::string(20, ' '));
}

TEST_F(Cal, OnlyFAcceptsAndEscapeHandsBackNothing) {
  EXPECT_EQ(Executar(2025, 6, 10, {'\r', kTeclaDreta, 'x'}, false), "");
  EXPECT_EQ(Executar(2025, 6, 10, {kTeclaDreta, 'f'}, false), "11/6/2025 ");
  con.Tecla(0, 0x21);
  EXPECT_EQ(Executar(2025, 6, 10, {}, false), "10/6/2025 ");
  // The screen, the key list and the colour role are the caller's again.
  for (int f = 0; f < 25; ++f) EXPECT_EQ(con.Fila(f), fons[static_cast<size_t>(f)]);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_TRUE(TeclesSortida.Acceptades.empty());
  EXPECT_TRUE(TeclesDesades.empty());
  EXPECT_TRUE(PilaColors.empty());
}

TEST_F(Cal, HeaderAndNamesFollowTheLanguage) {
  EstatSessio.Idioma = "OCI";
  Executar(2025, 1, 1, {});
  EXPECT_EQ(Dins(1), "DL DT DC DJ DD DS DG");
  EstatSessio.Idioma = "SPA";
  Executar(2025, 1, 1, {});
  EXPECT_EQ(Dins(1), " L  M  X  J  V  S  D");
  EXPECT_EQ(Dins(2), "       ENERO        ");
}

TEST_F(Cal, MissingOrDamagedWorkDateStartsToday) {
  plat::FixarRellotge(plat::Moment{2026, 3, 15, 10, 0, 0, 0});
  EstatSessio.DataTreball = "";
  EXPECT_EQ(Executar({}), "15/3/2026 ");
  EstatSessio.DataTreball = DatEmpaquetar(2025, 2, 30);
  EXPECT_EQ(Executar({}), "15/3/2026 ");
  EstatSessio.DataTreball = std::string("\xFF\xFF\xFF\xFF", 4);
  EXPECT_EQ(Executar({}), "15/3/2026 ");
}

TEST_F(Cal, MovesStopAtTheFirstAndLastYear) {
  EXPECT_EQ(Executar(9999, 12, 31, {kTeclaDreta, kTeclaAvPag}), "31/12/9999");
  EXPECT_EQ(Executar(1, 1, 1, {kTeclaEsquerra, kTeclaRePag, kTeclaAmunt}), "1/1/0001  ");
}

TEST_F(Cal, AltCTypesTheDateIntoTheWaitingField) {
  RegistrarCalculadoraICalendari();
  EstatSessio.DataTreball = DatEmpaquetar(2025, 3, 9);
  con.Tecla('c', 0x2E, plat::kAltEsquerra);
  con.Tecla(0, 0x4D);
  con.Tecla('F');
  EXPECT_EQ(EsperarTecla(), static_cast<int16_t>(0x2E00));
  EXPECT_EQ(TeclesPendents, "10/3/2025 ");
}

TEST(DiesMes, GregorianLengths) {
  const int esperat[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(DiesMes(2023, m), esperat[m - 1]) << m;
  EXPECT_EQ(DiesMes(2024, 2), 29);
  EXPECT_EQ(DiesMes(1900, 2), 28);
  EXPECT_EQ(DiesMes(2000, 2), 29);
}

}  // namespace
