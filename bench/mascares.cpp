// FormatNumero with report-width (22-character) masks over a spread of values.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "fields/mascares.h"

static void BM_FormatNumero22(benchmark::State& state) {
  const std::vector<std::string> mascares = {"ZZZ,ZZZ,ZZZ,ZZZ,ZZ9.99", "***,***,***,***,**9.99",
                                             "ZZZ,ZZZ,ZZZ,ZZ9.99999-", "+ZZZZZZZZZZZZZZZZ9.999"};
  const std::vector<double> valors = {0, 1234.5, -1234567.891, 0.125, 98765432109.87, -0.004, 1e25};
  size_t i = 0;
  for (auto _ : state) {
    const std::string& m = mascares[i % mascares.size()];
    const double v = valors[i % valors.size()];
    benchmark::DoNotOptimize(FormatNumero(m, v));
    ++i;
  }
}
BENCHMARK(BM_FormatNumero22);
