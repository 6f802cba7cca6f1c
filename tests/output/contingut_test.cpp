// The listing content test: control, comment and blank lines are not content.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "output/triar.h"
#include "util/entorn_prova.h"

namespace {

bool Te(const std::string& dades, size_t tros = 0) {
  DetectorContingut d;
  if (tros == 0) {
    d.Afegir(dades.data(), dades.size());
  } else {
    for (size_t i = 0; i < dades.size(); i += tros) d.Afegir(dades.data() + i, std::min(tros, dades.size() - i));
  }
  return d.Acabar();
}

TEST(Contingut, ControlCommentAndBlankLines) {
  const std::string nomesControl =
      "SEND 1\r\n  device lpt1\r\nPage 66\r\nJUSTIFY\r\nSENDER x\r\n* comentari\r\n*\r\n\r\n    \r\n"
      "pAgE\nJus\rDEVICE";
  for (size_t tros : {0, 1, 2, 3, 7}) {
    EXPECT_FALSE(Te(nomesControl, tros)) << tros;
    EXPECT_TRUE(Te(nomesControl + "\r\nx", tros)) << tros;
  }
  EXPECT_FALSE(Te(""));
  EXPECT_TRUE(Te("   Indentat\r\n"));
  EXPECT_TRUE(Te("SEN\r\n"));  // shorter than the control word
  EXPECT_TRUE(Te("SEN"));
  EXPECT_TRUE(Te("DEVIC E\r\n"));
  EXPECT_TRUE(Te("JU"));
  EXPECT_TRUE(Te("\tSEND\r\n"));  // only spaces are skipped
  EXPECT_TRUE(Te("\x0C\r\n"));
  EXPECT_TRUE(Te(std::string("\0", 1)));
  EXPECT_TRUE(Te("P\xC0GE\r\n"));
}

TEST(Contingut, CommentOnlyInFirstColumn) {
  // The star must be the line's first byte; after spaces it starts a content word.
  const struct {
    const char* llistat;
    bool contingut;
  } casos[] = {
      {"* TOTAL\r\n", false},
      {"*TOTAL", false},
      {"   * TOTAL\r\n", true},
      {" *\r\n", true},
      {"   * TOTAL", true},
      {"SEND\r\n  *x\r\n", true},
      {"  SEND\r\n*  x\r\n   \r\n", false},
  };
  for (const auto& c : casos)
    for (size_t tros : {0, 1, 2})
      EXPECT_EQ(Te(c.llistat, tros), c.contingut) << c.llistat << " / " << tros;
}

TEST(Contingut, EndlessControlLineKeepsNoState) {
  DetectorContingut d;
  const std::string inici = "SEND ";
  EXPECT_FALSE(d.Afegir(inici.data(), inici.size()));
  const std::string tros(1 << 20, 'x');
  for (int i = 0; i < 200; ++i) ASSERT_FALSE(d.Afegir(tros.data(), tros.size()));
  EXPECT_FALSE(d.Afegir("\r\n", 2));
  EXPECT_TRUE(d.Afegir("a", 1));
}

TEST(Contingut, Files) {
  CarpetaTemporal dir;
  const std::string p = dir.Programa();
  EXPECT_FALSE(LlistatTeContingut(p + "noexisteix.tmp"));
  EXPECT_FALSE(LlistatTeContingut(p));
  ASSERT_EQ(mkfifo((dir.Host() + "canal").c_str(), 0600), 0);
  EXPECT_FALSE(LlistatTeContingut(p + "canal"));
  dir.Escriure("kevprint.tmp", "*\r\nDEVICE\r\n");
  EXPECT_FALSE(LlistatTeContingut(p + "KEVPRINT.TMP"));
  // A long run of control lines, then content.
  std::string llarg;
  for (int i = 0; i < 100000; ++i) llarg += "PAGE " + std::to_string(i) + "\r\n";
  dir.Escriure("kevprint.tmp", llarg + "Total\r\n");
  EXPECT_TRUE(LlistatTeContingut(p + "kevprint.tmp"));
}

}  // namespace
