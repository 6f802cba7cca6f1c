#include "mail/validacio.h"

namespace {

constexpr int16_t kRefusat = -1;

char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool CaracterDomini(char c) {
  c = Minuscula(c);
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

}  // namespace

int16_t ValidarCorreu(std::string& adreca) {
  const size_t inici = adreca.find_first_not_of(' ');
  if (inici == std::string::npos) return 0;
  const size_t fi = adreca.find_last_not_of(' ');  // last non-space character

  const size_t arroba = adreca.rfind('@');
  if (arroba == std::string::npos) return kRefusat;
  // Something other than spaces must come before the "@".
  if (arroba <= inici) return kRefusat;

  size_t darrerPunt = std::string::npos;
  bool marca = false;  // the current label holds a digit or a hyphen
  for (size_t i = arroba + 1; i <= fi; ++i) {
    const char c = adreca[i];
    if (c == '.') {
      // A label may not be empty: no dot straight after the "@", no two dots in a row.
      if (i == arroba + 1) return kRefusat;
      if (darrerPunt != std::string::npos && darrerPunt + 1 == i) return kRefusat;
      darrerPunt = i;
      marca = false;
    } else {
      if (!CaracterDomini(c)) return kRefusat;
      if ((c >= '0' && c <= '9') || c == '-') marca = true;
    }
  }
  if (darrerPunt == std::string::npos || marca) return kRefusat;
  // The walk stopped at the last non-space, so the last label has no spaces around it.
  if (fi < darrerPunt + 2) return kRefusat;

  for (size_t i = arroba; i < adreca.size(); ++i) adreca[i] = Minuscula(adreca[i]);
  adreca.erase(0, inici);
  return 0;
}
