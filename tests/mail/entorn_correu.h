// Shared set-up for the mail page tests: a virtual console, a scratch work directory,
// the form tables loaded with the mail pages and their hooks installed.
#pragma once
#include <string>
#include <vector>

#include "util/consola_prova.h"
#include "util/entorn_prova.h"

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
  ConsolaProva consola;  // notes the screen when a message box throws input away
};
