// Paths and listings on the Windows host: listing files go through the platform layer, so
// a work folder whose name has accented letters works; long and short forms come from the
// file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "files/camins.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace {

TEST(CaminsWindows, ListingsAreWrittenInAWorkFolderWithAccentedLetters) {
  CarpetaTemporal dir;
  dir.Escriure("Dades/a.txt", "1");
  ASSERT_TRUE(plat::EscriureFitxer(dir.Programa() + "Dades\\Caf\x82.txt", "2"));
  const std::string treball = dir.Programa() + "Llistats \x85\x82";  // "Llistats àé"
  ASSERT_TRUE(plat::CrearDirectori(treball));
  plat::FixarEntorn("TEMP", treball);
  AtributsLlistat = 0;
  LlistarDirectori(dir.Programa() + "Dades\\*.*");
  const std::string fitxer = FitxersLlistat.substr(0, FitxersLlistat.find('|'));
  EXPECT_EQ(fitxer.compare(0, treball.size(), treball), 0) << fitxer;
  EXPECT_TRUE(plat::Info(fitxer).existeix) << fitxer;
  std::vector<std::string> vistes;
  std::string e;
  for (int i = 0; i < 10; ++i) {
    SeguentEntrada(e);
    if (e.empty()) break;
    vistes.push_back(e);
  }
  std::sort(vistes.begin(), vistes.end());
  EXPECT_EQ(vistes, (std::vector<std::string>{"A.TXT", "CAF\x90.TXT"}));
  ReiniciarCamins();
  EXPECT_FALSE(plat::Info(fitxer).existeix);
  plat::NetejarEntorn();
}

TEST(CaminsWindows, LongAndShortFormsOfAPathTypedInCapitals) {
  CarpetaTemporal dir;
  dir.Escriure("Carpeta Llarga De Prova/Informe trimestral.text", "x");
  const std::string tecleig = dir.Programa() + "CARPETA LLARGA DE PROVA\\INFORME TRIMESTRAL.TEXT";
  const std::string llarg = CamiLlarg(tecleig);
  EXPECT_EQ(llarg.substr(dir.Programa().size()), "Carpeta Llarga De Prova\\Informe trimestral.text");
  const std::string curt = CamiCurt(tecleig);
  ASSERT_FALSE(curt.empty());
  EXPECT_EQ(curt.find(' ', dir.Programa().size()), std::string::npos) << curt;
  EXPECT_EQ(CamiLlarg(curt), CamiLlarg(llarg));
  EXPECT_EQ(CamiLlarg(dir.Programa() + "no-hi-es"), "");
}

}  // namespace
