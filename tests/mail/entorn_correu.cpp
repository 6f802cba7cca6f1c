#include "entorn_correu.h"

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "mail/adjunts.h"
#include "mail/formcorreu.h"
#include "session/sessio.h"

EntornCorreu::EntornCorreu() {
  ReiniciarSessio();
  EstatSessio.DirTmp = tmp.Programa();
  ReiniciarFinestres();
  ReiniciarColors();
  ReiniciarTecles();
  ReiniciarFormularis();
  ReiniciarAdjunts();
  ReiniciarFormulariCorreu();
  // The scripted keys stay when a message box discards input, so a test can go on.
  consola.conservarEntrada = true;
  plat::FixarConsola(&consola);
  CarregarFormulariCorreu();
  RegistrarGanxosCorreu();
}

EntornCorreu::~EntornCorreu() {
  while (FinestraActual.Nivell > 0) RestaurarFinestra();
  plat::FixarConsola(nullptr);
  ReiniciarFormularis();
  ReiniciarFinestres();
  ReiniciarTecles();
  ReiniciarColors();
  ReiniciarSessio();
}

void EntornCorreu::ObrirPagina(int form) {
  const Formulari& f = Formularis[static_cast<size_t>(form)];
  DesarFinestra(f.Dalt, f.Esquerra, f.Baix, f.Dreta);
  DibuixarMarc(2);
  DibuixarFormulari(static_cast<int16_t>(form));
}

std::string EntornCorreu::Text(int form, int fila, int columna, int n) const {
  const Formulari& f = Formularis[static_cast<size_t>(form)];
  // Window row 0 is the frame's top line at screen row Dalt (1-based).
  return consola.Fila(f.Dalt + fila - 1).substr(static_cast<size_t>(f.Esquerra + columna - 1),
                                                static_cast<size_t>(n));
}

std::string EntornCorreu::TextCaptura(size_t i, int fila1, int col1, int n) const {
  return consola.buidats.at(i).files.at(static_cast<size_t>(fila1 - 1))
      .substr(static_cast<size_t>(col1 - 1), static_cast<size_t>(n));
}
