// The window file as another program might leave it: whatever its bytes, saving and
// restoring windows neither crashes nor reads outside the file, every restore ends, and
// our own windows still put the screen back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/finestres.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "session/sessio.h"

namespace {

std::string Carpeta() {
  static std::string dir = [] {
    char plantilla[] = "/tmp/fuzzfinestres-XXXXXX";
    if (!mkdtemp(plantilla)) std::abort();
    return std::string(plantilla) + "/";
  }();
  return dir;
}

std::string Celles(const plat::Consola& c) {
  std::string s;
  for (int f = 0; f < c.Alcada(); ++f)
    for (int k = 0; k < c.Amplada(); ++k) s += static_cast<char>(c.LlegirCella(f, k).car);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  static plat::ConsolaVirtual con;
  plat::FixarConsola(&con);
  ReiniciarFinestres();
  ReiniciarColors();
  EstatSessio.DirTmp = Carpeta();
  const std::string cami = Carpeta() + "WinPush.tmp";
  if (FILE* f = std::fopen(cami.c_str(), "wb")) {
    std::fwrite(dades, 1, mida, f);
    std::fclose(f);
  }

  // Restoring records we did not write: any screen change is allowed, no crash.
  FinestraActual.Nivell = 3;
  for (int i = 0; i < 4; ++i) RestaurarFinestra();
  if (FinestraActual.Nivell != 0) std::abort();

  // Our own windows on top of whatever is left must come back exactly.
  if (FILE* f = std::fopen(cami.c_str(), "wb")) {
    std::fwrite(dades, 1, mida, f);
    std::fclose(f);
  }
  for (int f = 0; f < con.Alcada(); ++f)
    for (int k = 0; k < con.Amplada(); ++k)
      con.EscriureCella(f, k, plat::Cella{static_cast<uint8_t>('a' + (f + k) % 26), 7});
  const std::string abans = Celles(con);
  DesarFinestra(2, 2, 20, 70);
  DibuixarMarc(2);
  DesarFinestra(5, 5, 8, 30);
  DibuixarMarc(1);
  RestaurarFinestra();
  RestaurarFinestra();
  if (Celles(con) != abans || FinestraActual.Nivell != 0) std::abort();
  std::remove(cami.c_str());
  return 0;
}
