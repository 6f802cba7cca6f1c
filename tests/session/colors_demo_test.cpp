// The bundled demo must stay readable: every colour role of its QuilTerm.ini, as the
// session reads it, has text with a contrast ratio of at least 4.5 against its background
// (WCAG 2 relative luminance), and the field being edited (also the current list row) has
// a background no other role uses.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/sistema.h"
#include "session/sessio.h"

namespace {

// The 16 PC colours (0 black, 1 blue, ... 7 light grey, 8 dark grey, ... 15 white) as a
// VGA text screen shows them, and as xterm's default palette shows the SGR colours the
// terminal backend sends for them (PC blue 1 goes out as SGR 34, ANSI colour 4, and so on).
constexpr uint32_t kVga[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
                               0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
constexpr uint32_t kXterm[16] = {0x000000, 0x0000EE, 0x00CD00, 0x00CDCD, 0xCD0000, 0xCD00CD, 0xCDCD00, 0xE5E5E5,
                                 0x7F7F7F, 0x5C5CFF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

double Luminancia(uint32_t rgb) {
  auto canal = [](uint32_t v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * canal(rgb >> 16 & 255) + 0.7152 * canal(rgb >> 8 & 255) + 0.0722 * canal(rgb & 255);
}

double Contrast(uint32_t a, uint32_t b) {
  const double la = Luminancia(a), lb = Luminancia(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ColorsDemo, EveryRoleReadableAndTheEditedFieldStandsOut) {
  // The yardstick itself: black on white is 21, a colour on itself 1.
  ASSERT_NEAR(Contrast(0x000000, 0xFFFFFF), 21.0, 1e-9);
  ASSERT_NEAR(Contrast(kVga[7], kVga[7]), 1.0, 1e-9);

  plat::NetejarEntorn();
  plat::FixarEntorn("KEVTMP", KEV_DEMO_TMP);
  for (const char* v : {"KEVROOT", "KEVEXE", "KEVTERM", "HTTP_USER_AGENT", "HTTP_ACCEPT", "WINDIR", "SYSTEMROOT"})
    plat::FixarEntorn(v, "");
  IniciSessio();
  const auto& t = EstatSessio.TaulaColors;
  // Not the start-up default: the demo's own table was read.
  ASSERT_NE(t[1][1], 0) << "QuilTerm.ini of the demo not read from " << KEV_DEMO_TMP;
  for (int rol = 0; rol < 5; ++rol) {
    const int tinta = t[rol][0], fons = t[rol][1];
    ASSERT_TRUE(tinta >= 0 && tinta < 16 && fons >= 0 && fons < 16) << rol;
    for (const auto* paleta : {kVga, kXterm}) {
      EXPECT_GE(Contrast(paleta[tinta], paleta[fons]), 4.5)
          << "role " << rol << ": " << tinta << " on " << fons << (paleta == kVga ? " (VGA)" : " (xterm)");
    }
    if (rol != 4) {
      EXPECT_NE(t[4][1], fons) << "the edited field shares its background with role " << rol;
    }
  }
  ReiniciarSessio();
  plat::NetejarEntorn();
}

}  // namespace
