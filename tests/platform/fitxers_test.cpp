#include "platform/fitxers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace {

class Fitxers : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ReiniciarSistema();
    plat::FixarEntorn("KEVDRIVES", "C=/;K=" + dir.Host() + ";Q=/no/such/folder");
    plat::RecarregarUnitats();
  }
  void TearDown() override { plat::ReiniciarSistema(); }
  CarpetaTemporal dir;
};

TEST_F(Fitxers, DriveLettersMapOntoHostFoldersAndMatchNamesWithoutCase) {
  dir.Escriure("Dades/Llistat.TXT", "x");
  const std::string esperat = dir.Host() + "Dades/Llistat.TXT";
  EXPECT_EQ(plat::CamiHost("K:\\DADES\\llistat.txt"), esperat);
  EXPECT_EQ(plat::CamiHost("k:/dades/LLISTAT.txt"), esperat);
  // Missing components keep their spelling; existing ones above them are still resolved.
  EXPECT_EQ(plat::CamiHost("K:\\dades\\Nou\\a.ini"), dir.Host() + "Dades/Nou/a.ini");
  // A trailing separator names the folder itself.
  EXPECT_EQ(plat::CamiHost("K:\\dades\\"), dir.Host() + "Dades/");
  // Trailing spaces are ignored, as the suite's host always did.
  EXPECT_EQ(plat::CamiHost("K:\\DADES\\LLISTAT.TXT   "), esperat);
  // Unmapped drive: no host path at all.
  EXPECT_EQ(plat::CamiHost("Z:\\x"), "");
  EXPECT_EQ(plat::CamiHost(""), "");
}

TEST_F(Fitxers, AccentedNamesTravelAsCp850) {
  dir.Escriure("Cami\xC3\xB3.txt", "x");  // "Camió.txt" on disk (UTF-8)
  EXPECT_EQ(plat::CamiHost("K:\\CAMI\xA2.TXT"), dir.Host() + "Cami\xC3\xB3.txt");  // ó is 0xA2 in CP850
  EXPECT_EQ(plat::CamiHost("K:\\cami\xE0.txt"), dir.Host() + "Cami\xC3\xB3.txt");  // Ó is 0xE0
  std::vector<plat::EntradaDirectori> e;
  ASSERT_TRUE(plat::LlegirDirectori("K:\\", e));
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].nom, "Cami\xA2.txt");
}

TEST_F(Fitxers, ListingLeavesOutNamesWithoutCp850AndDescribesEntries) {
  dir.Escriure("a.txt", "abc");
  dir.Escriure("\xE4\xB8\xAD.txt", "x");  // a CJK name cannot be written in CP850
  dir.Escriure(".ocult", "x");
  dir.Escriure("sub/b.txt", "x");
  ASSERT_EQ(symlink((dir.Host() + "no-existeix").c_str(), (dir.Host() + "penjat").c_str()), 0);
  std::vector<plat::EntradaDirectori> e;
  ASSERT_TRUE(plat::LlegirDirectori("K:\\", e));
  std::map<std::string, uint16_t> vist;
  for (auto& x : e) vist[x.nom] = x.atributs;
  EXPECT_EQ(vist.size(), 4u);
  EXPECT_EQ(vist["a.txt"], plat::kArxiu);
  EXPECT_EQ(vist["sub"], plat::kDirectori);
  EXPECT_EQ(vist[".ocult"], plat::kArxiu | plat::kOcult);
  EXPECT_TRUE(vist.count("penjat"));
  EXPECT_FALSE(plat::LlegirDirectori("K:\\no-hi-es", e));
  EXPECT_FALSE(plat::Info("K:\\penjat").existeix);
}

TEST_F(Fitxers, InfoReportsKindAndSize) {
  dir.Escriure("f.txt", "12345");
  auto i = plat::Info("K:\\F.TXT");
  EXPECT_TRUE(i.existeix);
  EXPECT_FALSE(i.directori);
  EXPECT_EQ(i.mida, 5u);
  EXPECT_EQ(i.atributs, plat::kArxiu);
  EXPECT_TRUE(plat::Info("K:\\").directori);
  EXPECT_FALSE(plat::Info("K:\\res").existeix);
}

TEST_F(Fitxers, ProgramFormOfHostPathsPrefersTheDeepestDrive) {
  EXPECT_EQ(plat::CamiPrograma(dir.Host() + "x/y.txt"), "K:\\x\\y.txt");
  EXPECT_EQ(plat::CamiPrograma("/usr/bin"), "C:\\usr\\bin");
  plat::FixarEntorn("KEVDRIVES", "K=" + dir.Host());
  plat::RecarregarUnitats();
  EXPECT_EQ(plat::CamiPrograma("/usr/bin"), "\\usr\\bin");  // no drive holds it
}

// Opening, facts and removal try the path as spelled and match names only when that fails:
// both ways must reach the same file, and nothing that is not one.
TEST_F(Fitxers, OpeningFactsAndRemovalFindTheFileHoweverSpelled) {
  dir.Escriure("Dades/Llistat.TXT", "abc");
  struct Cas {
    const char* cami;
    bool obert;
  } casos[] = {
      {"K:\\Dades\\Llistat.TXT", true}, {"k:\\DADES\\llistat.txt", true}, {"K:/dades/LLISTAT.TXT  ", true},
      {"K:\\Dades\\Altre.TXT", false},  {"K:\\Dades", false},              {"Q:\\Llistat.TXT", false},
  };
  for (const Cas& c : casos) {
    plat::FitxerObert f = plat::ObrirLecturaCami(c.cami);
    EXPECT_EQ(f.Obert(), c.obert) << c.cami;
    char buf[8];
    EXPECT_EQ(f.Llegir(buf, sizeof buf), c.obert ? 3 : -1) << c.cami;
    EXPECT_EQ(plat::Info(c.cami).existeix, c.obert || std::string(c.cami) == "K:\\Dades") << c.cami;
  }
  EXPECT_EQ(plat::Esborrar("K:\\dades"), EISDIR);
  EXPECT_EQ(plat::Esborrar("K:\\DADES\\LLISTAT.txt"), 0);
  EXPECT_FALSE(plat::Info("K:\\Dades\\Llistat.TXT").existeix);
  EXPECT_EQ(plat::Esborrar("K:\\DADES\\LLISTAT.txt"), ENOENT);
}

TEST_F(Fitxers, FileOperationsReportFailureInsteadOfActing) {
  EXPECT_TRUE(plat::EscriureFitxer("K:\\n.txt", std::string("a\0b", 3)));
  EXPECT_EQ(*plat::LlegirFitxer("k:\\N.TXT"), std::string("a\0b", 3));
  EXPECT_EQ(*plat::LlegirFitxer("k:\\N.TXT", 1), "a");
  EXPECT_FALSE(plat::LlegirFitxer("K:\\").has_value());  // a folder is not a file
  EXPECT_EQ(plat::Reanomenar("K:\\n.txt", "K:\\m.txt"), 0);
  EXPECT_NE(plat::Esborrar("K:\\n.txt"), 0);
  EXPECT_EQ(plat::Esborrar("K:\\M.TXT"), 0);
  ASSERT_TRUE(plat::CrearDirectori("K:\\d"));
  EXPECT_NE(plat::Esborrar("K:\\d"), 0);  // deleting a file never removes a folder
  EXPECT_EQ(plat::EsborrarDirectori("K:\\D"), 0);
  EXPECT_NE(plat::Esborrar("Z:\\x"), 0);
}

TEST_F(Fitxers, CurrentDirectoryPerDrive) {
  char vell[4096];
  ASSERT_TRUE(getcwd(vell, sizeof vell));
  dir.Escriure("Sub/x", "");
  ASSERT_TRUE(plat::CanviarDirectori("K:\\sub"));
  EXPECT_EQ(plat::DirectoriActual(), "K:\\Sub");
  EXPECT_EQ(plat::DirectoriActualUnitat('k'), "K:\\Sub");
  EXPECT_EQ(plat::CamiHost("x"), "x");  // relative paths stay relative to the process
  EXPECT_EQ(plat::CamiHost("K:x"), dir.Host() + "Sub/x");  // drive-relative
  EXPECT_EQ(plat::DirectoriActualUnitat('Q'), "Q:\\");
  EXPECT_EQ(plat::DirectoriActualUnitat('Z'), "");
  EXPECT_FALSE(plat::CanviarDirectori("K:\\no-hi-es"));
  ASSERT_EQ(chdir(vell), 0);
}

TEST_F(Fitxers, DriveDescriptions) {
  EXPECT_EQ(plat::DescriureUnitat('Z').tipus, plat::TipusDisc::Desconegut);
  EXPECT_EQ(plat::DescriureUnitat('Q').tipus, plat::TipusDisc::Desconegut);  // folder missing
  auto c = plat::DescriureUnitat('C');
  EXPECT_NE(c.tipus, plat::TipusDisc::Desconegut);
  EXPECT_TRUE(c.substitut.empty());  // "/" is a mount point itself
}

TEST_F(Fitxers, DefaultDriveMapReachesRootAndHome) {
  plat::FixarEntorn("KEVDRIVES", std::nullopt);
  plat::FixarEntorn("HOME", "/home/operador");
  plat::RecarregarUnitats();
  EXPECT_EQ(plat::CarpetaUnitat('c'), "/");
  EXPECT_EQ(plat::CarpetaUnitat('H'), "/home/operador");
  EXPECT_EQ(plat::UnitatsMapejades(), "CH");
}

TEST_F(Fitxers, MalformedDriveMapItemsAreIgnored) {
  plat::FixarEntorn("KEVDRIVES", " k: = " + dir.Host() + " ;;=;XY=/;7=/;D=relatiu;E=");
  plat::RecarregarUnitats();
  EXPECT_EQ(plat::UnitatsMapejades(), "K");
}

}  // namespace
