// Path parts and forms, directory listings into work files, file times, drive types.
// Paths are Windows paths in CP850 ("\" separator, "/" accepted), mapped onto the host by
// the platform layer.
#pragma once
#include <cstdint>
#include <string>

#include "platform/fitxers.h"

// Names of the listing files made by this process, newest first, each followed by "|".
extern std::string FitxersLlistat;
// Attribute mask of the next listing: 1 read-only, 2 hidden, 4 system, 8 volume label,
// 16 directory, 32 ordinary file.
extern int16_t AtributsLlistat;

// Parts of a path chosen by mask, in this order: 1 drive, 2 directory, 4 name, 8 extension.
std::string PartsCami(int mascara, const std::string& cami);
// Long form (on-disk spelling) of an existing path; "" when it does not exist.
std::string CamiLlarg(const std::string& cami);
// Short form of an existing path, in capitals; "" when it does not exist.
std::string CamiCurt(const std::string& cami);
// Absolute directory path with drive letter and a trailing "\".
std::string CamiAbsolut(const std::string& cami);

// Lists the entries matching the pattern (folder + "*.*" and the like) under
// AtributsLlistat into a new listing file, which becomes the newest.
void LlistarDirectori(const std::string& patro);
// Next entry of the newest listing; true (and entry "") when there is none.
bool SeguentEntrada(std::string& entrada);
// Reads one entry of a listing file's bytes from the 1-based position, moving it past the
// line; "" when the position is outside the entries. Never reads outside the bytes.
std::string EntradaLlistat(const std::string& dades, uint32_t& posicio);

// Last-write time in UTC as YYYYMMDDhhmmss; "" when the file cannot be read.
std::string DataFitxer(const std::string& cami);
// Drive type code ("" when the drive is absent) and description.
std::string TipusUnitat(const std::string& unitat, std::string& descripcio);
// The same from what the host reports about the drive.
std::string CodiUnitat(char lletra, const plat::InfoUnitat& info, std::string& descripcio);

// Folder for listing files: TEMP, else TMPDIR, else /tmp.
std::string CarpetaLlistats();
// Deletes the listing files made so far and puts the state back (tests, and at exit).
void ReiniciarCamins();
