// The names in a host folder, one by one. On Linux the entries are read straight into a
// block on the stack: opendir's 32 KB heap block spreads a short run's heap over pages it
// must then fault in, one per folder looked at.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace plat {

// Calls f(name, folder descriptor) for each entry ("." and ".." included) until f returns
// false; false when the folder cannot be opened.
template <class F>
bool RecorrerCarpeta(const std::string& carpeta, F&& f) {
  const char* nom = carpeta.empty() ? "." : carpeta.c_str();
#if defined(__linux__)
  const int fd = open(nom, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  alignas(dirent64) char buf[4096];
  for (bool segueix = true; segueix;) {
    const ssize_t n = getdents64(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t i = 0; i < n && segueix;) {
      const dirent64* e = reinterpret_cast<const dirent64*>(buf + i);
      segueix = f(static_cast<const char*>(e->d_name), fd);
      i += e->d_reclen;
    }
  }
  close(fd);
#else
  DIR* d = opendir(nom);
  if (!d) return false;
  while (const dirent* e = readdir(d))
    if (!f(static_cast<const char*>(e->d_name), dirfd(d))) break;
  closedir(d);
#endif
  return true;
}

}  // namespace plat
