// The pop-up adding machine (Alt+X) with its paper tape, and the hot-key registration of
// the calculator and the calendar.
#pragma once
#include <cstdint>
#include <string>

struct LiniaCinta {
  double Valor = 0;
  bool Punt = false;
  int16_t Decimals = 0;
  std::string Operacio;  // the key it was entered with, " " for a result, "" never used
};

constexpr int kLiniesCinta = 22;

// Everything the calculator keeps between openings (file KEVCALC.TMP of the terminal).
struct EstatCalculadoraT {
  int16_t Columna = 1;          // left edge, 1..55
  int16_t PrimeraFilaCinta = 23;  // oldest tape row shown, 2..23 (23: none)
  double Entrada = 0;
  double Total = 0;
  bool Netejat = true;
  bool Teclejant = false;
  bool Punt = false;
  int16_t Decimals = 0;
  std::string DarreraTecla;  // 1 byte, or the 2 bytes of an extended key
  std::string Pendent;       // "+", "-", "*", "/" or ""
  LiniaCinta Cinta[kLiniesCinta];  // [21] is the newest
};

// State file text: comma-separated items, CR LF line ends.
std::string EscriureEstatCalculadora(const EstatCalculadoraT& e);
// Reads as far as the bytes make sense; missing items keep their start values, anything
// past tape line 22 is ignored.
EstatCalculadoraT LlegirEstatCalculadora(const std::string& dades);
// DirTerminal + "KEVCALC.TMP".
std::string FitxerCalculadora();

// Runs the calculator; the result to type into the field, or "".
std::string Calculadora();

// The 22-character text of a value on the tape or entry line.
std::string TextNumeroCalculadora(double valor, bool punt, int16_t decimals);
// The text "F" hands back for a value shown with the given decimals.
std::string ResultatCalculadora(double valor, int16_t decimals);

// Alt+X opens the calculator, Alt+C the calendar.
void RegistrarCalculadoraICalendari();
