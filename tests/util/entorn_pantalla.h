// Screen-test fixture: a virtual 80 x 25 console and a scratch work directory.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "console/finestres.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "platform/consola.h"
#include "session/sessio.h"
#include "util/consola_prova.h"
#include "util/entorn_prova.h"

class PantallaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciarSessio();
    ReiniciarColors();
    ReiniciarFinestres();
    ReiniciarTecles();
    EstatSessio.DirTmp = dir.Programa();
    plat::FixarConsola(&con);
  }
  void TearDown() override {
    plat::FixarConsola(nullptr);
    ReiniciarFinestres();
    ReiniciarTecles();
    ReiniciarColors();
    ReiniciarSessio();
  }
  // Every cell different: character from a cycle of letters, attribute from the position.
  void OmplirPatro() {
    for (int f = 0; f < con.Alcada(); ++f)
      for (int c = 0; c < con.Amplada(); ++c)
        con.EscriureCella(f, c, plat::Cella{static_cast<uint8_t>('A' + (f * 7 + c) % 26),
                                            static_cast<uint8_t>((f * 13 + c) & 0xFF)});
  }
  std::string TotesLesCeles() const {
    std::string s;
    for (int f = 0; f < con.Alcada(); ++f)
      for (int c = 0; c < con.Amplada(); ++c) {
        const plat::Cella x = con.LlegirCella(f, c);
        s += static_cast<char>(x.car);
        s += static_cast<char>(x.atr);
      }
    return s;
  }
  std::string Fitxer() const { return dir.Llegir("WinPush.tmp"); }
  bool HiHaFitxer() const { return dir.Existeix("WinPush.tmp"); }

  CarpetaTemporal dir;
  ConsolaProva con;
};
