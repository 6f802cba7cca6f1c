// Filling the file picker for a folder of 10,000 files (names and dates, two passes),
// beside `ls -l --full-time` of the same folder. Compare the real times.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "console/formulari.h"
#include "console/llistes.h"
#include "files/camins.h"
#include "files/selector.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/sessio.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFitxers = 10000;

struct Carpeta {
  Carpeta() {
    arrel = fs::temp_directory_path() / ("kev-selector-" + std::to_string(getpid()));
    fitxers = arrel / "Carpeta Gran";
    fs::create_directories(fitxers);
    fs::create_directories(arrel / "tmp");
    for (int i = 0; i < kFitxers; ++i) {
      char nom[64];
      std::snprintf(nom, sizeof nom, "Document_%05d.txt", i);
      std::ofstream(fitxers / nom) << i;
    }
    for (int i = 0; i < 20; ++i) fs::create_directories(fitxers / ("Subcarpeta " + std::to_string(i)));
    plat::FixarEntorn("KEVDRIVES", "B=" + arrel.string());
    plat::FixarEntorn("TEMP", (arrel / "tmp").string());
    plat::RecarregarUnitats();
    EstatSessio.DirTmp = (arrel / "tmp").string() + "/";
    Llistes.resize(2);
  }
  ~Carpeta() { fs::remove_all(arrel); }
  fs::path arrel, fitxers;
};

Carpeta* g_carpeta = nullptr;

void Preparar() {
  if (!g_carpeta) g_carpeta = new Carpeta;
}

void OmplirSelectorCarpetaGran(benchmark::State& st) {
  Preparar();
  size_t files = 0;
  for (auto _ : st) {
    CarpetaBase = "B:\\";
    CarpetaRelativa = "CARPETA GRAN\\";
    std::string a, b;
    OmplirSelector(1, a, b);
    st.PauseTiming();
    files = plat::LlegirFitxer(FitxerLlista()).value_or("").size();
    ReiniciarCamins();  // the listing files
    st.ResumeTiming();
  }
  st.counters["browse_bytes"] = static_cast<double>(files);
}

void LsFullTime(benchmark::State& st) {
  Preparar();
  const std::string ordre = "ls -l --full-time '" + g_carpeta->fitxers.string() + "' > /dev/null";
  for (auto _ : st)
    if (std::system(ordre.c_str()) != 0) st.SkipWithError("ls failed");
}

}  // namespace

BENCHMARK(LsFullTime)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(OmplirSelectorCarpetaGran)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
