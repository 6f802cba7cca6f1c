// Screen windows: the current window, the window stack kept in WinPush.tmp in the work
// directory (shared by the suite's programs using that directory), frames, message boxes
// and a program-wide stack of small byte strings.
//
// Coordinates are 1-based screen rows and columns unless stated otherwise.
#pragma once
#include <cstdint>
#include <string>

struct FinestraActualT {
  int16_t Nivell = 0;    // windows saved on the stack by this program; 0 = none open
  int16_t Dalt = 0;      // frame top row
  int16_t Esquerra = 0;  // frame left column
  int16_t Baix = 0;      // frame bottom row
  int16_t Dreta = 0;     // frame right column
};
extern FinestraActualT FinestraActual;

// Stack of byte strings: each item is its bytes followed by its length (2 bytes, little
// endian). Items are at most 32767 bytes.
extern std::string PilaText;

// Saves the rectangle (cells, colours, cursor, previous current window) and makes it the
// current window. Does nothing when a coordinate lies outside the console.
void DesarFinestra(int16_t dalt, int16_t esquerra, int16_t baix, int16_t dreta);
// Repaints the last saved rectangle, puts the cursor and the previous window back.
// Nothing when no window is open.
void RestaurarFinestra();
// Frame of the current window, inside cleared, in the current colour. Style 0 blanks,
// 1 single line, 2 double line, other: character 0. Nothing when no window is open.
void DibuixarMarc(int16_t estil);
// Cursor position relative to the current window (row 0 = frame top line); screen
// coordinates when no window is open.
void SituarCursor(int16_t fila, int16_t columna);

int16_t FilesConsola();
int16_t ColumnesConsola();
int16_t PrimeraFila();     // 1, or frame top + 1
int16_t PrimeraColumna();  // 1, or frame left + 1
int16_t DarreraColumna();  // console width, or frame right - 1

// Scrolls the rectangle (0-based screen coordinates) n lines: n > 0 up, n < 0 down. The
// uncovered lines become spaces in the current colour.
void DesplacarRegio(int16_t dalt, int16_t esquerra, int16_t baix, int16_t dreta, int16_t n);

// Framed message box centred on the given row and on column 41; stays open (the caller
// closes it with RestaurarFinestra).
void MostrarMissatge(int16_t fila, const std::string& text);

void ApilarText(const std::string& text);
std::string DesapilarText();  // "" when the stack is empty

// Writes the text at the cursor in the current colour; the cursor moves past it.
void EscriureText(const std::string& text);

// Path of the window file (work directory + "WinPush.tmp").
std::string FitxerFinestres();

// Tests: no window open, empty text stack, the in-memory copy of the window file dropped.
// The window file itself is left alone.
void ReiniciarFinestres();
