// A record manager kept in memory for tests: indexed files with binary, string and
// alternate-collation key segments, reads by key, moves, positions, Stat, locks held by
// another user, and a log of every call with its buffers.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SegmentMemoria {
  uint16_t desplacament = 0;  // offset in the record
  uint16_t longitud = 0;
  uint16_t indicadors = 0;    // 4 binary, 32 alternate collation (16 is set by the manager)
};

struct FitxerMemoria {
  uint16_t longRegistre = 0;
  uint16_t pagina = 512;
  std::vector<std::vector<SegmentMemoria>> claus;
  std::string taulaAlternativa;  // 256 bytes, or "" for none
  std::map<uint32_t, std::string> registres;  // position -> record
  // Locks held by another user: position -> attempts still refused (-1 = for ever).
  std::map<uint32_t, int> bloquejats;
  int fitxerBloquejat = 0;  // attempts still refused with "file locked"
};

struct CridaMemoria {
  int16_t operacio = 0;
  int32_t longDades = 0;
  int16_t longClau = 0;
  int16_t numClau = 0;
  std::string dades;  // the data buffer as passed (first longDades bytes)
  std::string clau;   // the whole key buffer as passed
};

class GestorMemoria {
 public:
  // Adds a file; its number goes into a position block with Obrir.
  int AfegirFitxer(FitxerMemoria f);
  void Obrir(unsigned char* bloc, int fitxer) const;
  FitxerMemoria& Fitxer(int n) { return fitxers_.at(static_cast<size_t>(n - 1)); }

  int16_t operator()(int16_t op, unsigned char* bloc, char* dades, int32_t& longDades, char* clau, int16_t longClau,
                     int16_t numClau);

  // Key of a record, and the order of the manager's index.
  std::string Clau(const FitxerMemoria& f, int k, const std::string& registre) const;
  bool Menor(const FitxerMemoria& f, int k, const std::string& a, const std::string& b) const;

  std::vector<CridaMemoria> crides;

 private:
  std::vector<FitxerMemoria> fitxers_;
};
