// Windows open files. Build scaffolding only: the real calls follow.
#include <windows.h>

#include "platform/fitxer_obert.h"

namespace plat {

FitxerObert::~FitxerObert() {}
FitxerObert::FitxerObert(FitxerObert&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
FitxerObert& FitxerObert::operator=(FitxerObert&& o) noexcept {
  fd_ = o.fd_;
  o.fd_ = -1;
  return *this;
}
int64_t FitxerObert::Llegir(char*, size_t) { return -1; }
bool FitxerObert::EscriureTot(const char*, size_t) { return false; }
bool FitxerObert::Situar(int64_t) { return false; }
bool FitxerObert::Sincronitzar() { return false; }
bool FitxerObert::Tancar() { return false; }
bool FitxerObert::BloquejarExclusiu(int) { return false; }
bool FitxerObert::MateixFitxer(const std::string&) const { return false; }
FitxerObert ObrirLectura(const std::string&, bool) { return FitxerObert(); }
FitxerObert CrearExclusiu(const std::string&, bool* j) { if (j) *j = false; return FitxerObert(); }
bool CopiarPermisos(const FitxerObert&, FitxerObert&) { return false; }
bool ReanomenarAtomic(const std::string&, const std::string&) { return false; }
bool EsborrarFitxer(const std::string&) { return false; }
void SincronitzarCarpeta(const std::string&) {}

}  // namespace plat
