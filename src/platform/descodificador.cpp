#include "platform/descodificador.h"

#include <algorithm>
#include <array>

#include "platform/cp850.h"

namespace plat {

namespace {

// Scan codes of the keys the key reader tells apart.
enum : uint8_t {
  kScanEsc = 0x01, kScanBackspace = 0x0E, kScanTab = 0x0F, kScanEnter = 0x1C,
  kScanF1 = 0x3B, kScanF11 = 0x57, kScanF12 = 0x58,
  kScanInici = 0x47, kScanAmunt = 0x48, kScanRePag = 0x49, kScanEsquerra = 0x4B,
  kScanCentre = 0x4C, kScanDreta = 0x4D, kScanFi = 0x4F, kScanAvall = 0x50,
  kScanAvPag = 0x51, kScanInsercio = 0x52, kScanSupressio = 0x53,
};

constexpr const char kFinalEnganxat[] = "\x1b[201~";
constexpr size_t kLongFinalEnganxat = sizeof(kFinalEnganxat) - 1;

Esdeveniment Tecla(uint8_t scan, uint8_t car, uint16_t estat) {
  Esdeveniment e;
  e.scan = scan;
  e.car = car;
  e.estat = estat;
  return e;
}

// The xterm modifier parameter: 1 + (Shift 1, Alt 2, Ctrl 4, Meta 8).
uint16_t Modificadors(long m) {
  if (m < 2 || m > 256) return 0;
  const long b = m - 1;
  uint16_t e = 0;
  if (b & 1) e |= kMajuscula;
  if (b & (2 | 8)) e |= kAltEsquerra;
  if (b & 4) e |= kCtrlEsquerra;
  return e;
}

// F1..F12 by number (1-based).
uint8_t ScanFuncio(int f) {
  if (f >= 1 && f <= 10) return static_cast<uint8_t>(kScanF1 + f - 1);
  if (f == 11) return kScanF11;
  if (f == 12) return kScanF12;
  return 0;
}

Esdeveniment Funcio(int f, uint16_t estat) { return Tecla(ScanFuncio(f), 0, estat); }
Esdeveniment Estesa(uint8_t scan, uint16_t estat) { return Tecla(scan, 0, estat | kTeclaEstesa); }

// Cursor keys by the final byte of their sequence (A B C D H F), 0 for others.
uint8_t ScanCursor(char f) {
  switch (f) {
    case 'A': return kScanAmunt;
    case 'B': return kScanAvall;
    case 'C': return kScanDreta;
    case 'D': return kScanEsquerra;
    case 'H': return kScanInici;
    case 'F': return kScanFi;
    default: return 0;
  }
}

// A key known by its Unicode code point plus modifiers (plain bytes, CSI u, Alt prefix).
bool TeclaDeCodi(long u, uint16_t mods, Esdeveniment& e) {
  const bool ctrl = mods & kCtrlEsquerra;
  const bool maj = mods & kMajuscula;
  switch (u) {
    case 0x1B: e = Tecla(kScanEsc, 0x1B, mods); return true;
    case 0x0D: e = Tecla(kScanEnter, 0x0D, mods); return true;
    case 0x09:
      e = maj ? Tecla(kScanTab, 0, mods) : Tecla(kScanTab, 0x09, mods);
      return true;
    case 0x08:
    case 0x7F: e = Tecla(kScanBackspace, 0x08, mods); return true;
    case 0x00: e = Tecla(0x03, 0, mods | kCtrlEsquerra); return true;
    default: break;
  }
  if (u > 0 && u < 0x20) {
    // Ctrl+letter and the four Ctrl+punctuation codes.
    const unsigned char base = static_cast<unsigned char>(u + 0x40);
    e = Tecla(ScanDeCaracter(base), static_cast<uint8_t>(u), mods | kCtrlEsquerra);
    return true;
  }
  if (u >= 0x20 && u < 0x7F) {
    const unsigned char c = static_cast<unsigned char>(u);
    const uint8_t scan = ScanDeCaracter(c);
    const bool lletra = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    // Alt+key keeps its character and scan code, as a PC console reports it.
    if (ctrl && lletra) {
      e = Tecla(scan, static_cast<uint8_t>(c & 0x1F), mods);
    } else {
      e = Tecla(scan, c, mods);
    }
    return true;
  }
  if (u >= 0x80 && u <= 0x10FFFF) {
    const int c = UnicodeACp850(static_cast<char32_t>(u));
    // Glyphs that share a byte with a control code cannot be typed as characters.
    if (c < 0x20 || c == 0x7F) return false;
    e = Tecla(0, static_cast<uint8_t>(c), mods);
    return true;
  }
  return false;
}

// Numeric parameters of a sequence: ';' separates them, ':' sub-parameters are skipped.
std::vector<long> Parametres(std::string_view s) {
  std::vector<long> v;
  long actual = -1;
  bool sub = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      if (sub) continue;
      if (actual < 0) actual = 0;
      if (actual < 1000000) actual = actual * 10 + (c - '0');
    } else if (c == ';') {
      if (v.size() < 16) v.push_back(actual < 0 ? 0 : actual);
      actual = -1;
      sub = false;
    } else if (c == ':') {
      sub = true;
    }
  }
  if (actual >= 0 || !v.empty()) {
    if (v.size() < 16) v.push_back(actual < 0 ? 0 : actual);
  }
  return v;
}

long Param(const std::vector<long>& p, size_t i, long defecte) {
  return i < p.size() && p[i] != 0 ? p[i] : defecte;
}

// Keys sent as CSI number ~ (VT220, xterm, the Linux console, PuTTY).
bool TeclaTilde(long k, uint16_t mods, Esdeveniment& e) {
  switch (k) {
    case 1: case 7: e = Estesa(kScanInici, mods); return true;
    case 2: e = Estesa(kScanInsercio, mods); return true;
    case 3: e = Estesa(kScanSupressio, mods); return true;
    case 4: case 8: e = Estesa(kScanFi, mods); return true;
    case 5: e = Estesa(kScanRePag, mods); return true;
    case 6: e = Estesa(kScanAvPag, mods); return true;
    case 11: case 12: case 13: case 14: case 15: e = Funcio(static_cast<int>(k - 10), mods); return true;
    case 17: case 18: case 19: case 20: case 21: e = Funcio(static_cast<int>(k - 11), mods); return true;
    case 23: e = Funcio(11, mods); return true;
    case 24: e = Funcio(12, mods); return true;
    // F13 and up: what the Linux console and PuTTY send for Shift+F3..Shift+F10.
    case 25: case 26: e = Funcio(static_cast<int>(k - 22), mods | kMajuscula); return true;
    case 28: case 29: e = Funcio(static_cast<int>(k - 23), mods | kMajuscula); return true;
    case 31: case 32: case 33: case 34: e = Funcio(static_cast<int>(k - 24), mods | kMajuscula); return true;
    default: return false;
  }
}

// Keypad keys of the progressive keyboard protocol (private-use code points, 0 to 9 first),
// as a PC keypad gives them: digits with Num Lock, the editing keys without it (these
// carry no extended flag, unlike the grey keys).
constexpr long kPrimerTeclat = 57399;
constexpr struct {
  uint8_t scan;
  uint8_t car;
  bool estesa;
} kTeclat[] = {
    {0x52, '0', false}, {0x4F, '1', false}, {0x50, '2', false}, {0x51, '3', false}, {0x4B, '4', false},
    {0x4C, '5', false}, {0x4D, '6', false}, {0x47, '7', false}, {0x48, '8', false}, {0x49, '9', false},
    {0x53, '.', false},  // decimal
    {0x35, '/', false},  {0x37, '*', false}, {0x4A, '-', false}, {0x4E, '+', false},
    {0x1C, 0x0D, true},  // Enter
    {0x0D, '=', false},  {0x53, ',', false},  // equal, separator
    {0x4B, 0, false},    {0x4D, 0, false},   {0x48, 0, false},   {0x50, 0, false},  // left right up down
    {0x49, 0, false},    {0x51, 0, false},   {0x47, 0, false},   {0x4F, 0, false},  // PgUp PgDn Home End
    {0x52, 0, false},    {0x53, 0, false},   {0x4C, 0, false},                      // Insert Delete Begin
};

// The shifted character of a US keyboard key (the protocol reports the unshifted key).
unsigned char AmbMajuscula(unsigned char c) {
  static const char kBase[] = "1234567890-=[];'`\\,./";
  static const char kMaj[] = "!@#$%^&*()_+{}:\"~|<>?";
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  for (size_t i = 0; kBase[i]; ++i)
    if (static_cast<unsigned char>(kBase[i]) == c) return static_cast<unsigned char>(kMaj[i]);
  return c;
}

// A key in the CSI code ; modifiers u form, as the legacy sequences would give it.
bool TeclaU(long u, uint16_t mods, Esdeveniment& e) {
  if (u >= kPrimerTeclat && u < kPrimerTeclat + static_cast<long>(std::size(kTeclat))) {
    const auto& t = kTeclat[u - kPrimerTeclat];
    e = Tecla(t.scan, t.car, static_cast<uint16_t>(mods | (t.estesa ? kTeclaEstesa : 0)));
    return true;
  }
  if ((mods & kMajuscula) && !(mods & kCtrlEsquerra) && u >= 0x21 && u < 0x7F) {
    // Alt+Shift+key: the legacy form carries the shifted character and no Shift.
    return TeclaDeCodi(AmbMajuscula(static_cast<unsigned char>(u)), static_cast<uint16_t>(mods & ~kMajuscula), e);
  }
  return TeclaDeCodi(u, mods, e);
}

}  // namespace

uint8_t ScanDeCaracter(unsigned char c) {
  static constexpr std::array<uint8_t, 128> kTaula = [] {
    std::array<uint8_t, 128> t{};
    const char* files[] = {"1234567890-=", "qwertyuiop[]", "asdfghjkl;'`", "\\zxcvbnm,./"};
    const char* majus[] = {"!@#$%^&*()_+", "QWERTYUIOP{}", "ASDFGHJKL:\"~", "|ZXCVBNM<>?"};
    const uint8_t inici[] = {0x02, 0x10, 0x1E, 0x2B};
    for (int f = 0; f < 4; ++f) {
      for (int i = 0; files[f][i]; ++i) {
        t[static_cast<unsigned char>(files[f][i])] = static_cast<uint8_t>(inici[f] + i);
        t[static_cast<unsigned char>(majus[f][i])] = static_cast<uint8_t>(inici[f] + i);
      }
    }
    t[' '] = 0x39;
    return t;
  }();
  return c < 128 ? kTaula[c] : 0;
}

void Descodificador::Reiniciar() {
  pendent_.clear();
  enganxant_ = false;
  enganxat_.clear();
  coincidencia_final_ = 0;
  botons_ = 0;
}

void Descodificador::Alimentar(std::string_view bytes, std::vector<Esdeveniment>& sortida) {
  std::string resta;
  while (!bytes.empty()) {
    if (enganxant_) {
      AlimentarEnganxat(bytes, sortida);
      continue;
    }
    pendent_.append(bytes);
    bytes = {};
    Processar(sortida, false);
    if (enganxant_ && !pendent_.empty()) {
      resta = std::move(pendent_);
      pendent_.clear();
      bytes = resta;
    }
  }
}

void Descodificador::Pausa(std::vector<Esdeveniment>& sortida) {
  if (enganxant_) return;
  Processar(sortida, true);
  if (enganxant_ && !pendent_.empty()) {
    std::string resta = std::move(pendent_);
    pendent_.clear();
    Alimentar(resta, sortida);
  }
}

void Descodificador::TancarEnganxat(std::vector<Esdeveniment>& sortida) {
  if (!enganxant_) return;
  Esdeveniment e;
  e.tipus = TipusEsdeveniment::Enganxat;
  e.text = Utf8ACp850(enganxat_);
  if (!e.text.empty()) sortida.push_back(std::move(e));
  enganxat_.clear();
  enganxant_ = false;
  coincidencia_final_ = 0;
}

void Descodificador::AlimentarEnganxat(std::string_view& bytes, std::vector<Esdeveniment>& sortida) {
  auto afegir = [this](std::string_view s) {
    const size_t lloc = kMaxEnganxat - enganxat_.size();
    enganxat_.append(s.substr(0, lloc));
  };
  size_t i = 0;
  size_t tros = 0;  // start of the stretch of plain text not yet appended
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c == kFinalEnganxat[coincidencia_final_]) {
      if (coincidencia_final_ == 0) {
        afegir(bytes.substr(tros, i - tros));
        tros = i;
      }
      ++i;
      if (++coincidencia_final_ == kLongFinalEnganxat) {
        coincidencia_final_ = 0;
        bytes.remove_prefix(i);
        TancarEnganxat(sortida);
        return;
      }
      continue;
    }
    if (coincidencia_final_ > 0) {
      // A false start of the end marker is pasted text; the byte is looked at again.
      afegir(std::string_view(kFinalEnganxat, coincidencia_final_));
      coincidencia_final_ = 0;
      tros = i;
      continue;
    }
    ++i;
  }
  if (coincidencia_final_ == 0) afegir(bytes.substr(tros));
  bytes = {};
}

void Descodificador::Processar(std::vector<Esdeveniment>& sortida, bool pausa) {
  pausa_ = pausa;
  size_t pos = 0;
  while (pos < pendent_.size()) {
    size_t n = 0;
    const Resultat r = Unitat(pos, n, sortida);
    if (r == Resultat::Incomplet) {
      if (!pausa) break;
      pos = pendent_.size();  // an unfinished sequence after a pause is noise
      break;
    }
    pos += n > 0 ? n : 1;
    if (enganxant_) break;
  }
  pendent_.erase(0, pos);
  pausa_ = false;
}

Descodificador::Resultat Descodificador::Unitat(size_t inici, size_t& n, std::vector<Esdeveniment>& sortida) {
  if (pendent_[inici] == 0x1B) return Escapada(inici, n, 0, sortida);
  return Caracter(inici, n, 0, sortida);
}

Descodificador::Resultat Descodificador::Escapada(size_t inici, size_t& n, uint16_t extra,
                                                   std::vector<Esdeveniment>& sortida) {
  const size_t mida = pendent_.size();
  if (inici + 1 >= mida) {
    if (!pausa_ && !escapada_immediata_) return Resultat::Incomplet;
    sortida.push_back(Tecla(kScanEsc, 0x1B, 0));
    n = 1;
    return Resultat::Fet;
  }
  const char b = pendent_[inici + 1];
  if (b == '[' || b == 'O') {
    const Resultat r = b == '[' ? Csi(inici, n, extra, sortida) : Ss3(inici, n, extra, sortida);
    if (r == Resultat::Incomplet && pausa_ && inici + 2 == mida) {
      // Nothing followed: the user typed Alt+[ or Alt+O.
      Esdeveniment e;
      if (TeclaDeCodi(static_cast<unsigned char>(b), extra | kAltEsquerra, e)) sortida.push_back(e);
      n = 2;
      return Resultat::Fet;
    }
    return r;
  }
  if (b == 0x1B) {
    // ESC ESC [ ... is Alt plus a sequence key (rxvt, tmux); otherwise two Escapes.
    if (extra == 0) {
      if (inici + 2 >= mida && !pausa_ && !escapada_immediata_) return Resultat::Incomplet;
      if (inici + 2 < mida && (pendent_[inici + 2] == '[' || pendent_[inici + 2] == 'O')) {
        size_t m = 0;
        const Resultat r = Escapada(inici + 1, m, kAltEsquerra, sortida);
        n = m + 1;
        return r;
      }
    }
    sortida.push_back(Tecla(kScanEsc, 0x1B, 0));
    n = 1;
    return Resultat::Fet;
  }
  size_t m = 0;
  const Resultat r = Caracter(inici + 1, m, static_cast<uint16_t>(extra | kAltEsquerra), sortida);
  n = m + 1;
  return r;
}

Descodificador::Resultat Descodificador::Caracter(size_t inici, size_t& n, uint16_t extra,
                                                   std::vector<Esdeveniment>& sortida) {
  const unsigned char c = static_cast<unsigned char>(pendent_[inici]);
  Esdeveniment e;
  if (c < 0x80) {
    n = 1;
    if (TeclaDeCodi(c, extra, e)) sortida.push_back(e);
    return Resultat::Fet;
  }
  const int llarg = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (llarg == 0) {
    n = 1;
    return Resultat::Invalid;
  }
  char32_t u = c & (0x7F >> (llarg + 1));
  for (int k = 1; k < llarg; ++k) {
    if (inici + k >= pendent_.size()) return Resultat::Incomplet;
    const unsigned char d = static_cast<unsigned char>(pendent_[inici + k]);
    if ((d & 0xC0) != 0x80) {
      n = static_cast<size_t>(k);  // the byte that broke the sequence starts a new one
      return Resultat::Invalid;
    }
    u = (u << 6) | (d & 0x3F);
  }
  n = static_cast<size_t>(llarg);
  static constexpr char32_t kMinim[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (u < kMinim[llarg] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return Resultat::Invalid;
  if (TeclaDeCodi(static_cast<long>(u), extra, e)) sortida.push_back(e);
  return Resultat::Fet;
}

Descodificador::Resultat Descodificador::Csi(size_t inici, size_t& n, uint16_t extra,
                                              std::vector<Esdeveniment>& sortida) {
  const size_t mida = pendent_.size();
  size_t p = inici + 2;
  if (p >= mida) return Resultat::Incomplet;
  const char b = pendent_[p];
  if (b == '[') {
    // The Linux console's F1..F5.
    if (p + 1 >= mida) return Resultat::Incomplet;
    const char f = pendent_[p + 1];
    if (f >= 'A' && f <= 'E') {
      sortida.push_back(Funcio(f - 'A' + 1, extra));
      n = 4;
      return Resultat::Fet;
    }
    n = f == 0x1B ? 3 : 4;
    return Resultat::Invalid;
  }
  if (b == 'M') {
    // X10 mouse: three raw bytes follow, each value + 32.
    if (p + 3 >= mida) return Resultat::Incomplet;
    const int cb = static_cast<unsigned char>(pendent_[p + 1]) - 32;
    const int x = static_cast<unsigned char>(pendent_[p + 2]) - 32;
    const int y = static_cast<unsigned char>(pendent_[p + 3]) - 32;
    n = 6;
    if (cb < 0) return Resultat::Fet;
    Ratoli(cb, x, y, false, sortida);
    return Resultat::Fet;
  }
  char prefix = 0;
  size_t q = p;
  if (b == '<' || b == '=' || b == '>' || b == '?') {
    prefix = b;
    ++q;
  }
  const size_t inici_params = q;
  while (q < mida && pendent_[q] >= 0x30 && pendent_[q] <= 0x3F) ++q;
  const size_t fi_params = q;
  bool intermedis = false;
  while (q < mida && pendent_[q] >= 0x20 && pendent_[q] <= 0x2F) {
    if (pendent_[q] == '$' && prefix == 0 && !intermedis) break;  // rxvt's Shift marker is a final
    intermedis = true;
    ++q;
  }
  if (q - inici >= kMaxSequencia) {
    n = q - inici;
    return Resultat::Invalid;
  }
  if (q >= mida) return Resultat::Incomplet;
  const char f = pendent_[q];
  if (!(f >= 0x40 && f <= 0x7E) && f != '$') {
    n = q - inici;  // drop the broken start; the odd byte is read again on its own
    return Resultat::Invalid;
  }
  n = q - inici + 1;
  const std::vector<long> par = Parametres(std::string_view(pendent_).substr(inici_params, fi_params - inici_params));

  if (prefix == '<') {
    if ((f == 'M' || f == 'm') && par.size() >= 3) Ratoli(static_cast<int>(par[0]), static_cast<int>(par[1]),
                                                          static_cast<int>(par[2]), f == 'm', sortida);
    return Resultat::Fet;
  }
  if (prefix == '?' && !intermedis && (f == 'u' || f == 'c')) {
    // The answers to the start-up queries: keyboard protocol flags, then device attributes.
    if (f == 'u') {
      protocol_anunciat_ = true;
    } else {
      resposta_ = protocol_anunciat_ ? Resposta::AmbProtocol : Resposta::SenseProtocol;
      protocol_anunciat_ = false;
    }
    return Resultat::Fet;
  }
  if (prefix != 0 || intermedis) return Resultat::Fet;  // replies and reports we never asked for

  uint16_t mods = static_cast<uint16_t>(Modificadors(Param(par, 1, 1)) | extra);
  Esdeveniment e;
  if (const uint8_t s = ScanCursor(f)) {
    sortida.push_back(Estesa(s, mods));
  } else if (f == 'E' || f == 'G') {
    sortida.push_back(Tecla(kScanCentre, 0, mods));  // keypad 5
  } else if (f >= 'P' && f <= 'S') {
    // CSI 1;m P..S; a first parameter other than 1 is a report (cursor position), not a key.
    if (Param(par, 0, 1) == 1) sortida.push_back(Funcio(f - 'P' + 1, mods));
  } else if (f == 'Z') {
    sortida.push_back(Tecla(kScanTab, 0, mods | kMajuscula));
  } else if (f >= 'a' && f <= 'd') {
    sortida.push_back(Estesa(ScanCursor(static_cast<char>(f - 'a' + 'A')), mods | kMajuscula));  // rxvt
  } else if (f == '~' || f == '$' || f == '^' || f == '@') {
    const long k = Param(par, 0, 0);
    if (f == '$') mods |= kMajuscula;
    if (f == '^') mods |= kCtrlEsquerra;
    if (f == '@') mods |= kCtrlEsquerra | kMajuscula;
    if (k == 200 && f == '~') {
      enganxant_ = true;
      enganxat_.clear();
      coincidencia_final_ = 0;
    } else if (k == 27 && par.size() >= 3) {
      // xterm's modifyOtherKeys: CSI 27 ; modifiers ; code ~
      if (TeclaDeCodi(par[2], static_cast<uint16_t>(Modificadors(par[1]) | extra), e)) sortida.push_back(e);
    } else if (TeclaTilde(k, mods, e)) {
      sortida.push_back(e);
    }
  } else if (f == 'u') {
    if (!par.empty() && TeclaU(par[0], mods, e)) sortida.push_back(e);
  }
  return Resultat::Fet;
}

Descodificador::Resposta Descodificador::PrendreResposta() {
  const Resposta r = resposta_;
  resposta_ = Resposta::Cap;
  return r;
}

Descodificador::Resultat Descodificador::Ss3(size_t inici, size_t& n, uint16_t extra,
                                              std::vector<Esdeveniment>& sortida) {
  const size_t mida = pendent_.size();
  size_t q = inici + 2;
  while (q < mida && ((pendent_[q] >= '0' && pendent_[q] <= '9') || pendent_[q] == ';')) ++q;
  if (q - inici >= kMaxSequencia) {
    n = q - inici;
    return Resultat::Invalid;
  }
  if (q >= mida) return Resultat::Incomplet;
  const char f = pendent_[q];
  if (!(f >= 0x40 && f <= 0x7E)) {
    n = q - inici;
    return Resultat::Invalid;
  }
  n = q - inici + 1;
  const std::vector<long> par = Parametres(std::string_view(pendent_).substr(inici + 2, q - inici - 2));
  // Old xterm puts the modifier right after the O (ESC O 5 P); newer ones as ESC O 1;5P.
  const long m = par.empty() ? 1 : par.back();
  const uint16_t mods = static_cast<uint16_t>(Modificadors(m) | extra);
  if (const uint8_t s = ScanCursor(f)) {
    sortida.push_back(Estesa(s, mods));
  } else if (f == 'E') {
    sortida.push_back(Tecla(kScanCentre, 0, mods));
  } else if (f >= 'P' && f <= 'S') {
    sortida.push_back(Funcio(f - 'P' + 1, mods));
  } else if (f == 'M') {
    sortida.push_back(Tecla(kScanEnter, 0x0D, mods | kTeclaEstesa));  // keypad Enter
  } else if (f >= 'a' && f <= 'd') {
    sortida.push_back(Estesa(ScanCursor(static_cast<char>(f - 'a' + 'A')), mods | kCtrlEsquerra));  // rxvt
  } else if (f >= 'p' && f <= 'y') {
    // Application keypad digits: the digit with the keypad key's scan code.
    static constexpr uint8_t kScanTeclat[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    sortida.push_back(Tecla(kScanTeclat[f - 'p'], static_cast<uint8_t>('0' + (f - 'p')), mods));
  } else if (f >= 'j' && f <= 'o') {
    static constexpr char kCar[] = "*+,-./";
    static constexpr uint8_t kScan[] = {0x37, 0x4E, 0x53, 0x4A, 0x53, 0x35};
    sortida.push_back(Tecla(kScan[f - 'j'], static_cast<uint8_t>(kCar[f - 'j']), mods));
  } else if (f == 'X') {
    sortida.push_back(Tecla(0x0D, '=', mods));
  }
  return Resultat::Fet;
}

void Descodificador::Ratoli(int codi, int x, int y, bool deixat, std::vector<Esdeveniment>& sortida) {
  if (codi < 0 || codi > 255) return;
  uint16_t mods = 0;
  if (codi & 4) mods |= kMajuscula;
  if (codi & 8) mods |= kAltEsquerra;
  if (codi & 16) mods |= kCtrlEsquerra;
  const int boto = codi & 3;
  if (codi & 64) {
    // The wheel scrolls like the cursor keys; tilting it sideways does nothing.
    if (!deixat && boto < 2) sortida.push_back(Estesa(boto == 0 ? kScanAmunt : kScanAvall, mods));
    return;
  }
  static constexpr uint16_t kBit[4] = {kBotoEsquerre, kBotoMig, kBotoDret, 0};
  Esdeveniment e;
  e.tipus = TipusEsdeveniment::Ratoli;
  e.estat = mods;
  e.fila = std::clamp(y, 1, 10000) - 1;
  e.col = std::clamp(x, 1, 10000) - 1;
  if (codi & 32) {
    e.accio = kRatoliMogut;
    e.botons = static_cast<uint16_t>(botons_ | kBit[boto]);
  } else {
    if (deixat) botons_ = static_cast<uint16_t>(botons_ & ~kBit[boto]);
    else if (boto == 3) botons_ = 0;  // X10 release names no button
    else botons_ = static_cast<uint16_t>(botons_ | kBit[boto]);
    e.botons = botons_;
  }
  sortida.push_back(e);
}

std::vector<Esdeveniment> Descodificar(std::string_view bytes) {
  Descodificador d;
  std::vector<Esdeveniment> v;
  d.Alimentar(bytes, v);
  d.Pausa(v);
  return v;
}

}  // namespace plat
