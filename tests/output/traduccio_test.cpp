#include <gtest/gtest.h>

#include "output/traduccio.h"
#include "session/sessio.h"

namespace {

class Traduccio : public ::testing::Test {
 protected:
  void TearDown() override { ReiniciarSessio(); }
  std::string En(const char* idioma, const std::string& text) {
    EstatSessio.Idioma = idioma;
    return TraduirText(text);
  }
};

TEST_F(Traduccio, LabelsPerLanguage) {
  EXPECT_EQ(En("GLG", "MEMBRET ? "), "CABE\x80" "ALHO ? ");
  EXPECT_EQ(En("OCI", "ASSUMPTE : "), "AH\xD4R ....: ");
  EXPECT_EQ(En("SPA", "ENVIAR PER CORREU ELECTR\xE3NIC ? "), "ENVIAR POR CORREO ELECTRONICO ? ");
  EXPECT_EQ(En("GLG", "IMPRIMIR-LOS TAMB\x90 ? "), "IMPRIM\xD6-LOS TAMB\x90M ? ");
  EXPECT_EQ(En("OCI", " REMITENT "), " DESPACHAIRE ");
  EXPECT_EQ(En("SPA", "HEU D'INDICAR EL CORREU DEL REMITENT"), "HA DE INDICAR EL CORREO DEL REMITENTE");
  EXPECT_EQ(En("SPA", "|00,IMMEDIAT"), "|00,INMEDIATO");
  EXPECT_EQ(En("OCI", "|00,IMMEDIAT"), "|00,IMMEDIAT");
}

TEST_F(Traduccio, UnknownTextsAndCatalanStayAsTheyAre) {
  EXPECT_EQ(En("GLG", "|S,S\xD6|N,NO"), "|S,S\xD6|N,NO");
  EXPECT_EQ(En("SPA", " FITXERS ADJUNTS "), " FITXERS ADJUNTS ");
  EXPECT_EQ(En("SPA", "ASSUMPTE :"), "ASSUMPTE :");  // without its trailing space
  EXPECT_EQ(En("SPA", " ASSUMPTE : "), " ASSUMPTE : ");
  EXPECT_EQ(En("spa", "MEMBRET ? "), "MEMBRET ? ");
  EXPECT_EQ(En("   ", "MEMBRET ? "), "MEMBRET ? ");
  EXPECT_EQ(En("SPA", ""), "");
  EXPECT_EQ(En("SPA", "   "), "   ");
}

TEST_F(Traduccio, PaddedTitleAndScreenOption) {
  EXPECT_EQ(En("SPA", " SELECCI\xE0 IMPRESSORA "), " SELECCION IMPRESORA ");
  EXPECT_EQ(En("GLG", "  SELECCI\xE0 IMPRESSORA "), "  SELEC\x80OM IMPRESSORA ");
  EXPECT_EQ(En("CAT", " SELECCI\xE0 IMPRESSORA "), " SELECCI\xE0 IMPRESSORA ");
  EXPECT_EQ(En("GLG", "PANTALLA"), "PANTALHA");
  EXPECT_EQ(En("SPA", "PANTALLA"), "PANTALLA");
  EXPECT_EQ(En("", "PANTALLA"), "PANTALLA");
}

}  // namespace
