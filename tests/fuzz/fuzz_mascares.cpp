// Number masks: any mask, any double (NaN, infinities, denormals included).
#include <cstdlib>
#include <cstring>
#include <string>

#include "fields/mascares.h"
#include "platform/sistema.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  static const bool preparat = [] {
    plat::FixarEntorn("KEVROOT", "/nonexistent-kev-root/");
    return true;
  }();
  (void)preparat;
  if (mida < sizeof(double)) return 0;
  double valor;
  std::memcpy(&valor, dades, sizeof valor);
  const std::string mascara(reinterpret_cast<const char*>(dades) + sizeof valor, mida - sizeof valor);
  if (FormatNumero(mascara, valor).size() != mascara.size()) abort();
  return 0;
}
