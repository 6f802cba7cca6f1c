// Stand-in record manager DLL for the Windows tests: BTRCALL over the in-memory manager,
// with one file of two records that ProvaObrir puts in a position block.
#include <cstdint>

#include "records/gestor_memoria.h"

namespace {

GestorMemoria& Gestor() {
  static GestorMemoria g;
  static const int fitxer = [] {
    FitxerMemoria f;
    f.longRegistre = 10;
    f.claus = {{{0, 4, 0}}};
    f.registres[10] = "ALFAprimer";
    f.registres[20] = "BETAsegon ";
    return g.AfegirFitxer(f);
  }();
  (void)fitxer;
  return g;
}

}  // namespace

extern "C" __declspec(dllexport) int BTRCALL(uint16_t op, void* bloc, void* dades, uint32_t* longDades, void* clau,
                                             uint8_t longClau, int8_t numClau) {
  int32_t n = static_cast<int32_t>(*longDades);
  const int16_t r = Gestor()(static_cast<int16_t>(op), static_cast<unsigned char*>(bloc), static_cast<char*>(dades), n,
                             static_cast<char*>(clau), longClau, numClau);
  *longDades = static_cast<uint32_t>(n);
  return r;
}

extern "C" __declspec(dllexport) void ProvaObrir(unsigned char* bloc) { Gestor().Obrir(bloc, 1); }

extern "C" __declspec(dllexport) int ProvaCrides() { return static_cast<int>(Gestor().crides.size()); }
