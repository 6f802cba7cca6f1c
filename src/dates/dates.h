// Packed dates (YYYYMMDD, two digits a byte, 128 + value), arithmetic and texts.
#pragma once
#include <cstdint>
#include <string>

std::string DatSuma(const std::string& unitat, int32_t quantitat, const std::string& data);
int32_t DatDiferencia(const std::string& unitat, const std::string& data1, const std::string& data2);
int16_t DatDiaSetmana(const std::string& data);
std::string DatText(const std::string& parts, int16_t estil, const std::string& data);
// Packed date for year, month, day.
std::string DatEmpaquetar(int any, int mes, int dia);
// Tests: forget the display settings read from Quil.ini.
void ReiniciarDates();
