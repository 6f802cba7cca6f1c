#include "entorn_sortida.h"

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "dates/dates.h"
#include "fields/colors.h"
#include "files/selector.h"
#include "mail/adjunts.h"
#include "mail/formcorreu.h"
#include "output/despatx.h"
#include "platform/sistema.h"
#include "session/sessio.h"

EntornSortida::EntornSortida() {
  ReiniciarSessio();
  ReiniciarDates();
  ReiniciarFinestres();
  ReiniciarColors();
  ReiniciarTecles();
  ReiniciarFormularis();
  ReiniciarAdjunts();
  ReiniciarFormulariCorreu();
  ReiniciarSelector();
  ReiniciarPeticio();
  for (const char* d : {"arrel/x", "exe/x", "term/x", "tmp/x"}) tmp.Escriure(d, "");
  const std::string p = tmp.Programa();
  EstatSessio.DirArrel = p + "arrel\\";
  EstatSessio.DirExe = p + "exe\\";
  EstatSessio.DirTerminal = p + "term\\";
  EstatSessio.DirTmp = p + "tmp\\";
  EstatSessio.Idioma = "   ";
  plat::FixarConsola(&consola);
  plat::FixarRellotge(plat::Moment{2024, 3, 15, 10, 37, 0, 0});
  plat::FixarObservadorProcessos([this](const std::string& o) {
    ordres.push_back(o);
    return false;
  });
  CarregarFormulariCorreu();
  RegistrarGanxosCorreu();
}

EntornSortida::~EntornSortida() {
  while (FinestraActual.Nivell > 0) RestaurarFinestra();
  plat::FixarObservadorProcessos(nullptr);
  plat::FixarRellotge(std::nullopt);
  plat::FixarConsola(nullptr);
  ReiniciarFormularis();
  ReiniciarFinestres();
  ReiniciarTecles();
  ReiniciarColors();
  ReiniciarSelector();
  ReiniciarAdjunts();
  ReiniciarPeticio();
  ReiniciarDates();
  ReiniciarSessio();
}

std::vector<std::string> EntornSortida::Ordres() const {
  std::vector<std::string> r;
  const std::string p = tmp.Programa();
  for (const auto& o : ordres) r.push_back(o.rfind(p, 0) == 0 ? o.substr(p.size()) : o);
  return r;
}
