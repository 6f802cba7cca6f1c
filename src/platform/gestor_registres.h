// The system's record manager, where one is installed: the entry point of its DLL.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// BTRCALL: operation, position block, data buffer, data length in/out, key buffer, key
// length, key number -> status.
using CridaGestor = int (*)(uint16_t operacio, void* blocPosicio, void* dades, uint32_t* longDades, void* clau,
                            uint8_t longClau, int8_t numClau);

// The entry point when the library can be loaded and exports BTRCALL; nullptr otherwise
// (always on hosts without such libraries). The library stays loaded.
CridaGestor CarregarGestorRegistres(const std::string& biblioteca = "WBTRV32.DLL");

}  // namespace plat
