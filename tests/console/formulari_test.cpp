#include "console/formulari.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/entorn_pantalla.h"
#include "fields/editor.h"
#include "platform/sistema.h"

namespace {

// Two linked pages: a first page of three fields (text, yes/no choice, text with the
// cursor at the end) and a second page with a two-line field, a display-only row and a
// field that starts blank.
std::vector<std::string> Descriptor(const std::string& tecles = "d,4900,5100,1b,4800,7300=4800,5000,7400=5000,3c00,3e00") {
  return {
      "2", "3",
      // form 1
      tecles, "3", "2", "5", "18", "20", "72",
      "1", "2", "NOM: ", "10", "0", "0", "0", "0", "0", "",
      "2", "2", "SI? ", "1", "0", "2", "0", "0", "0", "|S,SI|N,NO",
      "3", "2", "NOTA: ", "20", "0", "0", "8", "0", "0", "",
      // form 2
      tecles, "3", "0", "10", "6", "22", "74",
      "1", "2", "", "20", "10", "0", "0", "0", "1", "",
      "4", "2", "", "5", "0", "0", "4", "0", "0", "",
      "5", "2", "X: ", "5", "0", "0", "1", "0", "0", "",
      // one list
      "1",
      "0", "0", "2", "20", "25", "80", "0", "TITOL", "0",
  };
}

class Formularis_ : public PantallaTest {
 protected:
  void SetUp() override {
    PantallaTest::SetUp();
    ReiniciarFormularis();
    plat::ReiniciarSistema();
    EstatSessio.TaulaColors[0][0] = 15;
    EstatSessio.TaulaColors[1][0] = 7;
    EstatSessio.TaulaColors[4][1] = 7;
    ASSERT_TRUE(CarregarFormularis(Descriptor(), nullptr));
    FixarValorCamp(1, 2, "N");
    InstallarGanxos();
  }
  void TearDown() override {
    ReiniciarFormularis();
    plat::ReiniciarSistema();
    PantallaTest::TearDown();
  }

  void Escriure(int16_t fila, int16_t col, const std::string& s) {
    SituarCursor(fila, col);
    EscriureText(s);
  }
  // Hooks in the manner of an application: draw labels and values, store what is accepted.
  void InstallarGanxos() {
    Ganxos.DibuixarFormulari = [this](int16_t f) {
      registre.push_back("dibuixar " + std::to_string(f));
      const Formulari& F = Formularis[static_cast<size_t>(f)];
      for (int c = 1; c <= F.NumCamps; ++c) Escriure(F.Camps[c].Fila, F.Camps[c].Columna, F.Camps[c].Etiqueta);
      for (int16_t c = 1; c <= F.NumCamps; ++c) DibuixarValor(f, c);
    };
    Ganxos.DibuixarCamp = [this](int16_t f, int16_t c) {
      registre.push_back("camp " + std::to_string(f) + "." + std::to_string(c));
      DibuixarValor(f, c);
    };
    Ganxos.AcceptarCamp = [this](int16_t f, std::string& t, int16_t& c, int16_t& k) -> int16_t {
      registre.push_back("acceptar " + std::to_string(f) + "." + std::to_string(c) + " [" + t + "] " +
                         std::to_string(k));
      if (refusar > 0) {
        --refusar;
        return 1;
      }
      FixarValorCamp(f, c, t);
      DibuixarValor(f, c);
      return 0;
    };
    Ganxos.ValidarSortidaFormulari = [this](int16_t f, int16_t k) -> int16_t {
      registre.push_back("sortir " + std::to_string(f) + " " + std::to_string(k));
      if (refusarSortida > 0) {
        --refusarSortida;
        return 1;
      }
      return 0;
    };
  }
  void DibuixarValor(int16_t f, int16_t c) {
    const Camp* cp = CampFormulari(f, c);
    const int16_t v = static_cast<int16_t>(cp->Columna + static_cast<int>(cp->Etiqueta.size()));
    if (cp->AmpladaVisible > 0) {
      for (int i = 0; i * cp->AmpladaVisible < cp->Longitud; ++i)
        Escriure(static_cast<int16_t>(cp->Fila + i), v,
                 cp->Valor.substr(static_cast<size_t>(i * cp->AmpladaVisible), static_cast<size_t>(cp->AmpladaVisible)));
    } else if (!cp->OpcionsCamp.empty()) {
      size_t p = cp->OpcionsCamp.find("|" + cp->Valor + ",");
      if (p != std::string::npos) {
        std::string d = cp->OpcionsCamp.substr(p + cp->Valor.size() + 2);
        d = d.substr(0, d.find('|'));
        d.resize(static_cast<size_t>(cp->Longitud + cp->AmpladaDescripcio), ' ');
        Escriure(cp->Fila, v, d);
      }
    } else {
      Escriure(cp->Fila, v, cp->Valor);
    }
  }

  int16_t Executar(int16_t form = 1, int16_t pujar = 0, int16_t baixar = 0) {
    int16_t k = 0;
    ExecutarFormulari(form, pujar, baixar, k);
    return k;
  }
  int Compta(const std::string& prefix) const {
    int n = 0;
    for (const std::string& r : registre) n += r.rfind(prefix, 0) == 0;
    return n;
  }

  std::vector<std::string> registre;
  int refusar = 0;
  int refusarSortida = 0;
};

TEST(CarregaFormularis, TablesTranslationsAndBlankValues) {
  ReiniciarFormularis();
  auto tr = [](const std::string& s) { return s.empty() ? s : "<" + s + ">"; };
  ASSERT_TRUE(CarregarFormularis(Descriptor(), tr));
  ASSERT_EQ(Formularis.size(), 3u);
  EXPECT_EQ(Formularis[1].NumCamps, 3);
  EXPECT_EQ(Formularis[1].Enllac, 2);
  EXPECT_EQ(Formularis[2].Dalt, 10);
  EXPECT_EQ(Formularis[2].Dreta, 74);
  EXPECT_EQ(CampFormulari(1, 1)->Etiqueta, "<NOM: >");
  EXPECT_EQ(CampFormulari(1, 2)->OpcionsCamp, "<|S,SI|N,NO>");
  EXPECT_EQ(CampFormulari(2, 1)->AmpladaVisible, 10);
  EXPECT_EQ(CampFormulari(2, 1)->Llista, 1);
  EXPECT_EQ(ValorCamp(1, 3), std::string(20, ' '));
  ASSERT_EQ(Llistes.size(), 2u);
  EXPECT_EQ(Llistes[1].Titol, "<TITOL>");
  EXPECT_EQ(Llistes[1].Numeros[5], 80);

  // Values are cut or padded to the field's length; out of range reads "" and writes nothing.
  FixarValorCamp(1, 1, "abcdefghijklmnop");
  EXPECT_EQ(ValorCamp(1, 1), "abcdefghij");
  FixarValorCamp(1, 1, "ab");
  EXPECT_EQ(ValorCamp(1, 1), "ab        ");
  FixarValorCamp(1, 9, "x");
  FixarValorCamp(3, 1, "x");
  EXPECT_EQ(ValorCamp(1, 9), "");
  EXPECT_EQ(ValorCamp(0, 1), "");
  EXPECT_EQ(CampFormulari(-1, 1), nullptr);
  ReiniciarFormularis();
}

TEST(CarregaFormularis, MalformedStreamsAreRefusedAndLeaveTheTables) {
  ReiniciarFormularis();
  ASSERT_TRUE(CarregarFormularis(Descriptor(), nullptr));
  FixarValorCamp(1, 1, "kept");
  auto amb = [](size_t i, const std::string& v) {
    auto d = Descriptor();
    d[i] = v;
    return d;
  };
  std::vector<std::vector<std::string>> dolents = {
      {},
      {"1"},
      amb(0, "x"),           // form count not a number
      amb(0, "99"),          // more forms than items
      amb(0, "-1"),
      amb(3, "4"),           // more fields than the declared maximum
      amb(4, "3"),           // link to a form that does not exist
      amb(12, "-1"),         // negative length
      amb(12, "40000"),      // beyond 16 bits
      amb(12, "1 0"),        // junk inside a number
      amb(54, "2"),          // list number beyond the lists
  };
  auto curt = Descriptor();
  curt.pop_back();
  dolents.push_back(curt);
  auto llarg = Descriptor();
  llarg.push_back("0");
  dolents.push_back(llarg);
  for (size_t i = 0; i < dolents.size(); ++i) EXPECT_FALSE(CarregarFormularis(dolents[i], nullptr)) << i;
  EXPECT_EQ(ValorCamp(1, 1), "kept      ");
  // Spaces around numbers and a plus sign are fine.
  EXPECT_TRUE(CarregarFormularis(amb(12, " +10 "), nullptr));
  ReiniciarFormularis();
}

TEST_F(Formularis_, EscapeGoesToTheFirstFieldThenClosesAndRestoresTheScreen) {
  OmplirPatro();
  const std::string abans = TotesLesCeles();
  // Field 1 -> Enter -> field 2 -> Escape -> field 1 -> Escape closes.
  con.Claus({'A', kTeclaEnter, ' ', kTeclaEscape, kTeclaEscape});
  EXPECT_EQ(Executar(), kTeclaEscape);
  EXPECT_EQ(ValorCamp(1, 1), "A         ");
  EXPECT_EQ(ValorCamp(1, 2), "N");  // the change on field 2 was discarded
  EXPECT_EQ(TotesLesCeles(), abans);
  EXPECT_FALSE(HiHaFitxer());
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_TRUE(TeclesSortida.Acceptades.empty());
  EXPECT_TRUE(TeclesDesades.empty());
  EXPECT_EQ(PilaColors, "");
}

TEST_F(Formularis_, PagesAreDrawnInTheirFramedWindows) {
  FixarValorCamp(1, 1, "JOAN");
  FixarValorCamp(1, 2, "S");
  std::vector<std::string> files;
  Ganxos.ValidarSortidaFormulari = [&](int16_t, int16_t) -> int16_t {
    for (int r = 0; r < 25; ++r) files.push_back(con.Fila(r));
    return 0;
  };
  con.Clau(kTeclaEscape);
  Executar();
  ASSERT_EQ(files.size(), 25u);
  EXPECT_EQ(files[4].substr(17, 55), "\xC9" + std::string(53, '\xCD') + "\xBB");
  EXPECT_EQ(files[5].substr(17, 20), "\xBA NOM: JOAN         ");
  EXPECT_EQ(files[6].substr(17, 10), "\xBA SI? SI  ");
  EXPECT_EQ(files[7].substr(17, 30), "\xBA NOTA:" + std::string(23, ' '));
  EXPECT_EQ(files[19].substr(17, 2), "\xC8\xCD");
  EXPECT_EQ(files[20].substr(17, 2), "  ");
}

TEST_F(Formularis_, LinkedPageOpensPastTheLastFieldAndClosesBackIntoIt) {
  // Enter on field 3 opens page 2; Up on its first field closes it, back on field 3.
  con.Claus({kTeclaEnter, kTeclaEnter, kTeclaEnter, 'p', 'a', 'g', kTeclaAmunt, 'Z', kTeclaAmunt, kTeclaEscape,
        kTeclaEscape});
  EXPECT_EQ(Executar(), kTeclaEscape);
  EXPECT_EQ(ValorCamp(2, 1).substr(0, 4), "pag ");
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 2), "Z ");
  EXPECT_EQ(Compta("dibuixar 2"), 1);
  EXPECT_FALSE(HiHaFitxer());

  // Escape on page 2's first field closes it too.
  registre.clear();
  con.Claus({kTeclaF2, kTeclaEscape, 'Y', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  EXPECT_EQ(Executar(), kTeclaEscape);
  EXPECT_EQ(ValorCamp(1, 1).substr(0, 2), "Y ");
  EXPECT_EQ(Compta("sortir 2 27"), 1);
}

TEST_F(Formularis_, LinkedPageIsDrawnOverTheFirst) {
  std::string vista;
  Ganxos.ValidarSortidaFormulari = [&](int16_t f, int16_t) -> int16_t {
    if (f == 2) vista = con.Fila(9) + "\n" + con.Fila(10) + "\n" + con.Fila(5);
    return 0;
  };
  FixarValorCamp(2, 1, "12345678901234567890");
  con.Claus({kTeclaF2, kTeclaEscape});
  Executar();
  EXPECT_EQ(vista.substr(5, 3), "\xC9\xCD\xCD");
  EXPECT_EQ(vista.substr(81 + 7, 10), "1234567890");
  // The first page is still visible beside the second page's window.
  EXPECT_EQ(vista.substr(162 + 17, 12), "\xBA NOM:      ");
}

TEST_F(Formularis_, EnterAndDownOnTheLastFieldOfAPageWithoutLink) {
  Formularis[1].Enllac = 0;
  con.Claus({kTeclaAvall, kTeclaAvall, kTeclaAvall, kTeclaAvall, 'q', kTeclaEnter});
  EXPECT_EQ(Executar(), kTeclaEnter);
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 2), "q ");
  EXPECT_EQ(registre.back(), "sortir 1 13");
}

TEST_F(Formularis_, EnterLeavesAsEndWhenTheFormAcceptsEnd) {
  ASSERT_TRUE(CarregarFormularis(Descriptor("d,4900,5100,1b,4800,5000,4f00,2"), nullptr));
  FixarValorCamp(1, 2, "N");
  con.Claus({'a', kTeclaEnter});
  EXPECT_EQ(Executar(), kTeclaFinal);
  EXPECT_EQ(ValorCamp(1, 1).substr(0, 2), "a ");
  // Tab still moves on (it arrives as Enter).
  con.Claus({kTeclaTab, 'b', kTeclaCtrlB});
  EXPECT_EQ(Executar(), kTeclaCtrlB);
  EXPECT_EQ(ValorCamp(1, 2), "N");
}

TEST_F(Formularis_, PageDownAndPageUpAndThePageMemory) {
  // Page Down from the first field goes to the last; again leaves with 5100.
  con.Claus({kTeclaAvPag, 'L', kTeclaAvPag});
  Formularis[1].Enllac = 0;
  EXPECT_EQ(Executar(), kTeclaAvPag);
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 2), "L ");
  EXPECT_EQ(PaginaRecordada, 1);

  // With the flag set, Page Down on the last field stays.
  con.Claus({kTeclaAvPag, kTeclaAvPag, 'M', kTeclaRePag, kTeclaRePag, kTeclaEscape});
  EXPECT_EQ(Executar(1, 1, 1), kTeclaEscape);
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 2), "LM");
  EXPECT_EQ(PaginaRecordada, 0);

  // Page Up on the first field of page 2 leaves the chain and remembers page 2: the next
  // run opens page 2 at once.
  Formularis[1].Enllac = 2;
  con.Claus({kTeclaF2, kTeclaRePag});
  EXPECT_EQ(Executar(), kTeclaRePag);
  EXPECT_EQ(PaginaRecordada, 2);
  registre.clear();
  con.Claus({'r', kTeclaAvall, kTeclaAvall, kTeclaAvall, kTeclaAmunt, kTeclaEscape});
  EXPECT_EQ(Executar(), kTeclaEscape);
  EXPECT_EQ(ValorCamp(2, 1).substr(0, 2), "r ");
  EXPECT_EQ(PaginaRecordada, 0);
  ASSERT_GE(registre.size(), 2u);
  EXPECT_EQ(registre[0], "dibuixar 1");
  EXPECT_EQ(registre[1], "dibuixar 2");
}

TEST_F(Formularis_, CursorAtTheEndAndBlankStartFields) {
  FixarValorCamp(1, 3, "ABC");
  con.Claus({kTeclaAvall, kTeclaAvall, 'D', kTeclaEscape, kTeclaEscape});
  Executar();
  // Escape discarded the edit, but the cursor had started after "ABC".
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 4), "ABC ");
  con.Claus({kTeclaAvall, kTeclaAvall, 'D', kTeclaAmunt, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 4), "ABCD");

  // A blank-start field left blank keeps (and is accepted with) its stored value.
  FixarValorCamp(2, 3, "OLD");
  registre.clear();
  con.Claus({kTeclaF2, kTeclaEnter, kTeclaAmunt, kTeclaAmunt, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(2, 3), "OLD  ");
  EXPECT_EQ(Compta("acceptar 2.3 [OLD  ] 18432"), 1);
  // Typed over, it takes the new text.
  con.Claus({kTeclaF2, kTeclaEnter, 'N', kTeclaAmunt, kTeclaAmunt, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(2, 3), "N    ");
}

TEST_F(Formularis_, HooksAreCalledInOrder) {
  con.Claus({'x', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  std::vector<std::string> esperat = {
      "dibuixar 1",
      "acceptar 1.1 [x         ] 13",
      "camp 1.2",
      "camp 1.1",
      "sortir 1 27",
  };
  EXPECT_EQ(registre, esperat);
}

TEST_F(Formularis_, RefusedValueBeepsAndEditsTheSameTextAgain) {
  refusar = 1;
  con.Claus({'a', kTeclaEnter, 'b', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  EXPECT_EQ(con.xiulets, 1);
  EXPECT_EQ(Compta("acceptar 1.1 [a         ]"), 1);
  // The rejected text stayed in the field; the cursor started again at 1.
  EXPECT_EQ(Compta("acceptar 1.1 [b         ]"), 1);
  EXPECT_EQ(ValorCamp(1, 1), "b         ");
}

TEST_F(Formularis_, RefusedLeavingReturnsToTheFirstField) {
  refusarSortida = 1;
  con.Claus({kTeclaAvall, kTeclaEscape, 'w', kTeclaEscape});
  EXPECT_EQ(Executar(), kTeclaEscape);
  EXPECT_EQ(Compta("sortir 1 27"), 2);
  // 'w' was typed in field 1 after the refusal, then discarded by Escape.
  EXPECT_EQ(ValorCamp(1, 1), std::string(10, ' '));
  EXPECT_FALSE(HiHaFitxer());
}

TEST_F(Formularis_, MouseClicksChooseFields) {
  // A click on field 3's label (window row 3, column 2 -> screen 8, 20).
  con.ClicA(8, 20);
  con.Claus({'m', kTeclaEscape, kTeclaEscape});
  Executar();
  // Escape went to field 1 and closed; field 3's edit was discarded: look at the log.
  EXPECT_EQ(Compta("camp 1.3"), 1);

  registre.clear();
  con.ClicA(8, 30);
  con.Claus({'m', kTeclaAmunt, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 2), "m ");

  // On page 2 a click on the display-only row keeps the current field; the second line of
  // the two-line field is part of it.
  registre.clear();
  con.Claus({kTeclaF2, kTeclaEnter});  // to field 3 of page 2, over the display-only row
  con.ClicA(14, 9);
  con.Claus({'k', kTeclaAmunt});  // still field 3: 'k' typed there
  con.ClicA(12, 10);
  con.Claus({'j', kTeclaEnter, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(2, 3), "k    ");
  EXPECT_EQ(ValorCamp(2, 1).substr(10, 3), "  j");
  EXPECT_EQ(ValorCamp(2, 2), "     ");
}

TEST_F(Formularis_, HelpKeyAndF4WithoutList) {
  std::vector<std::string> temes;
  Ganxos.Ajuda = [&](const std::string& t) { temes.push_back(t); };
  // Empty menu name: nothing, the field is edited again from its stored value.
  FixarValorCamp(1, 1, "ORIG");
  con.Claus({'X', kTeclaF1, kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  EXPECT_TRUE(temes.empty());
  EXPECT_EQ(ValorCamp(1, 1), "ORIG      ");

  EstatSessio.NomMenu = "VENDES  ";
  con.Claus({'X', kTeclaF1, 'Y', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  ASSERT_EQ(temes.size(), 1u);
  EXPECT_EQ(temes[0], "VENDES");
  EXPECT_EQ(ValorCamp(1, 1), "YRIG      ");

  // F4 on a field without a list: the field is edited again, no beep.
  con.Claus({'Q', kTeclaF4, kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(1, 1), "YRIG      ");
  EXPECT_EQ(con.xiulets, 0);
}

TEST_F(Formularis_, HiddenFieldsShowTheMaskAndRestoreIt) {
  CampFormulari(1, 1)->Indicadors = kCampOcult;
  FixarValorCamp(1, 1, "secret");
  std::string vista;
  Ganxos.AcceptarCamp = [&](int16_t f, std::string& t, int16_t& c, int16_t&) -> int16_t {
    vista = con.Tros(6, 25, 10);
    FixarValorCamp(f, c, t);
    return 0;
  };
  con.Claus({'p', 'w', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  EXPECT_EQ(vista, "XXXXXXXXXX");
  EXPECT_EQ(ValorCamp(1, 1), "pw        ");
  EXPECT_EQ(CaracterOcult, 0);
}

TEST_F(Formularis_, DisabledFieldsAreSkipped) {
  CampFormulari(1, 2)->Indicadors = 6;
  // From field 1, Down goes over field 2 to field 3; Up comes back over it.
  con.Claus({kTeclaAvall, 'z', kTeclaAmunt, 'y', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  Executar();
  EXPECT_EQ(ValorCamp(1, 3).substr(0, 2), "z ");
  EXPECT_EQ(ValorCamp(1, 1).substr(0, 2), "y ");
  EXPECT_EQ(Compta("acceptar 1.2"), 0);

  // A form without editable fields checks the leaving at once and closes.
  for (int c = 1; c <= 3; ++c) CampFormulari(1, c)->Indicadors = kCampNomesVeure;
  registre.clear();
  refusarSortida = 5;
  EXPECT_EQ(Executar(), 0);
  EXPECT_EQ(registre, (std::vector<std::string>{"dibuixar 1", "sortir 1 0"}));
  EXPECT_FALSE(HiHaFitxer());
}

TEST_F(Formularis_, SelfLinkedPagesCannotNestWithoutEnd) {
  Formularis[1].Enllac = 1;
  // Every F2 opens the page again over itself; the nesting stops at a fixed depth.
  for (int i = 0; i < 100; ++i) con.Clau(kTeclaF2);
  for (int i = 0; i < 200; ++i) con.Clau(kTeclaEscape);
  Executar();
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(HiHaFitxer());
  EXPECT_LE(Compta("dibuixar 1"), 40);

  // A remembered page outside a looping chain is forgotten.
  Formularis[2].Enllac = 1;
  Formularis[1].Enllac = 2;
  PaginaRecordada = 7;
  Executar();
  EXPECT_EQ(PaginaRecordada, 0);
}

TEST_F(Formularis_, UnknownFormsAndMissingHooks) {
  EXPECT_EQ(Executar(9), kTeclaEscape);
  EXPECT_EQ(Executar(-9), kTeclaEscape);
  Ganxos = GanxosFormulari{};
  con.Claus({'h', 'i', kTeclaEnter, kTeclaEscape, kTeclaEscape});
  EXPECT_EQ(Executar(), kTeclaEscape);
  EXPECT_EQ(ValorCamp(1, 1), "hi        ");
}

}  // namespace
