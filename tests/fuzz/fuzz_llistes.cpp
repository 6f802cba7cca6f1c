// The list browser over an arbitrary Browse.tmp, driven by keys taken from the input:
// no crash, no hang (the key script ends in Escape), and the list always closes cleanly.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/llistes.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "session/sessio.h"

namespace {

std::string g_carpeta;

const uint8_t kScans[] = {0x48, 0x50, 0x49, 0x51, 0x4B, 0x4D, 0x48, 0x50};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  if (g_carpeta.empty()) {
    char plantilla[] = "/tmp/fuzz_llistesXXXXXX";
    if (!mkdtemp(plantilla)) std::abort();
    g_carpeta = std::string(plantilla) + "/";
  }
  if (mida < 2) return 0;
  ReiniciarSessio();
  ReiniciarColors();
  ReiniciarFinestres();
  ReiniciarTecles();
  ReiniciarFormularis();
  ReiniciarLlistes();
  EstatSessio.DirTmp = g_carpeta;
  plat::ConsolaVirtual con;
  plat::FixarConsola(&con);

  // First byte: the window (height 1..8, width 1..32); then up to 24 keys, 0xFF ends them.
  const int alt = 1 + (dades[0] & 7), ample = 1 + (dades[0] >> 3);
  Llistes.resize(2);
  const int16_t nums[7] = {0, 0, 2, 10, static_cast<int16_t>(3 + alt), static_cast<int16_t>(11 + ample), 0};
  std::memcpy(Llistes[1].Numeros, nums, sizeof nums);
  Llistes[1].Titol = "TITOL_DE LA LLISTA";
  size_t p = 1;
  for (; p < mida && p < 25 && dades[p] != 0xFF; ++p) {
    const uint8_t k = dades[p];
    if (k < 0x80)
      con.Tecla(0, kScans[k & 7]);
    else if (k == 0x80)
      con.Tecla(0x0D, 0x1C);
  }
  const std::string fitxer(reinterpret_cast<const char*>(dades) + p, mida - p);
  GanxosLlista.OmplirSelector = [&fitxer](int16_t, std::string&, std::string&) {
    plat::EscriureFitxer(FitxerLlista(), fitxer);
    return int16_t{0};
  };
  int16_t estat = 5;
  MostrarLlista(1, estat);
  if (estat != 0 && estat != -1) std::abort();
  if (FinestraActual.Nivell != 0 || !TeclesDesades.empty() || !PilaColors.empty()) std::abort();
  if (estat == 0 && SeleccioText.size() > fitxer.size()) std::abort();
  plat::FixarConsola(nullptr);
  return 0;
}
