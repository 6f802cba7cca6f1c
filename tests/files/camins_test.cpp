#include "files/camins.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace fs = std::filesystem;

namespace {

class Camins : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::NetejarEntorn();
    plat::FixarEntorn("KEVDRIVES", "D=" + dades_.Host() + ";E=" + feina_.Host());
    plat::FixarEntorn("TEMP", temp_.Host());
    plat::RecarregarUnitats();
    ReiniciarCamins();
  }
  void TearDown() override {
    ReiniciarCamins();
    plat::NetejarEntorn();
    plat::RecarregarUnitats();
  }
  // Every entry of the newest listing.
  static std::vector<std::string> LlegirTot() {
    std::vector<std::string> r;
    std::string e;
    for (int i = 0; i < 100000 && !SeguentEntrada(e); ++i) r.push_back(e);
    EXPECT_EQ(e, "");
    return r;
  }
  static std::vector<std::string> Ordenat(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string NouLlistat() const {
    const size_t barra = FitxersLlistat.find('|');
    return FitxersLlistat.substr(0, barra);
  }

  CarpetaTemporal dades_, feina_, temp_;
};

TEST(PartsCamiTest, SplitsDriveDirectoryNameExtension) {
  EXPECT_EQ(PartsCami(1, "C:\\A\\B.TXT"), "C:");
  EXPECT_EQ(PartsCami(2, "C:\\A\\B.TXT"), "\\A\\");
  EXPECT_EQ(PartsCami(4, "C:\\A\\B.TXT"), "B");
  EXPECT_EQ(PartsCami(8, "C:\\A\\B.TXT"), ".TXT");
  EXPECT_EQ(PartsCami(3, "C:\\A\\B.TXT"), "C:\\A\\");
  EXPECT_EQ(PartsCami(12, "C:\\A\\B.TXT"), "B.TXT");
  EXPECT_EQ(PartsCami(15, "C:\\A\\B.TXT"), "C:\\A\\B.TXT");
  EXPECT_EQ(PartsCami(0, "C:\\A\\B.TXT"), "");
}

TEST(PartsCamiTest, DriveRelativeUncDotsAndForwardSlashes) {
  EXPECT_EQ(PartsCami(2, "C:B.TXT"), "");
  EXPECT_EQ(PartsCami(4, "C:B.TXT"), "B");
  EXPECT_EQ(PartsCami(1, "\\\\SERVER\\SHARE\\X.DOC"), "");
  EXPECT_EQ(PartsCami(2, "\\\\SERVER\\SHARE\\X.DOC"), "\\\\SERVER\\SHARE\\");
  EXPECT_EQ(PartsCami(8, "C:\\A.B\\C"), "");
  EXPECT_EQ(PartsCami(4, "C:\\A.B\\C"), "C");
  EXPECT_EQ(PartsCami(8, "d:/x/arxiu.tar.gz"), ".gz");
  EXPECT_EQ(PartsCami(6, "d:/x/arxiu.tar.gz"), "/x/arxiu.tar");
  EXPECT_EQ(PartsCami(4, "NOM"), "NOM");
  EXPECT_EQ(PartsCami(8, ".profile"), ".profile");
  EXPECT_EQ(PartsCami(15, ""), "");
  EXPECT_EQ(PartsCami(2, "C:"), "");
  EXPECT_EQ(PartsCami(4, "C:\\DIR\\"), "");
}

TEST_F(Camins, AbsolutResolvesDotsAndDotDots) {
  EXPECT_EQ(CamiAbsolut("d:/x/./y/../z"), "d:\\x\\z\\");
  EXPECT_EQ(CamiAbsolut("D:\\A\\B\\..\\C"), "D:\\A\\C\\");
  EXPECT_EQ(CamiAbsolut("D:\\..\\C"), "D:\\C\\");
  EXPECT_EQ(CamiAbsolut("D:\\..\\..\\"), "D:\\");
  EXPECT_EQ(CamiAbsolut("D:\\A\\.\\..\\"), "D:\\");
  EXPECT_EQ(CamiAbsolut("  D:\\A\\B  "), "D:\\A\\B\\");
  EXPECT_EQ(CamiAbsolut("D:\\A\\...\\B.\\"), "D:\\A\\...\\B.\\");
  // An unmapped drive has no current folder: the relative part goes.
  EXPECT_EQ(CamiAbsolut("Q:ALGU\\ALTRE"), "Q:\\");
}

TEST_F(Camins, AbsolutOfRelativePathsUsesTheCurrentFolder) {
  dades_.Escriure("sub/dins/f.txt", "x");
  const std::string abans = fs::current_path().string();
  ASSERT_TRUE(plat::CanviarDirectori("D:\\sub"));
  EXPECT_EQ(CamiAbsolut("dins"), "D:\\sub\\dins\\");
  EXPECT_EQ(CamiAbsolut(".."), "D:\\");
  EXPECT_EQ(CamiAbsolut("D:"), "D:\\sub\\");
  EXPECT_EQ(CamiAbsolut(""), "D:\\sub\\");
  EXPECT_EQ(CamiAbsolut("d:dins\\..\\x"), "d:\\sub\\x\\");
  fs::current_path(abans);
}

TEST_F(Camins, LongAndShortFormsFollowTheDisk) {
  dades_.Escriure("Carpeta Mixta/Informe Anual.txt", "x");
  EXPECT_EQ(CamiLlarg("D:\\CARPETA MIXTA\\INFORME ANUAL.TXT"), "D:\\Carpeta Mixta\\Informe Anual.txt");
  EXPECT_EQ(CamiLlarg("d:/carpeta mixta/"), "d:\\Carpeta Mixta\\");
  EXPECT_EQ(CamiCurt("D:\\carpeta mixta\\informe anual.txt  "), "D:\\CARPETA MIXTA\\INFORME ANUAL.TXT");
  EXPECT_EQ(CamiLlarg("D:\\"), "D:\\");
  EXPECT_EQ(CamiLlarg("D:\\NO HI ES.TXT"), "");
  EXPECT_EQ(CamiCurt("D:\\NO HI ES.TXT"), "");
  EXPECT_EQ(CamiLlarg(""), "");
  // Accented names are CP850 inside the program.
  dades_.Escriure("caf\xC3\xA9.txt", "x");
  EXPECT_EQ(CamiLlarg("D:\\CAF\x90.TXT"), "D:\\caf\x82.txt");
  EXPECT_EQ(CamiCurt("D:\\caf\x82.txt"), "D:\\CAF\x90.TXT");
  // A host path stays a host path.
  EXPECT_EQ(CamiLlarg(dades_.Programa() + "CARPETA MIXTA"), dades_.Programa() + "Carpeta Mixta");
}

TEST_F(Camins, ListingWithMaskZeroHoldsFilesOnlyAndFixesTheMask) {
  dades_.Escriure("a.txt", "1");
  dades_.Escriure("B.doc", "2");
  dades_.Escriure("sub/c.txt", "3");
  dades_.Escriure(".amagat", "4");
  AtributsLlistat = 0;
  LlistarDirectori("D:\\*.*");
  EXPECT_EQ(AtributsLlistat, 32);
  EXPECT_EQ(Ordenat(LlegirTot()), (std::vector<std::string>{"A.TXT", "B.DOC"}));
  // Read to the end: stays at the end.
  std::string e = "x";
  EXPECT_TRUE(SeguentEntrada(e));
  EXPECT_EQ(e, "");
}

TEST_F(Camins, ListingWithMaskSixteenHoldsFoldersOnly) {
  dades_.Escriure("a.txt", "1");
  dades_.Escriure("Sub Un/x", "2");
  dades_.Escriure("dos/y", "3");
  dades_.Escriure(".git/z", "4");
  AtributsLlistat = 16;
  LlistarDirectori("D:\\*.*");
  EXPECT_EQ(AtributsLlistat, 16);
  EXPECT_EQ(Ordenat(LlegirTot()), (std::vector<std::string>{"DOS", "SUB UN"}));
  AtributsLlistat = 16 | 2;
  LlistarDirectori("D:\\*.*");
  EXPECT_EQ(Ordenat(LlegirTot()), (std::vector<std::string>{".GIT", "DOS", "SUB UN"}));
  AtributsLlistat = 16 | 32;
  LlistarDirectori("d:/");
  EXPECT_EQ(Ordenat(LlegirTot()), (std::vector<std::string>{"A.TXT", "DOS", "SUB UN"}));
}

TEST_F(Camins, ListingFollowsThePatternWithoutRegardToCase) {
  for (const char* n : {"u.txt", "dos.TXT", "tres.doc", "README", "quatre.txt.bak"}) dades_.Escriure(n, "x");
  AtributsLlistat = 0;
  LlistarDirectori("D:\\*.txt");
  EXPECT_EQ(Ordenat(LlegirTot()), (std::vector<std::string>{"DOS.TXT", "U.TXT"}));
  LlistarDirectori("D:\\?.TXT");
  EXPECT_EQ(LlegirTot(), (std::vector<std::string>{"U.TXT"}));
  LlistarDirectori("D:\\*.*");
  EXPECT_EQ(LlegirTot().size(), 5u);
  LlistarDirectori("D:\\R*");
  EXPECT_EQ(LlegirTot(), (std::vector<std::string>{"README"}));
}

TEST_F(Camins, TwoListingsAreReadFromTheNewest) {
  dades_.Escriure("primer.txt", "1");
  feina_.Escriure("segon.txt", "2");
  feina_.Escriure("tercer.txt", "3");
  AtributsLlistat = 0;
  LlistarDirectori("D:\\*.*");
  const std::string vell = NouLlistat();
  LlistarDirectori("E:\\*.*");
  const std::string nou = NouLlistat();
  ASSERT_NE(vell, nou);
  EXPECT_EQ(FitxersLlistat, nou + "|" + vell + "|");
  EXPECT_EQ(Ordenat(LlegirTot()), (std::vector<std::string>{"SEGON.TXT", "TERCER.TXT"}));
  // The older listing was never read: its position is still the first entry.
  const std::string bytes = plat::LlegirFitxer(vell).value();
  EXPECT_EQ(bytes, std::string("\x05\0\0\0PRIMER.TXT\r\n", 16));
  // The newest file holds the position past its last entry.
  const std::string nous = plat::LlegirFitxer(nou).value();
  ASSERT_GE(nous.size(), 4u);
  EXPECT_EQ(static_cast<size_t>(static_cast<unsigned char>(nous[0])), nous.size() + 1);
}

TEST_F(Camins, ListingFilesLiveInTempAndGoAway) {
  dades_.Escriure("a.txt", "1");
  LlistarDirectori("D:\\*.*");
  LlistarDirectori("D:\\*.*");
  EXPECT_EQ(temp_.Entrades(), 2);
  const std::string nom = NouLlistat();
  EXPECT_EQ(nom.rfind(temp_.Host(), 0), 0u) << nom;
  EXPECT_EQ(PartsCami(8, nom), ".dir");
  ReiniciarCamins();
  EXPECT_EQ(temp_.Entrades(), 0);
  EXPECT_EQ(FitxersLlistat, "");
  std::string e = "x";
  EXPECT_TRUE(SeguentEntrada(e));
  EXPECT_EQ(e, "");
}

TEST_F(Camins, TempFallsBackToTmpdir) {
  plat::FixarEntorn("TEMP", "");
  plat::FixarEntorn("TMPDIR", feina_.Host());
  EXPECT_EQ(CarpetaLlistats(), feina_.Host());
  plat::FixarEntorn("TMPDIR", "");
  EXPECT_EQ(CarpetaLlistats(), "/tmp");
}

TEST_F(Camins, AnUncreatableListingReadsEmptyNotTheOldOne) {
  dades_.Escriure("a.txt", "1");
  LlistarDirectori("D:\\*.*");
  plat::FixarEntorn("TEMP", dades_.Host() + "no/hi/es");
  LlistarDirectori("D:\\*.*");
  std::string e = "x";
  EXPECT_TRUE(SeguentEntrada(e));
  EXPECT_EQ(e, "");
}

TEST_F(Camins, OddNamesNeverBreakTheListing) {
  dades_.Escriure("amb espai.txt", "1");
  dades_.Escriure("\xC3\xA0pat.txt", "2");           // CP850 has it
  dades_.Escriure("\xE2\x98\x83.txt", "3");           // a snowman: CP850 has not
  dades_.Escriure("salt\nde linia.txt", "4");        // would split the line
  dades_.Escriure("Doble.txt", "5");
  dades_.Escriure("DOBLE.TXT", "6");
  dades_.Escriure("barra\\inversa", "7");
  ASSERT_EQ(symlink("/no/existeix", (dades_.Host() + "penjat.lnk").c_str()), 0);
  AtributsLlistat = 0;
  LlistarDirectori("D:\\*.*");
  const std::vector<std::string> v = Ordenat(LlegirTot());
  EXPECT_EQ(v, (std::vector<std::string>{"AMB ESPAI.TXT", "DOBLE.TXT", "PENJAT.LNK", "\xB7PAT.TXT"}));
  // Every listed name resolves back to an existing entry, except the dangling link.
  for (const std::string& n : v) {
    if (n == "PENJAT.LNK") {
      EXPECT_EQ(CamiLlarg("D:\\" + n), "");
      EXPECT_EQ(DataFitxer("D:\\" + n), "");
    } else {
      EXPECT_NE(CamiLlarg("D:\\" + n), "") << n;
      EXPECT_EQ(DataFitxer("D:\\" + n).size(), 14u) << n;
    }
  }
}

TEST_F(Camins, UnreadableFolderGivesAnEmptyListing) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  dades_.Escriure("tancat/a.txt", "1");
  ASSERT_EQ(chmod((dades_.Host() + "tancat").c_str(), 0), 0);
  AtributsLlistat = 0;
  LlistarDirectori("D:\\tancat\\*.*");
  EXPECT_TRUE(LlegirTot().empty());
  chmod((dades_.Host() + "tancat").c_str(), 0755);
}

TEST_F(Camins, MissingFolderGivesAnEmptyListing) {
  dades_.Escriure("fitxer.txt", "x");
  LlistarDirectori("D:\\fitxer.txt\\*.*");
  EXPECT_TRUE(LlegirTot().empty());
  LlistarDirectori("D:\\no\\hi\\es\\*.*");
  LlistarDirectori("Q:\\*.*");
  EXPECT_TRUE(LlegirTot().empty());
}

TEST_F(Camins, ReadPositionCorruptedOnDiskEndsTheListing) {
  for (const std::string& cap : {std::string("\xFF\xFF\xFF\x7F", 4), std::string("\x00\x00\x00\x00", 4),
                                 std::string("\x04\x00\x00\x00", 4), std::string("\x05\x00", 2)}) {
    ReiniciarCamins();
    temp_.Escriure("x.dir", cap + "A.TXT\r\n");
    FitxersLlistat = temp_.Host() + "x.dir|";
    std::string e = "x";
    EXPECT_TRUE(SeguentEntrada(e));
    EXPECT_EQ(e, "");
  }
}

TEST(EntradaLlistatTest, LinesAndPositions) {
  const std::string d = std::string("\x05\0\0\0", 4) + "U\r\nDOS\nTRES\rQUATRE";
  uint32_t p = 5;
  EXPECT_EQ(EntradaLlistat(d, p), "U");
  EXPECT_EQ(p, 8u);
  EXPECT_EQ(EntradaLlistat(d, p), "DOS");
  EXPECT_EQ(EntradaLlistat(d, p), "TRES");
  EXPECT_EQ(EntradaLlistat(d, p), "QUATRE");
  EXPECT_EQ(p, d.size() + 1);
  EXPECT_EQ(EntradaLlistat(d, p), "");
  EXPECT_EQ(p, d.size() + 1);
  uint32_t zero = 0;
  EXPECT_EQ(EntradaLlistat(d, zero), "");
  uint32_t enorme = 0xFFFFFFFFu;
  EXPECT_EQ(EntradaLlistat(d, enorme), "");
  // An empty line is an empty entry (the end for SeguentEntrada).
  const std::string buida = std::string("\x05\0\0\0", 4) + "\r\nA\r\n";
  uint32_t q = 5;
  EXPECT_EQ(EntradaLlistat(buida, q), "");
  EXPECT_EQ(q, 7u);
}

TEST_F(Camins, FileDateIsUtcAndMissingFilesGiveEmpty) {
  dades_.Escriure("data.txt", "x");
  // 2024-03-07 13:05:09 UTC
  const std::time_t t = 1709816709;
  struct timespec ts[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dades_.Host() + "data.txt").c_str(), ts, 0), 0);
  EXPECT_EQ(DataFitxer("D:\\DATA.TXT"), "20240307130509");
  // These ended the program once; now the picker simply leaves them out.
  EXPECT_EQ(DataFitxer("D:\\NO HI ES.TXT"), "");
  dades_.Escriure("carpeta/x", "x");
  EXPECT_EQ(DataFitxer("D:\\CARPETA"), "");
  EXPECT_EQ(DataFitxer(""), "");
}

TEST_F(Camins, ListedNamesResolveAfterARename) {
  dades_.Escriure("Antic.txt", "x");
  AtributsLlistat = 0;
  LlistarDirectori("D:\\*.*");
  EXPECT_EQ(CamiLlarg("D:\\ANTIC.TXT"), "D:\\Antic.txt");
  fs::rename(dades_.Host() + "Antic.txt", dades_.Host() + "aNTIC.txt");
  EXPECT_EQ(CamiLlarg("D:\\ANTIC.TXT"), "D:\\aNTIC.txt");
  fs::remove(dades_.Host() + "aNTIC.txt");
  EXPECT_EQ(CamiLlarg("D:\\ANTIC.TXT"), "");
}

TEST(CodiUnitatTest, EveryDriveKind) {
  std::string d = "sense canvi";
  plat::InfoUnitat u;
  EXPECT_EQ(CodiUnitat('A', u, d), "");
  EXPECT_EQ(d, "sense canvi");
  u.tipus = plat::TipusDisc::Extraible;
  EXPECT_EQ(CodiUnitat('A', u, d), "4");
  EXPECT_EQ(d, "A: 3.5\" 1.44MB");
  EXPECT_EQ(CodiUnitat('F', u, d), "R");
  EXPECT_EQ(d, "F:");
  u.tipus = plat::TipusDisc::Fix;
  EXPECT_EQ(CodiUnitat('C', u, d), "H");
  EXPECT_EQ(d, "C:");
  u.etiqueta = "SISTEMA";
  EXPECT_EQ(CodiUnitat('C', u, d), "H");
  EXPECT_EQ(d, "C: SISTEMA");
  u.substitut = "/home/usuari";
  EXPECT_EQ(CodiUnitat('H', u, d), "S");
  EXPECT_EQ(d, "H: /home/usuari");
  u = {};
  u.tipus = plat::TipusDisc::Remot;
  u.remot = "servidor:/export";
  EXPECT_EQ(CodiUnitat('N', u, d), "N");
  EXPECT_EQ(d, "N: servidor:/export");
  u.remot.clear();
  EXPECT_EQ(CodiUnitat('N', u, d), "N");
  EXPECT_EQ(d, "");
  u.tipus = plat::TipusDisc::CdRom;
  EXPECT_EQ(CodiUnitat('E', u, d), "C");
  EXPECT_EQ(d, "E: cd-rom");
  u.tipus = plat::TipusDisc::Ram;
  EXPECT_EQ(CodiUnitat('R', u, d), "R");
  EXPECT_EQ(d, "R:");
}

TEST_F(Camins, DriveTypeFoldsTheLetterAndSkipsUnmappedDrives) {
  std::string d = "abans";
  EXPECT_EQ(TipusUnitat("q", d), "");
  EXPECT_EQ(d, "abans");
  EXPECT_EQ(TipusUnitat("", d), "");
  const std::string gran = TipusUnitat("D", d);
  const std::string descripcio = d;
  EXPECT_NE(gran, "");
  EXPECT_EQ(d.substr(0, 2), "D:");
  EXPECT_EQ(TipusUnitat("d:\\qualsevol", d), gran);
  EXPECT_EQ(d, descripcio);
}

}  // namespace

namespace {

TEST_F(Camins, PartlyReadListingKeepsItsPositionOnDisk) {
  dades_.Escriure("a.txt", "1");
  dades_.Escriure("bb.txt", "2");
  AtributsLlistat = 0;
  LlistarDirectori("D:\\*.*");
  const std::string vell = NouLlistat();
  std::string e;
  ASSERT_FALSE(SeguentEntrada(e));
  LlistarDirectori("E:\\*.*");
  const std::string bytes = plat::LlegirFitxer(vell).value();
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(static_cast<size_t>(static_cast<unsigned char>(bytes[0])), 5 + e.size() + 2);
  EXPECT_EQ(bytes.substr(4 + e.size(), 2), "\r\n");
}

}  // namespace
