#include "session/utilitats.h"

#include <limits>
#include <vector>

#include "platform/fitxers.h"

std::string EmpaquetarDigits(const std::string& text) {
  const size_t n = text.size();
  // Right-align the trimmed text to its own length; spaces count as zeros.
  std::string t = Retallat(text);
  std::string d(n - t.size(), '0');
  d += t;
  for (char& c : d)
    if (c == ' ') c = '0';
  auto digit = [&](size_t i) -> int {
    if (i >= d.size()) return 0;
    const char c = d[i];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
  };
  std::string r;
  r.reserve((n + 1) / 2);
  for (size_t i = 0; i < n; i += 2) r.push_back(static_cast<char>(128 + 10 * digit(i) + digit(i + 1)));
  return r;
}

std::string DesempaquetarDigits(const std::string& bytes) {
  std::string r;
  r.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    const int v = (b & 127) % 100;  // a stray byte above 227 keeps only its last two digits
    r.push_back(static_cast<char>('0' + v / 10));
    r.push_back(static_cast<char>('0' + v % 10));
  }
  return r;
}

std::string ZerosEsquerra(int amplada, int64_t numero) {
  if (amplada <= 0) return "";
  uint64_t v = numero < 0 ? 0 - static_cast<uint64_t>(numero) : static_cast<uint64_t>(numero);
  std::string d;
  do {
    d.insert(d.begin(), static_cast<char>('0' + v % 10));
    v /= 10;
  } while (v);
  const size_t w = static_cast<size_t>(amplada);
  if (d.size() < w) d.insert(0, w - d.size(), '0');
  return d.substr(d.size() - w);
}

bool TotIgual(const std::string& text, unsigned char c) {
  for (unsigned char x : text)
    if (x != c) return false;
  return true;
}

bool ExisteixCami(const std::string& cami, uint16_t tipus) {
  if (cami.empty()) return false;
  std::string c = cami;
  // "C:" and "C:\DIR\" name the folder itself.
  if (c.back() == '\\' || c.back() == ':' || c.back() == '/') c += '.';
  const plat::InfoFitxer i = plat::Info(c);
  if (!i.existeix) return false;
  if (i.directori != ((tipus & kCamiDirectori) != 0)) return false;
  const uint16_t especials = plat::kOcult | plat::kSistema | plat::kNomesLectura;
  const uint16_t tinc = i.atributs & especials;
  return (tinc & ~tipus) == 0;
}

int EsborrarCami(const std::string& cami) {
  if (cami.empty()) return -1;
  const int r = plat::Esborrar(cami);
  if (r == 0) return 0;
  std::vector<plat::EntradaDirectori> entrades;
  if (!plat::LlegirDirectori(cami, entrades)) return r;
  std::string base = cami;
  if (base.back() != '\\' && base.back() != '/' && base.back() != ':') base += '\\';
  for (const auto& e : entrades)
    if (!(e.atributs & plat::kDirectori)) plat::Esborrar(base + e.nom);
  return plat::EsborrarDirectori(cami);
}

int64_t ValorNumeric(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negatiu = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negatiu = text[i++] == '-';
  uint64_t v = 0;
  const uint64_t maxim = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const uint64_t d = static_cast<uint64_t>(text[i] - '0');
    v = v > (maxim - d) / 10 ? maxim : v * 10 + d;  // saturate rather than wrap
  }
  const int64_t s = static_cast<int64_t>(v);
  return negatiu ? -s : s;
}

std::string SenseEspaisFinals(const std::string& s) {
  size_t f = s.size();
  while (f > 0 && s[f - 1] == ' ') --f;
  return s.substr(0, f);
}

std::string Retallat(const std::string& s) {
  size_t i = 0, f = s.size();
  while (i < f && s[i] == ' ') ++i;
  while (f > i && s[f - 1] == ' ') --f;
  return s.substr(i, f - i);
}

std::string Ajustat(const std::string& s, size_t n) {
  std::string r = s.substr(0, n);
  r.resize(n, ' ');
  return r;
}
