// What each host backend supplies to the host-independent half of the platform layer.
// Internal to src/platform.
#pragma once
#include <string>

#include "platform/sistema.h"

namespace plat::host {

std::string Entorn(const std::string& nom);  // the real variable, in CP850
Moment Ara();                                // the real local time
bool Executar(const std::string& ordre);     // start and wait, no observer
void Reiniciar();                            // host state back to its start (tests)

}  // namespace plat::host
