// The file picker used for attachments: special folders, drives and folders in a list.
// It is scrolling list 1 of the form engine: the fill hook writes the entries of the
// current folder into the list file, the selection hook acts on the row chosen.
#pragma once
#include <cstdint>
#include <string>

// Folder shortcuts offered at the picker's top level: index 0..2 = numbers 101..103
// (Documents, Desktop, Recent). Prepared by the main procedure.
extern std::string CarpetesEspecials[3];
// Where the picker starts (a drive or a special folder) and the folder below it; stored
// in the terminal settings between runs. Both in short form; CarpetaRelativa ends in "\"
// or is "". Both "" = the top level.
extern std::string CarpetaBase;
extern std::string CarpetaRelativa;

// Fill hook: for list 1 writes the list file with the entries of the current folder (or
// the top level), sets the list's title and clears both keys; other lists: nothing.
// Returns 0 (the list goes on).
int16_t OmplirSelector(int16_t llista, std::string& clauInici, std::string& clauFi);
// Selection hook, after a row of list 1 was chosen: moves into another folder and shows
// the list again, or hands the chosen file to the form's field.
void TriarEntrada(int16_t& llista, int16_t form, int16_t& camp);
// Target path of a Windows shell link file; "" when it holds none or is not a link.
std::string DestiDrecera(const std::string& cami);
// The same from the link's bytes.
std::string DestiDreceraDades(const std::string& dades);

// Installs the hooks into the list browser and the form engine (start-up).
void RegistrarSelector();

// Tests: back to the starting values.
void ReiniciarSelector();
