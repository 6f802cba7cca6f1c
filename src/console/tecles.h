// Keys and key lists. A key code is 16-bit: a character is its CP850 code, an extended key
// its scan code x 256 (hex 4800 is Up), 0 means no key. Key lists are hexadecimal codes
// separated by commas, "a=b" accepting key a and reporting it as key b.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Keys that end a field edit: entry i of Acceptades (2 bytes, little endian) is reported
// as entry i of Traduccions. Both empty: every key ends the edit.
struct TeclesSortidaT {
  std::string Acceptades;
  std::string Traduccions;
  bool operator==(const TeclesSortidaT&) const = default;
};
extern TeclesSortidaT TeclesSortida;
// Lists saved by "+" (last saved at the back); each "-" restores its own "+".
extern std::vector<TeclesSortidaT> TeclesDesades;

extern int16_t CaracterOcult;      // 0, or 88 ("X") while a hidden field is edited
extern std::string LlistaOpcions;  // option list of the field about to be edited
// Characters the field about to be edited cannot hold ("" = any): typing one beeps, and a
// paste that holds one is refused whole.
extern std::string CaractersRefusats;
extern std::string TeclesPendents; // keystrokes delivered before real input, one byte each

// 0 not probed yet, 1 reporting on, 2 present but reporting off, 3 no mouse.
extern int16_t EstatRatoli;
// Re-entry guards of the hot keys.
extern bool CalculadoraEnMarxa;
extern bool CalendariEnMarxa;

// Hot-key handlers, registered at start-up: each returns the text to type into the field
// ("" for none). Unregistered: nothing opens.
extern std::function<std::string()> ObrirCalculadora;  // Alt+X (2d00)
extern std::function<std::string()> ObrirCalendari;    // Alt+C (2e00)

// Key codes used across the program.
enum : int16_t {
  kTeclaEnter = 0x0D,
  kTeclaEscape = 0x1B,
  kTeclaTab = 0x09,
  kTeclaTabInvers = 0x0F00,
  kTeclaAmunt = 0x4800,
  kTeclaAvall = 0x5000,
  kTeclaEsquerra = 0x4B00,
  kTeclaDreta = 0x4D00,
  kTeclaInici = 0x4700,
  kTeclaFinal = 0x4F00,
  kTeclaRePag = 0x4900,
  kTeclaAvPag = 0x5100,
  kTeclaInsercio = 0x5200,
  kTeclaSupr = 0x5300,
  kTeclaF1 = 0x3B00,
  kTeclaF2 = 0x3C00,
  kTeclaF4 = 0x3E00,
  kTeclaCtrlEsquerra = 0x7300,
  kTeclaCtrlDreta = 0x7400,
  kTeclaCtrlInici = 0x7700,
  kTeclaAltF = 0x2100,
  kTeclaAltX = 0x2D00,
  kTeclaAltC = 0x2E00,
  kTeclaEuro = 0xD5,
};

// Never waits: key (0 = none), and for a released mouse button its number, row and column
// (1-based screen coordinates). A pending keystroke leaves boto, fila and columna as they were.
void LlegirTecla(int16_t& tecla, int16_t& boto, int16_t& fila, int16_t& columna);
// Waits for a key; a click arrives as columna * 256 + boto * 64 + fila (16 bits).
int16_t EsperarTecla();
// Waits (blocking in the console, no polling) until LlegirTecla has a key or a click with
// a button; results as LlegirTecla's. Used by the field editor.
void EsperarTeclaOClic(int16_t& tecla, int16_t& boto, int16_t& fila, int16_t& columna);
// A paste from the terminal (bracketed paste) arrives from LlegirTecla as Ctrl+V (16) with
// its text here (a Ctrl+V typed on the keyboard clears it); the field editor pastes this
// text instead of the clipboard's and clears it.
extern std::string TextEnganxat;
// Discards console input waiting; TeclesPendents stays.
void BuidarTeclat();
// Operation letters (any case), in order: D delete the list's keys, A add them, E empty,
// + save, - restore the last saved, H hidden field on, V hidden field off.
void GestionarTecles(const std::string& operacions, const std::string& llista);
void FixarOpcions(const std::string& opcions);

// Value of one key-list item: hexadecimal digits, anything else reads as 0.
int16_t ValorTecla(const std::string& item);
// Whether the key ends a field edit under TeclesSortida; an accepted key is replaced by
// its translation. A code missing from a non-empty list ends the edit only for a click:
// F11, F12 and their combinations are negative codes too, and are refused like any
// unlisted key rather than reaching the form as a click nowhere.
bool EsTeclaSortida(int16_t& tecla, bool clic);

// Tests: empty lists and save area, no pending keys, mouse not probed, guards clear,
// handlers unregistered.
void ReiniciarTecles();
