// Bad input, concurrent writers, failures while writing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "session/ini.h"
#include "session/utilitats.h"
#include "util/entorn_prova.h"

namespace {

TEST(RobustesaIni, MegabyteLinesAreCopiedWholeAndSkippedWhenReading) {
  CarpetaTemporal dir;
  const std::string comentari = ";" + std::string(1 << 20, 'c');
  const std::string brossa(1 << 20, 'b');
  const std::string llarg = "llarg=" + std::string(1 << 20, 'v');
  const std::string dades = "[A]\r\n" + brossa + "\r\nx=1\r\n" + llarg + "\r\n" + comentari + "\r\n\r\n[B]\r\ny=2\r\n";
  dir.Escriure("f.ini", dades);
  const std::string f = dir.Programa() + "f.ini";
  EXPECT_EQ(LlegirIni(f, "A", "x"), "1");
  EXPECT_EQ(LlegirIni(f, "B", "y"), "2");
  // A value longer than a line can hold is cut, never grown without bound.
  const std::string v = LlegirIni(f, "A", "llarg");
  EXPECT_GT(v.size(), 1000u);
  EXPECT_LE(v.size(), llarg.size());
  EXPECT_EQ(v.find_first_not_of('v'), std::string::npos);

  EscriureIni(f, "A", "z", "3");
  EXPECT_EQ(dir.Llegir("f.ini"),
            "[A]\r\n" + brossa + "\r\nx=1\r\n" + llarg + "\r\nz=3\r\n" + comentari + "\r\n\r\n[B]\r\ny=2\r\n");
  EscriureIni(f, "A", "llarg", "curt");
  EXPECT_EQ(dir.Llegir("f.ini"),
            "[A]\r\n" + brossa + "\r\nx=1\r\nllarg=curt\r\nz=3\r\n" + comentari + "\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(RobustesaIni, HeadersAndKeysRightAfterAnOverlongLineAreFound) {
  CarpetaTemporal dir;
  const std::string brossa(300000, 'b');
  const std::string espais(70000, ' ');
  for (const char* fi : {"\r\n", "\n", "\r"}) {
    const std::string salt = fi;
    dir.Escriure("f.ini", "[Z]" + salt + brossa + salt + "[A]" + salt + brossa + salt + "x=1" + salt + espais +
                              "y=2" + salt + "  Y =3" + salt);
    const std::string f = dir.Programa() + "f.ini";
    EXPECT_EQ(LlegirIni(f, "A", "x"), "1") << salt.size();
    // A key beyond the interpreted start of its line does not count.
    EXPECT_EQ(LlegirIni(f, "A", "y"), "3") << salt.size();
    EXPECT_EQ(LlegirIni(f, "Z", "x"), "");
  }
}

TEST(RobustesaIni, LongRunsOfSpacersAreHeldBackInOrder) {
  CarpetaTemporal dir;
  std::string espais;
  for (int i = 0; i < 40000; ++i) espais += "; comentari " + std::to_string(i) + "\r\n\r\n";
  dir.Escriure("f.ini", "[A]\r\nx=1\r\n" + espais + "[B]\r\n" + espais);
  const std::string f = dir.Programa() + "f.ini";
  EscriureIni(f, "A", "y", "2");
  EscriureIni(f, "B", "z", "3");
  EXPECT_EQ(dir.Llegir("f.ini"), "[A]\r\nx=1\r\ny=2\r\n" + espais + "[B]\r\nz=3\r\n" + espais);
}

TEST(RobustesaIni, BinaryBytesDoNotCrashAndSurviveARewrite) {
  CarpetaTemporal dir;
  std::mt19937 gen(7);
  std::string brossa;
  for (int i = 0; i < 200000; ++i) {
    char c = static_cast<char>(gen() & 0xFF);
    if (c == '\r' || c == '\n') c = 'x';  // keep one line per chunk so the check below is simple
    brossa += c;
    if (i % 997 == 0) brossa += "\r\n";
  }
  brossa += "\r\n";
  dir.Escriure("f.ini", brossa);
  const std::string f = dir.Programa() + "f.ini";
  (void)LlegirIni(f, "A", "x");
  EscriureIni(f, "Nova", "k", "v");
  const std::string r = dir.Llegir("f.ini");
  EXPECT_EQ(LlegirIni(f, "Nova", "k"), "v");
  EXPECT_EQ(r.substr(0, brossa.size() - 2), brossa.substr(0, brossa.size() - 2));
}

TEST(RobustesaIni, HugeFileIsStreamed) {
  CarpetaTemporal dir;
  {
    std::string bloc;
    for (int i = 0; i < 1000; ++i) bloc += "Clau" + std::to_string(i) + "=valor de la clau " + std::to_string(i) + "\r\n";
    FILE* fp = fopen((dir.Host() + "gran.ini").c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    fputs("[Inici]\r\n", fp);
    for (size_t escrit = 0; escrit < (100u << 20); escrit += bloc.size()) fwrite(bloc.data(), 1, bloc.size(), fp);
    fputs("[Final]\r\nultima=si\r\n", fp);
    fclose(fp);
  }
  const std::string f = dir.Programa() + "gran.ini";
  struct rusage abans, despres;
  getrusage(RUSAGE_SELF, &abans);
  EXPECT_EQ(LlegirIni(f, "Final", "ultima"), "si");
  EXPECT_EQ(LlegirIni(f, "Inici", "Clau999"), "valor de la clau 999");
  getrusage(RUSAGE_SELF, &despres);
  // Peak memory must not grow by anything like the file size.
  EXPECT_LT(despres.ru_maxrss - abans.ru_maxrss, 20 * 1024);
}

TEST(RobustesaIni, FifoIsNotWaitedFor) {
  CarpetaTemporal dir;
  ASSERT_EQ(mkfifo((dir.Host() + "canal.ini").c_str(), 0600), 0);
  EXPECT_EQ(LlegirIni(dir.Programa() + "canal.ini", "A", "x"), "");
  EscriureIni(dir.Programa() + "canal.ini", "A", "x", "1");
  EXPECT_EQ(dir.Entrades(), 1);
}

// Several processes each add their own keys to one shared file: without a lock around the
// read-modify-write, one writer's rename drops keys the other had just added.
TEST(ConcurrenciaIni, ConcurrentWritersLoseNoUpdate) {
  CarpetaTemporal dir;
  const std::string f = dir.Programa() + "MAIL.INI";
  EscriureIni(f, "Comptador", "Valor", "0");
  constexpr int kProcessos = 4, kVegades = 60;
  std::vector<pid_t> fills;
  for (int p = 0; p < kProcessos; ++p) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < kVegades; ++i) {
        EscriureIni(f, "Proc" + std::to_string(p), "n" + std::to_string(i), "x");
      }
      _exit(0);
    }
    fills.push_back(pid);
  }
  for (pid_t pid : fills) {
    int st = 0;
    waitpid(pid, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
  }
  for (int p = 0; p < kProcessos; ++p)
    for (int i = 0; i < kVegades; ++i)
      ASSERT_EQ(LlegirIni(f, "Proc" + std::to_string(p), "n" + std::to_string(i)), "x") << p << " " << i;
  EXPECT_EQ(dir.Entrades(), 1);
}

TEST(ConcurrenciaIni, ThreadsWritingTheSameFileKeepEveryKey) {
  CarpetaTemporal dir;
  const std::string f = dir.Programa() + "comu.ini";
  std::vector<std::thread> fils;
  for (int t = 0; t < 4; ++t)
    fils.emplace_back([&, t] {
      for (int i = 0; i < 40; ++i) EscriureIni(f, "Fil", "k" + std::to_string(t) + "_" + std::to_string(i), "1");
    });
  for (auto& th : fils) th.join();
  for (int t = 0; t < 4; ++t)
    for (int i = 0; i < 40; ++i) ASSERT_EQ(LlegirIni(f, "Fil", "k" + std::to_string(t) + "_" + std::to_string(i)), "1");
  EXPECT_EQ(dir.Entrades(), 1);
}

TEST(ConcurrenciaIni, ReadersNeverSeeAHalfWrittenFile) {
  CarpetaTemporal dir;
  const std::string f = dir.Programa() + "f.ini";
  std::string gran = "[A]\r\n";
  for (int i = 0; i < 20000; ++i) gran += "k" + std::to_string(i) + "=v\r\n";
  gran += "[Z]\r\nultima=1\r\n";
  dir.Escriure("f.ini", gran);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    for (int i = 0; i < 30; ++i) EscriureIni(f, "A", "k0", std::to_string(i));
    _exit(0);
  }
  int errors = 0, lectures = 0;
  int st = 0;
  while (waitpid(pid, &st, WNOHANG) == 0) {
    if (LlegirIni(f, "Z", "ultima") != "1") ++errors;
    ++lectures;
  }
  EXPECT_GT(lectures, 0);
  EXPECT_EQ(errors, 0);
}

// A writer that cannot finish (file size limit) must leave the original and no temporary.
TEST(FalladaIni, FailedWriteKeepsOriginalAndLeavesNoTemporary) {
  CarpetaTemporal dir;
  std::string original = "[A]\r\n";
  for (int i = 0; i < 5000; ++i) original += "clau" + std::to_string(i) + "=valor\r\n";
  dir.Escriure("f.ini", original);
  const std::string f = dir.Programa() + "f.ini";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &rl);
    EscriureIni(f, "A", "nova", "1");
    _exit(0);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  EXPECT_EQ(dir.Llegir("f.ini"), original);
  EXPECT_EQ(dir.Entrades(), 1);
}

TEST(FalladaIni, UnwritableFolderKeepsOriginal) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  CarpetaTemporal dir;
  dir.Escriure("sub/f.ini", "[A]\r\nx=1\r\n");
  ASSERT_EQ(chmod((dir.Host() + "sub").c_str(), 0555), 0);
  EscriureIni(dir.Programa() + "sub\\f.ini", "A", "x", "2");
  EXPECT_EQ(dir.Llegir("sub/f.ini"), "[A]\r\nx=1\r\n");
  EXPECT_EQ(dir.Entrades("sub"), 1);
}

TEST(FalladaIni, MissingFolderWritesNothing) {
  CarpetaTemporal dir;
  EscriureIni(dir.Programa() + "noexisteix\\f.ini", "A", "x", "1");
  EXPECT_FALSE(dir.Existeix("noexisteix"));
}

// A writer killed at any moment leaves either the old or the new file, whole.
TEST(FalladaIni, KilledWriterLeavesOldOrNewFile) {
  CarpetaTemporal dir;
  std::string original = "[A]\r\n";
  for (int i = 0; i < 200000; ++i) original += "clau" + std::to_string(i) + "=valor\r\n";
  const std::string nou = "[A]\r\nclau0=canviat\r\n" + original.substr(original.find("clau1="));
  const std::string f = dir.Programa() + "f.ini";
  for (int retard : {0, 2, 5, 10, 20}) {
    dir.Escriure("f.ini", original);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      EscriureIni(f, "A", "clau0", "canviat");
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(retard));
    kill(pid, SIGKILL);
    int st = 0;
    waitpid(pid, &st, 0);
    const std::string ara = dir.Llegir("f.ini");
    EXPECT_TRUE(ara == original || ara == nou) << "delay " << retard << " size " << ara.size();
  }
}

}  // namespace
