// Windows half of the system layer: environment, clock, process start, clipboard, the
// Insert toggle of the keyboard state table.
#include "platform/sistema.h"

#include <windows.h>

#include <vector>

#include "platform/consola.h"
#include "platform/cp850.h"
#include "platform/host.h"
#include "platform/windows/text.h"

namespace plat {

namespace {
std::function<void(const std::string&)> g_copia_terminal;
// The clipboard is a shared resource another program may hold for a moment.
constexpr int kIntentsPortaretalls = 20;
constexpr size_t kMaxPortaretalls = 1u << 20;

bool ObrirPortaretalls() {
  for (int i = 0; i < kIntentsPortaretalls; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(5);
  }
  return false;
}
}  // namespace

std::string host::Entorn(const std::string& nom) {
  const std::wstring w = Cp850AAmple(nom);
  if (w.empty()) return std::string();
  std::wstring v(256, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(w.c_str(), v.data(), static_cast<DWORD>(v.size()));
    if (n == 0) return std::string();
    if (n < v.size()) {
      v.resize(n);
      return AmpleACp850(v);
    }
    v.resize(n);
  }
}

Moment host::Ara() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  Moment m;
  m.any = t.wYear;
  m.mes = t.wMonth;
  m.dia = t.wDay;
  m.hora = t.wHour;
  m.minut = t.wMinute;
  m.segon = t.wSecond;
  m.centesima = t.wMilliseconds / 10;
  return m;
}

bool host::Executar(const std::string& ordre) {
  // Windows splits the command text itself and searches for the program (an unquoted
  // path with spaces is tried word by word), so it goes over as given.
  std::wstring linia = Cp850AAmple(ordre);
  if (linia.empty()) return false;
  linia.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  Consola& c = ConsolaActual();
  c.Suspendre();
  const bool iniciat =
      CreateProcessW(nullptr, linia.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != 0;
  if (iniciat) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  c.Reprendre();
  return iniciat;
}

void FixarCopiaTerminal(std::function<void(const std::string&)> f) { g_copia_terminal = std::move(f); }

void CopiarPortaretalls(const std::string& cp850) {
  if (g_copia_terminal) g_copia_terminal(cp850);
  const std::wstring w = Cp850AAmple(cp850);
  if (!ObrirPortaretalls()) return;
  EmptyClipboard();
  const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* p = GlobalLock(g)) {
      memcpy(p, w.c_str(), bytes);
      GlobalUnlock(g);
      // Once set, the clipboard owns the memory.
      if (!SetClipboardData(CF_UNICODETEXT, g)) GlobalFree(g);
    } else {
      GlobalFree(g);
    }
  }
  CloseClipboard();
}

std::string LlegirPortaretalls() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !ObrirPortaretalls()) return std::string();
  std::wstring w;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      // The text ends at its NUL, within the block whatever the block holds.
      const size_t max = GlobalSize(h) / sizeof(wchar_t);
      size_t n = 0;
      while (n < max && n < kMaxPortaretalls && p[n]) ++n;
      w.assign(p, n);
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return AmpleACp850(w);
}

// The Insert toggle lives in the keyboard state table, where the suite's other programs
// look for it.
bool ModeInsercio() {
  BYTE estat[256];
  return GetKeyboardState(estat) && (estat[VK_INSERT] & 1);
}

void FixarModeInsercio(bool inserir) {
  BYTE estat[256];
  if (!GetKeyboardState(estat)) return;
  estat[VK_INSERT] = static_cast<BYTE>(inserir ? (estat[VK_INSERT] | 1) : (estat[VK_INSERT] & ~1));
  SetKeyboardState(estat);
}

std::string NomVariableTerminal() { return "TERM"; }
std::string CarpetaDocumentsHost() { return std::string(); }

void host::Reiniciar() { FixarModeInsercio(false); }

}  // namespace plat
