// The list browser over a list file of 10,000 rows: CPU time spent on each key
// (Up, Down, Page Up, Page Down) wherever the user is in the list. The virtual console
// notes the CPU clock each time a key is awaited; the time between two waits is the
// work done for one key.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/llistes.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "session/sessio.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 10000;

double CpuUs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

class ConsolaCronometrada : public plat::ConsolaVirtual {
 public:
  bool LlegirEsdeveniment(plat::Esdeveniment& e, int espera) override {
    if (espera != 0) marques.push_back(CpuUs());
    return ConsolaVirtual::LlegirEsdeveniment(e, espera);
  }
  std::vector<double> marques;
};

struct Entorn {
  Entorn() {
    dir = fs::temp_directory_path() / ("kev-llistes-" + std::to_string(getpid()));
    fs::create_directories(dir);
    EstatSessio.DirTmp = dir.string() + "/";
    uint32_t anterior = 0;
    for (int i = 1; i <= kFiles; ++i)
      AfegirFilaLlista(fitxer, anterior, i, "                  FILA " + std::to_string(i) + std::string(i % 90, '.'));
    Llistes.resize(2);
    const int16_t nums[7] = {0, 0, 2, 20, 25, 80, 0};
    std::memcpy(Llistes[1].Numeros, nums, sizeof nums);
    GanxosLlista.OmplirSelector = [this](int16_t, std::string&, std::string&) {
      plat::EscriureFitxer(FitxerLlista(), fitxer);
      return int16_t{0};
    };
  }
  ~Entorn() { fs::remove_all(dir); }
  fs::path dir;
  std::string fitxer;
};

void Tecla(ConsolaCronometrada& c, uint8_t scan, int n) {
  for (int i = 0; i < n; ++i) c.Tecla(0, scan);
}

// Runs the list with the keys given; the last `mesurades` keys are timed.
void Mesurar(benchmark::State& st, const std::vector<std::pair<uint8_t, int>>& tecles) {
  Entorn e;
  double maxim = 0, total = 0;
  int64_t n = 0;
  for (auto _ : st) {
    ConsolaCronometrada con;
    plat::FixarConsola(&con);
    size_t inici = 0;
    for (size_t k = 0; k < tecles.size(); ++k) {
      if (k + 1 == tecles.size()) inici = con.entrada.size();
      Tecla(con, tecles[k].first, tecles[k].second);
    }
    int16_t estat = 0;
    MostrarLlista(1, estat);
    plat::FixarConsola(nullptr);
    for (size_t i = inici + 1; i < con.marques.size(); ++i) {
      const double d = con.marques[i] - con.marques[i - 1];
      maxim = std::max(maxim, d);
      total += d;
      ++n;
    }
  }
  st.counters["us_per_key_mean"] = n ? total / static_cast<double>(n) : 0;
  st.counters["us_per_key_max"] = maxim;
  st.counters["keys_timed"] = static_cast<double>(n);
}

// Down through the whole list, one row at a time.
void Avall(benchmark::State& st) { Mesurar(st, {{0x50, kFiles}}); }
// Up from the last row back to the first.
void Amunt(benchmark::State& st) { Mesurar(st, {{0x51, kFiles / 22 + 2}, {0x48, kFiles}}); }
// Page Down to the end.
void AvPag(benchmark::State& st) { Mesurar(st, {{0x51, kFiles / 22 + 2}}); }
// Page Up from the end back to the start.
void RePag(benchmark::State& st) { Mesurar(st, {{0x51, kFiles / 22 + 2}, {0x49, kFiles / 22 + 2}}); }

}  // namespace

BENCHMARK(Avall)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Amunt)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AvPag)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RePag)->Unit(benchmark::kMillisecond)->Iterations(5);
