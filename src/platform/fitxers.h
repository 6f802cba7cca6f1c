// Files and paths. The program names files in their Windows form (drive letter,
// backslashes, CP850); this layer maps them onto the host.
//
// Drive map: environment KEVDRIVES, items "X=/host/folder" separated by ";". Without it
// C: is "/" and H: is the home folder. A path that starts with a separator is a host
// path. Every component is matched without regard to case when the exact name is absent.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/fitxer_obert.h"

namespace plat {

// Host path (UTF-8) for a program path. Components that do not exist are kept as given.
std::string CamiHost(const std::string& cami);
// Opens the file a program path names for reading, as ObrirLectura does: the path as
// spelled first, its names matched without regard to case only when that fails.
FitxerObert ObrirLecturaCami(const std::string& cami);
// Both program paths name one existing regular file, whatever their spelling.
bool MateixFitxer(const std::string& a, const std::string& b);
// Program path (Windows form, CP850) for a host path: through the drive map when a drive
// holds it, otherwise the host path with backslashes.
std::string CamiPrograma(const std::string& host);
// Folder a drive letter maps to ("" when unmapped).
std::string CarpetaUnitat(char lletra);
// Drive letters mapped, in order.
std::string UnitatsMapejades();
void RecarregarUnitats();  // after KEVDRIVES changes (tests)

// Attribute bits, as the suite knows them.
enum : uint16_t {
  kNomesLectura = 1,
  kOcult = 2,
  kSistema = 4,
  kEtiqueta = 8,
  kDirectori = 16,
  kArxiu = 32,
};

struct InfoFitxer {
  bool existeix = false;
  bool directori = false;
  uint16_t atributs = 0;  // hidden = name starts with '.'; read-only only where the host has it
  uint64_t mida = 0;
  int64_t modificat = 0;  // seconds since 1970, UTC
};
InfoFitxer Info(const std::string& cami);

struct EntradaDirectori {
  std::string nom;  // CP850; names that CP850 cannot hold are left out of listings
  uint16_t atributs = 0;
};
// Entries of a folder (without "." and ".."), in name order without regard to case, as
// Windows gives them; false when unreadable.
bool LlegirDirectori(const std::string& carpeta, std::vector<EntradaDirectori>& entrades);

// Whole-file reads and writes (binary). Read returns nullopt when the file cannot be opened;
// limit caps the bytes read.
std::optional<std::string> LlegirFitxer(const std::string& cami, size_t limit = SIZE_MAX);
bool EscriureFitxer(const std::string& cami, const std::string& dades);

int Esborrar(const std::string& cami);           // 0 done
int EsborrarDirectori(const std::string& cami);  // 0 done (empty folder)
int Reanomenar(const std::string& de, const std::string& a);  // replaces the target
bool CrearDirectori(const std::string& cami);

// Current directory of the process, in program form ("C:\DIR" style, no trailing "\"
// except at a root).
std::string DirectoriActual();
// Current directory of one drive: "" when the drive is not mapped.
std::string DirectoriActualUnitat(char lletra);
bool CanviarDirectori(const std::string& cami);

// Long form of an existing path: the same path with each part in its on-disk spelling
// (program form); "" when it does not exist.
std::string FormaLlarga(const std::string& cami);
// Short (8.3) form of an existing path where the file system keeps one; "" where the host
// has no short names (the long form in capitals stands for it then) or it does not exist.
std::string FormaCurta(const std::string& cami);

// Drive description from the host's mount table.
enum class TipusDisc { Desconegut, Extraible, Fix, Remot, CdRom, Ram };
struct InfoUnitat {
  TipusDisc tipus = TipusDisc::Desconegut;
  std::string etiqueta;   // volume label ("" when none)
  std::string remot;      // remote name for network drives
  std::string substitut;  // target of a substituted drive ("" when none)
};
InfoUnitat DescriureUnitat(char lletra);

}  // namespace plat
