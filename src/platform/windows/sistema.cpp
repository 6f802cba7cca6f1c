// Windows half of the system layer. Build scaffolding only: the real calls follow.
#include <windows.h>

#include "platform/host.h"
#include "platform/sistema.h"

namespace plat {

std::string host::Entorn(const std::string&) { return std::string(); }
Moment host::Ara() { return Moment{}; }
bool host::Executar(const std::string&) { return false; }
void host::Reiniciar() {}
void FixarCopiaTerminal(std::function<void(const std::string&)>) {}
void CopiarPortaretalls(const std::string&) {}
std::string LlegirPortaretalls() { return std::string(); }
bool ModeInsercio() { return false; }
void FixarModeInsercio(bool) {}

}  // namespace plat
