#include "records/gestor_memoria.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Llegir32(const void* p) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}
void Escriure32(void* p, uint32_t v) {
  unsigned char* b = static_cast<unsigned char*>(p);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Escriure16(std::string& s, size_t off, uint16_t v) {
  s[off] = static_cast<char>(v & 0xFF);
  s[off + 1] = static_cast<char>(v >> 8);
}

// Key comparison, segment by segment: binary segments as little-endian unsigned numbers,
// alternate-collation segments through the table, others byte by byte.
int Comparar(const FitxerMemoria& f, int k, const std::string& a, const std::string& b) {
  size_t pos = 0;
  for (const SegmentMemoria& s : f.claus[static_cast<size_t>(k)]) {
    for (size_t i = 0; i < s.longitud; ++i) {
      const size_t j = (s.indicadors & 4) ? pos + s.longitud - 1 - i : pos + i;
      unsigned char x = j < a.size() ? static_cast<unsigned char>(a[j]) : 0;
      unsigned char y = j < b.size() ? static_cast<unsigned char>(b[j]) : 0;
      if ((s.indicadors & 32) && f.taulaAlternativa.size() == 256) {
        x = static_cast<unsigned char>(f.taulaAlternativa[x]);
        y = static_cast<unsigned char>(f.taulaAlternativa[y]);
      }
      if (x != y) return x < y ? -1 : 1;
    }
    pos += s.longitud;
  }
  return 0;
}

}  // namespace

int GestorMemoria::AfegirFitxer(FitxerMemoria f) {
  fitxers_.push_back(std::move(f));
  return static_cast<int>(fitxers_.size());  // 1-based: 0 in a block means "not open"
}

void GestorMemoria::Obrir(unsigned char* bloc, int fitxer) const {
  std::memset(bloc, 0, 128);
  Escriure32(bloc, static_cast<uint32_t>(fitxer));
}

std::string GestorMemoria::Clau(const FitxerMemoria& f, int k, const std::string& registre) const {
  std::string r;
  for (const SegmentMemoria& s : f.claus[static_cast<size_t>(k)]) {
    std::string part = registre.substr(std::min<size_t>(s.desplacament, registre.size()), s.longitud);
    part.resize(s.longitud, '\0');
    r += part;
  }
  return r;
}

bool GestorMemoria::Menor(const FitxerMemoria& f, int k, const std::string& a, const std::string& b) const {
  return Comparar(f, k, Clau(f, k, a), Clau(f, k, b)) < 0;
}

int16_t GestorMemoria::operator()(int16_t op, unsigned char* bloc, char* dades, int32_t& longDades, char* clau,
                                  int16_t longClau, int16_t numClau) {
  CridaMemoria c{op, longDades, longClau, numClau,
                 std::string(dades, static_cast<size_t>(std::clamp<int32_t>(longDades, 0, 1536))),
                 std::string(clau, 256)};
  crides.push_back(c);
  const uint32_t id = Llegir32(bloc);
  if (id == 0 || id > fitxers_.size()) return 3;
  FitxerMemoria& f = fitxers_[id - 1];
  const bool bloqueja = op >= 200;
  const int16_t base = static_cast<int16_t>(bloqueja ? op - 200 : op);

  if (base == 15) {
    std::string r(16, '\0');
    Escriure16(r, 0, f.longRegistre);
    Escriure16(r, 2, f.pagina);
    Escriure16(r, 4, static_cast<uint16_t>(f.claus.size()));
    for (const auto& k : f.claus) {
      for (size_t i = 0; i < k.size(); ++i) {
        std::string d(16, '\0');
        Escriure16(d, 0, static_cast<uint16_t>(k[i].desplacament + 1));
        Escriure16(d, 2, k[i].longitud);
        Escriure16(d, 4, static_cast<uint16_t>(k[i].indicadors | (i + 1 < k.size() ? 16 : 0)));
        r += d;
      }
    }
    if (f.taulaAlternativa.size() == 256) r += std::string("\xAC" "ALTERNAT", 9) + f.taulaAlternativa;
    const size_t n = std::min(r.size(), static_cast<size_t>(std::max(longDades, 0)));
    std::memcpy(dades, r.data(), n);
    longDades = static_cast<int32_t>(n);
    return n < r.size() ? 22 : 0;
  }
  if (base == 22) {
    const uint32_t actual = Llegir32(bloc + 4);
    if (actual == 0) return 8;
    Escriure32(dades, actual);
    longDades = 4;
    return 0;
  }
  if (numClau < 0 || static_cast<size_t>(numClau) >= f.claus.size()) return 6;

  std::vector<uint32_t> ordre;
  for (const auto& [p, r] : f.registres) ordre.push_back(p);
  std::stable_sort(ordre.begin(), ordre.end(),
                   [&](uint32_t a, uint32_t b) { return Menor(f, numClau, f.registres[a], f.registres[b]); });
  const size_t longitudClau = Clau(f, numClau, std::string()).size();
  const std::string donada(clau, std::min<size_t>(longitudClau, 255));
  auto clauDe = [&](uint32_t p) { return Clau(f, numClau, f.registres[p]); };

  uint32_t trobat = 0;
  switch (base) {
    case 5:
      for (uint32_t p : ordre)
        if (Comparar(f, numClau, clauDe(p), donada) == 0) { trobat = p; break; }
      if (!trobat) return 4;
      break;
    case 8:
    case 9:
      for (uint32_t p : ordre) {
        const int cmp = Comparar(f, numClau, clauDe(p), donada);
        if (cmp > 0 || (base == 9 && cmp == 0)) { trobat = p; break; }
      }
      if (!trobat) return 9;
      break;
    case 10:
    case 11:
      for (auto it = ordre.rbegin(); it != ordre.rend(); ++it) {
        const int cmp = Comparar(f, numClau, clauDe(*it), donada);
        if (cmp < 0 || (base == 11 && cmp == 0)) { trobat = *it; break; }
      }
      if (!trobat) return 9;
      break;
    case 6:
    case 7: {
      const uint32_t actual = Llegir32(bloc + 4);
      auto it = std::find(ordre.begin(), ordre.end(), actual);
      if (actual == 0 || it == ordre.end()) return 8;
      if (base == 6) {
        if (++it == ordre.end()) return 9;
      } else {
        if (it == ordre.begin()) return 9;
        --it;
      }
      trobat = *it;
      break;
    }
    case 23:
      trobat = Llegir32(dades);
      if (!f.registres.count(trobat)) return 43;
      break;
    default:
      return 1;
  }
  if (bloqueja) {
    if (f.fitxerBloquejat != 0) {
      if (f.fitxerBloquejat > 0) --f.fitxerBloquejat;
      return 85;
    }
    auto b = f.bloquejats.find(trobat);
    if (b != f.bloquejats.end() && b->second != 0) {
      if (b->second > 0) --b->second;
      return 84;
    }
  }
  Escriure32(bloc + 4, trobat);
  const std::string& reg = f.registres[trobat];
  const std::string k = clauDe(trobat);
  std::memcpy(clau, k.data(), std::min<size_t>(k.size(), 255));
  const size_t n = std::min(reg.size(), static_cast<size_t>(std::max(longDades, 0)));
  std::memcpy(dades, reg.data(), n);
  longDades = static_cast<int32_t>(n);
  return n < reg.size() ? 22 : 0;
}
