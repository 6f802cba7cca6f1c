#include "fields/mascares.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/sistema.h"
#include "session/ini.h"
#include "session/sessio.h"

char DecCaracter = 0;
char MilCaracter = 0;

void ReiniciarMascares() {
  DecCaracter = 0;
  MilCaracter = 0;
}

namespace {

// Integers below this are exact in a long double's 64-bit mantissa.
constexpr long double kLimitExacte = 1.8e19L;

long double Potencia10(long e) {
  long double p = 1;
  if (e <= 27) {
    for (long i = 0; i < e; ++i) p *= 10;  // exact
    return p;
  }
  return powl(10.0L, static_cast<long double>(e));
}

void CarregarCaracter(char& c, const char* clau, char perDefecte) {
  if (c != 0) return;
  std::string v = LlegirIni(plat::Entorn("KEVROOT") + kFitxerQuil, "Usuari", clau);
  c = (v.empty() || v[0] == ' ' || v[0] == '\0') ? perDefecte : v[0];
}

bool EsDigit(char c) { return c == '9' || c == 'Z' || c == 'z' || c == '*'; }

// Decimal digits of an integral, non-negative value, without leading zeros.
std::string Digits(long double n) {
  std::string d;
  if (n < 1.8e19L) {
    for (uint64_t u = static_cast<uint64_t>(n); u != 0; u /= 10) d += static_cast<char>('0' + u % 10);
  } else {
    // Beyond 64 bits the low digits are noise anyway; fmodl keeps every one in 0..9.
    while (n >= 1) {
      d += static_cast<char>('0' + static_cast<int>(fmodl(n, 10)));
      n = floorl(n / 10);
    }
  }
  std::reverse(d.begin(), d.end());
  return d;
}

// What the last digit position showed: its fill character and whether the fill stood
// in for a digit.
struct Memo {
  char farciment = 0;  // 0 after a "9", else ' ' or '*'
  bool blanc = false;
};

}  // namespace

std::string FormatNumero(const std::string& mascara, double valor) {
  CarregarCaracter(DecCaracter, "DecCaracter", '\'');
  CarregarCaracter(MilCaracter, "MilCaracter", '.');

  const long L = static_cast<long>(mascara.size());
  if (!std::isfinite(valor)) return std::string(mascara.size(), '!');

  bool teSigne = mascara.find_first_of("-+") != std::string::npos;
  long posicionsDec = 0, decimals = 0;
  size_t punt = mascara.find('.');
  if (punt != std::string::npos) {
    bool seguit = true;
    for (size_t i = punt + 1; i < mascara.size(); ++i) {
      char c = mascara[i];
      if (EsDigit(c) || c == '-' || c == '+') ++posicionsDec;
      if (seguit && EsDigit(c))
        ++decimals;
      else
        seguit = false;
    }
  }
  if (posicionsDec == 0) decimals = 0;

  // Scale in extended precision and round halves to even. Past 64 bits of integer the
  // low digits would be noise: scale less and let the missing decimals be zeros.
  const long double absolut = fabsl(static_cast<long double>(valor));
  long escala = decimals;
  long double escalat = absolut * Potencia10(escala);
  if (escalat >= kLimitExacte) {
    const long double cap = floorl(log10l(kLimitExacte / absolut));
    escala = std::clamp<long>(cap > escala ? escala : static_cast<long>(cap), 0, escala);
    escalat = absolut * Potencia10(escala);
    while (escala > 0 && escalat >= kLimitExacte) escalat = absolut * Potencia10(--escala);
  }
  long double t = truncl(escalat);
  long double f = escalat - t;
  long double n = t;
  // A half can only be left below the exact limit, where the parity is an integer's.
  const bool senar = t < kLimitExacte && (static_cast<uint64_t>(t) & 1) != 0;
  if (f > 0.5L || (f == 0.5L && senar)) n = t + 1;
  std::string D = Digits(n);
  if (!D.empty()) D.append(static_cast<size_t>(decimals - escala), '0');

  bool negatiu = valor < 0;
  const long lenD = static_cast<long>(D.size());
  const long digitsEnters = lenD - decimals;
  long seguent = posicionsDec + lenD - decimals;
  // 1-based index of the last non-zero digit: digits from i on are all zero when i > it.
  long darrerNoZero = 0;
  for (long i = lenD; i >= 1; --i)
    if (D[i - 1] != '0') {
      darrerNoZero = i;
      break;
    }

  std::string out = mascara;
  auto enter = [&](long p) { return p < L - posicionsDec; };
  auto digitA = [&](long i) -> char { return (i >= 1 && i <= lenD) ? D[i - 1] : 0; };
  Memo m;

  long p = L;
  for (; p >= 1 && seguent >= 1; --p) {
    char c = mascara[p - 1];
    char& o = out[p - 1];
    char d = digitA(seguent);
    switch (c) {
      case '9':
        o = d ? d : '0';
        m = {0, false};
        --seguent;
        break;
      case 'Z':
      case 'z':
        if (enter(p)) {
          o = d ? d : ' ';
          m = {' ', !d};
        } else if (seguent <= darrerNoZero || posicionsDec == 0) {
          o = d ? d : '0';
          m = {' ', !d};
        } else {
          o = ' ';
          m = {' ', true};
        }
        --seguent;
        break;
      case '*':
        o = d ? d : '*';
        m = {'*', !d};
        --seguent;
        break;
      case '.':
        o = m.blanc ? m.farciment : DecCaracter;
        posicionsDec = 0;
        break;
      case ',':
        o = MilCaracter;
        break;
      case '-':
        if (!negatiu) o = ' ';
        if (posicionsDec > 0) --seguent;
        break;
      case '+':
        o = negatiu ? '-' : '+';
        if (posicionsDec > 0) --seguent;
        break;
      default:
        break;
    }
  }

  if (seguent != 0 || (!teSigne && negatiu && p < 1)) {
    // Does not fit: the plain number, or "!" when even its integer part does not.
    if (L < digitsEnters + (negatiu ? 1 : 0)) return std::string(mascara.size(), '!');
    std::string s = negatiu ? "-" : "";
    long enters = std::max<long>(digitsEnters, 0);
    s += D.substr(0, static_cast<size_t>(enters));
    if (decimals > 0) s += DecCaracter;
    if (digitsEnters < 0) s.append(static_cast<size_t>(-digitsEnters), '0');
    s += D.substr(static_cast<size_t>(enters));
    if (static_cast<long>(s.size()) >= L) return s.substr(0, mascara.size());
    return std::string(static_cast<size_t>(L) - s.size(), ' ') + s;
  }

  for (; p >= 1; --p) {
    char c = mascara[p - 1];
    char& o = out[p - 1];
    bool menysPendent = negatiu && !teSigne;
    switch (c) {
      case '9':
        if (menysPendent && enter(p)) {
          o = '-';
          negatiu = false;
        } else {
          o = '0';
        }
        m = {0, false};
        break;
      case 'Z':
      case 'z':
        if (menysPendent) {
          o = '-';
          negatiu = false;
          m = {' ', false};
        } else if (enter(p) || valor == 0) {
          o = ' ';
          m = {' ', true};
        } else {
          o = '0';
          m = {' ', false};
        }
        break;
      case '*':
        if (menysPendent) {
          o = '-';
          negatiu = false;
        } else {
          o = enter(p) ? '*' : '0';
        }
        m = {'*', false};
        break;
      case ',':
        if (menysPendent) {
          o = '-';
          negatiu = false;
        } else {
          o = m.farciment ? m.farciment : MilCaracter;
        }
        break;
      case '.':
        o = m.blanc ? m.farciment : DecCaracter;
        break;
      case '-':
        if (!negatiu) o = ' ';
        break;
      case '+':
        o = negatiu ? '-' : '+';
        break;
      default:
        break;
    }
  }
  return out;
}
