// The caller's request file is consumed at the end of every run, and the terminal's
// settings with it only when they are another file. The whole run with KEVTMP unset is
// in the end-to-end tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include "output/principal.h"
#include "util/entorn_prova.h"

namespace {

TEST(ConsumirPeticio, DeletedUnlessItIsTheTerminalSettingsFile) {
  const std::string peticio = "[Opcions]\r\nMostrar=N\r\nCorreu=S\r\nTornar=MENU 2\r\n";
  const std::string configuracio = "[Entrada]\r\nPerDefecte=-1\r\n[Cerca]\r\nPath=DOCS\\\r\n";
  struct Cas {
    const char* nom;
    const char* fitxer_peticio;  // as the program names them, below the scratch folder
    const char* fitxer_configuracio;
    std::vector<std::pair<const char*, std::string>> abans;  // host files
    std::vector<std::pair<const char*, std::string>> despres;  // host files; "" = absent
  } casos[] = {
      {"two files", "tmp\\KevPrint.ini", "term\\KEVPRINT.INI",
       {{"tmp/KevPrint.ini", peticio}, {"term/KEVPRINT.INI", configuracio}},
       {{"tmp/KevPrint.ini", ""}, {"term/KEVPRINT.INI", configuracio}}},
      {"one file, two spellings", "term\\KevPrint.ini", "term\\KEVPRINT.INI",
       {{"term/KEVPRINT.INI", configuracio + peticio}},
       {{"term/KEVPRINT.INI", configuracio}}},
      {"one file reached through a link", "enllac\\KevPrint.ini", "term\\KEVPRINT.INI",
       {{"term/KEVPRINT.INI", peticio + "Altra=1\r\n" + configuracio}},
       {{"term/KEVPRINT.INI", "[Opcions]\r\nAltra=1\r\n" + configuracio}}},
      {"no request at all", "tmp\\KevPrint.ini", "tmp\\KEVPRINT.INI", {}, {{"tmp/KevPrint.ini", ""}}},
  };
  for (const Cas& c : casos) {
    SCOPED_TRACE(c.nom);
    CarpetaTemporal dir;
    dir.Escriure("tmp/x", "");
    dir.Escriure("term/x", "");
    ASSERT_EQ(symlink((dir.Host() + "term").c_str(), (dir.Host() + "enllac").c_str()), 0);
    for (const auto& [f, dades] : c.abans) dir.Escriure(f, dades);
    ConsumirPeticio(dir.Programa() + c.fitxer_peticio, dir.Programa() + c.fitxer_configuracio);
    for (const auto& [f, dades] : c.despres) {
      if (dades.empty()) {
        EXPECT_FALSE(dir.Existeix(f)) << f;
      } else {
        EXPECT_EQ(dir.Llegir(f), dades) << f;
      }
    }
    // Nothing else left behind: the two placeholders and the files that stay.
    int queden = 2;
    for (const auto& f : c.despres) queden += f.second.empty() ? 0 : 1;
    EXPECT_EQ(dir.Entrades("tmp") + dir.Entrades("term"), queden);
  }
}

}  // namespace
