// The record manager's DLL, loaded by name from the system's search path.
#include "platform/gestor_registres.h"

#include <windows.h>

namespace plat {

CridaGestor CarregarGestorRegistres(const std::string& biblioteca) {
  // A missing DLL must not bring up the system's "cannot find" box.
  const UINT abans = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE m = LoadLibraryA(biblioteca.c_str());
  SetErrorMode(abans);
  if (!m) return nullptr;
  FARPROC p = GetProcAddress(m, "BTRCALL");
  if (!p) {
    FreeLibrary(m);
    return nullptr;
  }
  return reinterpret_cast<CridaGestor>(reinterpret_cast<void*>(p));
}

}  // namespace plat
