// Arbitrary file bytes through the INI reader and writer. The first byte picks the
// section and key; bytes after the last 0xFF (if any) are the value to write.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "session/ini.h"

namespace {

std::string Cami() {
  char buf[4096];
  if (!getcwd(buf, sizeof buf)) abort();
  return std::string(buf) + "/fuzz_" + std::to_string(getpid()) + ".ini";
}

void Posar(const std::string& cami, const std::string& dades) {
  FILE* f = fopen(cami.c_str(), "wb");
  if (!f) abort();
  fwrite(dades.data(), 1, dades.size(), f);
  fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::string cami = Cami();
  IniSincronitzarDisc = false;  // durability is not under test here
  static const char* const seccions[] = {"A", "Opcions", "sec"};
  static const char* const claus[] = {"x", "Clau", "K"};
  const std::string seccio = seccions[data[0] % 3];
  const std::string clau = claus[(data[0] / 3) % 3];

  std::string fitxer(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string valor;
  const size_t sep = fitxer.rfind('\xFF');
  if (sep != std::string::npos) {
    valor = fitxer.substr(sep + 1, 200);
    fitxer.resize(sep);
  }
  Posar(cami, fitxer);

  const std::string primer = LlegirIni(cami, seccio, clau);
  const std::string altra = LlegirIni(cami, "B", "y");
  {
    // Lookups on one opening give what separate calls give, in either order.
    IniObert ini(cami);
    if (ini.Valor("B", "y") != altra || ini.Valor(seccio, clau) != primer || ini.Valor("B", "y") != altra) abort();
  }

  // What is written reads back, for values the format can hold.
  const bool representable = valor.find_first_of(";\r\n") == std::string::npos &&
                             !(valor.size() >= 2 && valor.front() == '"' && valor.back() == '"');
  EscriureIni(cami, seccio, clau, valor);
  if (representable && LlegirIni(cami, seccio, clau) != valor) abort();
  // Other sections are not disturbed.
  if (LlegirIni(cami, "B", "y") != altra) abort();
  // Writing the same value again changes nothing.
  FILE* f = fopen(cami.c_str(), "rb");
  std::string abans;
  if (f) {
    char b[4096];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0) abans.append(b, n);
    fclose(f);
  }
  EscriureIni(cami, seccio, clau, valor);
  f = fopen(cami.c_str(), "rb");
  std::string despres;
  if (f) {
    char b[4096];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0) despres.append(b, n);
    fclose(f);
  }
  if (abans != despres) abort();
  unlink(cami.c_str());
  return 0;
}
