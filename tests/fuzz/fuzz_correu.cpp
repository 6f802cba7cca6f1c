// The address check on arbitrary bytes: never crashes, leaves a refused address
// untouched, and what it accepts passes again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mail/validacio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  const std::string entrada(reinterpret_cast<const char*>(dades), mida);
  std::string a = entrada;
  if (ValidarCorreu(a) != 0) {
    if (a != entrada) std::abort();
    return 0;
  }
  if (a.size() > entrada.size()) std::abort();
  std::string b = a;
  if (ValidarCorreu(b) != 0 || b != a) std::abort();
  return 0;
}
