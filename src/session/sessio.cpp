#include "session/sessio.h"

#include "platform/sistema.h"
#include "session/ini.h"
#include "session/utilitats.h"

EstatSessioT EstatSessio;

namespace {

std::string AmbSeparador(std::string d) {
  if (!d.empty() && d.back() != ':' && d.back() != '\\') d += '\\';
  return d;
}

// TERM, or KEVTERM where TERM names the terminal type.
std::string VariableTerminal() { return plat::Entorn(plat::NomVariableTerminal()); }

// Leading number of the two characters at pos; 0 beyond the end or when not a digit.
int16_t Parella(const std::string& s, size_t pos) {
  if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return 0;
  return static_cast<int16_t>(ValorNumeric(s.substr(pos, 2)));
}

}  // namespace

void IniciSessio() {
  EstatSessioT& e = EstatSessio;
  e = EstatSessioT();
  e.DirArrel = plat::Entorn("KEVROOT");
  e.DirExe = plat::Entorn("KEVEXE");
  e.DirTmp = AmbSeparador(plat::Entorn("KEVTMP"));

  // One opening per file: a run starts often, and every lookup of a path costs.
  const std::vector<std::string> sessio =
      LlegirIniVaris(e.DirTmp + "Sessio.ini", {{"Menu", "NomMenu"}, {"Menu", "Operador"}, {"Terminal", "Dir"}});
  e.NomMenu = sessio[0];
  e.Operador = sessio[1];
  e.DirTerminal = sessio[2];
  if (e.DirTerminal.empty()) e.DirTerminal = VariableTerminal();
  e.DirTerminal = AmbSeparador(e.DirTerminal);
  if (e.DirTmp.empty()) e.DirTmp = e.DirTerminal;

  IniObert quilTerm(e.DirTmp + kFitxerQuilTerm);
  const int64_t n = ValorNumeric(quilTerm.Valor("Pantalla", "Seleccio"));
  std::string colors = quilTerm.Valor("Pantalla", "Col" + std::to_string(n));
  if (colors.empty()) colors = "15000700000700070007";
  for (size_t i = 0; i < 5; ++i) {
    e.TaulaColors[i][0] = Parella(colors, 4 * i);
    e.TaulaColors[i][1] = Parella(colors, 4 * i + 2);
  }

  e.DataTreball = EmpaquetarDigits(quilTerm.Valor("Sistema", "Data"));
  e.Idioma = Ajustat(quilTerm.Valor("Sistema", "Idioma"), 3);
  if (SenseEspaisFinals(e.Idioma).empty()) e.Idioma = Ajustat(LlegirIni(e.DirArrel + kFitxerQuil, "Usuari", "Idioma"), 3);

  if (!plat::Entorn("HTTP_USER_AGENT").empty() || !plat::Entorn("HTTP_ACCEPT").empty())
    e.Entorn = "CGI";
  else if (!plat::Entorn("WINDIR").empty() || !plat::Entorn("SYSTEMROOT").empty())
    e.Entorn = "WIN";
  else
    e.Entorn = "DOS";
}

void ReiniciarSessio() { EstatSessio = EstatSessioT(); }
