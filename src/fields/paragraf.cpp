#include "fields/paragraf.h"

#include <algorithm>

namespace {

bool EsControl(unsigned char c) { return c < 32; }

enum class Alineacio { Esquerra, Guions, Dreta, Centre, Justificat, Cap };

Alineacio LlegirAlineacio(const std::string& a) {
  if (a.size() != 1) return Alineacio::Cap;
  switch (a[0]) {
    case 'E': case 'e': case 'L': case 'l': case 'I': case 'i': return Alineacio::Esquerra;
    case 'N': case 'n': return Alineacio::Guions;
    case 'D': case 'd': case 'R': case 'r': return Alineacio::Dreta;
    case 'C': case 'c': return Alineacio::Centre;
    case 'A': case 'a': case 'B': case 'b': return Alineacio::Justificat;
    default: return Alineacio::Cap;
  }
}

// Doubles spaces one gap at a time, left to right and round again, until the line is full.
void Justificar(std::string& linia, size_t salt, size_t objectiu) {
  size_t pos = salt;
  while (linia.size() < objectiu) {
    size_t e = linia.find(' ', pos);
    if (e == std::string::npos) {
      e = linia.find(' ', salt);
      if (e == std::string::npos) return;
    }
    linia.insert(e, 1, ' ');
    pos = e;
    while (pos < linia.size() && linia[pos] == ' ') ++pos;
  }
}

}  // namespace

void FormatParagraf(std::string& text, int16_t sagnat, int16_t amplada, const std::string& alineacio) {
  const std::string t = text;
  const long n = static_cast<long>(t.size());
  const Alineacio al = LlegirAlineacio(alineacio);
  const long absSagnat = sagnat < 0 ? -static_cast<long>(sagnat) : sagnat;
  std::string res;
  long p = 0;  // 0-based start of the next line
  bool primera = true;
  while (p < n) {
    const long s = primera ? std::max<long>(sagnat, 0) : (sagnat < 0 ? absSagnat : 0);
    primera = false;
    // An indent as wide as the line would leave no room; one character keeps the text moving.
    long r = std::max<long>(static_cast<long>(amplada) - s, 1);
    const long resta = n - p;
    auto car = [&](long i) { return static_cast<unsigned char>(t[static_cast<size_t>(p + i)]); };

    long presos = 0;
    while (presos < r && presos < resta) {
      if (EsControl(car(presos))) ++r;
      ++presos;
    }
    if (presos > 0 && car(presos - 1) != ' ' && !EsControl(car(presos - 1))) {
      while (presos < resta && EsControl(car(presos))) {
        ++presos;
        ++r;
      }
    }

    long b = std::min(r, resta);
    if (b < resta && car(b) > ' ') {
      while (b > 0 && car(b) > ' ') {
        --b;
        if (EsControl(car(b))) --r;
      }
    }
    if (b == resta || EsControl(car(b))) {
      while (b > 0 && car(b - 1) == ' ') --b;
    }
    if (b < 1) b = std::min(std::max<long>(r, 1), resta);

    std::string linia(static_cast<size_t>(s), ' ');
    linia.append(t, static_cast<size_t>(p), static_cast<size_t>(b));
    const long objectiu = s + r;
    const long falta = std::max<long>(objectiu - static_cast<long>(linia.size()), 0);

    long seguent = p + b;
    while (seguent < n && t[static_cast<size_t>(seguent)] == ' ') ++seguent;

    switch (al) {
      case Alineacio::Esquerra: linia.append(static_cast<size_t>(falta), ' '); break;
      case Alineacio::Guions: linia.append(static_cast<size_t>(falta), '-'); break;
      case Alineacio::Dreta: linia.insert(0, static_cast<size_t>(falta), ' '); break;
      case Alineacio::Centre:
        linia.insert(0, static_cast<size_t>(falta / 2), ' ');
        linia.append(static_cast<size_t>((falta + 1) / 2), ' ');
        break;
      case Alineacio::Justificat:
        // The last line and a line without a gap after the indent stay as cut.
        if (seguent < n && static_cast<long>(linia.size()) > absSagnat &&
            linia.find(' ', static_cast<size_t>(absSagnat)) != std::string::npos)
          Justificar(linia, static_cast<size_t>(absSagnat), static_cast<size_t>(objectiu));
        break;
      case Alineacio::Cap: break;
    }
    res += linia;
    p = seguent;
  }
  text = std::move(res);
}
