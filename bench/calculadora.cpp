// Opening the calculator over a full tape: reading the state file, saving the screen under
// it and painting 22 tape lines, then closing at once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/calculadora.h"
#include "fields/colors.h"
#include "fields/mascares.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "session/sessio.h"

namespace {

std::string CarpetaAmbCintaPlena() {
  char plantilla[] = "/tmp/benchcalc-XXXXXX";
  if (!mkdtemp(plantilla)) std::abort();
  const std::string c = std::string(plantilla) + "/";
  EstatCalculadoraT e;
  e.PrimeraFilaCinta = 2;
  e.Entrada = e.Total = -1234567.891;
  e.Punt = true;
  e.Decimals = 3;
  for (int i = 0; i < kLiniesCinta; ++i) e.Cinta[i] = {i * 1111.11, true, 2, "+"};
  plat::EscriureFitxer(c + "KEVCALC.TMP", EscriureEstatCalculadora(e));
  return c;
}

void ObrirAmbCintaPlena(benchmark::State& state) {
  const std::string c = CarpetaAmbCintaPlena();
  EstatSessio.DirTmp = EstatSessio.DirTerminal = c;
  DecCaracter = ',';
  MilCaracter = '.';
  plat::ConsolaVirtual con;
  plat::FixarConsola(&con);
  ReiniciarFinestres();
  for (auto _ : state) {
    con.Tecla(0x1B, 0x01);
    benchmark::DoNotOptimize(Calculadora());
  }
  if (con.Fila(1)[0] == '\xDA') state.SkipWithError("calculator left on the screen");
  plat::FixarConsola(nullptr);
  unlink((c + "KEVCALC.TMP").c_str());
  rmdir(c.c_str());
}
BENCHMARK(ObrirAmbCintaPlena)->Unit(benchmark::kMicrosecond);

// Painting alone: the 22 numbers of a full tape through their masks.
void PintarCinta(benchmark::State& state) {
  DecCaracter = ',';
  MilCaracter = '.';
  for (auto _ : state)
    for (int i = 0; i < kLiniesCinta; ++i)
      benchmark::DoNotOptimize(TextNumeroCalculadora(i * 1111.11 - 5000, true, 2));
}
BENCHMARK(PintarCinta)->Unit(benchmark::kMicrosecond);

}  // namespace
