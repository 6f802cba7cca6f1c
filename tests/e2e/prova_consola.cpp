// Small program on the console library for the end-to-end test: a background with
// accented letters and the euro sign, nested windows and a message box on "w", one
// window closed per "c", every other key shown as its code on the bottom row, "q" ends.
#include <cstdio>
#include <string>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/posix/terminal.h"
#include "session/sessio.h"

namespace {

void Escriure(int fila, int col, const std::string& text) {
  SituarCursor(static_cast<int16_t>(fila), static_cast<int16_t>(col));
  EscriureText(text);
}

void Fons() {
  TriaColor("n");
  for (int f = 1; f <= FilesConsola(); ++f) Escriure(f, 1, std::string(static_cast<size_t>(ColumnesConsola()), ' '));
  TriaColor("h");
  Escriure(1, 2, "prova_consola");
  TriaColor("n");
  Escriure(3, 2, "Lletres: \x85\x82\xA1\x95\xA3\x87 \xB7\x90\xD6\xE0\xE9\x80 \xA4\xA5 \x80\x87\x81");
  Escriure(4, 2, "Euro: \xD5 100");
  for (int f = 6; f <= 22; ++f) Escriure(f, 2, "fons " + std::to_string(f) + std::string(60, '.'));
  Escriure(25, 1, "Tecla:");
}

void ObrirFinestres() {
  DesarFinestra(3, 5, 20, 70);
  TriaColor("+n");
  DibuixarMarc(2);
  Escriure(1, 2, "Finestra 1");
  DesarFinestra(6, 10, 15, 50);
  DibuixarMarc(1);
  Escriure(1, 2, "Finestra 2 \x82\x85");
  TriaColor("-");
  MostrarMissatge(12, "Missatge de prova: \x85\x8A\x82\xA1\x95\xA2\xA3\x87 \xD5");
}

}  // namespace

int main(int argc, char** argv) {
  EstatSessio.DirTmp = argc > 1 ? argv[1] : "/tmp/";
  const int16_t colors[5][2] = {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}};
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 2; ++j) EstatSessio.TaulaColors[i][j] = colors[i][j];

  auto terminal = plat::ObrirTerminal();
  if (!terminal) {
    std::fprintf(stderr, "prova_consola: no terminal\n");
    return 1;
  }
  plat::FixarConsola(terminal.get());
  Fons();
  for (;;) {
    SituarCursor(25, 8);
    const int16_t k = EsperarTecla();
    if (k == 'q' && FinestraActual.Nivell == 0) break;
    if (k == 'w') {
      ObrirFinestres();
      continue;
    }
    if (k == 'c') {
      RestaurarFinestra();
      continue;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%-8x", static_cast<unsigned>(static_cast<uint16_t>(k)));
    TriaColor("n");
    const FinestraActualT f = FinestraActual;
    FinestraActual.Nivell = 0;  // the key line is in screen coordinates
    Escriure(25, 8, buf);
    FinestraActual = f;
  }
  plat::FixarConsola(nullptr);
  return 0;
}
