#include "mail/adjunts.h"

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "files/camins.h"
#include "mail/formcorreu.h"
#include "output/traduccio.h"
#include "platform/consola.h"

std::string Adjunts[11];

namespace {

// Display row of entry k: field k + 1 of the attachments page.
int16_t CampFila(int k) { return static_cast<int16_t>(k + 1); }

void MostrarFila(int16_t form, int k, const std::string& text) {
  FixarValorCamp(form, CampFila(k), text);
  DibuixarCamp(form, CampFila(k));
}

void Avisar(const std::string& missatge) {
  MostrarMissatge(12, missatge);
  plat::ConsolaActual().Xiulet();
  BuidarTeclat();
  EsperarTecla();
  RestaurarFinestra();
}

}  // namespace

int16_t AfegirTreureAdjunt(int16_t form, std::string& text) {
  const size_t fi = text.find_last_not_of(' ');
  if (fi == std::string::npos) return 0;
  const std::string cami = text.substr(0, fi + 1);
  // The list is stored as INI values, which end at ";": such a path would come back as
  // another file. The field refuses the character when typed; a picked file is told here.
  if (cami.find(';') != std::string::npos) {
    Avisar(TraduirText("EL CAM\xD6 DEL FITXER NO POT CONTENIR ';'"));
    return -1;
  }

  for (int k = 1; k <= kMaxAdjunts; ++k) {
    if (Adjunts[k] == cami) {
      // Removing keeps the list compact: the later entries and their rows move up.
      for (int j = k; j < kMaxAdjunts; ++j) {
        Adjunts[j] = Adjunts[j + 1];
        MostrarFila(form, j, ValorCamp(form, CampFila(j + 1)));
      }
      Adjunts[kMaxAdjunts].clear();
      MostrarFila(form, kMaxAdjunts, "");
      text.assign(text.size(), ' ');
      return -1;
    }
    if (Adjunts[k].empty()) {
      Adjunts[k] = cami;
      MostrarFila(form, k, PartsCami(4 | 8, cami));
      text.assign(text.size(), ' ');
      return -1;
    }
  }

  Avisar(TraduirText("NO PODEU ADJUNTAR M\x90S DE 10 FITXERS"));
  return -1;
}

void ReiniciarAdjunts() {
  for (std::string& a : Adjunts) a.clear();
}
