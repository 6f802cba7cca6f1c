// The attachment list of the mail page.
#pragma once
#include <string>

// Attachment paths, entries 1..10 (index 0 unused); "" = empty entry.
extern std::string Adjunts[11];

void ReiniciarAdjunts();
