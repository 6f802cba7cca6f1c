#include "platform/fitxer_obert.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/posix/carpeta.h"

namespace plat {

namespace {

int64_t MsMonotons() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

FitxerObert::~FitxerObert() {
  if (fd_ >= 0) close(fd_);
}

FitxerObert::FitxerObert(FitxerObert&& o) noexcept : fd_(o.fd_), mida_(o.mida_) { o.fd_ = -1; }

FitxerObert& FitxerObert::operator=(FitxerObert&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) close(fd_);
    fd_ = o.fd_;
    mida_ = o.mida_;
    o.fd_ = -1;
  }
  return *this;
}

int64_t FitxerObert::Llegir(char* p, size_t n) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t r = read(fd_, p, n);
    if (r < 0 && errno == EINTR) continue;
    return r;
  }
}

bool FitxerObert::EscriureTot(const char* p, size_t n) {
  if (fd_ < 0) return false;
  while (n > 0) {
    const ssize_t r = write(fd_, p, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

bool FitxerObert::Situar(int64_t posicio) {
  return fd_ >= 0 && lseek(fd_, static_cast<off_t>(posicio), SEEK_SET) == posicio;
}

bool FitxerObert::Truncar() {
  if (fd_ < 0) return false;
  const off_t pos = lseek(fd_, 0, SEEK_CUR);
  return pos >= 0 && ftruncate(fd_, pos) == 0;
}

bool FitxerObert::Sincronitzar() { return fd_ >= 0 && fsync(fd_) == 0; }

bool FitxerObert::Tancar() {
  if (fd_ < 0) return false;
  const int r = close(fd_);
  fd_ = -1;
  return r == 0;
}

bool FitxerObert::BloquejarExclusiu(int esperaMs) {
  if (fd_ < 0) return false;
  const int64_t limit = MsMonotons() + esperaMs;
  for (;;) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (MsMonotons() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

bool FitxerObert::MateixFitxer(const std::string& host) const {
  struct stat a, b;
  return fd_ >= 0 && fstat(fd_, &a) == 0 && stat(host.c_str(), &b) == 0 && a.st_ino == b.st_ino &&
         a.st_dev == b.st_dev;
}

void FitxerObert::SoltarContingut() {}  // the lock belongs to the descriptor

namespace {

// A descriptor of a regular file, or -1: a FIFO, device or folder is refused without
// waiting on it (O_NONBLOCK, which a regular file ignores, so it is left on: two calls
// saved per file). Its size goes to *mida.
int ObrirRegular(const std::string& host, int modes, int64_t* mida = nullptr) {
  const int fd = open(host.c_str(), modes | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  if (mida) *mida = st.st_size;
  return fd;
}

}  // namespace

FitxerObert ObrirLectura(const std::string& host, bool crear) {
  int64_t mida = -1;
  FitxerObert f(ObrirRegular(host, O_RDONLY | (crear ? O_CREAT : 0), &mida));
  f.mida_ = mida;
  return f;
}

FitxerObert ObrirEscriptura(const std::string& host, bool crear) {
  return FitxerObert(ObrirRegular(host, O_WRONLY | (crear ? O_CREAT : 0)));
}

FitxerObert CrearExclusiu(const std::string& host, bool* jaExisteix) {
  const int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (jaExisteix) *jaExisteix = fd < 0 && errno == EEXIST;
  return FitxerObert(fd);
}

bool CopiarPermisos(const FitxerObert& origen, FitxerObert& desti) {
  struct stat st;
  return origen.fd_ >= 0 && desti.fd_ >= 0 && fstat(origen.fd_, &st) == 0 && fchmod(desti.fd_, st.st_mode & 07777) == 0;
}

bool ReanomenarAtomic(const std::string& de, const std::string& a) { return rename(de.c_str(), a.c_str()) == 0; }

bool EsborrarFitxer(const std::string& host) { return unlink(host.c_str()) == 0; }

void SincronitzarCarpeta(const std::string& carpeta) {
  const int fd = open(carpeta.empty() ? "." : carpeta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool NomsCarpeta(const std::string& carpeta, std::vector<std::string>& noms) {
  noms.clear();
  return RecorrerCarpeta(carpeta, [&](const char* nom, int) {
    if (std::strcmp(nom, ".") != 0 && std::strcmp(nom, "..") != 0) noms.emplace_back(nom);
    return true;
  });
}

}  // namespace plat
