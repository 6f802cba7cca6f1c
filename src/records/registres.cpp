#include "records/registres.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "console/finestres.h"
#include "platform/gestor_registres.h"
#include "session/sessio.h"

TaulaSlots TaulaFitxers;
std::string PilaModes;

SlotFitxer& TaulaSlots::operator[](int i) {
  // On the heap: among the static data, 8 KB of slots would spread the small globals that
  // every start writes over more pages.
  static const std::unique_ptr<SlotFitxer[]> slots(new SlotFitxer[kNombreSlots + 1]);
  return slots[i];
}

namespace {

GestorRegistres g_gestor;
std::function<void(int64_t)> g_espera;
std::function<double()> g_atzar;
// Made and seeded at first use: reading the random device costs more than a whole run
// that never waits on a lock, and so does filling a generator's state at start.
// On the heap, as the slots: see TaulaSlots.
std::unique_ptr<std::mt19937_64> g_generador;

constexpr int16_t kGetEqual = 5;
constexpr int16_t kGetNext = 6;
constexpr int16_t kGetPrevious = 7;
constexpr int16_t kGetGreater = 8;
constexpr int16_t kGetGreaterOrEqual = 9;
constexpr int16_t kGetLess = 10;
constexpr int16_t kGetLessOrEqual = 11;
constexpr int16_t kStat = 15;
constexpr int16_t kGetPosition = 22;
constexpr int16_t kGetDirect = 23;
constexpr int16_t kBiaixBloqueig = 200;
// The key length travels in one byte.
constexpr size_t kMaxValorClau = kMidaClau - 1;

// Stat reply: descriptors from here, 16 bytes each.
constexpr size_t kIniciDescriptors = 16;
constexpr size_t kMidaDescriptor = 16;
constexpr uint16_t kSegmentBinari = 4;
constexpr uint16_t kSegmentSegueix = 16;
constexpr uint16_t kSegmentAlternatiu = 32;
constexpr size_t kMidaSignaturaAlternativa = 9;

int16_t Cridar(int16_t op, SlotFitxer& s, char* dades, int32_t& longDades, char* clau, int16_t longClau,
               int16_t numClau) {
  if (!g_gestor) return kEstatSenseGestor;
  const int16_t estat = g_gestor(op, s.BlocPosicio, dades, longDades, clau, longClau, numClau);
  // Whatever the record manager says, no copy reaches outside the buffer.
  longDades = std::clamp<int32_t>(longDades, 0, kMidaDades);
  return estat;
}

uint16_t Llegir16(const char* p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
}

int32_t LongRegistreSegura(const SlotFitxer& s) {
  return s.Registre ? std::clamp<int32_t>(s.LongRegistre, 0, kMidaDades) : 0;
}

void CopiarAlRegistre(SlotFitxer& s, const char* dades, int32_t longDades) {
  const int32_t n = std::min(longDades, LongRegistreSegura(s));
  if (n > 0) std::memcpy(s.Registre, dades, static_cast<size_t>(n));
}

// Key value back from a key buffer: as many bytes as the value had, zero bytes included
// (a binary key may hold them).
void PrendreClau(SlotFitxer& s, const char* clau) {
  s.ValorClau.assign(clau, std::min(s.ValorClau.size(), kMaxValorClau));
}

int16_t LongitudText(const char* clau) {
  return static_cast<int16_t>(strnlen(clau, kMaxValorClau));
}

bool EsRegistrat(int16_t slot) { return slot >= 1 && slot <= kNombreSlots && TaulaFitxers[slot].NumFitxer != 0; }

// The Stat reply as the layer reads it: the second call, its buffer zero-filled first.
struct RespostaStat {
  bool valida = false;
  int32_t longRegistre = 0;
  int claus = 0;
  std::string dades;
};

RespostaStat Stat(SlotFitxer& s) {
  RespostaStat r;
  std::string dades(kMidaDades, ' ');
  char clau[kMidaClau];
  std::memset(clau, ' ', kMidaClau - 1);
  clau[kMidaClau - 1] = 0;
  int32_t longitud = kMidaDades;
  int16_t estat = Cridar(kStat, s, dades.data(), longitud, clau, kMaxValorClau, 0);
  if (estat != 0 && estat != kEstatBufferCurt) return r;
  r.longRegistre = Llegir16(dades.data());
  const size_t pagina = std::min<size_t>(Llegir16(dades.data() + 2), kMidaDades);
  r.claus = Llegir16(dades.data() + 4);
  std::fill(dades.begin(), dades.end(), ' ');
  std::fill(dades.begin(), dades.begin() + static_cast<std::ptrdiff_t>(pagina), '\0');
  std::memset(clau, ' ', kMidaClau - 1);
  longitud = kMidaDades;
  estat = Cridar(kStat, s, dades.data(), longitud, clau, kMaxValorClau, 0);
  if (estat != 0 && estat != kEstatBufferCurt) return r;
  r.dades = std::move(dades);
  r.valida = true;
  return r;
}

struct Segment {
  uint16_t longitud = 0;
  uint16_t indicadors = 0;
};

// Segments of every key up to the given one (all keys when it is -1); `fi` gets the offset
// after the last descriptor read. Stops at the end of the buffer.
std::vector<std::vector<Segment>> Segments(const RespostaStat& r, int finsClau, size_t& fi) {
  std::vector<std::vector<Segment>> claus;
  const int darrera = finsClau < 0 ? r.claus - 1 : std::min(finsClau, r.claus - 1);
  size_t off = kIniciDescriptors;
  for (int k = 0; k <= darrera; ++k) {
    claus.emplace_back();
    for (;;) {
      if (off + kMidaDescriptor > r.dades.size()) {
        fi = off;
        return claus;
      }
      const Segment seg{Llegir16(r.dades.data() + off + 2), Llegir16(r.dades.data() + off + 4)};
      claus.back().push_back(seg);
      off += kMidaDescriptor;
      if (!(seg.indicadors & kSegmentSegueix)) break;
    }
  }
  fi = off;
  return claus;
}

const char* MissatgeBloqueig() {
  const std::string& i = EstatSessio.Idioma;
  if (i == "SPA") return "FICHERO BLOQUEADO. ESPERE UN MOMENTO.";
  if (i == "GLG") return "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.";
  if (i == "OCI") return "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.";
  return "FITXER BLOQUEJAT. ESPEREU UN MOMENT.";
}

bool TeBiaix(int16_t op) {
  return (op >= 5 && op <= 13) || op == 19 || (op >= 22 && op <= 24) || (op >= 33 && op <= 35);
}

void Esperar() {
  if (!g_atzar && !g_generador) g_generador = std::make_unique<std::mt19937_64>(std::random_device{}());
  const double r = g_atzar ? g_atzar() : std::uniform_real_distribution<double>(0.0, 1.0)(*g_generador);
  const int64_t ms = std::llround(10000.0 * std::clamp(r, 0.0, 1.0) + 1.0);
  if (g_espera)
    g_espera(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

void FixarGestorRegistres(GestorRegistres gestor) { g_gestor = std::move(gestor); }

void FixarEsperaBloqueig(std::function<void(int64_t)> espera, std::function<double()> atzar) {
  g_espera = std::move(espera);
  g_atzar = std::move(atzar);
}

int16_t FitxerSlot(int16_t numFitxer) {
  int16_t lliure = 0;
  for (int16_t s = 1; s <= kNombreSlots; ++s) {
    // A free slot holds 0: file number 0 is never a file.
    if (numFitxer != 0 && TaulaFitxers[s].NumFitxer == numFitxer) return s;
    if (TaulaFitxers[s].NumFitxer == 0) lliure = s;
  }
  return static_cast<int16_t>(-lliure);
}

int16_t RegistrarFitxer(int16_t numFitxer, char* registre, int32_t longRegistre, int16_t numClau,
                        const std::string& valorClau, int16_t mode) {
  if (numFitxer == 0) return 0;
  const int16_t s = FitxerSlot(numFitxer);
  if (s >= 0) return 0;
  SlotFitxer& t = TaulaFitxers[-s];
  t = SlotFitxer{};
  t.NumFitxer = numFitxer;
  t.Registre = registre;
  t.LongRegistre = std::clamp<int32_t>(longRegistre, 0, kMidaDades);
  t.NumClau = numClau;
  t.ValorClau = valorClau.substr(0, kMaxValorClau);
  t.ModeBloqueig = mode;
  return static_cast<int16_t>(-s);
}

void AlliberarFitxer(int16_t numFitxer) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s >= 1) TaulaFitxers[s] = SlotFitxer{};
}

void FitxerModes(int16_t numFitxer, const std::string& ordres, int16_t& estat) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) {
    estat = kEstatNoObert;
    return;
  }
  SlotFitxer& t = TaulaFitxers[s];
  for (char c : ordres) {
    switch (c) {
      case 'D': case 'd': t.ModeBloqueig = 0; break;
      case 'A': case 'a': t.ModeBloqueig = 1; break;
      case 'B': case 'b': t.ModeBloqueig = 2; break;
      case '+':
        PilaModes += static_cast<char>(s);
        PilaModes += static_cast<char>(t.ModeBloqueig);
        break;
      case '-':
        for (size_t i = PilaModes.size() / 2; i-- > 0;) {
          if (static_cast<unsigned char>(PilaModes[2 * i]) == s) {
            t.ModeBloqueig = static_cast<unsigned char>(PilaModes[2 * i + 1]);
            PilaModes.erase(2 * i, 2);
            break;
          }
        }
        break;
      default: break;
    }
  }
}

void FitxerCrida(int16_t slot, int16_t& operacio, int16_t& estat) {
  if (!EsRegistrat(slot)) {
    estat = kEstatNoObert;
    return;
  }
  SlotFitxer& s = TaulaFitxers[slot];
  const int16_t base = operacio;
  if (TeBiaix(base) && s.ModeBloqueig != 0) operacio = static_cast<int16_t>(operacio + kBiaixBloqueig);
  if (s.ValorClau.size() > kMaxValorClau) s.ValorClau.resize(kMaxValorClau);
  char farciment = ' ';
  if (base == kGetGreater || base == kGetGreaterOrEqual) farciment = '\0';
  if (base == kGetLess || base == kGetLessOrEqual) farciment = '\xFF';

  int intent = 0;
  char dades[kMidaDades];
  char clau[kMidaClau];
  for (;;) {
    if (intent == 1) MostrarMissatge(24, MissatgeBloqueig());
    const int32_t longReg = LongRegistreSegura(s);
    std::memset(dades, ' ', kMidaDades);
    if (longReg > 0) std::memcpy(dades, s.Registre, static_cast<size_t>(longReg));
    int32_t longitud = longReg;
    std::memset(clau, farciment, kMidaClau);
    std::memcpy(clau, s.ValorClau.data(), s.ValorClau.size());
    estat = Cridar(operacio, s, dades, longitud, clau, static_cast<int16_t>(s.ValorClau.size()), s.NumClau);
    CopiarAlRegistre(s, dades, longitud);
    PrendreClau(s, clau);
    if ((estat == kEstatRegistreBloquejat || estat == kEstatFitxerBloquejat) && s.ModeBloqueig == 1) {
      Esperar();
      if (intent < 2) ++intent;
      continue;
    }
    break;
  }
  if (intent != 0) RestaurarFinestra();
}

void FitxerMides(int16_t numFitxer, int16_t numClau, int32_t& longRegistre, int32_t& longClau) {
  longRegistre = 0;
  longClau = 0;
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) return;
  const RespostaStat r = Stat(TaulaFitxers[s]);
  if (!r.valida) return;
  longRegistre = r.longRegistre;
  if (numClau < 0 || numClau >= r.claus) return;
  size_t fi = 0;
  const auto claus = Segments(r, numClau, fi);
  if (static_cast<int>(claus.size()) != numClau + 1) return;
  for (const Segment& seg : claus.back()) longClau += seg.longitud;
}

std::string ClauOrdenable(const std::string& clau, int16_t numFitxer) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) return clau;
  const int16_t k = TaulaFitxers[s].NumClau;
  const RespostaStat r = Stat(TaulaFitxers[s]);
  if (!r.valida || k < 0 || k >= r.claus) return clau;
  size_t fi = 0;
  Segments(r, -1, fi);
  const size_t inici = fi + kMidaSignaturaAlternativa;
  const bool hiHaTaula = inici + 256 <= r.dades.size();
  const auto claus = Segments(r, k, fi);
  if (static_cast<int>(claus.size()) != k + 1) return clau;
  std::string t = clau;
  size_t pos = 0;
  for (const Segment& seg : claus.back()) {
    const size_t fiSeg = pos + seg.longitud;
    if (seg.indicadors & kSegmentBinari) {
      if (t.size() < fiSeg) t.resize(fiSeg, '\0');
      std::reverse(t.begin() + static_cast<std::ptrdiff_t>(pos), t.begin() + static_cast<std::ptrdiff_t>(fiSeg));
    } else if ((seg.indicadors & kSegmentAlternatiu) && hiHaTaula) {
      for (size_t i = pos; i < fiSeg && i < t.size(); ++i)
        t[i] = r.dades[inici + static_cast<unsigned char>(t[i])];
    }
    pos = fiSeg;
  }
  return t;
}

void FitxerCerca(int16_t numFitxer, int16_t numClau, const std::string& valor, int direccio, int16_t& estat) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) {
    estat = kEstatNoObert;
    return;
  }
  int32_t longReg = 0, longClau = 0;
  FitxerMides(numFitxer, numClau, longReg, longClau);
  if (longClau == 0) {
    estat = kEstatClauInexistent;
    return;
  }
  SlotFitxer& t = TaulaFitxers[s];
  t.NumClau = numClau;
  t.ValorClau = valor;
  t.ValorClau.resize(std::min<size_t>(static_cast<size_t>(longClau), kMaxValorClau), '\0');
  int16_t op = direccio == 0 ? kGetEqual : direccio > 0 ? kGetGreaterOrEqual : kGetLessOrEqual;
  estat = 0;
  FitxerCrida(s, op, estat);
  if (estat == kEstatBufferCurt) estat = 0;
}

void FitxerSalta(int16_t numFitxer, int32_t quants, int16_t& estat) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) {
    estat = kEstatNoObert;
    return;
  }
  SlotFitxer& t = TaulaFitxers[s];
  int16_t op = quants >= 0 ? kGetNext : kGetPrevious;
  int64_t n = quants >= 0 ? int64_t{quants} : -int64_t{quants};
  estat = 0;
  char clau[kMidaClau] = {};
  while (n > 1 && estat == 0) {
    char dades[kMidaDades];
    std::memset(dades, ' ', kMidaDades);
    int32_t longitud = kMidaDades;
    estat = Cridar(op, t, dades, longitud, clau, LongitudText(clau), t.NumClau);
    clau[kMidaClau - 1] = 0;
    PrendreClau(t, clau);
    if (estat == kEstatBufferCurt) estat = 0;
    --n;
  }
  if (n != 0 && estat == 0) {
    FitxerCrida(s, op, estat);
    if (estat == kEstatBufferCurt) estat = 0;
  }
}

int32_t FitxerPosicio(int16_t numFitxer, int32_t posicio) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) return posicio == 0 ? 0 : kEstatNoObert;
  SlotFitxer& t = TaulaFitxers[s];
  char dades[kMidaDades];
  std::memset(dades, ' ', kMidaDades);
  char clau[kMidaClau] = {};
  int32_t longitud = kMidaDades;
  if (posicio == 0) {
    const int16_t estat = Cridar(kGetPosition, t, dades, longitud, clau, 0, 0);
    if (estat != 0) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(Llegir16(dades)) |
                                (static_cast<uint32_t>(Llegir16(dades + 2)) << 16));
  }
  const uint32_t p = static_cast<uint32_t>(posicio);
  for (int i = 0; i < 4; ++i) dades[i] = static_cast<char>((p >> (8 * i)) & 0xFF);
  int16_t estat = Cridar(kGetDirect, t, dades, longitud, clau, LongitudText(clau), t.NumClau);
  clau[kMidaClau - 1] = 0;
  PrendreClau(t, clau);
  if (estat == kEstatBufferCurt) estat = 0;
  if (estat == 0) CopiarAlRegistre(t, dades, longitud);
  return estat;
}

std::string FitxerClau(int16_t numFitxer) {
  const int16_t s = FitxerSlot(numFitxer);
  if (s < 1) return std::string();
  return ClauOrdenable(TaulaFitxers[s].ValorClau, numFitxer);
}

void ReiniciarRegistres() {
  for (int s = 0; s <= kNombreSlots; ++s) TaulaFitxers[s] = SlotFitxer{};
  PilaModes.clear();
  g_gestor = nullptr;
  g_espera = nullptr;
  g_atzar = nullptr;
}

bool UsarGestorSistema(const std::string& biblioteca) {
  const plat::CridaGestor crida = plat::CarregarGestorRegistres(biblioteca);
  if (!crida) return false;
  FixarGestorRegistres([crida](int16_t op, unsigned char* bloc, char* dades, int32_t& longDades, char* clau,
                               int16_t longClau, int16_t numClau) -> int16_t {
    uint32_t n = longDades < 0 ? 0 : static_cast<uint32_t>(longDades);
    const int r = crida(static_cast<uint16_t>(op), bloc, dades, &n, clau,
                        static_cast<uint8_t>(std::clamp<int16_t>(longClau, 0, 255)), static_cast<int8_t>(numClau));
    // The manager never reports more than the buffer it was given.
    longDades = static_cast<int32_t>(std::min<uint32_t>(n, longDades < 0 ? 0u : static_cast<uint32_t>(longDades)));
    return static_cast<int16_t>(r);
  });
  return true;
}
