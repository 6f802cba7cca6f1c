#include "files/selector.h"

#include <algorithm>

#include "console/formulari.h"
#include "console/llistes.h"
#include "files/camins.h"
#include "output/traduccio.h"
#include "platform/cp850.h"
#include "platform/fitxers.h"

std::string CarpetesEspecials[3];
std::string CarpetaBase;
std::string CarpetaRelativa;

namespace {

constexpr int16_t kLlistaSelector = 1;
constexpr size_t kPrefix = 18;
// Paths longer than this in a shell link are not paths.
constexpr size_t kMaxCamiDrecera = 4096;
// A shell link is a few hundred bytes; nothing past this is read.
constexpr size_t kMaxMidaDrecera = 1u << 20;

const std::string kEspais(kPrefix, ' ');

bool AcabaEn(const std::string& s, const std::string& fi) {
  return s.size() >= fi.size() && s.compare(s.size() - fi.size(), fi.size(), fi) == 0;
}

// "DD/MM/YY hh:mm:ss " from YYYYMMDDhhmmss.
std::string PrefixData(const std::string& d) {
  return d.substr(6, 2) + "/" + d.substr(4, 2) + "/" + d.substr(2, 2) + " " + d.substr(8, 2) + ":" +
         d.substr(10, 2) + ":" + d.substr(12, 2) + " ";
}

bool DataValida(const std::string& d) {
  return d.size() == 14 && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void EscriureLlistaFiles(const std::string& dades) {
  plat::EscriureFitxer(FitxerLlista(), dades);
}

void FixarTitol(const std::string& titol) {
  if (kLlistaSelector < static_cast<int>(Llistes.size())) Llistes[kLlistaSelector].Titol = titol;
}

// One pass over the current folder: sub-folders, or files with their dates.
void Passada(const std::string& actual, const std::string& titol, bool fitxers, std::string& dades,
             uint32_t& anterior) {
  LlistarDirectori(actual + "*.*");
  std::string entrada;
  while (!SeguentEntrada(entrada)) {
    std::string complet = actual + entrada;
    std::string nom, data;
    if (fitxers && AcabaEn(entrada, ".LNK")) {
      complet = CamiCurt(DestiDrecera(complet));
      if (complet.empty()) continue;  // the target is gone
      data = DataFitxer(complet);
      nom = CamiLlarg(complet);
    } else {
      if (fitxers) data = DataFitxer(complet);
      const std::string llarg = CamiLlarg(complet);
      if (llarg.size() > titol.size()) nom = llarg.substr(titol.size());
    }
    // A file whose date cannot be read (removed meanwhile, a link to a folder) is left out.
    if (nom.empty() || (fitxers && !DataValida(data))) continue;
    AfegirFilaLlista(dades, anterior, SeleccioValor, (fitxers ? PrefixData(data) : kEspais) + nom);
  }
  AtributsLlistat = 0;
}

uint32_t Llegir32(const std::string& d, size_t p) {
  return static_cast<uint32_t>(static_cast<unsigned char>(d[p])) |
         (static_cast<uint32_t>(static_cast<unsigned char>(d[p + 1])) << 8) |
         (static_cast<uint32_t>(static_cast<unsigned char>(d[p + 2])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(d[p + 3])) << 24);
}

// A bounded window of the link's bytes: every read is checked against [inici, fi).
struct Finestra {
  const std::string& d;
  size_t inici;
  size_t fi;
  bool U32(size_t desp, uint32_t& v) const {
    if (desp > fi - inici || fi - inici - desp < 4) return false;
    v = Llegir32(d, inici + desp);
    return true;
  }
  // Bytes up to the first zero byte (or the window's end).
  std::string Ansi(size_t desp) const {
    std::string r;
    if (desp >= fi - inici) return r;
    for (size_t p = inici + desp; p < fi && d[p] != '\0' && r.size() < kMaxCamiDrecera; ++p) r += d[p];
    return r;
  }
  // UTF-16LE up to the first zero unit, in CP850 (characters it lacks are dropped).
  std::string Unicode(size_t desp) const {
    std::string r;
    if (desp >= fi - inici) return r;
    char32_t alta = 0;
    for (size_t p = inici + desp; p + 1 < fi && r.size() < kMaxCamiDrecera; p += 2) {
      const char32_t u = static_cast<unsigned char>(d[p]) | (static_cast<unsigned char>(d[p + 1]) << 8);
      if (u == 0) break;
      char32_t punt = u;
      if (u >= 0xD800 && u < 0xDC00) {
        alta = u;
        continue;
      }
      if (u >= 0xDC00 && u < 0xE000) {
        if (alta == 0) continue;
        punt = 0x10000 + ((alta - 0xD800) << 10) + (u - 0xDC00);
      }
      alta = 0;
      const int c = plat::UnicodeACp850(punt);
      if (c > 0) r += static_cast<char>(c);
    }
    return r;
  }
  Finestra Sub(size_t desp, size_t mida) const {
    const size_t a = inici + std::min(desp, fi - inici);
    return Finestra{d, a, a + std::min(mida, fi - a)};
  }
};

std::string Unir(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a.back() == '\\' ? a + b : a + "\\" + b;
}

// Share of a network link: the mapped drive when the link names one, else the server name.
std::string RecursXarxa(const Finestra& info, uint32_t desp) {
  uint32_t mida = 0, indicadors = 0, nomXarxa = 0, dispositiu = 0;
  const Finestra base = info.Sub(desp, info.fi - info.inici);
  if (!base.U32(0, mida) || mida < 20) return std::string();
  const Finestra cnrl = info.Sub(desp, mida);
  if (!cnrl.U32(4, indicadors) || !cnrl.U32(8, nomXarxa) || !cnrl.U32(12, dispositiu)) return std::string();
  const bool unicode = nomXarxa > 0x14;
  if (indicadors & 1) {
    uint32_t w = 0;
    std::string r = unicode && cnrl.U32(24, w) && w != 0 ? cnrl.Unicode(w) : std::string();
    if (r.empty()) r = cnrl.Ansi(dispositiu);
    if (!r.empty()) return r;
  }
  uint32_t w = 0;
  std::string r = unicode && cnrl.U32(20, w) && w != 0 ? cnrl.Unicode(w) : std::string();
  return r.empty() ? cnrl.Ansi(nomXarxa) : r;
}

// A path field of the LinkInfo header: the Unicode one when the header has it and it is
// set, else the ANSI one.
std::string CampCami(const Finestra& info, bool unicode, size_t campAnsi, size_t campUnicode) {
  uint32_t w = 0, a = 0;
  if (unicode && info.U32(campUnicode, w) && w != 0) return info.Unicode(w);
  if (info.U32(campAnsi, a) && a != 0) return info.Ansi(a);
  return std::string();
}

}  // namespace

std::string DestiDreceraDades(const std::string& dades) {
  static const unsigned char kClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  const Finestra tot{dades, 0, dades.size()};
  uint32_t capcalera = 0, indicadors = 0;
  if (!tot.U32(0, capcalera) || capcalera != 0x4C || dades.size() < 0x4C) return std::string();
  if (!std::equal(kClsid, kClsid + 16, dades.begin() + 4,
                  [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }))
    return std::string();
  tot.U32(20, indicadors);
  size_t p = 0x4C;
  if (indicadors & 1) {
    if (dades.size() < p + 2) return std::string();
    p += 2 + (static_cast<unsigned char>(dades[p]) | (static_cast<unsigned char>(dades[p + 1]) << 8));
  }
  if (!(indicadors & 2) || p >= dades.size()) return std::string();

  uint32_t midaInfo = 0, midaCapInfo = 0, indInfo = 0;
  const Finestra resta = tot.Sub(p, dades.size());
  if (!resta.U32(0, midaInfo) || !resta.U32(4, midaCapInfo) || midaInfo < 0x1C) return std::string();
  const Finestra info = tot.Sub(p, midaInfo);
  if (!info.U32(8, indInfo)) return std::string();
  const bool unicode = midaCapInfo >= 0x24;

  // The suffix completes the local base path as well as the network share.
  std::string cami;
  const std::string sufix = (indInfo & 3) ? CampCami(info, unicode, 24, 32) : std::string();
  if (indInfo & 1) {
    cami = CampCami(info, unicode, 16, 28) + sufix;
  } else if (indInfo & 2) {
    uint32_t desp = 0;
    cami = Unir(info.U32(20, desp) && desp != 0 ? RecursXarxa(info, desp) : std::string(), sufix);
  }
  if (cami.size() > kMaxCamiDrecera) cami.resize(kMaxCamiDrecera);
  return cami;
}

std::string DestiDrecera(const std::string& cami) {
  const auto dades = plat::LlegirFitxer(cami, kMaxMidaDrecera);
  return dades ? DestiDreceraDades(*dades) : std::string();
}

int16_t OmplirSelector(int16_t llista, std::string& clauInici, std::string& clauFi) {
  if (llista != kLlistaSelector) return 0;
  std::string dades;
  uint32_t anterior = 0;
  // A stored folder that is gone (a deleted folder, a drive no longer there) would show a
  // list holding only "..": start at the top level instead.
  if (!(CarpetaBase + CarpetaRelativa).empty() && !plat::Info(CarpetaBase + CarpetaRelativa).directori) {
    CarpetaBase.clear();
    CarpetaRelativa.clear();
  }
  const std::string actual = CarpetaBase + CarpetaRelativa;
  if (actual.empty()) {
    FixarTitol(std::string());
    static const char* const kNoms[3] = {"Documents meus", "Escriptori", "Recents"};
    for (int i = 0; i < 3; ++i) AfegirFilaLlista(dades, anterior, 101 + i, ">" + kEspais.substr(1) + TraduirText(kNoms[i]));
    const std::string mapejades = plat::UnitatsMapejades();
    for (char l = 'A'; l <= 'Z'; ++l) {
      if (mapejades.find(l) == std::string::npos) continue;
      std::string descripcio;
      if (TipusUnitat(std::string(1, l), descripcio).empty()) continue;
      AfegirFilaLlista(dades, anterior, static_cast<unsigned char>(l), ">" + kEspais.substr(1) + descripcio);
    }
  } else {
    const std::string titol = CamiLlarg(actual);
    FixarTitol(titol);
    AtributsLlistat = 16;
    AfegirFilaLlista(dades, anterior, SeleccioValor, kEspais + "..");
    Passada(actual, titol, false, dades, anterior);
    Passada(actual, titol, true, dades, anterior);
  }
  EscriureLlistaFiles(dades);
  clauInici.clear();
  clauFi.clear();
  return 0;
}

void TriarEntrada(int16_t& llista, int16_t form, int16_t& camp) {
  if (llista != kLlistaSelector) return;
  // Each folder entered shows the list again; a loop rather than nested calls, so a long
  // walk through the folders does not deepen the stack.
  for (;;) {
    const std::string t = SeleccioText;
    const int32_t c = SeleccioValor;
    const std::string actual = CarpetaBase + CarpetaRelativa;
    std::string nom;
    bool novaCarpeta = false;
    std::string nova;
    if (!t.empty() && t[0] == '>') {
      std::string base;
      if (c >= 101 && c <= 103)
        base = CarpetesEspecials[c - 101];
      else if (c >= 1 && c <= 100)
        base = std::string(1, static_cast<char>(c)) + ":\\";
      CarpetaBase = CamiCurt(base);
      novaCarpeta = true;
    } else if (!t.empty() && t[0] == ' ') {
      const std::string s = t.substr(t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
      novaCarpeta = true;
      if (s == "..") {
        if (AcabaEn(CarpetaRelativa, ":\\")) {
          nova.clear();
        } else if (CarpetaRelativa.empty()) {
          CarpetaBase.clear();
        } else {
          nova = CamiAbsolut(actual + "..");
        }
      } else {
        nova = actual + s + "\\";
      }
    } else if (t.size() > kPrefix) {
      nom = t.substr(kPrefix);
    }

    if (novaCarpeta) {
      const std::string curt = nova.empty() ? std::string() : CamiCurt(nova);
      // A folder outside the base (or gone) leaves the picker at the base.
      CarpetaRelativa = curt.size() > CarpetaBase.size() && curt.compare(0, CarpetaBase.size(), CarpetaBase) == 0
                            ? curt.substr(CarpetaBase.size())
                            : std::string();
      int16_t estat = -1;
      MostrarLlista(kLlistaSelector, estat);
      if (estat != 0) return;
      continue;
    }
    if (nom.empty()) return;  // an empty list: nothing was chosen
    const bool complet = (nom.size() >= 2 && nom[1] == ':') || nom[0] == '\\';
    std::string cami = CamiLlarg(complet ? nom : actual + nom);
    if (cami.empty() || !Ganxos.AcceptarCamp) return;
    int16_t tecla = 0;
    Ganxos.AcceptarCamp(form, cami, camp, tecla);
    return;
  }
}

void RegistrarSelector() {
  GanxosLlista.OmplirSelector = OmplirSelector;
  Ganxos.TriarEntrada = TriarEntrada;
}

void ReiniciarSelector() {
  for (std::string& c : CarpetesEspecials) c.clear();
  CarpetaBase.clear();
  CarpetaRelativa.clear();
}
