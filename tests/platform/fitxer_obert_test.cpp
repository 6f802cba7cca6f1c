#include "platform/fitxer_obert.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "util/entorn_prova.h"

namespace {

std::string LlegirTot(plat::FitxerObert& f, size_t tros) {
  std::string s;
  std::string buf(tros, '\0');
  int64_t r;
  while ((r = f.Llegir(buf.data(), buf.size())) > 0) s.append(buf.data(), static_cast<size_t>(r));
  EXPECT_EQ(r, 0);
  return s;
}

TEST(FitxerObert, ReadsARegularFileInChunksAndSeeks) {
  CarpetaTemporal t;
  std::string dades;
  for (int i = 0; i < 5000; ++i) dades += std::to_string(i) + "\r\n";
  t.Escriure("a.ini", dades);
  plat::FitxerObert f = plat::ObrirLectura(t.Host() + "a.ini");
  ASSERT_TRUE(f);
  EXPECT_EQ(LlegirTot(f, 7), dades);
  ASSERT_TRUE(f.Situar(10));
  EXPECT_EQ(LlegirTot(f, 4096), dades.substr(10));
  EXPECT_TRUE(f.Tancar());
  EXPECT_FALSE(f.Obert());
  char c;
  EXPECT_EQ(f.Llegir(&c, 1), -1);
}

TEST(FitxerObert, RefusesFifosFoldersAndMissingFilesWithoutWaiting) {
  CarpetaTemporal t;
  const std::string canal = t.Host() + "canal";
  ASSERT_EQ(mkfifo(canal.c_str(), 0600), 0);
  const auto inici = std::chrono::steady_clock::now();
  EXPECT_FALSE(plat::ObrirLectura(canal));
  EXPECT_FALSE(plat::ObrirLectura(canal, true));
  EXPECT_LT(std::chrono::steady_clock::now() - inici, std::chrono::seconds(2));
  EXPECT_FALSE(plat::ObrirLectura(t.Host()));
  EXPECT_FALSE(plat::ObrirLectura(t.Host() + "no.ini"));
  EXPECT_FALSE(t.Existeix("no.ini"));
  // With crear, a missing file comes into being, empty.
  plat::FitxerObert f = plat::ObrirLectura(t.Host() + "nou.ini", true);
  ASSERT_TRUE(f);
  EXPECT_TRUE(t.Existeix("nou.ini"));
  EXPECT_EQ(LlegirTot(f, 16), "");
}

TEST(FitxerObert, ExclusiveCreationNeverReusesAName) {
  CarpetaTemporal t;
  const std::string nom = t.Host() + "00000001.tmp";
  bool jaExisteix = true;
  plat::FitxerObert a = plat::CrearExclusiu(nom, &jaExisteix);
  ASSERT_TRUE(a);
  EXPECT_FALSE(jaExisteix);
  ASSERT_TRUE(a.EscriureTot("hola", 4));
  EXPECT_TRUE(a.Sincronitzar());
  EXPECT_TRUE(a.Tancar());
  plat::FitxerObert b = plat::CrearExclusiu(nom, &jaExisteix);
  EXPECT_FALSE(b);
  EXPECT_TRUE(jaExisteix);
  EXPECT_EQ(t.Llegir("00000001.tmp"), "hola");
  // A missing folder is a failure, not a taken name.
  plat::FitxerObert c = plat::CrearExclusiu(t.Host() + "no/x.tmp", &jaExisteix);
  EXPECT_FALSE(c);
  EXPECT_FALSE(jaExisteix);
  struct stat st;
  ASSERT_EQ(stat(nom.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(FitxerObert, PermissionsCopyAndAtomicReplace) {
  CarpetaTemporal t;
  t.Escriure("a.ini", "vell");
  const std::string a = t.Host() + "a.ini", nou = t.Host() + "nou.tmp";
  ASSERT_EQ(chmod(a.c_str(), 0640), 0);
  plat::FitxerObert original = plat::ObrirLectura(a);
  plat::FitxerObert copia = plat::CrearExclusiu(nou);
  ASSERT_TRUE(original && copia);
  EXPECT_TRUE(plat::CopiarPermisos(original, copia));
  ASSERT_TRUE(copia.EscriureTot("nou", 3));
  ASSERT_TRUE(copia.Tancar());
  EXPECT_TRUE(original.MateixFitxer(a));
  ASSERT_TRUE(plat::ReanomenarAtomic(nou, a));
  plat::SincronitzarCarpeta(t.Host());
  // The name now holds another file: an open handle on the old one must notice.
  EXPECT_FALSE(original.MateixFitxer(a));
  EXPECT_EQ(LlegirTot(original, 64), "vell");
  EXPECT_EQ(t.Llegir("a.ini"), "nou");
  EXPECT_FALSE(t.Existeix("nou.tmp"));
  struct stat st;
  ASSERT_EQ(stat(a.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_FALSE(plat::ReanomenarAtomic(nou, a));  // the source is gone
  EXPECT_TRUE(plat::EsborrarFitxer(a));
  EXPECT_FALSE(plat::EsborrarFitxer(a));
  EXPECT_FALSE(original.MateixFitxer(a));
}

TEST(FitxerObert, LockExcludesAnotherHolderAndGivesUpInTime) {
  CarpetaTemporal t;
  const std::string a = t.Host() + "a.ini";
  plat::FitxerObert primer = plat::ObrirLectura(a, true);
  ASSERT_TRUE(primer);
  ASSERT_TRUE(primer.BloquejarExclusiu(0));
  // A second open of the same file competes for the lock, within this process too.
  plat::FitxerObert segon = plat::ObrirLectura(a);
  ASSERT_TRUE(segon);
  const auto inici = std::chrono::steady_clock::now();
  EXPECT_FALSE(segon.BloquejarExclusiu(60));
  const auto espera = std::chrono::steady_clock::now() - inici;
  EXPECT_GE(espera, std::chrono::milliseconds(60));
  EXPECT_LT(espera, std::chrono::seconds(5));

  // Another process waiting for the lock gets it once the holder lets go.
  const pid_t fill = fork();
  ASSERT_GE(fill, 0);
  if (fill == 0) {
    // The inherited copies share the parent's lock: drop them, the parent's stay open.
    primer.Tancar();
    segon.Tancar();
    plat::FitxerObert f = plat::ObrirLectura(a);
    _exit(f && f.BloquejarExclusiu(5000) ? 0 : 1);
  }
  usleep(50 * 1000);
  primer.Tancar();
  int estat = 0;
  ASSERT_EQ(waitpid(fill, &estat, 0), fill);
  ASSERT_TRUE(WIFEXITED(estat));
  EXPECT_EQ(WEXITSTATUS(estat), 0);
  EXPECT_TRUE(segon.BloquejarExclusiu(1000));
}

TEST(FitxerObert, MovingKeepsOneOwner) {
  CarpetaTemporal t;
  t.Escriure("a.ini", "x");
  plat::FitxerObert a = plat::ObrirLectura(t.Host() + "a.ini");
  plat::FitxerObert b = std::move(a);
  EXPECT_FALSE(a.Obert());
  ASSERT_TRUE(b);
  plat::FitxerObert c;
  c = std::move(b);
  EXPECT_FALSE(b.Obert());
  EXPECT_EQ(LlegirTot(c, 4), "x");
}

}  // namespace
