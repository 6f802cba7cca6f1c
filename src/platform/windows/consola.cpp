#include "platform/windows/consola.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/cp850.h"
#include "platform/sistema.h"

namespace plat {

namespace {

// What the caller had; put back on every way out and while a child program runs.
struct EstatOriginal {
  HANDLE entrada = INVALID_HANDLE_VALUE;
  HANDLE sortida = INVALID_HANDLE_VALUE;
  DWORD mode_entrada = 0;
  DWORD mode_sortida = 0;
  CONSOLE_CURSOR_INFO cursor{25, TRUE};
  WORD atributs = 0x07;
  UINT cp = 0;
  UINT cp_sortida = 0;
};

// One console at a time; the control handler runs on a thread of its own and reaches it here.
ConsolaWindows* g_consola = nullptr;
EstatOriginal g_original;
HANDLE g_despertar = nullptr;  // set when the session is ending: wakes the input wait
HANDLE g_restaurat = nullptr;  // set once the console has been given back
bool g_atexit = false;
bool g_handler = false;

constexpr DWORD kModeSenseTreure = ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT |
                                   ENABLE_MOUSE_INPUT | ENABLE_QUICK_EDIT_MODE | ENABLE_VIRTUAL_TERMINAL_INPUT;

void TornarOriginal() {
  SetConsoleActiveScreenBuffer(g_original.sortida);
  SetConsoleMode(g_original.entrada, g_original.mode_entrada);
  SetConsoleMode(g_original.sortida, g_original.mode_sortida);
  SetConsoleCursorInfo(g_original.sortida, &g_original.cursor);
  SetConsoleTextAttribute(g_original.sortida, g_original.atributs);
  if (g_original.cp) SetConsoleCP(g_original.cp);
  if (g_original.cp_sortida) SetConsoleOutputCP(g_original.cp_sortida);
}

BOOL WINAPI Control(DWORD tipus) { return ControlConsola(tipus) ? TRUE : FALSE; }

void SortirPrograma() {
  if (g_consola) g_consola->Restaurar();
}

bool EsModificador(WORD vk) {
  switch (vk) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
    case VK_LWIN: case VK_RWIN: case VK_LSHIFT: case VK_RSHIFT: case VK_LCONTROL: case VK_RCONTROL:
    case VK_LMENU: case VK_RMENU:
      return true;
    default:
      return false;
  }
}

// Punctuation keys of the main block (where dead keys live on European layouts).
bool EsTeclaSigne(WORD vk) { return (vk >= 0xBA && vk <= 0xC0) || (vk >= 0xDB && vk <= 0xDF) || vk == 0xE2; }

CHAR_INFO Cel(Cella c) {
  CHAR_INFO ci{};
  ci.Char.UnicodeChar = static_cast<WCHAR>(Cp850AUnicode(c.car));
  ci.Attributes = c.atr;
  return ci;
}

DWORD AraMs() { return GetTickCount(); }

}  // namespace

bool ControlConsola(unsigned long tipus) {
  switch (tipus) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      return true;  // keys for the dialog (or the child program), never an interruption
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // End as Escape would: every dialog closes its windows and lists, nothing more is
      // started, the console is given back. The system ends us once this returns, so wait
      // (bounded: a close allows about five seconds) for the main thread to get there.
      FixarSessioAcabant(true);
      if (g_despertar) SetEvent(g_despertar);
      if (g_restaurat && WaitForSingleObject(g_restaurat, 4000) == WAIT_OBJECT_0) return true;
      if (g_consola) TornarOriginal();
      return true;
    default:
      return false;
  }
}

ConsolaWindows::ConsolaWindows(void* entrada, void* sortida) : Consola(80, 25), entrada_(entrada), sortida_(sortida) {
  if (g_consola) return;
  EstatOriginal o;
  o.entrada = entrada;
  o.sortida = sortida;
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleMode(entrada, &o.mode_entrada) || !GetConsoleMode(sortida, &o.mode_sortida) ||
      !GetConsoleScreenBufferInfo(sortida, &info))
    return;
  GetConsoleCursorInfo(sortida, &o.cursor);
  o.atributs = info.wAttributes;
  o.cp = GetConsoleCP();
  o.cp_sortida = GetConsoleOutputCP();
  pantalla_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        CONSOLE_TEXTMODE_BUFFER, nullptr);
  if (pantalla_ == INVALID_HANDLE_VALUE || pantalla_ == nullptr) {
    pantalla_ = nullptr;
    return;
  }
  if (!g_despertar) g_despertar = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!g_restaurat) g_restaurat = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ResetEvent(g_restaurat);
  g_original = o;
  g_consola = this;
  oberta_ = true;
  if (!g_handler) g_handler = SetConsoleCtrlHandler(Control, TRUE) != 0;
  if (!g_atexit) {
    std::atexit(SortirPrograma);
    g_atexit = true;
  }
  // Ctrl+C and Ctrl+Break are keys from now on, also before the screen is taken.
  SetConsoleMode(entrada, (o.mode_entrada & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT)));
  // The screen is taken when something is first shown: a run that ends without a dialog
  // leaves the console as it was.
  ComprovarMida();
  cua_.clear();  // the size at start is not news
}

ConsolaWindows::~ConsolaWindows() {
  Restaurar();
  if (pantalla_) CloseHandle(pantalla_);
}

void ConsolaWindows::Restaurar() {
  if (!oberta_) return;
  if (!suspesa_) TornarOriginal();
  activa_ = false;
  oberta_ = false;
  g_consola = nullptr;
  if (g_restaurat) SetEvent(g_restaurat);
}

void ConsolaWindows::AplicarModeEntrada() {
  DWORD mode = (g_original.mode_entrada & ~kModeSenseTreure) | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS;
  if (RatoliActiu()) mode |= ENABLE_MOUSE_INPUT;  // quick edit would take the clicks
  else mode |= g_original.mode_entrada & ENABLE_QUICK_EDIT_MODE;
  SetConsoleMode(entrada_, mode);
  ratoli_consola_ = RatoliActiu() ? 1 : 0;
}

void ConsolaWindows::Entrar() {
  if (!oberta_ || activa_ || suspesa_) return;
  if (!SetConsoleActiveScreenBuffer(pantalla_)) {
    Restaurar();
    return;
  }
  // Our buffer takes the caller's window size (a new buffer may come with a size of its own).
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (GetConsoleScreenBufferInfo(sortida_, &info)) {
    const SHORT w = static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1);
    const SHORT h = static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1);
    CONSOLE_SCREEN_BUFFER_INFO nostra{};
    if (w > 0 && h > 0 && GetConsoleScreenBufferInfo(pantalla_, &nostra)) {
      SMALL_RECT f{0, 0, static_cast<SHORT>(std::min(w, nostra.dwSize.X) - 1), static_cast<SHORT>(std::min(h, nostra.dwSize.Y) - 1)};
      SetConsoleWindowInfo(pantalla_, TRUE, &f);
      SetConsoleScreenBufferSize(pantalla_, COORD{w, h});
      f = SMALL_RECT{0, 0, static_cast<SHORT>(w - 1), static_cast<SHORT>(h - 1)};
      SetConsoleWindowInfo(pantalla_, TRUE, &f);
    }
  }
  activa_ = true;
  AplicarModeEntrada();
  mostrat_.clear();
  cursor_fila_ = cursor_col_ = cursor_mida_ = -1;
  ComprovarMida();
}

void ConsolaWindows::ComprovarMida() {
  if (!oberta_) return;
  CONSOLE_SCREEN_BUFFER_INFO info{};
  // Until ours is shown the caller's window is the one that counts.
  if (!GetConsoleScreenBufferInfo(activa_ ? pantalla_ : sortida_, &info)) return;
  const int w = info.srWindow.Right - info.srWindow.Left + 1;
  const int h = info.srWindow.Bottom - info.srWindow.Top + 1;
  if (w <= 0 || h <= 0) return;
  if (activa_) {
    CONSOLE_SCREEN_BUFFER_INFO nostra{};
    // A buffer exactly as big as the window: no scroll bars, nothing off screen.
    if (GetConsoleScreenBufferInfo(pantalla_, &nostra) && (nostra.dwSize.X != w || nostra.dwSize.Y != h ||
                                                           nostra.srWindow.Left != 0 || nostra.srWindow.Top != 0)) {
      SMALL_RECT f{0, 0, static_cast<SHORT>(std::min(w, static_cast<int>(nostra.dwSize.X)) - 1),
                   static_cast<SHORT>(std::min(h, static_cast<int>(nostra.dwSize.Y)) - 1)};
      SetConsoleWindowInfo(pantalla_, TRUE, &f);
      SetConsoleScreenBufferSize(pantalla_, COORD{static_cast<SHORT>(w), static_cast<SHORT>(h)});
      mostrat_.clear();
    }
  }
  const bool canvi = w != amplada_finestra_ || h != alcada_finestra_;
  amplada_finestra_ = w;
  alcada_finestra_ = h;
  if (w < 80 || h < 25) {
    if (!petita_ || canvi) missatge_mostrat_ = false;
    petita_ = true;
    return;
  }
  if (petita_ || canvi) mostrat_.clear();
  petita_ = false;
  missatge_mostrat_ = false;
  if (w != Amplada() || h != Alcada()) {
    Redimensionar(w, h);
    Esdeveniment e;
    e.tipus = TipusEsdeveniment::Mida;
    e.col = w;
    e.fila = h;
    cua_.push_back(e);
  }
}

void ConsolaWindows::PintarMissatge() {
  // Centred on a blank window, cut into lines as wide as the window.
  const int w = std::max(1, amplada_finestra_);
  const int h = std::max(1, alcada_finestra_);
  std::vector<CHAR_INFO> buit(static_cast<size_t>(w) * h, Cel(Cella{}));
  const std::string& missatge = MissatgeMida();
  std::vector<std::string> linies;
  for (size_t i = 0; i < missatge.size(); i += static_cast<size_t>(w)) linies.push_back(missatge.substr(i, w));
  const int primera = std::max(0, (h - static_cast<int>(linies.size())) / 2);
  for (size_t i = 0; i < linies.size() && primera + static_cast<int>(i) < h; ++i) {
    const int col = std::max(0, (w - static_cast<int>(linies[i].size())) / 2);
    for (size_t k = 0; k < linies[i].size(); ++k)
      buit[static_cast<size_t>(primera + static_cast<int>(i)) * w + col + static_cast<int>(k)] =
          Cel(Cella{static_cast<uint8_t>(linies[i][k]), 0x07});
  }
  SMALL_RECT r{0, 0, static_cast<SHORT>(w - 1), static_cast<SHORT>(h - 1)};
  WriteConsoleOutputW(pantalla_, buit.data(), COORD{static_cast<SHORT>(w), static_cast<SHORT>(h)}, COORD{0, 0}, &r);
  CONSOLE_CURSOR_INFO amagat{25, FALSE};
  SetConsoleCursorInfo(pantalla_, &amagat);
  cursor_mida_ = -1;
  missatge_mostrat_ = true;
  mostrat_.clear();
}

void ConsolaWindows::PintarDiferencia() {
  const int w = std::min(amplada_finestra_, Amplada());
  const int h = std::min(alcada_finestra_, Alcada());
  const bool tot = mostrat_.size() != static_cast<size_t>(w) * h;
  if (tot) mostrat_.assign(static_cast<size_t>(w) * h, Cella{});
  std::vector<CHAR_INFO> fila;
  // Per row, the stretch from the first to the last changed cell.
  for (int f = 0; f < h; ++f) {
    int primera = -1, darrera = -1;
    for (int c = 0; c < w; ++c) {
      if (!tot && mostrat_[static_cast<size_t>(f) * w + c] == LlegirCella(f, c)) continue;
      if (primera < 0) primera = c;
      darrera = c;
    }
    if (primera < 0) continue;
    fila.clear();
    for (int c = primera; c <= darrera; ++c) {
      const Cella nova = LlegirCella(f, c);
      mostrat_[static_cast<size_t>(f) * w + c] = nova;
      fila.push_back(Cel(nova));
    }
    SMALL_RECT r{static_cast<SHORT>(primera), static_cast<SHORT>(f), static_cast<SHORT>(darrera), static_cast<SHORT>(f)};
    WriteConsoleOutputW(pantalla_, fila.data(), COORD{static_cast<SHORT>(fila.size()), 1}, COORD{0, 0}, &r);
    celles_escrites_ += static_cast<long long>(fila.size());
  }
  const int mida = MidaCursorActual();
  const int fc = FilaCursor();
  const int cc = ColCursor();
  const bool visible = mida > 0 && fc >= 0 && cc >= 0 && fc < h && cc < w;
  const int mida_nova = visible ? std::clamp(mida, 1, 100) : 0;
  if (visible && (fc != cursor_fila_ || cc != cursor_col_)) {
    SetConsoleCursorPosition(pantalla_, COORD{static_cast<SHORT>(cc), static_cast<SHORT>(fc)});
    cursor_fila_ = fc;
    cursor_col_ = cc;
  }
  if (mida_nova != cursor_mida_) {
    CONSOLE_CURSOR_INFO ci{static_cast<DWORD>(visible ? mida_nova : 25), visible ? TRUE : FALSE};
    SetConsoleCursorInfo(pantalla_, &ci);
    cursor_mida_ = mida_nova;
  }
}

void ConsolaWindows::Refrescar() {
  if (!oberta_ || suspesa_) return;
  Entrar();
  if (!oberta_) return;
  if (ratoli_consola_ != (RatoliActiu() ? 1 : 0)) AplicarModeEntrada();
  if (petita_) {
    if (!missatge_mostrat_) PintarMissatge();
  } else {
    PintarDiferencia();
  }
  if (xiulet_) {
    DWORD n = 0;
    WriteConsoleW(pantalla_, L"\a", 1, &n, nullptr);
    xiulet_ = false;
  }
}

void ConsolaWindows::Rebre(const void* dades) {
  const INPUT_RECORD& r = *static_cast<const INPUT_RECORD*>(dades);
  Esdeveniment e;
  switch (r.EventType) {
    case KEY_EVENT: {
      const KEY_EVENT_RECORD& k = r.Event.KeyEvent;
      e.estat = static_cast<uint16_t>(k.dwControlKeyState & (kAltDreta | kAltEsquerra | kCtrlDreta | kCtrlEsquerra |
                                                             kMajuscula | kTeclaEstesa));
      if (!k.bKeyDown) {
        // Letting go of Alt ends an Alt + keypad entry: passed on as an event with no key.
        // The character Windows composed on that release is not used; the key reader
        // composes its own.
        if (k.wVirtualKeyCode != VK_MENU) return;
        e.scan = 0;
        e.car = 0;
        break;
      }
      if (EsModificador(k.wVirtualKeyCode)) return;
      wchar_t u = k.uChar.UnicodeChar;
      // Some consoles (wine's on a terminal) send these keys without their character.
      if (u == 0) {
        switch (k.wVirtualKeyCode) {
          case VK_ESCAPE: u = 0x1B; break;
          case VK_BACK: u = 0x08; break;
          case VK_TAB: u = 0x09; break;
          case VK_RETURN: u = 0x0D; break;
          default: break;
        }
      }
      if (u != 0) {
        const int c = (u >= 0xD800 && u <= 0xDFFF) ? -1 : UnicodeACp850(u);
        if (c <= 0) return;  // no code page 850 character: nothing the program can type
        e.car = static_cast<uint8_t>(c);
      } else if (EsTeclaSigne(k.wVirtualKeyCode) && !(e.estat & (kAltDreta | kAltEsquerra | kCtrlDreta | kCtrlEsquerra))) {
        return;  // a dead key: its character comes with the next key
      }
      // ... and some without a scan code, which the key reader needs for extended keys.
      WORD scan = k.wVirtualScanCode;
      if (scan == 0) scan = static_cast<WORD>(MapVirtualKeyW(k.wVirtualKeyCode, MAPVK_VK_TO_VSC));
      e.scan = static_cast<uint8_t>(scan);
      if (petita_) return;  // nothing can be seen: typed keys would act blindly
      for (int i = std::max<int>(1, k.wRepeatCount); i > 0 && cua_.size() < kMaxCua; --i) cua_.push_back(e);
      return;
    }
    case MOUSE_EVENT: {
      if (!RatoliActiu()) return;
      const MOUSE_EVENT_RECORD& m = r.Event.MouseEvent;
      CONSOLE_SCREEN_BUFFER_INFO info{};
      int dx = 0, dy = 0;
      if (GetConsoleScreenBufferInfo(pantalla_, &info)) {
        dx = info.srWindow.Left;
        dy = info.srWindow.Top;
      }
      e.tipus = TipusEsdeveniment::Ratoli;
      e.col = m.dwMousePosition.X - dx;
      e.fila = m.dwMousePosition.Y - dy;
      e.botons = static_cast<uint16_t>(m.dwButtonState & (kBotoEsquerre | kBotoDret | kBotoMig));
      e.accio = static_cast<uint16_t>(m.dwEventFlags & (kRatoliMogut | kDobleClic | kRoda));
      e.estat = static_cast<uint16_t>(m.dwControlKeyState & (kAltDreta | kAltEsquerra | kCtrlDreta | kCtrlEsquerra |
                                                             kMajuscula));
      break;
    }
    case WINDOW_BUFFER_SIZE_EVENT:
      ComprovarMida();
      Refrescar();
      return;
    default:
      return;  // focus and menu events
  }
  if (petita_) return;  // nothing can be seen: typed keys would act blindly
  if (cua_.size() < kMaxCua) cua_.push_back(e);
}

bool ConsolaWindows::LlegirEsdeveniment(Esdeveniment& e, int espera_ms) {
  auto escapada = [&] {
    e = Esdeveniment{};
    e.car = 0x1B;
    e.scan = 0x01;
    return true;
  };
  if (SessioAcabant()) return escapada();
  if (!cua_.empty()) {
    e = std::move(cua_.front());
    cua_.pop_front();
    return true;
  }
  if (!oberta_) return false;
  Refrescar();
  const DWORD inici = AraMs();
  bool primera = true;
  INPUT_RECORD registres[128];
  for (;;) {
    if (SessioAcabant()) return escapada();
    if (!cua_.empty()) {
      e = std::move(cua_.front());
      cua_.pop_front();
      return true;
    }
    if (fi_entrada_) return escapada();  // the console is gone: every dialog ends
    DWORD t = INFINITE;
    if (espera_ms >= 0) {
      const DWORD passat = AraMs() - inici;
      if (!primera && passat >= static_cast<DWORD>(espera_ms)) return false;
      t = passat >= static_cast<DWORD>(espera_ms) ? 0 : static_cast<DWORD>(espera_ms) - passat;
    }
    primera = false;
    HANDLE h[2] = {entrada_, g_despertar};
    const DWORD r = WaitForMultipleObjects(g_despertar ? 2 : 1, h, FALSE, t);
    if (r == WAIT_TIMEOUT) continue;
    if (r != WAIT_OBJECT_0) {
      if (r != WAIT_OBJECT_0 + 1) fi_entrada_ = true;
      continue;
    }
    DWORD n = 0;
    if (!ReadConsoleInputW(entrada_, registres, 128, &n)) {
      fi_entrada_ = true;
      continue;
    }
    for (DWORD i = 0; i < n; ++i) Rebre(&registres[i]);
    if (n > 0 && cua_.empty()) Refrescar();  // a resize repaints before the wait goes on
  }
}

void ConsolaWindows::BuidarEntrada() {
  if (oberta_) FlushConsoleInputBuffer(entrada_);
  std::deque<Esdeveniment> mides;
  for (Esdeveniment& e : cua_)
    if (e.tipus == TipusEsdeveniment::Mida) mides.push_back(std::move(e));
  cua_ = std::move(mides);
}

void ConsolaWindows::Xiulet() { xiulet_ = true; }

void ConsolaWindows::Suspendre() {
  if (!oberta_ || suspesa_) return;
  // Also before anything was shown: Ctrl+C is already ours, the child needs it back.
  vista_ = activa_;
  if (activa_) Refrescar();
  TornarOriginal();
  activa_ = false;
  suspesa_ = true;
}

void ConsolaWindows::Reprendre() {
  if (!oberta_ || !suspesa_) return;
  suspesa_ = false;
  // Our input mode again, from the caller's whatever the child left.
  SetConsoleMode(entrada_, g_original.mode_entrada & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
  ratoli_consola_ = -1;
  missatge_mostrat_ = false;
  if (!vista_) return;  // the screen is still taken only when something is shown
  Entrar();
  Refrescar();
}

std::unique_ptr<Consola> ObrirConsola() {
  HANDLE entrada = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE sortida = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(entrada, &mode) || !GetConsoleMode(sortida, &mode)) return nullptr;
  auto c = std::make_unique<ConsolaWindows>(entrada, sortida);
  if (!c->Oberta()) return nullptr;
  return c;
}

}  // namespace plat
