#include "fields/calculadora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "fields/mascares.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "util/entorn_pantalla.h"

namespace {

const std::string kV = "\xB3";
const std::string kLinia(24, '\xC4');

std::string Num(const std::string& text) { return std::string(22 - text.size(), ' ') + text; }
std::string Cinta(const std::string& text, char op) { return kV + Num(text) + " " + op + kV; }
std::string Entrada(const std::string& text) { return kV + Num(text) + "  " + kV; }

class Calc : public PantallaTest {
 protected:
  void SetUp() override {
    PantallaTest::SetUp();
    ReiniciarMascares();
    plat::ReiniciarSistema();
    EstatSessio.DirTerminal = dir.Programa();
    DecCaracter = '.';
    MilCaracter = ',';
    // A background the calculator must leave as it found it.
    for (int f = 0; f < 25; ++f)
      for (int c = 0; c < 80; ++c) con.EscriureCella(f, c, plat::Cella{static_cast<uint8_t>('a' + (f + c) % 26), 0x1E});
    fons = con.Files();
  }
  void TearDown() override {
    ReiniciarMascares();
    plat::ReiniciarSistema();
    PantallaTest::TearDown();
  }

  // Runs the calculator on the keys (characters; extended keys by scan code).
  std::string Executar(const std::string& claus, std::vector<int> esteses = {}) {
    con.fotos.clear();
    con.Text(claus);
    for (int s : esteses) con.Clau(s);
    return Calculadora();
  }
  // The calculator's 26 columns of screen row f (1-based) at the last wait for a key.
  std::string Vist(int f, int col = 1) const {
    return con.fotos.back().files[static_cast<size_t>(f - 1)].substr(static_cast<size_t>(col - 1), 26);
  }
  EstatCalculadoraT Estat() const { return LlegirEstatCalculadora(dir.Llegir("KEVCALC.TMP")); }

  std::vector<std::string> fons;
};

TEST_F(Calc, DivisionShowsOneDecimalAndHandsBackHundredths) {
  EXPECT_EQ(Executar("10/4=F"), "250");
  EXPECT_EQ(Vist(19), "\xDA" + kLinia + "\xBF");
  EXPECT_EQ(Vist(20), Cinta("10", '/'));
  EXPECT_EQ(Vist(21), Cinta("4", '='));
  EXPECT_EQ(Vist(22), Cinta("2.5", ' '));
  EXPECT_EQ(Vist(23), "\xC3" + kLinia + "\xB4");
  EXPECT_EQ(Vist(24), Entrada("2.5"));
  EXPECT_EQ(Vist(25), "\xC0" + kLinia + "\xD9");
  // The rows above the tape are untouched, and closing puts everything back.
  EXPECT_EQ(con.fotos.back().files[17], fons[17]);
  EXPECT_EQ(con.Files(), fons);
  EXPECT_EQ(FinestraActual.Nivell, 0);
}

TEST_F(Calc, FirstOpeningShowsAnEmptyFrameAndCreatesTheStateFile) {
  EXPECT_EQ(Executar(""), "");
  EXPECT_EQ(Vist(22), fons[21].substr(0, 26));
  EXPECT_EQ(Vist(23), "\xDA" + kLinia + "\xBF");
  EXPECT_EQ(Vist(24), Entrada("0"));
  EXPECT_TRUE(dir.Existeix("KEVCALC.TMP"));
}

TEST_F(Calc, AdditionTapeAndRepeatedOperationKey) {
  Executar("5+3=");
  EXPECT_EQ(Vist(20), Cinta("5", '+'));
  EXPECT_EQ(Vist(21), Cinta("3", '='));
  EXPECT_EQ(Vist(22), Cinta("8", ' '));
  EXPECT_EQ(Vist(24), Entrada("8"));
  EXPECT_EQ(Executar("C5++F"), "1000");  // the second "+" adds the shown 5 again
  EXPECT_EQ(Vist(24), Entrada("10"));
}

TEST_F(Calc, EqualsOrEnterWithNothingTypedDoesNothing) {
  Executar("5+=");
  con.Tecla('\r');
  EXPECT_EQ(Calculadora(), "");
  const EstatCalculadoraT e = Estat();
  EXPECT_EQ(e.PrimeraFilaCinta, 22);  // only "5 +" went on the tape
  EXPECT_EQ(e.Pendent, "+");
  EXPECT_EQ(e.Total, 5);
}

TEST_F(Calc, NegativeNumberKeepsItsSignInTheFirstColumn) {
  DecCaracter = '\'';
  MilCaracter = '.';
  Executar("1234.5T");
  EXPECT_EQ(Vist(24), kV + "-              1.234'5  " + kV);
  // Digits typed after the sign change grow the magnitude.
  Executar("C C9T9");
  EXPECT_EQ(Vist(24), kV + "-" + std::string(19, ' ') + "99  " + kV);
}

TEST_F(Calc, ClearLevelsEntryThenAllThenTape) {
  Executar("7+5");
  EXPECT_EQ(Vist(24), Entrada("5"));
  Executar("C");
  EXPECT_EQ(Vist(24), Entrada("7"));  // the typed entry is dropped, the total shows
  EXPECT_EQ(Vist(22), Cinta("7", '+'));
  Executar("C");
  EXPECT_EQ(Vist(24), Entrada("0"));
  EXPECT_EQ(Vist(22), Cinta("7", '+'));  // everything cleared, tape still shown
  Executar("C");
  EXPECT_EQ(Vist(22), fons[21].substr(0, 26));
  EXPECT_EQ(Vist(23), "\xDA" + kLinia + "\xBF");
  EXPECT_EQ(Estat().PrimeraFilaCinta, 23);
  EXPECT_EQ(Estat().Cinta[21].Valor, 7);  // hidden, not forgotten
  // Digits do not undo a full clear: after it, two clears take the entry, then the tape.
  Executar("2+C4C");
  EXPECT_EQ(Estat().PrimeraFilaCinta, 22);
  Executar("C");
  EXPECT_EQ(Estat().PrimeraFilaCinta, 23);
  EXPECT_EQ(Estat().Total, 0);
}

TEST_F(Calc, PercentageAndRounding) {
  EXPECT_EQ(Executar("200+10%=F"), "22000");
  EXPECT_EQ(Vist(20), Cinta("10", '%'));
  EXPECT_EQ(Executar("200*10%=F"), "2000");
  EXPECT_EQ(Executar("5+3.456=RF"), "846");
  EXPECT_EQ(Vist(24), Entrada("8.46"));
  EXPECT_EQ(Vist(22), Cinta("8.46", 'R'));
  EXPECT_EQ(Executar("C1.235TRF"), "-124");
  EXPECT_EQ(Vist(24), kV + "-" + std::string(17, ' ') + "1.24  " + kV);
}

TEST_F(Calc, NormalisedResults) {
  EXPECT_EQ(Executar("10/3=F"), "333.333333333333");
  EXPECT_EQ(Vist(24), Entrada("3.33333333333333"));
  EXPECT_EQ(Executar("C.1+.2=F"), "30");
  EXPECT_EQ(Vist(24), Entrada("0.3"));
}

TEST_F(Calc, BackspaceRemovesDigitsThenThePoint) {
  Executar("12.34\b");
  EXPECT_EQ(Vist(24), Entrada("12.3"));
  Executar("\b\b");
  EXPECT_EQ(Vist(24), Entrada("12"));
  EXPECT_FALSE(Estat().Punt);
  Executar("\b\b");
  EXPECT_EQ(Vist(24), Entrada("0"));
  EXPECT_FALSE(Estat().Teclejant);
  // Upper and lower case letters are the same keys.
  EXPECT_EQ(Executar("c3.5f"), "350");
}

TEST_F(Calc, DivisionByZeroShowsAnErrorAndStaysUsable) {
  Executar("1/0=");
  EXPECT_EQ(Vist(24), Entrada("Error"));
  EXPECT_EQ(Vist(22), Cinta("Error", ' '));
  EXPECT_EQ(Executar("F"), "");
  EXPECT_EQ(Executar("C2+3=F"), "500");
}

TEST_F(Calc, MovesAndWrapsAroundTheScreenEdges) {
  Executar("1+", {0x4B00});  // from column 1 to the right edge
  EXPECT_EQ(Vist(25, 55), "\xC0" + kLinia + "\xD9");
  EXPECT_EQ(con.fotos.back().files[24].substr(0, 54), fons[24].substr(0, 54));
  EXPECT_EQ(Estat().Columna, 55);
  Executar("", {0x4D00});
  EXPECT_EQ(Estat().Columna, 1);
  Executar("", {0x4D00, 0x4D00, 0x7300});
  EXPECT_EQ(Estat().Columna, 2);
  EXPECT_EQ(Vist(24, 2), Entrada("1"));
  EXPECT_EQ(con.Files(), fons);
}

TEST_F(Calc, StateFileIsWrittenExactly) {
  Executar("5+3.25=");
  std::string esperat = "1,20,8.25,8.25\r\n0,0,-1,2\r\n\"\x1B\",\"\"\r\n";
  for (int i = 0; i < 19; ++i) esperat += "0,0,0,\"\"\r\n";
  esperat += "5,0,0,\"+\"\r\n3.25,-1,2,\"=\"\r\n8.25,-1,2,\" \"\r\n";
  EXPECT_EQ(dir.Llegir("KEVCALC.TMP"), esperat);
  Executar("C1", {0x4B00});
  EXPECT_EQ(dir.Llegir("KEVCALC.TMP").substr(0, 30), "55,20,1,0\r\n-1,-1,0,0\r\n\"\x1B\",\"\"\r\n");
}

TEST_F(Calc, TapeAndPositionSurviveReopening) {
  Executar("1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20=", {0x4D00, 0x4D00});
  const std::vector<std::string> abans = con.fotos.back().files;
  EXPECT_EQ(Estat().PrimeraFilaCinta, 2);
  EXPECT_EQ(Vist(1, 3), "\xDA" + kLinia + "\xBF");
  EXPECT_EQ(Vist(22, 3), Cinta("210", ' '));
  EXPECT_EQ(Vist(2, 3), Cinta("1", '+'));
  Executar("");
  EXPECT_EQ(con.fotos.back().files, abans);
}

TEST(EstatCalculadora, ReadsWhatItWrites) {
  EstatCalculadoraT e;
  e.Columna = 17;
  e.PrimeraFilaCinta = 9;
  e.Entrada = -0.1;
  e.Total = 123456789.125;
  e.Netejat = false;
  e.Teclejant = true;
  e.Punt = true;
  e.Decimals = 3;
  e.DarreraTecla = std::string("\0K", 2);
  e.Pendent = "/";
  for (int i = 0; i < kLiniesCinta; ++i) e.Cinta[i] = {1.0 / (i + 3), i % 2 == 0, static_cast<int16_t>(i % 5), "*"};
  const EstatCalculadoraT l = LlegirEstatCalculadora(EscriureEstatCalculadora(e));
  EXPECT_EQ(EscriureEstatCalculadora(l), EscriureEstatCalculadora(e));
  EXPECT_EQ(l.Entrada, -0.1);
  EXPECT_EQ(l.Cinta[21].Valor, 1.0 / 24);
  EXPECT_EQ(l.DarreraTecla, e.DarreraTecla);
}

TEST(EstatCalculadora, DamagedFilesReadAsFarAsTheyGo) {
  // Cut inside tape line 2: line 1 is read, line 2 keeps its value only.
  EstatCalculadoraT e = LlegirEstatCalculadora("3,20,1.5,2\r\n0,-1,-1,1\r\n\"5\",\"+\"\r\n7,0,0,\"+\"\r\n8,-1");
  EXPECT_EQ(e.Columna, 3);
  EXPECT_EQ(e.Entrada, 1.5);
  EXPECT_EQ(e.Pendent, "+");
  EXPECT_EQ(e.Cinta[0].Valor, 7);
  EXPECT_EQ(e.Cinta[0].Operacio, "+");
  EXPECT_EQ(e.Cinta[1].Valor, 8);
  EXPECT_TRUE(e.Cinta[1].Punt);
  EXPECT_EQ(e.Cinta[2].Valor, 0);
  // More than 22 tape lines: the 23rd and later are not stored.
  std::string s = "1,2,0,0\r\n0,0,0,0\r\n\"\",\"\"\r\n";
  for (int i = 1; i <= 30; ++i) s += std::to_string(i) + ",0,0,\"+\"\r\n";
  e = LlegirEstatCalculadora(s);
  EXPECT_EQ(e.Cinta[21].Valor, 22);
  // Line breaks do not matter; out-of-range numbers are brought into range.
  e = LlegirEstatCalculadora("99,0\r\n4,5,0,0,-1,40,\"x\",\"?\"");
  EXPECT_EQ(e.Columna, 55);
  EXPECT_EQ(e.PrimeraFilaCinta, 2);
  EXPECT_EQ(e.Total, 5);
  EXPECT_TRUE(e.Punt);
  EXPECT_EQ(e.Decimals, 30);
  EXPECT_EQ(e.Pendent, "");  // not an operation
  // Garbage gives the start values.
  e = LlegirEstatCalculadora(std::string("\xFF\x00zz,\"\"\"abc", 12));
  EXPECT_EQ(e.Columna, 1);
  EXPECT_EQ(e.PrimeraFilaCinta, 23);
  EXPECT_EQ(e.Entrada, 0);
}

TEST_F(Calc, DamagedStateFileStillOpensAndIsRewritten) {
  dir.Escriure("KEVCALC.TMP", "80,1,nan,inf\r\n\"");
  EXPECT_EQ(Executar("4F"), "400");
  const EstatCalculadoraT e = Estat();
  EXPECT_EQ(e.Columna, 55);
  EXPECT_EQ(e.Entrada, 4);
}

TEST(ResultatCalculadora, HundredthsWithTheShownDecimals) {
  EXPECT_EQ(ResultatCalculadora(1234.5, 1), "123450");
  EXPECT_EQ(ResultatCalculadora(1.2345, 4), "123.45");
  EXPECT_EQ(ResultatCalculadora(0.0005, 4), ".05");
  EXPECT_EQ(ResultatCalculadora(0, 0), "");
  EXPECT_EQ(ResultatCalculadora(0.125, 2), "12");  // halves to even
  EXPECT_EQ(ResultatCalculadora(-2.5, 1), "-250");
  EXPECT_EQ(ResultatCalculadora(INFINITY, 2), "");
  EXPECT_EQ(ResultatCalculadora(1e300, 2).size(), 303u);
}

TEST_F(Calc, AltXTypesTheResultIntoTheWaitingField) {
  RegistrarCalculadoraICalendari();
  GestionarTecles("a", "d,1b");
  const TeclesSortidaT abans = TeclesSortida;
  TriaColor("h");
  con.Tecla('x', 0x2D, plat::kAltEsquerra);
  con.Text("12F");
  EXPECT_EQ(EsperarTecla(), static_cast<int16_t>(0x2D00));
  EXPECT_EQ(TeclesPendents, "1200");
  EXPECT_EQ(EsperarTecla(), '1');
  EXPECT_EQ(TeclesSortida, abans);
  EXPECT_EQ(ColorActual, 0);
  EXPECT_TRUE(PilaColors.empty());
  EXPECT_GT(con.MidaCursorActual(), 0);
}

}  // namespace
