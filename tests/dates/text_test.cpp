// Date texts: styles, widths, languages and the user's separator and order.
#include <gtest/gtest.h>

#include "dates/dates.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "util/entorn_prova.h"

namespace {

class DatTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::FixarEntorn("KEVROOT", arrel_.Programa());
    ReiniciarDates();
    EstatSessio.Idioma = "   ";
  }
  void TearDown() override {
    plat::NetejarEntorn();
    ReiniciarDates();
    ReiniciarSessio();
  }
  void Usuari(const std::string& linies) { arrel_.Escriure("Quil.ini", "[Usuari]\r\n" + linies); }

  CarpetaTemporal arrel_;
};

const std::string k5Mar = DatEmpaquetar(2024, 3, 5);
const std::string k15Abr = DatEmpaquetar(2024, 4, 15);
const std::string kBuida = DatEmpaquetar(0, 0, 0);

}  // namespace

TEST_F(DatTextTest, DefaultsNumericStylesHaveFixedWidths) {
  EXPECT_EQ(DatText("dma", 0, k5Mar), "5/3/2024  ");
  EXPECT_EQ(DatText("dma", 1, k5Mar), "5/mar/2024 ");
  EXPECT_EQ(DatText("DMA", 0, k15Abr), "15/4/2024 ");
  EXPECT_EQ(DatText("dm", 0, k5Mar), "5/3  ");
  EXPECT_EQ(DatText("dm", 1, k5Mar), "5/mar ");
  EXPECT_EQ(DatText("m", 0, k5Mar), "3 ");
  EXPECT_EQ(DatText("m", 1, DatEmpaquetar(2024, 6, 1)), "jun");
  EXPECT_EQ(DatText("dma", 0, DatEmpaquetar(2024, 12, 25)), "25/12/2024");
  EXPECT_EQ(DatText("a", 0, DatEmpaquetar(987, 12, 25)), "0987");
  EXPECT_EQ(DatCaracter, '/');
  EXPECT_EQ(std::string(DatOrdre, 3), "DMA");
}

TEST_F(DatTextTest, IsoFormIgnoresPartsAndEmptiness) {
  EXPECT_EQ(DatText("dma", -1, k5Mar), "2024-03-05");
  EXPECT_EQ(DatText("", -1, k5Mar), "2024-03-05");
  EXPECT_EQ(DatText("m", -1, kBuida), "0000-00-00");
}

TEST_F(DatTextTest, EmptyDateGivesSpacesOfTheWidth) {
  EXPECT_EQ(DatText("dma", 0, kBuida), std::string(10, ' '));
  EXPECT_EQ(DatText("dma", 1, kBuida), std::string(11, ' '));
  EXPECT_EQ(DatText("dma", 2, kBuida), "");
  EXPECT_EQ(DatText("xyz", 0, k5Mar), "  ");  // no part letters: width 3 - 1
  EXPECT_EQ(DatText("", 0, k5Mar), "");
}

TEST_F(DatTextTest, LongFormInEveryLanguage) {
  EXPECT_EQ(DatText("dma", 2, k5Mar), "5 de mar\x87 del 2024");
  EXPECT_EQ(DatText("dma", 2, k15Abr), "15 d'abril del 2024");
  EXPECT_EQ(DatText("dma", 5, k15Abr), "15 d'abril del 2024");
  EXPECT_EQ(DatText("m", 2, k15Abr), "abril");
  EXPECT_EQ(DatText("dm", 2, DatEmpaquetar(2024, 10, 1)), "1 d'octubre");
  EstatSessio.Idioma = "SPA";
  EXPECT_EQ(DatText("dma", 2, k15Abr), "15 de abril de 2024");
  EXPECT_EQ(DatText("dma", 2, DatEmpaquetar(2024, 9, 30)), "30 de septiembre de 2024");
  EXPECT_EQ(DatText("dma", 1, DatEmpaquetar(2024, 9, 30)), "30/sep/2024");
  EstatSessio.Idioma = "GLG";
  EXPECT_EQ(DatText("dma", 2, k15Abr), "15 de abril do 2024");
  EXPECT_EQ(DatText("dma", 2, DatEmpaquetar(2024, 2, 1)), "1 de fevereiro do 2024");
  EstatSessio.Idioma = "OCI";
  EXPECT_EQ(DatText("dma", 2, k15Abr), "15 d'abriu deth 2024");
  EXPECT_EQ(DatText("dma", 2, DatEmpaquetar(2024, 1, 6)), "6 de g\x8Ar deth 2024");
  EXPECT_EQ(DatText("dma", 1, DatEmpaquetar(2024, 2, 6)), "6/her/2024 ");
  EXPECT_EQ(DatText("m", 2, DatEmpaquetar(2024, 7, 6)), "junhsega");
  EstatSessio.Idioma = "XYZ";  // anything else is Catalan
  EXPECT_EQ(DatText("dma", 2, DatEmpaquetar(2024, 8, 1)), "1 d'agost del 2024");
}

TEST_F(DatTextTest, SeparatorAndOrderFromQuilIni) {
  Usuari("DatCaracter=-.\r\nDatOrdre=AMDX\r\n");
  EXPECT_EQ(DatText("dma", 0, k5Mar), "2024-3-5  ");
  EXPECT_EQ(DatText("dma", 2, k5Mar), "2024 de mar\x87 del 5");
  EXPECT_EQ(DatText("dm", 1, k5Mar), "mar-5 ");
  EXPECT_EQ(DatCaracter, '-');
  EXPECT_EQ(std::string(DatOrdre, 3), "AMD");
}

TEST_F(DatTextTest, SettingsAreReadOncePerProcess) {
  Usuari("DatCaracter=.\r\n");
  EXPECT_EQ(DatText("dma", 0, k5Mar), "5.3.2024  ");
  Usuari("DatCaracter=-\r\n");
  EXPECT_EQ(DatText("dma", 0, k5Mar), "5.3.2024  ");
  ReiniciarDates();
  EXPECT_EQ(DatText("dma", 0, k5Mar), "5-3-2024  ");
}

TEST_F(DatTextTest, ShortLowerCaseOrBlankSettings) {
  Usuari("DatCaracter= \r\nDatOrdre=D\r\n");
  EXPECT_EQ(DatText("dma", 0, k5Mar), "5         ");
  ReiniciarDates();
  Usuari("DatOrdre=dma\r\n");
  EXPECT_EQ(DatText("dma", 0, k5Mar), std::string(10, ' '));
  EXPECT_EQ(DatText("dma", 2, k5Mar), "");
  ReiniciarDates();
  Usuari("DatCaracter=\r\nDatOrdre=   \r\n");
  EXPECT_EQ(DatText("dma", 0, k5Mar), "5/3/2024  ");
}

TEST_F(DatTextTest, DamagedDatesKeepTheWidth) {
  for (const std::string& d : {std::string("\xFF\xFF\xFF\xFF"), std::string("\x94\x98\x80\x85"),
                              std::string("\x94\x98\xB1\xE3"), std::string(4, '\0'), std::string("\x94")}) {
    for (int estil = 0; estil <= 1; ++estil) EXPECT_EQ(DatText("dma", int16_t(estil), d).size(), 10u + estil);
    EXPECT_EQ(DatText("dma", -1, d).size(), 10u);
    DatText("dma", 2, d);
  }
  // Month 49 has no name: its number stands in.
  EXPECT_EQ(DatText("dma", 2, std::string("\x94\x98\xB1\x85")), "5 de 49 del 2024");
  EXPECT_EQ(DatText("dma", 1, std::string("\x94\x98\xB1\x85")), "5/49/2024  ");
}
