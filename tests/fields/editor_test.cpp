#include "fields/editor.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "fields/majuscules.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "util/entorn_pantalla.h"

namespace {

struct Resultat {
  std::string text;
  int16_t fila, col, amplada, cursor, tecla;
};

class Editor : public PantallaTest {
 protected:
  void SetUp() override {
    PantallaTest::SetUp();
    ReiniciarMajuscules();
    plat::ReiniciarSistema();
    // No desktop clipboard tool: the clipboard is the program's own.
    plat::FixarEntorn("DISPLAY", "");
    plat::FixarEntorn("WAYLAND_DISPLAY", "");
    // Role 0 (highlighted) white on black, role 4 (field being edited) black on grey.
    EstatSessio.TaulaColors[0][0] = 15;
    EstatSessio.TaulaColors[4][0] = 0;
    EstatSessio.TaulaColors[4][1] = 7;
  }
  void TearDown() override {
    ReiniciarMajuscules();
    plat::ReiniciarSistema();
    PantallaTest::TearDown();
  }

  void Acceptar(const std::string& llista) { GestionarTecles("ea", llista); }

  Resultat Edita(std::string text, int16_t fila, int16_t col, int16_t amplada = 0, int16_t cursor = 1) {
    Resultat r{};
    r.fila = fila;
    r.col = col;
    r.amplada = amplada;
    r.cursor = cursor;
    EditaCamp(r.fila, r.col, r.amplada, text, r.cursor, r.tecla);
    r.text = text;
    return r;
  }
};

const std::string k10(10, ' ');

TEST_F(Editor, TypingOverwritesAndShowsEachCharacter) {
  con.Text("abc");
  con.Clau(kTeclaEscape);
  Resultat r = Edita(k10, 3, 5);
  EXPECT_EQ(r.text, "abc       ");
  EXPECT_EQ(r.cursor, 4);
  EXPECT_EQ(r.tecla, kTeclaEscape);
  EXPECT_EQ(r.amplada, 11);  // one line plus a column for the cursor
  EXPECT_EQ(con.Tros(3, 5, 10), "abc       ");
  // Drawn in the editing role, except that the editor leaves in role "h".
  EXPECT_EQ(con.Colors(2).substr(8, 2), "07");
  EXPECT_EQ(ColorActual, 0);

  // Overwriting over existing text; the last position takes a key, past it nothing.
  con.Text("XYZ");
  con.Clau(kTeclaEscape);
  r = Edita("abcdefghij", 3, 5, 0, 9);
  EXPECT_EQ(r.text, "abcdefghXY");
  EXPECT_EQ(r.cursor, 11);
}

TEST_F(Editor, InsertModeShiftsIntoTheFreeRoomOnly) {
  plat::FixarModeInsercio(true);
  con.Text("12345678");
  con.Clau(kTeclaEscape);
  Resultat r = Edita("abc       ", 1, 1);
  // Seven characters fit; the eighth finds no trailing space left.
  EXPECT_EQ(r.text, "1234567abc");
  EXPECT_EQ(r.cursor, 8);
  EXPECT_EQ(con.Tros(1, 1, 10), "1234567abc");
}

TEST_F(Editor, InsertKeyTogglesModeAndCursorShapeAcrossCalls) {
  ASSERT_FALSE(plat::ModeInsercio());
  con.Claus({kTeclaInsercio, 'x', kTeclaEscape});
  Resultat r = Edita("ab        ", 2, 2);
  EXPECT_EQ(r.text, "xab       ");
  EXPECT_TRUE(plat::ModeInsercio());
  // Full block while overwriting, half height after the toggle, hidden on return.
  ASSERT_GE(con.fotos.size(), 2u);
  EXPECT_EQ(con.fotos[0].mida, 100);
  EXPECT_EQ(con.fotos[1].mida, 50);
  EXPECT_EQ(con.MidaCursorActual(), 0);

  // The next field starts in insert mode too.
  con.fotos.clear();
  con.Claus({'y', kTeclaEscape});
  r = Edita("ab        ", 2, 2);
  EXPECT_EQ(r.text, "yab       ");
  EXPECT_EQ(con.fotos[0].mida, 50);
}

TEST_F(Editor, CursorKeysDeletingAndClearing) {
  // Right past the end stops at L + 1; Left stops at 1.
  con.Claus({kTeclaFinal, kTeclaDreta, kTeclaDreta, kTeclaEscape});
  EXPECT_EQ(Edita("abcdefghij", 1, 1).cursor, 11);
  con.Claus({kTeclaEsquerra, kTeclaEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("abc", 1, 1, 0, 2).cursor, 1);
  // End goes after the last non-blank; Home back to 1.
  con.Claus({kTeclaFinal, kTeclaEscape});
  EXPECT_EQ(Edita("ab d      ", 1, 1).cursor, 5);
  con.Claus({kTeclaFinal, kTeclaEscape});
  EXPECT_EQ(Edita(k10, 1, 1, 0, 7).cursor, 1);
  con.Claus({kTeclaInici, kTeclaEscape});
  EXPECT_EQ(Edita("abc", 1, 1, 0, 3).cursor, 1);

  // Backspace removes before the cursor, Delete at it; both pad at the end.
  con.Claus({kTeclaRetroces, kTeclaEscape});
  Resultat r = Edita("abcdef", 4, 1, 0, 3);
  EXPECT_EQ(r.text, "acdef ");
  EXPECT_EQ(r.cursor, 2);
  EXPECT_EQ(con.Tros(4, 1, 6), "acdef ");
  con.Claus({kTeclaRetroces, kTeclaEscape});
  EXPECT_EQ(Edita("abcdef", 4, 1, 0, 1).text, "abcdef");
  con.Claus({kTeclaSupr, kTeclaEscape});
  r = Edita("abcdef", 5, 1, 0, 3);
  EXPECT_EQ(r.text, "abdef ");
  EXPECT_EQ(r.cursor, 3);
  con.Claus({kTeclaSupr, kTeclaEscape});
  EXPECT_EQ(Edita("abcdef", 5, 1, 0, 7).text, "abcdef");

  // Ctrl+Home and Ctrl+Y blank the field.
  con.Claus({kTeclaCtrlInici, kTeclaEscape});
  r = Edita("abcdef", 6, 1, 0, 4);
  EXPECT_EQ(r.text, "      ");
  EXPECT_EQ(r.cursor, 1);
  EXPECT_EQ(con.Tros(6, 1, 6), "      ");
  con.Claus({kTeclaCtrlY, kTeclaEscape});
  EXPECT_EQ(Edita("abcdef", 6, 1, 0, 4).text, "      ");
}

TEST_F(Editor, MultiLineFieldsMoveByLinesAndPlaceTheCursor) {
  std::string t(30, ' ');
  for (int i = 0; i < 30; ++i) t[static_cast<size_t>(i)] = static_cast<char>('a' + i % 26);
  // From 5: Down to 15, Down to 25, Down leaves (25 > 31 - 10); Up from there moves.
  con.Claus({kTeclaAvall, kTeclaAvall, kTeclaAmunt, kTeclaAvall, kTeclaAvall});
  Resultat r = Edita(t, 10, 20, 10, 5);
  EXPECT_EQ(r.tecla, kTeclaAvall);
  EXPECT_EQ(r.cursor, 25);
  EXPECT_EQ(con.Tros(10, 20, 10), t.substr(0, 10));
  EXPECT_EQ(con.Tros(11, 20, 10), t.substr(10, 10));
  EXPECT_EQ(con.Tros(12, 20, 10), t.substr(20, 10));
  EXPECT_EQ(con.Tros(13, 20, 10), std::string(10, ' '));
  // Cursor 5 stands on the first line, 15 on the second.
  EXPECT_EQ(con.fotos[0].fila, 9);
  EXPECT_EQ(con.fotos[0].col, 23);
  EXPECT_EQ(con.fotos[1].fila, 10);

  // Position 31 is shown after the tenth cell of the third line, not on a fourth.
  con.fotos.clear();
  con.Claus({kTeclaFinal, kTeclaEscape});
  Edita(t, 10, 20, 10, 1);
  ASSERT_EQ(con.fotos.size(), 2u);
  EXPECT_EQ(con.fotos[1].fila, 11);
  EXPECT_EQ(con.fotos[1].col, 29);

  // Up on the first line leaves; Shift+Tab leaves as Up.
  con.Claus({kTeclaTabInvers});
  r = Edita(t, 10, 20, 10, 3);
  EXPECT_EQ(r.tecla, kTeclaAmunt);
  EXPECT_EQ(r.cursor, 3);
  con.Claus({kTeclaTabInvers, kTeclaEscape});
  EXPECT_EQ(Edita(t, 10, 20, 10, 13).cursor, 3);  // within the field it moves a line
}

TEST_F(Editor, OneLineFieldsLeaveOnUpAndDownAndShowTheEndCursor) {
  for (int k : {kTeclaAmunt, kTeclaAvall}) {
    con.Clau(k);
    EXPECT_EQ(Edita("abc", 1, 1, 0, 2).tecla, k);
    con.Clau(k);
    EXPECT_EQ(Edita("abc", 1, 1, 4, 2).tecla, k);
  }
  // A full 10-character field: after its last character the cursor stands at column + 10.
  con.fotos.clear();
  con.Claus({kTeclaFinal, kTeclaEscape});
  Edita("abcdefghij", 7, 30);
  EXPECT_EQ(con.fotos[1].fila, 6);
  EXPECT_EQ(con.fotos[1].col, 39);
}

TEST_F(Editor, WordMoves) {
  std::string t = "ab, cd    ";
  con.Claus({kTeclaCtrlDreta, kTeclaEscape});
  EXPECT_EQ(Edita(t, 1, 1, 0, 1).cursor, 5);
  con.Claus({kTeclaCtrlDreta, kTeclaEscape});
  EXPECT_EQ(Edita(t, 1, 1, 0, 5).cursor, 11);
  con.Claus({kTeclaCtrlDreta, kTeclaEscape});
  EXPECT_EQ(Edita(t, 1, 1, 0, 3).cursor, 5);  // from a separator: skip separators

  // Ctrl+Left: into the word before, over separators, back to 1 at the start.
  con.Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("one two;three", 1, 1, 0, 12).cursor, 9);
  con.Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("one two;three", 1, 1, 0, 9).cursor, 5);
  con.Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("one two;three", 1, 1, 0, 3).cursor, 1);
  con.Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("  :two", 1, 1, 0, 3).cursor, 1);

  // At the edges they leave, translated by the key list.
  con.Clau(kTeclaCtrlEsquerra);
  EXPECT_EQ(Edita(t, 1, 1, 0, 1).tecla, kTeclaCtrlEsquerra);
  Acceptar("1b,7300=4800,7400=5000");
  con.Clau(kTeclaCtrlEsquerra);
  EXPECT_EQ(Edita(t, 1, 1, 0, 1).tecla, kTeclaAmunt);
  con.Clau(kTeclaCtrlDreta);
  EXPECT_EQ(Edita(t, 1, 1, 0, 11).tecla, kTeclaAvall);
}

TEST_F(Editor, LeavingTranslationsAndTheAcceptedKeys) {
  // Without a key list every key leaves as it came, apart from the fixed translations.
  con.Clau(kTeclaTab);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEnter);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEnter);
  con.Clau(kTeclaCtrlF4);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEscape);
  con.Clau(kTeclaAltF4);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEscape);
  con.Clau(0x3F00);
  EXPECT_EQ(Edita("a", 1, 1).tecla, 0x3F00);

  // With End accepted, Enter leaves as End but Tab still as Enter.
  Acceptar("d,1b,4f00");
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaFinal);
  con.Clau(kTeclaTab);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEnter);

  // A key that is not accepted is refused: the field is redrawn and editing goes on.
  GestionarTecles("e", "");
  Acceptar("d,1b");
  con.Claus({'x', 0x3F00, 0x8500, 'y', kTeclaEnter});  // F5 and F11 (a negative code)
  Resultat r = Edita("ab", 1, 1);
  EXPECT_EQ(r.tecla, kTeclaEnter);
  EXPECT_EQ(r.text, "xy");
  EXPECT_EQ(con.Tros(1, 1, 2), "xy");
}

TEST_F(Editor, ClipboardCopyAndPaste) {
  con.Clau(kTeclaCtrlC);
  con.Clau(kTeclaEscape);
  EXPECT_EQ(Edita("  hola    ", 1, 1).text, "  hola    ");
  EXPECT_EQ(plat::LlegirPortaretalls(), "hola");

  // Control characters dropped, spaces trimmed, cursor kept, insert mode ignored.
  plat::FixarModeInsercio(true);
  plat::CopiarPortaretalls("  12\t34  ");
  con.Claus({kTeclaCtrlV, kTeclaEscape});
  Resultat r = Edita(k10, 2, 1);
  EXPECT_EQ(r.text, "1234      ");
  EXPECT_EQ(r.cursor, 1);
  EXPECT_EQ(con.Tros(2, 1, 10), "1234      ");

  // Only what fits from the cursor on is written.
  plat::CopiarPortaretalls("abcdefgh\x7f\xff");
  con.Claus({kTeclaCtrlV, kTeclaEscape});
  EXPECT_EQ(Edita("0123456789", 2, 1, 0, 6).text, "01234abcde");

  // An empty clipboard changes nothing.
  plat::CopiarPortaretalls("");
  con.Claus({kTeclaCtrlV, kTeclaEscape});
  EXPECT_EQ(Edita("xyz", 2, 1).text, "xyz");
}

TEST_F(Editor, TerminalPasteOfAMegabyteKeepsTheLength) {
  plat::CopiarPortaretalls("clipboard");
  plat::Esdeveniment e;
  e.tipus = plat::TipusEsdeveniment::Enganxat;
  e.text = std::string(1 << 20, 'z');
  e.text[0] = 'A';
  con.entrada.push_back(e);
  con.Clau(kTeclaEscape);
  Resultat r = Edita(k10, 1, 1, 0, 4);
  EXPECT_EQ(r.text, "   Azzzzzz");
  EXPECT_TRUE(TextEnganxat.empty());

  // A Ctrl+V from the keyboard afterwards pastes the clipboard, not the old paste.
  con.Claus({kTeclaCtrlV, kTeclaEscape});
  EXPECT_EQ(Edita(k10, 1, 1).text, "clipboard ");
}

TEST_F(Editor, RefusedCharactersBeepWhenTypedAndRefuseThePasteWhole) {
  auto enganxat = [&](const std::string& text) {
    plat::Esdeveniment e;
    e.tipus = plat::TipusEsdeveniment::Enganxat;
    e.text = text;
    con.entrada.push_back(e);
  };
  const struct {
    const char* refusats;
    bool insercio;
    std::function<void()> entrada;
    const char* text;
    int xiulets;
  } casos[] = {
      {";", false, [&] { con.Text("Fra 12; gener"); }, "Fra 12 gen", 1},
      {";", true, [&] { con.Text(";a;;b"); }, "ab        ", 3},
      {";", false, [&] { enganxat("Factura; 1"); }, "          ", 1},
      {";", false, [&] { enganxat("  Factura 1\t "); }, "Factura 1 ", 0},
      {";", false, [&] { plat::CopiarPortaretalls("C:\\A;B.TXT"); con.Clau(kTeclaCtrlV); }, "          ", 1},
      {";", false, [&] { TeclesPendents = "1;5"; }, "15        ", 1},  // a calculator result
      {"", false, [&] { con.Text("a;b"); enganxat(";c"); }, "a;b;c     ", 0},
  };
  for (const auto& c : casos) {
    CaractersRefusats = c.refusats;
    plat::FixarModeInsercio(c.insercio);
    c.entrada();
    con.Clau(kTeclaEscape);
    const int abans = con.xiulets;
    const Resultat r = Edita(k10, 1, 1);
    EXPECT_EQ(r.text, c.text) << c.text;
    EXPECT_EQ(con.Tros(1, 1, 10), c.text);
    EXPECT_EQ(con.xiulets - abans, c.xiulets) << c.text;
    EXPECT_TRUE(TextEnganxat.empty());
  }
}

TEST_F(Editor, MaskedFieldsShowOnlyTheMask) {
  GestionarTecles("h", "");
  con.Text("pw");
  con.Clau(kTeclaEscape);
  Resultat r = Edita("      ", 4, 3);
  EXPECT_EQ(r.text, "pw    ");
  EXPECT_EQ(con.Tros(4, 3, 8), "XXXXXX  ");
  // Copy works on the real text.
  con.Claus({kTeclaCtrlC, kTeclaEscape});
  Edita("secret", 4, 3);
  EXPECT_EQ(plat::LlegirPortaretalls(), "secret");

  // With a line width, every line shows (width - 1) mask characters.
  con.Clau(kTeclaEscape);
  Edita("abcdefgh", 8, 1, 4);
  EXPECT_EQ(con.Tros(8, 1, 5), "XXX  ");
  EXPECT_EQ(con.Tros(9, 1, 5), "XXX  ");
  EXPECT_EQ(con.Tros(10, 1, 5), "     ");
}

const std::string kOpcions = "|H,HTML|F,PDF|W,WINDOWS";

TEST_F(Editor, ChoiceFieldsShowDescriptionsBetweenArrows) {
  FixarOpcions(kOpcions);
  con.Clau(kTeclaEscape);
  Resultat r = Edita("H", 5, 10);
  EXPECT_EQ(r.text, "H");
  // While editing: arrows at column - 1 and column + option width (7).
  FixarOpcions(kOpcions);
  con.Claus({kTeclaDreta});
  con.fotos.clear();
  r = Edita("H", 5, 10);
  EXPECT_EQ(r.tecla, kTeclaEscape);
  EXPECT_EQ(r.text, "F");
  EXPECT_EQ(con.Tros(5, 10, 7), "PDF    ");
  // Arrows are blanked on leaving.
  EXPECT_EQ(con.Tros(5, 9, 1), " ");
  EXPECT_EQ(con.Tros(5, 17, 1), " ");
}

TEST_F(Editor, ChoiceFieldArrowsAreDrawnWhileEditing) {
  // The screen as it stood at the first wait for a key.
  con.fotos.clear();
  FixarOpcions(kOpcions);
  con.Clau(kTeclaEscape);
  int16_t f = 5, c = 10, a = 0, cur = 1, k = 0;
  std::string t = "W";
  EditaCamp(f, c, a, t, cur, k);
  ASSERT_FALSE(con.fotos.empty());
  EXPECT_EQ(con.fotos[0].files[4].substr(8, 9), "\x11WINDOWS\x10");
  // The code must equal the whole text, trailing spaces included: "W  " is no match.
  con.fotos.clear();
  FixarOpcions(kOpcions);
  con.Clau(kTeclaEscape);
  t = "W  ";
  EditaCamp(f, c, a, t, cur, k);
  ASSERT_FALSE(con.fotos.empty());
  EXPECT_EQ(con.fotos[0].files[4].substr(8, 9), "\x11HTML   \x10");
  EXPECT_EQ(t, "H  ");
}

TEST_F(Editor, ChoiceSearchByFirstLetterAndStepping) {
  FixarOpcions(kOpcions);
  con.Claus({'p', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "F  ");
  FixarOpcions(kOpcions);
  con.Claus({'P', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "F  ");
  // Codes are not searched.
  FixarOpcions(kOpcions);
  con.Claus({'f', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "H  ");
  // Space and Right step forward and wrap; Left steps back from the first to the last.
  FixarOpcions(kOpcions);
  con.Claus({'p', ' ', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "W  ");
  FixarOpcions(kOpcions);
  con.Claus({'p', ' ', ' ', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "H  ");
  FixarOpcions(kOpcions);
  con.Claus({kTeclaEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "W  ");
  EXPECT_FALSE(SenseAccents);

  // The search starts after the current option and ignores case and accents.
  FixarOpcions("|1,\x82s|2,ERA|3,Est");
  con.Claus({'e', kTeclaEscape});
  EXPECT_EQ(Edita("1", 1, 2).text, "2");
  FixarOpcions("|1,\x82s|2,ERA|3,Est");
  con.Claus({'\x90', kTeclaEscape});  // capital E acute
  EXPECT_EQ(Edita("3", 1, 2).text, "1");

  // No matching code: the first option; the last of equal codes otherwise; a longer code
  // is cut to the field.
  FixarOpcions("|A,uno|B,dos|B,tres");
  con.Clau(kTeclaEscape);
  Edita("B", 1, 2);
  EXPECT_EQ(con.Tros(1, 2, 4), "tres");
  FixarOpcions("|LONG,llarg");
  con.Clau(kTeclaEscape);
  EXPECT_EQ(Edita("zz", 1, 2).text, "LO");
}

TEST_F(Editor, ChoiceFieldIgnoresEditingKeysAndCopiesTheDescription) {
  FixarOpcions(kOpcions);
  con.Claus({kTeclaRetroces, kTeclaSupr, kTeclaCtrlInici, kTeclaCtrlY, kTeclaCtrlV, kTeclaInici, kTeclaFinal,
         kTeclaCtrlC, kTeclaEscape});
  Resultat r = Edita("W", 1, 2);
  EXPECT_EQ(r.text, "W");
  EXPECT_EQ(r.tecla, kTeclaEscape);
  EXPECT_EQ(plat::LlegirPortaretalls(), "WINDOWS");
  // Insert still toggles the mode; Up leaves.
  FixarOpcions(kOpcions);
  con.Claus({kTeclaInsercio, kTeclaAmunt});
  EXPECT_EQ(Edita("W", 1, 2).tecla, kTeclaAmunt);
  EXPECT_TRUE(plat::ModeInsercio());
}

TEST_F(Editor, MouseInPlainFields) {
  // Inside: the cursor moves to the cell clicked; typing lands there.
  con.ClicA(3, 7);
  con.Claus({'Q', kTeclaEscape});
  Resultat r = Edita("abcdefghij", 3, 5);
  EXPECT_EQ(r.text, "abQdefghij");
  // Second line of a multi-line field, also the last line when it is not full.
  con.ClicA(4, 2);
  con.Claus({'Q', kTeclaEscape});
  EXPECT_EQ(Edita("abcdefgh", 3, 1, 5).text, "abcdefQh");
  // Outside: leaves with the mouse code.
  con.ClicA(7, 30);
  r = Edita("abc", 3, 5);
  EXPECT_EQ(r.tecla, -(30 * 100 + 7));
  // A mouse code leaves even when the key list does not name it.
  Acceptar("d,1b");
  con.ClicA(7, 30);
  EXPECT_EQ(Edita("abc", 3, 5).tecla, -3007);
}

TEST_F(Editor, MouseInChoiceFields) {
  FixarOpcions(kOpcions);
  con.ClicA(5, 17);  // right arrow
  con.Clau(kTeclaEscape);
  EXPECT_EQ(Edita("H", 5, 10).text, "F");
  FixarOpcions(kOpcions);
  con.ClicA(5, 9);  // left arrow
  con.Clau(kTeclaEscape);
  EXPECT_EQ(Edita("H", 5, 10).text, "W");
  // The description: key 0, which leaves when every key is accepted.
  FixarOpcions(kOpcions);
  con.ClicA(5, 12);
  EXPECT_EQ(Edita("H", 5, 10).tecla, 0);
  // ... and is ignored under a key list.
  Acceptar("d,1b");
  FixarOpcions(kOpcions);
  con.ClicA(5, 12);
  con.Clau(kTeclaEnter);
  EXPECT_EQ(Edita("H", 5, 10).tecla, kTeclaEnter);
  // Elsewhere: leaves with the mouse code.
  FixarOpcions(kOpcions);
  con.ClicA(6, 12);
  EXPECT_EQ(Edita("H", 5, 10).tecla, -1206);
}

TEST_F(Editor, CoordinatesAreRelativeToTheOpenWindow) {
  DesarFinestra(5, 18, 20, 72);
  con.ClicA(9, 24);  // absolute: window row 4, column 6 -> field position 3
  con.Claus({'Q', kTeclaEscape});
  Resultat r = Edita("abcdef", 4, 4);
  EXPECT_EQ(r.text, "abQdef");
  EXPECT_EQ(con.Tros(9, 22, 6), "abQdef");
  RestaurarFinestra();
}

TEST_F(Editor, EntryDefaultsAreWrittenBack) {
  con.PosarCursor(6, 11);
  con.Clau(kTeclaEscape);
  Resultat r = Edita("abc", 0, 0, 0, 99);
  EXPECT_EQ(r.fila, 7);
  EXPECT_EQ(r.col, 12);
  EXPECT_EQ(r.amplada, 4);
  EXPECT_EQ(r.cursor, 4);
  EXPECT_EQ(con.Tros(7, 12, 3), "abc");
  con.Clau(kTeclaEscape);
  EXPECT_EQ(Edita("abc", 1, 1, 0, -5).cursor, 1);
}

TEST_F(Editor, RandomKeysNeverChangeTheLength) {
  std::mt19937 gen(1234);
  const int codis[] = {kTeclaEsquerra, kTeclaDreta, kTeclaRetroces, kTeclaSupr, kTeclaInici, kTeclaFinal,
                       kTeclaCtrlInici, kTeclaCtrlY, kTeclaAmunt, kTeclaAvall, kTeclaCtrlEsquerra,
                       kTeclaCtrlDreta, kTeclaCtrlC, kTeclaCtrlV, kTeclaInsercio, kTeclaTabInvers};
  Acceptar("1b");
  con.gravar = false;
  for (int volta = 0; volta < 200; ++volta) {
    for (int i = 0; i < 40; ++i) {
      int tria = static_cast<int>(gen() % 3);
      if (tria == 0) {
        con.Clau(codis[gen() % (sizeof codis / sizeof codis[0])]);
      } else {
        con.Clau(static_cast<int>(gen() % 255) + 1);
      }
    }
    const size_t n = gen() % 40;
    const int16_t w = static_cast<int16_t>(gen() % 8);
    FixarOpcions(volta % 4 == 0 ? kOpcions : "");
    std::string t(n, 'k');
    int16_t f = 2, c = 2, a = w, cur = static_cast<int16_t>(gen() % 50), k = 0;
    EditaCamp(f, c, a, t, cur, k);
    ASSERT_EQ(t.size(), n) << "round " << volta;
    ASSERT_GE(cur, 1);
    ASSERT_LE(cur, static_cast<int16_t>(n + 1));
    con.entrada.clear();
  }
}

}  // namespace
