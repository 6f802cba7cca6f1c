// kevprint: the output-destination dialog. No arguments; always ends with code 0.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "files/camins.h"
#include "output/principal.h"
#include "platform/consola.h"
#include "records/registres.h"

int main() {
  // Without a console (started from a script) the dialog sees Escape and is abandoned;
  // the request is still consumed and the return program started.
  std::unique_ptr<plat::Consola> consola = plat::ObrirConsola();
  if (consola) plat::FixarConsola(consola.get());
  UsarGestorSistema();
  ExecutarPrincipal();
  plat::FixarConsola(nullptr);
  consola.reset();  // the terminal as the caller left it
  ReiniciarCamins();  // our listing files removed
  // Nothing else is owed to anyone: the global tables' destructors would only touch code
  // and memory not used since start-up.
  std::fflush(nullptr);
  std::_Exit(0);
}
