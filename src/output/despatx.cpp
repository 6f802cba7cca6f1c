#include "output/despatx.h"

#include <string>

#include "console/formulari.h"
#include "files/selector.h"
#include "mail/adjunts.h"
#include "mail/formcorreu.h"
#include "output/triar.h"
#include "platform/sistema.h"
#include "session/ini.h"
#include "session/sessio.h"
#include "session/utilitats.h"

OpcionsPeticio Peticio;

namespace {

std::string Veritat(bool b) { return b ? "-1" : " 0"; }

}  // namespace

void DesarEleccio() {
  const EstatSessioT& s = EstatSessio;
  const std::string terminal = s.DirTerminal + "KEVPRINT.INI";
  const std::string eml = s.DirTmp + "KEVEML.INI";
  const std::string assumpte = ValorCamp(kPaginaCorreu, kCampAssumpte);
  const std::string nom = ValorCamp(kPaginaCorreu, kCampNomRemitent);
  const std::string adreca = ValorCamp(kPaginaCorreu, kCampAdrecaRemitent);

  EscriureIni(s.DirTmp + kFitxerQuilTerm, "Sistema", "Sortida", ValorCamp(kPaginaCorreu, kCampDesti));

  EscriureIni(terminal, "Entrada", "PerCorreu", Veritat(ValorCamp(kPaginaCorreu, kCampEnviarCorreu) == "S"));
  EscriureIni(terminal, "Entrada", "PrtTambe", Veritat(ValorCamp(kPaginaCorreu, kCampImprimirTambe) == "S"));

  const std::string mail = s.DirArrel + "MAIL.INI";
  const std::string operador = s.Operador.empty() ? "*" : s.Operador;
  EscriureIni(mail, operador, "Assumpte", assumpte);
  EscriureIni(mail, operador, "Nom", nom);
  EscriureIni(mail, operador, "Mail", adreca);

  // The format has no way to hold ";" (a comment starts there): a folder named with one
  // is not stored cut, which would name another folder; its key goes instead.
  auto senseTall = [](const std::string& v) { return v.find(';') == std::string::npos ? v : std::string(); };
  EscriureIni(terminal, "Cerca", "Unit", senseTall(CarpetaBase));
  EscriureIni(terminal, "Cerca", "Path", senseTall(CarpetaRelativa));

  EscriureIni(eml, "Missatge", "Assumpte", SenseEspaisFinals(assumpte));
  EscriureIni(eml, "Missatge", "Nom", SenseEspaisFinals(nom));
  EscriureIni(eml, "Missatge", "Mail", SenseEspaisFinals(adreca));
  EscriureIni(eml, "Missatge", "Hora", ValorCamp(kPaginaCorreu, kCampHoraEnviament));
  EscriureIni(eml, "Missatge", "Membret", ValorCamp(kPaginaCorreu, kCampMembret) == "S" ? " 1" : " 0");

  for (int k = 1; k <= kMaxAdjunts; ++k) EscriureIni(eml, "Adjunt", " " + std::to_string(k), Adjunts[k]);
}

const char* ProgramaSortida(char desti) {
  switch (desti) {
    case 'P': return "KEVSCR";
    case 'H': return "KEVHTM";
    case 'F': return "KEVPDF";
    case 'W': return "KEVWIN";
    default: return "KEVLPT";
  }
}

void Despatxar() {
  const EstatSessioT& s = EstatSessio;
  EscriureIni(s.DirTmp + kFitxerPeticio, "Opcions", "Correu", "");
  if (Peticio.PerDefecte) EscriureIni(s.DirTerminal + "KEVPRINT.INI", "Entrada", "PerCorreu", " 0");
  const std::string desti = ValorCamp(kPaginaCorreu, kCampDesti);
  plat::ExecutarIEsperar(s.DirExe + ProgramaSortida(desti.empty() ? ' ' : desti[0]));
}

void ReiniciarPeticio() { Peticio = OpcionsPeticio(); }
