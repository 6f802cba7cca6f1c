// Shared set-up for the mail page tests: a virtual console, a scratch work directory,
// the form tables loaded with the mail pages and their hooks installed.
#pragma once
#include <string>
#include <vector>

#include "platform/consola.h"
#include "util/entorn_prova.h"

// Records the screen each time pending input is discarded: that is the moment a
// message box is up and waiting. The scripted keys are kept so a test can go on.
class ConsolaCaptura : public plat::ConsolaVirtual {
 public:
  void BuidarEntrada() override;
  std::vector<std::vector<std::string>> captures;  // rows as CP850 bytes
};

class EntornCorreu {
 public:
  EntornCorreu();
  ~EntornCorreu();

  // Opens the page's window with its frame and lets the page hook draw it, as the
  // engine does.
  void ObrirPagina(int form);
  // n characters at a window-relative row and column of the page.
  std::string Text(int form, int fila, int columna, int n) const;
  // Same on a captured screen.
  std::string TextCaptura(size_t i, int fila1, int col1, int n) const;

  CarpetaTemporal tmp;
  ConsolaCaptura consola;
};
