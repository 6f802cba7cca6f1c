// A section left without lines of its own loses its header; anything else stays as it was.
#include <gtest/gtest.h>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

TEST(SeccioBuidaIni, OnlyAnEmptyFirstSectionLosesItsHeader) {
  struct Cas {
    const char* abans;
    const char* despres;
  } casos[] = {
      {"[Entrada]\r\nA=1\r\n[Opcions]\r\n", "[Entrada]\r\nA=1\r\n"},
      {"[opcions] ;request\r\n\r\n; next\r\n[Cerca]\r\nUnit=C:\r\n", "\r\n; next\r\n[Cerca]\r\nUnit=C:\r\n"},
      {"[Opcions]\r\nAltra=1\r\n[Cerca]\r\n", "[Opcions]\r\nAltra=1\r\n[Cerca]\r\n"},
      {"[Opcions]\r\n\r\ntext\r\n", "[Opcions]\r\n\r\ntext\r\n"},
      // Only the first section of the name is the request's.
      {"[Opcions]\r\nx=1\r\n[Opcions]\r\n", "[Opcions]\r\nx=1\r\n[Opcions]\r\n"},
      {"[Entrada]\nA=1\n", "[Entrada]\r\nA=1\r\n"},
  };
  for (const Cas& c : casos) {
    SCOPED_TRACE(c.abans);
    CarpetaTemporal dir;
    dir.Escriure("KEVPRINT.INI", c.abans);
    TreureSeccioBuidaIni(dir.Programa() + "KEVPRINT.INI", "Opcions");
    EXPECT_EQ(dir.Llegir("KEVPRINT.INI"), c.despres);
    EXPECT_EQ(dir.Entrades(), 1);
  }
  CarpetaTemporal dir;
  TreureSeccioBuidaIni(dir.Programa() + "KEVPRINT.INI", "Opcions");
  EXPECT_EQ(dir.Entrades(), 0);
}

}  // namespace
