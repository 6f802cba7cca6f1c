// Time from a keystroke in a field to the field's cells showing its effect, per key.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "fields/editor.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "session/sessio.h"

namespace {

// Hands out a fixed key sequence, then Escape: no queue to fill between runs.
class ConsolaGuio : public plat::Consola {
 public:
  ConsolaGuio() : Consola(80, 25) {}
  bool LlegirEsdeveniment(plat::Esdeveniment& e, int) override {
    e = plat::Esdeveniment{};
    if (pos < guio.size()) {
      e.car = guio[pos].car;
      e.scan = guio[pos].scan;
      ++pos;
    } else {
      e.car = 0x1B;
    }
    return true;
  }
  void BuidarEntrada() override {}
  struct Clau {
    uint8_t car, scan;
  };
  std::vector<Clau> guio;
  size_t pos = 0;
};

constexpr int kClaus = 200;

void Preparar(ConsolaGuio& con) {
  ReiniciarSessio();
  ReiniciarColors();
  ReiniciarFinestres();
  ReiniciarTecles();
  plat::ReiniciarSistema();
  plat::FixarConsola(&con);
}

void Executar(benchmark::State& st, ConsolaGuio& con, const std::string& inicial, int16_t amplada) {
  std::string text = inicial;
  for (auto _ : st) {
    con.pos = 0;
    text = inicial;
    int16_t f = 5, c = 10, a = amplada, cur = 1, k = 0;
    EditaCamp(f, c, a, text, cur, k);
    benchmark::DoNotOptimize(text.data());
  }
  st.counters["per_tecla"] = benchmark::Counter(kClaus, benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
  plat::FixarConsola(nullptr);
}

// Overwrite typing: one cell written per key.
void BM_Sobreescriure(benchmark::State& st) {
  ConsolaGuio con;
  Preparar(con);
  for (int i = 0; i < kClaus; ++i) con.guio.push_back({static_cast<uint8_t>(i % 2 ? 'a' : 0), static_cast<uint8_t>(i % 2 ? 0 : 0x47)});
  Executar(st, con, std::string(40, ' '), 0);
}

// Insert typing and Backspace in the 260-character, four-line field: a full redraw per key.
void BM_InserirCampLlarg(benchmark::State& st) {
  ConsolaGuio con;
  Preparar(con);
  plat::FixarModeInsercio(true);
  for (int i = 0; i < kClaus; ++i) con.guio.push_back({static_cast<uint8_t>(i % 2 ? 0x08 : 'x'), 0});
  Executar(st, con, std::string(130, 'q') + std::string(130, ' '), 65);
}

// Stepping through a 49-option choice field: description redrawn per key.
void BM_Opcions(benchmark::State& st) {
  ConsolaGuio con;
  Preparar(con);
  std::string opcions = "|00,IMMEDIAT";
  for (int h = 1; h <= 48; ++h) opcions += "|" + std::to_string(10 + h) + ",A LES " + std::to_string(h);
  for (int i = 0; i < kClaus; ++i) con.guio.push_back({static_cast<uint8_t>(i % 3 == 2 ? 'a' : ' '), 0});
  std::string inicial = "00";
  for (auto _ : st) {
    FixarOpcions(opcions);
    con.pos = 0;
    int16_t f = 5, c = 10, a = 0, cur = 1, k = 0;
    EditaCamp(f, c, a, inicial, cur, k);
  }
  st.counters["per_tecla"] = benchmark::Counter(kClaus, benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
  plat::FixarConsola(nullptr);
}

}  // namespace

BENCHMARK(BM_Sobreescriure);
BENCHMARK(BM_InserirCampLlarg);
BENCHMARK(BM_Opcions);
