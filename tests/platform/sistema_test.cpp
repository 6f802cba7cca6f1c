#include "platform/sistema.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/cp850.h"
#include "platform/fitxers.h"
#include "util/entorn_prova.h"

namespace {

using V = std::vector<std::string>;

TEST(DividirOrdre, FollowsWindowsCommandLineRules) {
  EXPECT_EQ(plat::DividirOrdre("K:\\PROG\\TORNAR MENU LLISTATS"), (V{"K:\\PROG\\TORNAR", "MENU", "LLISTATS"}));
  EXPECT_EQ(plat::DividirOrdre("  \"C:\\Program Files\\x.exe\"  a  \"b c\""), (V{"C:\\Program Files\\x.exe", "a", "b c"}));
  EXPECT_EQ(plat::DividirOrdre("p a\\\\\"b c\" d"), (V{"p", "a\\b c", "d"}));  // 2n backslashes + quote
  EXPECT_EQ(plat::DividirOrdre("p a\\\"b"), (V{"p", "a\"b"}));                 // 2n+1: literal quote
  EXPECT_EQ(plat::DividirOrdre("p C:\\dir\\"), (V{"p", "C:\\dir\\"}));        // backslashes alone stay
  EXPECT_EQ(plat::DividirOrdre("p \"\""), (V{"p", ""}));
  EXPECT_EQ(plat::DividirOrdre("   "), V{});
  EXPECT_EQ(plat::DividirOrdre("p \"unterminated arg"), (V{"p", "unterminated arg"}));
}

class Processos : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ReiniciarSistema();
    plat::FixarEntorn("KEVDRIVES", "K=" + dir.Host());
    plat::RecarregarUnitats();
  }
  void TearDown() override { plat::ReiniciarSistema(); }
  void Script(const std::string& nom) {
    dir.Escriure(nom, "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args.out\"\n");
    chmod((dir.Host() + nom).c_str(), 0755);
  }
  CarpetaTemporal dir;
};

TEST_F(Processos, FindsTheProgramWithoutRegardToCaseOrExtensionAndWaits) {
  Script("kevscr.sh");
  ASSERT_TRUE(plat::ExecutarIEsperar("K:\\KEVSCR \"dues paraules\" x"));
  EXPECT_EQ(dir.Llegir("args.out"), "dues paraules x\n");  // written before the call returned
  Script("kewprint");
  ASSERT_TRUE(plat::ExecutarIEsperar("K:\\KEWPRINT.EXE K:\\TMP\\"));
  EXPECT_EQ(dir.Llegir("args.out"), "K:\\TMP\\\n");
}

TEST_F(Processos, AProgramThatCannotStartIsReportedNotFatal) {
  EXPECT_FALSE(plat::ExecutarIEsperar("K:\\NO-HI-ES"));
  EXPECT_FALSE(plat::ExecutarIEsperar(""));
  dir.Escriure("noexec", "#!/bin/sh\n");  // not executable
  EXPECT_FALSE(plat::ExecutarIEsperar("K:\\noexec"));
  EXPECT_FALSE(plat::ExecutarIEsperar("Z:\\X"));
}

TEST_F(Processos, ObserverSeesAndCanStopStarts) {
  Script("p");
  std::vector<std::string> vistes;
  plat::FixarObservadorProcessos([&](const std::string& o) { vistes.push_back(o); return false; });
  EXPECT_TRUE(plat::ExecutarIEsperar("K:\\P 1"));
  EXPECT_EQ(vistes, V{"K:\\P 1"});
  EXPECT_FALSE(dir.Existeix("args.out"));
}

TEST(Entorn, OverridesAndCp850) {
  plat::ReiniciarSistema();
  setenv("KEV_PROVA_X", "Camió", 1);
  EXPECT_EQ(plat::Entorn("KEV_PROVA_X"), "Cami\xA2");
  plat::FixarEntorn("KEV_PROVA_X", "");
  EXPECT_EQ(plat::Entorn("KEV_PROVA_X"), "");
  plat::FixarEntorn("KEV_PROVA_X", std::nullopt);
  EXPECT_EQ(plat::Entorn("KEV_PROVA_X"), "");
  plat::NetejarEntorn();
  EXPECT_EQ(plat::Entorn("KEV_PROVA_X"), "Cami\xA2");
  EXPECT_EQ(plat::Entorn("KEV_PROVA_NO_DEFINIDA"), "");
  unsetenv("KEV_PROVA_X");
}

TEST(Rellotge, FixedForTests) {
  plat::Moment m;
  m.any = 2026;
  m.mes = 12;
  m.dia = 31;
  m.hora = 23;
  m.minut = 15;
  plat::FixarRellotge(m);
  EXPECT_EQ(plat::Ara().hora, 23);
  plat::FixarRellotge(std::nullopt);
  EXPECT_GE(plat::Ara().any, 2024);
}

TEST(Portaretalls, LastCopyWithoutDesktopTool) {
  plat::ReiniciarSistema();
  plat::FixarEntorn("DISPLAY", "");
  plat::FixarEntorn("WAYLAND_DISPLAY", "");
  std::string via_terminal;
  plat::FixarCopiaTerminal([&](const std::string& s) { via_terminal = s; });
  plat::CopiarPortaretalls("Pla\x87" "a");
  EXPECT_EQ(plat::LlegirPortaretalls(), "Pla\x87" "a");
  EXPECT_EQ(via_terminal, "Pla\x87" "a");
  plat::FixarCopiaTerminal(nullptr);
  plat::ReiniciarSistema();
}

TEST(Cp850, EveryPrintableByteSurvivesTheTripThroughUnicode) {
  for (int b = 0x20; b < 0x100; ++b) {
    const std::string s(1, static_cast<char>(b));
    EXPECT_EQ(plat::Utf8ACp850(plat::Cp850AUtf8(s)), s) << b;
  }
  EXPECT_EQ(plat::Cp850AUnicode(0xD5), U'\u20AC');  // the euro
  EXPECT_EQ(plat::Cp850AUnicode(0x10), U'\u25BA');  // pointers of a PC console
  EXPECT_EQ(plat::Cp850AUnicode(0xC9), U'\u2554');
  EXPECT_EQ(plat::UnicodeACp850(U'\u4E2D'), -1);
}

TEST(Cp850, EncodedGlyphTableMatchesTheCodePoints) {
  for (int b = 0; b < 0x100; ++b) {
    std::string esperat;
    plat::AfegirUtf8(esperat, plat::Cp850AUnicode(static_cast<unsigned char>(b)));
    EXPECT_EQ(plat::GlifUtf8(static_cast<unsigned char>(b)), esperat) << b;
  }
}

TEST(Cp850, BadUtf8IsDroppedNotMisread) {
  EXPECT_EQ(plat::Utf8ACp850("a\xC3"), "a");              // cut short
  EXPECT_EQ(plat::Utf8ACp850("a\xC0\xAF" "b"), "ab");     // overlong
  EXPECT_EQ(plat::Utf8ACp850("\xED\xA0\x80x"), "x");      // surrogate
  EXPECT_EQ(plat::Utf8ACp850("\xF4\x90\x80\x80y"), "y");  // past U+10FFFF
  EXPECT_EQ(plat::Utf8ACp850("\xE2\x82\xAC"), "\xD5");    // the euro
  EXPECT_FALSE(plat::Utf8Representable("\xE4\xB8\xAD"));
  EXPECT_TRUE(plat::Utf8Representable("\xC3\xA7"));
}

}  // namespace
