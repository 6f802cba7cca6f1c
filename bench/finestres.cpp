// Saving and restoring the whole 80 x 25 screen through the window file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "console/finestres.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "session/sessio.h"

namespace {

void PantallaSencera(benchmark::State& state) {
  char plantilla[] = "/tmp/benchfinestres-XXXXXX";
  if (!mkdtemp(plantilla)) std::abort();
  EstatSessio.DirTmp = std::string(plantilla) + "/";
  plat::ConsolaVirtual con;
  plat::FixarConsola(&con);
  for (int f = 0; f < 25; ++f)
    for (int c = 0; c < 80; ++c) con.EscriureCella(f, c, plat::Cella{static_cast<uint8_t>('A' + c % 26), 0x17});
  ReiniciarFinestres();
  for (auto _ : state) {
    DesarFinestra(1, 1, 25, 80);
    RestaurarFinestra();
  }
  if (FinestraActual.Nivell != 0) state.SkipWithError("window left open");
  plat::FixarConsola(nullptr);
  rmdir(plantilla);
}
BENCHMARK(PantallaSencera)->Unit(benchmark::kMicrosecond);

// The same with another window already open, so the file is rewritten, not deleted.
void PantallaSobreFinestra(benchmark::State& state) {
  char plantilla[] = "/tmp/benchfinestres-XXXXXX";
  if (!mkdtemp(plantilla)) std::abort();
  EstatSessio.DirTmp = std::string(plantilla) + "/";
  plat::ConsolaVirtual con;
  plat::FixarConsola(&con);
  ReiniciarFinestres();
  DesarFinestra(2, 2, 10, 40);
  for (auto _ : state) {
    DesarFinestra(1, 1, 25, 80);
    RestaurarFinestra();
  }
  RestaurarFinestra();
  plat::FixarConsola(nullptr);
  rmdir(plantilla);
}
BENCHMARK(PantallaSobreFinestra)->Unit(benchmark::kMicrosecond);

}  // namespace
