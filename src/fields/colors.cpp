#include "fields/colors.h"

#include "session/sessio.h"
#include "session/utilitats.h"

int16_t ColorActual = 0;
std::string PilaColors;
uint8_t ColorConsola = 0x07;

void FixarColor(int primerPla, int fons) {
  ColorConsola = static_cast<uint8_t>((primerPla & 15) | ((fons & 15) << 4));
}

void TriaColor(const std::string& mode) {
  std::string m = mode;
  for (char& c : m)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (TotIgual(m, ' ')) return;

  if (m.find('+') != std::string::npos) PilaColors += static_cast<char>(ColorActual);

  int16_t rol = 0;
  if (m.find('-') != std::string::npos) {
    if (!PilaColors.empty()) {
      rol = static_cast<unsigned char>(PilaColors.back());
      PilaColors.pop_back();
    }
  } else if (m.find('U') != std::string::npos) {
    rol = 4;
  } else {
    if (m.find('R') != std::string::npos) rol = 2;
    if (m.find('N') != std::string::npos) rol += 1;
  }
  // Only bytes this module pushed are role numbers; anything else falls back to role 0.
  if (rol < 0 || rol > 4) rol = 0;
  FixarColor(EstatSessio.TaulaColors[rol][0], EstatSessio.TaulaColors[rol][1]);
  ColorActual = rol;
}

void ReiniciarColors() {
  ColorActual = 0;
  PilaColors.clear();
  ColorConsola = 0x07;
}
