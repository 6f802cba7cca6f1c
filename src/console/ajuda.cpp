#include "console/ajuda.h"

#include <algorithm>
#include <cstdio>

#include "console/finestres.h"
#include "console/formulari.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/sessio.h"

namespace {

constexpr int kAmpladaText = 76;
constexpr unsigned char kRealcat = 30;
constexpr unsigned char kSubratllat = 31;
constexpr unsigned char kInvers = 16;

std::string Majuscules7(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string SenseBlancsFinals(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// Shown in place of a help page that is not there.
std::string TextSenseAjuda() {
  const std::string& i = EstatSessio.Idioma;
  if (i == "SPA") return "No hay ayuda para esta opci\xA2n.";
  if (i == "GLG") return "Non hai axuda para esta opci\xA2n.";
  if (i == "OCI") return "Non i a ajuda entad aguesta opcion.";
  return "No hi ha ajuda per a aquesta opci\xA2.";
}

// The key as the console gives it: the character, or the scan code in the high byte.
int16_t LlegirClau() {
  plat::Consola& con = plat::ConsolaActual();
  for (;;) {
    plat::Esdeveniment e;
    if (!con.LlegirEsdeveniment(e, -1)) continue;
    if (e.tipus != plat::TipusEsdeveniment::Tecla) continue;
    const int16_t clau = e.car != 0 ? static_cast<int16_t>(e.car) : static_cast<int16_t>(e.scan << 8);
    if (clau != 0) return clau;
  }
}

class Visor {
 public:
  Visor(const std::string& tema, FitxerAjuda* fitxer) : tema_(tema), fitxer_(fitxer) {
    dalt_ = 4;
    baix_ = static_cast<int16_t>(FilesConsola() - 3);
    dreta_ = ColumnesConsola();
    alt_ = baix_ - dalt_ - 1;
    linies_ = fitxer_ ? fitxer_->Linies() : 0;
  }

  void Executar() {
    TriaColor("+h");
    const int16_t nivell = FinestraActual.Nivell;
    DesarFinestra(dalt_, 1, baix_, dreta_);
    const bool obert = FinestraActual.Nivell != nivell;
    if (obert) DibuixarMarc(2);
    TriaColor("n");
    if (alt_ < 1) alt_ = 0;
    if (!fitxer_) {
      if (alt_ >= 1 && obert) {
        SituarCursor(1, 2);
        EscriureText(TextSenseAjuda());
      }
    } else {
      Mostrar(1);
    }
    for (;;) {
      const int16_t clau = LlegirClau();
      if (clau == 0x1B) break;
      Tecla(clau);
    }
    if (obert) RestaurarFinestra();
    TriaColor("-");
  }

 private:
  int64_t Darrera() const { return primera_ + alt_ - 1; }

  void MostrarLinia(int64_t n, int16_t fila) {
    SituarCursor(fila, 2);
    TriaColor("n");
    for (const TrosLinia& t : TrossejarLinia(fitxer_->Linia(n))) {
      TriaColor(t.rol);
      EscriureText(t.text);
    }
    TriaColor("n");
  }

  void Netejar() {
    // The inside of the frame, in 0-based screen coordinates.
    DesplacarRegio(dalt_, 1, static_cast<int16_t>(baix_ - 2), static_cast<int16_t>(dreta_ - 2),
                   static_cast<int16_t>(alt_));
  }

  void Mostrar(int64_t primera) {
    primera_ = primera < 1 ? 1 : primera;
    for (int16_t f = 1; f <= alt_; ++f)
      if (primera_ + f - 1 <= linies_) MostrarLinia(primera_ + f - 1, f);
  }

  void Tecla(int16_t clau) {
    if (alt_ < 1) {
      if (clau == 0x3B00 && Majuscules7(tema_) != "ZEDMENUS") MostrarAjuda("ZEDMENUS");
      return;
    }
    const bool segueix = Darrera() < linies_;
    const bool alInici = primera_ <= 1;
    switch (static_cast<uint16_t>(clau)) {
      case 0x3B00:
        if (Majuscules7(tema_) != "ZEDMENUS") MostrarAjuda("ZEDMENUS");
        break;
      case 0x5000:
        if (!segueix) break;
        DesplacarRegio(dalt_, 1, static_cast<int16_t>(baix_ - 2), static_cast<int16_t>(dreta_ - 2), 1);
        ++primera_;
        MostrarLinia(Darrera(), alt_);
        break;
      case 0x4800:
        if (alInici) break;
        DesplacarRegio(dalt_, 1, static_cast<int16_t>(baix_ - 2), static_cast<int16_t>(dreta_ - 2), -1);
        --primera_;
        MostrarLinia(primera_, 1);
        break;
      case 0x5100: {
        if (!segueix) break;
        Netejar();
        int64_t p = Darrera() + 1;
        if (p > linies_ - alt_ + 1) p = linies_ - alt_ + 1;
        Mostrar(p);
        break;
      }
      case 0x4900:
        if (alInici) break;
        Netejar();
        Mostrar(primera_ - alt_ + 1 <= 1 ? 1 : primera_ - alt_ + 1);
        break;
      case 0x4700:
        if (alInici) break;
        Netejar();
        Mostrar(1);
        break;
      case 0x4F00:
        if (!segueix) break;
        Netejar();
        Mostrar(linies_ - alt_ + 1);
        break;
      default:
        break;
    }
  }

  std::string tema_;
  FitxerAjuda* fitxer_;
  int16_t dalt_, baix_, dreta_;
  int16_t alt_;
  int64_t linies_;
  int64_t primera_ = 1;
};

}  // namespace

FitxerAjuda::FitxerAjuda(const std::string& cami, int64_t llargRegistre) : llarg_(llargRegistre) {
  const std::string host = plat::CamiHost(cami);
  if (host.empty() || llarg_ < 1) return;
  if (plat::Info(cami).directori) return;
  std::FILE* f = std::fopen(host.c_str(), "rb");
  if (!f) return;
  f_ = f;
  if (fseeko(f, 0, SEEK_END) == 0) {
    const off_t m = ftello(f);
    mida_ = m > 0 ? static_cast<int64_t>(m) : 0;
  }
  linies_ = (mida_ + llarg_ / 2) / llarg_;
}

FitxerAjuda::~FitxerAjuda() {
  if (f_) std::fclose(static_cast<std::FILE*>(f_));
}

std::string FitxerAjuda::Linia(int64_t n) const {
  if (!f_ || n < 1 || n > linies_) return std::string();
  const int64_t inici = (n - 1) * llarg_;
  if (inici >= mida_) return std::string();
  std::string r(static_cast<size_t>(std::min<int64_t>(llarg_, mida_ - inici)), ' ');
  std::FILE* f = static_cast<std::FILE*>(f_);
  if (fseeko(f, static_cast<off_t>(inici), SEEK_SET) != 0) return std::string();
  r.resize(std::fread(r.data(), 1, r.size(), f));
  return r;
}

std::vector<TrosLinia> TrossejarLinia(const std::string& registre) {
  std::vector<TrosLinia> trossos;
  bool realcat = false, subratllat = false, invers = false;
  std::string rol = "n";
  int mostrats = 0;
  auto afegir = [&](char c) {
    if (trossos.empty() || trossos.back().rol != rol) trossos.push_back({rol, std::string()});
    trossos.back().text += c;
    ++mostrats;
  };
  for (size_t i = 0; i < registre.size() && mostrats < kAmpladaText; ++i) {
    const unsigned char c = static_cast<unsigned char>(registre[i]);
    if (c == kRealcat) {
      realcat = !realcat;
      if (!subratllat) rol = realcat ? "h" : "n";
    } else if (c == kSubratllat) {
      subratllat = !subratllat;
      rol = subratllat ? "u" : "n";
    } else if (c == kInvers) {
      invers = !invers;
      rol = invers ? "r" : "n";
    } else {
      afegir(static_cast<char>(c));
    }
  }
  return trossos;
}

void MostrarAjuda(const std::string& tema) {
  if (EstatSessio.Entorn == "WIN") {
    plat::ExecutarIEsperar(plat::Entorn("COMSPEC") + " /C VISRUN AJUDA\\" + tema + ".HTM");
    return;
  }
  FitxerAjuda fitxer("AJUDA\\" + tema + ".HLP", ColumnesConsola());
  Visor visor(tema, fitxer.Obert() ? &fitxer : nullptr);
  visor.Executar();
}

void RegistrarAjuda() {
  Ganxos.Ajuda = [](const std::string& tema) {
    const std::string t = tema.empty() ? SenseBlancsFinals(EstatSessio.NomMenu) : tema;
    if (!t.empty()) MostrarAjuda(t);
  };
}
