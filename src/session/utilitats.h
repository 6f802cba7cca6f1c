// Small helpers shared by every subsystem.
#pragma once
#include <cstdint>
#include <string>

// Digits two to a byte, each byte 128 + the two-digit value.
std::string EmpaquetarDigits(const std::string& text);
std::string DesempaquetarDigits(const std::string& bytes);
// Decimal digits of the number (no sign), left-padded with "0", cut to the rightmost width.
std::string ZerosEsquerra(int amplada, int64_t numero);
// Every character of the text is c (an empty text counts).
bool TotIgual(const std::string& text, unsigned char c);

// Kinds for ExisteixCami (attribute bits of the suite).
enum : uint16_t {
  kCamiFitxer = 0,        // plain files (the default)
  kCamiNomesLectura = 1,
  kCamiOcult = 2,
  kCamiSistema = 4,
  kCamiDirectori = 16,
};
bool ExisteixCami(const std::string& cami, uint16_t tipus = kCamiFitxer);
// Deletes the file, or else the files of a folder of that name and the folder. 0 done.
int EsborrarCami(const std::string& cami);

// Leading decimal number of a text (after spaces, optional sign); 0 when none. Never throws.
int64_t ValorNumeric(const std::string& text);
// Text without trailing spaces / without spaces at both ends; padded or cut to n.
std::string SenseEspaisFinals(const std::string& s);
std::string Retallat(const std::string& s);
std::string Ajustat(const std::string& s, size_t n);
