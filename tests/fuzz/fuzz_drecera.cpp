// Shell link targets from arbitrary bytes: never reads outside them, never crashes, and
// the path it gives is bounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/selector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  const std::string entrada(reinterpret_cast<const char*>(dades), mida);
  const std::string cami = DestiDreceraDades(entrada);
  if (cami.size() > 4096) std::abort();
  // Reading is pure: the same bytes give the same path.
  if (DestiDreceraDades(entrada) != cami) std::abort();
  return 0;
}
