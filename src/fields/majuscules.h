// Upper-casing of CP850 texts, with or without accents.
#pragma once
#include <array>
#include <string>

// False: capitals keeping accents (display). True: search keys without case or
// accents, anything but letters, digits and codes below 64 blanked (first-letter search).
extern bool SenseAccents;

// Each byte from 64 to 237 through the table chosen by SenseAccents; others unchanged.
std::string Majuscules(const std::string& text);

// The two 256-entry tables (codes below 64 and above 237 map to themselves).
extern const std::array<unsigned char, 256> TaulaMajuscules;
extern const std::array<unsigned char, 256> TaulaClauCerca;

// Tests: SenseAccents back to false.
void ReiniciarMajuscules();
