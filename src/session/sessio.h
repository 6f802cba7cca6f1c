// The session record: filled once at start-up, read by everybody afterwards.
#pragma once
#include <cstdint>
#include <string>

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
