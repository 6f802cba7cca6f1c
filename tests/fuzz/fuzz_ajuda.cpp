// Help files: any bytes shown in the console viewer; the first bytes of the input are the
// keys pressed, the rest is the file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/ajuda.h"
#include "console/finestres.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "session/sessio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  static std::string carpeta = [] {
    char plantilla[] = "/tmp/fuzzajuda-XXXXXX";
    if (!mkdtemp(plantilla)) abort();
    std::string c = std::string(plantilla) + "/";
    plat::CrearDirectori(c + "AJUDA");
    if (!plat::CanviarDirectori(c)) abort();
    return c;
  }();
  static plat::ConsolaVirtual con;
  plat::FixarConsola(&con);
  EstatSessio.DirTmp = carpeta;
  ReiniciarFinestres();
  ReiniciarColors();

  const size_t claus = mida < 8 ? mida : 8;
  static const uint8_t kScans[] = {0x50, 0x48, 0x51, 0x49, 0x47, 0x4F, 0x3B, 0x01};
  for (size_t i = 0; i < claus; ++i) {
    const uint8_t s = kScans[dades[i] % sizeof kScans];
    con.Tecla(s == 0x01 ? 0x1B : 0, s);
  }
  const std::string fitxer(reinterpret_cast<const char*>(dades) + claus, mida - claus);
  plat::EscriureFitxer(carpeta + "AJUDA/PROVA.HLP", fitxer);
  for (const TrosLinia& t : TrossejarLinia(fitxer))
    if (t.text.empty()) abort();
  MostrarAjuda("PROVA");
  con.BuidarEntrada();
  if (FinestraActual.Nivell != 0 || !PilaColors.empty()) abort();
  plat::FixarConsola(nullptr);
  return 0;
}
