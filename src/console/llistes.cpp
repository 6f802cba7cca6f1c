#include "console/llistes.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/fitxers.h"
#include "records/registres.h"
#include "session/sessio.h"

int32_t SeleccioValor = 0;
std::string SeleccioText;
GanxosLlistaT GanxosLlista;

namespace {

constexpr uint64_t kCapcalera = 10;  // previous-row link, value, text length
constexpr size_t kBloc = 32 * 1024;  // bytes of the list file kept in memory at a time
// An F4 list may name a list that names it back; the user can press F4 only so often.
constexpr int kMaxNivellsF4 = 16;
// Records skipped in a row (no row text) before the fill starts watching for Escape.
constexpr int kSaltsAbansEscape = 64;

int NivellsF4 = 0;

struct FilaLlista {
  uint32_t posicio = 0;
  uint32_t anterior = 0;
  int32_t valor = 0;
  std::string text;
};

uint32_t Llegir32(const char* p) {
  return static_cast<uint32_t>(static_cast<unsigned char>(p[0])) |
         (static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8) |
         (static_cast<uint32_t>(static_cast<unsigned char>(p[2])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(p[3])) << 24);
}

void Escriure32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// One open list: the file, the window and where the user is.
struct Llista {
  int16_t numero = 0;
  int16_t fitxer = 0;  // record file, 0 = work-file list
  int16_t clau = 0;
  int16_t f4 = 0;
  int alt = 0, ample = 0;  // inner height H and width W
  int linia = 1;           // highlighted line 1..H
  int desplacament = 1;    // first character shown (1-based)
  int sobrant = 0;         // widest overflow seen: max(length - W)
  uint32_t actual = 0, pagina = 0, despres = 0;

  std::FILE* f = nullptr;
  uint64_t mida = 0;
  uint64_t iniciBloc = 0;
  std::string bloc;  // bytes of the file from 0-based offset iniciBloc

  // Record-file fill.
  bool iniciat = false;
  bool fiDades = false;
  std::string clauInici, clauFi, limit;
  uint32_t darrera = 0;  // position of the last row appended
};

// Bytes [desp, desp + n) of the file (0-based); false when they are not all inside.
bool LlegirBytes(Llista& l, uint64_t desp, size_t n, std::string& sortida) {
  if (!l.f || desp > l.mida || n > l.mida - desp) return false;
  if (desp >= l.iniciBloc && desp + n <= l.iniciBloc + l.bloc.size()) {
    sortida.assign(l.bloc, static_cast<size_t>(desp - l.iniciBloc), n);
    return true;
  }
  if (n > kBloc / 2) {
    sortida.resize(n);
    if (fseeko(l.f, static_cast<off_t>(desp), SEEK_SET) != 0) return false;
    return std::fread(sortida.data(), 1, n, l.f) == n;
  }
  // A block around the wanted bytes, so moving up and down both find them in memory.
  const uint64_t inici = desp > kBloc / 4 ? desp - kBloc / 4 : 0;
  const size_t quants = static_cast<size_t>(std::min<uint64_t>(kBloc, l.mida - inici));
  l.bloc.resize(quants);
  if (fseeko(l.f, static_cast<off_t>(inici), SEEK_SET) != 0 || std::fread(l.bloc.data(), 1, quants, l.f) != quants) {
    l.bloc.clear();
    return false;
  }
  l.iniciBloc = inici;
  sortida.assign(l.bloc, static_cast<size_t>(desp - inici), n);
  return true;
}

bool ClauPassada(const Llista& l) {
  const std::string clau = FitxerClau(l.fitxer);
  return clau.substr(0, l.limit.size()) > l.limit;
}

void AfegirAlFitxer(Llista& l, int32_t valor, const std::string& text) {
  if (!l.f || l.mida + kCapcalera + text.size() > std::numeric_limits<uint32_t>::max()) {
    l.fiDades = true;
    return;
  }
  std::string fila;
  uint32_t anterior = l.darrera;
  const uint32_t posicio = static_cast<uint32_t>(l.mida + 1);
  AfegirFilaLlista(fila, anterior, valor, text);
  if (fseeko(l.f, 0, SEEK_END) != 0 || std::fwrite(fila.data(), 1, fila.size(), l.f) != fila.size() ||
      std::fflush(l.f) != 0) {
    l.fiDades = true;
    return;
  }
  l.darrera = posicio;
  l.mida += fila.size();
  l.bloc.clear();
}

// Record-file lists: one more row, or the end of the data.
void OmplirUnaFila(Llista& l) {
  int16_t estat = 0;
  if (!l.iniciat) {
    l.iniciat = true;
    FitxerCerca(l.fitxer, l.clau, l.clauInici, 1, estat);
    l.limit = ClauOrdenable(l.clauFi, l.fitxer);
    if (estat != 0 || ClauPassada(l)) {
      l.fiDades = true;
      return;
    }
  }
  int saltats = 0;
  while (!l.fiDades) {
    std::string text = GanxosLlista.TextFilaLlista ? GanxosLlista.TextFilaLlista(l.numero) : std::string();
    while (!text.empty() && text.back() == ' ') text.pop_back();
    const bool afegida = !text.empty();
    if (afegida) AfegirAlFitxer(l, FitxerPosicio(l.fitxer, 0), text);
    FitxerSalta(l.fitxer, 1, estat);
    if (estat != 0 || ClauPassada(l)) l.fiDades = true;
    // A long run of records without rows may take a while: let Escape cut it short.
    if (!afegida && ++saltats >= kSaltsAbansEscape && !l.fiDades) {
      int16_t tecla = 0, boto = 0, fila = 0, columna = 0;
      LlegirTecla(tecla, boto, fila, columna);
      if (tecla == kTeclaEscape) l.fiDades = true;
    }
    if (afegida) return;
  }
}

// The row at a 1-based position; false when it does not lie whole inside the file.
bool Fila(Llista& l, uint32_t posicio, FilaLlista& r) {
  if (posicio == 0) return false;
  if (l.fitxer != 0)
    while (posicio + kCapcalera - 1 > l.mida && !l.fiDades) OmplirUnaFila(l);
  std::string cap;
  if (!LlegirBytes(l, posicio - 1, kCapcalera, cap)) return false;
  const size_t n = static_cast<unsigned char>(cap[8]) | (static_cast<unsigned char>(cap[9]) << 8);
  if (!LlegirBytes(l, posicio - 1 + kCapcalera, n, r.text)) return false;
  r.posicio = posicio;
  r.anterior = Llegir32(cap.data());
  r.valor = static_cast<int32_t>(Llegir32(cap.data() + 4));
  return true;
}

uint32_t Seguent(Llista& l, uint32_t posicio) {
  FilaLlista r;
  if (!Fila(l, posicio, r)) return 0;
  const uint64_t seguent = posicio + kCapcalera + r.text.size();
  if (seguent > std::numeric_limits<uint32_t>::max()) return 0;
  FilaLlista s;
  return Fila(l, static_cast<uint32_t>(seguent), s) ? static_cast<uint32_t>(seguent) : 0;
}

// The previous row, 0 when there is none. A link is followed only when it points back to
// a row that ends exactly where this one starts, so a damaged chain cannot loop.
uint32_t Anterior(Llista& l, uint32_t posicio) {
  FilaLlista r, a;
  if (!Fila(l, posicio, r) || r.anterior == 0 || r.anterior >= posicio) return 0;
  if (!Fila(l, r.anterior, a) || r.anterior + kCapcalera + a.text.size() != posicio) return 0;
  return r.anterior;
}

void EscriureLinia(Llista& l, int linia, const std::string& text) {
  std::string visible;
  const size_t des = static_cast<size_t>(l.desplacament - 1);
  if (des < text.size()) visible = text.substr(des, static_cast<size_t>(l.ample));
  visible.resize(static_cast<size_t>(l.ample), ' ');
  SituarCursor(static_cast<int16_t>(linia), 1);
  EscriureText(visible);
}

void DibuixarActual(Llista& l) {
  FilaLlista r;
  EscriureLinia(l, l.linia, Fila(l, l.actual, r) ? r.text : std::string());
}

void DibuixarTitol(Llista& l) {
  const std::string& titol = Llistes[static_cast<size_t>(l.numero)].Titol;
  TriaColor("+n");
  SituarCursor(0, 0);
  std::string s(1, l.desplacament == 1 ? '\xC9' : '\x11');
  for (int i = 0; i < l.ample; ++i) {
    const size_t p = static_cast<size_t>(l.desplacament - 1 + i);
    char c = p < titol.size() ? titol[p] : ' ';
    if (c == ' ')
      c = '\xCD';
    else if (c == '_')
      c = ' ';
    s += c;
  }
  const bool mesTitol = titol.size() > static_cast<size_t>(l.desplacament - 1 + l.ample);
  s += (l.desplacament <= l.sobrant || mesTitol) ? '\x10' : '\xBB';
  EscriureText(s);
  TriaColor("-");
}

// Draws the page from its first row; the highlight moves up to the last row shown when
// the data ends above it. The caption comes after the rows, not before: its right arrow
// must count this page's rows, or a first page of wide rows would show no arrow.
void DibuixarPagina(Llista& l) {
  uint32_t pos = l.pagina, darrera = 0;
  int mostrades = 0;
  for (int i = 1; i <= l.alt; ++i) {
    FilaLlista r;
    if (pos != 0 && Fila(l, pos, r)) {
      EscriureLinia(l, i, r.text);
      l.sobrant = std::max(l.sobrant, static_cast<int>(std::min<size_t>(r.text.size(), 65535)) - l.ample);
      mostrades = i;
      darrera = pos;
      pos = Seguent(l, pos);
    } else {
      EscriureLinia(l, i, std::string());
      pos = 0;
    }
  }
  l.despres = pos;
  if (mostrades < l.linia) {
    l.linia = std::max(mostrades, 1);
    l.actual = darrera;
  }
  DibuixarTitol(l);
}

void PujarFila(Llista& l) {
  const uint32_t a = Anterior(l, l.actual);
  if (a == 0) return;
  l.actual = a;
  if (l.linia > 1) {
    --l.linia;
  } else {
    l.pagina = a;
    DibuixarPagina(l);
  }
}

void BaixarFila(Llista& l) {
  const uint32_t s = Seguent(l, l.actual);
  if (s == 0) return;
  l.actual = s;
  if (l.linia < l.alt) {
    ++l.linia;
  } else {
    l.pagina = Seguent(l, l.pagina);
    DibuixarPagina(l);
  }
}

uint32_t Enrere(Llista& l, uint32_t pos, int quantes) {
  for (int i = 0; i < quantes; ++i) {
    const uint32_t a = Anterior(l, pos);
    if (a == 0) break;
    pos = a;
  }
  return pos;
}

void PaginaAmunt(Llista& l) {
  if (Anterior(l, l.pagina) == 0) return;
  l.pagina = Enrere(l, l.pagina, l.alt);
  l.actual = Enrere(l, l.actual, l.alt);
  // The highlight goes to the current row's line in the new page.
  uint32_t p = l.pagina;
  int i = 1;
  while (p != 0 && p != l.actual && i < l.alt) {
    p = Seguent(l, p);
    ++i;
  }
  if (p == l.actual) {
    l.linia = i;
  } else {
    l.pagina = l.actual;  // only a damaged chain gets here
    l.linia = 1;
  }
  DibuixarPagina(l);
}

void PaginaAvall(Llista& l) {
  if (l.despres == 0) return;
  l.pagina = l.despres;
  uint32_t c = l.pagina;
  int i = 1;
  while (i < l.linia) {
    const uint32_t s = Seguent(l, c);
    if (s == 0) break;
    c = s;
    ++i;
  }
  l.actual = c;
  l.linia = i;
  DibuixarPagina(l);
}

bool FinestraValida(const DefLlista& d) {
  const int dalt = d.Numeros[2], esq = d.Numeros[3], baix = d.Numeros[4], dreta = d.Numeros[5];
  return dalt >= 1 && esq >= 1 && baix - dalt >= 2 && dreta - esq >= 2 && baix <= FilesConsola() &&
         dreta <= ColumnesConsola();
}

void TancarFitxer(Llista& l) {
  if (l.f) std::fclose(l.f);
  l.f = nullptr;
  plat::Esborrar(FitxerLlista());
}

// The key loop; returns the status and the key that closed the list.
int16_t Recorrer(Llista& l, int16_t& tecla) {
  for (;;) {
    TriaColor("u");
    DibuixarActual(l);
    tecla = EsperarTecla();
    TriaColor("h");
    DibuixarActual(l);
    switch (tecla) {
      case kTeclaEsquerra:
        if (l.desplacament > 1) {
          l.desplacament -= 8;
          DibuixarPagina(l);
        }
        break;
      case kTeclaDreta:
        if (l.desplacament <= l.sobrant) {
          l.desplacament += 8;
          DibuixarPagina(l);
        }
        break;
      case kTeclaAmunt:
        PujarFila(l);
        break;
      case kTeclaAvall:
        BaixarFila(l);
        break;
      case kTeclaRePag:
        PaginaAmunt(l);
        break;
      case kTeclaAvPag:
        PaginaAvall(l);
        break;
      case kTeclaEnter: {
        FilaLlista r;
        const bool hiHa = Fila(l, l.actual, r);
        if (l.fitxer == 0) {
          SeleccioValor = hiHa ? r.valor : 0;
          SeleccioText = hiHa ? r.text : std::string();
          return 0;
        }
        if (!hiHa || r.valor == 0) return -1;
        return static_cast<int16_t>(FitxerPosicio(l.fitxer, r.valor));
      }
      default:
        return -1;
    }
  }
}

}  // namespace

std::string FitxerLlista() { return EstatSessio.DirTmp + "Browse.tmp"; }

void AfegirFilaLlista(std::string& dades, uint32_t& anterior, int32_t valor, const std::string& text) {
  const size_t n = std::min<size_t>(text.size(), 65535);
  const uint32_t posicio = static_cast<uint32_t>(dades.size() + 1);
  Escriure32(dades, anterior);
  Escriure32(dades, static_cast<uint32_t>(valor));
  dades += static_cast<char>(n & 0xFF);
  dades += static_cast<char>(n >> 8);
  dades.append(text, 0, n);
  anterior = posicio;
}

void MostrarLlista(int16_t llista, int16_t& estat) {
  estat = -1;
  if (llista < 1 || llista >= static_cast<int>(Llistes.size())) return;
  const DefLlista def = Llistes[static_cast<size_t>(llista)];
  if (!FinestraValida(def)) return;

  if (def.Numeros[6] != 0) {
    int16_t tecla = 0;
    ExecutarFormulari(def.Numeros[6], 0, 0, tecla);
    if (tecla == kTeclaEscape) return;
  }
  Llista l;
  l.numero = llista;
  l.fitxer = def.Numeros[0];
  l.clau = def.Numeros[1];
  l.f4 = def.Darrer;
  if (GanxosLlista.OmplirSelector) {
    const int16_t r = GanxosLlista.OmplirSelector(llista, l.clauInici, l.clauFi);
    if (r != 0) {
      estat = r;
      return;
    }
  }
  int16_t estatModes = 0;
  if (l.fitxer != 0) FitxerModes(l.fitxer, "+d", estatModes);

  TriaColor("+n");
  DesarFinestra(def.Numeros[2], def.Numeros[3], def.Numeros[4], def.Numeros[5]);
  DibuixarMarc(2);
  TriaColor("h");
  GestionarTecles("+ea", "d,1b,4800,5000,4900,5100,4b00,4d00");
  if (l.f4 != 0) GestionarTecles("a", "3e00");

  const std::string host = plat::CamiHost(FitxerLlista());
  l.f = std::fopen(host.c_str(), l.fitxer != 0 ? "w+b" : "rb");
  if (l.f && fseeko(l.f, 0, SEEK_END) == 0) {
    const off_t m = ftello(l.f);
    l.mida = m > 0 ? static_cast<uint64_t>(m) : 0;
  }
  l.alt = def.Numeros[4] - def.Numeros[2] - 1;
  l.ample = def.Numeros[5] - def.Numeros[3] - 1;
  l.pagina = l.actual = 1;
  DibuixarPagina(l);

  int16_t tecla = 0;
  estat = Recorrer(l, tecla);

  TancarFitxer(l);
  if (tecla == kTeclaF4 && l.f4 != 0 && NivellsF4 < kMaxNivellsF4) {
    ++NivellsF4;
    int16_t estatF4 = -1;
    MostrarLlista(l.f4, estatF4);
    if (estatF4 == 0 && Ganxos.TriarEntrada) {
      int16_t n = l.f4, camp = 0;
      Ganxos.TriarEntrada(n, 0, camp);
    }
    --NivellsF4;
  }
  GestionarTecles("-", "");
  RestaurarFinestra();
  TriaColor("-");
  if (l.fitxer != 0) FitxerModes(l.fitxer, "-", estatModes);
}

void ReiniciarLlistes() {
  SeleccioValor = 0;
  SeleccioText.clear();
  GanxosLlista = GanxosLlistaT{};
  NivellsF4 = 0;
}
