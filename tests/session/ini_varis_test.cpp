// Several values read in one opening must be what one call each would give.
#include <gtest/gtest.h>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

TEST(LecturaVaris, EachValueAsItsOwnCallWouldGiveIt) {
  CarpetaTemporal dir;
  // A long first section pushes later ones out of the first read block.
  std::string llarg;
  for (int i = 0; i < 6000; ++i) llarg += "Clau" + std::to_string(i) + "=valor llarg de prova\r\n";
  const struct {
    const char* nom;
    std::string dades;
  } fitxers[] = {
      {"petit.ini", "[Menu]\r\nNomMenu=VENDES\r\nOperador= PERE \r\n[Terminal]\r\nDir=\"D:\\T\"\r\n"},
      {"doble.ini", "[S]\r\na=1\r\n[T]\r\nb=2\r\n[S]\r\na=3\r\nc=4\r\n"},
      {"llarg.ini", "[Gran]\r\n" + llarg + "[Final]\r\nx=darrer ;nota\r\n"},
      {"buit.ini", ""},
  };
  const std::vector<ClauIni> claus = {{"Terminal", "Dir"}, {"Menu", "NomMenu"}, {"menu", " OPERADOR "},
                                      {"S", "a"},          {"S", "c"},          {"T", "b"},
                                      {"Final", "x"},      {"Gran", "Clau5999"}, {"Gran", "Clau0"},
                                      {"Final", "x"},      {"Cap", "x"},        {"S", ""}};
  for (const auto& f : fitxers) {
    dir.Escriure(f.nom, f.dades);
    const std::string cami = dir.Programa() + f.nom;
    const std::vector<std::string> valors = LlegirIniVaris(cami, claus);
    ASSERT_EQ(valors.size(), claus.size());
    for (size_t i = 0; i < claus.size(); ++i)
      EXPECT_EQ(valors[i], LlegirIni(cami, claus[i].seccio, claus[i].clau)) << f.nom << " " << i;
  }
  // The oracle itself, on the values that matter above.
  EXPECT_EQ(LlegirIniVaris(dir.Programa() + "petit.ini", {{"Terminal", "Dir"}, {"Menu", "Operador"}}),
            (std::vector<std::string>{"D:\\T", " PERE "}));
  EXPECT_EQ(LlegirIniVaris(dir.Programa() + "doble.ini", {{"S", "c"}, {"S", "a"}}),
            (std::vector<std::string>{"", "1"}));
  EXPECT_EQ(LlegirIniVaris(dir.Programa() + "llarg.ini", {{"Final", "x"}, {"Gran", "Clau5999"}, {"Final", "x"}}),
            (std::vector<std::string>{"darrer ", "valor llarg de prova", "darrer "}));
  EXPECT_EQ(LlegirIniVaris(dir.Programa() + "no_hi_es.ini", {{"S", "a"}, {"T", "b"}}),
            (std::vector<std::string>{"", ""}));
}

}  // namespace
