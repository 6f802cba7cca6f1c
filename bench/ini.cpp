// INI reads and writes against the plain cost of reading and copying the same file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "session/ini.h"

namespace {

struct Fitxers {
  std::string dir;
  std::string seccions;  // 10,000 lines: 500 sections of 18 keys and a blank line
  std::string unica;     // 10,000 lines: one section
  Fitxers() {
    char plantilla[] = "/tmp/kevbench-XXXXXX";
    if (!mkdtemp(plantilla)) abort();
    dir = std::string(plantilla) + "/";
    std::string a, b = "[Unica]\r\n";
    for (int s = 0; s < 500; ++s) {
      a += "[Seccio" + std::to_string(s) + "]\r\n";
      for (int k = 0; k < 18; ++k) a += "Clau" + std::to_string(k) + "=valor " + std::to_string(s * 100 + k) + "\r\n";
      a += "\r\n";
    }
    for (int k = 0; k < 9999; ++k) b += "Clau" + std::to_string(k) + "=valor " + std::to_string(k) + "\r\n";
    seccions = dir + "seccions.ini";
    unica = dir + "unica.ini";
    Posar(seccions, a);
    Posar(unica, b);
  }
  ~Fitxers() {
    std::string ordre = "rm -rf " + dir;
    if (system(ordre.c_str()) != 0) fprintf(stderr, "could not remove %s\n", dir.c_str());
  }
  static void Posar(const std::string& cami, const std::string& dades) {
    FILE* f = fopen(cami.c_str(), "wb");
    fwrite(dades.data(), 1, dades.size(), f);
    fclose(f);
  }
};
Fitxers& F() {
  static Fitxers f;
  return f;
}

size_t LlegirTot(const std::string& cami, std::vector<char>& buf) {
  const int fd = open(cami.c_str(), O_RDONLY);
  size_t total = 0;
  ssize_t r;
  while ((r = read(fd, buf.data(), buf.size())) > 0) total += static_cast<size_t>(r);
  close(fd);
  return total;
}

void BM_LlegirBytes(benchmark::State& st, const std::string* cami) {
  std::vector<char> buf(64 * 1024);
  for (auto _ : st) benchmark::DoNotOptimize(LlegirTot(*cami, buf));
}

void BM_LlegirIni(benchmark::State& st, const std::string* cami, const char* seccio, const char* clau) {
  for (auto _ : st) {
    std::string v = LlegirIni(*cami, seccio, clau);
    if (v.empty()) st.SkipWithError("key not found");
    benchmark::DoNotOptimize(v);
  }
}

// Baseline: copy the file once, durably (write, fsync, rename) and plainly.
void BM_CopiarFitxer(benchmark::State& st, const std::string* cami, bool durable) {
  std::vector<char> buf(64 * 1024);
  const std::string desti = *cami + ".copia";
  for (auto _ : st) {
    const int in = open(cami->c_str(), O_RDONLY);
    const int out = open(desti.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t r;
    while ((r = read(in, buf.data(), buf.size())) > 0)
      if (write(out, buf.data(), static_cast<size_t>(r)) != r) st.SkipWithError("write");
    if (durable) fsync(out);
    close(out);
    close(in);
    if (durable) rename(desti.c_str(), (*cami + ".copia2").c_str());
  }
}

void BM_EscriureIni(benchmark::State& st, const std::string* cami, const char* seccio) {
  int n = 0;
  for (auto _ : st) EscriureIni(*cami, seccio, "Clau5", std::to_string(n++ % 10));
}

const std::string& Seccions() { return F().seccions; }
const std::string& Unica() { return F().unica; }

}  // namespace

BENCHMARK_CAPTURE(BM_LlegirBytes, seccions, &Seccions());
BENCHMARK_CAPTURE(BM_LlegirIni, seccions_ultima, &Seccions(), "Seccio499", "Clau17");
BENCHMARK_CAPTURE(BM_LlegirBytes, unica, &Unica());
BENCHMARK_CAPTURE(BM_LlegirIni, unica_ultima, &Unica(), "Unica", "Clau9998");
BENCHMARK_CAPTURE(BM_CopiarFitxer, plana, &Seccions(), false);
BENCHMARK_CAPTURE(BM_CopiarFitxer, durable, &Seccions(), true);
BENCHMARK_CAPTURE(BM_EscriureIni, seccio_mig, &Seccions(), "Seccio250");
