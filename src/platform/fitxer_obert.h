// Open files of the host, for code that streams a file or replaces it safely. All paths
// here are host paths (as plat::CamiHost gives them), not program paths.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// One open file; closed when it goes out of scope. Default-constructed: not open.
class FitxerObert {
 public:
  FitxerObert() = default;
  ~FitxerObert();
  FitxerObert(FitxerObert&& o) noexcept;
  FitxerObert& operator=(FitxerObert&& o) noexcept;
  FitxerObert(const FitxerObert&) = delete;
  FitxerObert& operator=(const FitxerObert&) = delete;

  bool Obert() const { return fd_ >= 0; }
  explicit operator bool() const { return Obert(); }
  // The size when opened for reading (-1 when not known): a hint for sizing a buffer, as
  // the file may change afterwards.
  int64_t MidaEnObrir() const { return mida_; }

  // Up to n bytes at the current position: the count read, 0 at the end, -1 on error.
  // An interrupted call is retried.
  int64_t Llegir(char* p, size_t n);
  // All n bytes or false.
  bool EscriureTot(const char* p, size_t n);
  // Moves to an absolute offset.
  bool Situar(int64_t posicio);
  // Ends the file at the current position.
  bool Truncar();
  // Flushes the file's data to the disk.
  bool Sincronitzar();
  // Closes now; false when the close reported an error (data may not have been written).
  bool Tancar();

  // Exclusive advisory lock on the file (not the name), held until the file is closed.
  // Waits at most esperaMs (one attempt at least); false when it could not be taken.
  bool BloquejarExclusiu(int esperaMs);
  // True while path names this very file (it was not replaced or removed meanwhile).
  bool MateixFitxer(const std::string& host) const;
  // Lets go of the contents but keeps the lock until Tancar, so the file can be replaced
  // under it: needed where an open file cannot be replaced (Windows, whose lock then lives
  // in a hidden companion file "<name>.lck"); nothing elsewhere.
  void SoltarContingut();

 private:
  friend FitxerObert ObrirLectura(const std::string&, bool);
  friend FitxerObert ObrirEscriptura(const std::string&, bool);
  friend FitxerObert CrearExclusiu(const std::string&, bool*);
  friend bool CopiarPermisos(const FitxerObert&, FitxerObert&);
  explicit FitxerObert(intptr_t fd) : fd_(fd) {}
  intptr_t fd_ = -1;  // file descriptor, or the HANDLE on Windows
  int64_t mida_ = -1;
  // Windows only: the companion lock file's HANDLE and the file's host path.
  intptr_t bloqueig_ = -1;
  std::string cami_;
};

// Opens a regular file for reading, creating it empty first when crear is set. A FIFO,
// device or folder is refused without waiting on it: the result is then not open.
FitxerObert ObrirLectura(const std::string& host, bool crear = false);
// Opens a regular file for writing in place (nothing truncated), creating it empty first
// when crear is set; not open on failure.
FitxerObert ObrirEscriptura(const std::string& host, bool crear = false);
// Creates a new file for writing, readable only by its owner; not open when the name is
// taken (jaExisteix then true) or on any other failure.
FitxerObert CrearExclusiu(const std::string& host, bool* jaExisteix = nullptr);
// Gives desti the permission bits of origen.
bool CopiarPermisos(const FitxerObert& origen, FitxerObert& desti);
// Puts de in place of a (replacing it in one step); false on failure.
bool ReanomenarAtomic(const std::string& de, const std::string& a);
// Removes a file; false when it could not be removed.
bool EsborrarFitxer(const std::string& host);
// Makes the folder's entries (a create or rename in it) durable. "" is the current folder.
void SincronitzarCarpeta(const std::string& carpeta);
// The names in a folder ("" is the current folder), without "." and "..", in no order;
// false when the folder cannot be read.
bool NomsCarpeta(const std::string& carpeta, std::vector<std::string>& noms);

}  // namespace plat
