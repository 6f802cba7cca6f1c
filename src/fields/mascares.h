// Numbers laid out through edit masks ("ZZZ,ZZ9.99", "+ZZ9.99", "***,**9.99-", ...).
#pragma once
#include <string>

// The user's decimal and thousands characters; NUL until the first FormatNumero of the
// process reads them from Quil.ini (defaults "'" and ".").
extern char DecCaracter;
extern char MilCaracter;

// The value laid out through the mask; the result always has the mask's length.
// A value that is not finite (inf, NaN) shows as a row of "!", like a number too big
// for the mask.
std::string FormatNumero(const std::string& mascara, double valor);

// Tests: forget the separators, so the next call reads Quil.ini again.
void ReiniciarMascares();
