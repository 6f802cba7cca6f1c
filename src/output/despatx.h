// Storing the dialog's choices for the output programs and starting the right one.
#pragma once

// The request and terminal options read by the destination flow.
struct OpcionsPeticio {
  bool Mostrar = true;     // show the dialog ("Mostrar" not exactly "N")
  bool Correu = false;     // e-mail may be offered ("Correu" exactly "S")
  bool PerDefecte = false; // this terminal sends to its stored destination without asking
  bool DosOnly = false;    // never hand over to the Windows companion
};
extern OpcionsPeticio Peticio;

// Writes the first page's values, the picker's folders and the attachments to the INI
// files the output programs read.
void DesarEleccio();
// Consumes the request's mail offer and starts the output program of the destination,
// waiting for it.
void Despatxar();
// Output program (no folder) for a destination key.
const char* ProgramaSortida(char desti);

// Tests: the options back to their defaults.
void ReiniciarPeticio();
