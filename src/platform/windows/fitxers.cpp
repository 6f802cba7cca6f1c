// Files and paths on Windows. Program paths are already native: the host form is the
// same path in UTF-8 with backslashes, used with the W calls. Drives are the system's.
#include "platform/fitxers.h"

#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <cerrno>

#include "platform/cp850.h"
#include "platform/windows/text.h"

namespace plat {

namespace {

// 100 ns intervals from 1601 to 1970.
constexpr int64_t kDe1601A1970 = 116444736000000000LL;

int64_t SegonsUnix(const FILETIME& t) {
  const int64_t v = (static_cast<int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  const int64_t d = v - kDe1601A1970;
  return d >= 0 ? d / 10000000 : -((-d + 9999999) / 10000000);
}

uint16_t Atributs(DWORD a) {
  uint16_t r = (a & FILE_ATTRIBUTE_DIRECTORY) ? kDirectori : 0;
  if (a & FILE_ATTRIBUTE_READONLY) r |= kNomesLectura;
  if (a & FILE_ATTRIBUTE_HIDDEN) r |= kOcult;
  if (a & FILE_ATTRIBUTE_SYSTEM) r |= kSistema;
  if (a & FILE_ATTRIBUTE_ARCHIVE) r |= kArxiu;
  return r;
}

int Errno(DWORD e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    default: return EIO;
  }
}

// Program form (CP850) of a UTF-16 path.
std::string Programa(const std::wstring& w) { return AmpleACp850(w); }

std::wstring Arrel(char lletra) {
  return std::wstring{static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(lletra))), L':', L'\\'};
}

bool LletraValida(char lletra) { return std::isalpha(static_cast<unsigned char>(lletra)) != 0; }

// A buffer-filling W call that reports the size it needs.
template <typename F>
std::wstring Omplir(F crida) {
  std::wstring b(MAX_PATH, L'\0');
  for (int i = 0; i < 4; ++i) {
    const DWORD n = crida(b.data(), static_cast<DWORD>(b.size()));
    if (n == 0) return std::wstring();
    if (n < b.size()) {
      b.resize(n);
      return b;
    }
    b.resize(n + 1);
  }
  return std::wstring();
}

}  // namespace

std::string CamiHost(const std::string& cami_in) {
  std::string cami = cami_in;
  // Windows ignores trailing spaces of a path.
  while (!cami.empty() && cami.back() == ' ') cami.pop_back();
  std::string h = Cp850AUtf8(cami);
  std::replace(h.begin(), h.end(), '/', '\\');
  return h;
}

std::string CamiPrograma(const std::string& host) {
  std::string r = Utf8ACp850(host);
  std::replace(r.begin(), r.end(), '/', '\\');
  return r;
}

std::string CarpetaUnitat(char lletra) {
  if (!LletraValida(lletra)) return std::string();
  const int i = std::toupper(static_cast<unsigned char>(lletra)) - 'A';
  if (!(GetLogicalDrives() & (1u << i))) return std::string();
  return std::string{static_cast<char>('A' + i), ':', '\\'};
}

std::string UnitatsMapejades() {
  const DWORD m = GetLogicalDrives();
  std::string r;
  for (int i = 0; i < 26; ++i)
    if (m & (1u << i)) r += static_cast<char>('A' + i);
  return r;
}

void RecarregarUnitats() {}

FitxerObert ObrirLecturaCami(const std::string& cami) { return ObrirLectura(CamiHost(cami)); }

bool MateixFitxer(const std::string& a, const std::string& b) {
  const FitxerObert f = ObrirLectura(CamiHost(a));
  return f && f.MateixFitxer(CamiHost(b));
}

InfoFitxer Info(const std::string& cami) {
  InfoFitxer i;
  const std::string h = CamiHost(cami);
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (h.empty() || !GetFileAttributesExW(Ample(h).c_str(), GetFileExInfoStandard, &d)) return i;
  i.existeix = true;
  i.directori = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  i.atributs = Atributs(d.dwFileAttributes);
  i.mida = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  i.modificat = SegonsUnix(d.ftLastWriteTime);
  return i;
}

bool LlegirDirectori(const std::string& carpeta, std::vector<EntradaDirectori>& entrades) {
  entrades.clear();
  std::string h = CamiHost(carpeta);
  if (h.empty()) h = ".";
  if (h.back() != '\\' && h.back() != ':') h += '\\';
  WIN32_FIND_DATAW d;
  const HANDLE f = FindFirstFileExW(Ample(h + "*").c_str(), FindExInfoBasic, &d, FindExSearchNameMatch, nullptr, 0);
  if (f == INVALID_HANDLE_VALUE) {
    // An empty drive root has no "." entry to find.
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    const std::wstring nom = d.cFileName;
    if (nom == L"." || nom == L"..") continue;
    const std::string utf8 = Estret(nom);
    if (!Utf8Representable(utf8)) continue;
    entrades.push_back({Utf8ACp850(utf8), Atributs(d.dwFileAttributes)});
  } while (FindNextFileW(f, &d));
  FindClose(f);
  // NTFS gives names in order already, other file systems (FAT, network shares) do not.
  std::stable_sort(entrades.begin(), entrades.end(), [](const EntradaDirectori& a, const EntradaDirectori& b) {
    return CompareStringOrdinal(Cp850AAmple(a.nom).c_str(), -1, Cp850AAmple(b.nom).c_str(), -1, TRUE) ==
           CSTR_LESS_THAN;
  });
  return true;
}

std::optional<std::string> LlegirFitxer(const std::string& cami, size_t limit) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return std::nullopt;
  const HANDLE f = CreateFileW(Ample(h).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  if (GetFileType(f) != FILE_TYPE_DISK) {
    CloseHandle(f);
    return std::nullopt;
  }
  std::string s;
  char buf[65536];
  while (s.size() < limit) {
    DWORD n = 0;
    const DWORD voler = static_cast<DWORD>(std::min(sizeof buf, limit - s.size()));
    if (!ReadFile(f, buf, voler, &n, nullptr) || n == 0) break;
    s.append(buf, n);
  }
  CloseHandle(f);
  return s;
}

bool EscriureFitxer(const std::string& cami, const std::string& dades) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return false;
  const HANDLE f = CreateFileW(Ample(h).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  size_t fet = 0;
  bool ok = true;
  while (ok && fet < dades.size()) {
    DWORD n = 0;
    const DWORD tros = static_cast<DWORD>(std::min<size_t>(dades.size() - fet, 1u << 30));
    ok = WriteFile(f, dades.data() + fet, tros, &n, nullptr) && n > 0;
    fet += n;
  }
  return CloseHandle(f) && ok;
}

int Esborrar(const std::string& cami) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return ENOENT;
  const std::wstring w = Ample(h);
  const DWORD a = GetFileAttributesW(w.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
  return DeleteFileW(w.c_str()) ? 0 : Errno(GetLastError());
}

int EsborrarDirectori(const std::string& cami) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return ENOENT;
  return RemoveDirectoryW(Ample(h).c_str()) ? 0 : Errno(GetLastError());
}

int Reanomenar(const std::string& de, const std::string& a) {
  const std::string h1 = CamiHost(de), h2 = CamiHost(a);
  if (h1.empty() || h2.empty()) return ENOENT;
  return MoveFileExW(Ample(h1).c_str(), Ample(h2).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)
             ? 0
             : Errno(GetLastError());
}

bool CrearDirectori(const std::string& cami) {
  const std::string h = CamiHost(cami);
  return !h.empty() && CreateDirectoryW(Ample(h).c_str(), nullptr);
}

std::string DirectoriActual() {
  std::wstring w = Omplir([](wchar_t* b, DWORD n) { return GetCurrentDirectoryW(n, b); });
  return Programa(w);
}

std::string DirectoriActualUnitat(char lletra) {
  if (CarpetaUnitat(lletra).empty()) return std::string();
  // "X:" alone stands for that drive's current directory.
  const wchar_t unitat[3] = {static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(lletra))), L':', 0};
  std::wstring w = Omplir([&](wchar_t* b, DWORD n) { return GetFullPathNameW(unitat, n, b, nullptr); });
  if (w.empty()) return std::string(1, static_cast<char>(unitat[0])) + ":\\";
  // No trailing separator except at the root, as DirectoriActual.
  while (w.size() > 3 && w.back() == L'\\') w.pop_back();
  return Programa(w);
}

bool CanviarDirectori(const std::string& cami) {
  const std::string h = CamiHost(cami);
  return !h.empty() && SetCurrentDirectoryW(Ample(h).c_str());
}

InfoUnitat DescriureUnitat(char lletra) {
  InfoUnitat r;
  if (CarpetaUnitat(lletra).empty()) return r;
  const char l = static_cast<char>(std::toupper(static_cast<unsigned char>(lletra)));
  const char arrel[4] = {l, ':', '\\', 0};
  switch (GetDriveTypeA(arrel)) {
    case DRIVE_REMOVABLE: r.tipus = TipusDisc::Extraible; break;
    case DRIVE_FIXED: r.tipus = TipusDisc::Fix; break;
    case DRIVE_REMOTE: r.tipus = TipusDisc::Remot; break;
    case DRIVE_CDROM: r.tipus = TipusDisc::CdRom; break;
    case DRIVE_RAMDISK: r.tipus = TipusDisc::Ram; break;
    default: return r;
  }
  const wchar_t unitat[3] = {static_cast<wchar_t>(l), L':', 0};
  // A substituted drive's device is "\??\C:\folder".
  wchar_t dispositiu[1024];
  const DWORD n = QueryDosDeviceW(unitat, dispositiu, 1024);
  if (n > 0) {
    const std::wstring d(dispositiu);
    if (d.rfind(L"\\??\\", 0) == 0 && d.size() > 4) r.substitut = Programa(d.substr(4));
  }
  if (r.tipus == TipusDisc::Remot) {
    wchar_t remot[1024];
    DWORD mida = 1024;
    if (WNetGetConnectionW(unitat, remot, &mida) == NO_ERROR) r.remot = Programa(remot);
  }
  // Removable and CD drives without a medium would ask the operator: no label then.
  if (r.tipus == TipusDisc::Fix || r.tipus == TipusDisc::Remot || r.tipus == TipusDisc::Ram) {
    wchar_t etiqueta[MAX_PATH + 1] = {};
    const UINT abans = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (GetVolumeInformationW(Arrel(l).c_str(), etiqueta, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
      r.etiqueta = Programa(etiqueta);
    SetErrorMode(abans);
  }
  return r;
}

std::string FormaLlarga(const std::string& cami) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return std::string();
  // GetLongPathNameW expands short parts but keeps the capitals as typed: each part is
  // looked up instead, which gives its on-disk spelling either way.
  std::wstring w = Ample(h), r;
  size_t i = 0;
  if (w.size() >= 2 && w[1] == L':') i = 2;
  if (w.rfind(L"\\\\", 0) == 0) {  // \\server\share: kept as given
    size_t k = w.find(L'\\', 2);
    k = k == std::wstring::npos ? w.size() : w.find(L'\\', k + 1);
    i = k == std::wstring::npos ? w.size() : k;
  }
  r = w.substr(0, i);
  while (i < w.size()) {
    if (w[i] == L'\\') {
      r += L'\\';
      ++i;
      continue;
    }
    size_t j = w.find(L'\\', i);
    if (j == std::wstring::npos) j = w.size();
    const std::wstring part = w.substr(i, j - i);
    r += part;
    if (part != L"." && part != L"..") {
      WIN32_FIND_DATAW d;
      const HANDLE f = FindFirstFileExW(r.c_str(), FindExInfoBasic, &d, FindExSearchNameMatch, nullptr, 0);
      if (f == INVALID_HANDLE_VALUE) return std::string();
      FindClose(f);
      r.resize(r.size() - part.size());
      r += d.cFileName;
    }
    i = j;
  }
  return Programa(r);
}

std::string FormaCurta(const std::string& cami) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return std::string();
  const std::wstring w = Ample(h);
  return Programa(Omplir([&](wchar_t* b, DWORD n) { return GetShortPathNameW(w.c_str(), b, n); }));
}

}  // namespace plat
