// Packed dates (YYYYMMDD, two digits a byte, 128 + value), arithmetic and texts.
#pragma once
#include <cstdint>
#include <string>

// Adds an amount of days ("D"), months ("M") or years ("A"), either case. Saturates at
// 31 December 9999 and, going back, at 1 January of year 0.
std::string DatSuma(const std::string& unitat, int32_t quantitat, const std::string& data);
// Distance in days, months or completed years, never negative; other units give 0.
int32_t DatDiferencia(const std::string& unitat, const std::string& data1, const std::string& data2);
// 1 = Monday ... 7 = Sunday.
int16_t DatDiaSetmana(const std::string& data);
// Display text: parts "dma", "dm", "m" (either case); style -1 ISO, 0 numeric,
// 1 abbreviated month, 2 or more long form in the session language.
std::string DatText(const std::string& parts, int16_t estil, const std::string& data);
// Packed date for year, month, day.
std::string DatEmpaquetar(int any, int mes, int dia);

// The user's separator and order (Quil.ini, [Usuari] DatCaracter / DatOrdre); all NUL
// until the first DatText of the process reads them.
extern char DatCaracter;
extern char DatOrdre[3];

// Tests: forget the display settings read from Quil.ini.
void ReiniciarDates();
