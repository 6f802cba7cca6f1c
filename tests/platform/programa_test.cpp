// Programs in folders whose names hold spaces, started from an unquoted command text.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "util/entorn_prova.h"

namespace {

class ProgramaAmbEspais : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ReiniciarSistema();
    plat::FixarEntorn("KEVDRIVES", "K=" + dir.Host());
    plat::RecarregarUnitats();
  }
  void TearDown() override { plat::ReiniciarSistema(); }
  // A program that records its own name and arguments in out.txt.
  void Programa(const std::string& relatiu) {
    dir.Escriure(relatiu, "#!/bin/sh\nprintf '%s|' \"$(basename \"$0\")\" \"$@\" > \"" + dir.Host() + "out.txt\"\n");
    chmod((dir.Host() + relatiu).c_str(), 0755);
  }
  CarpetaTemporal dir;
};

TEST_F(ProgramaAmbEspais, LongerRunsOfWordsAreTriedShortestFirst) {
  Programa("MY PROG/KEVSCR");
  Programa("A B/C D/kevhtm.sh");
  Programa("X");
  Programa("X Y/P");
  dir.Escriure("DOC S/Z", "");  // a folder named as a shorter run is passed over
  Programa("DOC S/Z Q/KEVPDF");
  struct Cas {
    const char* ordre;
    const char* vist;  // program name, then each argument, each followed by "|"
  } casos[] = {
      {"K:\\MY PROG\\KEVSCR", "KEVSCR|"},
      {"K:\\MY PROG\\KEVSCR a  \"b c\" d\\\"e", "KEVSCR|a|b c|d\"e|"},
      {"K:\\my prog\\kevscr\tx", "KEVSCR|x|"},
      {"  K:\\A B\\C D\\KEVHTM K:\\TMP\\", "kevhtm.sh|K:\\TMP\\|"},
      // Windows takes the first run that names a program, even a shorter one.
      {"K:\\X Y\\P 1", "X|Y\\P|1|"},
      {"K:\\DOC S\\Z Q\\KEVPDF 2", "KEVPDF|2|"},
  };
  for (const Cas& c : casos) {
    SCOPED_TRACE(c.ordre);
    dir.Escriure("out.txt", "");
    ASSERT_TRUE(plat::ExecutarIEsperar(c.ordre));
    EXPECT_EQ(dir.Llegir("out.txt"), c.vist);
  }
}

TEST_F(ProgramaAmbEspais, NoRunNamingAProgramStartsNothing) {
  Programa("MY PROG/KEVSCR");
  dir.Escriure("MY PROG/noexec", "#!/bin/sh\n");
  for (const char* ordre : {"K:\\MY PROG\\KEVLPT 1", "K:\\MY PROG\\NOEXEC", "K:\\MY PROG", "K:\\MY \"PROG\\KEVSCR\""}) {
    SCOPED_TRACE(ordre);
    EXPECT_FALSE(plat::ExecutarIEsperar(ordre));
  }
  EXPECT_FALSE(dir.Existeix("out.txt"));
}

}  // namespace
