// The session record: filled once at start-up, read by everybody afterwards.
#pragma once
#include <cstdint>
#include <string>

// The terminal's session file in the work folder and the installation's user file, each
// under one spelling for every read and write. Names match without regard to case, so
// these are also the "QUILTERM.INI" and "QUIL.INI" other steps name; one spelling keeps
// them one file where a case-sensitive disk holds both, and finds them without a folder
// search where the caller spelled them so.
inline constexpr char kFitxerQuilTerm[] = "QuilTerm.ini";
inline constexpr char kFitxerQuil[] = "Quil.ini";

struct EstatSessioT {
  std::string DirArrel;
  std::string DirExe;
  std::string DirTmp;
  std::string DirTerminal;
  std::string NomMenu;
  std::string Operador;
  std::string Idioma = "   ";       // always 3 characters
  std::string DataTreball;          // packed digits
  std::string Entorn = "DOS";       // "CGI", "WIN" or "DOS"
  int16_t TaulaColors[5][2] = {};  // [row][0 = foreground, 1 = background]
};

extern EstatSessioT EstatSessio;

void IniciSessio();
// Tests: back to the empty record.
void ReiniciarSessio();
