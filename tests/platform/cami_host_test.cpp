// Path lookups that look only at the parts that do not exist as spelled must still give
// what matching every part without regard to case gives.
#include <gtest/gtest.h>

#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace {

TEST(CamiHost, OnlyTheMissingTailIsMatchedWithoutCase) {
  CarpetaTemporal dir;
  plat::ReiniciarSistema();
  plat::FixarEntorn("KEVDRIVES", "K=" + dir.Host());
  plat::RecarregarUnitats();
  dir.Escriure("Arrel/Term01/Tmp/QuilTerm.ini", "x");
  dir.Escriure("Arrel/Term01/KEVLSTPR.INI", "x");
  const std::string h = dir.Host();
  const struct {
    const char* cami;
    std::string esperat;
  } casos[] = {
      {"K:\\Arrel\\Term01\\Tmp\\QuilTerm.ini", h + "Arrel/Term01/Tmp/QuilTerm.ini"},  // as spelled
      {"K:\\Arrel\\Term01\\Tmp\\QUILTERM.INI", h + "Arrel/Term01/Tmp/QuilTerm.ini"},  // last part only
      {"K:\\Arrel\\Term01\\Tmp\\KEVEML.INI", h + "Arrel/Term01/Tmp/KEVEML.INI"},      // not made yet
      {"K:\\ARREL\\TERM01\\TMP\\quilterm.ini", h + "Arrel/Term01/Tmp/QuilTerm.ini"},  // every part
      {"K:\\ARREL\\term01\\KEVEML.INI", h + "Arrel/Term01/KEVEML.INI"},               // folders only
      {"K:\\Arrel\\Nou\\Sub\\a.ini", h + "Arrel/Nou/Sub/a.ini"},                      // two parts missing
      {"K:\\Arrel\\Term01\\KEVLSTPR.INI\\x", h + "Arrel/Term01/KEVLSTPR.INI/x"},      // a file as folder
      {"K:\\arrel\\..\\ARREL\\term01\\kevlstpr.ini", h + "Arrel/../Arrel/Term01/KEVLSTPR.INI"},
      {"K:\\arrel\\TERM01\\TMP\\", h + "Arrel/Term01/Tmp/"},
      {"K:\\", h},
  };
  for (const auto& c : casos) EXPECT_EQ(plat::CamiHost(c.cami), c.esperat) << c.cami;
  plat::ReiniciarSistema();
}

}  // namespace
