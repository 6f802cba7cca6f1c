#include "console/llistes.h"

// TEMPORARY until the list browser is built: no list is shown and no row is picked, so
// F4 on a field with a list beeps and the field is edited again.
void MostrarLlista(int16_t llista, int16_t& estat) {
  (void)llista;
  estat = -1;
}
