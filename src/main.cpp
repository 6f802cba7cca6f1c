// kevprint: the output-destination dialog. No arguments; always ends with code 0.
#include <memory>

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
  return 0;
}
