#include <gtest/gtest.h>
#include <sys/stat.h>

#include "util/entorn_pantalla.h"

namespace {

std::string Cim(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

using Finestres = PantallaTest;

TEST_F(Finestres, RecordBytesAndStackTop) {
  OmplirPatro();
  con.PosarCursor(2, 3);
  DesarFinestra(5, 10, 7, 12);
  std::string esperat = Cim(48) + "0304" "00000000" "05100712";
  for (int f = 4; f <= 6; ++f)
    for (int c = 9; c <= 11; ++c) {
      esperat += static_cast<char>(con.LlegirCella(f, c).car);
      esperat += static_cast<char>(con.LlegirCella(f, c).atr);
    }
  esperat += "00043";
  EXPECT_EQ(Fitxer(), esperat);
  EXPECT_EQ(FinestraActual.Nivell, 1);
  EXPECT_EQ(FinestraActual.Dalt, 5);
  EXPECT_EQ(FinestraActual.Dreta, 12);

  // The second record carries the first window as the previous one.
  con.PosarCursor(0, 0);
  DesarFinestra(1, 1, 1, 2);
  const std::string f = Fitxer();
  ASSERT_EQ(f.size(), 47u + 29u);
  EXPECT_EQ(f.substr(0, 4), Cim(77));
  EXPECT_EQ(f.substr(47, 20), "01010510071201010102");
  EXPECT_EQ(f.substr(71, 5), "00029");
}

TEST_F(Finestres, RestoreBringsBackCellsColoursCursorAndWindow) {
  OmplirPatro();
  const std::string abans = TotesLesCeles();
  con.PosarCursor(10, 20);
  DesarFinestra(3, 5, 20, 70);
  FixarColor(14, 1);
  DibuixarMarc(2);
  SituarCursor(1, 1);
  EscriureText("Finestra exterior");
  DesarFinestra(8, 30, 12, 50);
  DibuixarMarc(1);
  DesarFinestra(9, 31, 9, 31);
  EXPECT_EQ(FinestraActual.Nivell, 3);

  RestaurarFinestra();
  EXPECT_EQ(FinestraActual.Nivell, 2);
  EXPECT_EQ(FinestraActual.Dalt, 8);
  EXPECT_EQ(FinestraActual.Esquerra, 30);
  RestaurarFinestra();
  EXPECT_EQ(FinestraActual.Dalt, 3);
  EXPECT_EQ(FinestraActual.Baix, 20);
  EXPECT_TRUE(HiHaFitxer());
  RestaurarFinestra();
  EXPECT_EQ(TotesLesCeles(), abans);
  EXPECT_EQ(con.FilaCursor(), 10);
  EXPECT_EQ(con.ColCursor(), 20);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_EQ(FinestraActual.Dalt, 0);
  EXPECT_FALSE(HiHaFitxer());
  // The colour left is that of the last cell repainted (bottom right).
  EXPECT_EQ(ColorConsola, con.LlegirCella(19, 69).atr);
}

TEST_F(Finestres, CoordinatesOutsideTheConsoleSaveNothing) {
  DesarFinestra(1, 0, 5, 5);
  DesarFinestra(1, 1, 5, 81);
  DesarFinestra(0, 1, 5, 5);
  DesarFinestra(1, 1, 26, 5);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(HiHaFitxer());
  RestaurarFinestra();  // empty stack: nothing
  EXPECT_EQ(FinestraActual.Nivell, 0);
  DesarFinestra(25, 80, 25, 80);
  EXPECT_EQ(FinestraActual.Nivell, 1);
}

TEST_F(Finestres, UnorderedRectangleHoldsNoCells) {
  DesarFinestra(7, 5, 5, 9);
  const std::string f = Fitxer();
  ASSERT_EQ(f.size(), 29u);
  EXPECT_EQ(f.substr(24), "00025");
  RestaurarFinestra();
  EXPECT_FALSE(HiHaFitxer());
}

TEST_F(Finestres, CursorAndBoundsFollowTheInnermostWindow) {
  EXPECT_EQ(PrimeraFila(), 1);
  EXPECT_EQ(PrimeraColumna(), 1);
  EXPECT_EQ(DarreraColumna(), 80);
  EXPECT_EQ(FilesConsola(), 25);
  EXPECT_EQ(ColumnesConsola(), 80);
  SituarCursor(3, 4);
  EXPECT_EQ(con.FilaCursor(), 2);
  EXPECT_EQ(con.ColCursor(), 3);
  DesarFinestra(5, 18, 20, 72);
  SituarCursor(0, 1);
  EXPECT_EQ(con.FilaCursor(), 4);
  EXPECT_EQ(con.ColCursor(), 18);
  EXPECT_EQ(PrimeraFila(), 6);
  EXPECT_EQ(PrimeraColumna(), 19);
  EXPECT_EQ(DarreraColumna(), 71);
  RestaurarFinestra();
  EXPECT_EQ(DarreraColumna(), 80);
}

TEST_F(Finestres, FrameStyles) {
  DibuixarMarc(1);  // no window: nothing drawn
  EXPECT_EQ(con.Fila(0), std::string(80, ' '));

  DesarFinestra(2, 3, 5, 8);
  FixarColor(15, 4);
  DibuixarMarc(1);
  EXPECT_EQ(con.Fila(1).substr(0, 10), "  \xDA\xC4\xC4\xC4\xC4\xBF  ");
  EXPECT_EQ(con.Fila(2).substr(0, 10), "  \xB3    \xB3  ");
  EXPECT_EQ(con.Fila(3).substr(0, 10), "  \xB3    \xB3  ");
  EXPECT_EQ(con.Fila(4).substr(0, 10), "  \xC0\xC4\xC4\xC4\xC4\xD9  ");
  EXPECT_EQ(con.Colors(1).substr(0, 20), "7070f4f4f4f4f4f47070");

  DibuixarMarc(2);
  EXPECT_EQ(con.Fila(1).substr(2, 6), "\xC9\xCD\xCD\xCD\xCD\xBB");
  EXPECT_EQ(con.Fila(3).substr(2, 6), "\xBA    \xBA");
  EXPECT_EQ(con.Fila(4).substr(2, 6), "\xC8\xCD\xCD\xCD\xCD\xBC");

  DibuixarMarc(0);
  EXPECT_EQ(con.Fila(1).substr(2, 6), "      ");

  DibuixarMarc(9);
  EXPECT_EQ(con.Fila(1).substr(2, 6), std::string(6, '\0'));
  EXPECT_EQ(con.Fila(2).substr(2, 6), std::string(1, '\0') + "    " + std::string(1, '\0'));
}

TEST_F(Finestres, MessageBoxIsCentredAndLeftOpen) {
  EstatSessio.TaulaColors[2][0] = 0;
  EstatSessio.TaulaColors[2][1] = 7;
  TriaColor("n");
  MostrarMissatge(12, "Hola");
  std::string esperat;
  for (int f = 1; f <= 25; ++f) {
    std::string fila(80, ' ');
    if (f == 9) fila.replace(36, 8, "┌──────┐");
    if (f == 10) fila.replace(36, 8, "│ Hola │");
    if (f == 11) fila.replace(36, 8, "└──────┘");
    esperat += fila + "\n";
  }
  EXPECT_EQ(con.Pantalla(), esperat);
  EXPECT_EQ(con.Colors(9).substr(72, 16), "0707070707070707");
  EXPECT_EQ(FinestraActual.Nivell, 1);
  EXPECT_EQ(ColorActual, 1);  // the caller's role is back
  EXPECT_TRUE(PilaColors.empty());
  RestaurarFinestra();
  std::string buida;
  for (int f = 0; f < 25; ++f) buida += std::string(80, ' ') + "\n";
  EXPECT_EQ(con.Pantalla(), buida);
}

TEST_F(Finestres, MessageBoxWrapsAndKeepsToTheScreen) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "missatge ";  // 180 characters: three lines
  MostrarMissatge(30, text);
  EXPECT_EQ(FinestraActual.Baix, 25);
  EXPECT_EQ(FinestraActual.Dalt, 21);
  // Widest line: eight words, 71 characters.
  EXPECT_EQ(FinestraActual.Esquerra, 41 - 36 - 2);
  EXPECT_EQ(FinestraActual.Dreta, 41 + 35 + 1);
  EXPECT_EQ(con.Fila(21).substr(0, 14), "  \xB3 missatge m");
  EXPECT_EQ(con.Fila(23).substr(0, 42), "  \xB3 missatge missatge missatge missatge   ");
  RestaurarFinestra();

  // Row 24 with one line: rows 21 to 23.
  MostrarMissatge(24, "Registre bloquejat");
  EXPECT_EQ(FinestraActual.Dalt, 21);
  EXPECT_EQ(FinestraActual.Baix, 23);
  EXPECT_EQ(FinestraActual.Esquerra, 41 - 9 - 2);
  EXPECT_EQ(FinestraActual.Dreta, 41 + 9 + 1);
  RestaurarFinestra();
  EXPECT_FALSE(HiHaFitxer());
}

TEST_F(Finestres, MessageBoxTooTallShowsNothing) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += std::string(75, 'x') + " ";
  MostrarMissatge(12, text);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(HiHaFitxer());
  EXPECT_EQ(con.Fila(0), std::string(80, ' '));
  EXPECT_TRUE(PilaColors.empty());
}

TEST_F(Finestres, ScrollRegion) {
  for (int f = 0; f < 5; ++f) con.EscriureCella(f, 1, plat::Cella{static_cast<uint8_t>('0' + f), 7});
  con.EscriureCella(0, 0, plat::Cella{'L', 7});
  con.EscriureCella(0, 2, plat::Cella{'R', 7});
  FixarColor(2, 3);
  DesplacarRegio(0, 1, 4, 1, 2);
  std::string col;
  for (int f = 0; f < 5; ++f) col += static_cast<char>(con.LlegirCella(f, 1).car);
  EXPECT_EQ(col, "234  ");
  EXPECT_EQ(con.LlegirCella(4, 1).atr, 0x32);
  EXPECT_EQ(con.LlegirCella(0, 0).car, 'L');
  EXPECT_EQ(con.LlegirCella(0, 2).car, 'R');
  DesplacarRegio(0, 1, 4, 1, -1);
  col.clear();
  for (int f = 0; f < 5; ++f) col += static_cast<char>(con.LlegirCella(f, 1).car);
  EXPECT_EQ(col, " 234 ");
  DesplacarRegio(0, 1, 4, 1, 40);
  col.clear();
  for (int f = 0; f < 5; ++f) col += static_cast<char>(con.LlegirCella(f, 1).car);
  EXPECT_EQ(col, "     ");
  DesplacarRegio(20, 70, 40, 120, -3);  // clipped to the console, no crash
}

TEST_F(Finestres, TextStack) {
  ApilarText("AB");
  ApilarText("C");
  EXPECT_EQ(PilaText, std::string("AB\x02\x00" "C\x01\x00", 7));
  EXPECT_EQ(DesapilarText(), "C");
  EXPECT_EQ(DesapilarText(), "AB");
  EXPECT_TRUE(PilaText.empty());
  EXPECT_EQ(DesapilarText(), "");
  ApilarText(std::string(40000, 'z'));
  EXPECT_EQ(DesapilarText().size(), 32767u);
  PilaText = std::string("ab\xFF\x7F", 4);  // a length the stack cannot hold
  EXPECT_EQ(DesapilarText(), "ab");
  EXPECT_TRUE(PilaText.empty());
}

// A stack left by another program of the suite stays under ours and is not touched.
TEST_F(Finestres, ForeignStackIsKept) {
  // One record without cells, then two stray bytes beyond the stack top.
  const std::string fitxer = Cim(30) + "01010000000002010101" + "00025" + "zz";
  dir.Escriure("WinPush.tmp", fitxer);
  RestaurarFinestra();  // none of ours open
  EXPECT_EQ(Fitxer(), fitxer);

  OmplirPatro();
  const std::string abans = TotesLesCeles();
  DesarFinestra(2, 2, 4, 4);
  EXPECT_EQ(Fitxer().substr(0, 4), Cim(30 + 43));
  DibuixarMarc(2);
  RestaurarFinestra();
  EXPECT_EQ(TotesLesCeles(), abans);
  EXPECT_TRUE(HiHaFitxer());
  EXPECT_EQ(Fitxer().substr(0, 4), Cim(30));
}

TEST_F(Finestres, DamagedFilesAreReadSafely) {
  struct Cas {
    const char* nom;
    std::string dades;
  } casos[] = {
      {"garbage", std::string(300, '\xAB')},
      {"short", "\x01\x02"},
      {"top far beyond the end", Cim(0x7FFFFFFF) + "01010000000001010101" "ab" "00027"},
      {"negative top", Cim(0x80000000u) + "01010000"},
      {"top inside a record", Cim(20) + "01010000000001010101" "xx" "00027"},
      {"length that lies", Cim(48) + "01010000000005100712" + std::string(18, '9') + "00099"},
  };
  OmplirPatro();
  const std::string abans = TotesLesCeles();
  for (const Cas& c : casos) {
    dir.Escriure("WinPush.tmp", c.dades);
    DesarFinestra(3, 3, 10, 40);
    DesarFinestra(5, 5, 6, 6);
    FixarColor(1, 2);
    DibuixarMarc(1);
    RestaurarFinestra();
    RestaurarFinestra();
    EXPECT_EQ(TotesLesCeles(), abans) << c.nom;
    EXPECT_EQ(FinestraActual.Nivell, 0) << c.nom;
  }
}

TEST_F(Finestres, ValidPartOfAFileWithADamagedTopIsRestored) {
  OmplirPatro();
  DesarFinestra(2, 2, 3, 3);
  const std::string bo = Fitxer();
  const std::string abans = TotesLesCeles();
  DibuixarMarc(2);
  // Someone spoilt the stack top: the whole record below it still comes back.
  dir.Escriure("WinPush.tmp", Cim(5000) + bo.substr(4));
  RestaurarFinestra();
  EXPECT_EQ(TotesLesCeles(), abans);
}

TEST_F(Finestres, FileDeletedUnderUsStillRestores) {
  OmplirPatro();
  const std::string abans = TotesLesCeles();
  DesarFinestra(2, 2, 10, 10);
  DibuixarMarc(1);
  std::remove((dir.Host() + "WinPush.tmp").c_str());
  RestaurarFinestra();
  EXPECT_EQ(TotesLesCeles(), abans);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(HiHaFitxer());
}

TEST_F(Finestres, UnwritableWorkDirectoryKeepsWindowsInMemory) {
  EstatSessio.DirTmp = dir.Programa() + "no\\existeix\\";
  OmplirPatro();
  const std::string abans = TotesLesCeles();
  con.PosarCursor(7, 8);
  DesarFinestra(2, 2, 10, 40);
  DibuixarMarc(2);
  DesarFinestra(4, 4, 6, 20);
  DibuixarMarc(1);
  RestaurarFinestra();
  EXPECT_EQ(FinestraActual.Dalt, 2);
  RestaurarFinestra();
  EXPECT_EQ(TotesLesCeles(), abans);
  EXPECT_EQ(con.FilaCursor(), 7);
  EXPECT_EQ(con.ColCursor(), 8);
  EXPECT_EQ(FinestraActual.Nivell, 0);
}

#ifndef _WIN32
// Something other than a file under the window file's name (a FIFO no one writes to)
// must not stall the run: the windows are kept in memory, as for an unwritable folder,
// and the name is cleared when the stack empties, as the file would be.
TEST_F(Finestres, NonFileInPlaceOfTheWindowFileIsLeftAlone) {
  ASSERT_EQ(mkfifo((dir.Host() + "WinPush.tmp").c_str(), 0600), 0);
  OmplirPatro();
  const std::string abans = TotesLesCeles();
  DesarFinestra(2, 2, 10, 40);
  DibuixarMarc(2);
  RestaurarFinestra();
  EXPECT_EQ(TotesLesCeles(), abans);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_FALSE(HiHaFitxer());
}
#endif

TEST_F(Finestres, WorkDirectoryWithoutTrailingSeparator) {
  std::string d = dir.Programa();
  d.pop_back();
  EstatSessio.DirTmp = d;
  DesarFinestra(1, 1, 2, 2);
  EXPECT_TRUE(HiHaFitxer());
  RestaurarFinestra();
  EXPECT_FALSE(HiHaFitxer());
}

}  // namespace
