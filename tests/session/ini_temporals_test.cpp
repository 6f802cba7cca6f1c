// Temporary copies left by writers that were killed are cleared by a later write of the
// same file, and nothing else is.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

#include "platform/fitxer_obert.h"
#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

std::vector<std::string> Noms(const std::string& carpeta) {
  std::vector<std::string> n;
  EXPECT_TRUE(plat::NomsCarpeta(carpeta, n));
  std::sort(n.begin(), n.end());
  return n;
}

TEST(TemporalsIni, AWriteClearsOnlyAbandonedCopiesOfItsOwnFile) {
  CarpetaTemporal dir;
  dir.Escriure("MAIL.INI", "[*]\r\nNom=Anna\r\n");
  const std::vector<std::string> abandonats = {"MAIL.INI.00000042.tmp", "MAIL.INI.99999999.tmp"};
  const std::vector<std::string> aliens = {
      "12345678.tmp",              // another program's copy (the suite's plain numbering)
      "QUIL.INI.12345678.tmp",     // a copy of another file
      "mail.ini.12345678.tmp",     // another file on a host that tells capitals apart
      "MAIL.INI.1234567.tmp",      // not eight digits
      "MAIL.INI.123456789.tmp",
      "MAIL.INI.1234567x.tmp",
      "MAIL.INI.12345678.tmp.bak",
      "XMAIL.INI.12345678.tmp",
  };
  for (const auto& n : abandonats) dir.Escriure(n, "[*]\r\nNom=mig");
  for (const auto& n : aliens) dir.Escriure(n, "x");
  EscriureIni(dir.Programa() + "MAIL.INI", "*", "Mail", "anna@exemple.cat");
  EXPECT_EQ(dir.Llegir("MAIL.INI"), "[*]\r\nNom=Anna\r\nMail=anna@exemple.cat\r\n");
  std::vector<std::string> esperat = aliens;
  esperat.push_back("MAIL.INI");
  std::sort(esperat.begin(), esperat.end());
  EXPECT_EQ(Noms(dir.Host()), esperat);
}

TEST(TemporalsIni, ACopyMadeWhileAnotherWriterHoldsTheFileIsLeftAlone) {
  CarpetaTemporal dir;
  dir.Escriure("KEVPRINT.INI", "[Entrada]\r\nPerDefecte=0\r\n");
  // Another writer holds the lock and has its copy beside the file.
  plat::FitxerObert altre = plat::ObrirLectura(dir.Host() + "KEVPRINT.INI");
  ASSERT_TRUE(altre.BloquejarExclusiu(0));
  dir.Escriure("KEVPRINT.INI.31415926.tmp", "[Entrada]\r\n");
  auto escriptura = std::async(std::launch::async, [&] {
    EscriureIni(dir.Programa() + "KEVPRINT.INI", "Entrada", "PrtTambe", "-1");
  });
  EXPECT_EQ(escriptura.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  EXPECT_TRUE(dir.Existeix("KEVPRINT.INI.31415926.tmp"));
  // That writer dies without renaming its copy: the waiting write then clears it.
  altre.Tancar();
  escriptura.get();
  EXPECT_FALSE(dir.Existeix("KEVPRINT.INI.31415926.tmp"));
  EXPECT_EQ(dir.Llegir("KEVPRINT.INI"), "[Entrada]\r\nPerDefecte=0\r\nPrtTambe=-1\r\n");
  EXPECT_EQ(dir.Entrades(), 1);
}

TEST(TemporalsIni, AWriteInTheCurrentFolderClearsThere) {
  CarpetaTemporal dir;
  char abans[4096];
  ASSERT_TRUE(getcwd(abans, sizeof abans));
  ASSERT_EQ(chdir(dir.Host().c_str()), 0);
  dir.Escriure("Sessio.ini.00000001.tmp", "");
  EscriureIni("Sessio.ini", "Menu", "NomMenu", "LLISTATS");
  ASSERT_EQ(chdir(abans), 0);
  EXPECT_EQ(Noms(dir.Host()), std::vector<std::string>{"Sessio.ini"});
}

}  // namespace
