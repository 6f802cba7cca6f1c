// Directory listing files are read back from a shared temporary folder: whatever they
// hold, reading them must end without a crash, a hang or a large allocation.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "files/camins.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  static const std::string fitxer = "/tmp/fuzz_llistat_" + std::to_string(getpid()) + ".dir";
  const std::string bytes(reinterpret_cast<const char*>(dades), mida);
  if (std::FILE* f = std::fopen(fitxer.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  ReiniciarCamins();
  FitxersLlistat = fitxer + "|";
  std::string entrada;
  size_t n = 0;
  while (!SeguentEntrada(entrada)) {
    if (entrada.empty() || ++n > mida + 1) __builtin_trap();  // must move on every entry
  }
  if (!entrada.empty()) __builtin_trap();
  // Every start position, straight on the bytes.
  for (uint32_t p = 0; p < mida + 8; p += 7) {
    uint32_t q = p;
    const std::string e = EntradaLlistat(bytes, q);
    if (e.size() > mida || (q != p && q <= p)) __builtin_trap();
  }
  ReiniciarCamins();
  std::remove(fitxer.c_str());
  return 0;
}
