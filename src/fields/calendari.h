// The pop-up calendar (Alt+C): three months, a highlighted day, the accepted date typed
// into the field.
#pragma once
#include <cstdint>
#include <string>

// Runs the calendar; the accepted date as display text in the user's format, or "".
std::string Calendari();

// 28..31; February by the Gregorian rule.
int DiesMes(int any, int mes);
