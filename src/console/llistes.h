// Scrolling lists: a framed list of rows the user picks one from.
#pragma once
#include <cstdint>

// Shows list `llista` of the form descriptor. estat: 0 a row was chosen, -1 closed
// without a choice, other values a failure of the list's data source.
void MostrarLlista(int16_t llista, int16_t& estat);
