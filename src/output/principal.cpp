#include "output/principal.h"

#include "console/ajuda.h"
#include "fields/calculadora.h"
#include "files/camins.h"
#include "files/selector.h"
#include "mail/adjunts.h"
#include "mail/formcorreu.h"
#include "output/triar.h"
#include "platform/consola.h"
#include "platform/cp850.h"
#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/ini.h"
#include "session/sessio.h"
#include "session/utilitats.h"

namespace {

// USERPROFILE, or HOME (in the program's path form) where the host has no such variable.
std::string PerfilUsuari() {
  std::string p = plat::Entorn("USERPROFILE");
  if (p.empty() && !plat::Entorn("HOME").empty()) p = plat::CamiPrograma(plat::Cp850AUtf8(plat::Entorn("HOME")));
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  return p;
}

std::string Primera(const std::string& base, const char* nom, const char* alternatiu) {
  const std::string a = base + "\\" + nom + "\\";
  if (alternatiu == nullptr || ExisteixCami(a, kCamiDirectori)) return a;
  return base + "\\" + alternatiu + "\\";
}

// What a terminal smaller than 80 x 25 shows, in the session language.
std::string MissatgeMidaIdioma() {
  const std::string& i = EstatSessio.Idioma;
  if (i == "SPA") return "Se necesita una ventana de 80 x 25 como m\xA1nimo";
  if (i == "GLG") return "Precisa-se umha janela de 80 x 25 polo menos";
  if (i == "OCI") return "Cau ua fen\x8Astra de 80 x 25 coma m\xA1nim";
  return "Cal una finestra de 80 x 25 com a m\xA1nim";
}

}  // namespace

void ConsumirPeticio(const std::string& peticio, const std::string& configuracio) {
  // With KEVTMP unset the work folder is the terminal folder, and file names match
  // without regard to case: the request is then the terminal's settings file, and only
  // what the caller wrote there goes.
  if (plat::MateixFitxer(peticio, configuracio)) {
    for (const char* clau : {"Mostrar", "Correu", "Tornar"}) EscriureIni(peticio, "Opcions", clau, "");
    TreureSeccioBuidaIni(peticio, "Opcions");
    return;
  }
  EsborrarCami(peticio);
}

void PrepararCarpetesEspecials() {
  const std::string perfil = PerfilUsuari();
  const std::string windir = plat::Entorn("windir");
  const std::string base_docs = perfil.empty() ? PartsCami(1, windir) : perfil;
  const std::string base = perfil.empty() ? windir : perfil;
  // The host desktop's own folder name comes first where it has one and it exists (a
  // Linux desktop's "Documents"); the suite's names are the fallback it always used.
  const std::string docs = plat::CarpetaDocumentsHost();
  CarpetesEspecials[0] = !docs.empty() && ExisteixCami(base_docs + "\\" + docs + "\\", kCamiDirectori)
                             ? base_docs + "\\" + docs + "\\"
                             : Primera(base_docs, "MyDocs", "Mis Documentos");
  CarpetesEspecials[1] = Primera(base, "Desktop", "Escritorio");
  CarpetesEspecials[2] = Primera(base, "Recent", nullptr);
}

int ExecutarPrincipal() {
  plat::ConsolaActual().MidaCursor(0);
  IniciSessio();
  plat::FixarMissatgeMida(MissatgeMidaIdioma());
  if (!EstatSessio.DirArrel.empty()) plat::CanviarDirectori(EstatSessio.DirArrel);
  CarregarFormulariCorreu();
  RegistrarGanxosCorreu();
  RegistrarSelector();
  RegistrarCalculadoraICalendari();
  RegistrarAjuda();
  PrepararCarpetesEspecials();
  ReiniciarAdjunts();

  TriarSortida();

  const std::string peticio = EstatSessio.DirTmp + kFitxerPeticio;
  const std::string tornar = LlegirIni(peticio, "Opcions", "Tornar");
  ConsumirPeticio(peticio, EstatSessio.DirTerminal + "KEVPRINT.INI");
  if (!tornar.empty()) plat::ExecutarIEsperar(EstatSessio.DirExe + tornar);
  return 0;
}
