// What reaches the terminal: bytes written for common screen changes (through the same
// difference painter the terminal uses), and the CPU cost of opening the calendar.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/calendari.h"
#include "fields/colors.h"
#include "fields/editor.h"
#include "mail/formcorreu.h"
#include "platform/consola.h"
#include "platform/posix/terminal.h"
#include "session/sessio.h"
#include "session/utilitats.h"

namespace {

// A console that paints itself into a byte counter each time the program waits for a key,
// as the terminal does.
class ConsolaMesurada : public plat::ConsolaVirtual {
 public:
  bool LlegirEsdeveniment(plat::Esdeveniment& e, int espera_ms) override {
    Pintar();
    return ConsolaVirtual::LlegirEsdeveniment(e, espera_ms);
  }
  size_t Pintar() {
    std::string s;
    pintor.Pintar(*this, Amplada(), Alcada(), s);
    bytes.push_back(s.size());
    return s.size();
  }
  plat::Pintor pintor;
  std::vector<size_t> bytes;
};

std::string CarpetaTreball() {
  char plantilla[] = "/tmp/benchpantalla-XXXXXX";
  if (!mkdtemp(plantilla)) std::abort();
  return std::string(plantilla) + "/";
}

void Preparar(ConsolaMesurada& con, const std::string& dir) {
  ReiniciarSessio();
  EstatSessio.DirTmp = EstatSessio.DirTerminal = dir;
  EstatSessio.DataTreball = EmpaquetarDigits("20261208");
  ReiniciarFinestres();
  ReiniciarTecles();
  ReiniciarColors();
  plat::FixarConsola(&con);
  for (int f = 0; f < con.Alcada(); ++f)
    for (int c = 0; c < con.Amplada(); ++c) con.EscriureCella(f, c, plat::Cella{'.', 0x17});
  con.Pintar();  // the first paint sends everything
}

void BytesMissatge(benchmark::State& state) {
  const std::string dir = CarpetaTreball();
  size_t obrir = 0, tancar = 0;
  for (auto _ : state) {
    ConsolaMesurada con;
    Preparar(con, dir);
    MostrarMissatge(12, "NO PODEU ADJUNTAR M\x90S DE 10 FITXERS");
    obrir = con.Pintar();
    RestaurarFinestra();
    tancar = con.Pintar();
  }
  state.counters["open_bytes"] = static_cast<double>(obrir);
  state.counters["close_bytes"] = static_cast<double>(tancar);
  plat::FixarConsola(nullptr);
  rmdir(dir.c_str());
}
BENCHMARK(BytesMissatge)->Iterations(20);

void BytesTeclaSobreescriure(benchmark::State& state) {
  const std::string dir = CarpetaTreball();
  size_t tecla = 0;
  for (auto _ : state) {
    ConsolaMesurada con;
    Preparar(con, dir);
    GestionarTecles("ea", "d,1b");
    con.Text("a");
    con.Tecla(0x1B, 0x01);
    std::string text(40, ' ');
    int16_t fila = 10, col = 20, amplada = 0, cursor = 1, t = 0;
    EditaCamp(fila, col, amplada, text, cursor, t);
    tecla = con.bytes.at(2);  // waits: before the edit's first key, after "a"
  }
  state.counters["typed_char_bytes"] = static_cast<double>(tecla);
  plat::FixarConsola(nullptr);
  rmdir(dir.c_str());
}
BENCHMARK(BytesTeclaSobreescriure)->Iterations(20);

// Page 2 of the mail dialog over page 1 and back: bytes and CPU time of the round trip.
void Pagina2(benchmark::State& state) {
  const std::string dir = CarpetaTreball();
  size_t obrir = 0, tancar = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ConsolaMesurada con;
    Preparar(con, dir);
    ReiniciarFormularis();
    CarregarFormulariCorreu();
    RegistrarGanxosCorreu();
    FixarValorCamp(kPaginaCorreu, kCampDesti, "P");
    FixarValorCamp(kPaginaCorreu, kCampEnviarCorreu, "S");
    FixarValorCamp(kPaginaCorreu, kCampAdrecaRemitent, "a@b.cat");
    con.Tecla(0, 0x3C);        // F2: page 2
    con.Tecla(0x1B, 0x01);     // back to page 1
    con.Tecla(0x1B, 0x01);     // leave the form
    con.Tecla(0x1B, 0x01);
    state.ResumeTiming();
    int16_t tecla = 0;
    ExecutarFormulari(1, 0, 0, tecla);
    state.PauseTiming();
    if (con.bytes.size() >= 4) {
      obrir = con.bytes[2];   // waits: first paint, page 1 drawn, page 2 drawn, page 1 again
      tancar = con.bytes[3];
    }
    state.ResumeTiming();
  }
  state.counters["page2_open_bytes"] = static_cast<double>(obrir);
  state.counters["page2_close_bytes"] = static_cast<double>(tancar);
  plat::FixarConsola(nullptr);
  rmdir(dir.c_str());
}
BENCHMARK(Pagina2)->Unit(benchmark::kMicrosecond);

// The calendar opened on the work date and closed at once: screen saved, three months
// painted, screen restored.
void ObrirCalendari(benchmark::State& state) {
  const std::string dir = CarpetaTreball();
  ConsolaMesurada con;
  Preparar(con, dir);
  for (auto _ : state) {
    con.Tecla(0x1B, 0x01);
    benchmark::DoNotOptimize(Calendari());
  }
  plat::FixarConsola(nullptr);
  rmdir(dir.c_str());
}
BENCHMARK(ObrirCalendari)->Unit(benchmark::kMicrosecond);

}  // namespace
