// Writing: after every write the whole file is compared byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

class EscripturaIni : public ::testing::Test {
 protected:
  void Posar(const std::string& dades) { dir.Escriure("f.ini", dades); }
  void Escriure(const std::string& s, const std::string& k, const std::string& v) { EscriureIni(f, s, k, v); }
  std::string Contingut() { return dir.Llegir("f.ini"); }
  CarpetaTemporal dir;
  std::string f = dir.Programa() + "f.ini";
};

TEST_F(EscripturaIni, NewFileGetsHeaderAndKey) {
  Escriure("Opcions", "Mostrar", "S");
  EXPECT_EQ(Contingut(), "[Opcions]\r\nMostrar=S\r\n");
  Escriure("Opcions", "Correu", "N");
  EXPECT_EQ(Contingut(), "[Opcions]\r\nMostrar=S\r\nCorreu=N\r\n");
  Escriure("Altres", "Tornar", "MENU");
  EXPECT_EQ(Contingut(), "[Opcions]\r\nMostrar=S\r\nCorreu=N\r\n[Altres]\r\nTornar=MENU\r\n");
  EXPECT_EQ(dir.Entrades(), 1);  // no temporary left
}

TEST_F(EscripturaIni, ReplaceKeepsSpellingIndentAndDropsComment) {
  Posar("[A]\r\n  Clau  = vell ;comentari\r\nAltra=1\r\n");
  Escriure("a", "CLAU", "nou");
  EXPECT_EQ(Contingut(), "[A]\r\n  Clau  =nou\r\nAltra=1\r\n");
  Escriure(" A ", " clau ", " amb espais ");
  EXPECT_EQ(Contingut(), "[A]\r\n  Clau  = amb espais \r\nAltra=1\r\n");
}

TEST_F(EscripturaIni, EveryMatchingLineOfTheSectionIsRewritten) {
  Posar("[A]\r\nx=1\r\ny=2\r\nX=3\r\n[B]\r\nx=4\r\n");
  Escriure("A", "x", "9");
  EXPECT_EQ(Contingut(), "[A]\r\nx=9\r\ny=2\r\nX=9\r\n[B]\r\nx=4\r\n");
  Escriure("A", "x", "");
  EXPECT_EQ(Contingut(), "[A]\r\ny=2\r\n[B]\r\nx=4\r\n");
}

TEST_F(EscripturaIni, NewKeyGoesAfterLastKeyBeforeSpacers) {
  Posar("[A]\r\nx=1\r\n\r\n\r\n; seccio B\r\n[B]\r\ny=2\r\n");
  Escriure("A", "z", "3");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\nz=3\r\n\r\n\r\n; seccio B\r\n[B]\r\ny=2\r\n");
}

TEST_F(EscripturaIni, NewSectionAtEndBeforeTrailingSpacers) {
  Posar("[A]\r\nx=1\r\n\r\n;fi\r\n   \r\n");
  Escriure("Nova", "k", "v");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\n[Nova]\r\nk=v\r\n\r\n;fi\r\n   \r\n");
  // Section running to the end: only the key line, still before the spacers.
  Escriure("nova", "j", "w");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\n[Nova]\r\nk=v\r\nj=w\r\n\r\n;fi\r\n   \r\n");
}

TEST_F(EscripturaIni, SpacersInsideASectionStayInPlaceWhenALaterLineIsWritten) {
  Posar("[A]\r\nx=1\r\n\r\n;mig\r\ny=2\r\n\r\n[B]\r\n");
  Escriure("A", "y", "5");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\n\r\n;mig\r\ny=5\r\n\r\n[B]\r\n");
  Escriure("A", "n", "6");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\n\r\n;mig\r\ny=5\r\nn=6\r\n\r\n[B]\r\n");
}

TEST_F(EscripturaIni, RemovingAnAbsentKeyChangesNothing) {
  const std::string original = "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n;c\r\n";
  Posar(original);
  Escriure("A", "nohies", "");
  EXPECT_EQ(Contingut(), original);
  Escriure("Cap", "x", "");
  EXPECT_EQ(Contingut(), original);
}

TEST_F(EscripturaIni, SecondSectionOfTheSameNameIsTreatedToo) {
  Posar("[A]\r\ny=0\r\n[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=2\r\n");
  Escriure("A", "x", "7");
  // Written at the end of the first [A]; the header right after it is not compared,
  // the third [A] is.
  EXPECT_EQ(Contingut(), "[A]\r\ny=0\r\nx=7\r\n[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=7\r\n");
}

TEST_F(EscripturaIni, NamesWrittenAsPassedAndOtherLinesUntouched) {
  Posar("x=antes\r\n[A]\r\nrar linia\r\n [B] ;c\r\n");
  Escriure(" Nova ", " K ", "v");
  EXPECT_EQ(Contingut(), "x=antes\r\n[A]\r\nrar linia\r\n [B] ;c\r\n[ Nova ]\r\n K =v\r\n");
  EXPECT_EQ(LlegirIni(f, "nova", "k"), "v");
}

TEST_F(EscripturaIni, LfAndCrFilesAreRewrittenWithCrLf) {
  Posar("[A]\nx=1\n\n[B]\ry=2\r");
  Escriure("A", "z", "3");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
}

TEST_F(EscripturaIni, Cp850BytesAndNulAreKept) {
  static const char kAbans[] = "[Sec]\r\nNom=Pere \x80\x87\x00x\r\n";
  static const char kDespres[] = "[Sec]\r\nNom=Pere \x80\x87\x00x\r\nCiutat=Gir\xA2na\r\n";
  Posar(std::string(kAbans, sizeof kAbans - 1));
  Escriure("Sec", "Ciutat", "Gir\xA2na");
  EXPECT_EQ(Contingut(), std::string(kDespres, sizeof kDespres - 1));
  EXPECT_EQ(LlegirIni(f, "Sec", "Ciutat"), "Gir\xA2na");
}

TEST_F(EscripturaIni, LineBreaksInAValueCannotAddLines) {
  Escriure("A", "x", "1\r\n[B]\r\ny=2");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\n");
  Escriure("A", "k\r\nz", "3");
  EXPECT_EQ(Contingut(), "[A]\r\nx=1\r\n");
}

TEST_F(EscripturaIni, EmptySectionOrKeyWritesNothing) {
  Escriure("", "x", "1");
  Escriure("A", "  ", "1");
  EXPECT_FALSE(dir.Existeix("f.ini"));
}

TEST_F(EscripturaIni, DriveLessProgramPathAndCaseInsensitiveName) {
  dir.Escriure("Sub/KevEml.ini", "[Correu]\r\n");
  EscriureIni(dir.Programa() + "SUB\\KEVEML.INI", "Correu", "Assumpte", "Prova");
  EXPECT_EQ(dir.Llegir("Sub/KevEml.ini"), "[Correu]\r\nAssumpte=Prova\r\n");
  EXPECT_EQ(dir.Entrades("Sub"), 1);
}

TEST_F(EscripturaIni, FilePermissionsAreKept) {
  Posar("[A]\r\n");
  ASSERT_EQ(chmod((dir.Host() + "f.ini").c_str(), 0640), 0);
  Escriure("A", "x", "1");
  struct stat st;
  ASSERT_EQ(stat((dir.Host() + "f.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
