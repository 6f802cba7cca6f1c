// Helpers for tests: a scratch folder that disappears, file contents in one call.
#pragma once
#include <string>

class CarpetaTemporal {
 public:
  CarpetaTemporal();
  ~CarpetaTemporal();
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

  // Host path of the folder, with a trailing "/".
  const std::string& Host() const { return host_; }
  // The folder as the program names it (a host path with backslashes, trailing "\").
  std::string Programa() const;
  // Writes / reads a file below the folder (relative host path, "/" separators).
  void Escriure(const std::string& relatiu, const std::string& dades) const;
  std::string Llegir(const std::string& relatiu) const;
  bool Existeix(const std::string& relatiu) const;
  // Number of entries directly in the folder (or a subfolder).
  int Entrades(const std::string& relatiu = "") const;

 private:
  std::string host_;
};
