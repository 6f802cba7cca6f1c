// Folder listings and file facts as the host gives them: name order, no read-only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace {

class Directori : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ReiniciarSistema();
    plat::FixarEntorn("KEVDRIVES", "K=" + dir.Host());
    plat::RecarregarUnitats();
  }
  void TearDown() override { plat::ReiniciarSistema(); }
  std::vector<std::string> Noms(const std::string& carpeta) {
    std::vector<plat::EntradaDirectori> e;
    EXPECT_TRUE(plat::LlegirDirectori(carpeta, e));
    std::vector<std::string> r;
    for (const auto& x : e) r.push_back(x.nom);
    return r;
  }
  CarpetaTemporal dir;
};

TEST_F(Directori, NamesComeInCaseBlindNameOrder) {
  using V = std::vector<std::string>;
  struct Cas {
    std::vector<const char*> creats;  // host names (UTF-8), created in this order
    V esperat;                        // CP850 names as listed
  } casos[] = {
      {{"zeta", "beta", "Alfa"}, {"Alfa", "beta", "zeta"}},
      {{"b.txt", "B", "a_b", "A.TXT", "ab"}, {"A.TXT", "ab", "a_b", "B", "b.txt"}},
      // Equal once folded: the exact bytes decide, capitals first.
      {{"abc", "ABC", "Abc"}, {"ABC", "Abc", "abc"}},
      // Accented letters fold with their capitals and follow the plain letters.
      {{"\xC3\xA9s", "\xC3\x89r", "zz", "ez"}, {"ez", "zz", "\x90r", "\x82s"}},
      {{"\xC3\xA7" "a", "\xC3\x87" "b", "c"}, {"c", "\x87" "a", "\x80" "b"}},
  };
  int n = 0;
  for (const Cas& c : casos) {
    const std::string sub = "d" + std::to_string(n++) + "/";
    for (const char* nom : c.creats) dir.Escriure(sub + nom, "");
    SCOPED_TRACE(sub);
    EXPECT_EQ(Noms("K:\\" + sub), c.esperat);
  }
}

// Far more entries than one read of the folder returns: none is lost, and a name matched
// without regard to case is found however late it comes.
TEST_F(Directori, LargeFoldersAreReadWhole) {
  const std::string llarg(120, 'n');
  for (int i = 0; i < 300; ++i) dir.Escriure("gran/" + llarg + std::to_string(1000 + i), "");
  const std::vector<std::string> noms = Noms("K:\\gran");
  ASSERT_EQ(noms.size(), 300u);
  EXPECT_EQ(noms.front(), llarg + "1000");
  EXPECT_EQ(noms.back(), llarg + "1299");
  for (int i : {0, 150, 299})
    EXPECT_EQ(plat::CamiHost("K:\\GRAN\\" + std::string(120, 'N') + std::to_string(1000 + i)),
              dir.Host() + "gran/" + llarg + std::to_string(1000 + i));
}

TEST_F(Directori, FilesWithoutWriteBitsAreNotReadOnly) {
  dir.Escriure("LOGO.GIF", "GIF89a");
  dir.Escriure("sub/x", "");
  chmod((dir.Host() + "LOGO.GIF").c_str(), 0444);
  chmod((dir.Host() + "sub").c_str(), 0555);
  const plat::InfoFitxer fitxer = plat::Info("K:\\LOGO.GIF"), carpeta = plat::Info("K:\\SUB");
  std::vector<plat::EntradaDirectori> e;
  const bool llegit = plat::LlegirDirectori("K:\\", e);
  chmod((dir.Host() + "sub").c_str(), 0755);
  EXPECT_EQ(fitxer.atributs, plat::kArxiu);
  EXPECT_EQ(carpeta.atributs, plat::kDirectori);
  ASSERT_TRUE(llegit);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].atributs, plat::kArxiu);
  EXPECT_EQ(e[1].atributs, plat::kDirectori);
}

}  // namespace
