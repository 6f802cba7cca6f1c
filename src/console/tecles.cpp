#include "console/tecles.h"

#include <optional>

#include "platform/consola.h"

TeclesSortidaT TeclesSortida;
std::vector<TeclesSortidaT> TeclesDesades;
int16_t CaracterOcult = 0;
std::string LlistaOpcions;
std::string CaractersRefusats;
std::string TeclesPendents;
std::string TextEnganxat;
int16_t EstatRatoli = 0;
bool CalculadoraEnMarxa = false;
bool CalendariEnMarxa = false;
std::function<std::string()> ObrirCalculadora;
std::function<std::string()> ObrirCalendari;

namespace {

// Buttons held at the previous mouse event: a release reports the button that was down.
uint16_t g_botonsAbans = 0;

// The event that ended an Alt + keypad entry after Alt was let go: it is the next input.
std::optional<plat::Esdeveniment> g_guardat;

// How long an Alt + keypad entry waits for its next digit. A terminal sends no key-up,
// so a pause is what ends the entry there.
constexpr int kEsperaDigit = 1500;

// PC scan codes of the letters and digits, for Alt + key (a terminal gives only the
// character).
uint8_t ScanLletra(unsigned char c) {
  static const uint8_t kLletres[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                       0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                       0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  if (c >= 'a' && c <= 'z') return kLletres[c - 'a'];
  if (c >= 'A' && c <= 'Z') return kLletres[c - 'A'];
  return 0;
}

// Alt + a digit of the top row: 7800 (Alt+1) ... 8100 (Alt+0), as the PC BIOS gives them.
uint16_t AltXifra(unsigned char c) {
  if (c >= '1' && c <= '9') return static_cast<uint16_t>((0x78 + (c - '1')) << 8);
  if (c == '0') return 0x8100;
  return 0;
}

bool AltPremut(uint16_t estat) { return (estat & (plat::kAltDreta | plat::kAltEsquerra)) != 0; }
bool CtrlPremut(uint16_t estat) { return (estat & (plat::kCtrlDreta | plat::kCtrlEsquerra)) != 0; }

// Keypad digit of a key event held with left Alt, or -1.
int XifraTeclat(const plat::Esdeveniment& e) {
  if (e.tipus != plat::TipusEsdeveniment::Tecla) return -1;
  if (!(e.estat & plat::kAltEsquerra) || (e.estat & plat::kTeclaEstesa)) return -1;
  int x;
  switch (e.scan) {
    case 0x52: x = 0; break;
    case 0x4F: x = 1; break;
    case 0x50: x = 2; break;
    case 0x51: x = 3; break;
    case 0x4B: x = 4; break;
    case 0x4C: x = 5; break;
    case 0x4D: x = 6; break;
    case 0x47: x = 7; break;
    case 0x48: x = 8; break;
    case 0x49: x = 9; break;
    default: return -1;
  }
  // With Num Lock on the key may carry its digit; any other character is not the keypad.
  if (e.car != 0 && e.car != '0' + x) return -1;
  return x;
}

// The key code of one key event, before modifier folding.
int CodiTecla(const plat::Esdeveniment& e) {
  const bool alt = AltPremut(e.estat) && !CtrlPremut(e.estat);  // Ctrl+Alt is AltGr
  if (e.car != 0) {
    if (alt) {
      if (uint8_t s = ScanLletra(e.car)) return s << 8;
      if (uint16_t x = AltXifra(e.car)) return x;
    }
    if (e.car == '\t' && (e.estat & plat::kMajuscula)) return 0x0F00;
    return e.car;
  }
  // The console gives F11 and F12 their keyboard scan codes; the program knows them by
  // their extended codes.
  if (e.scan == 0x57) return 0x8500;
  if (e.scan == 0x58) return 0x8600;
  return e.scan << 8;
}

int Plegar(int tecla, uint16_t estat) {
  const bool fn = tecla >= 0x3B00 && tecla <= 0x4400 && (tecla & 0xFF) == 0;
  const bool fn11 = tecla == 0x8500 || tecla == 0x8600;
  if (AltPremut(estat)) {
    if (fn) return tecla + 0x2D00;
    if (fn11) return tecla + 0x0600;
  } else if (CtrlPremut(estat)) {
    if (fn) return tecla + 0x2300;
    if (fn11) return tecla + 0x0400;
    if (tecla == 0x4700) return 0x7700;
    if (tecla == 0x4D00) return 0x7400;
    if (tecla == 0x4B00) return 0x7300;
  } else if (estat & plat::kMajuscula) {
    if (fn) return tecla + 0x1900;
    if (fn11) return tecla + 0x0200;
  }
  return tecla;
}

void ObrirDrecera(int16_t tecla) {
  if (tecla == kTeclaAltX && !CalculadoraEnMarxa) {
    CalculadoraEnMarxa = true;
    if (ObrirCalculadora) TeclesPendents += ObrirCalculadora();
    CalculadoraEnMarxa = false;
  } else if (tecla == kTeclaAltC && !CalendariEnMarxa) {
    CalendariEnMarxa = true;
    if (ObrirCalendari) TeclesPendents += ObrirCalendari();
    CalendariEnMarxa = false;
  }
}

void Llegir(int16_t& tecla, int16_t& boto, int16_t& fila, int16_t& columna, int espera) {
  if (!TeclesPendents.empty()) {
    tecla = static_cast<unsigned char>(TeclesPendents[0]);
    TeclesPendents.erase(0, 1);
    return;
  }
  plat::Consola& con = plat::ConsolaActual();
  // The console has no button count to ask for: a mouse is taken to be there.
  if (EstatRatoli == 0) EstatRatoli = 2;
  if (EstatRatoli == 2) {
    con.Ratoli(true);
    EstatRatoli = 1;
  }
  tecla = boto = fila = columna = 0;

  plat::Esdeveniment e;
  if (g_guardat) {
    e = std::move(*g_guardat);
    g_guardat.reset();
  } else if (!con.LlegirEsdeveniment(e, espera)) {
    return;
  }
  int clau = 0;
  uint16_t estat = 0;
  switch (e.tipus) {
    case plat::TipusEsdeveniment::Tecla: {
      estat = e.estat;
      int x = XifraTeclat(e);
      if (x >= 0) {
        int valor = x;
        for (;;) {
          plat::Esdeveniment s;
          if (!con.LlegirEsdeveniment(s, kEsperaDigit)) break;
          const int y = XifraTeclat(s);
          if (y < 0) {
            // Only a key that came with left Alt still down belongs to the entry.
            if (s.tipus != plat::TipusEsdeveniment::Tecla || !(s.estat & plat::kAltEsquerra))
              g_guardat = std::move(s);
            break;
          }
          valor = (valor * 10 + y) % 256;
          estat = s.estat;
        }
        clau = valor;
      } else {
        clau = CodiTecla(e);
        if (clau == 0x16) TextEnganxat.clear();  // typed Ctrl+V pastes the clipboard
      }
      break;
    }
    case plat::TipusEsdeveniment::Ratoli:
      if (EstatRatoli == 1) {
        fila = static_cast<int16_t>(e.fila + 1);
        columna = static_cast<int16_t>(e.col + 1);
        if (!(e.accio & (plat::kRatoliMogut | plat::kRoda)) && e.botons == 0 && g_botonsAbans != 0)
          boto = static_cast<int16_t>(g_botonsAbans);
      }
      if (!(e.accio & plat::kRoda)) g_botonsAbans = e.botons;
      break;
    case plat::TipusEsdeveniment::Enganxat:
      TextEnganxat = e.text;
      clau = 0x16;  // Ctrl+V: the editor pastes TextEnganxat
      break;
    case plat::TipusEsdeveniment::Mida:
      break;
  }

  if (clau == 0x1200) clau = kTeclaEuro;
  clau = Plegar(clau, estat);
  tecla = static_cast<int16_t>(static_cast<uint16_t>(clau));

  ObrirDrecera(tecla);

  if (EstatRatoli == 1 && (tecla > 0 || boto > 0)) {
    con.Ratoli(false);
    EstatRatoli = 2;
  }
}

struct Item {
  int16_t tecla = 0;
  int16_t traduccio = 0;
};

bool NomesEspais(const std::string& s) {
  for (char c : s)
    if (c != ' ' && c != '\t') return false;
  return true;
}

// Items of a key list; blank items and items with nothing before "=" are skipped, and
// "a=" with nothing after it keeps key a as it is. Read literally, a blank item would
// accept key 0 (what a click on a choice's description sends) and "a=" would turn key a
// into 0 (no key): a stray comma or "=" must not change how a field is left.
std::vector<Item> Items(const std::string& llista) {
  std::vector<Item> items;
  size_t inici = 0;
  for (;;) {
    const size_t coma = llista.find(',', inici);
    const std::string tros = llista.substr(inici, coma == std::string::npos ? std::string::npos : coma - inici);
    const size_t igual = tros.find('=');
    const std::string a = tros.substr(0, igual);
    if (!NomesEspais(a)) {
      Item it;
      it.tecla = ValorTecla(a);
      it.traduccio = it.tecla;
      if (igual != std::string::npos) {
        const std::string b = tros.substr(igual + 1);
        if (!NomesEspais(b)) it.traduccio = ValorTecla(b);
      }
      items.push_back(it);
    }
    if (coma == std::string::npos) break;
    inici = coma + 1;
  }
  return items;
}

void AfegirCodi(std::string& s, int16_t codi) {
  const uint16_t u = static_cast<uint16_t>(codi);
  s += static_cast<char>(u & 0xFF);
  s += static_cast<char>(u >> 8);
}

// Entry index of the code in the accepted list, only at entry boundaries; -1 when absent.
long Entrada(const std::string& acceptades, int16_t codi) {
  const uint16_t u = static_cast<uint16_t>(codi);
  for (size_t i = 0; i + 1 < acceptades.size(); i += 2)
    if (static_cast<unsigned char>(acceptades[i]) == (u & 0xFF) &&
        static_cast<unsigned char>(acceptades[i + 1]) == (u >> 8))
      return static_cast<long>(i / 2);
  return -1;
}

}  // namespace

int16_t ValorTecla(const std::string& item) {
  uint32_t v = 0;
  for (unsigned char c : item) {
    int d;
    if (c == ' ' || c == '\t') continue;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    v = ((v << 4) | static_cast<uint32_t>(d)) & 0xFFFF;
  }
  return static_cast<int16_t>(static_cast<uint16_t>(v));
}

void LlegirTecla(int16_t& tecla, int16_t& boto, int16_t& fila, int16_t& columna) {
  Llegir(tecla, boto, fila, columna, 0);
}

void EsperarTeclaOClic(int16_t& tecla, int16_t& boto, int16_t& fila, int16_t& columna) {
  tecla = boto = fila = columna = 0;
  do {
    Llegir(tecla, boto, fila, columna, -1);
  } while (tecla == 0 && boto == 0);
}

int16_t EsperarTecla() {
  int16_t tecla = 0, boto = 0, fila = 0, columna = 0;
  EsperarTeclaOClic(tecla, boto, fila, columna);
  if (boto != 0) tecla = static_cast<int16_t>(static_cast<uint16_t>(columna * 256 + boto * 64 + fila));
  return tecla;
}

void BuidarTeclat() {
  g_guardat.reset();
  plat::ConsolaActual().BuidarEntrada();
}

void GestionarTecles(const std::string& operacions, const std::string& llista) {
  for (char op : operacions) {
    switch (op) {
      case 'd': case 'D':
        for (const Item& it : Items(llista)) {
          const long i = Entrada(TeclesSortida.Acceptades, it.tecla);
          if (i < 0) continue;
          TeclesSortida.Acceptades.erase(static_cast<size_t>(i) * 2, 2);
          if (TeclesSortida.Traduccions.size() >= static_cast<size_t>(i) * 2 + 2)
            TeclesSortida.Traduccions.erase(static_cast<size_t>(i) * 2, 2);
        }
        break;
      case 'a': case 'A':
        for (const Item& it : Items(llista)) {
          AfegirCodi(TeclesSortida.Acceptades, it.tecla);
          AfegirCodi(TeclesSortida.Traduccions, it.traduccio);
        }
        break;
      case 'e': case 'E':
        TeclesSortida = TeclesSortidaT{};
        break;
      case '+':
        TeclesDesades.push_back(TeclesSortida);
        break;
      case '-':
        if (!TeclesDesades.empty()) {
          TeclesSortida = std::move(TeclesDesades.back());
          TeclesDesades.pop_back();
        }
        break;
      case 'h': case 'H':
        CaracterOcult = 88;
        break;
      case 'v': case 'V':
        CaracterOcult = 0;
        break;
      default:
        break;
    }
  }
}

void FixarOpcions(const std::string& opcions) { LlistaOpcions = opcions; }

bool EsTeclaSortida(int16_t& tecla, bool clic) {
  if (TeclesSortida.Acceptades.empty()) return true;
  const long i = Entrada(TeclesSortida.Acceptades, tecla);
  if (i < 0) return clic;
  const size_t p = static_cast<size_t>(i) * 2;
  if (p + 1 < TeclesSortida.Traduccions.size())
    tecla = static_cast<int16_t>(static_cast<uint16_t>(static_cast<unsigned char>(TeclesSortida.Traduccions[p]) |
                                                       (static_cast<unsigned char>(TeclesSortida.Traduccions[p + 1]) << 8)));
  return true;
}

void ReiniciarTecles() {
  TeclesSortida = TeclesSortidaT{};
  TeclesDesades.clear();
  CaracterOcult = 0;
  LlistaOpcions.clear();
  CaractersRefusats.clear();
  TeclesPendents.clear();
  TextEnganxat.clear();
  EstatRatoli = 0;
  CalculadoraEnMarxa = false;
  CalendariEnMarxa = false;
  ObrirCalculadora = nullptr;
  ObrirCalendari = nullptr;
  g_botonsAbans = 0;
  g_guardat.reset();
}
