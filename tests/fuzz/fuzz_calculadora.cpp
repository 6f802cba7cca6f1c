// Calculator state file: any bytes read without a crash, every value in range, and what is
// written back reads back the same.
#include <cstdlib>
#include <string>

#include "fields/calculadora.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  const std::string bytes(reinterpret_cast<const char*>(dades), mida);
  const EstatCalculadoraT e = LlegirEstatCalculadora(bytes);
  if (e.Columna < 1 || e.Columna > 55 || e.PrimeraFilaCinta < 2 || e.PrimeraFilaCinta > 23) abort();
  if (e.Decimals < 0 || e.DarreraTecla.size() > 2 || e.Pendent.size() > 1) abort();
  const std::string escrit = EscriureEstatCalculadora(e);
  if (EscriureEstatCalculadora(LlegirEstatCalculadora(escrit)) != escrit) abort();
  for (const LiniaCinta& l : e.Cinta)
    if (TextNumeroCalculadora(l.Valor, l.Punt, l.Decimals).size() != 22) abort();
  return 0;
}
