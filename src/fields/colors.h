// Colour roles: screens name a role by letter and the role picks the colours from the
// session's colour table. A small stack lets nested dialogs put the caller's role back.
#pragma once
#include <cstdint>
#include <string>

// Role selected last (0..4).
extern int16_t ColorActual;
// Saved roles, one byte each (the role number as a character code), last saved at the end.
extern std::string PilaColors;
// Colour every later screen write uses: foreground + 16 x background.
extern uint8_t ColorConsola;

// Mode letters: "U" role 4, "R" role 2, "N" role 1 ("R" and "N" together role 3), none of
// them role 0; "+" saves the current role first, "-" goes back to the last saved one.
// A text of spaces (or empty) does nothing.
void TriaColor(const std::string& mode);

// Sets the colour of later screen writes directly (each value taken mod 16).
void FixarColor(int primerPla, int fons);

// Tests: role 0, empty stack, colour light grey on black.
void ReiniciarColors();
