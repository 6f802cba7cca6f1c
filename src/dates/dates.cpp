#include "dates/dates.h"

#include <algorithm>
#include <cstring>

#include "platform/sistema.h"
#include "session/ini.h"
#include "session/sessio.h"
#include "session/utilitats.h"

char DatCaracter = 0;
char DatOrdre[3] = {0, 0, 0};

void ReiniciarDates() {
  DatCaracter = 0;
  std::memset(DatOrdre, 0, sizeof DatOrdre);
}

namespace {

struct Data {
  int64_t any = 0, mes = 0, dia = 0;
  int64_t Numero() const { return any * 10000 + mes * 100 + dia; }
};

// The first four bytes of a packed date; a short text is completed with packed zeros.
struct Quatre {
  unsigned char b[4] = {0x80, 0x80, 0x80, 0x80};
  explicit Quatre(const std::string& d) { std::memcpy(b, d.data(), std::min<size_t>(d.size(), 4)); }
  // Byte order is chronological order.
  int Compara(const unsigned char* altre, size_t n = 4, size_t des = 0) const {
    // At most four bytes: a plain loop beats a library call here.
    for (size_t i = 0; i < n; ++i)
      if (b[des + i] != altre[i]) return b[des + i] < altre[i] ? -1 : 1;
    return 0;
  }
};

bool ByteValid(unsigned char b) { return b >= 128 && b <= 227; }

Data Desempaquetar(const Quatre& q) {
  const unsigned char* b = q.b;
  Data r;
  if (ByteValid(b[0]) && ByteValid(b[1]) && ByteValid(b[2]) && ByteValid(b[3])) {
    r.any = (b[0] - 128) * 100 + (b[1] - 128);
    r.mes = b[2] - 128;
    r.dia = b[3] - 128;
    return r;
  }
  std::string t = DesempaquetarDigits(std::string(reinterpret_cast<const char*>(b), 4));
  auto d = [&](size_t i) -> int64_t {
    return (i < t.size() && t[i] >= '0' && t[i] <= '9') ? t[i] - '0' : 0;
  };
  r.any = d(0) * 1000 + d(1) * 100 + d(2) * 10 + d(3);
  r.mes = d(4) * 10 + d(5);
  r.dia = d(6) * 10 + d(7);
  return r;
}

// Packed form of 5 October 1582, the first day of the Gregorian rule.
const unsigned char kGregoria[4] = {0x8F, 0xD2, 0x8A, 0x85};
const unsigned char kGener[2] = {0x81, 0x81};

bool Bixest(int64_t any, bool julia) {
  if (julia) return any % 4 == 0;
  return any % 4 == 0 && (any % 100 != 0 || any % 400 == 0);
}

constexpr int kDies[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Days before the month in a common year.
constexpr int kAbans[14] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

// A month outside 1 to 12 (only in a damaged date) counts as 31 days.
int64_t DiesMes(int64_t any, int64_t mes, bool julia) {
  if (mes < 1 || mes > 12) return 31;
  return (mes == 2 && Bixest(any, julia)) ? 29 : kDies[mes];
}

int64_t DivTerra(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Multiples of k in [a, b].
int64_t Multiples(int64_t k, int64_t a, int64_t b) {
  if (a > b) return 0;
  return DivTerra(b, k) - DivTerra(a - 1, k);
}

// Leap years in [a, b]: the Julian rule before 1582, the Gregorian from 1582.
int64_t AnysBixestos(int64_t a, int64_t b) {
  int64_t n = Multiples(4, a, std::min<int64_t>(b, 1581));
  int64_t g0 = std::max<int64_t>(a, 1582);
  n += Multiples(4, g0, b) - Multiples(100, g0, b) + Multiples(400, g0, b);
  return n;
}

// Days of months de..fins of the year (empty when de > fins).
int64_t DiesMesos(int64_t any, int64_t de, int64_t fins) {
  if (de > fins) return 0;
  const bool julia = any < 1582;
  if (de >= 1 && fins <= 12) {
    int64_t n = kAbans[fins + 1] - kAbans[de];
    if (de <= 2 && fins >= 2 && Bixest(any, julia)) ++n;
    return n;
  }
  int64_t n = 0;
  for (int64_t m = de; m <= fins; ++m) n += DiesMes(any, m, julia);
  return n;
}

int64_t DiferenciaDies(const Data& a, const Data& b) {
  int64_t n = 0;
  if (a.any + 1 <= b.any - 1) n += 365 * (b.any - a.any - 1) + AnysBixestos(a.any + 1, b.any - 1);
  if (a.any < b.any)
    n += DiesMesos(a.any, a.mes, 12) + DiesMesos(b.any, 1, b.mes - 1);
  else
    n += DiesMesos(a.any, a.mes, b.mes - 1);
  return n - a.dia + b.dia;
}

char Unitat(const std::string& u) {
  if (u.empty()) return 0;
  char c = u[0];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Month names per language (CP850); a slot holds ten characters, so the
// abbreviation is the first three.
const char* const kMesos[4][12] = {
    {"gener", "febrer", "mar\x87", "abril", "maig", "juny", "juliol", "agost", "setembre",
     "octubre", "novembre", "desembre"},
    {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre",
     "octubre", "noviembre", "diciembre"},
    {"janeiro", "fevereiro", "mar\x87o", "abril", "maio", "junho", "julho", "agosto", "setembro",
     "outubro", "novembro", "dezembro"},
    {"g\x8Ar", "hereu\x8Ar", "mar\x87", "abriu", "mai", "junh", "junhsega", "agost", "seteme",
     "octobre", "noveme", "deseme"},
};
// Joining words: before a month beginning with a vowel, before another month,
// before the day or the year.
const char* const kUnions[4][3] = {
    {" d'", " de ", " del "},
    {" de ", " de ", " de "},
    {" de ", " de ", " do "},
    {" d'", " de ", " deth "},
};

int Idioma() {
  const std::string& i = EstatSessio.Idioma;
  if (i.compare(0, 3, "SPA") == 0) return 1;
  if (i.compare(0, 3, "GLG") == 0) return 2;
  if (i.compare(0, 3, "OCI") == 0) return 3;
  return 0;
}

void CarregarAjustos() {
  const bool falta = DatCaracter == 0 || (DatOrdre[0] == 0 && DatOrdre[1] == 0 && DatOrdre[2] == 0);
  if (!falta) return;
  // One read for both settings.
  const std::vector<std::string> ajustos =
      LlegirIniVaris(plat::Entorn("KEVROOT") + kFitxerQuil, {{"Usuari", "DatCaracter"}, {"Usuari", "DatOrdre"}});
  if (DatCaracter == 0) {
    const std::string& v = ajustos[0];
    // A space would make dates unreadable: it counts as not configured.
    DatCaracter = (v.empty() || v[0] == ' ' || v[0] == '\0') ? '/' : v[0];
  }
  if (DatOrdre[0] == 0 && DatOrdre[1] == 0 && DatOrdre[2] == 0) {
    std::string v = ajustos[1];
    v.resize(3, ' ');
    for (char& c : v)
      if (c == '\0') c = ' ';
    if (v == "   ") v = "DMA";
    std::memcpy(DatOrdre, v.data(), 3);
  }
}

}  // namespace

std::string DatEmpaquetar(int any, int mes, int dia) {
  if (any >= 0 && any <= 9999 && mes >= 0 && mes <= 99 && dia >= 0 && dia <= 99) {
    std::string r(4, '\0');
    r[0] = static_cast<char>(128 + any / 100);
    r[1] = static_cast<char>(128 + any % 100);
    r[2] = static_cast<char>(128 + mes);
    r[3] = static_cast<char>(128 + dia);
    return r;
  }
  return EmpaquetarDigits(ZerosEsquerra(4, any) + ZerosEsquerra(2, mes) + ZerosEsquerra(2, dia));
}

std::string DatSuma(const std::string& unitat, int32_t quantitat, const std::string& data) {
  if (quantitat == 0) return data;
  Data d = Desempaquetar(Quatre(data));
  const bool julia = d.Numero() < 15821005;
  const char u = Unitat(unitat);
  if (u == 'D') {
    d.dia += quantitat;
  } else if (u == 'M') {
    d.mes += quantitat;
    const int64_t anys = DivTerra(d.mes - 1, 12);
    d.any += anys;
    d.mes -= 12 * anys;
  } else if (u == 'A') {
    d.any += quantitat;
  }

  // Month by month; a walk past either end of the packable years stops at once.
  if (quantitat > 0) {
    while (d.any <= 9999) {
      const int64_t llarg = DiesMes(d.any, d.mes, julia);
      if (d.dia <= llarg) break;
      if (u != 'D') {
        d.dia = llarg;
        break;
      }
      d.dia -= llarg;
      if (++d.mes > 12) {
        d.mes = 1;
        ++d.any;
      }
    }
  } else {
    while (d.any >= 0) {
      if (d.dia >= 1) {
        if (u != 'D') d.dia = std::min(d.dia, DiesMes(d.any, d.mes, julia));
        break;
      }
      if (--d.mes < 1) {
        d.mes = 12;
        --d.any;
      }
      d.dia += DiesMes(d.any, d.mes, julia);
    }
  }
  if (d.any > 9999) return DatEmpaquetar(9999, 12, 31);
  if (d.any < 0) return DatEmpaquetar(0, 1, 1);
  return DatEmpaquetar(static_cast<int>(d.any), static_cast<int>(d.mes), static_cast<int>(d.dia));
}

int32_t DatDiferencia(const std::string& unitat, const std::string& data1, const std::string& data2) {
  const char u = Unitat(unitat);
  if (u != 'D' && u != 'M' && u != 'A') return 0;
  Quatre p1(data1), p2(data2);
  if (p1.Compara(p2.b) > 0) std::swap(p1, p2);
  const Data a = Desempaquetar(p1), b = Desempaquetar(p2);
  int64_t n = 0;
  if (u == 'D')
    n = DiferenciaDies(a, b);
  else if (u == 'M')
    n = 12 * (b.any - a.any) + (b.mes - a.mes);
  else
    n = b.any - a.any - ((a.mes > b.mes || (a.mes == b.mes && a.dia > b.dia)) ? 1 : 0);
  // Only a damaged date (month out of range) could make it negative.
  return static_cast<int32_t>(std::clamp<int64_t>(n, 0, INT32_MAX));
}

int16_t DatDiaSetmana(const std::string& data) {
  const Quatre q(data);
  const Data d = Desempaquetar(q);
  const Data gener{d.any, 1, 1};
  // 1 January against the date, ordered as their packed forms compare.
  const int cmp = q.Compara(kGener, 2, 2);
  int64_t k = cmp >= 0 ? DiferenciaDies(gener, d) : DiferenciaDies(d, gener);
  k = std::clamp<int64_t>(k, 0, INT32_MAX);
  const int64_t y = d.any - 1;
  int64_t r;
  if (q.Compara(kGregoria) < 0)
    r = ((y + y / 4) % 7 + 5 + k) % 7;
  else
    r = ((y + y / 4 - y / 100 + y / 400) % 7 + k) % 7;
  // Only a damaged date (bytes above 227 read as a year 0 past 1582) can go negative.
  if (r < 0) r += 7;
  return static_cast<int16_t>(r + 1);
}

std::string DatText(const std::string& parts, int16_t estil, const std::string& data) {
  CarregarAjustos();
  const Data d = Desempaquetar(Quatre(data));
  if (estil == -1)
    return ZerosEsquerra(4, d.any) + "-" + ZerosEsquerra(2, d.mes) + "-" + ZerosEsquerra(2, d.dia);

  bool teD = false, teM = false, teA = false;
  for (char c : parts) {
    if (c == 'd' || c == 'D') teD = true;
    if (c == 'm' || c == 'M') teM = true;
    if (c == 'a' || c == 'A') teA = true;
  }
  const int llengua = Idioma();
  const bool llarg = estil >= 2;
  const std::string textMes = std::to_string(d.mes), textDia = std::to_string(d.dia);
  // A month outside 1 to 12 (a damaged date) has no name: its number stands in.
  std::string nom = textMes;
  if (estil > 0 && d.mes >= 1 && d.mes <= 12) {
    nom = kMesos[llengua][d.mes - 1];
    if (!llarg) nom.resize(3, ' ');
  }
  std::string r;
  if (textMes + textDia > "00") {
    bool primer = true;
    for (char lletra : DatOrdre) {
      std::string peca;
      if (lletra == 'D' && teD)
        peca = textDia;
      else if (lletra == 'A' && teA)
        peca = ZerosEsquerra(4, d.any);
      else if (lletra == 'M' && teM)
        peca = estil > 0 ? nom : textMes;
      else
        continue;
      if (!primer) {
        if (!llarg) {
          r += DatCaracter;
        } else if (lletra == 'M') {
          const char c0 = nom.empty() ? 0 : nom[0];
          const char m0 = (c0 >= 'a' && c0 <= 'z') ? static_cast<char>(c0 - 'a' + 'A') : c0;
          const bool vocal = m0 != 0 && std::strchr("AEIOU", m0) != nullptr;
          r += kUnions[llengua][vocal ? 0 : 1];
        } else {
          r += kUnions[llengua][2];
        }
      }
      primer = false;
      r += peca;
    }
  }
  if (llarg) return r;

  int64_t w = (teM ? estil + 2 : 0) + (teA ? 4 : 0) + (teD ? 2 : 0) + static_cast<int64_t>(parts.size()) - 1;
  r.resize(static_cast<size_t>(std::max<int64_t>(w, 0)), ' ');
  return r;
}
