// The attachment list of the mail page.
#pragma once
#include <cstdint>
#include <string>

// Attachment paths, entries 1..10 (index 0 unused); "" = empty entry. Always compact:
// used entries first, in the order they were added.
extern std::string Adjunts[11];
constexpr int kMaxAdjunts = 10;

// Adds the path (trailing spaces dropped) to the list, or removes it when it is already
// there (exact, case-sensitive match), keeping the display rows of the attachments page
// `form` in step. 0 when the path was blank (nothing done); -1 otherwise, also when the
// list is full or the path holds ";", which the stored list cannot keep (the operator is
// told). After an add or a remove `text` is blanked so a
// typed path does not come back into the field; after a refusal it is kept for review.
int16_t AfegirTreureAdjunt(int16_t form, std::string& text);

void ReiniciarAdjunts();
