// Rewrites of large files, checked byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

class TramsIni : public ::testing::Test {
 protected:
  void SetUp() override { IniSincronitzarDisc = false; }
  void TearDown() override { IniSincronitzarDisc = true; }
  std::string Reescriure(const std::string& dades, const std::string& s, const std::string& k, const std::string& v) {
    dir.Escriure("f.ini", dades);
    EscriureIni(f, s, k, v);
    return dir.Llegir("f.ini");
  }
  CarpetaTemporal dir;
  std::string f = dir.Programa() + "f.ini";
};

TEST_F(TramsIni, OverlongCommentRightBeforeALineIsWrittenOnce) {
  // A held-back spacer too long to keep in memory is read again from the file; the line
  // after it must be read from its own start, not from the middle of the comment.
  const std::string nota = ";" + std::string(70000, 'c') + "[B]";
  for (const std::string sec : {"A", "C"}) {
    const std::string abans = "[A]\r\nx=1\r\n" + nota + "\r\ny=2\r\n" + nota + "\n[B]\r\n";
    const std::string despres = sec == "A" ? "[A]\r\nx=1\r\n" + nota + "\r\ny=2\r\nz=3\r\n" + nota + "\r\n[B]\r\n"
                                           : "[A]\r\nx=1\r\n" + nota + "\r\ny=2\r\n" + nota + "\r\n[B]\r\n[C]\r\nz=3\r\n";
    const std::string r = Reescriure(abans, sec, "z", "3");
    EXPECT_TRUE(r == despres) << sec << ": " << r.size() << " bytes, expected " << despres.size();
  }
}

}  // namespace
