#include "console/formulari.h"

#include <algorithm>
#include <charconv>

#include "console/finestres.h"
#include "console/llistes.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "fields/editor.h"
#include "platform/consola.h"
#include "session/sessio.h"

std::vector<Formulari> Formularis;
std::vector<DefLlista> Llistes;
int16_t PaginaRecordada = 0;
GanxosFormulari Ganxos;

namespace {

// Linked pages run nested; a descriptor whose links loop must not exhaust the stack.
int ProfunditatPagines = 0;
constexpr int kMaxProfunditat = 32;

// Reads the descriptor's items in order, refusing anything out of shape.
class LectorItems {
 public:
  explicit LectorItems(const std::vector<std::string>& items) : items_(items) {}
  size_t Queden() const { return items_.size() - pos_; }
  bool Text(std::string& s) {
    if (pos_ >= items_.size()) return false;
    s = items_[pos_++];
    return true;
  }
  bool Numero(int16_t& n, int minim = -32768) {
    if (pos_ >= items_.size()) return false;
    const std::string& s = items_[pos_++];
    size_t a = s.find_first_not_of(' ');
    size_t b = s.find_last_not_of(' ');
    if (a == std::string::npos) return false;
    const char* ini = s.data() + a;
    const char* fi = s.data() + b + 1;
    if (*ini == '+') ++ini;
    int v = 0;
    auto r = std::from_chars(ini, fi, v);
    if (r.ec != std::errc() || r.ptr != fi || v < minim || v > 32767) return false;
    n = static_cast<int16_t>(v);
    return true;
  }

 private:
  const std::vector<std::string>& items_;
  size_t pos_ = 0;
};

bool FormValid(int f) { return f >= 1 && f < static_cast<int>(Formularis.size()); }

int NumCamps(int f) {
  const Formulari& F = Formularis[static_cast<size_t>(f)];
  return std::clamp<int>(F.NumCamps, 0, static_cast<int>(F.Camps.size()) - 1);
}

int Enllac(int f) {
  int e = Formularis[static_cast<size_t>(f)].Enllac;
  return FormValid(e) ? e : 0;
}

bool NomesVeure(int f, int c) {
  const Camp* cp = CampFormulari(f, c);
  return !cp || (cp->Indicadors & kCampNomesVeure);
}

void PrimerDarrer(int f, int& primer, int& darrer) {
  int n = NumCamps(f);
  primer = n + 1;
  darrer = 0;
  for (int c = 1; c <= n; ++c) {
    if (NomesVeure(f, c)) continue;
    primer = std::min(primer, c);
    darrer = c;
  }
}

std::string SenseFinals(const std::string& s) {
  size_t b = s.find_last_not_of(' ');
  return b == std::string::npos ? "" : s.substr(0, b + 1);
}

bool EnBlanc(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

std::string Numero2(int16_t n) {
  std::string s(2, '\0');
  s[0] = static_cast<char>(static_cast<uint16_t>(n) & 0xFF);
  s[1] = static_cast<char>(static_cast<uint16_t>(n) >> 8);
  return s;
}

int16_t Desapilar2() {
  std::string s = DesapilarText();
  if (s.size() != 2) return 0;
  return static_cast<int16_t>(static_cast<uint8_t>(s[0]) | (static_cast<uint8_t>(s[1]) << 8));
}

// A linked page ends this page too when it was left with one of these keys.
bool TeclaTancaPagina(int16_t k) {
  return k == kTeclaRePag || k == kTeclaAvPag || k == kTeclaFinal || k == kTeclaCtrlB || k == kTeclaEnter ||
         k == kTeclaAvall || k == kTeclaAmunt;
}

// F4 on a field with a list: pick a row and let the picker's hook act on it.
void SeleccioLlista(int f, int16_t& c, int16_t n, int16_t& tecla, int16_t& estat) {
  for (;;) {
    MostrarLlista(n, estat);
    if (estat != 0) return;
    ApilarText(Numero2(c));
    ApilarText(Numero2(n));
    int16_t llista = n;
    if (Ganxos.TriarEntrada) Ganxos.TriarEntrada(llista, static_cast<int16_t>(f), c);
    n = Desapilar2();
    int16_t desat = Desapilar2();
    if (llista == 0) continue;  // show the list again
    int num = NumCamps(f);
    if (c == desat) {
      tecla = (c == num && Enllac(f) == 0) ? kTeclaEnter : kTeclaAvall;
    } else if (c < num && NomesVeure(f, c)) {
      tecla = kTeclaAvall;
    }
    return;
  }
}

// Field whose area holds the clicked cell, or 0.
int CampClicat(int f, int16_t tecla) {
  const int m = -static_cast<int>(tecla);
  const Formulari& F = Formularis[static_cast<size_t>(f)];
  const int r = m % 100 - F.Dalt;
  const int col = m / 100 - F.Esquerra;
  const int n = NumCamps(f);
  for (int c = 1; c <= n; ++c) {
    const Camp& cp = F.Camps[static_cast<size_t>(c)];
    if (cp.Indicadors & kCampNomesVeure) continue;
    // Every display line of the value counts, the last one also when partly filled.
    int h = cp.AmpladaVisible > 0 ? std::max(1, (cp.Longitud + cp.AmpladaVisible - 1) / cp.AmpladaVisible) : 1;
    int w = cp.AmpladaVisible > 0 ? cp.AmpladaVisible : cp.Longitud;
    int ample = static_cast<int>(cp.Etiqueta.size()) + w + cp.AmpladaDescripcio;
    if (r >= cp.Fila && r <= cp.Fila + h - 1 && col >= cp.Columna && col <= cp.Columna + ample - 1) return c;
  }
  return 0;
}

struct GuardaProfunditat {
  GuardaProfunditat() { ++ProfunditatPagines; }
  ~GuardaProfunditat() { --ProfunditatPagines; }
};

// Runs the linked page of f; true when this page must be left with the key it returned.
bool ExecutarEnllac(int f, int16_t quedarPujar, int16_t quedarBaixar, int16_t& tecla) {
  int e = Enllac(f);
  if (e == 0 || ProfunditatPagines >= kMaxProfunditat) return false;
  int16_t k = tecla;
  ExecutarFormulari(static_cast<int16_t>(-e), quedarPujar, quedarBaixar, k);
  if (!TeclaTancaPagina(k)) return false;
  tecla = k;
  return true;
}

// Edits field c until it is accepted (or left with Escape, F1 or F4).
void EditarCamp(int f, int16_t& c, const std::string& inicial, int16_t& tecla) {
  std::string t = inicial;
  int16_t estat = 0;
  do {
    const Camp* cp = CampFormulari(f, c);
    if (!cp) return;
    estat = 0;
    const int16_t v = static_cast<int16_t>(cp->Columna + static_cast<int>(cp->Etiqueta.size()));
    FixarOpcions(cp->OpcionsCamp);
    CaractersRefusats = cp->CaractersRefusats;
    int16_t cursor = (cp->Indicadors & kCampCursorFinal) ? static_cast<int16_t>(SenseFinals(t).size() + 1) : 1;
    int16_t fila = cp->Fila, col = v, amplada = cp->AmpladaVisible;
    EditaCamp(fila, col, amplada, t, cursor, tecla);
    CaractersRefusats.clear();
    if (tecla == kTeclaF1) {
      std::string tema = SenseFinals(EstatSessio.NomMenu);
      if (!tema.empty() && Ganxos.Ajuda) Ganxos.Ajuda(tema);
      tecla = 0;
    } else if (tecla == kTeclaF4) {
      tecla = 0;
      if (cp->Llista > 0) SeleccioLlista(f, c, cp->Llista, tecla, estat);
    } else {
      if (cp->AmpladaDescripcio > 0) {
        SituarCursor(cp->Fila, v);
        EscriureText(t + std::string(static_cast<size_t>(cp->AmpladaDescripcio), ' '));
      }
      if (tecla != kTeclaEscape) {
        if (EnBlanc(t) && (cp->Indicadors & (kCampEnBlanc | kCampOcult))) t = cp->Valor;
        if (Ganxos.AcceptarCamp) {
          estat = Ganxos.AcceptarCamp(static_cast<int16_t>(f), t, c, tecla);
        } else {
          FixarValorCamp(f, c, t);
        }
      } else if (Ganxos.DibuixarCamp) {
        Ganxos.DibuixarCamp(static_cast<int16_t>(f), c);
      }
    }
    if (estat != 0) plat::ConsolaActual().Xiulet();
  } while (estat != 0);
}

}  // namespace

bool CarregarFormularis(const std::vector<std::string>& items,
                        const std::function<std::string(const std::string&)>& traduir) {
  auto tr = [&](const std::string& s) { return traduir ? traduir(s) : s; };
  LectorItems l(items);
  int16_t nf = 0, maxCamps = 0;
  if (!l.Numero(nf, 0) || !l.Numero(maxCamps, 0)) return false;
  // Each form takes at least seven items: a count beyond that is not a descriptor.
  if (static_cast<size_t>(nf) * 7 > l.Queden()) return false;
  std::vector<Formulari> forms(static_cast<size_t>(nf) + 1);
  for (int f = 1; f <= nf; ++f) {
    Formulari& F = forms[static_cast<size_t>(f)];
    if (!l.Text(F.Tecles) || !l.Numero(F.NumCamps, 0) || !l.Numero(F.Enllac, 0) || !l.Numero(F.Dalt) ||
        !l.Numero(F.Esquerra) || !l.Numero(F.Baix) || !l.Numero(F.Dreta))
      return false;
    if (F.NumCamps > maxCamps || F.Enllac > nf) return false;
    if (static_cast<size_t>(F.NumCamps) * 10 > l.Queden()) return false;
    F.Camps.resize(static_cast<size_t>(F.NumCamps) + 1);
    for (int c = 1; c <= F.NumCamps; ++c) {
      Camp& cp = F.Camps[static_cast<size_t>(c)];
      if (!l.Numero(cp.Fila) || !l.Numero(cp.Columna) || !l.Text(cp.Etiqueta) || !l.Numero(cp.Longitud, 0) ||
          !l.Numero(cp.AmpladaVisible, 0) || !l.Numero(cp.AmpladaDescripcio, 0) || !l.Numero(cp.Indicadors) ||
          !l.Numero(cp.Rol) || !l.Numero(cp.Llista, 0) || !l.Text(cp.OpcionsCamp))
        return false;
      cp.Etiqueta = tr(cp.Etiqueta);
      cp.OpcionsCamp = tr(cp.OpcionsCamp);
      cp.Valor.assign(static_cast<size_t>(cp.Longitud), ' ');
    }
  }
  int16_t nl = 0;
  if (!l.Numero(nl, 0)) return false;
  if (static_cast<size_t>(nl) * 9 != l.Queden()) return false;
  std::vector<DefLlista> llistes(static_cast<size_t>(nl) + 1);
  for (int i = 1; i <= nl; ++i) {
    DefLlista& d = llistes[static_cast<size_t>(i)];
    for (int16_t& n : d.Numeros)
      if (!l.Numero(n)) return false;
    if (!l.Text(d.Titol) || !l.Numero(d.Darrer)) return false;
    d.Titol = tr(d.Titol);
  }
  for (const Formulari& F : forms)
    for (const Camp& cp : F.Camps)
      if (cp.Llista > nl) return false;
  Formularis = std::move(forms);
  Llistes = std::move(llistes);
  return true;
}

Camp* CampFormulari(int form, int camp) {
  if (!FormValid(form)) return nullptr;
  Formulari& F = Formularis[static_cast<size_t>(form)];
  if (camp < 1 || camp >= static_cast<int>(F.Camps.size())) return nullptr;
  return &F.Camps[static_cast<size_t>(camp)];
}

std::string ValorCamp(int form, int camp) {
  const Camp* cp = CampFormulari(form, camp);
  return cp ? cp->Valor : "";
}

void FixarValorCamp(int form, int camp, const std::string& valor) {
  Camp* cp = CampFormulari(form, camp);
  if (!cp) return;
  cp->Valor = valor.substr(0, std::min(valor.size(), static_cast<size_t>(std::max<int16_t>(cp->Longitud, 0))));
  cp->Valor.resize(static_cast<size_t>(std::max<int16_t>(cp->Longitud, 0)), ' ');
}

void ExecutarFormulari(int16_t form, int16_t quedarPujar, int16_t quedarBaixar, int16_t& tecla) {
  const bool subpagina = form < 0;
  const int f = subpagina ? -static_cast<int>(form) : form;
  if (!FormValid(f)) {
    tecla = kTeclaEscape;
    return;
  }
  GuardaProfunditat guarda;

  bool finestra = false;
  {
    const Formulari& F = Formularis[static_cast<size_t>(f)];
    if (F.Dalt != 0) {
      TriaColor("+n");
      const int16_t abans = FinestraActual.Nivell;
      DesarFinestra(F.Dalt, F.Esquerra, F.Baix, F.Dreta);
      // A window that could not be saved must not restore somebody else's on closing.
      finestra = FinestraActual.Nivell > abans;
      if (finestra) DibuixarMarc(2);
      TriaColor("-");
    }
  }
  if (Ganxos.DibuixarFormulari) Ganxos.DibuixarFormulari(static_cast<int16_t>(f));

  int primer = 0, darrer = 0;
  PrimerDarrer(f, primer, darrer);
  int16_t k = tecla;
  int16_t c = static_cast<int16_t>(primer);
  bool sortir = primer > darrer;

  if (!sortir) {
    // Reopen the chain on the page last left with Page Up or Page Down.
    int p = f;
    for (size_t pas = 0; pas < Formularis.size() && PaginaRecordada != p && PaginaRecordada > 0 && Enllac(p) != 0;
         ++pas)
      p = Enllac(p);
    if (p != PaginaRecordada) PaginaRecordada = 0;
    if (PaginaRecordada != f && PaginaRecordada > 0 && Enllac(f) != 0) {
      if (ExecutarEnllac(f, quedarPujar, quedarBaixar, k)) sortir = true;
    } else {
      PaginaRecordada = 0;
    }
  }

  for (;;) {
    while (!sortir && primer <= c && c <= darrer) {
      const int16_t abans = c;
      const Camp* cp = CampFormulari(f, c);
      const std::string& tecles = Formularis[static_cast<size_t>(f)].Tecles;
      GestionarTecles("+ea", tecles.empty() ? "3b00" : tecles + ",3b00");
      const bool ocult = cp->Indicadors & kCampOcult;
      const bool nomesVeure = cp->Indicadors & kCampNomesVeure;
      std::string t = (cp->Indicadors & (kCampEnBlanc | kCampOcult)) ? std::string(static_cast<size_t>(cp->Longitud), ' ')
                                                                      : cp->Valor;
      if (ocult) GestionarTecles("h", "");
      if (cp->AmpladaDescripcio > 0 && !nomesVeure) {
        SituarCursor(cp->Fila, static_cast<int16_t>(cp->Columna + static_cast<int>(cp->Etiqueta.size()) + cp->Longitud));
        EscriureText(std::string(static_cast<size_t>(cp->AmpladaDescripcio), ' '));
      }
      if (!nomesVeure) EditarCamp(f, c, t, k);
      PrimerDarrer(f, primer, darrer);
      if (ocult) GestionarTecles("v", "");
      GestionarTecles("-", "");

      switch (k) {
        case kTeclaRePag:
          if (c > primer || quedarPujar) {
            c = static_cast<int16_t>(primer);
            PaginaRecordada = 0;
          } else {
            PaginaRecordada = static_cast<int16_t>(f);
            sortir = true;
          }
          break;
        case kTeclaAvPag:
          if (c < darrer || quedarBaixar) {
            c = static_cast<int16_t>(darrer);
            PaginaRecordada = 0;
          } else {
            PaginaRecordada = static_cast<int16_t>(f);
            sortir = true;
          }
          break;
        case kTeclaFinal:
        case kTeclaCtrlB:
          sortir = true;
          break;
        case kTeclaEscape:
          if (c > primer) {
            c = static_cast<int16_t>(primer);
          } else {
            sortir = true;
          }
          break;
        case kTeclaEnter:
        case kTeclaAvall:
        case kTeclaF2:
          if ((c == darrer || k == kTeclaF2) && Enllac(f) != 0) {
            if (ExecutarEnllac(f, quedarPujar, quedarBaixar, k)) sortir = true;
          } else if (k == kTeclaAvall) {
            if (c < darrer) ++c;
          } else if (k == kTeclaEnter) {
            ++c;
          }
          break;
        case kTeclaAmunt:
          if (c > primer) {
            --c;
          } else if (subpagina) {
            k = kTeclaEscape;
            sortir = true;
          }
          break;
        case 0:
          break;
        default:
          if (k < 0) {
            int clicat = CampClicat(f, k);
            if (clicat > 0) c = static_cast<int16_t>(clicat);
          } else {
            sortir = true;
          }
          break;
      }
      // A display-only field the hooks left current would otherwise be visited forever.
      if (!sortir && c == abans && NomesVeure(f, c)) c = static_cast<int16_t>(primer);
    }

    const int16_t r = Ganxos.ValidarSortidaFormulari ? Ganxos.ValidarSortidaFormulari(static_cast<int16_t>(f), k) : 0;
    PrimerDarrer(f, primer, darrer);
    if (r != 0 && primer <= darrer) {
      c = static_cast<int16_t>(primer);
      sortir = false;
      continue;
    }
    break;
  }

  if (finestra) RestaurarFinestra();
  tecla = k;
}

void ReiniciarFormularis() {
  Formularis.clear();
  Llistes.clear();
  PaginaRecordada = 0;
  Ganxos = GanxosFormulari{};
  ProfunditatPagines = 0;
}
