// Date operations on arbitrary bytes, amounts, units, styles and part texts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "dates/dates.h"
#include "platform/sistema.h"
#include "session/sessio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  static const bool preparat = [] {
    plat::FixarEntorn("KEVROOT", "/nonexistent-kev-root/");
    return true;
  }();
  (void)preparat;
  FuzzedDataProvider fdp(dades, mida);
  static const char* const idiomes[] = {"   ", "SPA", "GLG", "OCI"};
  EstatSessio.Idioma = idiomes[fdp.ConsumeIntegralInRange(0, 3)];
  const std::string unitat = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange(0, 2));
  const int32_t quantitat = fdp.ConsumeIntegral<int32_t>();
  const int16_t estil = fdp.ConsumeIntegral<int16_t>();
  const std::string parts = fdp.ConsumeRandomLengthString(16);
  const std::string a = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange(0, 6));
  const std::string b = fdp.ConsumeRemainingBytesAsString();

  const std::string s = DatSuma(unitat, quantitat, a);
  if (quantitat != 0 && s.size() != 4) abort();
  const int32_t d = DatDiferencia(unitat, a, b);
  if (d < 0 || d != DatDiferencia(unitat, b, a)) abort();
  const int16_t w = DatDiaSetmana(a);
  if (w < 1 || w > 7) abort();
  const std::string t = DatText(parts, estil, a);
  if (estil == -1 && t.size() != 10) abort();
  DatText(parts, estil, s);
  return 0;
}
