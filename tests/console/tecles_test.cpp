#include <gtest/gtest.h>

#include "util/entorn_pantalla.h"

namespace {

using Tecles = PantallaTest;

int16_t K(int v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }

int16_t Llegeix() {
  int16_t t = 0, b = 0, f = 0, c = 0;
  LlegirTecla(t, b, f, c);
  return t;
}

TEST_F(Tecles, PlainAndExtendedKeys) {
  con.Tecla('a');
  con.Tecla(0x0D, 0x1C);
  con.Tecla(0x1B, 0x01);
  con.Tecla(0, 0x48);
  con.Tecla(0x82);  // é
  con.Tecla(0x09, 0x0F, plat::kMajuscula);
  con.Tecla(0x02, 0x30, plat::kCtrlEsquerra);
  EXPECT_EQ(Llegeix(), 'a');
  EXPECT_EQ(Llegeix(), 0x0D);
  EXPECT_EQ(Llegeix(), 0x1B);
  EXPECT_EQ(Llegeix(), 0x4800);
  EXPECT_EQ(Llegeix(), 0x82);
  EXPECT_EQ(Llegeix(), 0x0F00);
  EXPECT_EQ(Llegeix(), 0x02);
}

TEST_F(Tecles, ModifierFolding) {
  struct Cas {
    uint8_t scan;
    uint16_t estat;
    int esperat;
  } casos[] = {
      {0x3B, plat::kMajuscula, 0x5400},    {0x44, plat::kMajuscula, 0x5D00},
      {0x3B, plat::kCtrlEsquerra, 0x5E00}, {0x44, plat::kCtrlDreta, 0x6700},
      {0x3B, plat::kAltEsquerra, 0x6800},  {0x44, plat::kAltDreta, 0x7100},
      {0x85, 0, 0x8500},                   {0x86, 0, 0x8600},
      {0x85, plat::kMajuscula, 0x8700},    {0x86, plat::kMajuscula, 0x8800},
      {0x85, plat::kCtrlEsquerra, 0x8900}, {0x86, plat::kCtrlEsquerra, 0x8A00},
      {0x85, plat::kAltEsquerra, 0x8B00},  {0x86, plat::kAltDreta, 0x8C00},
      {0x47, plat::kCtrlEsquerra, 0x7700}, {0x4D, plat::kCtrlEsquerra, 0x7400},
      {0x4B, plat::kCtrlDreta, 0x7300},    {0x48, plat::kCtrlEsquerra, 0x4800},
      {0x47, plat::kMajuscula, 0x4700},    {0x3C, 0, 0x3C00},
      // Alt wins over Ctrl and Shift.
      {0x3B, plat::kAltEsquerra | plat::kCtrlEsquerra | plat::kMajuscula, 0x6800},
      {0x3B, plat::kCtrlEsquerra | plat::kMajuscula, 0x5E00},
      // F11 and F12 by their keyboard scan codes.
      {0x57, 0, 0x8500},                   {0x58, plat::kCtrlEsquerra, 0x8A00},
      {0x57, plat::kAltEsquerra, 0x8B00},
  };
  for (const Cas& c : casos) con.Tecla(0, c.scan, static_cast<uint16_t>(c.estat | plat::kTeclaEstesa));
  for (const Cas& c : casos) EXPECT_EQ(Llegeix(), K(c.esperat)) << std::hex << int(c.scan) << " " << c.estat;
}

TEST_F(Tecles, AltLettersAndTheEuro) {
  con.Tecla('e', 0x12, plat::kAltEsquerra);
  con.Tecla('E', 0, plat::kAltDreta);
  con.Tecla('f', 0x21, plat::kAltEsquerra);
  con.Tecla('1', 0x02, plat::kAltEsquerra);
  // AltGr (right Alt with left Ctrl) types the character itself.
  con.Tecla('@', 0x03, plat::kAltDreta | plat::kCtrlEsquerra);
  EXPECT_EQ(Llegeix(), 0xD5);
  EXPECT_EQ(Llegeix(), 0xD5);
  EXPECT_EQ(Llegeix(), 0x2100);
  EXPECT_EQ(Llegeix(), 0x7800);
  EXPECT_EQ(Llegeix(), '@');
}

TEST_F(Tecles, AltKeypadEntry) {
  auto teclat = [&](std::initializer_list<uint8_t> scans) {
    for (uint8_t s : scans) con.Tecla(0, s, plat::kAltEsquerra);
    con.Tecla('z', 0x2C, plat::kAltEsquerra);  // ends the entry with Alt still down: dropped
  };
  teclat({0x4F, 0x51, 0x52});  // 1 3 0
  teclat({0x51, 0x52, 0x52});  // 3 0 0
  teclat({0x47, 0x4C, 0x48, 0x49, 0x4B, 0x4D, 0x50});
  con.Tecla('q');
  EXPECT_EQ(Llegeix(), 130);
  EXPECT_EQ(Llegeix(), 44);
  EXPECT_EQ(Llegeix(), 7589462 % 256);
  EXPECT_EQ(Llegeix(), 'q');
  // Grey cursor keys with Alt are not the keypad; right Alt does not start an entry.
  con.Tecla(0, 0x48, plat::kAltEsquerra | plat::kTeclaEstesa);
  con.Tecla(0, 0x4F, plat::kAltDreta);
  con.Tecla('w');
  EXPECT_EQ(Llegeix(), 0x4800);
  EXPECT_EQ(Llegeix(), 0x4F00);
  EXPECT_EQ(Llegeix(), 'w');
}

TEST_F(Tecles, KeyAfterAltReleasedIsKept) {
  // Keypad 6 5 with left Alt, then the key that ends the entry, then q.
  const struct {
    uint8_t car, scan;
    uint16_t estat;
    std::vector<int> esperat;
  } casos[] = {
      {'z', 0x2C, 0, {65, 'z', 'q'}},
      {0x0D, 0x1C, 0, {65, 0x0D, 'q'}},
      {0, 0x48, plat::kTeclaEstesa, {65, 0x4800, 'q'}},
      {0, 0x4F, 0, {65, 0x4F00, 'q'}},  // keypad End without Alt is a key of its own
      {0, 0x3B, plat::kMajuscula, {65, 0x5400, 'q'}},
      {'z', 0x2C, plat::kAltEsquerra, {65, 'q'}},
      {0, 0x48, plat::kAltEsquerra | plat::kTeclaEstesa, {65, 'q'}},
  };
  for (const auto& c : casos) {
    con.Tecla(0, 0x4D, plat::kAltEsquerra);
    con.Tecla(0, 0x4C, plat::kAltEsquerra);
    con.Tecla(c.car, c.scan, c.estat);
    con.Tecla('q');
    std::vector<int> vist;
    for (size_t i = 0; i < c.esperat.size(); ++i) vist.push_back(static_cast<uint16_t>(Llegeix()));
    EXPECT_EQ(vist, c.esperat) << int(c.car) << " " << int(c.scan) << " " << c.estat;
  }
  // A click that ends the entry is delivered; BuidarTeclat discards a kept key.
  con.Tecla(0, 0x4D, plat::kAltEsquerra);
  con.Clic(4, 9);
  con.Clic(4, 9, 0);
  int16_t t = 0, b = 0, f = 0, c = 0;
  EXPECT_EQ(Llegeix(), 6);
  LlegirTecla(t, b, f, c);  // the press
  LlegirTecla(t, b, f, c);  // the release
  EXPECT_EQ(b, 1);
  EXPECT_EQ(f, 5);
  EXPECT_EQ(c, 10);
  con.Tecla(0, 0x4D, plat::kAltEsquerra);
  con.Tecla('z');
  con.Tecla('y');
  EXPECT_EQ(Llegeix(), 6);
  BuidarTeclat();
  EXPECT_EQ(Llegeix(), 0x1B);  // what the test console answers when its script is empty
}

TEST_F(Tecles, PendingKeysComeFirstAndLeaveMouseResultsAlone) {
  TeclesPendents = "12";
  con.Tecla('x');
  int16_t t = 0, b = 5, f = 6, c = 7;
  LlegirTecla(t, b, f, c);
  EXPECT_EQ(t, '1');
  EXPECT_EQ(b, 5);
  EXPECT_EQ(f, 6);
  EXPECT_EQ(c, 7);
  EXPECT_EQ(Llegeix(), '2');
  EXPECT_EQ(Llegeix(), 'x');
  BuidarTeclat();
  TeclesPendents = "9";
  con.Tecla('y');
  BuidarTeclat();
  EXPECT_EQ(Llegeix(), '9');
  EXPECT_TRUE(con.entrada.empty());
}

TEST_F(Tecles, HotKeysTypeTheirResult) {
  EXPECT_EQ(Llegeix(), 0x1B);  // dry script: Escape
  con.Tecla('x', 0x2D, plat::kAltEsquerra);
  EXPECT_EQ(Llegeix(), 0x2D00);  // nothing registered: no text
  EXPECT_TRUE(TeclesPendents.empty());

  int calculs = 0;
  ObrirCalculadora = [&] {
    ++calculs;
    EXPECT_TRUE(CalculadoraEnMarxa);
    return std::string("125");
  };
  con.Tecla('x', 0x2D, plat::kAltEsquerra);
  con.Tecla('k');
  EXPECT_EQ(Llegeix(), 0x2D00);
  EXPECT_EQ(Llegeix(), '1');
  EXPECT_EQ(Llegeix(), '2');
  EXPECT_EQ(Llegeix(), '5');
  EXPECT_EQ(Llegeix(), 'k');
  EXPECT_EQ(calculs, 1);
  EXPECT_FALSE(CalculadoraEnMarxa);
}

TEST_F(Tecles, HotKeysDoNotReenterThemselves) {
  std::vector<int16_t> vistes;
  int calculs = 0, calendaris = 0;
  ObrirCalculadora = [&] {
    ++calculs;
    vistes.push_back(Llegeix());  // Alt+X inside the calculator: not opened again
    vistes.push_back(Llegeix());  // Alt+C inside the calculator: the calendar opens
    return std::string("7");
  };
  ObrirCalendari = [&] {
    ++calendaris;
    return std::string("01/02/2024");
  };
  con.Tecla('x', 0x2D, plat::kAltEsquerra);
  con.Tecla('x', 0x2D, plat::kAltEsquerra);
  con.Tecla('c', 0x2E, plat::kAltEsquerra);
  EXPECT_EQ(Llegeix(), 0x2D00);
  EXPECT_EQ(calculs, 1);
  EXPECT_EQ(calendaris, 1);
  ASSERT_EQ(vistes.size(), 2u);
  EXPECT_EQ(vistes[0], 0x2D00);
  EXPECT_EQ(vistes[1], 0x2E00);
  // The calendar's date was typed inside the calculator; the calculator's 7 follows.
  EXPECT_EQ(TeclesPendents, "01/02/20247");
}

TEST_F(Tecles, MouseClick) {
  con.Clic(6, 29, plat::kBotoEsquerre);
  con.Clic(6, 29, 0);
  EXPECT_EQ(EsperarTecla(), 30 * 256 + 64 + 7);
  EXPECT_FALSE(con.RatoliActiu());  // switched off while the click is handled
  con.Clic(0, 0, plat::kBotoDret);
  con.Clic(1, 2, 0);
  int16_t t = 0, b = 0, f = 0, c = 0;
  LlegirTecla(t, b, f, c);
  EXPECT_TRUE(con.RatoliActiu());
  EXPECT_EQ(b, 0);
  LlegirTecla(t, b, f, c);
  EXPECT_EQ(t, 0);
  EXPECT_EQ(b, plat::kBotoDret);
  EXPECT_EQ(f, 2);
  EXPECT_EQ(c, 3);
  // Moves and wheel turns are not clicks.
  con.Clic(3, 3, 0, plat::kRatoliMogut);
  con.Clic(3, 3, 0, plat::kRoda);
  con.Tecla('m');
  EXPECT_EQ(EsperarTecla(), 'm');
}

TEST_F(Tecles, NoMouseGivesNoClick) {
  EstatRatoli = 3;
  con.Clic(6, 29, plat::kBotoEsquerre);
  con.Clic(6, 29, 0);
  int16_t t = 1, b = 1, f = 1, c = 1;
  LlegirTecla(t, b, f, c);
  LlegirTecla(t, b, f, c);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(f, 0);
  EXPECT_EQ(c, 0);
  EXPECT_FALSE(con.RatoliActiu());
}

TEST_F(Tecles, PasteArrivesAsCtrlV) {
  plat::Esdeveniment e;
  e.tipus = plat::TipusEsdeveniment::Enganxat;
  e.text = "abc";
  con.entrada.push_back(e);
  EXPECT_EQ(Llegeix(), 0x16);
  EXPECT_EQ(TextEnganxat, "abc");
  con.Tecla(0x16, 0x2F, plat::kCtrlEsquerra);
  EXPECT_EQ(Llegeix(), 0x16);
  EXPECT_EQ(TextEnganxat, "");
}

TEST_F(Tecles, KeyValues) {
  EXPECT_EQ(ValorTecla("d"), 13);
  EXPECT_EQ(ValorTecla("4f00"), 20224);
  EXPECT_EQ(ValorTecla("4F00"), 20224);
  EXPECT_EQ(ValorTecla(" 1b "), 27);
  EXPECT_EQ(ValorTecla("x"), 0);
  EXPECT_EQ(ValorTecla("8a00"), K(0x8A00));
  EXPECT_EQ(ValorTecla("12345"), 0x2345);
  EXPECT_EQ(ValorTecla("4fz0"), 0x4F);
}

TEST_F(Tecles, ListOperations) {
  GestionarTecles("a", "7300=4800");
  int16_t t = 0x7300;
  EXPECT_TRUE(EsTeclaSortida(t, false));
  EXPECT_EQ(t, 0x4800);
  t = 0x4800;
  EXPECT_FALSE(EsTeclaSortida(t, false));
  // Only a click leaves unlisted; F11 is negative as well but is a key like any other.
  t = K(0x8500);
  EXPECT_FALSE(EsTeclaSortida(t, false));
  t = -(30 * 100 + 7);
  EXPECT_TRUE(EsTeclaSortida(t, true));
  EXPECT_EQ(t, -3007);

  GestionarTecles("E", "");
  t = 'q';
  EXPECT_TRUE(EsTeclaSortida(t, false));  // empty list: every key ends

  GestionarTecles("A", "4900,5100");
  GestionarTecles("D", "4900");
  EXPECT_EQ(TeclesSortida.Acceptades, std::string("\x00\x51", 2));
  EXPECT_EQ(TeclesSortida.Traduccions, std::string("\x00\x51", 2));
  GestionarTecles("d", "1234");  // absent: nothing changes
  EXPECT_EQ(TeclesSortida.Acceptades.size(), 2u);

  GestionarTecles("h", "");
  EXPECT_EQ(CaracterOcult, 88);
  GestionarTecles("V?", "");
  EXPECT_EQ(CaracterOcult, 0);
  FixarOpcions("|S,S\xD6|N,NO");
  EXPECT_EQ(LlistaOpcions, "|S,S\xD6|N,NO");
}

TEST_F(Tecles, FormListTranslations) {
  GestionarTecles("+ea", "d,4900,5100,1b,4800,7300=4800,5000,7400=5000,4f00,3c00,3e00");
  struct Cas {
    int tecla;
    bool surt;
    int final;
  } casos[] = {{0x0D, true, 0x0D}, {0x7400, true, 0x5000}, {0x7300, true, 0x4800},
               {0x3E00, true, 0x3E00}, {'a', false, 'a'}, {0x4D00, false, 0x4D00}};
  for (const Cas& c : casos) {
    int16_t t = K(c.tecla);
    EXPECT_EQ(EsTeclaSortida(t, false), c.surt) << std::hex << c.tecla;
    EXPECT_EQ(t, K(c.final));
  }
}

TEST_F(Tecles, MatchesOnlyAtEntryBoundaries) {
  GestionarTecles("a", "1234,5678");  // bytes 34 12 78 56
  int16_t t = 0x7812;                   // 12 78 straddles the two entries
  EXPECT_FALSE(EsTeclaSortida(t, false));
  GestionarTecles("d", "7812");
  EXPECT_EQ(TeclesSortida.Acceptades.size(), 4u);
  // A straddling match before the real entry is skipped and the search goes on.
  GestionarTecles("e", "");
  GestionarTecles("a", "3412,1212=41,1234");  // bytes 12 34 12 12 34 12
  t = 0x1234;
  EXPECT_TRUE(EsTeclaSortida(t, false));
  EXPECT_EQ(t, 0x1234);
  t = 0x1212;
  EXPECT_TRUE(EsTeclaSortida(t, false));
  EXPECT_EQ(t, 0x41);
}

TEST_F(Tecles, SavesNestToAnyDepth) {
  GestionarTecles("a", "d");
  const TeclesSortidaT primera = TeclesSortida;
  GestionarTecles("+ea", "d,1b");  // form
  const TeclesSortidaT formulari = TeclesSortida;
  GestionarTecles("+ea", "d,1b,4800,5000");  // list
  const TeclesSortidaT llista = TeclesSortida;
  GestionarTecles("+e", "");  // calculator
  GestionarTecles("+ea", "4d00,4b00");  // calendar from inside it
  GestionarTecles("-", "");
  EXPECT_TRUE(TeclesSortida.Acceptades.empty());
  GestionarTecles("-", "");
  EXPECT_EQ(TeclesSortida, llista);
  GestionarTecles("-", "");
  EXPECT_EQ(TeclesSortida, formulari);
  GestionarTecles("-", "");
  EXPECT_EQ(TeclesSortida, primera);
  GestionarTecles("-", "");  // nothing saved: unchanged
  EXPECT_EQ(TeclesSortida, primera);
  EXPECT_TRUE(TeclesDesades.empty());
}

TEST_F(Tecles, JunkListsAreSafe) {
  GestionarTecles("a", "x");  // not hexadecimal: key 0
  EXPECT_EQ(TeclesSortida.Acceptades, std::string(2, '\0'));
  GestionarTecles("e", "");
  GestionarTecles("a", ",, d ,=4800,4f00=,,5000=,=,");
  // Blank items and items without a key are skipped; "a=" keeps a as it is.
  EXPECT_EQ(TeclesSortida.Acceptades, std::string("\x0D\x00\x00\x4F\x00\x50", 6));
  EXPECT_EQ(TeclesSortida.Traduccions, TeclesSortida.Acceptades);
  GestionarTecles("a", "");
  GestionarTecles("d", ",,,");
  EXPECT_EQ(TeclesSortida.Acceptades.size(), 6u);
  GestionarTecles("d", "4f00=9999,d");
  EXPECT_EQ(TeclesSortida.Acceptades, std::string("\x00\x50", 2));
}

}  // namespace
