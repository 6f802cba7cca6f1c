// The read calls a lookup costs, counted by Linux for this process.
#include <gtest/gtest.h>

#include <fstream>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

// Read calls this process has made so far; -1 where the count is not kept.
long LecturesFetes() {
  std::ifstream io("/proc/self/io");
  std::string nom;
  long n;
  while (io >> nom >> n)
    if (nom == "syscr:") return n;
  return -1;
}

TEST(LecturaVaris, ASmallFileIsReadOnceForAllItsLookups) {
  CarpetaTemporal dir;
  dir.Escriure("p.ini", "[Pantalla]\r\nSeleccio=2\r\nCol1=A\r\nCol2=B\r\n[Sistema]\r\nIdioma=CAT\r\n");
  const long abans = LecturesFetes();
  if (abans < 0) GTEST_SKIP() << "no read count on this host";
  IniObert ini(dir.Programa() + "p.ini");
  // A lookup that depends on the one before it, then keys in any order.
  const std::string col = ini.Valor("Pantalla", "Col" + ini.Valor("Pantalla", "Seleccio"));
  const std::string idioma = ini.Valor("Sistema", "Idioma");
  const std::string cap = ini.Valor("Res", "x");
  const std::string primer = ini.Valor("Pantalla", "Col1");
  const long lectures = LecturesFetes() - abans;
  EXPECT_EQ(col, "B");
  EXPECT_EQ(idioma, "CAT");
  EXPECT_EQ(cap, "");
  EXPECT_EQ(primer, "A");
  // The contents and the end of the file, nothing read twice (the count itself reads once).
  EXPECT_LE(lectures, 3);
}

// The buffer is sized from the file as opened; one that grew meanwhile is still read to
// its end, from empty or from a few lines.
TEST(LecturaVaris, AFileThatGrewAfterOpeningIsReadWhole) {
  for (const std::string abans : {"", "[A]\r\nx=1\r\n"}) {
    CarpetaTemporal dir;
    dir.Escriure("p.ini", abans);
    IniObert ini(dir.Programa() + "p.ini");
    std::string despres = abans;
    for (int i = 0; i < 2000; ++i) despres += "; linia " + std::to_string(i) + "\r\n";
    dir.Escriure("p.ini", despres + "[B]\r\ny=2\r\n");
    EXPECT_EQ(ini.Valor("B", "y"), "2") << abans.size();
    EXPECT_EQ(ini.Valor("A", "x"), abans.empty() ? "" : "1");
  }
}

}  // namespace
