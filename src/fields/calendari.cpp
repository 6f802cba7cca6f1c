#include "fields/calendari.h"

#include "console/finestres.h"
#include "console/tecles.h"
#include "dates/dates.h"
#include "fields/colors.h"
#include "fields/majuscules.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "session/utilitats.h"

namespace {

constexpr int kAnyMinim = 1;
constexpr int kAnyMaxim = 9999;

std::string Empaquetar(int any, int mes, int dia) {
  return EmpaquetarDigits(ZerosEsquerra(8, static_cast<int64_t>(any) * 10000 + mes * 100 + dia));
}

std::string DosXifres(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? " " + s : s;
}

struct Data {
  int any = 0, mes = 0, dia = 0;
};

bool Valida(const Data& d) {
  return d.any >= kAnyMinim && d.any <= kAnyMaxim && d.mes >= 1 && d.mes <= 12 && d.dia >= 1 &&
         d.dia <= DiesMes(d.any, d.mes);
}

Data DataInicial() {
  const std::string& p = EstatSessio.DataTreball;
  Data d;
  if (p.size() == 4) {
    auto b = [&](int i) { return static_cast<unsigned char>(p[static_cast<size_t>(i)]) & 127; };
    if (b(0) <= 99 && b(1) <= 99) {
      d.any = b(0) * 100 + b(1);
      d.mes = b(2);
      d.dia = b(3);
    }
  }
  if (Valida(d)) return d;
  const plat::Moment ara = plat::Ara();
  d = {ara.any, ara.mes, ara.dia};
  if (!Valida(d)) d = {2000, 1, 1};
  return d;
}

class Calendar {
 public:
  explicit Calendar(Data d) : d_(d) {}

  void Dibuixar() {
    TriaColor("n");
    const std::string any = std::to_string(d_.any);
    SituarCursor(0, static_cast<int16_t>((DarreraColumna() - PrimeraColumna() - 5) / 2 + 1));
    EscriureText(" " + std::string(any.size() < 4 ? 4 - any.size() : 0, ' ') + any + " ");
    SituarCursor(1, 1);
    const std::string& i = EstatSessio.Idioma;
    if (i == "SPA" || i == "GLG")
      EscriureText(" L  M  X  J  V  S  D");
    else if (i == "OCI")
      EscriureText("DL DT DC DJ DD DS DG");
    else
      EscriureText("DL DT DC DJ DV DS DG");
    primerMes_ = ((d_.mes - 1) / 3) * 3 + 1;
    for (int k = 0; k < 3; ++k) DibuixarMes(primerMes_ + k, static_cast<int16_t>(2 + 7 * k));
  }

  void MostrarDia(const std::string& rol) {
    TriaColor(rol);
    const int w1 = DatDiaSetmana(Empaquetar(d_.any, d_.mes, 1));
    const int16_t r = static_cast<int16_t>(2 + 7 * (d_.mes - primerMes_));
    const int pos = w1 + d_.dia - 2;
    SituarCursor(static_cast<int16_t>(r + 1 + pos / 7), static_cast<int16_t>(3 * (pos % 7) + 1));
    EscriureText(DosXifres(d_.dia));
  }

  // false when the key closes the calendar; resultat is then the text handed back.
  bool Tecla(int16_t clau, std::string& resultat) {
    Data n = d_;
    bool redibuixar = false;
    switch (static_cast<uint16_t>(clau)) {
      case 0x4D00: redibuixar = MoureDia(n, 1); break;
      case 0x4B00: redibuixar = MoureDia(n, -1); break;
      case 0x5000: redibuixar = MoureDia(n, 7); break;
      case 0x4800: redibuixar = MoureDia(n, -7); break;
      case 0x5100: MoureTrimestre(n, 3); redibuixar = true; break;
      case 0x4900: MoureTrimestre(n, -3); redibuixar = true; break;
      case 0x4700: n.mes = 1; redibuixar = n.mes < primerMes_; break;
      case 0x4F00: n.mes = 12; redibuixar = n.mes > primerMes_ + 2; break;
      case 'F': case 'f': case 0x2100:
        resultat = DatText("dma", 0, Empaquetar(d_.any, d_.mes, d_.dia));
        return false;
      case 0x1B:
        resultat.clear();
        return false;
      default:
        return true;
    }
    // Moves stop at the years the packed dates can hold.
    if (n.any < kAnyMinim || n.any > kAnyMaxim) return true;
    d_ = n;
    if (redibuixar) Dibuixar();
    return true;
  }

 private:
  void DibuixarMes(int mes, int16_t r) {
    TriaColor("n");
    SituarCursor(r, 1);
    EscriureText(std::string(20, ' '));
    const std::string nom = Majuscules(DatText("m", 2, Empaquetar(d_.any, mes, 1)));
    SituarCursor(r, static_cast<int16_t>((DarreraColumna() - PrimeraColumna() - static_cast<int>(nom.size()) + 1) / 2 + 1));
    EscriureText(nom);
    TriaColor("h");
    const int w1 = DatDiaSetmana(Empaquetar(d_.any, mes, 1));
    const int llarg = DiesMes(d_.any, mes);
    for (int cel = 0; cel < 42; ++cel) {
      const int dia = cel - (w1 - 1) + 1;
      SituarCursor(static_cast<int16_t>(r + 1 + cel / 7), static_cast<int16_t>(3 * (cel % 7) + 1));
      EscriureText(dia >= 1 && dia <= llarg ? DosXifres(dia) : "  ");
    }
  }

  // Day moves; true when the month left the quarter shown.
  bool MoureDia(Data& n, int pas) const {
    bool fora = false;
    n.dia += pas;
    if (n.dia < 1) --n.mes;
    if (n.mes < primerMes_) {
      if (n.mes < 1) {
        n.mes = 12;
        --n.any;
      }
      fora = true;
    }
    if (n.dia < 1) n.dia += DiesMes(n.any, n.mes);
    if (n.dia > DiesMes(n.any, n.mes)) {
      n.dia -= DiesMes(n.any, n.mes);
      ++n.mes;
    }
    if (n.mes > primerMes_ + 2) {
      if (n.mes > 12) {
        n.mes = 1;
        ++n.any;
      }
      fora = true;
    }
    return fora;
  }

  static void MoureTrimestre(Data& n, int pas) {
    n.mes += pas;
    if (n.mes > 12) {
      n.mes -= 12;
      ++n.any;
    } else if (n.mes < 1) {
      n.mes += 12;
      --n.any;
    }
    const int llarg = DiesMes(n.any, n.mes);
    if (n.dia > llarg) n.dia = llarg;
  }

  Data d_;
  int primerMes_ = 1;
};

}  // namespace

int DiesMes(int any, int mes) {
  if (mes == 2) return (any % 4 == 0 && (any % 100 != 0 || any % 400 == 0)) ? 29 : 28;
  return 30 + (((mes + 1) % 9 + 1) % 2);
}

std::string Calendari() {
  plat::Consola& con = plat::ConsolaActual();
  // The window is fixed to rows 1..24 and columns 59..80.
  if (FilesConsola() < 24 || ColumnesConsola() < 80) return std::string();
  GestionarTecles("+ea", "4d00,4b00,5000,4800,5100,4900,4700,4f00,2100,1b");
  TriaColor("+n");
  const int midaCursor = con.MidaCursorActual();
  con.MidaCursor(0);
  DesarFinestra(1, 59, 24, 80);
  DibuixarMarc(1);

  Calendar cal(DataInicial());
  cal.Dibuixar();
  std::string resultat;
  for (;;) {
    TriaColor("+u");
    cal.MostrarDia("u");
    const int16_t clau = EsperarTecla();
    TriaColor("-");
    cal.MostrarDia("h");
    if (!cal.Tecla(clau, resultat)) break;
  }

  RestaurarFinestra();
  con.MidaCursor(midaCursor > 0 ? midaCursor : 25);
  TriaColor("-");
  GestionarTecles("-", "");
  return resultat;
}
