// The Windows console backend on a real console (the test runs attached to one): cells
// read back from the screen buffer, input records injected with WriteConsoleInputW and
// read through the key reader, the caller's console given back.
#include "platform/windows/consola.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "console/tecles.h"
#include "platform/cp850.h"
#include "platform/sistema.h"

namespace {

using plat::Cella;
using plat::ConsolaWindows;

// One key as a Windows keyboard gives it.
struct Tecla {
  WORD vk;
  WORD scan;
  wchar_t car;
  bool estesa = false;
};

enum Mod : unsigned { kShift = 1, kCtrl = 2, kAlt = 4, kAltGr = 8 };

INPUT_RECORD Registre(WORD vk, WORD scan, wchar_t car, DWORD estat, bool avall, WORD repeticio = 1) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = avall;
  r.Event.KeyEvent.wRepeatCount = repeticio;
  r.Event.KeyEvent.wVirtualKeyCode = vk;
  r.Event.KeyEvent.wVirtualScanCode = scan;
  r.Event.KeyEvent.uChar.UnicodeChar = car;
  // Num Lock is on in most offices: the backend must not take it for a modifier.
  r.Event.KeyEvent.dwControlKeyState = estat | NUMLOCK_ON;
  return r;
}

// The records of one keystroke with its modifiers: modifiers down, the key down and up,
// modifiers up, each with the shift state Windows reports at that moment.
std::vector<INPUT_RECORD> Premer(Tecla t, unsigned mods) {
  std::vector<INPUT_RECORD> v;
  DWORD estat = 0;
  auto avall = [&](WORD vk, WORD scan, DWORD bit) {
    estat |= bit;
    v.push_back(Registre(vk, scan, 0, estat, true));
  };
  auto amunt = [&](WORD vk, WORD scan, DWORD bit) {
    estat &= ~bit;
    v.push_back(Registre(vk, scan, 0, estat, false));
  };
  if (mods & kShift) avall(VK_SHIFT, 0x2A, SHIFT_PRESSED);
  if (mods & kCtrl) avall(VK_CONTROL, 0x1D, LEFT_CTRL_PRESSED);
  if (mods & kAlt) avall(VK_MENU, 0x38, LEFT_ALT_PRESSED);
  // AltGr: Windows reports it as left Ctrl plus right Alt.
  if (mods & kAltGr) avall(VK_CONTROL, 0x1D, LEFT_CTRL_PRESSED), avall(VK_MENU, 0x38, RIGHT_ALT_PRESSED);
  const DWORD estesa = t.estesa ? ENHANCED_KEY : 0;
  v.push_back(Registre(t.vk, t.scan, t.car, estat | estesa, true));
  v.push_back(Registre(t.vk, t.scan, t.car, estat | estesa, false));
  if (mods & kAltGr) amunt(VK_MENU, 0x38, RIGHT_ALT_PRESSED), amunt(VK_CONTROL, 0x1D, LEFT_CTRL_PRESSED);
  if (mods & kAlt) amunt(VK_MENU, 0x38, LEFT_ALT_PRESSED);
  if (mods & kCtrl) amunt(VK_CONTROL, 0x1D, LEFT_CTRL_PRESSED);
  if (mods & kShift) amunt(VK_SHIFT, 0x2A, SHIFT_PRESSED);
  return v;
}

// Left Alt held while keypad keys (Num Lock off: the cursor keys' codes, no character) are
// typed; on release Windows hands over the character it composed.
std::vector<INPUT_RECORD> AltTeclat(const std::vector<WORD>& scans, wchar_t composat) {
  std::vector<INPUT_RECORD> v{Registre(VK_MENU, 0x38, 0, LEFT_ALT_PRESSED, true)};
  for (WORD s : scans) {
    v.push_back(Registre(VK_CLEAR, s, 0, LEFT_ALT_PRESSED, true));
    v.push_back(Registre(VK_CLEAR, s, 0, LEFT_ALT_PRESSED, false));
  }
  v.push_back(Registre(VK_MENU, 0x38, composat, 0, false));
  return v;
}

// What Windows queues when the window (and with it the buffer) changes size.
INPUT_RECORD Mida(SHORT amplada, SHORT alcada) {
  INPUT_RECORD r{};
  r.EventType = WINDOW_BUFFER_SIZE_EVENT;
  r.Event.WindowBufferSizeEvent.dwSize = COORD{amplada, alcada};
  return r;
}

class ConsolaWin : public ::testing::Test {
 protected:
  void SetUp() override {
    entrada = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    sortida = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(GetConsoleMode(entrada, &mode_entrada)) << "the test needs a console (run it in a terminal)";
    ASSERT_TRUE(GetConsoleMode(sortida, &mode_sortida));
    FlushConsoleInputBuffer(entrada);
    ReiniciarTecles();
    plat::ReiniciarSistema();
    con = std::make_unique<ConsolaWindows>(entrada, sortida);
    ASSERT_TRUE(con->Oberta());
    plat::FixarConsola(con.get());
  }
  void TearDown() override {
    plat::FixarConsola(nullptr);
    con.reset();
    ReiniciarTecles();
    plat::ReiniciarSistema();
    CloseHandle(entrada);
    CloseHandle(sortida);
  }

  void Injectar(const std::vector<INPUT_RECORD>& v) {
    DWORD n = 0;
    ASSERT_TRUE(WriteConsoleInputW(entrada, v.data(), static_cast<DWORD>(v.size()), &n));
    ASSERT_EQ(n, v.size());
  }

  // The keys the key reader returns for the records, up to the end marker 'z'.
  std::vector<int> Llegir(const std::vector<INPUT_RECORD>& v) {
    std::vector<INPUT_RECORD> tot = v;
    for (const INPUT_RECORD& r : Premer({'Z', 0x2C, L'z'}, 0)) tot.push_back(r);
    Injectar(tot);
    std::vector<int> tecles;
    for (int i = 0; i < 10; ++i) {
      const int t = static_cast<uint16_t>(EsperarTecla());
      if (t == 'z') break;
      tecles.push_back(t);
    }
    return tecles;
  }

  // What the buffer holds at (fila, col), read back with ReadConsoleOutputW.
  CHAR_INFO Llegida(HANDLE h, int fila, int col) {
    CHAR_INFO ci{};
    SMALL_RECT r{static_cast<SHORT>(col), static_cast<SHORT>(fila), static_cast<SHORT>(col), static_cast<SHORT>(fila)};
    EXPECT_TRUE(ReadConsoleOutputW(h, &ci, COORD{1, 1}, COORD{0, 0}, &r));
    return ci;
  }
  HANDLE Pantalla() { return static_cast<HANDLE>(con->Pantalla()); }
  // The buffer the console shows now.
  HANDLE Activa() {
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
  }

  HANDLE entrada = INVALID_HANDLE_VALUE;
  HANDLE sortida = INVALID_HANDLE_VALUE;
  DWORD mode_entrada = 0;
  DWORD mode_sortida = 0;
  std::unique_ptr<ConsolaWindows> con;
};

TEST_F(ConsolaWin, CellesEscritesEsLlegeixenIguals) {
  struct Cas {
    int fila, col;
    Cella cel;
  };
  const Cas casos[] = {
      {0, 0, {'A', 0x07}},     {0, 79, {0xC9, 0x1F}},  // box corner, white on blue
      {12, 40, {0x10, 0x4E}},  {12, 41, {0x11, 0x4E}},  // list pointers
      {24, 0, {0xD5, 0x70}},   {24, 79, {0x82, 0x0F}},  // euro sign, e acute
      {5, 10, {0xB0, 0x87}},   {6, 10, {0x00, 0x00}},
  };
  for (const Cas& c : casos) con->EscriureCella(c.fila, c.col, c.cel);
  con->Refrescar();
  for (const Cas& c : casos) {
    const CHAR_INFO ci = Llegida(Pantalla(), c.fila, c.col);
    EXPECT_EQ(static_cast<char32_t>(ci.Char.UnicodeChar), plat::Cp850AUnicode(c.cel.car)) << c.fila << "," << c.col;
    EXPECT_EQ(ci.Attributes & 0xFF, c.cel.atr) << c.fila << "," << c.col;
  }
}

TEST_F(ConsolaWin, NomesEsEscriuElQueHaCanviat) {
  struct Cas {
    const char* nom;
    std::vector<std::pair<int, int>> canvis;
    long long celles;
  };
  const Cas casos[] = {
      {"nothing changed", {}, 0},
      {"one cell", {{3, 7}}, 1},
      {"two cells on one row: the stretch between them", {{4, 3}, {4, 10}}, 8},
      {"two rows", {{1, 0}, {20, 79}}, 2},
  };
  con->Omplir(Cella{' ', 0x1F});
  con->Refrescar();
  EXPECT_EQ(con->CellesEscrites(), con->Amplada() * con->Alcada());  // the first paint is whole
  uint8_t car = 'a';
  for (const Cas& c : casos) {
    for (auto [f, k] : c.canvis) con->EscriureCella(f, k, Cella{car, 0x1F});
    const long long abans = con->CellesEscrites();
    con->Refrescar();
    EXPECT_EQ(con->CellesEscrites() - abans, c.celles) << c.nom;
    for (auto [f, k] : c.canvis) EXPECT_EQ(Llegida(Pantalla(), f, k).Char.UnicodeChar, car) << c.nom;
    ++car;
  }
}

TEST_F(ConsolaWin, CursorPosicioIMida) {
  struct Cas {
    int fila, col, mida;
    bool visible;
  };
  const Cas casos[] = {{5, 10, 100, true}, {24, 79, 25, true}, {7, 3, 0, false}, {con->Alcada(), 3, 25, false}};  // hidden, then below the screen
  for (const Cas& c : casos) {
    con->PosarCursor(c.fila, c.col);
    con->MidaCursor(c.mida);
    con->Refrescar();
    CONSOLE_CURSOR_INFO ci{};
    ASSERT_TRUE(GetConsoleCursorInfo(Pantalla(), &ci));
    EXPECT_EQ(ci.bVisible != 0, c.visible) << c.fila << "," << c.col << " " << c.mida;
    if (!c.visible) continue;
    EXPECT_EQ(static_cast<int>(ci.dwSize), c.mida);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(Pantalla(), &info));
    EXPECT_EQ(info.dwCursorPosition.Y, c.fila);
    EXPECT_EQ(info.dwCursorPosition.X, c.col);
  }
}

TEST_F(ConsolaWin, TaulaDeTecles) {
  struct Cas {
    std::string nom;
    std::vector<INPUT_RECORD> registres;
    std::vector<int> codis;
  };
  std::vector<Cas> casos;
  // F1..F12 plain and with Shift, Ctrl, Alt.
  const struct {
    const char* nom;
    unsigned mods;
    int f1_10, f11_12;
  } plecs[] = {{"", 0, 0, 0}, {"Shift+", kShift, 0x1900, 0x0200}, {"Ctrl+", kCtrl, 0x2300, 0x0400},
               {"Alt+", kAlt, 0x2D00, 0x0600}};
  for (const auto& p : plecs) {
    for (int i = 0; i < 12; ++i) {
      const WORD scan = static_cast<WORD>(i < 10 ? 0x3B + i : 0x57 + (i - 10));
      const int base = i < 10 ? (0x3B + i) << 8 : 0x8500 + ((i - 10) << 8);
      casos.push_back({std::string(p.nom) + "F" + std::to_string(i + 1),
                       Premer({static_cast<WORD>(VK_F1 + i), scan, 0}, p.mods),
                       {base + (i < 10 ? p.f1_10 : p.f11_12)}});
    }
  }
  const std::vector<Cas> resta = {
      {"Ctrl+Left", Premer({VK_LEFT, 0x4B, 0, true}, kCtrl), {0x7300}},
      {"Ctrl+Right", Premer({VK_RIGHT, 0x4D, 0, true}, kCtrl), {0x7400}},
      {"Ctrl+Home", Premer({VK_HOME, 0x47, 0, true}, kCtrl), {0x7700}},
      {"Alt+X", Premer({'X', 0x2D, L'x'}, kAlt), {0x2D00}},
      {"Alt+C", Premer({'C', 0x2E, L'c'}, kAlt), {0x2E00}},
      {"Alt+F", Premer({'F', 0x21, L'f'}, kAlt), {0x2100}},
      {"Alt+E", Premer({'E', 0x12, L'e'}, kAlt), {0xD5}},
      {"Alt+1", Premer({'1', 0x02, L'1'}, kAlt), {0x7800}},
      {"Insert", Premer({VK_INSERT, 0x52, 0, true}, 0), {0x5200}},
      {"Delete", Premer({VK_DELETE, 0x53, 0, true}, 0), {0x5300}},
      {"Tab", Premer({VK_TAB, 0x0F, L'\t'}, 0), {0x09}},
      {"Shift+Tab", Premer({VK_TAB, 0x0F, L'\t'}, kShift), {0x0F00}},
      {"Escape", Premer({VK_ESCAPE, 0x01, 0x1B}, 0), {0x1B}},
      {"Escape without its character, as wine sends it", Premer({VK_ESCAPE, 0x01, 0}, 0), {0x1B}},
      {"Backspace without its character", Premer({VK_BACK, 0x0E, 0}, 0), {0x08}},
      {"Home without its scan code, as wine sends it", Premer({VK_HOME, 0, 0, true}, 0), {0x4700}},
      {"End without its scan code", Premer({VK_END, 0, 0, true}, 0), {0x4F00}},
      {"Enter", Premer({VK_RETURN, 0x1C, L'\r'}, 0), {0x0D}},
      {"keypad Enter", Premer({VK_RETURN, 0x1C, L'\r', true}, 0), {0x0D}},
      {"Up", Premer({VK_UP, 0x48, 0, true}, 0), {0x4800}},
      {"Down", Premer({VK_DOWN, 0x50, 0, true}, 0), {0x5000}},
      {"Page Up", Premer({VK_PRIOR, 0x49, 0, true}, 0), {0x4900}},
      {"Page Down", Premer({VK_NEXT, 0x51, 0, true}, 0), {0x5100}},
      {"End", Premer({VK_END, 0x4F, 0, true}, 0), {0x4F00}},
      {"keypad 5, Num Lock off", Premer({VK_CLEAR, 0x4C, 0}, 0), {0x4C00}},
      {"keypad 8, Num Lock on", Premer({VK_NUMPAD8, 0x48, L'8'}, 0), {'8'}},
      {"Shift+A", Premer({'A', 0x1E, L'A'}, kShift), {'A'}},
      {"Ctrl+B", Premer({'B', 0x30, 2}, kCtrl), {0x02}},
      {"Ctrl+C is a key", Premer({'C', 0x2E, 3}, kCtrl), {0x03}},
      {"e acute to code page 850", Premer({VK_OEM_7, 0x28, L'\u00E9'}, 0), {0x82}},
      {"AltGr+E types the euro sign", Premer({'E', 0x12, L'\u20AC'}, kAltGr), {0xD5}},
      {"AltGr+2 types @", Premer({'2', 0x03, L'@'}, kAltGr), {'@'}},
      {"a character outside code page 850 is dropped", Premer({'L', 0x26, L'\u0142'}, 0), {}},
      {"a dead key waits for its letter",
       [] {
         auto v = Premer({VK_OEM_1, 0x1A, 0}, 0);
         auto e = Premer({'E', 0x12, L'\u00E8'}, 0);
         v.insert(v.end(), e.begin(), e.end());
         return v;
       }(),
       {0x8A}},
      {"repeat count", {Registre('A', 0x1E, L'a', 0, true, 3)}, {'a', 'a', 'a'}},
      {"Alt + keypad 1 3 0", AltTeclat({0x4F, 0x51, 0x52}, L'\u00E9'), {130}},
      {"Alt + keypad 3 0 0", AltTeclat({0x51, 0x52, 0x52}, L','), {44}},
  };
  casos.insert(casos.end(), resta.begin(), resta.end());
  for (const Cas& c : casos) {
    ReiniciarTecles();
    std::vector<int> codis = Llegir(c.registres);
    EXPECT_EQ(codis, c.codis) << c.nom;
  }
}

TEST_F(ConsolaWin, ClicDelRatoli) {
  struct Cas {
    const char* nom;
    DWORD boto;
    int fila, col;  // 0-based in the console
    int codi;       // column * 256 + button * 64 + row, 1-based
  };
  const Cas casos[] = {
      {"left button", FROM_LEFT_1ST_BUTTON_PRESSED, 6, 29, 30 * 256 + 64 + 7},
      {"right button", RIGHTMOST_BUTTON_PRESSED, 0, 0, 1 * 256 + 128 + 1},
  };
  for (const Cas& c : casos) {
    ReiniciarTecles();
    con->Ratoli(true);
    con->Refrescar();
    DWORD mode = 0;
    ASSERT_TRUE(GetConsoleMode(entrada, &mode));
    EXPECT_TRUE(mode & ENABLE_MOUSE_INPUT) << c.nom;
    EXPECT_FALSE(mode & ENABLE_QUICK_EDIT_MODE) << c.nom;
    std::vector<INPUT_RECORD> v;
    for (DWORD botons : {DWORD{0}, c.boto, DWORD{0}}) {
      INPUT_RECORD r{};
      r.EventType = MOUSE_EVENT;
      r.Event.MouseEvent.dwMousePosition = COORD{static_cast<SHORT>(c.col), static_cast<SHORT>(c.fila)};
      r.Event.MouseEvent.dwButtonState = botons;
      r.Event.MouseEvent.dwEventFlags = v.empty() ? MOUSE_MOVED : 0;
      v.push_back(r);
    }
    Injectar(v);
    EXPECT_EQ(static_cast<uint16_t>(EsperarTecla()), c.codi) << c.nom;
  }
  // Mouse reporting off: the caller's quick edit setting is back.
  con->Ratoli(false);
  con->Refrescar();
  DWORD mode = 0;
  ASSERT_TRUE(GetConsoleMode(entrada, &mode));
  EXPECT_FALSE(mode & ENABLE_MOUSE_INPUT);
  EXPECT_EQ(mode & ENABLE_QUICK_EDIT_MODE, mode_entrada & ENABLE_QUICK_EDIT_MODE);
}

TEST_F(ConsolaWin, BuidarEntradaDescartaElQueEspera) {
  Injectar(Premer({'Q', 0x10, L'q'}, 0));
  con->BuidarEntrada();
  EXPECT_EQ(Llegir({}), std::vector<int>{});
}

TEST_F(ConsolaWin, LaConsolaDelQueCridaTornaEnAcabarIAlVoltantDUnFill) {
  // A mark in the caller's buffer, which must be what the console shows again.
  CHAR_INFO marca{};
  marca.Char.UnicodeChar = L'K';
  marca.Attributes = 0x2E;
  SMALL_RECT r{0, 0, 0, 0};
  ASSERT_TRUE(WriteConsoleOutputW(sortida, &marca, COORD{1, 1}, COORD{0, 0}, &r));
  CONSOLE_CURSOR_INFO cursor{};
  ASSERT_TRUE(GetConsoleCursorInfo(sortida, &cursor));
  const UINT cp = GetConsoleCP(), cp_sortida = GetConsoleOutputCP();

  struct Estat {
    wchar_t car;
    DWORD mode_entrada;
  };
  auto Mirar = [&]() {
    HANDLE h = Activa();
    Estat e{Llegida(h, 0, 0).Char.UnicodeChar, 0};
    CloseHandle(h);
    GetConsoleMode(entrada, &e.mode_entrada);
    return e;
  };
  auto CallerIgual = [&](const char* quan) {
    const Estat e = Mirar();
    EXPECT_EQ(e.car, L'K') << quan;
    EXPECT_EQ(e.mode_entrada, mode_entrada) << quan;
    DWORD m = 0;
    GetConsoleMode(sortida, &m);
    EXPECT_EQ(m, mode_sortida) << quan;
    CONSOLE_CURSOR_INFO ci{};
    GetConsoleCursorInfo(sortida, &ci);
    EXPECT_EQ(ci.dwSize, cursor.dwSize) << quan;
    EXPECT_EQ(ci.bVisible, cursor.bVisible) << quan;
    EXPECT_EQ(GetConsoleCP(), cp) << quan;
    EXPECT_EQ(GetConsoleOutputCP(), cp_sortida) << quan;
  };

  // A child started before anything was shown (a run without the dialog) gets Ctrl+C back.
  con->Suspendre();
  CallerIgual("a child before the dialog");
  con->Reprendre();
  EXPECT_EQ(Mirar().car, L'K') << "nothing shown yet: the caller's screen stays";
  EXPECT_FALSE(Mirar().mode_entrada & ENABLE_PROCESSED_INPUT);

  con->Omplir(Cella{'*', 0x1F});
  con->Refrescar();
  Estat e = Mirar();
  EXPECT_EQ(e.car, L'*');
  EXPECT_FALSE(e.mode_entrada & ENABLE_PROCESSED_INPUT) << "Ctrl+C must reach the dialog as a key";
  EXPECT_TRUE(e.mode_entrada & ENABLE_WINDOW_INPUT);

  con->Suspendre();
  CallerIgual("while a child runs");
  // The child leaves code pages changed and writes over our buffer.
  SetConsoleOutputCP(cp_sortida == 437 ? 850 : 437);
  CHAR_INFO brossa{};
  brossa.Char.UnicodeChar = L'#';
  brossa.Attributes = 0x07;
  ASSERT_TRUE(WriteConsoleOutputW(Pantalla(), &brossa, COORD{1, 1}, COORD{0, 0}, &r));
  con->Reprendre();
  EXPECT_EQ(Mirar().car, L'*') << "repainted after the child";

  con->Restaurar();
  CallerIgual("at the end");
}

TEST_F(ConsolaWin, FinestraPetitaMostraElMissatgeIDespresElDialeg) {
  con->Omplir(Cella{'*', 0x1F});
  con->Refrescar();
  // Shrink the window to 60 x 20, as a user dragging its border would.
  SMALL_RECT petita{0, 0, 59, 19};
  if (!SetConsoleWindowInfo(Pantalla(), TRUE, &petita)) GTEST_SKIP() << "this console cannot resize its window";
  Injectar({Mida(60, 20)});
  plat::Esdeveniment e;
  Injectar(Premer({VK_RETURN, 0x1C, L'\r'}, 0));
  EXPECT_FALSE(con->LlegirEsdeveniment(e, 200)) << "no size news and no blind keys under 80 x 25";
  std::wstring fila;
  const std::string& missatge = plat::MissatgeMida();
  for (int f = 0; f < 20; ++f) {
    std::wstring s;
    for (int c = 0; c < 60; ++c) s += Llegida(Pantalla(), f, c).Char.UnicodeChar;
    if (s.find(L"80 x 25") != std::wstring::npos) fila = s;
  }
  EXPECT_FALSE(fila.empty()) << "the small-window message: " << missatge;
  EXPECT_EQ(fila.find(L'*'), std::wstring::npos);

  ASSERT_TRUE(SetConsoleScreenBufferSize(Pantalla(), COORD{80, 25}));
  SMALL_RECT gran{0, 0, 79, 24};
  ASSERT_TRUE(SetConsoleWindowInfo(Pantalla(), TRUE, &gran));
  Injectar({Mida(80, 25)});
  ASSERT_TRUE(con->LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.tipus, plat::TipusEsdeveniment::Mida);
  EXPECT_EQ(e.col, 80);
  EXPECT_EQ(e.fila, 25);
  EXPECT_EQ(Llegida(Pantalla(), 10, 10).Char.UnicodeChar, L'*');
  EXPECT_EQ(Llegida(Pantalla(), 24, 79).Char.UnicodeChar, L'*');
}

TEST_F(ConsolaWin, CtrlCICtrlInterNoInterrompen) {
  // Handled (the default handler would end the program); typed, Ctrl+C is a key.
  EXPECT_TRUE(plat::ControlConsola(CTRL_C_EVENT));
  EXPECT_TRUE(plat::ControlConsola(CTRL_BREAK_EVENT));
  EXPECT_FALSE(plat::SessioAcabant());
  EXPECT_EQ(Llegir(Premer({'C', 0x2E, 3}, kCtrl)), std::vector<int>{3});
}

TEST_F(ConsolaWin, TancarLaFinestraAcabaComEscapadaIDonaLaConsola) {
  struct Cas {
    const char* nom;
    DWORD tipus;
  };
  const Cas casos[] = {{"close", CTRL_CLOSE_EVENT}, {"logoff", CTRL_LOGOFF_EVENT}, {"shutdown", CTRL_SHUTDOWN_EVENT}};
  for (const Cas& c : casos) {
    plat::ReiniciarSistema();
    con.reset();
    con = std::make_unique<ConsolaWindows>(entrada, sortida);
    ASSERT_TRUE(con->Oberta());
    plat::FixarConsola(con.get());
    con->Omplir(Cella{'*', 0x1F});
    con->Refrescar();
    // The system calls the handler on a thread of its own while the dialog waits for a key.
    DWORD inici = GetTickCount();
    std::thread sistema([&] { EXPECT_TRUE(plat::ControlConsola(c.tipus)) << c.nom; });
    plat::Esdeveniment e;
    EXPECT_TRUE(con->LlegirEsdeveniment(e, 3000)) << c.nom;
    EXPECT_EQ(e.car, 0x1B) << c.nom;
    EXPECT_TRUE(plat::SessioAcabant()) << c.nom;
    con->Restaurar();  // what the program's way out does
    sistema.join();
    EXPECT_LT(GetTickCount() - inici, 3000u) << c.nom << ": the handler waited for the way out, not its limit";
    HANDLE h = Activa();
    EXPECT_NE(Llegida(h, 0, 0).Char.UnicodeChar, L'*') << c.nom << ": the caller's buffer is shown again";
    CloseHandle(h);
    DWORD mode = 0;
    GetConsoleMode(entrada, &mode);
    EXPECT_EQ(mode, mode_entrada) << c.nom;
  }
}

}  // namespace
