#include "fields/editor.h"

#include <algorithm>
#include <vector>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "fields/majuscules.h"
#include "platform/consola.h"
#include "platform/sistema.h"

bool SeparadorParaula(unsigned char c) {
  return c == ' ' || c == ',' || c == '.' || c == ';' || c == ':';
}

namespace {

// Arrows either side of a choice field (CP850 codes of the left and right pointers).
constexpr char kFletxaEsquerra = '\x11';
constexpr char kFletxaDreta = '\x10';

constexpr int kCursorInsercio = 50;
constexpr int kCursorSobreescriure = 100;

struct Opcio {
  std::string codi;
  std::string descripcio;
};

// Items "|" + code + "," + description. Text before the first "|" is not an item; an
// item without a comma is all code.
std::vector<Opcio> LlegirOpcions(const std::string& llista) {
  std::vector<Opcio> opcions;
  size_t p = llista.find('|');
  while (p != std::string::npos) {
    size_t seguent = llista.find('|', p + 1);
    std::string item = llista.substr(p + 1, seguent == std::string::npos ? std::string::npos : seguent - p - 1);
    size_t coma = item.find(',');
    Opcio o;
    if (coma == std::string::npos) {
      o.codi = item;
    } else {
      o.codi = item.substr(0, coma);
      o.descripcio = item.substr(coma + 1);
    }
    opcions.push_back(std::move(o));
    p = seguent;
  }
  return opcions;
}

std::string Retallar(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

std::string AjustarA(const std::string& s, size_t n) {
  std::string r = s.substr(0, std::min(s.size(), n));
  r.resize(n, ' ');
  return r;
}

constexpr uint16_t Codi(int16_t tecla) { return static_cast<uint16_t>(tecla); }

// One edit in progress.
class Edicio {
 public:
  Edicio(int fila, int columna, int amplada, std::string& text, int cursor)
      : fila_(fila), col_(columna), w_(amplada), text_(text), L_(static_cast<int>(text.size())), cursor_(cursor) {}

  void Executar(int16_t& tecla);
  int Cursor() const { return cursor_; }

 private:
  // Screen cell (relative coordinates) of text position p.
  void Cella(int p, int& fila, int& col) const {
    fila = fila_ + (p - 1) / w_;
    col = col_ + (p - 1) % w_;
    if (p == L_ + 1 && (p - 1) % w_ == 0 && p > 1) {
      fila = fila_ + (p - 1) / w_ - 1;
      col = col_ + w_;
    }
  }
  int Linies() const { return (L_ + w_ - 1) / w_; }
  void Redibuixar();
  void Escriure(int fila, int col, const std::string& s) {
    SituarCursor(static_cast<int16_t>(fila), static_cast<int16_t>(col));
    EscriureText(s);
  }
  // Returns true when the editor leaves with `tecla`.
  bool Sortir(int16_t& tecla, bool ratoli);
  bool TeclaChoice(uint16_t k, int16_t& tecla);
  bool TeclaPlana(uint16_t k);
  void Teclejar(unsigned char c);
  void Enganxar();
  void CercarOpcio(unsigned char c);
  void ParaulaEsquerra();
  void ParaulaDreta();
  // End: just after the last non-blank, or 1 on a blank text.
  bool Refusat(unsigned char c) const { return refusats_.find(static_cast<char>(c)) != std::string::npos; }
  void CursorAlFinal() {
    size_t darrer = text_.find_last_not_of(' ');
    cursor_ = darrer == std::string::npos ? 1 : static_cast<int>(darrer) + 2;
  }

  int fila_, col_, w_;
  std::string& text_;
  int L_;
  int cursor_;
  bool eleccio_ = false;
  unsigned char mascara_ = 0;
  std::string refusats_;
  std::vector<Opcio> opcions_;
  size_t actual_ = 0;
  int amplada_opcio_ = 0;
  bool marcat_ = false;
};

void Edicio::Redibuixar() {
  if (eleccio_) {
    const Opcio& o = opcions_[actual_];
    std::string nou = AjustarA(o.codi, static_cast<size_t>(L_));
    std::copy(nou.begin(), nou.end(), text_.begin());
    Escriure(fila_, col_, AjustarA(o.descripcio, static_cast<size_t>(amplada_opcio_)));
    return;
  }
  int linies = Linies();
  for (int k = 0; k < linies; ++k) {
    if (mascara_) {
      Escriure(fila_ + k, col_, std::string(static_cast<size_t>(w_ - 1), static_cast<char>(mascara_)));
    } else {
      Escriure(fila_ + k, col_, text_.substr(static_cast<size_t>(k) * w_, static_cast<size_t>(w_)));
    }
  }
}

void Edicio::Teclejar(unsigned char c) {
  if (Refusat(c)) {
    plat::ConsolaActual().Xiulet();
    return;
  }
  if (cursor_ > L_) return;
  if (plat::ModeInsercio()) {
    if (text_[static_cast<size_t>(L_ - 1)] != ' ') return;
    for (int i = L_ - 1; i >= cursor_; --i) text_[static_cast<size_t>(i)] = text_[static_cast<size_t>(i - 1)];
    text_[static_cast<size_t>(cursor_ - 1)] = static_cast<char>(c);
    ++cursor_;
    marcat_ = true;
    return;
  }
  text_[static_cast<size_t>(cursor_ - 1)] = static_cast<char>(c);
  if (!mascara_) {
    int f, col;
    Cella(cursor_, f, col);
    Escriure(f, col, std::string(1, static_cast<char>(c)));
  }
  ++cursor_;
}

void Edicio::Enganxar() {
  std::string font;
  if (!TextEnganxat.empty()) {
    font.swap(TextEnganxat);
  } else {
    font = plat::LlegirPortaretalls();
  }
  if (font.empty()) return;
  std::string net;
  // Only what fits is kept; a huge paste costs one pass over it.
  for (unsigned char c : font) {
    if (c < 32 || c == 127 || c == 255) continue;
    net += static_cast<char>(c);
  }
  net = Retallar(net);
  // Refused whole rather than with the character left out: dropping it would join words
  // or name another file, and the operator would not see why.
  if (std::any_of(net.begin(), net.end(), [&](char c) { return Refusat(static_cast<unsigned char>(c)); })) {
    plat::ConsolaActual().Xiulet();
    return;
  }
  for (size_t i = 0; i < net.size() && cursor_ - 1 + static_cast<int>(i) < L_; ++i)
    text_[static_cast<size_t>(cursor_ - 1) + i] = net[i];
  marcat_ = true;
}

void Edicio::CercarOpcio(unsigned char c) {
  SenseAccents = true;
  const std::string clau = Majuscules(std::string(1, static_cast<char>(c)));
  size_t n = opcions_.size();
  for (size_t pas = 1; pas <= n; ++pas) {
    size_t i = (actual_ + pas) % n;
    const std::string& d = opcions_[i].descripcio;
    if (!d.empty() && Majuscules(d.substr(0, 1)) == clau) {
      actual_ = i;
      marcat_ = true;
      break;
    }
  }
  SenseAccents = false;
}

void Edicio::ParaulaEsquerra() {
  // i is the 1-based position looked at; the cursor ends after the separator found.
  int i = cursor_ - 1;
  auto sep = [&](int p) { return SeparadorParaula(static_cast<unsigned char>(text_[static_cast<size_t>(p - 1)])); };
  while (i >= 1 && sep(i)) --i;
  while (i >= 1 && !sep(i)) --i;
  cursor_ = i + 1;
}

void Edicio::ParaulaDreta() {
  int i = cursor_;
  auto sep = [&](int p) { return SeparadorParaula(static_cast<unsigned char>(text_[static_cast<size_t>(p - 1)])); };
  while (i <= L_ && !sep(i)) ++i;
  while (i <= L_ && sep(i)) ++i;
  cursor_ = i;
}

// Returns true when the key leaves (to the leaving procedure).
bool Edicio::TeclaPlana(uint16_t k) {
  if ((k >= 0x20 && k <= 0x7E) || (k >= 0x80 && k <= 0xFE)) {
    Teclejar(static_cast<unsigned char>(k));
    return false;
  }
  switch (k) {
    case Codi(kTeclaEsquerra):
      if (cursor_ > 1) --cursor_;
      return false;
    case Codi(kTeclaDreta):
      if (cursor_ <= L_) ++cursor_;
      return false;
    case Codi(kTeclaRetroces):
      if (cursor_ > 1) {
        --cursor_;
        text_.erase(static_cast<size_t>(cursor_ - 1), 1);
        text_ += ' ';
        marcat_ = true;
      }
      return false;
    case Codi(kTeclaSupr):
      if (cursor_ <= L_) {
        text_.erase(static_cast<size_t>(cursor_ - 1), 1);
        text_ += ' ';
        marcat_ = true;
      }
      return false;
    case Codi(kTeclaInici):
      cursor_ = 1;
      return false;
    case Codi(kTeclaFinal):
      CursorAlFinal();
      return false;
    case Codi(kTeclaCtrlInici):
    case Codi(kTeclaCtrlY):
      std::fill(text_.begin(), text_.end(), ' ');
      cursor_ = 1;
      marcat_ = true;
      return false;
    case Codi(kTeclaAmunt):
    case Codi(kTeclaTabInvers):
      if (cursor_ > w_) {
        cursor_ -= w_;
        return false;
      }
      return true;
    case Codi(kTeclaAvall):
      if (cursor_ <= L_ + 1 - w_) {
        cursor_ += w_;
        return false;
      }
      return true;
    case Codi(kTeclaCtrlEsquerra):
      if (cursor_ > 1) {
        ParaulaEsquerra();
        return false;
      }
      return true;
    case Codi(kTeclaCtrlDreta):
      if (cursor_ < L_ + 1) {
        ParaulaDreta();
        return false;
      }
      return true;
    case Codi(kTeclaCtrlC):
      plat::CopiarPortaretalls(Retallar(text_));
      return false;
    case Codi(kTeclaCtrlV):
      Enganxar();
      return false;
    default:
      return true;
  }
}

// Choice field: returns true when the key leaves.
bool Edicio::TeclaChoice(uint16_t k, int16_t& tecla) {
  (void)tecla;
  size_t n = opcions_.size();
  if ((k >= 0x21 && k <= 0x7E) || (k >= 0x80 && k <= 0xFE)) {
    CercarOpcio(static_cast<unsigned char>(k));
    return false;
  }
  switch (k) {
    case 0x20:
    case Codi(kTeclaDreta):
      actual_ = (actual_ + 1) % n;
      marcat_ = true;
      return false;
    case Codi(kTeclaEsquerra):
      actual_ = actual_ == 0 ? n - 1 : actual_ - 1;
      marcat_ = true;
      return false;
    case Codi(kTeclaRetroces):
    case Codi(kTeclaSupr):
    case Codi(kTeclaCtrlInici):
    case Codi(kTeclaCtrlY):
      return false;
    case Codi(kTeclaCtrlV):
      TextEnganxat.clear();  // a terminal paste has nowhere to go here
      return false;
    case Codi(kTeclaInici):
      cursor_ = 1;
      return false;
    case Codi(kTeclaFinal):
      CursorAlFinal();
      return false;
    case Codi(kTeclaCtrlC):
      plat::CopiarPortaretalls(Retallar(opcions_[actual_].descripcio));
      return false;
    default:
      return true;
  }
}

bool Edicio::Sortir(int16_t& tecla, bool ratoli) {
  if (!ratoli) {
    switch (Codi(tecla)) {
      case Codi(kTeclaTabInvers):
        tecla = kTeclaAmunt;
        break;
      case Codi(kTeclaTab):
        tecla = kTeclaEnter;
        break;
      case Codi(kTeclaEnter):
        if (TeclesSortida.Acceptades.find(std::string("\x00\x4f", 2)) != std::string::npos) tecla = kTeclaFinal;
        break;
      case Codi(kTeclaCtrlF4):
      case Codi(kTeclaAltF4):
        tecla = kTeclaEscape;
        break;
      default:
        break;
    }
  }
  if (EsTeclaSortida(tecla, ratoli)) return true;
  SituarCursor(static_cast<int16_t>(fila_), static_cast<int16_t>(col_));
  marcat_ = true;
  return false;
}

void Edicio::Executar(int16_t& tecla) {
  opcions_ = LlistaOpcions.empty() ? std::vector<Opcio>{} : LlegirOpcions(LlistaOpcions);
  eleccio_ = !opcions_.empty();
  mascara_ = static_cast<unsigned char>(CaracterOcult & 0xFF);
  refusats_ = CaractersRefusats;
  plat::Consola& con = plat::ConsolaActual();

  if (eleccio_) {
    actual_ = 0;
    for (size_t i = 0; i < opcions_.size(); ++i) {
      amplada_opcio_ = std::max(amplada_opcio_, static_cast<int>(opcions_[i].descripcio.size()));
      if (opcions_[i].codi == text_) actual_ = i;
    }
    Escriure(fila_, col_ - 1, std::string(1, kFletxaEsquerra));
    Escriure(fila_, col_ + amplada_opcio_, std::string(1, kFletxaDreta));
  }
  TriaColor("u");
  SituarCursor(static_cast<int16_t>(fila_), static_cast<int16_t>(col_));
  marcat_ = true;

  for (;;) {
    if (marcat_) {
      Redibuixar();
      marcat_ = false;
    }
    int cf, cc;
    Cella(cursor_, cf, cc);
    bool inserir = plat::ModeInsercio();
    if (!eleccio_) {
      SituarCursor(static_cast<int16_t>(cf), static_cast<int16_t>(cc));
      con.MidaCursor(inserir ? kCursorInsercio : kCursorSobreescriure);
    }
    int16_t k = 0, boto = 0, y = 0, x = 0;
    for (;;) {
      EsperarTeclaOClic(k, boto, y, x);
      if (k == kTeclaInsercio) {
        inserir = !inserir;
        plat::FixarModeInsercio(inserir);
        if (!eleccio_) con.MidaCursor(inserir ? kCursorInsercio : kCursorSobreescriure);
        continue;
      }
      if (k != 0 || boto != 0) break;
    }
    con.MidaCursor(0);

    bool ratoli = (k == 0 && boto != 0);
    bool surt = false;
    uint16_t codi = Codi(k);
    if (ratoli) {
      tecla = static_cast<int16_t>(-(x * 100 + y));
      const int r0 = PrimeraFila() - 1, c0 = PrimeraColumna() - 1;
      if (eleccio_) {
        if (y == fila_ + r0 && x >= col_ + c0 - 1 && x <= col_ + c0 + amplada_opcio_) {
          ratoli = false;
          if (x == col_ + c0 - 1) {
            codi = Codi(kTeclaEsquerra);
          } else if (x == col_ + c0 + amplada_opcio_) {
            codi = Codi(kTeclaDreta);
          } else {
            codi = 0;  // the description: no key acts on it, so it goes to leaving
          }
        } else {
          surt = true;
        }
      } else {
        // The last line counts even when the text does not fill it.
        if (y >= fila_ + r0 && y <= fila_ + r0 + std::max(1, Linies()) - 1 && x >= col_ + c0 &&
            x <= col_ + c0 + w_ - 1) {
          cursor_ = std::min((y - fila_ - r0) * w_ + (x - col_ - c0) + 1, L_ + 1);
          continue;
        }
        surt = true;
      }
    }
    if (!ratoli) {
      tecla = static_cast<int16_t>(codi);
      surt = eleccio_ ? TeclaChoice(codi, tecla) : TeclaPlana(codi);
    }
    if (surt && Sortir(tecla, ratoli)) break;
  }

  TriaColor("h");
  if (eleccio_) {
    Escriure(fila_, col_ - 1, " ");
    Escriure(fila_, col_ + amplada_opcio_, " ");
  }
  SituarCursor(static_cast<int16_t>(fila_), static_cast<int16_t>(col_));
}

}  // namespace

void EditaCamp(int16_t& fila, int16_t& columna, int16_t& amplada, std::string& text, int16_t& cursor,
               int16_t& tecla) {
  const int L = static_cast<int>(text.size());
  if (fila == 0) fila = static_cast<int16_t>(plat::ConsolaActual().FilaCursor() + 1 - (PrimeraFila() - 1));
  if (columna == 0)
    columna = static_cast<int16_t>(plat::ConsolaActual().ColCursor() + 1 - (PrimeraColumna() - 1));
  int c = std::clamp<int>(cursor, 1, L + 1);
  // A line width that cannot show the text (0 or negative) means one line.
  if (amplada <= 0) amplada = static_cast<int16_t>(std::min(L + 1, 32767));
  Edicio e(fila, columna, amplada, text, c);
  tecla = 0;
  e.Executar(tecla);
  cursor = static_cast<int16_t>(std::min(e.Cursor(), 32767));
}
