// Forms described by a table: the descriptor loaded at start-up, the in-memory tables
// and the engine that walks a form field by field.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Field flags.
enum : int16_t {
  kCampEnBlanc = 1,    // edit starts blank; a blank edit keeps the stored value
  kCampOcult = 2,      // hidden entry (mask character)
  kCampNomesVeure = 4, // display only
  kCampCursorFinal = 8 // cursor starts after the last non-blank character
};

struct Camp {
  int16_t Fila = 0;
  int16_t Columna = 0;
  std::string Etiqueta;
  int16_t Longitud = 0;
  int16_t AmpladaVisible = 0;
  int16_t AmpladaDescripcio = 0;
  int16_t Indicadors = 0;
  int16_t Rol = 0;
  int16_t Llista = 0;
  std::string OpcionsCamp;
  std::string Valor;  // always Longitud characters
  // Set by the application after loading (not part of the descriptor): characters the
  // field's editor refuses.
  std::string CaractersRefusats;
};

struct Formulari {
  std::string Tecles;
  int16_t NumCamps = 0;
  int16_t Enllac = 0;
  int16_t Dalt = 0, Esquerra = 0, Baix = 0, Dreta = 0;
  std::vector<Camp> Camps;  // index 1..NumCamps (0 unused)
};

// Scrolling-list layouts of the descriptor (seven numbers, a title, one number).
struct DefLlista {
  int16_t Numeros[7] = {};
  std::string Titol;
  int16_t Darrer = 0;
};

// Program-wide form tables: index 1..F (0 unused).
extern std::vector<Formulari> Formularis;
extern std::vector<DefLlista> Llistes;  // index 1..L
extern int16_t PaginaRecordada;

// Loads the descriptor stream (text items). Every label, option list and list title is
// passed through the translator given. False when the stream is malformed.
bool CarregarFormularis(const std::vector<std::string>& items,
                        const std::function<std::string(const std::string&)>& traduir);

// Value of a field, and setting it cut or padded to the field's length. Out-of-range
// form or field numbers read "" and write nothing.
std::string ValorCamp(int form, int camp);
void FixarValorCamp(int form, int camp, const std::string& valor);
Camp* CampFormulari(int form, int camp);  // nullptr when out of range

// Runs a form (negative = sub-page). Returns the key that left it in `tecla`. Hooks that
// are not registered act as: draw nothing, accept by storing the text, let the form close.
void ExecutarFormulari(int16_t form, int16_t quedarPujar, int16_t quedarBaixar, int16_t& tecla);

// Hooks supplied by the application.
struct GanxosFormulari {
  std::function<void(int16_t form)> DibuixarFormulari;
  std::function<int16_t(int16_t form, std::string& text, int16_t& camp, int16_t& tecla)> AcceptarCamp;
  std::function<void(int16_t form, int16_t camp)> DibuixarCamp;
  std::function<int16_t(int16_t form, int16_t tecla)> ValidarSortidaFormulari;
  // File picker selection after a list row was picked: (list, form, field).
  std::function<void(int16_t& llista, int16_t form, int16_t& camp)> TriarEntrada;
  // F1 help: shows the help page of the topic (the session's menu name, trimmed).
  std::function<void(const std::string& tema)> Ajuda;
};
extern GanxosFormulari Ganxos;

// Tests: empty tables, no hooks, PaginaRecordada 0.
void ReiniciarFormularis();
