// The file picker used for attachments: special folders, drives and folders in a list.
#pragma once
#include <string>

// Folder shortcuts offered at the picker's top level: index 0..2 = numbers 101..103
// (Documents, Desktop, Recent). Prepared by the main procedure.
extern std::string CarpetesEspecials[3];
// Where the picker starts (a drive or a special folder) and the folder below it; stored
// in the terminal settings between runs.
extern std::string CarpetaBase;
extern std::string CarpetaRelativa;

// Tests: back to the starting values.
void ReiniciarSelector();
