#include "mail/formcorreu.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "mail/adjunts.h"
#include "mail/validacio.h"
#include "output/traduccio.h"
#include "platform/consola.h"

std::string TitolCaixa;
bool MembretExisteix = false;

namespace {

const char kTeclesPagina[] = "d,4900,5100,1b,4800,7300=4800,5000,7400=5000,4f00,3c00,3e00";
const char kSiNo[] = "|S,S\xD6|N,NO";
const char kNoDesable[] = ";";

struct FilaCamp {
  int fila, columna;
  const char* etiqueta;
  int longitud, ampladaVisible, ampladaDescripcio, indicadors, rol, llista;
  const char* opcions;
};

void AfegirFormulari(std::vector<std::string>& d, int numCamps, int enllac, int dalt,
                     int esquerra, int baix, int dreta) {
  d.push_back(kTeclesPagina);
  for (int n : {numCamps, enllac, dalt, esquerra, baix, dreta}) d.push_back(std::to_string(n));
}

void AfegirCamp(std::vector<std::string>& d, const FilaCamp& c) {
  d.push_back(std::to_string(c.fila));
  d.push_back(std::to_string(c.columna));
  d.push_back(c.etiqueta);
  for (int n : {c.longitud, c.ampladaVisible, c.ampladaDescripcio, c.indicadors, c.rol, c.llista})
    d.push_back(std::to_string(n));
  d.push_back(c.opcions);
}

bool Desactivat(const Camp& c) {
  return (c.Indicadors & (kCampOcult | kCampNomesVeure)) == (kCampOcult | kCampNomesVeure);
}

std::string Ajustar(const std::string& text, size_t mida) {
  std::string r = text.substr(0, mida);
  r.resize(mida, ' ');
  return r;
}

// Description of the option whose code equals the value exactly; false when none does.
bool DescripcioOpcio(const std::string& opcions, const std::string& valor, std::string& desc) {
  size_t p = opcions.find('|');
  while (p != std::string::npos) {
    const size_t seguent = opcions.find('|', p + 1);
    const std::string item =
        opcions.substr(p + 1, seguent == std::string::npos ? std::string::npos : seguent - p - 1);
    const size_t coma = item.find(',');
    if (coma != std::string::npos && item.compare(0, coma, valor) == 0 && coma == valor.size()) {
      desc = item.substr(coma + 1);
      return true;
    }
    p = seguent;
  }
  return false;
}

bool CorreuActiu(const Camp& interruptor) {
  return interruptor.Valor.substr(0, 1) == "S";
}

// Draws the value of one field at its place, without the switch's dependencies.
void DibuixarValor(const Camp& c) {
  const int16_t columna = static_cast<int16_t>(c.Columna + c.Etiqueta.size());
  SituarCursor(c.Fila, columna);

  if (Desactivat(c)) {
    if (c.AmpladaVisible > 0) {
      const int linies = (c.Longitud + c.AmpladaVisible - 1) / c.AmpladaVisible;
      for (int i = 0; i < linies; ++i) {
        SituarCursor(static_cast<int16_t>(c.Fila + i), columna);
        EscriureText(std::string(c.AmpladaVisible, '-'));
      }
    } else {
      EscriureText(std::string(std::max(0, c.Longitud + c.AmpladaDescripcio), '-'));
    }
    return;
  }
  if (c.Indicadors & kCampOcult) return;

  if (!c.OpcionsCamp.empty()) {
    const size_t amplada = static_cast<size_t>(std::max(0, c.Longitud + c.AmpladaDescripcio));
    std::string desc;
    // With no matching option the area is blanked, so no stale dashes or codes remain.
    if (!DescripcioOpcio(c.OpcionsCamp, c.Valor, desc)) desc.clear();
    EscriureText(Ajustar(desc, amplada));
    return;
  }

  if (c.AmpladaVisible > 0) {
    int fila = c.Fila;
    for (size_t i = 0; i < c.Valor.size(); i += static_cast<size_t>(c.AmpladaVisible), ++fila) {
      SituarCursor(static_cast<int16_t>(fila), columna);
      EscriureText(c.Valor.substr(i, static_cast<size_t>(c.AmpladaVisible)));
    }
  } else {
    EscriureText(c.Valor);
  }
}

// The mail switch enables or disables the next field and the last five of the page
// together; the letterhead question only when the letterhead image exists.
void AplicarInterruptor(int16_t form, int16_t camp) {
  Camp* interruptor = CampFormulari(form, camp);
  if (!interruptor || form < 1 || form >= static_cast<int>(Formularis.size())) return;
  Formulari& f = Formularis[static_cast<size_t>(form)];
  const bool actiu = CorreuActiu(*interruptor);
  for (int d = 1; d <= f.NumCamps; ++d) {
    if (d == camp || (d != camp + 1 && d < f.NumCamps - 4)) continue;
    Camp* dep = CampFormulari(form, d);
    if (!dep) continue;
    if (actiu && (d != f.NumCamps || MembretExisteix))
      dep->Indicadors = static_cast<int16_t>(dep->Indicadors & ~(kCampOcult | kCampNomesVeure));
    else
      dep->Indicadors = static_cast<int16_t>(dep->Indicadors | kCampOcult | kCampNomesVeure);
    DibuixarValor(*dep);
  }
  // The attachments page is reachable only with e-mail switched on.
  f.Enllac = actiu ? kPaginaAdjunts : 0;
}

}  // namespace

std::vector<std::string> DefinicioFormulariCorreu() {
  static const FilaCamp kPagina1[] = {
      {1, 2, "", 1, 0, 40, 0, kRolNormal, 0, ""},
      {3, 2, "ENVIAR PER CORREU ELECTR\xE3NIC ? ", 1, 0, 2, 0, kRolInterruptorCorreu, 0, kSiNo},
      {4, 2, "IMPRIMIR-LOS TAMB\x90 ? ", 1, 0, 2, 0, kRolNormal, 0, kSiNo},
      {7, 2, "ASSUMPTE : ", 40, 0, 0, 0, kRolNormal, 0, ""},
      {9, 2, "NOM .....: ", 40, 0, 0, 0, kRolNormal, 0, ""},
      {10, 2, "CORREU ..: ", 40, 0, 0, 0, kRolAdrecaCorreu, 0, ""},
      {12, 2, "ENVIAR ? ", 2, 0, 10, 0, kRolNormal, 0, "|00,IMMEDIAT"},
      {14, 2, "MEMBRET ? ", 1, 0, 2, 0, kRolNormal, 0, kSiNo},
  };
  std::vector<std::string> d;
  // Counts, two form heads, 19 fields and the list layout: grown step by step, the table
  // would leave freed blocks behind it for nothing.
  d.reserve(2 + 2 * 7 + 19 * 10 + 10);
  d.push_back("2");   // forms
  d.push_back("11");  // most fields in one form
  AfegirFormulari(d, 8, kPaginaAdjunts, 5, 18, 20, 72);
  for (const FilaCamp& c : kPagina1) AfegirCamp(d, c);

  AfegirFormulari(d, 11, 0, 10, 6, 25, 74);
  AfegirCamp(d, {1, 2, "", 260, 65, 0, 0, kRolAdjunt, 1, ""});
  for (int n = 2; n <= 11; ++n) AfegirCamp(d, {n + 3, 2, "", 65, 0, 0, kCampNomesVeure, kRolNormal, 0, ""});

  // The file picker's list layout.
  d.push_back("1");
  for (const char* n : {"0", "0", "2", "20", "25", "80", "0"}) d.push_back(n);
  d.push_back("");
  d.push_back("0");
  return d;
}

bool CarregarFormulariCorreu() {
  if (!CarregarFormularis(DefinicioFormulariCorreu(), TraduirText)) return false;
  TitolCaixa = TraduirText(" SELECCI\xE0 IMPRESSORA ");
  FixarValorCamp(kPaginaCorreu, kCampEnviarCorreu, "N");
  FixarValorCamp(kPaginaCorreu, kCampImprimirTambe, "N");
  FixarValorCamp(kPaginaCorreu, kCampMembret, "N");
  FixarValorCamp(kPaginaCorreu, kCampHoraEnviament, "00");
  // These values are stored in INI files, where ";" starts a comment: a value holding it
  // would be read back cut short, so the fields do not take it.
  const std::pair<int, int> textos[] = {{kPaginaCorreu, kCampAssumpte},
                                        {kPaginaCorreu, kCampNomRemitent},
                                        {kPaginaCorreu, kCampAdrecaRemitent},
                                        {kPaginaAdjunts, kCampFitxerAdjunt}};
  for (const auto& [form, camp] : textos)
    if (Camp* c = CampFormulari(form, camp)) c->CaractersRefusats = kNoDesable;
  return true;
}

void RegistrarGanxosCorreu() {
  Ganxos.DibuixarFormulari = DibuixarFormulari;
  Ganxos.DibuixarCamp = DibuixarCamp;
  Ganxos.AcceptarCamp = AcceptarCamp;
  Ganxos.ValidarSortidaFormulari = ValidarSortidaFormulari;
}

void DibuixarFormulari(int16_t form) {
  if (form < 1 || form >= static_cast<int>(Formularis.size())) return;
  const Formulari& f = Formularis[static_cast<size_t>(form)];

  TriaColor("rh");
  if (form == kPaginaCorreu) {
    SituarCursor(0, 1);
    EscriureText(TitolCaixa);
    SituarCursor(6, 1);
    EscriureText(TraduirText(" REMITENT "));
  } else if (form == kPaginaAdjunts) {
    SituarCursor(0, 1);
    EscriureText(TraduirText(" FITXERS ADJUNTS "));
  }

  TriaColor("n");
  for (int c = 1; c <= f.NumCamps; ++c) {
    const Camp* camp = CampFormulari(form, c);
    if (!camp) continue;
    SituarCursor(camp->Fila, camp->Columna);
    EscriureText(camp->Etiqueta);
  }

  TriaColor("h");
  for (int c = 1; c <= f.NumCamps; ++c) DibuixarCamp(form, static_cast<int16_t>(c));
}

void DibuixarCamp(int16_t form, int16_t camp) {
  const Camp* c = CampFormulari(form, camp);
  if (!c) return;
  if (c->Rol == kRolInterruptorCorreu) AplicarInterruptor(form, camp);
  DibuixarValor(*c);
}

int16_t AcceptarCamp(int16_t form, std::string& text, int16_t& camp, int16_t& /*tecla*/) {
  const Camp* c = CampFormulari(form, camp);
  if (!c) return 0;
  int16_t resultat = 0;
  switch (c->Rol) {
    case kRolAdrecaCorreu: {
      std::string adreca = text;
      resultat = ValidarCorreu(adreca);
      if (resultat == 0) FixarValorCamp(form, camp, adreca);
      break;
    }
    case kRolAdjunt:
      resultat = AfegirTreureAdjunt(form, text);
      break;
    default:
      FixarValorCamp(form, camp, text);
      break;
  }
  if (resultat == 0) DibuixarCamp(form, camp);
  return resultat;
}

int16_t ValidarSortidaFormulari(int16_t form, int16_t tecla) {
  if (tecla == kTeclaEscape || form != kPaginaCorreu) return 0;
  const Camp* interruptor = CampFormulari(form, kCampEnviarCorreu);
  if (!interruptor || !CorreuActiu(*interruptor)) return 0;
  if (ValorCamp(form, kCampAdrecaRemitent).find('@') != std::string::npos) return 0;

  MostrarMissatge(18, TraduirText("HEU D'INDICAR EL CORREU DEL REMITENT"));
  plat::ConsolaActual().Xiulet();
  BuidarTeclat();
  EsperarTecla();
  RestaurarFinestra();
  return -1;
}

void ReiniciarFormulariCorreu() {
  TitolCaixa.clear();
  MembretExisteix = false;
}
