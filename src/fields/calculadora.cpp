#include "fields/calculadora.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/calendari.h"
#include "fields/colors.h"
#include "fields/mascares.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "session/sessio.h"

namespace {

constexpr int16_t kAmplada = 26;
constexpr int16_t kColumnaMaxima = 80 - kAmplada + 1;  // 55: right edge on column 80
// Digits typed after the point beyond this add nothing a 22-character line could show;
// the cap keeps 10^decimals finite.
constexpr int16_t kMaxDecimals = 30;
// The state file is a few kilobytes at most; a larger one holds nothing more of use.
constexpr size_t kMidaMaximaEstat = 64 * 1024;

const std::string kHoritzontal(24, '\xC4');

double Potencia10(int n) { return std::pow(10.0, n); }

std::string TextError() {
  const std::string& i = EstatSessio.Idioma;
  const std::string t = i == "GLG" ? "Erro" : "Error";
  return std::string(22 - t.size(), ' ') + t;
}

// A shown value: at most 15 significant digits, no trailing zeros.
void Normalitzar(double& v, bool& punt, int16_t& decimals) {
  if (!std::isfinite(v)) {
    punt = false;
    decimals = 0;
    return;
  }
  int k = 0;
  for (double a = std::fabs(v); std::trunc(a) > 0; a /= 10) ++k;
  int d = 0;
  double w = v;
  while (w != std::trunc(w) && d + k < 15) {
    w *= 10;
    ++d;
  }
  w = std::nearbyint(w);
  while (d > 0 && std::fmod(w, 10.0) == 0) {
    w /= 10;
    --d;
  }
  v = w / Potencia10(d);
  if (v == 0) v = 0;  // no negative zero on the screen or in the file
  punt = d > 0;
  decimals = static_cast<int16_t>(d);
}

std::string TextNumero(double v) {
  if (!std::isfinite(v)) return "0";
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (r.ec != std::errc()) return "0";
  std::string s(buf, r.ptr);
  if (s == "-0") s = "0";
  return s;
}

std::string TextCometes(const std::string& t) {
  std::string s = t;
  // A quote inside would end the item early for every reader of the file.
  s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
  return "\"" + s + "\"";
}

// Items of the state file, as a sequential reader of comma-separated values sees them.
class LectorItems {
 public:
  explicit LectorItems(const std::string& d) : d_(d) {}
  bool Seguent(std::string& item) {
    while (p_ < d_.size() && (d_[p_] == ' ' || d_[p_] == '\t' || d_[p_] == '\r' || d_[p_] == '\n')) ++p_;
    if (p_ >= d_.size()) return false;
    item.clear();
    if (d_[p_] == '"') {
      const size_t fi = d_.find('"', p_ + 1);
      const size_t final = fi == std::string::npos ? d_.size() : fi;
      item = d_.substr(p_ + 1, final - p_ - 1);
      p_ = fi == std::string::npos ? d_.size() : fi + 1;
      // Anything between the closing quote and the separator is dropped.
      while (p_ < d_.size() && d_[p_] != ',' && d_[p_] != '\r' && d_[p_] != '\n') ++p_;
    } else {
      const size_t fi = d_.find_first_of(",\r\n", p_);
      const size_t final = fi == std::string::npos ? d_.size() : fi;
      item = d_.substr(p_, final - p_);
      p_ = final;
      while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
    }
    if (p_ < d_.size() && d_[p_] == ',') ++p_;
    return true;
  }

 private:
  const std::string& d_;
  size_t p_ = 0;
};

double Nombre(const std::string& item) {
  size_t i = 0;
  while (i < item.size() && (item[i] == ' ' || item[i] == '\t')) ++i;
  if (i < item.size() && item[i] == '+') ++i;
  double v = 0;
  auto r = std::from_chars(item.data() + i, item.data() + item.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || !std::isfinite(v)) return 0;
  return v;
}

int16_t Enter(const std::string& item, int minim, int maxim, int16_t perDefecte) {
  const double v = Nombre(item);
  if (item.find_first_of("0123456789") == std::string::npos) return perDefecte;
  return static_cast<int16_t>(std::clamp<double>(std::trunc(v), minim, maxim));
}

bool Indicador(const std::string& item) { return Nombre(item) != 0; }

// The open calculator: state, drawing and keys.
class Maquina {
 public:
  explicit Maquina(EstatCalculadoraT& e) : e_(e) {}

  void Obrir() {
    DesarFinestra(1, e_.Columna, 25, static_cast<int16_t>(e_.Columna + kAmplada - 1));
    Dibuixar();
  }
  void Tancar() { RestaurarFinestra(); }

  // false when the key closes the calculator; resultat is then what it hands back.
  bool Tecla(int16_t clau, std::string& resultat) {
    const int codi = clau;
    std::string comparada;
    if (std::abs(codi) > 255) {
      const uint16_t u = static_cast<uint16_t>(clau);
      comparada = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    } else {
      char c = static_cast<char>(clau);
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      comparada = std::string(1, c);
    }
    e_.DarreraTecla = comparada;

    if (comparada.size() == 2) {
      switch (static_cast<uint16_t>(clau)) {
        case 0x4B00: case 0x7300: Moure(-1); break;
        case 0x4D00: case 0x7400: Moure(1); break;
        case 0x2100: resultat = ResultatCalculadora(e_.Teclejant ? e_.Entrada : e_.Total, e_.Decimals); return false;
        default: break;
      }
      return true;
    }
    const char c = comparada[0];
    if (c >= '0' && c <= '9') {
      Xifra(c - '0');
    } else if (c == '.') {
      Punt();
    } else if (c == 0x08) {
      Retrocedir();
    } else if (c == '+' || c == '-' || c == '*' || c == '/') {
      Operacio(std::string(1, c));
    } else if (c == '=' || c == 0x0D) {
      if (e_.Teclejant) Operacio("=");
    } else if (c == '%') {
      Percentatge();
    } else if (c == 'R') {
      Arrodonir();
    } else if (c == 'C') {
      Esborrar();
    } else if (c == 'T') {
      e_.Entrada = -e_.Entrada;
    } else if (c == 'F') {
      resultat = ResultatCalculadora(e_.Teclejant ? e_.Entrada : e_.Total, e_.Decimals);
      return false;
    } else if (c == 0x1B) {
      resultat.clear();
      return false;
    } else {
      return true;
    }
    DibuixarEntrada();
    return true;
  }

  void Dibuixar() {
    TriaColor("n");
    const int16_t p = e_.PrimeraFilaCinta;
    if (p < 23) Fila(p - 1, "\xDA" + kHoritzontal + "\xBF");
    for (int16_t f = p; f <= 22; ++f) {
      const LiniaCinta& l = e_.Cinta[f - 1];
      const char op = l.Operacio.empty() ? ' ' : l.Operacio[0];
      Fila(f, "\xB3" + TextNumeroCalculadora(l.Valor, l.Punt, l.Decimals) + " " + op + "\xB3");
    }
    Fila(23, p < 23 ? "\xC3" + kHoritzontal + "\xB4" : "\xDA" + kHoritzontal + "\xBF");
    DibuixarEntrada();
    Fila(25, "\xC0" + kHoritzontal + "\xD9");
  }

 private:
  void Fila(int16_t fila, const std::string& text) {
    // The window's top line is screen row 1 and its left edge the calculator's.
    SituarCursor(static_cast<int16_t>(fila - 1), 0);
    EscriureText(text);
  }
  void DibuixarEntrada() {
    TriaColor("n");
    Fila(24, "\xB3" + TextNumeroCalculadora(e_.Entrada, e_.Punt, e_.Decimals) + "  \xB3");
  }

  void NouNombre() {
    if (e_.Teclejant) return;
    e_.Entrada = 0;
    e_.Punt = false;
    e_.Decimals = 0;
  }

  void Xifra(int k) {
    NouNombre();
    // Digits add to the magnitude, so typing after a sign change keeps the sign.
    // The value is rebuilt from its digits, so 1.235 is the double nearest to 1.235 and not
    // a sum of rounded tenths and hundredths.
    if (!e_.Punt) {
      e_.Entrada = std::copysign(std::fabs(e_.Entrada) * 10 + k, e_.Entrada);
    } else if (e_.Decimals < kMaxDecimals) {
      const double xifres = std::nearbyint(std::fabs(e_.Entrada) * Potencia10(e_.Decimals)) * 10 + k;
      ++e_.Decimals;
      e_.Entrada = std::copysign(xifres / Potencia10(e_.Decimals), e_.Entrada);
    }
    e_.Teclejant = true;
  }

  void Punt() {
    NouNombre();
    if (!e_.Punt) {
      e_.Punt = true;
      e_.Decimals = 0;
    }
    e_.Teclejant = true;
  }

  void Retrocedir() {
    if (!std::isfinite(e_.Entrada)) return;
    if (!e_.Punt) {
      e_.Entrada = std::trunc(e_.Entrada / 10);
    } else {
      const int abans = e_.Decimals;
      --e_.Decimals;
      if (e_.Decimals < 0) {
        e_.Punt = false;
        e_.Decimals = 0;
      } else {
        // Digits as shown, so a value just below the shown one loses the right digit.
        const double n = std::trunc(std::nearbyint(std::fabs(e_.Entrada) * Potencia10(abans)) / 10);
        e_.Entrada = std::copysign(n / Potencia10(e_.Decimals), e_.Entrada);
      }
    }
    if (e_.Entrada == 0) e_.Entrada = 0;
    e_.Teclejant = e_.Teclejant && e_.Entrada != 0;
  }

  void Operacio(const std::string& tecla) {
    if (e_.Pendent == "+") e_.Total += e_.Entrada;
    else if (e_.Pendent == "-") e_.Total -= e_.Entrada;
    else if (e_.Pendent == "*") e_.Total *= e_.Entrada;
    else if (e_.Pendent == "/") e_.Total /= e_.Entrada;
    else e_.Total = e_.Entrada;
    AfegirCinta({e_.Entrada, e_.Punt, e_.Decimals, tecla});
    e_.Entrada = e_.Total;
    Normalitzar(e_.Entrada, e_.Punt, e_.Decimals);
    e_.Teclejant = false;
    if (tecla == "=") {
      AfegirCinta({e_.Entrada, e_.Punt, e_.Decimals, " "});
      e_.Pendent.clear();
    } else {
      e_.Pendent = tecla;
    }
    e_.Netejat = false;
  }

  void Percentatge() {
    AfegirCinta({e_.Entrada, e_.Punt, e_.Decimals, "%"});
    if (e_.Pendent == "+" || e_.Pendent == "-")
      e_.Entrada = e_.Total / 100 * e_.Entrada;
    else
      e_.Entrada = e_.Entrada / 100;
    Normalitzar(e_.Entrada, e_.Punt, e_.Decimals);
  }

  void Arrodonir() {
    if (std::isfinite(e_.Entrada)) {
      const double u = std::fabs(e_.Entrada) * 100;
      const double t = std::trunc(u);
      const double f = u - t;
      const double r = (f > 0.5 || (f == 0.5 && std::fmod(t, 2.0) == 1)) ? t + 1 : t;
      e_.Entrada = std::copysign(r / 100, e_.Entrada);
      if (e_.Entrada == 0) e_.Entrada = 0;
    }
    e_.Total = e_.Entrada;
    e_.Punt = true;
    e_.Decimals = 2;
    AfegirCinta({e_.Entrada, true, 2, "R"});
  }

  void Esborrar() {
    if (e_.Teclejant) {
      e_.Teclejant = false;
      e_.Entrada = e_.Total;
      e_.Punt = false;
      e_.Decimals = 0;
    } else if (!e_.Netejat) {
      e_.Entrada = e_.Total = 0;
      e_.Punt = false;
      e_.Decimals = 0;
      e_.Pendent.clear();
      e_.Netejat = true;
    } else {
      e_.PrimeraFilaCinta = 23;
      RestaurarFinestra();
      Obrir();
    }
  }

  void Moure(int pas) {
    RestaurarFinestra();
    if (pas < 0)
      e_.Columna = e_.Columna <= 1 ? kColumnaMaxima : static_cast<int16_t>(e_.Columna - 1);
    else
      e_.Columna = e_.Columna >= kColumnaMaxima ? 1 : static_cast<int16_t>(e_.Columna + 1);
    Obrir();
  }

  void AfegirCinta(const LiniaCinta& l) {
    if (e_.PrimeraFilaCinta > 2) --e_.PrimeraFilaCinta;
    for (int i = 0; i + 1 < kLiniesCinta; ++i) e_.Cinta[i] = e_.Cinta[i + 1];
    e_.Cinta[kLiniesCinta - 1] = l;
    Dibuixar();
  }

  EstatCalculadoraT& e_;
};

}  // namespace

std::string TextNumeroCalculadora(double valor, bool punt, int16_t decimals) {
  if (!std::isfinite(valor)) return TextError();
  std::string cua = "Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9";
  if (punt) cua += '.';
  cua.append(static_cast<size_t>(std::clamp<int>(decimals, 0, kMaxDecimals)), '9');
  return FormatNumero("-" + cua.substr(cua.size() - 21), valor);
}

std::string ResultatCalculadora(double valor, int16_t decimals) {
  if (!std::isfinite(valor)) return std::string();
  const int e = std::clamp<int>(decimals, 2, kMaxDecimals);
  const long double n = std::nearbyintl(std::fabs(static_cast<long double>(valor)) * std::pow(10.0L, e));
  if (!std::isfinite(n)) return std::string();
  std::string g;
  if (n > 0) {
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::fixed, 0);
    if (r.ec != std::errc()) return std::string();
    g.assign(buf, r.ptr);
  }
  const size_t cua = static_cast<size_t>(e - 2);
  std::string text;
  if (cua == 0) {
    text = g;
  } else {
    if (g.size() < cua) g.insert(0, cua - g.size(), '0');
    text = g.substr(0, g.size() - cua) + "." + g.substr(g.size() - cua);
  }
  // The field gets the sign too: a negative result typed as a positive one is wrong.
  if (!text.empty() && valor < 0) text.insert(0, "-");
  return text;
}

std::string FitxerCalculadora() { return EstatSessio.DirTerminal + "KEVCALC.TMP"; }

std::string EscriureEstatCalculadora(const EstatCalculadoraT& e) {
  auto ind = [](bool b) { return std::string(b ? "-1" : "0"); };
  std::string s;
  s += std::to_string(e.Columna) + "," + std::to_string(e.PrimeraFilaCinta) + "," + TextNumero(e.Entrada) + "," +
       TextNumero(e.Total) + "\r\n";
  s += ind(e.Netejat) + "," + ind(e.Teclejant) + "," + ind(e.Punt) + "," + std::to_string(e.Decimals) + "\r\n";
  s += TextCometes(e.DarreraTecla) + "," + TextCometes(e.Pendent) + "\r\n";
  for (const LiniaCinta& l : e.Cinta)
    s += TextNumero(l.Valor) + "," + ind(l.Punt) + "," + std::to_string(l.Decimals) + "," + TextCometes(l.Operacio) +
         "\r\n";
  return s;
}

EstatCalculadoraT LlegirEstatCalculadora(const std::string& dades) {
  EstatCalculadoraT e;
  LectorItems lector(dades);
  std::string it;
  const EstatCalculadoraT inicial;
  if (lector.Seguent(it)) e.Columna = Enter(it, 1, kColumnaMaxima, inicial.Columna);
  if (lector.Seguent(it)) e.PrimeraFilaCinta = Enter(it, 2, 23, inicial.PrimeraFilaCinta);
  if (lector.Seguent(it)) e.Entrada = Nombre(it);
  if (lector.Seguent(it)) e.Total = Nombre(it);
  if (lector.Seguent(it)) e.Netejat = Indicador(it);
  if (lector.Seguent(it)) e.Teclejant = Indicador(it);
  if (lector.Seguent(it)) e.Punt = Indicador(it);
  if (lector.Seguent(it)) e.Decimals = Enter(it, 0, kMaxDecimals, 0);
  if (lector.Seguent(it)) e.DarreraTecla = it.substr(0, 2);
  if (lector.Seguent(it) && (it == "+" || it == "-" || it == "*" || it == "/")) e.Pendent = it;
  for (LiniaCinta& l : e.Cinta) {
    if (!lector.Seguent(it)) break;
    l.Valor = Nombre(it);
    if (!lector.Seguent(it)) break;
    l.Punt = Indicador(it);
    if (!lector.Seguent(it)) break;
    l.Decimals = Enter(it, 0, kMaxDecimals, 0);
    if (!lector.Seguent(it)) break;
    l.Operacio = it.substr(0, 1);
  }
  return e;
}

std::string Calculadora() {
  plat::Consola& con = plat::ConsolaActual();
  // The layout is fixed to rows 1..25 and columns 1..80.
  if (FilesConsola() < 25 || ColumnesConsola() < 80) return std::string();
  GestionarTecles("+e", "");
  TriaColor("+n");
  const int midaCursor = con.MidaCursorActual();
  con.MidaCursor(0);

  const std::string cami = FitxerCalculadora();
  EstatCalculadoraT estat;
  if (auto dades = plat::LlegirFitxer(cami, kMidaMaximaEstat))
    estat = LlegirEstatCalculadora(*dades);
  else
    plat::EscriureFitxer(cami, "");

  Maquina m(estat);
  m.Obrir();
  std::string resultat;
  while (m.Tecla(EsperarTecla(), resultat)) {
  }
  m.Tancar();
  plat::EscriureFitxer(cami, EscriureEstatCalculadora(estat));
  con.MidaCursor(midaCursor > 0 ? midaCursor : 25);
  TriaColor("-");
  GestionarTecles("-", "");
  return resultat;
}

void RegistrarCalculadoraICalendari() {
  ObrirCalculadora = Calculadora;
  ObrirCalendari = Calendari;
}
