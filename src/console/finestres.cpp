#include "console/finestres.h"

#include <algorithm>
#include <vector>

#include "fields/colors.h"
#include "fields/paragraf.h"
#include "platform/consola.h"
#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"
#include "session/sessio.h"

FinestraActualT FinestraActual;
std::string PilaText;

namespace {

// A record: ten two-digit numbers, the cells, a five-digit length.
constexpr long kCapcalera = 20;
constexpr long kPeu = 5;
// Far more than any real stack (a full 99 x 99 record is under 20 000 bytes).
constexpr size_t kMidaMaxima = 16u << 20;

// Copy of the window file as last written. It stands in for the file while the work
// directory cannot be written, so windows still close properly.
std::string g_copia;
bool g_nomesMemoria = false;
// Host path of the window file, worked out once per work directory (matching names
// without regard to case walks the folders).
std::string g_dirCami;
std::string g_hostCami;

const std::string& HostFitxer() {
  const std::string cami = FitxerFinestres();
  if (cami != g_dirCami) {
    g_dirCami = cami;
    g_hostCami = plat::CamiHost(cami);
  }
  return g_hostCami;
}

struct Registre {
  long inici = 0;  // 0-based offset in the file image
  long longitud = 0;
  long camps[10] = {};
};

void Digits(std::string& s, long valor, int amplada) {
  if (valor < 0) valor = 0;
  char buf[8];
  for (int i = amplada - 1; i >= 0; --i) {
    buf[i] = static_cast<char>('0' + valor % 10);
    valor /= 10;
  }
  s.append(buf, static_cast<size_t>(amplada));
}

bool LlegirDigits(const std::string& s, long pos, int amplada, long& valor) {
  if (pos < 0 || pos + amplada > static_cast<long>(s.size())) return false;
  valor = 0;
  for (int i = 0; i < amplada; ++i) {
    const char c = s[static_cast<size_t>(pos + i)];
    if (c < '0' || c > '9') return false;
    valor = valor * 10 + (c - '0');
  }
  return true;
}

long NombreCelles(long dalt, long esq, long baix, long dreta) {
  if (dalt > baix || esq > dreta) return 0;
  return (baix - dalt + 1) * (dreta - esq + 1);
}

// Parses the record starting at offset pos; false unless it is whole and consistent.
bool LlegirRegistre(const std::string& f, long pos, Registre& r) {
  r.inici = pos;
  for (int i = 0; i < 10; ++i)
    if (!LlegirDigits(f, pos + 2 * i, 2, r.camps[i])) return false;
  r.longitud = kCapcalera + 2 * NombreCelles(r.camps[6], r.camps[7], r.camps[8], r.camps[9]) + kPeu;
  long peu = 0;
  if (!LlegirDigits(f, pos + r.longitud - kPeu, 5, peu)) return false;
  return peu == r.longitud;
}

int32_t LlegirCim(const std::string& f) {
  if (f.size() < 4) return 5;
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(f[static_cast<size_t>(i)]);
  return static_cast<int32_t>(v);
}

void EscriureCim(std::string& f, long cim) {
  if (f.size() < 4) f.resize(4, '\0');
  const uint32_t v = static_cast<uint32_t>(cim);
  for (int i = 0; i < 4; ++i) f[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Records below the stack top, oldest first. Walks forward from the first record so a
// stack top or a length that points anywhere else cannot send the reader outside the
// file; a damaged stack keeps the records that are whole.
std::vector<Registre> Pila(const std::string& f) {
  std::vector<Registre> pila;
  if (f.size() < 4) return pila;
  const long cim = static_cast<long>(LlegirCim(f)) - 1;  // 0-based
  long pos = 4;
  Registre r;
  while (pos < cim && LlegirRegistre(f, pos, r) && pos + r.longitud <= cim) {
    pila.push_back(r);
    pos += r.longitud;
  }
  return pila;
}

std::string LlegirImatge(const std::string& host, bool& existeix) {
  existeix = false;
  if (g_nomesMemoria) {
    existeix = !g_copia.empty();
    return g_copia;
  }
  if (host.empty()) return {};
  plat::FitxerObert f = plat::ObrirLectura(host);
  if (!f) return {};
  existeix = true;
  std::string s;
  char buf[2048];  // a record of this dialog is under 2 KB; a deep block costs fresh stack pages
  int64_t n;
  while (s.size() < kMidaMaxima && (n = f.Llegir(buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(n));
  return s;
}

// Writes the bytes of the image from offset `des` on, and the stack top, in place: the
// file is never truncated (rewriting it whole makes the file system flush it every time).
// existeix: whether the file was there when it was last read.
void DesarImatge(const std::string& host, const std::string& img, size_t des, bool existeix = true) {
  g_copia = img;
  bool fet = false;
  if (!host.empty()) {
    plat::FitxerObert f;
    if (existeix && !g_nomesMemoria) f = plat::ObrirEscriptura(host);
    if (!f) {
      // Missing, or it may hold anything after a spell in memory: write it whole.
      f = plat::ObrirEscriptura(host, true);
      fet = f.EscriureTot(img.data(), img.size()) && (!existeix || f.Truncar());
    } else if (des < 4) {
      fet = f.EscriureTot(img.data(), img.size());
    } else {
      fet = f.EscriureTot(img.data(), 4);
      if (fet && des < img.size())
        fet = f.Situar(static_cast<int64_t>(des)) && f.EscriureTot(img.data() + des, img.size() - des);
    }
    fet = f.Tancar() && fet;
  }
  g_nomesMemoria = !fet;
}

void EsborrarImatge(const std::string& host) {
  g_copia.clear();
  g_nomesMemoria = false;
  if (!host.empty()) plat::EsborrarFitxer(host);
}

}  // namespace

std::string FitxerFinestres() {
  std::string d = EstatSessio.DirTmp;
  if (!d.empty() && d.back() != '\\' && d.back() != '/') d += '\\';
  return d + "WinPush.tmp";
}

int16_t FilesConsola() { return static_cast<int16_t>(plat::ConsolaActual().Alcada()); }
int16_t ColumnesConsola() { return static_cast<int16_t>(plat::ConsolaActual().Amplada()); }
int16_t PrimeraFila() { return FinestraActual.Nivell == 0 ? 1 : static_cast<int16_t>(FinestraActual.Dalt + 1); }
int16_t PrimeraColumna() {
  return FinestraActual.Nivell == 0 ? 1 : static_cast<int16_t>(FinestraActual.Esquerra + 1);
}
int16_t DarreraColumna() {
  return FinestraActual.Nivell == 0 ? ColumnesConsola() : static_cast<int16_t>(FinestraActual.Dreta - 1);
}

void DesarFinestra(int16_t dalt, int16_t esquerra, int16_t baix, int16_t dreta) {
  const int files = FilesConsola(), columnes = ColumnesConsola();
  auto dinsFila = [&](int f) { return f >= 1 && f <= files; };
  auto dinsCol = [&](int c) { return c >= 1 && c <= columnes; };
  if (!dinsFila(dalt) || !dinsFila(baix) || !dinsCol(esquerra) || !dinsCol(dreta)) return;
  // The record keeps two digits per coordinate; a window beyond 99 could not come back.
  if (std::max({dalt, esquerra, baix, dreta}) > 99) return;

  const std::string& host = HostFitxer();
  bool existeix;
  std::string img = LlegirImatge(host, existeix);
  const std::vector<Registre> pila = Pila(img);
  const long cim = pila.empty() ? 4 : pila.back().inici + pila.back().longitud;

  plat::Consola& con = plat::ConsolaActual();
  std::string reg;
  const long cel = NombreCelles(dalt, esquerra, baix, dreta);
  reg.reserve(static_cast<size_t>(kCapcalera + 2 * cel + kPeu));
  Digits(reg, (con.FilaCursor() + 1) % 100, 2);
  Digits(reg, (con.ColCursor() + 1) % 100, 2);
  Digits(reg, FinestraActual.Dalt % 100, 2);
  Digits(reg, FinestraActual.Esquerra % 100, 2);
  Digits(reg, FinestraActual.Baix % 100, 2);
  Digits(reg, FinestraActual.Dreta % 100, 2);
  Digits(reg, dalt, 2);
  Digits(reg, esquerra, 2);
  Digits(reg, baix, 2);
  Digits(reg, dreta, 2);
  if (cel > 0) {
    size_t i = reg.size();
    reg.resize(i + 2 * static_cast<size_t>(cel));
    for (int f = dalt; f <= baix; ++f)
      for (int c = esquerra; c <= dreta; ++c) {
        const plat::Cella x = con.LlegirCella(f - 1, c - 1);
        reg[i++] = static_cast<char>(x.car);
        reg[i++] = static_cast<char>(x.atr);
      }
  }
  Digits(reg, static_cast<long>(reg.size()) + kPeu, 5);

  if (img.size() < 4) img.resize(4, '\0');
  if (img.size() < static_cast<size_t>(cim)) img.resize(static_cast<size_t>(cim), '\0');
  img.replace(static_cast<size_t>(cim), std::min(reg.size(), img.size() - static_cast<size_t>(cim)), reg);
  EscriureCim(img, cim + static_cast<long>(reg.size()) + 1);
  DesarImatge(host, img, static_cast<size_t>(cim), existeix);

  FinestraActual = {static_cast<int16_t>(FinestraActual.Nivell + 1), dalt, esquerra, baix, dreta};
}

void RestaurarFinestra() {
  // Only windows this program opened are closed: a stack left by another program of the
  // suite belongs to it.
  if (FinestraActual.Nivell <= 0) return;

  const std::string& host = HostFitxer();
  bool existeix;
  std::string img = LlegirImatge(host, existeix);
  std::vector<Registre> pila = Pila(img);
  size_t des = std::string::npos;  // only the stack top changes, unless the copy stands in
  if (pila.empty() && !g_nomesMemoria && !g_copia.empty()) {
    // The file went missing or was spoilt: fall back to what was last written.
    std::vector<Registre> copia = Pila(g_copia);
    if (!copia.empty()) {
      img = g_copia;
      pila = std::move(copia);
      des = 0;
    }
  }
  --FinestraActual.Nivell;
  if (pila.empty()) {
    if (existeix && img.size() <= 3) EsborrarImatge(host);
    return;
  }

  const Registre& r = pila.back();
  FinestraActual.Dalt = static_cast<int16_t>(r.camps[2]);
  FinestraActual.Esquerra = static_cast<int16_t>(r.camps[3]);
  FinestraActual.Baix = static_cast<int16_t>(r.camps[4]);
  FinestraActual.Dreta = static_cast<int16_t>(r.camps[5]);

  plat::Consola& con = plat::ConsolaActual();
  if (NombreCelles(r.camps[6], r.camps[7], r.camps[8], r.camps[9]) > 0) {
    size_t i = static_cast<size_t>(r.inici + kCapcalera);
    for (long f = r.camps[6]; f <= r.camps[8]; ++f)
      for (long c = r.camps[7]; c <= r.camps[9]; ++c) {
        const plat::Cella x{static_cast<uint8_t>(img[i]), static_cast<uint8_t>(img[i + 1])};
        i += 2;
        ColorConsola = x.atr;
        con.EscriureCella(static_cast<int>(f - 1), static_cast<int>(c - 1), x);
      }
  }
  con.PosarCursor(static_cast<int>(r.camps[0] - 1), static_cast<int>(r.camps[1] - 1));

  const long nouCim = r.inici + 1;
  if (nouCim < 6) {
    EsborrarImatge(host);
  } else {
    EscriureCim(img, nouCim);
    DesarImatge(host, img, std::min(des, img.size()));
  }
}

void DibuixarMarc(int16_t estil) {
  if (FinestraActual.Nivell == 0) return;
  static const uint8_t kMarcs[3][6] = {
      {' ', ' ', ' ', ' ', ' ', ' '},
      {218, 191, 192, 217, 196, 179},
      {201, 187, 200, 188, 205, 186},
  };
  const uint8_t zero[6] = {0, 0, 0, 0, 0, 0};
  const uint8_t* m = (estil >= 0 && estil <= 2) ? kMarcs[estil] : zero;
  plat::Consola& con = plat::ConsolaActual();
  const int dalt = FinestraActual.Dalt - 1, esq = FinestraActual.Esquerra - 1;
  const int baix = FinestraActual.Baix - 1, dreta = FinestraActual.Dreta - 1;
  auto posa = [&](int f, int c, uint8_t car) { con.EscriureCella(f, c, plat::Cella{car, ColorConsola}); };
  auto horitzontal = [&](int f, uint8_t e, uint8_t d) {
    posa(f, esq, e);
    for (int c = esq + 1; c < dreta; ++c) posa(f, c, m[4]);
    posa(f, std::max(dreta, esq + 1), d);
  };
  horitzontal(dalt, m[0], m[1]);
  for (int f = dalt + 1; f < baix; ++f) {
    posa(f, esq, m[5]);
    for (int c = esq + 1; c < dreta; ++c) posa(f, c, ' ');
    posa(f, std::max(dreta, esq + 1), m[5]);
  }
  horitzontal(baix, m[2], m[3]);
}

void SituarCursor(int16_t fila, int16_t columna) {
  int f = fila, c = columna;
  if (FinestraActual.Nivell != 0) {
    f += FinestraActual.Dalt;
    c += FinestraActual.Esquerra;
  }
  plat::ConsolaActual().PosarCursor(f - 1, c - 1);
}

void EscriureText(const std::string& text) {
  plat::Consola& con = plat::ConsolaActual();
  const int f = con.FilaCursor();
  int c = con.ColCursor();
  for (unsigned char ch : text) con.EscriureCella(f, c++, plat::Cella{ch, ColorConsola});
  con.PosarCursor(f, c);
}

void DesplacarRegio(int16_t dalt, int16_t esquerra, int16_t baix, int16_t dreta, int16_t n) {
  plat::Consola& con = plat::ConsolaActual();
  const int t = std::max<int>(dalt, 0), l = std::max<int>(esquerra, 0);
  const int b = std::min<int>(baix, con.Alcada() - 1), r = std::min<int>(dreta, con.Amplada() - 1);
  if (t > b || l > r || n == 0) return;
  const int alcada = b - t + 1;
  const int pas = std::clamp<int>(n, -alcada, alcada);
  const plat::Cella buida{' ', ColorConsola};
  auto copiaFila = [&](int de, int a) {
    for (int c = l; c <= r; ++c) con.EscriureCella(a, c, con.LlegirCella(de, c));
  };
  auto buidaFila = [&](int f) {
    for (int c = l; c <= r; ++c) con.EscriureCella(f, c, buida);
  };
  if (pas > 0) {
    for (int f = t; f + pas <= b; ++f) copiaFila(f + pas, f);
    for (int f = b - pas + 1; f <= b; ++f) buidaFila(f);
  } else {
    const int k = -pas;
    for (int f = b; f - k >= t; --f) copiaFila(f - k, f);
    for (int f = t; f < t + k; ++f) buidaFila(f);
  }
}

void MostrarMissatge(int16_t fila, const std::string& text) {
  TriaColor("+rh");
  // Control characters take no width and would break the cut into equal lines.
  std::string t;
  for (unsigned char c : text)
    if (c >= 32) t += static_cast<char>(c);
  FormatParagraf(t, 0, 76, "i");
  const int n = static_cast<int>(t.size() / 76);
  int dalt = std::max(fila - (n + 1) / 2 - 2, 1);
  int baix = dalt + n + 1;
  if (baix > FilesConsola()) {
    baix = FilesConsola();
    dalt = baix - n - 1;
  }
  std::vector<std::string> linies;
  size_t ample = 0;
  for (int k = 0; k < n; ++k) {
    std::string l = t.substr(static_cast<size_t>(k) * 76, 76);
    while (!l.empty() && l.back() == ' ') l.pop_back();
    ample = std::max(ample, l.size());
    linies.push_back(std::move(l));
  }
  const int L = static_cast<int>(ample);
  const int esq = 41 - (L + 1) / 2 - 2, dreta = 41 + L / 2 + 1;
  const int16_t nivell = FinestraActual.Nivell;
  if (dalt >= 1) DesarFinestra(static_cast<int16_t>(dalt), static_cast<int16_t>(esq),
                               static_cast<int16_t>(baix), static_cast<int16_t>(dreta));
  // A box that does not fit on the console is not drawn over the caller's window.
  if (FinestraActual.Nivell != nivell) {
    DibuixarMarc(1);
    for (int k = 0; k < n; ++k) {
      SituarCursor(static_cast<int16_t>(k + 1), 2);
      EscriureText(linies[static_cast<size_t>(k)]);
    }
  }
  TriaColor("-");
}

void ApilarText(const std::string& text) {
  const size_t n = std::min<size_t>(text.size(), 32767);
  PilaText.append(text, 0, n);
  PilaText += static_cast<char>(n & 0xFF);
  PilaText += static_cast<char>((n >> 8) & 0xFF);
}

std::string DesapilarText() {
  if (PilaText.size() < 2) {
    PilaText.clear();
    return {};
  }
  const size_t m = PilaText.size();
  size_t n = static_cast<unsigned char>(PilaText[m - 2]) | (static_cast<unsigned char>(PilaText[m - 1]) << 8);
  n = std::min(n, m - 2);  // a length the stack cannot hold: hand back what is there
  std::string item = PilaText.substr(m - 2 - n, n);
  PilaText.resize(m - 2 - n);
  return item;
}

void ReiniciarFinestres() {
  FinestraActual = FinestraActualT{};
  PilaText.clear();
  g_copia.clear();
  g_nomesMemoria = false;
  g_dirCami.clear();
  g_hostCami.clear();
}
