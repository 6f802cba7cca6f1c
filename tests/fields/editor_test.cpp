#include "fields/editor.h"

#include <gtest/gtest.h>

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
#include "util/entorn_prova.h"

namespace {

// A virtual console that notes where the cursor stands, and how big it is, each time the
// editor waits for input.
class ConsolaEspia : public plat::ConsolaVirtual {
 public:
  struct Espera {
    int fila, col, mida;
  };
  bool LlegirEsdeveniment(plat::Esdeveniment& e, int espera_ms) override {
    esperes.push_back({FilaCursor(), ColCursor(), MidaCursorActual()});
    return ConsolaVirtual::LlegirEsdeveniment(e, espera_ms);
  }
  std::vector<Espera> esperes;
};

struct Resultat {
  std::string text;
  int16_t fila, col, amplada, cursor, tecla;
};

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciarSessio();
    ReiniciarColors();
    ReiniciarFinestres();
    ReiniciarTecles();
    ReiniciarMajuscules();
    plat::ReiniciarSistema();
    // No desktop clipboard tool: the clipboard is the program's own.
    plat::FixarEntorn("DISPLAY", "");
    plat::FixarEntorn("WAYLAND_DISPLAY", "");
    EstatSessio.DirTmp = dir.Programa();
    // Role 0 (highlighted) white on black, role 4 (field being edited) black on grey.
    EstatSessio.TaulaColors[0][0] = 15;
    EstatSessio.TaulaColors[4][0] = 0;
    EstatSessio.TaulaColors[4][1] = 7;
    plat::FixarConsola(&con);
  }
  void TearDown() override {
    plat::FixarConsola(nullptr);
    ReiniciarFinestres();
    ReiniciarTecles();
    ReiniciarColors();
    ReiniciarMajuscules();
    plat::ReiniciarSistema();
    ReiniciarSessio();
  }

  // A key code as the keyboard produces it: a character, or a scan code times 256.
  void Clau(int codi) {
    if (codi < 256) {
      con.Tecla(static_cast<uint8_t>(codi));
    } else {
      con.Tecla(0, static_cast<uint8_t>(codi >> 8));
    }
  }
  void Claus(std::initializer_list<int> codis) {
    for (int c : codis) Clau(c);
  }
  // Press and release at a 1-based screen position.
  void Clic(int fila, int col) {
    con.Clic(fila - 1, col - 1, plat::kBotoEsquerre);
    con.Clic(fila - 1, col - 1, 0);
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
  // Screen text at a 1-based position.
  std::string Tros(int fila, int col, int n) const { return con.Fila(fila - 1).substr(static_cast<size_t>(col - 1), static_cast<size_t>(n)); }

  CarpetaTemporal dir;
  ConsolaEspia con;
};

const std::string k10(10, ' ');

TEST_F(Editor, TypingOverwritesAndShowsEachCharacter) {
  con.Text("abc");
  Clau(kTeclaEscape);
  Resultat r = Edita(k10, 3, 5);
  EXPECT_EQ(r.text, "abc       ");
  EXPECT_EQ(r.cursor, 4);
  EXPECT_EQ(r.tecla, kTeclaEscape);
  EXPECT_EQ(r.amplada, 11);  // one line plus a column for the cursor
  EXPECT_EQ(Tros(3, 5, 10), "abc       ");
  // Drawn in the editing role, except that the editor leaves in role "h".
  EXPECT_EQ(con.Colors(2).substr(8, 2), "07");
  EXPECT_EQ(ColorActual, 0);

  // Overwriting over existing text; the last position takes a key, past it nothing.
  con.Text("XYZ");
  Clau(kTeclaEscape);
  r = Edita("abcdefghij", 3, 5, 0, 9);
  EXPECT_EQ(r.text, "abcdefghXY");
  EXPECT_EQ(r.cursor, 11);
}

TEST_F(Editor, InsertModeShiftsIntoTheFreeRoomOnly) {
  plat::FixarModeInsercio(true);
  con.Text("12345678");
  Clau(kTeclaEscape);
  Resultat r = Edita("abc       ", 1, 1);
  // Seven characters fit; the eighth finds no trailing space left.
  EXPECT_EQ(r.text, "1234567abc");
  EXPECT_EQ(r.cursor, 8);
  EXPECT_EQ(Tros(1, 1, 10), "1234567abc");
}

TEST_F(Editor, InsertKeyTogglesModeAndCursorShapeAcrossCalls) {
  ASSERT_FALSE(plat::ModeInsercio());
  Claus({kTeclaInsercio, 'x', kTeclaEscape});
  Resultat r = Edita("ab        ", 2, 2);
  EXPECT_EQ(r.text, "xab       ");
  EXPECT_TRUE(plat::ModeInsercio());
  // Full block while overwriting, half height after the toggle, hidden on return.
  ASSERT_GE(con.esperes.size(), 2u);
  EXPECT_EQ(con.esperes[0].mida, 100);
  EXPECT_EQ(con.esperes[1].mida, 50);
  EXPECT_EQ(con.MidaCursorActual(), 0);

  // The next field starts in insert mode too.
  con.esperes.clear();
  Claus({'y', kTeclaEscape});
  r = Edita("ab        ", 2, 2);
  EXPECT_EQ(r.text, "yab       ");
  EXPECT_EQ(con.esperes[0].mida, 50);
}

TEST_F(Editor, CursorKeysDeletingAndClearing) {
  // Right past the end stops at L + 1; Left stops at 1.
  Claus({kTeclaFinal, kTeclaDreta, kTeclaDreta, kTeclaEscape});
  EXPECT_EQ(Edita("abcdefghij", 1, 1).cursor, 11);
  Claus({kTeclaEsquerra, kTeclaEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("abc", 1, 1, 0, 2).cursor, 1);
  // End goes after the last non-blank; Home back to 1.
  Claus({kTeclaFinal, kTeclaEscape});
  EXPECT_EQ(Edita("ab d      ", 1, 1).cursor, 5);
  Claus({kTeclaFinal, kTeclaEscape});
  EXPECT_EQ(Edita(k10, 1, 1, 0, 7).cursor, 1);
  Claus({kTeclaInici, kTeclaEscape});
  EXPECT_EQ(Edita("abc", 1, 1, 0, 3).cursor, 1);

  // Backspace removes before the cursor, Delete at it; both pad at the end.
  Claus({kTeclaRetroces, kTeclaEscape});
  Resultat r = Edita("abcdef", 4, 1, 0, 3);
  EXPECT_EQ(r.text, "acdef ");
  EXPECT_EQ(r.cursor, 2);
  EXPECT_EQ(Tros(4, 1, 6), "acdef ");
  Claus({kTeclaRetroces, kTeclaEscape});
  EXPECT_EQ(Edita("abcdef", 4, 1, 0, 1).text, "abcdef");
  Claus({kTeclaSupr, kTeclaEscape});
  r = Edita("abcdef", 5, 1, 0, 3);
  EXPECT_EQ(r.text, "abdef ");
  EXPECT_EQ(r.cursor, 3);
  Claus({kTeclaSupr, kTeclaEscape});
  EXPECT_EQ(Edita("abcdef", 5, 1, 0, 7).text, "abcdef");

  // Ctrl+Home and Ctrl+Y blank the field.
  Claus({kTeclaCtrlInici, kTeclaEscape});
  r = Edita("abcdef", 6, 1, 0, 4);
  EXPECT_EQ(r.text, "      ");
  EXPECT_EQ(r.cursor, 1);
  EXPECT_EQ(Tros(6, 1, 6), "      ");
  Claus({kTeclaCtrlY, kTeclaEscape});
  EXPECT_EQ(Edita("abcdef", 6, 1, 0, 4).text, "      ");
}

TEST_F(Editor, MultiLineFieldsMoveByLinesAndPlaceTheCursor) {
  std::string t(30, ' ');
  for (int i = 0; i < 30; ++i) t[static_cast<size_t>(i)] = static_cast<char>('a' + i % 26);
  // From 5: Down to 15, Down to 25, Down leaves (25 > 31 - 10); Up from there moves.
  Claus({kTeclaAvall, kTeclaAvall, kTeclaAmunt, kTeclaAvall, kTeclaAvall});
  Resultat r = Edita(t, 10, 20, 10, 5);
  EXPECT_EQ(r.tecla, kTeclaAvall);
  EXPECT_EQ(r.cursor, 25);
  EXPECT_EQ(Tros(10, 20, 10), t.substr(0, 10));
  EXPECT_EQ(Tros(11, 20, 10), t.substr(10, 10));
  EXPECT_EQ(Tros(12, 20, 10), t.substr(20, 10));
  EXPECT_EQ(Tros(13, 20, 10), std::string(10, ' '));
  // Cursor 5 stands on the first line, 15 on the second.
  EXPECT_EQ(con.esperes[0].fila, 9);
  EXPECT_EQ(con.esperes[0].col, 23);
  EXPECT_EQ(con.esperes[1].fila, 10);

  // Position 31 is shown after the tenth cell of the third line, not on a fourth.
  con.esperes.clear();
  Claus({kTeclaFinal, kTeclaEscape});
  Edita(t, 10, 20, 10, 1);
  ASSERT_EQ(con.esperes.size(), 2u);
  EXPECT_EQ(con.esperes[1].fila, 11);
  EXPECT_EQ(con.esperes[1].col, 29);

  // Up on the first line leaves; Shift+Tab leaves as Up.
  Claus({kTeclaTabInvers});
  r = Edita(t, 10, 20, 10, 3);
  EXPECT_EQ(r.tecla, kTeclaAmunt);
  EXPECT_EQ(r.cursor, 3);
  Claus({kTeclaTabInvers, kTeclaEscape});
  EXPECT_EQ(Edita(t, 10, 20, 10, 13).cursor, 3);  // within the field it moves a line
}

TEST_F(Editor, OneLineFieldsLeaveOnUpAndDownAndShowTheEndCursor) {
  for (int k : {kTeclaAmunt, kTeclaAvall}) {
    Clau(k);
    EXPECT_EQ(Edita("abc", 1, 1, 0, 2).tecla, k);
    Clau(k);
    EXPECT_EQ(Edita("abc", 1, 1, 4, 2).tecla, k);
  }
  // A full 10-character field: after its last character the cursor stands at column + 10.
  con.esperes.clear();
  Claus({kTeclaFinal, kTeclaEscape});
  Edita("abcdefghij", 7, 30);
  EXPECT_EQ(con.esperes[1].fila, 6);
  EXPECT_EQ(con.esperes[1].col, 39);
}

TEST_F(Editor, WordMoves) {
  std::string t = "ab, cd    ";
  Claus({kTeclaCtrlDreta, kTeclaEscape});
  EXPECT_EQ(Edita(t, 1, 1, 0, 1).cursor, 5);
  Claus({kTeclaCtrlDreta, kTeclaEscape});
  EXPECT_EQ(Edita(t, 1, 1, 0, 5).cursor, 11);
  Claus({kTeclaCtrlDreta, kTeclaEscape});
  EXPECT_EQ(Edita(t, 1, 1, 0, 3).cursor, 5);  // from a separator: skip separators

  // Ctrl+Left: into the word before, over separators, back to 1 at the start.
  Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("one two;three", 1, 1, 0, 12).cursor, 9);
  Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("one two;three", 1, 1, 0, 9).cursor, 5);
  Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("one two;three", 1, 1, 0, 3).cursor, 1);
  Claus({kTeclaCtrlEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("  :two", 1, 1, 0, 3).cursor, 1);

  // At the edges they leave, translated by the key list.
  Clau(kTeclaCtrlEsquerra);
  EXPECT_EQ(Edita(t, 1, 1, 0, 1).tecla, kTeclaCtrlEsquerra);
  Acceptar("1b,7300=4800,7400=5000");
  Clau(kTeclaCtrlEsquerra);
  EXPECT_EQ(Edita(t, 1, 1, 0, 1).tecla, kTeclaAmunt);
  Clau(kTeclaCtrlDreta);
  EXPECT_EQ(Edita(t, 1, 1, 0, 11).tecla, kTeclaAvall);
}

TEST_F(Editor, LeavingTranslationsAndTheAcceptedKeys) {
  // Without a key list every key leaves as it came, apart from the fixed translations.
  Clau(kTeclaTab);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEnter);
  Clau(kTeclaEnter);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEnter);
  Clau(kTeclaCtrlF4);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEscape);
  Clau(kTeclaAltF4);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEscape);
  Clau(0x3F00);
  EXPECT_EQ(Edita("a", 1, 1).tecla, 0x3F00);

  // With End accepted, Enter leaves as End but Tab still as Enter.
  Acceptar("d,1b,4f00");
  Clau(kTeclaEnter);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaFinal);
  Clau(kTeclaTab);
  EXPECT_EQ(Edita("a", 1, 1).tecla, kTeclaEnter);

  // A key that is not accepted is refused: the field is redrawn and editing goes on.
  GestionarTecles("e", "");
  Acceptar("d,1b");
  Claus({'x', 0x3F00, 'y', kTeclaEnter});
  Resultat r = Edita("ab", 1, 1);
  EXPECT_EQ(r.tecla, kTeclaEnter);
  EXPECT_EQ(r.text, "xy");
  EXPECT_EQ(Tros(1, 1, 2), "xy");
}

TEST_F(Editor, ClipboardCopyAndPaste) {
  Clau(kTeclaCtrlC);
  Clau(kTeclaEscape);
  EXPECT_EQ(Edita("  hola    ", 1, 1).text, "  hola    ");
  EXPECT_EQ(plat::LlegirPortaretalls(), "hola");

  // Control characters dropped, spaces trimmed, cursor kept, insert mode ignored.
  plat::FixarModeInsercio(true);
  plat::CopiarPortaretalls("  12\t34  ");
  Claus({kTeclaCtrlV, kTeclaEscape});
  Resultat r = Edita(k10, 2, 1);
  EXPECT_EQ(r.text, "1234      ");
  EXPECT_EQ(r.cursor, 1);
  EXPECT_EQ(Tros(2, 1, 10), "1234      ");

  // Only what fits from the cursor on is written.
  plat::CopiarPortaretalls("abcdefgh\x7f\xff");
  Claus({kTeclaCtrlV, kTeclaEscape});
  EXPECT_EQ(Edita("0123456789", 2, 1, 0, 6).text, "01234abcde");

  // An empty clipboard changes nothing.
  plat::CopiarPortaretalls("");
  Claus({kTeclaCtrlV, kTeclaEscape});
  EXPECT_EQ(Edita("xyz", 2, 1).text, "xyz");
}

TEST_F(Editor, TerminalPasteOfAMegabyteKeepsTheLength) {
  plat::CopiarPortaretalls("clipboard");
  plat::Esdeveniment e;
  e.tipus = plat::TipusEsdeveniment::Enganxat;
  e.text = std::string(1 << 20, 'z');
  e.text[0] = 'A';
  con.entrada.push_back(e);
  Clau(kTeclaEscape);
  Resultat r = Edita(k10, 1, 1, 0, 4);
  EXPECT_EQ(r.text, "   Azzzzzz");
  EXPECT_TRUE(TextEnganxat.empty());

  // A Ctrl+V from the keyboard afterwards pastes the clipboard, not the old paste.
  Claus({kTeclaCtrlV, kTeclaEscape});
  EXPECT_EQ(Edita(k10, 1, 1).text, "clipboard ");
}

TEST_F(Editor, MaskedFieldsShowOnlyTheMask) {
  GestionarTecles("h", "");
  con.Text("pw");
  Clau(kTeclaEscape);
  Resultat r = Edita("      ", 4, 3);
  EXPECT_EQ(r.text, "pw    ");
  EXPECT_EQ(Tros(4, 3, 8), "XXXXXX  ");
  // Copy works on the real text.
  Claus({kTeclaCtrlC, kTeclaEscape});
  Edita("secret", 4, 3);
  EXPECT_EQ(plat::LlegirPortaretalls(), "secret");

  // With a line width, every line shows (width - 1) mask characters.
  Clau(kTeclaEscape);
  Edita("abcdefgh", 8, 1, 4);
  EXPECT_EQ(Tros(8, 1, 5), "XXX  ");
  EXPECT_EQ(Tros(9, 1, 5), "XXX  ");
  EXPECT_EQ(Tros(10, 1, 5), "     ");
}

const std::string kOpcions = "|H,HTML|F,PDF|W,WINDOWS";

TEST_F(Editor, ChoiceFieldsShowDescriptionsBetweenArrows) {
  FixarOpcions(kOpcions);
  Clau(kTeclaEscape);
  Resultat r = Edita("H", 5, 10);
  EXPECT_EQ(r.text, "H");
  // While editing: arrows at column - 1 and column + option width (7).
  FixarOpcions(kOpcions);
  Claus({kTeclaDreta});
  con.esperes.clear();
  r = Edita("H", 5, 10);
  EXPECT_EQ(r.tecla, kTeclaEscape);
  EXPECT_EQ(r.text, "F");
  EXPECT_EQ(Tros(5, 10, 7), "PDF    ");
  // Arrows are blanked on leaving.
  EXPECT_EQ(Tros(5, 9, 1), " ");
  EXPECT_EQ(Tros(5, 17, 1), " ");
}

TEST_F(Editor, ChoiceFieldArrowsAreDrawnWhileEditing) {
  // Observe the screen at the second wait: a key that needs no action comes first.
  class Observadora : public plat::ConsolaVirtual {
   public:
    bool LlegirEsdeveniment(plat::Esdeveniment& e, int espera_ms) override {
      if (vista.empty()) vista = Fila(4);
      return ConsolaVirtual::LlegirEsdeveniment(e, espera_ms);
    }
    std::string vista;
  } obs;
  plat::FixarConsola(&obs);
  FixarOpcions(kOpcions);
  obs.Tecla(kTeclaEscape);
  int16_t f = 5, c = 10, a = 0, cur = 1, k = 0;
  std::string t = "W";
  EditaCamp(f, c, a, t, cur, k);
  EXPECT_EQ(obs.vista.substr(8, 9), "\x11WINDOWS\x10");
  // The code must equal the whole text, trailing spaces included: "W  " is no match.
  obs.vista.clear();
  FixarOpcions(kOpcions);
  obs.Tecla(kTeclaEscape);
  t = "W  ";
  EditaCamp(f, c, a, t, cur, k);
  EXPECT_EQ(obs.vista.substr(8, 9), "\x11HTML   \x10");
  EXPECT_EQ(t, "H  ");
  plat::FixarConsola(&con);
}

TEST_F(Editor, ChoiceSearchByFirstLetterAndStepping) {
  FixarOpcions(kOpcions);
  Claus({'p', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "F  ");
  FixarOpcions(kOpcions);
  Claus({'P', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "F  ");
  // Codes are not searched.
  FixarOpcions(kOpcions);
  Claus({'f', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "H  ");
  // Space and Right step forward and wrap; Left steps back from the first to the last.
  FixarOpcions(kOpcions);
  Claus({'p', ' ', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "W  ");
  FixarOpcions(kOpcions);
  Claus({'p', ' ', ' ', kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "H  ");
  FixarOpcions(kOpcions);
  Claus({kTeclaEsquerra, kTeclaEscape});
  EXPECT_EQ(Edita("H  ", 1, 2).text, "W  ");
  EXPECT_FALSE(SenseAccents);

  // The search starts after the current option and ignores case and accents.
  FixarOpcions("|1,\x82s|2,ERA|3,Est");
  Claus({'e', kTeclaEscape});
  EXPECT_EQ(Edita("1", 1, 2).text, "2");
  FixarOpcions("|1,\x82s|2,ERA|3,Est");
  Claus({'\x90', kTeclaEscape});  // capital E acute
  EXPECT_EQ(Edita("3", 1, 2).text, "1");

  // No matching code: the first option; the last of equal codes otherwise; a longer code
  // is cut to the field.
  FixarOpcions("|A,uno|B,dos|B,tres");
  Clau(kTeclaEscape);
  Edita("B", 1, 2);
  EXPECT_EQ(Tros(1, 2, 4), "tres");
  FixarOpcions("|LONG,llarg");
  Clau(kTeclaEscape);
  EXPECT_EQ(Edita("zz", 1, 2).text, "LO");
}

TEST_F(Editor, ChoiceFieldIgnoresEditingKeysAndCopiesTheDescription) {
  FixarOpcions(kOpcions);
  Claus({kTeclaRetroces, kTeclaSupr, kTeclaCtrlInici, kTeclaCtrlY, kTeclaCtrlV, kTeclaInici, kTeclaFinal,
         kTeclaCtrlC, kTeclaEscape});
  Resultat r = Edita("W", 1, 2);
  EXPECT_EQ(r.text, "W");
  EXPECT_EQ(r.tecla, kTeclaEscape);
  EXPECT_EQ(plat::LlegirPortaretalls(), "WINDOWS");
  // Insert still toggles the mode; Up leaves.
  FixarOpcions(kOpcions);
  Claus({kTeclaInsercio, kTeclaAmunt});
  EXPECT_EQ(Edita("W", 1, 2).tecla, kTeclaAmunt);
  EXPECT_TRUE(plat::ModeInsercio());
}

TEST_F(Editor, MouseInPlainFields) {
  // Inside: the cursor moves to the cell clicked; typing lands there.
  Clic(3, 7);
  Claus({'Q', kTeclaEscape});
  Resultat r = Edita("abcdefghij", 3, 5);
  EXPECT_EQ(r.text, "abQdefghij");
  // Second line of a multi-line field, also the last line when it is not full.
  Clic(4, 2);
  Claus({'Q', kTeclaEscape});
  EXPECT_EQ(Edita("abcdefgh", 3, 1, 5).text, "abcdefQh");
  // Outside: leaves with the mouse code.
  Clic(7, 30);
  r = Edita("abc", 3, 5);
  EXPECT_EQ(r.tecla, -(30 * 100 + 7));
  // A mouse code leaves even when the key list does not name it.
  Acceptar("d,1b");
  Clic(7, 30);
  EXPECT_EQ(Edita("abc", 3, 5).tecla, -3007);
}

TEST_F(Editor, MouseInChoiceFields) {
  FixarOpcions(kOpcions);
  Clic(5, 17);  // right arrow
  Clau(kTeclaEscape);
  EXPECT_EQ(Edita("H", 5, 10).text, "F");
  FixarOpcions(kOpcions);
  Clic(5, 9);  // left arrow
  Clau(kTeclaEscape);
  EXPECT_EQ(Edita("H", 5, 10).text, "W");
  // The description: key 0, which leaves when every key is accepted.
  FixarOpcions(kOpcions);
  Clic(5, 12);
  EXPECT_EQ(Edita("H", 5, 10).tecla, 0);
  // ... and is ignored under a key list.
  Acceptar("d,1b");
  FixarOpcions(kOpcions);
  Clic(5, 12);
  Clau(kTeclaEnter);
  EXPECT_EQ(Edita("H", 5, 10).tecla, kTeclaEnter);
  // Elsewhere: leaves with the mouse code.
  FixarOpcions(kOpcions);
  Clic(6, 12);
  EXPECT_EQ(Edita("H", 5, 10).tecla, -1206);
}

TEST_F(Editor, CoordinatesAreRelativeToTheOpenWindow) {
  DesarFinestra(5, 18, 20, 72);
  Clic(9, 24);  // absolute: window row 4, column 6 -> field position 3
  Claus({'Q', kTeclaEscape});
  Resultat r = Edita("abcdef", 4, 4);
  EXPECT_EQ(r.text, "abQdef");
  EXPECT_EQ(Tros(9, 22, 6), "abQdef");
  RestaurarFinestra();
}

TEST_F(Editor, EntryDefaultsAreWrittenBack) {
  con.PosarCursor(6, 11);
  Clau(kTeclaEscape);
  Resultat r = Edita("abc", 0, 0, 0, 99);
  EXPECT_EQ(r.fila, 7);
  EXPECT_EQ(r.col, 12);
  EXPECT_EQ(r.amplada, 4);
  EXPECT_EQ(r.cursor, 4);
  EXPECT_EQ(Tros(7, 12, 3), "abc");
  Clau(kTeclaEscape);
  EXPECT_EQ(Edita("abc", 1, 1, 0, -5).cursor, 1);
}

TEST_F(Editor, RandomKeysNeverChangeTheLength) {
  std::mt19937 gen(1234);
  const int codis[] = {kTeclaEsquerra, kTeclaDreta, kTeclaRetroces, kTeclaSupr, kTeclaInici, kTeclaFinal,
                       kTeclaCtrlInici, kTeclaCtrlY, kTeclaAmunt, kTeclaAvall, kTeclaCtrlEsquerra,
                       kTeclaCtrlDreta, kTeclaCtrlC, kTeclaCtrlV, kTeclaInsercio, kTeclaTabInvers};
  Acceptar("1b");
  for (int volta = 0; volta < 200; ++volta) {
    for (int i = 0; i < 40; ++i) {
      int tria = static_cast<int>(gen() % 3);
      if (tria == 0) {
        Clau(codis[gen() % (sizeof codis / sizeof codis[0])]);
      } else {
        Clau(static_cast<int>(gen() % 255) + 1);
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
