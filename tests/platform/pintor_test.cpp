// The screen-difference renderer: what it sends must leave a terminal showing exactly the
// cell buffer, and a small change must cost only a few bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/cp850.h"
#include "platform/posix/terminal.h"

namespace {

using plat::Cella;
using plat::ConsolaVirtual;
using plat::Pintor;

// A terminal reduced to what the renderer may send: cursor moves, colours, cursor
// visibility and shape, clear, UTF-8 text. Anything else fails the test.
struct Terminal {
  int amplada, alcada;
  std::vector<char32_t> car;
  std::vector<uint8_t> atr;
  int fila = 0, col = 0;
  int tinta = 7, fons = 0;
  bool visible = true;
  int forma = 0;

  Terminal(int w, int h) : amplada(w), alcada(h), car(w * h, U'?'), atr(w * h, 0xEE) {}

  void Rebre(const std::string& s) {
    static constexpr int kPc[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (size_t i = 0; i < s.size();) {
      const unsigned char b = s[i];
      if (b == 0x1B) {
        ASSERT_LT(i + 1, s.size());
        ASSERT_EQ(s[i + 1], '[') << "unexpected escape at " << i;
        size_t j = i + 2;
        const bool privat = j < s.size() && s[j] == '?';
        if (privat) ++j;
        std::vector<int> p;
        int actual = -1;
        for (; j < s.size() && ((s[j] >= '0' && s[j] <= '9') || s[j] == ';'); ++j) {
          if (s[j] == ';') {
            p.push_back(actual < 0 ? 0 : actual);
            actual = -1;
          } else {
            actual = (actual < 0 ? 0 : actual) * 10 + (s[j] - '0');
          }
        }
        if (actual >= 0 || !p.empty()) p.push_back(actual < 0 ? 0 : actual);
        bool espai = false;
        if (j < s.size() && s[j] == ' ') {
          espai = true;
          ++j;
        }
        ASSERT_LT(j, s.size());
        const char f = s[j];
        auto par = [&](size_t k, int d) { return k < p.size() && p[k] != 0 ? p[k] : d; };
        if (privat) {
          ASSERT_EQ(par(0, 0), 25);
          visible = f == 'h';
        } else if (espai) {
          ASSERT_EQ(f, 'q');
          forma = par(0, 0);
        } else if (f == 'H') {
          fila = par(0, 1) - 1;
          col = par(1, 1) - 1;
        } else if (f == 'C') {
          col += par(0, 1);
        } else if (f == 'm') {
          for (int v : p) {
            if (v >= 30 && v <= 37) tinta = kPc[v - 30];
            else if (v >= 90 && v <= 97) tinta = 8 + kPc[v - 90];
            else if (v >= 40 && v <= 47) fons = kPc[v - 40];
            else if (v >= 100 && v <= 107) fons = 8 + kPc[v - 100];
            else ADD_FAILURE() << "colour " << v;
          }
        } else {
          ADD_FAILURE() << "final " << f;
        }
        i = j + 1;
        continue;
      }
      // One UTF-8 character written at the cursor.
      char32_t u = b;
      int n = 1;
      if (b >= 0xF0) { u = b & 7; n = 4; }
      else if (b >= 0xE0) { u = b & 15; n = 3; }
      else if (b >= 0xC0) { u = b & 31; n = 2; }
      for (int k = 1; k < n; ++k) u = (u << 6) | (s[i + k] & 0x3F);
      i += n;
      ASSERT_GE(u, 0x20u) << "control byte sent as text";
      ASSERT_TRUE(fila >= 0 && fila < alcada && col >= 0 && col < amplada) << fila << "," << col;
      car[fila * amplada + col] = u;
      atr[fila * amplada + col] = static_cast<uint8_t>(tinta | fons << 4);
      if (col < amplada - 1) ++col;  // autowrap is off
    }
  }

  void EsperarIgual(const ConsolaVirtual& c) const {
    for (int f = 0; f < alcada; ++f)
      for (int k = 0; k < amplada; ++k) {
        const Cella x = c.LlegirCella(f, k);
        ASSERT_EQ(car[f * amplada + k], plat::Cp850AUnicode(x.car)) << "cell " << f << "," << k;
        ASSERT_EQ(atr[f * amplada + k], x.atr) << "cell " << f << "," << k;
      }
    if (c.MidaCursorActual() > 0) {
      EXPECT_TRUE(visible);
      EXPECT_EQ(fila, c.FilaCursor());
      EXPECT_EQ(col, c.ColCursor());
    } else {
      EXPECT_FALSE(visible);
    }
  }
};

TEST(Pintor, FirstPassDrawsEverythingThenOnlyChanges) {
  ConsolaVirtual c(80, 25);
  Pintor p;
  Terminal t(80, 25);
  std::string s;
  p.Pintar(c, 80, 25, s);
  t.Rebre(s);
  t.EsperarIgual(c);

  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "") << "nothing changed, nothing sent";

  // One cell far from the cursor: move there, the character, move back.
  c.EscriureCella(10, 40, Cella{'X', 0x07});
  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "\x1b[11;41HX\x1b[H");
  t.Rebre(s);
  t.EsperarIgual(c);
}

TEST(Pintor, TypingAtTheCursorCostsOneCharacter) {
  ConsolaVirtual c(80, 25);
  Pintor p;
  std::string s;
  c.PosarCursor(5, 10);
  p.Pintar(c, 80, 25, s);
  // The field editor writes the key at the cursor and moves it one cell right.
  c.EscriureCella(5, 10, Cella{'a', 0x07});
  c.PosarCursor(5, 11);
  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "a");
  // Two separated cells on one row use a short relative move.
  c.EscriureCella(5, 20, Cella{'b', 0x07});
  c.EscriureCella(5, 24, Cella{'c', 0x07});
  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "\x1b[9Cb\x1b[3Cc\x1b[6;12H");
}

TEST(Pintor, ColoursChangeOnlyWhatDiffers) {
  ConsolaVirtual c(80, 25);
  c.MidaCursor(0);
  Pintor p;
  std::string s;
  p.Pintar(c, 80, 25, s);
  c.EscriureCella(0, 0, Cella{'A', 0x1F});  // bright white on blue
  c.EscriureCella(0, 1, Cella{'B', 0x1E});  // yellow on blue: only the ink changes
  c.EscriureCella(0, 2, Cella{'C', 0x4E});  // yellow on red: only the paper changes
  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "\x1b[H\x1b[97;44mA\x1b[93mB\x1b[41mC");
}

TEST(Pintor, Cp850GlyphsAsUnicode) {
  ConsolaVirtual c(80, 25);
  c.MidaCursor(0);
  Pintor p;
  std::string s;
  p.Pintar(c, 80, 25, s);
  const std::string text("\xC9\xCD\xBB\x10\x11\xD5\x82\xB7\x00\xFF", 10);
  for (size_t i = 0; i < text.size(); ++i) c.EscriureCella(3, static_cast<int>(i), Cella{static_cast<uint8_t>(text[i]), 7});
  s.clear();
  p.Pintar(c, 80, 25, s);
  // Frame corner, double line, corner, the two pointers, euro, e acute, A grave, NUL as a
  // blank, the non-breaking space.
  EXPECT_EQ(s, "\x1b[4;1H\xe2\x95\x94\xe2\x95\x90\xe2\x95\x97\xe2\x96\xba\xe2\x97\x84\xe2\x82\xac\xc3\xa9\xc3\x80 \xc2\xa0");
}

TEST(Pintor, CursorShapeAndVisibility) {
  ConsolaVirtual c(80, 25);
  Pintor p;
  std::string s;
  p.Pintar(c, 80, 25, s);
  EXPECT_NE(s.find("\x1b[3 q"), std::string::npos) << "underline for a small cursor";
  EXPECT_NE(s.find("\x1b[?25h"), std::string::npos);

  c.MidaCursor(100);
  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "\x1b[1 q");

  c.MidaCursor(0);
  s.clear();
  p.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "\x1b[?25l");

  // Off-screen cursor is hidden too; the Linux console gets no shape sequence.
  Pintor linux_(false);
  c.MidaCursor(50);
  s.clear();
  linux_.Pintar(c, 80, 25, s);
  EXPECT_EQ(s.find(" q"), std::string::npos);
  c.PosarCursor(30, 0);
  s.clear();
  linux_.Pintar(c, 80, 25, s);
  EXPECT_EQ(s, "\x1b[?25l");
}

TEST(Pintor, ScreenOfThreeByteGlyphsInChangingColoursComesOutWhole) {
  // Every cell needs a colour sequence and three bytes: far more than one row's worth of
  // output at a time.
  ConsolaVirtual c(80, 25);
  for (int f = 0; f < 25; ++f)
    for (int k = 0; k < 80; ++k)
      c.EscriureCella(f, k, Cella{static_cast<uint8_t>(0xB0 + (f + k) % 16), static_cast<uint8_t>(f * 80 + k)});
  c.PosarCursor(24, 79);
  Pintor p;
  Terminal t(80, 25);
  std::string s;
  p.Pintar(c, 80, 25, s);
  EXPECT_GT(s.size(), 3u * 4096);
  t.Rebre(s);
  t.EsperarIgual(c);
}

TEST(Pintor, RandomEditsAlwaysLeaveTheTerminalEqualToTheBuffer) {
  std::mt19937 gen(1234);
  ConsolaVirtual c(80, 25);
  Pintor p;
  Terminal t(80, 25);
  for (int pas = 0; pas < 200; ++pas) {
    const int canvis = static_cast<int>(gen() % 40);
    for (int k = 0; k < canvis; ++k)
      c.EscriureCella(static_cast<int>(gen() % 25), static_cast<int>(gen() % 80),
                      Cella{static_cast<uint8_t>(gen()), static_cast<uint8_t>(gen())});
    c.PosarCursor(static_cast<int>(gen() % 25), static_cast<int>(gen() % 80));
    c.MidaCursor(gen() % 4 == 0 ? 0 : 25);
    if (pas == 100) {
      p.Invalidar();  // e.g. after a child program: everything again
      t = Terminal(80, 25);
    }
    std::string s;
    p.Pintar(c, 80, 25, s);
    t.Rebre(s);
    ASSERT_NO_FATAL_FAILURE(t.EsperarIgual(c)) << "step " << pas;
  }
}

}  // namespace
