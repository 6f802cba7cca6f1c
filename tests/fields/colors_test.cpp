#include <gtest/gtest.h>

#include "fields/colors.h"
#include "session/sessio.h"

namespace {

class ColorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciarSessio();
    ReiniciarColors();
    // Distinct colours per role so each role can be told from the attribute.
    for (int i = 0; i < 5; ++i) {
      EstatSessio.TaulaColors[i][0] = static_cast<int16_t>(i + 1);
      EstatSessio.TaulaColors[i][1] = static_cast<int16_t>(i + 9);
    }
  }
  void TearDown() override {
    ReiniciarColors();
    ReiniciarSessio();
  }
  static uint8_t Atribut(int rol) { return static_cast<uint8_t>((rol + 1) | ((rol + 9) << 4)); }
};

TEST_F(ColorsTest, LettersPickRoles) {
  struct Cas {
    const char* mode;
    int rol;
  } casos[] = {{"n", 1}, {"h", 0}, {"r", 2}, {"u", 4}, {"RN", 3}, {"nr", 3}, {"UR", 4},
               {"rh", 2}, {"x", 0}, {"N ", 1}};
  for (const Cas& c : casos) {
    TriaColor("n");  // a different starting role each time
    TriaColor("u");
    TriaColor(c.mode);
    EXPECT_EQ(ColorActual, c.rol) << c.mode;
    EXPECT_EQ(ColorConsola, Atribut(c.rol)) << c.mode;
  }
  EXPECT_TRUE(PilaColors.empty());
}

TEST_F(ColorsTest, PushAndPopNest) {
  TriaColor("n");
  TriaColor("+rh");
  EXPECT_EQ(ColorActual, 2);
  TriaColor("+u");
  EXPECT_EQ(ColorActual, 4);
  EXPECT_EQ(PilaColors, std::string("\x01\x02", 2));
  TriaColor("-");
  EXPECT_EQ(ColorActual, 2);
  EXPECT_EQ(ColorConsola, Atribut(2));
  TriaColor("-");
  EXPECT_EQ(ColorActual, 1);
  EXPECT_EQ(ColorConsola, Atribut(1));
  EXPECT_TRUE(PilaColors.empty());
}

TEST_F(ColorsTest, PopIgnoresLettersAndEmptyStackGivesRoleZero) {
  TriaColor("u");
  TriaColor("+n");
  TriaColor("-u");  // the letters do not count on a pop
  EXPECT_EQ(ColorActual, 4);
  TriaColor("-");
  EXPECT_EQ(ColorActual, 0);
  EXPECT_EQ(ColorConsola, Atribut(0));
}

TEST_F(ColorsTest, BlankModeChangesNothing) {
  TriaColor("+u");
  const std::string pila = PilaColors;
  const uint8_t atr = ColorConsola;
  TriaColor("   ");
  TriaColor("");
  EXPECT_EQ(ColorActual, 4);
  EXPECT_EQ(PilaColors, pila);
  EXPECT_EQ(ColorConsola, atr);
}

TEST_F(ColorsTest, SessionStartColours) {
  // "15000700000700070007": white on black, grey on black, then black on grey.
  const int16_t taula[5][2] = {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}};
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 2; ++j) EstatSessio.TaulaColors[i][j] = taula[i][j];
  TriaColor("h");
  EXPECT_EQ(ColorConsola, 0x0F);
  TriaColor("n");
  EXPECT_EQ(ColorConsola, 0x07);
  TriaColor("r");
  EXPECT_EQ(ColorConsola, 0x70);
}

TEST_F(ColorsTest, ForeignBytesOnTheStackFallBackToRoleZero) {
  TriaColor("u");
  PilaColors = "\x09";
  TriaColor("-");
  EXPECT_EQ(ColorActual, 0);
  EXPECT_EQ(ColorConsola, Atribut(0));
}

}  // namespace
