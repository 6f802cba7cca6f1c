// Any bytes from the terminal, cut into reads at any point and with pauses anywhere:
// no crash, no hang, and the decoder never holds more than its limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/descodificador.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
  if (mida == 0) return 0;
  // The first byte chooses the read size and where the pauses come.
  const size_t tros = 1 + (dades[0] & 15);
  const bool pauses = dades[0] & 16;
  const bool tancar = dades[0] & 32;
  const bool protocol = dades[0] & 64;  // the keyboard protocol on: Escape bytes act at once
  std::string_view resta(reinterpret_cast<const char*>(dades + 1), mida - 1);
  plat::Descodificador d;
  d.EscapadaImmediata(protocol);
  std::vector<plat::Esdeveniment> v;
  while (!resta.empty()) {
    const size_t n = resta.size() < tros ? resta.size() : tros;
    d.Alimentar(resta.substr(0, n), v);
    resta.remove_prefix(n);
    if (pauses) d.Pausa(v);
    (void)d.PrendreResposta();
    if (d.BytesPendents() > plat::Descodificador::kMaxSequencia + 8) abort();
    if (d.BytesEnganxats() > plat::Descodificador::kMaxEnganxat) abort();
  }
  d.Pausa(v);
  if (tancar) d.TancarEnganxat(v);
  if (!d.EnEnganxat() && d.Pendent()) abort();  // a pause settles everything
  for (const plat::Esdeveniment& e : v) {
    if (e.tipus == plat::TipusEsdeveniment::Ratoli && (e.fila < 0 || e.col < 0)) abort();
    if (e.text.size() > plat::Descodificador::kMaxEnganxat) abort();
  }
  return 0;
}
