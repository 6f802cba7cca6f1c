// Windows files and paths. Build scaffolding only: the real calls follow.
#include <windows.h>

#include "platform/fitxers.h"

namespace plat {

std::string CamiHost(const std::string& c) { return c; }
std::string CamiPrograma(const std::string& h) { return h; }
std::string CarpetaUnitat(char) { return std::string(); }
std::string UnitatsMapejades() { return std::string(); }
void RecarregarUnitats() {}
InfoFitxer Info(const std::string&) { return InfoFitxer{}; }
bool LlegirDirectori(const std::string&, std::vector<EntradaDirectori>& e) { e.clear(); return false; }
std::optional<std::string> LlegirFitxer(const std::string&, size_t) { return std::nullopt; }
bool EscriureFitxer(const std::string&, const std::string&) { return false; }
int Esborrar(const std::string&) { return 1; }
int EsborrarDirectori(const std::string&) { return 1; }
int Reanomenar(const std::string&, const std::string&) { return 1; }
bool CrearDirectori(const std::string&) { return false; }
std::string DirectoriActual() { return std::string(); }
std::string DirectoriActualUnitat(char) { return std::string(); }
bool CanviarDirectori(const std::string&) { return false; }
InfoUnitat DescriureUnitat(char) { return InfoUnitat{}; }

}  // namespace plat
