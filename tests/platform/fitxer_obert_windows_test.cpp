// Open files on Windows: reads, exclusive creation, locks between handles and processes,
// atomic replace of a file that is open, INI writers in threads and processes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"
#include "platform/windows/text.h"
#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

// Starts the helper program; returns its process handle (nullptr on failure).
HANDLE Ajudant(const std::string& args) {
  std::wstring linia = plat::Ample("\"" KEV_AJUDANT "\" " + args);
  linia.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, linia.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

DWORD Esperar(HANDLE p) {
  WaitForSingleObject(p, 60000);
  DWORD codi = 99;
  GetExitCodeProcess(p, &codi);
  CloseHandle(p);
  return codi;
}

TEST(FitxerObertWindows, ReadsInChunksSeeksAndRefusesWhatIsNoFile) {
  CarpetaTemporal dir;
  dir.Escriure("A.TXT", "0123456789");
  plat::FitxerObert f = plat::ObrirLectura(dir.Host() + "A.TXT");
  ASSERT_TRUE(f);
  char b[4];
  EXPECT_EQ(f.Llegir(b, 4), 4);
  EXPECT_EQ(std::string(b, 4), "0123");
  ASSERT_TRUE(f.Situar(8));
  EXPECT_EQ(f.Llegir(b, 4), 2);
  EXPECT_EQ(f.Llegir(b, 4), 0);
  for (const std::string& nom : {dir.Host(), dir.Host() + "NO.TXT", std::string("NUL"), std::string("CON")})
    EXPECT_FALSE(plat::ObrirLectura(nom)) << nom;
  // Other readers and writers get in while it is open.
  EXPECT_EQ(plat::LlegirFitxer(dir.Programa() + "A.TXT"), std::optional<std::string>("0123456789"));
}

TEST(FitxerObertWindows, ExclusiveCreationNeverReusesAName) {
  CarpetaTemporal dir;
  bool ja = true;
  plat::FitxerObert a = plat::CrearExclusiu(dir.Host() + "N.TMP", &ja);
  ASSERT_TRUE(a);
  EXPECT_FALSE(ja);
  EXPECT_TRUE(a.EscriureTot("hola", 4));
  EXPECT_TRUE(a.Sincronitzar());
  plat::FitxerObert b = plat::CrearExclusiu(dir.Host() + "N.TMP", &ja);
  EXPECT_FALSE(b);
  EXPECT_TRUE(ja);
  EXPECT_TRUE(a.Tancar());
  EXPECT_EQ(dir.Llegir("N.TMP"), "hola");
}

TEST(FitxerObertWindows, LockExcludesOtherHandlesAndProcessesAndGivesUpInTime) {
  CarpetaTemporal dir;
  dir.Escriure("L.INI", "");
  plat::FitxerObert a = plat::ObrirLectura(dir.Host() + "L.INI");
  plat::FitxerObert b = plat::ObrirLectura(dir.Host() + "L.INI");
  ASSERT_TRUE(a.BloquejarExclusiu(0));
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(b.BloquejarExclusiu(100));
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
  // Another process cannot take it either.
  EXPECT_EQ(Esperar(Ajudant("prova \"" + dir.Host() + "L.INI\" x")), 1u);
  a.Tancar();
  EXPECT_TRUE(b.BloquejarExclusiu(0));
  b.Tancar();
  EXPECT_EQ(Esperar(Ajudant("prova \"" + dir.Host() + "L.INI\" x")), 0u);
  // A process holding it makes us wait until it lets go.
  HANDLE p = Ajudant("bloqueja \"" + dir.Host() + "L.INI\" 300");
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 2000 && !dir.Existeix("L.INI.fet"); ++i) Sleep(10);
  ASSERT_TRUE(dir.Existeix("L.INI.fet"));
  plat::FitxerObert c = plat::ObrirLectura(dir.Host() + "L.INI");
  EXPECT_FALSE(c.BloquejarExclusiu(0));
  EXPECT_TRUE(c.BloquejarExclusiu(20000));
  EXPECT_EQ(Esperar(p), 0u);
}

TEST(FitxerObertWindows, ALockedOpenOriginalIsReplacedInOneStep) {
  CarpetaTemporal dir;
  dir.Escriure("O.INI", "vell");
  dir.Escriure("O.INI.1", "nou");
  plat::FitxerObert o = plat::ObrirLectura(dir.Host() + "O.INI");
  ASSERT_TRUE(o.BloquejarExclusiu(0));
  EXPECT_TRUE(o.MateixFitxer(dir.Host() + "O.INI"));
  o.SoltarContingut();
  ASSERT_TRUE(plat::ReanomenarAtomic(dir.Host() + "O.INI.1", dir.Host() + "O.INI"));
  // Still locked until closed.
  plat::FitxerObert altre = plat::ObrirLectura(dir.Host() + "O.INI");
  EXPECT_FALSE(altre.BloquejarExclusiu(0));
  o.Tancar();
  EXPECT_TRUE(altre.BloquejarExclusiu(0));
  EXPECT_EQ(dir.Llegir("O.INI"), "nou");
  EXPECT_FALSE(dir.Existeix("O.INI.1"));
}

TEST(FitxerObertWindows, ReplaceWaitsForAProgramHoldingTheTargetWithinBounds) {
  CarpetaTemporal dir;
  const std::wstring desti = plat::Ample(dir.Host() + "D.INI");
  struct Cas {
    int alliberarMs;  // -1: never within the test
    bool fet;
  };
  for (const Cas c : {Cas{150, true}, Cas{-1, false}}) {
    dir.Escriure("D.INI", "vell");
    dir.Escriure("D.NOU", "nou");
    // An editor-like holder: no sharing of delete.
    HANDLE h = CreateFileW(desti.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::thread alliberar;
    if (c.alliberarMs >= 0)
      alliberar = std::thread([&] {
        Sleep(static_cast<DWORD>(c.alliberarMs));
        CloseHandle(h);
      });
    const bool fet = plat::ReanomenarAtomic(dir.Host() + "D.NOU", dir.Host() + "D.INI");
    if (alliberar.joinable()) alliberar.join();
    else CloseHandle(h);
    EXPECT_EQ(fet, c.fet) << c.alliberarMs;
    EXPECT_EQ(dir.Llegir("D.INI"), c.fet ? "nou" : "vell") << c.alliberarMs;
    plat::EsborrarFitxer(dir.Host() + "D.NOU");
  }
}

// Every key every writer wrote is there at the end, and no copy is left beside the file
// (only the hidden lock companion, which stays).
void ComprovarEscriptors(const CarpetaTemporal& dir, int escriptors, int claus) {
  for (int e = 0; e < escriptors; ++e)
    for (int i = 0; i < claus; ++i)
      EXPECT_EQ(LlegirIni(dir.Programa() + "MAIL.INI", "S", "E" + std::to_string(e) + "_" + std::to_string(i)),
                "valor " + std::to_string(i))
          << e << " " << i;
  EXPECT_EQ(dir.Entrades(), 2);
  EXPECT_TRUE(dir.Existeix("MAIL.INI.lck"));
}

TEST(FitxerObertWindows, ConcurrentIniWritersInThreadsLoseNoUpdate) {
  CarpetaTemporal dir;
  constexpr int kEscriptors = 4, kClaus = 15;
  std::vector<std::thread> fils;
  for (int e = 0; e < kEscriptors; ++e)
    fils.emplace_back([&, e] {
      for (int i = 0; i < kClaus; ++i)
        EscriureIni(dir.Programa() + "MAIL.INI", "S", "E" + std::to_string(e) + "_" + std::to_string(i),
                    "valor " + std::to_string(i));
    });
  for (auto& f : fils) f.join();
  ComprovarEscriptors(dir, kEscriptors, kClaus);
}

TEST(FitxerObertWindows, ConcurrentIniWritersInProcessesLoseNoUpdate) {
  CarpetaTemporal dir;
  constexpr int kEscriptors = 3, kClaus = 15;
  std::vector<HANDLE> processos;
  for (int e = 0; e < kEscriptors; ++e) {
    processos.push_back(Ajudant("ini \"" + dir.Programa() + "MAIL.INI\" E" + std::to_string(e) + "_ " +
                                std::to_string(kClaus)));
    ASSERT_NE(processos.back(), nullptr);
  }
  for (HANDLE p : processos) EXPECT_EQ(Esperar(p), 0u);
  ComprovarEscriptors(dir, kEscriptors, kClaus);
}

}  // namespace
