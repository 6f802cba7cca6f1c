// INI files of the suite: one value read, one value set or removed per call.
#pragma once
#include <memory>
#include <string>
#include <vector>

// Value of key in section of the file; "" when the file, section or key is missing.
std::string LlegirIni(const std::string& fitxer, const std::string& seccio, const std::string& clau);
// Several values of one file, opened once: each exactly what LlegirIni would return for
// that section and key at that moment.
struct ClauIni {
  std::string seccio, clau;
};
std::vector<std::string> LlegirIniVaris(const std::string& fitxer, const std::vector<ClauIni>& claus);
// One file open for lookups that depend on each other: each Valor is exactly what
// LlegirIni would return for that section and key at that moment. A small file is read once.
class IniObert {
 public:
  explicit IniObert(const std::string& fitxer);
  ~IniObert();
  IniObert(const IniObert&) = delete;
  IniObert& operator=(const IniObert&) = delete;
  std::string Valor(const std::string& seccio, const std::string& clau);

 private:
  struct Estat;
  std::unique_ptr<Estat> e_;
};
// Sets key = value in section (an empty value removes the key). Creates the file.
void EscriureIni(const std::string& fitxer, const std::string& seccio, const std::string& clau,
                 const std::string& valor);
// Removes the header of the first section of that name when the section holds no line of
// its own any more (a request whose keys were taken out). A missing file stays missing.
void TreureSeccioBuidaIni(const std::string& fitxer, const std::string& seccio);
// Flush each rewrite to disk before it replaces the file (true). Fuzzing turns it off.
extern bool IniSincronitzarDisc;
// Use the widest vector scan the processor has when looking for a key (true). Tests turn
// it off to cover the narrower scan too.
extern bool IniEscaneigAmple;
