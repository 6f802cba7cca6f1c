// kevprint: the output-destination dialog. No arguments; always ends with code 0.
#include <memory>

#include "output/principal.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "platform/terminal.h"

int main() {
  // Without a terminal (started from a script) the dialog sees Escape and is abandoned;
  // the request is still consumed and the return program started.
  std::unique_ptr<plat::Consola> terminal = plat::ObrirTerminal();
  if (terminal) {
    plat::FixarConsola(terminal.get());
    plat::FixarCopiaTerminal([](const std::string& text) { plat::CopiarAlTerminal(text); });
  }
  ExecutarPrincipal();
  plat::FixarConsola(nullptr);
  return 0;
}
