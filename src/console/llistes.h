// Scrolling lists: a framed list of rows the user picks one from. The rows come from the
// work file Browse.tmp in the work directory, prepared beforehand by the list's data
// source or filled row by row from a record file while the user scrolls.
//
// Browse.tmp is a chain of rows from byte position 1 (positions 1-based): previous-row
// position (32-bit LE, 0 for the first row), value (32-bit LE), text length n (16-bit LE),
// n bytes of text. The next row follows immediately.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Value and text of the row chosen last with Enter in a work-file list.
extern int32_t SeleccioValor;
extern std::string SeleccioText;

// Hooks of the layers above, registered at start-up (unregistered: no data source, and
// every record reads as an empty row).
struct GanxosLlistaT {
  // Called before a list opens with (list, start key, end key): a work-file list writes
  // Browse.tmp, a record-file list sets the keys that bound its rows. 0 = go on; any
  // other value is returned by MostrarLlista without showing anything.
  std::function<int16_t(int16_t llista, std::string& clauInici, std::string& clauFi)> OmplirSelector;
  // Row text of the current record of a record-file list; blank skips the record.
  std::function<std::string(int16_t llista)> TextFilaLlista;
};
extern GanxosLlistaT GanxosLlista;

// Shows list `llista` of the form descriptor. estat: 0 a row was chosen, -1 closed
// without a choice, other values a failure of the list's data source.
void MostrarLlista(int16_t llista, int16_t& estat);

// Path of the list file (work directory + "Browse.tmp").
std::string FitxerLlista();

// Appends one row to list-file bytes being prepared in memory; `anterior` is the
// position of the previous row (0 for the first) and is set to the new row's position.
// Texts longer than 65535 bytes are cut.
void AfegirFilaLlista(std::string& dades, uint32_t& anterior, int32_t valor, const std::string& text);

// Tests: no choice made, no hooks.
void ReiniciarLlistes();
