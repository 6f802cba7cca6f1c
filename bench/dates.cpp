// Weekday and next day for every date from 1583 to 9999: packed dates against a
// plain std::chrono civil-date computation of the same dates.
#include <benchmark/benchmark.h>

#include <chrono>

#include "dates/dates.h"

namespace ch = std::chrono;

static void BM_DatDiaSetmanaISuma(benchmark::State& state) {
  const std::string unitat = "D";
  const std::string inici = DatEmpaquetar(1583, 1, 1), fi = DatEmpaquetar(9999, 12, 31);
  int64_t dies = 0;
  for (auto _ : state) {
    std::string p = inici;
    int64_t suma = 0;
    for (;;) {
      suma += DatDiaSetmana(p);
      ++dies;
      if (p == fi) break;
      p = DatSuma(unitat, 1, p);
    }
    benchmark::DoNotOptimize(suma);
  }
  state.counters["ns_per_date"] =
      benchmark::Counter(static_cast<double>(dies), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DatDiaSetmanaISuma)->Unit(benchmark::kMillisecond);

static void BM_ChronoCivil(benchmark::State& state) {
  const ch::year_month_day inici{ch::year{1583} / 1 / 1}, fi{ch::year{9999} / 12 / 31};
  int64_t dies = 0;
  for (auto _ : state) {
    ch::year_month_day d = inici;
    benchmark::DoNotOptimize(d);
    int64_t suma = 0;
    for (;;) {
      const ch::sys_days sd{d};
      suma += ch::weekday{sd}.iso_encoding();
      ++dies;
      if (d == fi) break;
      d = ch::year_month_day{sd + ch::days{1}};
    }
    benchmark::DoNotOptimize(suma);
  }
  state.counters["ns_per_date"] =
      benchmark::Counter(static_cast<double>(dies), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ChronoCivil)->Unit(benchmark::kMillisecond);
