// Listing a folder of 10,000 files and reading it back, against `ls -1` of the same
// folder; and the picker's per-entry lookups by capital names, which must stay linear.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/camins.h"
#include "platform/sistema.h"

extern char** environ;

namespace {

constexpr int kFitxers = 10000;

struct Carpeta {
  std::string host;  // ends in "/"
  std::string temp;
  Carpeta() {
    char plantilla[] = "/tmp/kevbench-XXXXXX";
    host = std::string(mkdtemp(plantilla)) + "/";
    char plantilla2[] = "/tmp/kevbench-temp-XXXXXX";
    temp = std::string(mkdtemp(plantilla2)) + "/";
    for (int i = 0; i < kFitxers; ++i) {
      char nom[64];
      std::snprintf(nom, sizeof nom, "Document_%05d.txt", i);
      if (std::FILE* f = std::fopen((host + nom).c_str(), "wb")) std::fclose(f);
    }
    plat::FixarEntorn("TEMP", temp);
  }
  ~Carpeta() {
    ReiniciarCamins();
    std::error_code ec;
    std::filesystem::remove_all(host, ec);
    std::filesystem::remove_all(temp, ec);
  }
};

Carpeta& Prova() {
  static Carpeta c;
  return c;
}

int LlistarILlegir(const std::string& carpeta) {
  AtributsLlistat = 0;
  LlistarDirectori(carpeta + "*.*");
  std::string e;
  int n = 0;
  while (!SeguentEntrada(e)) ++n;
  return n;
}

void Ls(const std::string& carpeta) {
  posix_spawn_file_actions_t accions;
  posix_spawn_file_actions_init(&accions);
  posix_spawn_file_actions_addopen(&accions, 1, "/dev/null", O_WRONLY, 0);
  const char* args[] = {"ls", "-1", carpeta.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "ls", &accions, nullptr, const_cast<char* const*>(args), environ) == 0) {
    int estat = 0;
    waitpid(pid, &estat, 0);
  }
  posix_spawn_file_actions_destroy(&accions);
}

void BM_LlistarDirectori(benchmark::State& state) {
  Carpeta& c = Prova();
  for (auto _ : state) {
    const int n = LlistarILlegir(c.host);
    if (n != kFitxers) state.SkipWithError("wrong count");
    ReiniciarCamins();
  }
}
BENCHMARK(BM_LlistarDirectori)->Unit(benchmark::kMillisecond);

void BM_Ls(benchmark::State& state) {
  Carpeta& c = Prova();
  for (auto _ : state) Ls(c.host);
}
BENCHMARK(BM_Ls)->Unit(benchmark::kMillisecond);

// Both measured side by side in each iteration; the ratio is the target (at most 3).
void BM_RelacioAmbLs(benchmark::State& state) {
  Carpeta& c = Prova();
  double kev = 0, ls = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    Ls(c.host);
    auto t1 = std::chrono::steady_clock::now();
    LlistarILlegir(c.host);
    auto t2 = std::chrono::steady_clock::now();
    ReiniciarCamins();
    ls += std::chrono::duration<double, std::milli>(t1 - t0).count();
    kev += std::chrono::duration<double, std::milli>(t2 - t1).count();
  }
  state.counters["ls_ms"] = ls / static_cast<double>(state.iterations());
  state.counters["kev_ms"] = kev / static_cast<double>(state.iterations());
  state.counters["relacio"] = kev / ls;
}
BENCHMARK(BM_RelacioAmbLs)->Unit(benchmark::kMillisecond)->Iterations(20);

// What the picker does per entry: long name and date from the capital name.
void BM_ConsultesPerEntrada(benchmark::State& state) {
  Carpeta& c = Prova();
  std::string carpeta;
  for (char ch : c.host) carpeta += static_cast<char>(ch == '/' ? '\\' : std::toupper(static_cast<unsigned char>(ch)));
  for (auto _ : state) {
    AtributsLlistat = 0;
    LlistarDirectori(carpeta + "*.*");
    std::string e;
    int n = 0;
    while (!SeguentEntrada(e)) {
      if (!CamiLlarg(carpeta + e).empty() && DataFitxer(carpeta + e).size() == 14) ++n;
    }
    if (n != kFitxers) state.SkipWithError("lookups failed");
    ReiniciarCamins();
  }
}
BENCHMARK(BM_ConsultesPerEntrada)->Unit(benchmark::kMillisecond);

}  // namespace
