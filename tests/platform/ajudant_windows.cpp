// Child program for the Windows tests:
//   ajudant ini FILE PREFIX N   writes keys PREFIX0..PREFIXn-1 of [S] one call each
//   ajudant marca FILE TEXT     writes TEXT to FILE
//   ajudant bloqueja FILE MS    locks FILE (waiting), leaves FILE.fet, holds it MS ms
//   ajudant prova FILE X        exit 0 when FILE can be locked at once, 1 otherwise
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"
#include "session/ini.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string ordre = argv[1], fitxer = argv[2], arg = argv[3];
  if (ordre == "ini" && argc >= 5) {
    const int n = std::atoi(argv[4]);
    for (int i = 0; i < n; ++i) EscriureIni(fitxer, "S", arg + std::to_string(i), "valor " + std::to_string(i));
    return 0;
  }
  if (ordre == "marca") return plat::EscriureFitxer(fitxer, arg) ? 0 : 1;
  if (ordre == "bloqueja" || ordre == "prova") {
    plat::FitxerObert f = plat::ObrirLectura(plat::CamiHost(fitxer));
    if (!f || !f.BloquejarExclusiu(ordre == "prova" ? 0 : 20000)) return 1;
    if (ordre == "prova") return 0;
    plat::EscriureFitxer(fitxer + ".fet", "");
    Sleep(static_cast<DWORD>(std::atoi(arg.c_str())));
    return 0;
  }
  return 2;
}
