#include "files/camins.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/cp850.h"
#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"

std::string FitxersLlistat;
int16_t AtributsLlistat = 0;

namespace {

// A listing file larger than this is not ours: read no further.
constexpr size_t kMidaMaximaLlistat = 64u << 20;
constexpr int kIntentsNomLlistat = 100;

// Listing files this process created (deleted when it ends).
std::vector<std::string> g_creats;
bool g_netejaRegistrada = false;
// Made and seeded at first use: reading the random device costs more than a whole run
// that never needs a listing name, and so does filling a generator's state at start. On
// the heap: among the static data, its state would spread the globals every start writes
// over more pages.
std::unique_ptr<std::mt19937_64> g_atzar;

// The newest listing as last read: its bytes stay in memory; the read position goes back
// into the file when the listing ends or another one takes its place (nothing else reads
// it meanwhile, and one write per entry would cost more than the listing itself).
struct LectorLlistat {
  std::string nom;
  std::string dades;
  bool canviat = false;
};
LectorLlistat g_lector;

// The last folder listed: capital name -> on-disk name, so that looking up the entries of
// a listing by their capital names does not scan the folder once per entry.
struct CauCarpeta {
  std::string clau;   // directory part of the pattern, in capitals
  std::string llarg;  // its long form
  std::string host;   // its host path in program form, ending in "/"
  std::unordered_map<std::string, std::string> noms;
};
CauCarpeta g_cau;

bool EsSeparador(char c) { return c == '\\' || c == '/'; }

// Capitals of a CP850 text: ASCII letters and the accented small letters that have a capital.
std::string Capitals(std::string s) {
  static constexpr unsigned char kPetites[] = {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A,
                                               0x8B, 0x8C, 0x8D, 0x91, 0x93, 0x94, 0x95, 0x96, 0x97, 0xA0,
                                               0xA1, 0xA2, 0xA3, 0xA4, 0xC6, 0xD0, 0xE4, 0xEC};
  static constexpr unsigned char kGrans[] = {0x9A, 0x90, 0xB6, 0x8E, 0xB7, 0x8F, 0x80, 0xD2, 0xD3, 0xD4,
                                             0xD8, 0xD7, 0xDE, 0x92, 0xE2, 0x99, 0xE3, 0xEA, 0xEB, 0xB5,
                                             0xD6, 0xE0, 0xE9, 0xA5, 0xC7, 0xD1, 0xE5, 0xED};
  for (char& ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') {
      ch = static_cast<char>(c - 32);
    } else if (c >= 0x80) {
      for (size_t k = 0; k < sizeof kPetites; ++k)
        if (kPetites[k] == c) {
          ch = static_cast<char>(kGrans[k]);
          break;
        }
    }
  }
  return s;
}

std::string SenseEspaisDarrere(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::vector<std::string> Components(const std::string& s, char sep1, char sep2) {
  std::vector<std::string> r;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i;
    while (j < s.size() && s[j] != sep1 && s[j] != sep2) ++j;
    if (j > i) r.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return r;
}

// An existing path as the platform can reach it (program form) and its long form; both
// "" when it does not exist.
struct Resolt {
  std::string cami;
  std::string llarg;
  plat::InfoFitxer info;  // what the existence check found
};

Resolt Resoldre(const std::string& cami_in) {
  const std::string cami = SenseEspaisDarrere(cami_in);
  if (cami.empty()) return {};
  const std::string nom = PartsCami(12, cami);
  if (!nom.empty() && !g_cau.clau.empty() && Capitals(PartsCami(3, cami)) == g_cau.clau) {
    auto it = g_cau.noms.find(Capitals(nom));
    if (it != g_cau.noms.end()) {
      const std::string directe = g_cau.host + it->second;
      // Only while that exact spelling is still there.
      if (plat::CamiHost(directe) == plat::Cp850AUtf8(directe)) {
        plat::InfoFitxer info = plat::Info(directe);
        if (info.existeix) return {directe, g_cau.llarg + it->second, info};
      }
    }
  }
  plat::InfoFitxer info = plat::Info(cami);
  if (!info.existeix) return {};
  return {cami, plat::FormaLlarga(cami), info};
}

// Windows-style name match: "*" any run, "?" one character, without regard to case;
// a pattern ending in ".*" also matches names without a dot.
bool Coincideix(const std::string& patro, const std::string& nom) {
  if (patro.empty() || patro == "*" || patro == "*.*") return true;
  size_t p = 0, n = 0, estrella = std::string::npos, marca = 0;
  while (n < nom.size()) {
    if (p < patro.size() && (patro[p] == '?' || patro[p] == nom[n])) {
      ++p;
      ++n;
    } else if (p < patro.size() && patro[p] == '*') {
      estrella = p++;
      marca = n;
    } else if (estrella != std::string::npos) {
      p = estrella + 1;
      n = ++marca;
    } else {
      return false;
    }
  }
  while (p < patro.size() && patro[p] == '*') ++p;
  if (p == patro.size()) return true;
  return patro.size() >= 2 && patro.compare(patro.size() - 2, 2, ".*") == 0 && nom.find('.') == std::string::npos &&
         Coincideix(patro.substr(0, patro.size() - 2), nom);
}

std::string NouNomLlistat() {
  std::string carpeta = CarpetaLlistats();
  if (!carpeta.empty() && !EsSeparador(carpeta.back())) carpeta += '\\';
  std::uniform_int_distribution<uint32_t> d(0, 99999999);
  if (!g_atzar) g_atzar = std::make_unique<std::mt19937_64>(std::random_device{}());
  return carpeta + std::to_string(d(*g_atzar)) + ".dir";
}

void DesarPosicio() {
  if (!g_lector.canviat) return;
  g_lector.canviat = false;
  plat::FitxerObert f = plat::ObrirEscriptura(plat::CamiHost(g_lector.nom));
  if (f && g_lector.dades.size() >= 4) f.EscriureTot(g_lector.dades.data(), 4);
}

void TancarLector() {
  DesarPosicio();
  g_lector = LectorLlistat{};
}

void NetejarEnSortir() { ReiniciarCamins(); }

}  // namespace

std::string PartsCami(int mascara, const std::string& cami) {
  const size_t llarg = cami.size();
  const size_t d = llarg >= 2 && cami[1] == ':' ? 2 : 0;
  size_t n = d;         // 0-based start of the name
  size_t e = llarg;     // 0-based start of the extension
  for (size_t i = llarg; i-- > 0;) {
    const char c = cami[i];
    if (c == ':' || c == '\\' || c == '/') {
      n = i + 1;
      break;
    }
    if (c == '.' && e == llarg) e = i;
  }
  if (e < n) e = llarg;
  std::string r;
  if (mascara & 1) r += cami.substr(0, d);
  if (mascara & 2) r += cami.substr(d, n - d);
  if (mascara & 4) r += cami.substr(n, e - n);
  if (mascara & 8) r += cami.substr(e);
  return r;
}

std::string CamiLlarg(const std::string& cami) { return Resoldre(cami).llarg; }

std::string CamiCurt(const std::string& cami) {
  const Resolt r = Resoldre(cami);
  if (r.cami.empty()) return std::string();
  const std::string curt = plat::FormaCurta(r.cami);
  return Capitals(curt.empty() ? r.llarg : curt);
}

std::string CamiAbsolut(const std::string& cami) {
  std::string p = cami;
  while (!p.empty() && p.front() == ' ') p.erase(0, 1);
  p = SenseEspaisDarrere(p);
  for (char& c : p)
    if (c == '/') c = '\\';
  std::string unitat;
  if (p.size() >= 2 && p[1] == ':') {
    unitat = p.substr(0, 1);
    p.erase(0, 2);
  } else if (!p.empty() && p[0] == '\\') {
    // A rooted path without a drive names a host folder: it stays one.
  } else {
    const std::string actual = plat::DirectoriActual();
    if (actual.size() >= 2 && actual[1] == ':') {
      unitat = actual.substr(0, 1);
    } else {
      p = actual + "\\" + p;  // the process sits outside every drive
    }
  }
  if (p.empty() || p[0] != '\\') {
    const std::string actual = plat::DirectoriActualUnitat(unitat.empty() ? '\0' : unitat[0]);
    if (actual.size() < 2 || actual[1] != ':') {
      p.clear();
    } else {
      const std::string dins = actual.size() > 3 ? actual.substr(3) : std::string();
      p = "\\" + dins + (dins.empty() ? "" : "\\") + p;
    }
  }
  // "." goes, ".." takes the component before it (nothing at the root).
  std::vector<std::string> parts;
  for (std::string& c : Components(p, '\\', '\\')) {
    if (c == ".") continue;
    if (c == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(c));
  }
  std::string r = "\\";
  for (const std::string& c : parts) r += c + "\\";
  return unitat.empty() ? r : unitat + ":" + r;
}

std::string CarpetaLlistats() {
  std::string t = plat::Entorn("TEMP");
  if (t.empty()) t = plat::Entorn("TMPDIR");
  if (t.empty()) t = "/tmp";
  return t;
}

void LlistarDirectori(const std::string& patro) {
  if (!g_netejaRegistrada) {
    g_netejaRegistrada = true;
    std::atexit(NetejarEnSortir);
  }
  TancarLector();
  // A fresh name, never another listing's file (ours or another process's).
  std::string nom;
  plat::FitxerObert f;
  for (int intent = 0; intent < kIntentsNomLlistat && !f; ++intent) {
    nom = NouNomLlistat();
    bool jaExisteix = false;
    f = plat::CrearExclusiu(plat::CamiHost(nom), &jaExisteix);
    if (!f && !jaExisteix) break;
  }
  FitxersLlistat = nom + "|" + FitxersLlistat;
  if (!f) return;  // reads back as an empty listing
  g_creats.push_back(nom);

  if ((AtributsLlistat & (8 | 16 | 32)) == 0) AtributsLlistat = static_cast<int16_t>(AtributsLlistat | 32);
  const int mascara = AtributsLlistat;
  const std::string carpeta = PartsCami(3, patro);
  const std::string filtre = Capitals(PartsCami(12, patro));

  std::string dades("\x05\0\0\0", 4);
  if (mascara & 8) {
    const std::string actual = plat::DirectoriActual();
    const char lletra = carpeta.size() >= 2 && carpeta[1] == ':' ? carpeta[0] : actual.empty() ? 'C' : actual[0];
    const std::string etiqueta = plat::DescriureUnitat(lletra).etiqueta;
    if (!etiqueta.empty()) dades += etiqueta + "\r\n";
  } else {
    std::vector<plat::EntradaDirectori> entrades;
    const std::string lloc = carpeta.empty() ? plat::DirectoriActual() : carpeta;
    if (plat::LlegirDirectori(lloc, entrades)) {
      g_cau = CauCarpeta{};
      g_cau.llarg = plat::FormaLlarga(lloc);
      if (!g_cau.llarg.empty() && !EsSeparador(g_cau.llarg.back())) g_cau.llarg += '\\';
      g_cau.host = plat::Utf8ACp850(plat::CamiHost(lloc));
      // The host's own separator, so that the name joined to it is still the host path.
      const char sep = g_cau.host.find('/') == std::string::npos ? '\\' : '/';
      if (g_cau.host.empty() || g_cau.host.back() != sep) g_cau.host += sep;
      g_cau.clau = g_cau.llarg.empty() ? std::string() : Capitals(carpeta);
      std::unordered_set<std::string> escrits;
      for (const plat::EntradaDirectori& e : entrades) {
        const uint16_t a = e.atributs;
        int k = a & 56;
        if (k == 0) k = 32;
        if (k & 8) k = 8;
        if (k & 16) k &= ~32;
        if ((k & mascara) == 0) continue;
        // Hidden and system entries only on request. Read-only is left out of this test:
        // on the host it only means "not writable by us", which hides nothing on Windows.
        const int amagat = a & 6;
        if (amagat && (amagat & mascara) == 0) continue;
        // Names the program cannot address as one path component stay out.
        if (e.nom.empty() || e.nom.back() == ' ' || e.nom.find_first_of("\\\r\n") != std::string::npos) continue;
        std::string curt = Capitals(e.nom);
        if (!Coincideix(filtre, curt)) continue;
        // Names that differ only by case share one short form: listed once.
        if (!escrits.insert(curt).second) continue;
        g_cau.noms.emplace(curt, e.nom);
        dades += curt;
        dades += "\r\n";
      }
    }
  }
  f.EscriureTot(dades.data(), dades.size());
}

std::string EntradaLlistat(const std::string& dades, uint32_t& posicio) {
  constexpr size_t kMaxEntrada = 4096;
  if (posicio < 5 || posicio - 1 >= dades.size()) return std::string();
  const size_t inici = posicio - 1;
  size_t fi = inici;
  while (fi < dades.size() && dades[fi] != '\r' && dades[fi] != '\n') ++fi;
  std::string entrada = dades.substr(inici, std::min(fi - inici, kMaxEntrada));
  if (fi < dades.size()) fi += (dades[fi] == '\r' && fi + 1 < dades.size() && dades[fi + 1] == '\n') ? 2 : 1;
  posicio = static_cast<uint32_t>(fi + 1);
  return entrada;
}

bool SeguentEntrada(std::string& entrada) {
  entrada.clear();
  const size_t barra = FitxersLlistat.find('|');
  const std::string nom = barra == std::string::npos ? FitxersLlistat : FitxersLlistat.substr(0, barra);
  if (nom.empty()) return true;
  if (nom != g_lector.nom) {
    TancarLector();
    g_lector.nom = nom;
    g_lector.dades = plat::LlegirFitxer(nom, kMidaMaximaLlistat).value_or(std::string());
  }
  std::string& d = g_lector.dades;
  if (d.size() < 4) return true;
  uint32_t posicio = 0;
  for (int i = 3; i >= 0; --i) posicio = (posicio << 8) | static_cast<unsigned char>(d[i]);
  entrada = EntradaLlistat(d, posicio);
  for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((posicio >> (8 * i)) & 0xFF);
  g_lector.canviat = true;
  if (entrada.empty()) DesarPosicio();
  return entrada.empty();
}

std::string DataFitxer(const std::string& cami) {
  const Resolt r = Resoldre(cami);
  if (r.cami.empty()) return std::string();
  const plat::InfoFitxer& info = r.info;
  if (!info.existeix || info.directori) return std::string();
  // Times a file system can hold: 1601-01-01 to 9999-12-31, UTC.
  if (info.modificat < -11644473600LL || info.modificat > 253402300799LL) return std::string();
  using namespace std::chrono;
  const sys_seconds t{seconds{info.modificat}};
  const sys_days dia = floor<days>(t);
  const year_month_day d{dia};
  const hh_mm_ss h{t - dia};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u%02d%02d%02d", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()), static_cast<int>(h.hours().count()),
                static_cast<int>(h.minutes().count()), static_cast<int>(h.seconds().count()));
  return buf;
}

std::string CodiUnitat(char lletra, const plat::InfoUnitat& info, std::string& descripcio) {
  const std::string l(1, lletra);
  switch (info.tipus) {
    case plat::TipusDisc::Extraible:
      if (lletra < 'C') {
        descripcio = l + ": 3.5\" 1.44MB";
        return "4";
      }
      descripcio = l + ":";
      return "R";
    case plat::TipusDisc::Fix:
      if (!info.substitut.empty()) {
        descripcio = l + ": " + info.substitut;
        return "S";
      }
      descripcio = info.etiqueta.empty() ? l + ":" : l + ": " + info.etiqueta;
      return "H";
    case plat::TipusDisc::Remot:
      descripcio = info.remot.empty() ? std::string() : l + ": " + info.remot;
      return "N";
    case plat::TipusDisc::CdRom:
      descripcio = l + ": cd-rom";
      return "C";
    case plat::TipusDisc::Ram:
      descripcio = l + ":";
      return "R";
    case plat::TipusDisc::Desconegut:
      break;
  }
  return std::string();
}

std::string TipusUnitat(const std::string& unitat, std::string& descripcio) {
  if (unitat.empty()) return std::string();
  const char lletra = static_cast<char>((static_cast<unsigned char>(unitat[0]) & 31) + 64);
  if (lletra < 'A' || lletra > 'Z') return std::string();
  return CodiUnitat(lletra, plat::DescriureUnitat(lletra), descripcio);
}

void ReiniciarCamins() {
  TancarLector();
  for (const std::string& nom : g_creats) plat::Esborrar(nom);
  g_creats.clear();
  g_cau = CauCarpeta{};
  FitxersLlistat.clear();
  AtributsLlistat = 0;
}
