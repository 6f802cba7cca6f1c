#include "console/llistes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/cp850.h"
#include "records/registres.h"
#include "session/sessio.h"
#include "util/entorn_pantalla.h"

namespace {

// List window: rows 2..13, columns 20..41, so H = 10 and W = 20.
constexpr int kDalt = 2, kEsq = 20, kBaix = 13, kDreta = 41;
constexpr int kH = 10, kW = 20;

std::string Fila(int n) { return "FILA " + std::to_string(n); }

class Llistes_ : public PantallaTest {
 protected:
  void SetUp() override {
    PantallaTest::SetUp();
    con.nomesEsperes = true;
    ReiniciarFormularis();
    ReiniciarLlistes();
    ReiniciarRegistres();
    // Distinct colours per role so the highlight can be seen.
    for (int r = 0; r < 5; ++r) {
      EstatSessio.TaulaColors[r][0] = static_cast<int16_t>(r + 1);
      EstatSessio.TaulaColors[r][1] = 0;
    }
    DefinirLlista(1, 0, "", 0);
    GanxosLlista.OmplirSelector = [this](int16_t llista, std::string& inici, std::string& fi) {
      ++omplertes;
      llistaOmplerta = llista;
      inici = fi = "";
      if (!fitxer.empty() || escriureBuit) dir.Escriure("Browse.tmp", fitxer);
      return estatOmplir;
    };
  }
  void TearDown() override {
    ReiniciarLlistes();
    ReiniciarFormularis();
    ReiniciarRegistres();
    PantallaTest::TearDown();
  }

  void DefinirLlista(int n, int16_t fitxerRegistres, const std::string& titol, int16_t f4,
                     int dalt = kDalt, int esq = kEsq, int baix = kBaix, int dreta = kDreta) {
    if (Llistes.size() <= static_cast<size_t>(n)) Llistes.resize(static_cast<size_t>(n) + 1);
    DefLlista& d = Llistes[static_cast<size_t>(n)];
    const int16_t nums[7] = {fitxerRegistres, 0, static_cast<int16_t>(dalt), static_cast<int16_t>(esq),
                             static_cast<int16_t>(baix), static_cast<int16_t>(dreta), 0};
    std::memcpy(d.Numeros, nums, sizeof nums);
    d.Titol = titol;
    d.Darrer = f4;
  }

  // Rows 1..n with value 100 + i and text "FILA i".
  void Files(int n) {
    std::vector<std::string> t;
    for (int i = 1; i <= n; ++i) t.push_back(Fila(i));
    Textos(t);
  }
  void Textos(const std::vector<std::string>& textos) {
    fitxer.clear();
    uint32_t anterior = 0;
    int i = 0;
    for (const std::string& t : textos) AfegirFilaLlista(fitxer, anterior, 100 + ++i, t);
  }


  int16_t Mostrar(int16_t llista = 1) {
    int16_t estat = 99;
    MostrarLlista(llista, estat);
    return estat;
  }

  // Inner text of line i (1..H) in a snapshot, and the caption line (frame width).
  static std::string Linia(const ConsolaProva::Foto& f, int i) {
    return f.files[static_cast<size_t>(kDalt + i - 1)].substr(kEsq, kW);
  }
  // As a PC console shows the bytes (0x10 and 0x11 are the arrows).
  static std::string Glifs(const std::string& s) {
    std::string r;
    for (unsigned char c : s) plat::AfegirUtf8(r, plat::Cp850AUnicode(c));
    return r;
  }
  static std::string Capcalera(const ConsolaProva::Foto& f) {
    return Glifs(f.files[static_cast<size_t>(kDalt - 1)].substr(kEsq - 1, kW + 2));
  }
  // Line highlighted (colour of role "u", foreground 5) in a snapshot; 0 when none.
  static int Ressaltada(const ConsolaProva::Foto& f) {
    for (int i = 1; i <= kH; ++i)
      if (f.colors[static_cast<size_t>(kDalt + i - 1)][2 * kEsq] == '5') return i;
    return 0;
  }
  static std::string Ple(const std::string& s) {
    std::string r = s.substr(0, kW);
    r.resize(kW, ' ');
    return r;
  }
  // Lines 1..H of a snapshot, trailing blanks dropped, joined with "|".
  static std::string Pagina(const ConsolaProva::Foto& f) {
    std::string r;
    for (int i = 1; i <= kH; ++i) {
      std::string l = Linia(f, i);
      while (!l.empty() && l.back() == ' ') l.pop_back();
      r += (i > 1 ? "|" : "") + l;
    }
    return r;
  }
  static std::string Pagina(int de, int fins) {
    std::string r;
    for (int i = de; i < de + kH; ++i) r += (i > de ? "|" : "") + (i <= fins ? Fila(i) : std::string());
    return r;
  }
  const ConsolaProva::Foto& Darrera() const { return con.fotos.back(); }

  std::string fitxer;
  bool escriureBuit = false;
  int16_t estatOmplir = 0;
  int omplertes = 0;
  int16_t llistaOmplerta = 0;
};

TEST_F(Llistes_, FirstPageFrameAndHighlightThenEnterPicksTheRow) {
  Files(3);
  for (int f = 0; f < 25; ++f)
    for (int c = 0; c < 80; ++c) con.EscriureCella(f, c, plat::Cella{'.', 0x07});
  con.Clau(kTeclaAvall);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(omplertes, 1);
  EXPECT_EQ(llistaOmplerta, 1);
  ASSERT_EQ(con.fotos.size(), 2u);
  const auto& f = con.fotos[0];
  EXPECT_EQ(Capcalera(f), "╔════════════════════╗");
  EXPECT_EQ(Pagina(f), "FILA 1|FILA 2|FILA 3|||||||");
  EXPECT_EQ(plat::Cp850AUtf8(f.files[kBaix - 1].substr(kEsq - 1, kW + 2)), "╚════════════════════╝");
  EXPECT_EQ(plat::Cp850AUtf8(f.files[kDalt + 2].substr(kEsq - 2, 3)), ".║F");
  EXPECT_EQ(Ressaltada(con.fotos[0]), 1);
  EXPECT_EQ(Ressaltada(con.fotos[1]), 2);
  EXPECT_EQ(SeleccioValor, 102);
  EXPECT_EQ(SeleccioText, "FILA 2");
  // Closed: file gone, screen and window stack as before.
  EXPECT_FALSE(dir.Existeix("Browse.tmp"));
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_EQ(con.Fila(kDalt), std::string(80, '.'));
  EXPECT_TRUE(PilaColors.empty());
  EXPECT_TRUE(TeclesDesades.empty());
}

TEST_F(Llistes_, EscapeAndOtherKeysCloseWithoutTouchingTheChoice) {
  SeleccioValor = 7;
  SeleccioText = "ABANS";
  Files(5);
  for (int16_t k : std::vector<int16_t>{kTeclaEscape, kTeclaF4, kTeclaF1, 'A'}) {
    con.Clau(kTeclaAvall);
    con.Clau(k);
    EXPECT_EQ(Mostrar(), -1) << k;
    EXPECT_EQ(SeleccioValor, 7);
    EXPECT_EQ(SeleccioText, "ABANS");
    EXPECT_FALSE(dir.Existeix("Browse.tmp"));
  }
}

TEST_F(Llistes_, DownScrollsAtTheBottomAndStopsAtTheLastRow) {
  Files(12);
  con.Clau(kTeclaAvall, 9);   // row 10, line 10
  con.Clau(kTeclaAvall);       // row 11: the page scrolls
  con.Clau(kTeclaAvall, 3);   // row 12 then nothing more
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 112);
  ASSERT_EQ(con.fotos.size(), 14u);
  EXPECT_EQ(Pagina(con.fotos[9]), Pagina(1, 12));
  EXPECT_EQ(Ressaltada(con.fotos[9]), 10);
  EXPECT_EQ(Pagina(con.fotos[10]), Pagina(2, 12));
  EXPECT_EQ(Ressaltada(con.fotos[10]), 10);
  EXPECT_EQ(Pagina(Darrera()), Pagina(3, 12));
  EXPECT_EQ(Ressaltada(Darrera()), 10);
}

TEST_F(Llistes_, UpScrollsAtTheTopAndStopsAtTheFirstRow) {
  Files(15);
  con.Clau(kTeclaAvall, 12);  // row 13 on line 10, page 4..13
  con.Clau(kTeclaAmunt, 9);   // row 4 on line 1
  con.Clau(kTeclaAmunt);       // row 3: the page scrolls down
  con.Clau(kTeclaAmunt, 4);   // rows 2, 1, then nothing
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 101);
  EXPECT_EQ(Pagina(con.fotos[21]), Pagina(4, 15));
  EXPECT_EQ(Ressaltada(con.fotos[21]), 1);
  EXPECT_EQ(Pagina(con.fotos[22]), Pagina(3, 15));
  EXPECT_EQ(Ressaltada(con.fotos[22]), 1);
  EXPECT_EQ(Pagina(Darrera()), Pagina(1, 15));
}

TEST_F(Llistes_, PageUpLandsOnTheFirstRowWhenItCannotMoveAWholePage) {
  // Page 4..13 with the highlight on row 11 (line 8), then on row 5 (line 2).
  for (int amunt : {2, 8}) {
    con.fotos.clear();
    Files(20);
    con.Clau(kTeclaAvall, 12);
    con.Clau(kTeclaAmunt, amunt);
    con.Clau(kTeclaRePag);
    con.Clau(kTeclaEnter);
    EXPECT_EQ(Mostrar(), 0);
    const auto& abans = con.fotos[con.fotos.size() - 2];
    EXPECT_EQ(Pagina(abans), Pagina(4, 20));
    EXPECT_EQ(Ressaltada(abans), amunt == 2 ? 8 : 2);
    EXPECT_EQ(Pagina(Darrera()), Pagina(1, 20));
    EXPECT_EQ(Ressaltada(Darrera()), 1);
    EXPECT_EQ(SeleccioValor, 101) << amunt;
  }
}

TEST_F(Llistes_, PageUpAndDownMoveByWholePagesKeepingTheLine) {
  Files(35);
  con.Clau(kTeclaAvall, 2);   // row 3, line 3
  con.Clau(kTeclaAvPag);       // page 11..20, row 13
  con.Clau(kTeclaAvPag);       // page 21..30, row 23
  con.Clau(kTeclaRePag);       // page 11..20, row 13
  con.Clau(kTeclaRePag);       // page 1..10, row 3
  con.Clau(kTeclaRePag);       // nothing: the page starts at the first row
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 103);
  const size_t n = con.fotos.size();
  EXPECT_EQ(Pagina(con.fotos[n - 5]), Pagina(11, 35));
  EXPECT_EQ(Ressaltada(con.fotos[n - 5]), 3);
  EXPECT_EQ(Pagina(con.fotos[n - 4]), Pagina(21, 35));
  EXPECT_EQ(Linia(con.fotos[n - 4], 3), Ple(Fila(23)));
  EXPECT_EQ(Pagina(con.fotos[n - 3]), Pagina(11, 35));
  EXPECT_EQ(Pagina(Darrera()), Pagina(1, 35));
  EXPECT_EQ(Ressaltada(Darrera()), 3);
}

TEST_F(Llistes_, PageDownOnAShortLastPageGoesToItsLastRow) {
  Files(25);
  con.Clau(kTeclaAvall, 7);  // line 8
  con.Clau(kTeclaAvPag);      // page 11..20, row 18
  con.Clau(kTeclaAvPag);      // page 21..25: row 25 on line 5
  con.Clau(kTeclaAvPag);      // no rows after the page: nothing
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 125);
  EXPECT_EQ(Pagina(Darrera()), Pagina(21, 25));
  EXPECT_EQ(Ressaltada(Darrera()), 5);
  // From the short page, Page Up goes back a whole page with the highlight on its line.
  con.fotos.clear();
  con.Clau(kTeclaAvall, 7);
  con.Clau(kTeclaAvPag, 2);
  con.Clau(kTeclaRePag);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(Pagina(Darrera()), Pagina(11, 25));
  EXPECT_EQ(SeleccioValor, 115);
}

TEST_F(Llistes_, WideRowsScrollSidewaysInStepsOfEight) {
  Textos({std::string(kW + 30, 'x').replace(0, 10, "0123456789").replace(40, 10, "ABCDEFGHIJ"), "CURTA"});
  con.Clau(kTeclaDreta, 5);  // 9, 17, 25, 33, then it stops
  con.Clau(kTeclaEsquerra, 5);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  ASSERT_EQ(con.fotos.size(), 11u);
  EXPECT_EQ(Capcalera(con.fotos[0]), "╔════════════════════►");
  EXPECT_EQ(Linia(con.fotos[0], 1), "0123456789xxxxxxxxxx");
  EXPECT_EQ(Linia(con.fotos[1], 1), "89xxxxxxxxxxxxxxxxxx");
  EXPECT_EQ(Linia(con.fotos[4], 1), "xxxxxxxxABCDEFGHIJ  ");  // offset 33
  EXPECT_EQ(Linia(con.fotos[4], 2), Ple(""));
  EXPECT_EQ(Capcalera(con.fotos[4]), "◄════════════════════╗");
  EXPECT_EQ(Linia(con.fotos[5], 1), Linia(con.fotos[4], 1));  // no further
  EXPECT_EQ(Capcalera(con.fotos[6]), "◄════════════════════►");
  EXPECT_EQ(Linia(con.fotos[9], 1), Linia(con.fotos[0], 1));
  EXPECT_EQ(Capcalera(con.fotos[9]), "╔════════════════════►");
  EXPECT_EQ(Linia(con.fotos[10], 1), Linia(con.fotos[0], 1));
}

TEST_F(Llistes_, NarrowRowsDoNotScrollSideways) {
  Textos({std::string(kW, 'n')});
  con.Clau(kTeclaDreta);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(Capcalera(Darrera()), "╔════════════════════╗");
  EXPECT_EQ(Linia(Darrera(), 1), std::string(kW, 'n'));
}

TEST_F(Llistes_, TitleUnderscoresAreSpacesAndSpacesAreRules) {
  Llistes[1].Titol = "UN_DOS TRES";
  Files(1);
  EXPECT_EQ(Mostrar(), -1);
  EXPECT_EQ(Capcalera(con.fotos[0]), "╔UN DOS═TRES═════════╗");
  // A title longer than the window shows the right arrow.
  con.fotos.clear();
  Llistes[1].Titol = std::string(kW + 1, 'T');
  EXPECT_EQ(Mostrar(), -1);
  EXPECT_EQ(Capcalera(con.fotos[0]), "╔" + std::string(kW, 'T') + "►");
}

TEST_F(Llistes_, EmptyListShowsBlankLinesAndEnterChoosesNothing) {
  SeleccioValor = 5;
  SeleccioText = "X";
  escriureBuit = true;
  con.Clau(kTeclaAvall);
  con.Clau(kTeclaAvPag);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 0);
  EXPECT_EQ(SeleccioText, "");
  EXPECT_EQ(Pagina(Darrera()), "|||||||||");
  EXPECT_EQ(Ressaltada(Darrera()), 1);
}

TEST_F(Llistes_, FailingDataSourceReturnsItsStatusAndShowsNothing) {
  Files(3);
  estatOmplir = 7;
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 7);
  EXPECT_TRUE(con.fotos.empty());
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_EQ(con.entrada.size(), 1u);
}

TEST_F(Llistes_, UnknownListOrWindowOutsideTheConsoleIsRefused) {
  Files(3);
  EXPECT_EQ(Mostrar(5), -1);
  DefinirLlista(2, 0, "", 0, 2, 20, 26, 80);
  EXPECT_EQ(Mostrar(2), -1);
  EXPECT_EQ(omplertes, 0);
  EXPECT_TRUE(con.fotos.empty());
}

TEST_F(Llistes_, F4OpensTheF4ListAndHandsItsChoiceToTheSelectionHook) {
  DefinirLlista(1, 0, "", 2);
  DefinirLlista(2, 0, "SEGONA", 0, 4, 30, 10, 60);
  Files(4);
  std::vector<int> crides;
  Ganxos.TriarEntrada = [&](int16_t& llista, int16_t form, int16_t& camp) {
    crides.push_back(llista);
    crides.push_back(form);
    crides.push_back(camp);
  };
  con.Clau(kTeclaF4);
  con.Clau(kTeclaAvall);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), -1);
  EXPECT_EQ(omplertes, 2);
  EXPECT_EQ(llistaOmplerta, 2);
  EXPECT_EQ(crides, (std::vector<int>{2, 0, 0}));
  EXPECT_EQ(SeleccioValor, 102);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(dir.Existeix("Browse.tmp"));
  // The F4 list is drawn over the first one.
  ASSERT_EQ(con.fotos.size(), 3u);
  EXPECT_EQ(plat::Cp850AUtf8(con.fotos[1].files[3].substr(29, 8)), "╔SEGONA═");
  EXPECT_EQ(con.fotos[1].files[kDalt].substr(kEsq, 6), "FILA 1");
}

// Chains a broken file could hold: each must show the rows that are whole and never loop.
TEST_F(Llistes_, DamagedChainsShowWhatIsValidAndNeverLoop) {
  auto fixar32 = [](std::string& s, size_t p, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[p + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const size_t fila3 = 2 * (10 + 6);  // 0-based start of row 3 (rows are 16 bytes)
  struct Cas {
    const char* nom;
    uint32_t enllac;
  };
  for (const Cas& c : {Cas{"self", fila3 + 1}, Cas{"forward", fila3 + 17}, Cas{"outside", 0xFFFFFF00u},
                       Cas{"misaligned", 5}}) {
    con.fotos.clear();
    Files(5);
    fixar32(fitxer, fila3, c.enllac);
    con.Clau(kTeclaAvall, 2);  // row 3
    con.Clau(kTeclaAmunt, 3);  // the link cannot be followed: stays
    con.Clau(kTeclaRePag, 2);
    con.Clau(kTeclaEnter);
    EXPECT_EQ(Mostrar(), 0) << c.nom;
    EXPECT_EQ(SeleccioValor, 103) << c.nom;
    EXPECT_EQ(Pagina(con.fotos[0]), Pagina(1, 5)) << c.nom;
  }
  // A length that runs past the end: the rows before it only.
  con.fotos.clear();
  Files(5);
  fitxer[fila3 + 8] = '\xFF';
  fitxer[fila3 + 9] = '\x7F';
  con.Clau(kTeclaAvall, 4);
  con.Clau(kTeclaAvPag);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 102);
  EXPECT_EQ(Pagina(Darrera()), Pagina(1, 2));
  // A file cut inside a row header.
  con.fotos.clear();
  Files(3);
  fitxer.resize(fitxer.size() - 20);
  con.Clau(kTeclaAvall, 3);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(SeleccioValor, 101);
  EXPECT_EQ(Pagina(Darrera()), Pagina(1, 1));
}

TEST_F(Llistes_, PreListFormLeftWithEscapeClosesBeforeTheDataSource) {
  std::vector<std::string> desc = {"1", "1", "d,1b", "1", "0", "5", "10", "8", "40",
                                   "1", "2", "A: ", "3", "0", "0", "0", "0", "0", "",
                                   "1", "0", "0", "2", "20", "13", "41", "1", "", "0"};
  ASSERT_TRUE(CarregarFormularis(desc, [](const std::string& s) { return s; }));
  Files(2);
  con.Clau(kTeclaEscape);
  EXPECT_EQ(Mostrar(), -1);
  EXPECT_EQ(omplertes, 0);
  // Left with Enter the list opens.
  con.Clau(kTeclaEnter);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), 0);
  EXPECT_EQ(omplertes, 1);
  EXPECT_EQ(SeleccioValor, 101);
}

// A record manager in memory: records with a 4-byte key, kept in key order.
struct GestorFals {
  struct Registre {
    std::string clau, text;
  };
  std::vector<Registre> registres;
  int llegitsPerPosicio = 0;
  int16_t operator()(int16_t op, unsigned char* bloc, char* dades, int32_t& longDades, char* clau, int16_t,
                     int16_t) {
    op = static_cast<int16_t>(op % 100);
    size_t i = 0;
    std::memcpy(&i, bloc, sizeof i);
    auto posar = [&](size_t k) {
      std::memcpy(bloc, &k, sizeof k);
      std::memcpy(clau, registres[k].clau.data(), 4);
      std::memset(dades, ' ', 8);
      std::memcpy(dades, registres[k].text.data(), std::min<size_t>(8, registres[k].text.size()));
      longDades = 8;
      return int16_t{0};
    };
    switch (op) {
      case 15: {  // stat: record length 8, one key of 4 bytes
        std::memset(dades, 0, 32);
        dades[0] = 8;
        dades[4] = 1;
        dades[16 + 2] = 4;
        longDades = 32;
        return 0;
      }
      case 9:
        for (size_t k = 0; k < registres.size(); ++k)
          if (registres[k].clau >= std::string(clau, 4)) return posar(k);
        return 9;
      case 6:
        return i + 1 < registres.size() ? posar(i + 1) : int16_t{9};
      case 22:
        std::memset(dades, 0, 4);
        dades[0] = static_cast<char>(i + 1);
        longDades = 4;
        return 0;
      case 23:
        ++llegitsPerPosicio;
        return dades[0] >= 1 && static_cast<size_t>(dades[0]) <= registres.size() ? posar(static_cast<size_t>(dades[0] - 1))
                                                                                    : int16_t{8};
      default:
        return 1;
    }
  }
};

TEST_F(Llistes_, RecordFileListFillsRowsFromRecordsWithinTheKeys) {
  GestorFals gestor;
  gestor.registres = {{"A001", "ALFA"}, {"B001", "BETA"}, {"B002", ""}, {"B003", "GAMMA"}, {"C001", "DELTA"}};
  GestorFals* g = &gestor;
  FixarGestorRegistres([g](int16_t op, unsigned char* b, char* d, int32_t& l, char* c, int16_t lc, int16_t n) {
    return (*g)(op, b, d, l, c, lc, n);
  });
  char registre[8] = {};
  ASSERT_GT(RegistrarFitxer(9, registre, 8, 0, "", 1), 0);
  DefinirLlista(1, 9, "", 0);
  GanxosLlista.OmplirSelector = [](int16_t, std::string& inici, std::string& fi) {
    inici = "B";
    fi = "B999";
    return int16_t{0};
  };
  GanxosLlista.TextFilaLlista = [&](int16_t) { return std::string(registre, 8); };
  con.Clau(kTeclaAvall, 3);
  con.Clau(kTeclaEnter);
  SeleccioValor = 55;
  EXPECT_EQ(Mostrar(), 0);
  // Rows for B001 and B003 (B002 has no text); A001 before and C001 after the keys.
  EXPECT_EQ(Pagina(con.fotos[0]), "BETA|GAMMA||||||||");
  EXPECT_EQ(gestor.llegitsPerPosicio, 1);
  EXPECT_EQ(std::string(registre, 5), "GAMMA");
  EXPECT_EQ(SeleccioValor, 55);  // a record-file list leaves the choice alone
  EXPECT_TRUE(PilaModes.empty());
  EXPECT_EQ(TaulaFitxers[FitxerSlot(9)].ModeBloqueig, 1);
  EXPECT_FALSE(dir.Existeix("Browse.tmp"));

  // Without any row text the list is empty and Enter reads nothing.
  GanxosLlista.TextFilaLlista = nullptr;
  con.fotos.clear();
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Mostrar(), -1);
  EXPECT_EQ(Pagina(con.fotos[0]), "|||||||||");
  EXPECT_EQ(gestor.llegitsPerPosicio, 1);
}

}  // namespace
