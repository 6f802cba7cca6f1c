// The text field editor: edits one fixed-length value in place until the user leaves.
// Plain (one or several lines), masked and choice fields share one keyboard loop.
#pragma once
#include <cstdint>
#include <string>

// Edits `text` at (fila, columna) in the coordinates of SituarCursor, `amplada` characters
// per display line (0 = one line). Reads the option list, the mask character and the exit
// keys from the key layer. The length of `text` never changes. On return `tecla` holds the
// key that ended the edit (after the exit-key translations) or a negative mouse code
// -(column * 100 + row); fila, columna, amplada and cursor hold the values used.
void EditaCamp(int16_t& fila, int16_t& columna, int16_t& amplada, std::string& text,
               int16_t& cursor, int16_t& tecla);

// Control keys the editor acts on (the named keys are in console/tecles.h).
enum : int16_t {
  kTeclaCtrlB = 0x02,
  kTeclaCtrlC = 0x03,
  kTeclaRetroces = 0x08,
  kTeclaCtrlV = 0x16,
  kTeclaCtrlY = 0x19,
  kTeclaCtrlF4 = 0x6100,
  kTeclaAltF4 = 0x6B00,
};

// Word separators of the word moves.
bool SeparadorParaula(unsigned char c);
