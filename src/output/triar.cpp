#include "output/triar.h"

#include <cstring>

#include "console/formulari.h"
#include "dates/dates.h"
#include "fields/colors.h"
#include "files/camins.h"
#include "files/selector.h"
#include "mail/formcorreu.h"
#include "output/despatx.h"
#include "output/traduccio.h"
#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/ini.h"
#include "session/sessio.h"
#include "session/utilitats.h"

namespace {

const char* const kParaulesControl[] = {"SEND", "DEVICE", "PAGE", "JUS"};

char Majuscula(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

// ---------------------------------------------------------------------------------------
// Content test

void DetectorContingut::JutjarLinia() {
  // Reached only when the line ended before its first word could match a control word.
  contingut_ = true;
}

bool DetectorContingut::Afegir(const char* p, size_t n) {
  for (size_t i = 0; i < n && !contingut_; ++i) {
    const char c = p[i];
    const bool fiLinia = c == '\r' || c == '\n';
    switch (estat_) {
      case Estat::Inici:
        if (fiLinia) break;
        // Only a "*" in the first column marks a comment; leading spaces are skipped
        // for the control words alone.
        if (c == '*') {
          estat_ = Estat::Resta;
          break;
        }
        if (c == ' ') {
          estat_ = Estat::Sangria;
          break;
        }
        [[fallthrough]];
      case Estat::Sangria:
        if (c == ' ') break;
        if (fiLinia) {
          estat_ = Estat::Inici;
          break;
        }
        nPrefix_ = 0;
        estat_ = Estat::Prefix;
        [[fallthrough]];
      case Estat::Prefix: {
        if (fiLinia) {
          JutjarLinia();
          break;
        }
        prefix_[nPrefix_++] = Majuscula(c);
        bool possible = false, complet = false;
        for (const char* w : kParaulesControl) {
          const size_t lw = strlen(w);
          if (nPrefix_ <= lw && memcmp(prefix_, w, nPrefix_) == 0) {
            possible = true;
            complet = complet || nPrefix_ == lw;
          }
        }
        if (complet)
          estat_ = Estat::Resta;
        else if (!possible)
          contingut_ = true;
        break;
      }
      case Estat::Resta:
        if (fiLinia) estat_ = Estat::Inici;
        break;
    }
  }
  return contingut_;
}

bool DetectorContingut::Acabar() {
  if (!contingut_ && estat_ == Estat::Prefix) JutjarLinia();
  estat_ = Estat::Inici;
  return contingut_;
}

bool LlistatTeContingut(const std::string& cami) {
  // A FIFO or device in place of the listing is refused, so it cannot stall the run.
  plat::FitxerObert f = plat::ObrirLecturaCami(cami);
  if (!f) return false;
  // Most listings show content in their first lines. A small block on the stack: a large
  // one on the heap would be handed back to the system at once, and a deep one on the
  // stack costs fresh pages, both more than a few more reads.
  char buf[4096];
  DetectorContingut d;
  for (;;) {
    const int64_t r = f.Llegir(buf, sizeof buf);
    if (r <= 0) break;
    if (d.Afegir(buf, static_cast<size_t>(r))) break;
  }
  return d.Acabar();
}

// ---------------------------------------------------------------------------------------

std::string LlistaSortides() {
  std::string l = "|P," + TraduirText("PANTALLA");
  std::vector<ClauIni> claus;
  for (int n = 1; n <= 9; ++n) claus.push_back({"Impressores", "LPT" + std::to_string(n) + ".Nom"});
  const std::vector<std::string> noms = LlegirIniVaris(EstatSessio.DirTerminal + "KEVLSTPR.INI", claus);
  for (int n = 1; n <= 9; ++n)
    if (!noms[n - 1].empty()) l += "|" + std::to_string(n) + "," + noms[n - 1];
  return l + "|H,HTML|F,PDF|W,WINDOWS";
}

std::string OpcionsHora() {
  const plat::Moment ara = plat::Ara();
  const std::string avui = DatEmpaquetar(ara.any, ara.mes, ara.dia);
  // The hours ahead fall on at most three of the next four days: each text is made once.
  std::string dies[4];  // today + 0 .. 3 (the latest: 23 h + 49 h = day 3)
  std::string l;
  l.reserve(48 * 16);
  for (int n = 2; n <= 49; ++n) {
    const int h = ara.hora + n;
    std::string& dia = dies[h / 24];
    if (dia.empty()) dia = DatText("dm", 0, DatSuma("d", h / 24, avui));
    // "|NN,HH.00 " then the day: both numbers have two digits.
    const char item[] = {'|', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), ',',
                         static_cast<char>('0' + h % 24 / 10), static_cast<char>('0' + h % 24 % 10),
                         '.', '0', '0', ' '};
    l.append(item, sizeof item).append(dia);
  }
  return l;
}

void TriarSortida() {
  const EstatSessioT& s = EstatSessio;
  const std::string peticio = s.DirTmp + kFitxerPeticio;
  const std::string terminal = s.DirTerminal + "KEVPRINT.INI";
  const std::vector<std::string> opcions = LlegirIniVaris(peticio, {{"Opcions", "Mostrar"}, {"Opcions", "Correu"}});
  Peticio.Mostrar = opcions[0] != "N";
  Peticio.Correu = opcions[1] == "S";
  const std::vector<std::string> entrada =
      LlegirIniVaris(terminal, {{"Entrada", "PerDefecte"}, {"Cerca", "Unit"}});
  Peticio.PerDefecte = ValorNumeric(entrada[0]) != 0;
  const std::vector<std::string> quil =
      LlegirIniVaris(s.DirArrel + kFitxerQuil, {{"KevPrint", "DosOnly"}, {"KevPrint", "Empresa"}});
  Peticio.DosOnly = ValorNumeric(quil[0]) != 0;

  if (!LlistatTeContingut(s.DirTmp + "kevprint.tmp")) return;

  if (Camp* c = CampFormulari(kPaginaCorreu, kCampDesti)) c->OpcionsCamp = LlistaSortides();
  FixarValorCamp(kPaginaCorreu, kCampDesti, LlegirIni(s.DirTmp + kFitxerQuilTerm, "Sistema", "Sortida"));

  const std::string operador = s.Operador.empty() ? "*" : s.Operador;
  const std::string mail = s.DirArrel + "MAIL.INI";
  const std::vector<std::string> darrers =
      LlegirIniVaris(mail, {{operador, "Assumpte"}, {operador, "Nom"}, {operador, "Mail"}});
  FixarValorCamp(kPaginaCorreu, kCampAssumpte, darrers[0]);
  FixarValorCamp(kPaginaCorreu, kCampNomRemitent, darrers[1]);
  FixarValorCamp(kPaginaCorreu, kCampAdrecaRemitent, darrers[2]);

  // The company code names the letterhead image; it is kept with the installation's
  // other print settings.
  const std::string empresa = Retallat(quil[1]);
  MembretExisteix = !empresa.empty() && ExisteixCami(CamiCurt(s.DirArrel + "IMATGES\\" + empresa + ".GIF"));

  CarpetaBase = entrada[1];

  if (Camp* c = CampFormulari(kPaginaCorreu, kCampHoraEnviament)) c->OpcionsCamp += OpcionsHora();

  if (!Peticio.Correu)
    for (int camp : {kCampEnviarCorreu, kCampImprimirTambe})
      if (Camp* c = CampFormulari(kPaginaCorreu, camp)) c->Indicadors |= kCampOcult | kCampNomesVeure;

  if (!Peticio.Mostrar || Peticio.PerDefecte) {
    Despatxar();
    return;
  }
  if (s.Entorn == "WIN" && !Peticio.DosOnly && ExisteixCami(s.DirExe + "KEWPRINT.EXE")) {
    plat::ExecutarIEsperar(s.DirExe + "KEWPRINT.EXE " + s.DirTmp);
    return;
  }
  TriaColor("n");
  CarpetaRelativa.clear();
  int16_t tecla = 0;
  ExecutarFormulari(kPaginaCorreu, 0, 0, tecla);
  if (tecla == 27) return;
  DesarEleccio();
  Despatxar();
}
