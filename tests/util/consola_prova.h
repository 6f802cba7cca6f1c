// A virtual console for screen tests: it keeps what the screen looked like each time the
// program read input, and queues keys and clicks as the keyboard and mouse produce them.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/consola.h"

class ConsolaProva : public plat::ConsolaVirtual {
 public:
  struct Foto {
    std::vector<std::string> files, colors;  // CP850 rows; colour digits per row
    int fila, col, mida;                     // the cursor
  };

  bool LlegirEsdeveniment(plat::Esdeveniment& e, int espera_ms) override {
    if (gravar && (espera_ms != 0 || !nomesEsperes)) fotos.push_back(Fotografia());
    return ConsolaVirtual::LlegirEsdeveniment(e, espera_ms);
  }
  // Pending input is thrown away when a message box comes up: note the screen then.
  void BuidarEntrada() override {
    buidats.push_back(Fotografia());
    if (!conservarEntrada) ConsolaVirtual::BuidarEntrada();
  }
  Foto Fotografia() const {
    Foto f{{}, {}, FilaCursor(), ColCursor(), MidaCursorActual()};
    for (int r = 0; r < Alcada(); ++r) {
      f.files.push_back(Fila(r));
      f.colors.push_back(Colors(r));
    }
    return f;
  }
  std::vector<std::string> Files() const { return Fotografia().files; }

  // A key code as the keyboard produces it: a character, or a scan code times 256.
  // Enter and Escape carry their own scan codes as a real keyboard sends them.
  void Clau(int codi, int vegades = 1) {
    for (int i = 0; i < vegades; ++i) {
      if (codi < 256)
        Tecla(static_cast<uint8_t>(codi), codi == '\r' ? 0x1C : codi == 0x1B ? 0x01 : 0);
      else
        Tecla(0, static_cast<uint8_t>(codi >> 8));
    }
  }
  void Claus(std::initializer_list<int> codis) {
    for (int c : codis) Clau(c);
  }
  // Press and release at a 1-based screen position.
  void ClicA(int fila, int col) {
    Clic(fila - 1, col - 1, plat::kBotoEsquerre);
    Clic(fila - 1, col - 1, 0);
  }
  // n screen characters from a 1-based position.
  std::string Tros(int fila, int col, int n) const {
    return Fila(fila - 1).substr(static_cast<size_t>(col - 1), static_cast<size_t>(n));
  }

  std::vector<Foto> fotos;     // one per read of input
  std::vector<Foto> buidats;   // one per discard of pending input
  bool gravar = true;          // off for long random runs that look at no screen
  bool nomesEsperes = false;   // leave out reads that do not wait (polls)
  bool conservarEntrada = false;  // keep the scripted keys when input is discarded
};
