// A whole installation in a scratch folder: root, program, terminal and work directories,
// the mail form loaded, a virtual console, a fixed clock and recorded program starts.
#pragma once
#include <string>
#include <vector>

#include "platform/consola.h"
#include "util/entorn_prova.h"

class EntornSortida {
 public:
  EntornSortida();
  ~EntornSortida();
  // File contents below the scratch folder ("arrel/MAIL.INI", "tmp/KEVEML.INI", ...).
  std::string Llegir(const std::string& relatiu) const { return tmp.Llegir(relatiu); }
  void Escriure(const std::string& relatiu, const std::string& dades) const { tmp.Escriure(relatiu, dades); }
  // A listing with one content line.
  void LlistatAmbContingut() const { Escriure("tmp/kevprint.tmp", "DEVICE LPT1\r\nFactura 123\r\n"); }
  // Command texts as started (relative to the scratch folder's program path).
  std::vector<std::string> Ordres() const;

  CarpetaTemporal tmp;
  plat::ConsolaVirtual consola;
  std::vector<std::string> ordres;
};
