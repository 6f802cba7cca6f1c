#include "output/traduccio.h"

#include "session/sessio.h"

namespace {

struct Traduccio {
  const char* catala;
  const char* idiomes[3];  // SPA, GLG, OCI
};

const Traduccio kTaula[] = {
    {"P PANTALLA", "P PANTALLA", "P PANTALHA", "P PANTALHA"},
    {"SELECCI\xE0 IMPRESSORA", "SELECCION IMPRESORA", "SELEC\x80OM IMPRESSORA", "SELECCION IMPRESSORA"},
    {"IMPRIMIR", "IMPRIMIR", "IMPRIMIR", "IMPRIMIR"},
    {"IMPRIMIR-LOS TAMB\x90 ? ", "IMPRIMIRLOS TAMBIEN ? ", "IMPRIM\xD6-LOS TAMB\x90M ? ", "IMPRIMIR-LOS TANBEN ? "},
    {"ENVIAR PER CORREU ELECTR\xE3NIC ? ", "ENVIAR POR CORREO ELECTRONICO ? ", "ENVIAR POR CORREIO ELECTR\xE0NICO ? ", "ENVIAR PER CORR\xD4U ELECTRONIC ? "},
    {"ASSUMPTE : ", "ASUNTO ..: ", "ASSUNTO .: ", "AH\xD4R ....: "},
    {"NOM .....: ", "NOMBRE ..: ", "NOME   ..: ", "N\xE3M .....: "},
    {"CORREU ..: ", "CORREO ..: ", "CORREIO .: ", "CORR\xD4U ..: "},
    {"ENVIAR ? ", "ENVIAR ? ", "ENVIAR ? ", "ENVIAR ? "},
    {"|00,IMMEDIAT", "|00,INMEDIATO", "|00,IMEDIATO", "|00,IMMEDIAT"},
    {"MEMBRET ? ", "MEMBRETE ? ", "CABE\x80" "ALHO ? ", "ENT\xD4STA ? "},
    {"DATA              FITXER", "FECHA             FICHERO", "DATA              FICHEIRO", "DATA              FICH\xD4R"},
    {" REMITENT ", " REMITENTE ", " REMITENTE ", " DESPACHAIRE "},
    {"HEU D'INDICAR EL CORREU DEL REMITENT", "HA DE INDICAR EL CORREO DEL REMITENTE", "DEVE INDICAR O CORREIO DO REMITENTE", "AUETZ D'INDICAR ETH CORR\xD4U DETH DESPACHAIRE"},
    {"EL CAM\xD6 DEL FITXER NO POT CONTENIR ';'", "LA RUTA DEL FICHERO NO PUEDE CONTENER ';'",
     "A RUTA DO FICHEIRO NON PODE CONTER ';'", "ETH CAMIN DETH FICH\xD4R NON P\xE3T AUER ';'"},
};

// Column of the session language; -1 for Catalan (anything not exactly one of the three).
int Columna() {
  const std::string& i = EstatSessio.Idioma;
  if (i == "SPA") return 0;
  if (i == "GLG") return 1;
  if (i == "OCI") return 2;
  return -1;
}

const char* Buscar(const std::string& text, int col) {
  for (const auto& t : kTaula)
    if (text == t.catala) return t.idiomes[col];
  return nullptr;
}

}  // namespace

std::string TraduirText(const std::string& text) {
  const int col = Columna();
  if (col < 0) return text;
  if (const char* r = Buscar(text, col)) return r;
  // The screen option is the table's "P PANTALLA" without its key letter.
  if (text == "PANTALLA") {
    const std::string r = Buscar("P PANTALLA", col);
    return r.substr(2);
  }
  // A title padded with spaces is translated by its words and padded the same way.
  const size_t ini = text.find_first_not_of(' ');
  if (ini == 0 || ini == std::string::npos) return text;
  const size_t fi = text.find_last_not_of(' ') + 1;
  if (fi == text.size()) return text;
  if (const char* r = Buscar(text.substr(ini, fi - ini), col)) return text.substr(0, ini) + r + text.substr(fi);
  return text;
}
