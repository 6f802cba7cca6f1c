// Open files on Windows: a HANDLE kept in the host-neutral member. Files are opened
// sharing read, write and delete, so other readers get in and a locked original can
// still be replaced by its new copy.
#include "platform/fitxer_obert.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include <chrono>
#include <thread>

#include "platform/windows/text.h"

namespace plat {

namespace {

constexpr DWORD kCompartir = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// FileRenameInfoEx of the Windows 10 SDK, not in every mingw-w64 header set.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
// How long a replace waits for another program to let go of the target.
constexpr int kEsperaReanomenarMs = 2000;

HANDLE H(intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }
intptr_t Fd(HANDLE h) { return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(h); }

int64_t MsMonotons() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool Identitat(HANDLE h, BY_HANDLE_FILE_INFORMATION& i) { return GetFileInformationByHandle(h, &i) != 0; }

}  // namespace

FitxerObert::~FitxerObert() {
  if (fd_ >= 0) CloseHandle(H(fd_));
  if (bloqueig_ >= 0) CloseHandle(H(bloqueig_));
}

FitxerObert::FitxerObert(FitxerObert&& o) noexcept
    : fd_(o.fd_), mida_(o.mida_), bloqueig_(o.bloqueig_), cami_(std::move(o.cami_)) {
  o.fd_ = -1;
  o.bloqueig_ = -1;
}

FitxerObert& FitxerObert::operator=(FitxerObert&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) CloseHandle(H(fd_));
    if (bloqueig_ >= 0) CloseHandle(H(bloqueig_));
    fd_ = o.fd_;
    mida_ = o.mida_;
    bloqueig_ = o.bloqueig_;
    cami_ = std::move(o.cami_);
    o.fd_ = -1;
    o.bloqueig_ = -1;
  }
  return *this;
}

int64_t FitxerObert::Llegir(char* p, size_t n) {
  if (fd_ < 0) return -1;
  DWORD llegits = 0;
  const DWORD demanats = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
  if (!ReadFile(H(fd_), p, demanats, &llegits, nullptr)) return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return llegits;
}

bool FitxerObert::EscriureTot(const char* p, size_t n) {
  if (fd_ < 0) return false;
  while (n > 0) {
    DWORD escrits = 0;
    const DWORD tros = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    if (!WriteFile(H(fd_), p, tros, &escrits, nullptr) || escrits == 0) return false;
    p += escrits;
    n -= escrits;
  }
  return true;
}

bool FitxerObert::Situar(int64_t posicio) {
  LARGE_INTEGER a, nova;
  a.QuadPart = posicio;
  return fd_ >= 0 && posicio >= 0 && SetFilePointerEx(H(fd_), a, &nova, FILE_BEGIN) && nova.QuadPart == posicio;
}

bool FitxerObert::Truncar() { return fd_ >= 0 && SetEndOfFile(H(fd_)); }

bool FitxerObert::Sincronitzar() { return fd_ >= 0 && FlushFileBuffers(H(fd_)); }

bool FitxerObert::Tancar() {
  if (bloqueig_ >= 0) CloseHandle(H(bloqueig_));
  bloqueig_ = -1;
  if (fd_ < 0) return false;
  const BOOL r = CloseHandle(H(fd_));
  fd_ = -1;
  return r != 0;
}

void FitxerObert::SoltarContingut() {
  if (bloqueig_ < 0 || fd_ < 0) return;  // without the companion the handle is the lock
  CloseHandle(H(fd_));
  fd_ = -1;
}

bool FitxerObert::BloquejarExclusiu(int esperaMs) {
  if (fd_ < 0) return false;
  // A file that is open cannot be replaced everywhere (wine, network shares, Windows
  // before 10): the lock lives in a companion file that stays, so the file itself can be
  // closed before its new copy is moved over it. Hidden, and never removed: removing it
  // would let two writers lock two different companions.
  if (bloqueig_ < 0 && !cami_.empty()) {
    const HANDLE b = CreateFileW(Ample(cami_ + ".lck").c_str(), GENERIC_READ | GENERIC_WRITE, kCompartir, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (b == INVALID_HANDLE_VALUE) return false;
    bloqueig_ = Fd(b);
  }
  const bool company = bloqueig_ >= 0;
  // While we wait, our handle on the file would stop the holder from replacing it: let go,
  // and open it again once the lock is ours.
  if (company) {
    CloseHandle(H(fd_));
    fd_ = -1;
  }
  const HANDLE quin = company ? H(bloqueig_) : H(fd_);
  const int64_t limit = MsMonotons() + esperaMs;
  bool bloquejat = false;
  for (;;) {
    // The whole range a file can have: the lock stands for the file, whatever its size.
    OVERLAPPED o{};
    if (LockFileEx(quin, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &o)) {
      bloquejat = true;
      break;
    }
    const DWORD e = GetLastError();
    if ((e != ERROR_LOCK_VIOLATION && e != ERROR_IO_PENDING) || MsMonotons() > limit) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!company) return true;
  // Open again whether or not the lock was taken: the file stays usable as before.
  const HANDLE h = CreateFileW(Ample(cami_).c_str(), GENERIC_READ, kCompartir, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    Tancar();
    return false;
  }
  fd_ = Fd(h);
  return bloquejat;
}

bool FitxerObert::MateixFitxer(const std::string& host) const {
  if (fd_ < 0) return false;
  const HANDLE altre = CreateFileW(Ample(host).c_str(), 0, kCompartir, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (altre == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a, b;
  const bool igual = Identitat(H(fd_), a) && Identitat(altre, b) &&
                     a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                     a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(altre);
  return igual;
}

FitxerObert ObrirLectura(const std::string& host, bool crear) {
  const HANDLE h = CreateFileW(Ample(host).c_str(), GENERIC_READ, kCompartir, nullptr, crear ? OPEN_ALWAYS : OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FitxerObert();
  // Folders cannot be opened this way; devices (CON, NUL, COM1, pipes) are refused here.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return FitxerObert();
  }
  FitxerObert f(Fd(h));
  f.cami_ = host;
  LARGE_INTEGER mida;
  if (GetFileSizeEx(h, &mida)) f.mida_ = mida.QuadPart;
  return f;
}

FitxerObert ObrirEscriptura(const std::string& host, bool crear) {
  const HANDLE h = CreateFileW(Ample(host).c_str(), GENERIC_WRITE, kCompartir, nullptr, crear ? OPEN_ALWAYS : OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FitxerObert();
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return FitxerObert();
  }
  return FitxerObert(Fd(h));
}

FitxerObert CrearExclusiu(const std::string& host, bool* jaExisteix) {
  const HANDLE h = CreateFileW(Ample(host).c_str(), GENERIC_READ | GENERIC_WRITE, kCompartir, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD e = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  if (jaExisteix) *jaExisteix = e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS;
  return FitxerObert(Fd(h));
}

bool CopiarPermisos(const FitxerObert& origen, FitxerObert& desti) {
  // Windows keeps permissions in the folder's inherited ACL; only the read-only and hidden
  // bits travel with a file, and a new copy must stay writable until it is in place.
  return origen.fd_ >= 0 && desti.fd_ >= 0;
}

namespace {

// Rename with POSIX semantics (Windows 10 1709 and later, NTFS): the target may be open
// in other handles that share delete, as the INI writer's locked original is. Flushed
// before, so the new name never stands for unwritten data.
bool ReanomenarPosix(const std::wstring& de, const std::wstring& a) {
  std::wstring complet(MAX_PATH, L'\0');
  const DWORD n = GetFullPathNameW(a.c_str(), static_cast<DWORD>(complet.size()), complet.data(), nullptr);
  if (n == 0 || n >= complet.size()) return false;
  complet.resize(n);
  if (complet.rfind(L"\\\\", 0) == 0) return false;  // UNC paths: the plain call below
  complet = L"\\??\\" + complet;
  const HANDLE h = CreateFileW(de.c_str(), DELETE | SYNCHRONIZE | GENERIC_WRITE, kCompartir, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::vector<char> buf(sizeof(FILE_RENAME_INFO) + complet.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buf.data());
  info->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(complet.size() * sizeof(wchar_t));
  memcpy(info->FileName, complet.data(), info->FileNameLength);
  const bool ok = FlushFileBuffers(h) &&
                  SetFileInformationByHandle(h, kFileRenameInfoEx, info, static_cast<DWORD>(buf.size()));
  CloseHandle(h);
  return ok;
}

}  // namespace

bool ReanomenarAtomic(const std::string& de, const std::string& a) {
  const std::wstring w_de = Ample(de), w_a = Ample(a);
  if (ReanomenarPosix(w_de, w_a)) return true;
  const int64_t limit = MsMonotons() + kEsperaReanomenarMs;
  for (;;) {
    if (MoveFileExW(w_de.c_str(), w_a.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    // Another program (a virus scanner, an editor, a backup) holds the target open for
    // a moment: wait for it, within bounds.
    const DWORD e = GetLastError();
    if ((e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED && e != ERROR_LOCK_VIOLATION) ||
        MsMonotons() > limit)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool EsborrarFitxer(const std::string& host) { return DeleteFileW(Ample(host).c_str()) != 0; }

void SincronitzarCarpeta(const std::string&) {
  // MOVEFILE_WRITE_THROUGH already made the rename durable; Windows has no folder flush.
}

bool NomsCarpeta(const std::string& carpeta, std::vector<std::string>& noms) {
  noms.clear();
  std::string patro = carpeta.empty() ? std::string(".") : carpeta;
  if (patro.back() != '\\' && patro.back() != '/') patro += '\\';
  patro += '*';
  WIN32_FIND_DATAW d;
  const HANDLE h = FindFirstFileExW(Ample(patro).c_str(), FindExInfoBasic, &d, FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring nom = d.cFileName;
    if (nom == L"." || nom == L"..") continue;
    noms.push_back(Estret(nom));
  } while (FindNextFileW(h, &d));
  FindClose(h);
  return true;
}

}  // namespace plat
