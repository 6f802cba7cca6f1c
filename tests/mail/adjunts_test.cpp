#include "mail/adjunts.h"

#include <gtest/gtest.h>

#include <string>

#include "console/formulari.h"
#include "entorn_correu.h"
#include "mail/formcorreu.h"
#include "session/sessio.h"

namespace {

std::string Fila65(const std::string& s) { return s + std::string(65 - s.size(), ' '); }

// Confirms a path in the attachment field as the engine or the picker would.
int16_t Triar(std::string cami, int16_t tecla = 0x0d) {
  cami.resize(260, ' ');
  int16_t camp = kCampFitxerAdjunt;
  return AcceptarCamp(kPaginaAdjunts, cami, camp, tecla);
}

TEST(Adjunts, AddAndRemoveKeepTheListCompact) {
  EntornCorreu entorn;
  entorn.ObrirPagina(2);
  EXPECT_EQ(Triar("C:\\DOCS\\A.TXT"), -1);
  EXPECT_EQ(Triar("C:\\DOCS\\B.PDF"), -1);
  EXPECT_EQ(Triar("D:\\C"), -1);
  EXPECT_EQ(Adjunts[3], "D:\\C");
  EXPECT_EQ(entorn.Text(2, 7, 2, 65), Fila65("C"));

  // Choosing B again removes it; C moves up and the third row empties.
  EXPECT_EQ(Triar("C:\\DOCS\\B.PDF"), -1);
  EXPECT_EQ(Adjunts[1], "C:\\DOCS\\A.TXT");
  EXPECT_EQ(Adjunts[2], "D:\\C");
  EXPECT_EQ(Adjunts[3], "");
  EXPECT_EQ(ValorCamp(2, 2), Fila65("A.TXT"));
  EXPECT_EQ(ValorCamp(2, 3), Fila65("C"));
  EXPECT_EQ(ValorCamp(2, 4), Fila65(""));
  EXPECT_EQ(entorn.Text(2, 5, 2, 65), Fila65("A.TXT"));
  EXPECT_EQ(entorn.Text(2, 6, 2, 65), Fila65("C"));
  EXPECT_EQ(entorn.Text(2, 7, 2, 65), Fila65(""));
  // The hook never stores the path as the field's own value.
  EXPECT_EQ(ValorCamp(2, 1), std::string(260, ' '));
}

TEST(Adjunts, MatchIsExactAndCaseSensitive) {
  EntornCorreu entorn;
  Triar("C:\\X\\Informe.txt");
  Triar("C:\\X\\INFORME.TXT");
  EXPECT_EQ(Adjunts[1], "C:\\X\\Informe.txt");
  EXPECT_EQ(Adjunts[2], "C:\\X\\INFORME.TXT");
  // Trailing spaces do not count; leading ones do.
  Triar("C:\\X\\Informe.txt      ");
  EXPECT_EQ(Adjunts[1], "C:\\X\\INFORME.TXT");
  Triar(" C:\\X\\INFORME.TXT");
  EXPECT_EQ(Adjunts[2], " C:\\X\\INFORME.TXT");
}

TEST(Adjunts, BlankConfirmationChangesNothing) {
  EntornCorreu entorn;
  entorn.ObrirPagina(2);
  Triar("C:\\A.TXT");
  EXPECT_EQ(Triar(""), 0);
  EXPECT_EQ(Adjunts[1], "C:\\A.TXT");
  EXPECT_EQ(Adjunts[2], "");
  EXPECT_TRUE(entorn.consola.buidats.empty());
}

TEST(Adjunts, TypedPathIsClearedAfterAddOrRemove) {
  EntornCorreu entorn;
  std::string text = "C:\\A.TXT" + std::string(252, ' ');
  EXPECT_EQ(AfegirTreureAdjunt(2, text), -1);
  EXPECT_EQ(text, std::string(260, ' '));
  text = "C:\\A.TXT";
  EXPECT_EQ(AfegirTreureAdjunt(2, text), -1);
  EXPECT_EQ(text, std::string(8, ' '));
  EXPECT_EQ(Adjunts[1], "");
}

TEST(Adjunts, TenAtMost) {
  EntornCorreu entorn;
  entorn.ObrirPagina(2);
  for (int i = 1; i <= 10; ++i) ASSERT_EQ(Triar("C:\\F" + std::to_string(i) + ".DOC"), -1);
  EXPECT_EQ(entorn.Text(2, 14, 2, 65), Fila65("F10.DOC"));
  EXPECT_TRUE(entorn.consola.buidats.empty());

  const std::string fila14 = entorn.consola.Fila(9);
  const int xiulets = entorn.consola.xiulets;
  std::string onze = "C:\\F11.DOC";
  int16_t camp = 1, tecla = 0x0d;
  EXPECT_EQ(AcceptarCamp(2, onze, camp, tecla), -1);
  ASSERT_EQ(entorn.consola.buidats.size(), 1u);
  EXPECT_NE(entorn.consola.buidats[0].files[9].find("NO PODEU ADJUNTAR M\x90S DE 10 FITXERS"),
            std::string::npos)
      << "the message box is centred on row 12";
  EXPECT_EQ(entorn.consola.xiulets, xiulets + 1);
  EXPECT_EQ(entorn.consola.Fila(9), fila14) << "the box is closed again";
  // Nothing changed, and the refused path stays in the field for the operator.
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(Adjunts[i], "C:\\F" + std::to_string(i) + ".DOC");
  EXPECT_EQ(onze, "C:\\F11.DOC");

  // One of the ten is removed instead.
  EXPECT_EQ(Triar("C:\\F1.DOC"), -1);
  EXPECT_EQ(Adjunts[1], "C:\\F2.DOC");
  EXPECT_EQ(Adjunts[9], "C:\\F10.DOC");
  EXPECT_EQ(Adjunts[10], "");
  EXPECT_EQ(entorn.Text(2, 13, 2, 65), Fila65("F10.DOC"));
  EXPECT_EQ(entorn.Text(2, 14, 2, 65), Fila65(""));
  // Now the eleventh fits.
  EXPECT_EQ(Triar("C:\\F11.DOC"), -1);
  EXPECT_EQ(Adjunts[10], "C:\\F11.DOC");
  EXPECT_EQ(entorn.consola.buidats.size(), 1u);
}

TEST(Adjunts, LimitMessageStaysCatalan) {
  EntornCorreu entorn;
  EstatSessio.Idioma = "SPA";
  for (int i = 1; i <= 11; ++i) Triar("C:\\F" + std::to_string(i));
  ASSERT_EQ(entorn.consola.buidats.size(), 1u);
  EXPECT_NE(entorn.consola.buidats[0].files[9].find("NO PODEU ADJUNTAR"), std::string::npos);
}

TEST(Adjunts, PathWithSemicolonIsRefusedWithAMessageInTheSessionLanguage) {
  const struct {
    const char* idioma;
    const char* missatge;
  } casos[] = {
      {"", "EL CAM\xD6 DEL FITXER NO POT CONTENIR ';'"},
      {"SPA", "LA RUTA DEL FICHERO NO PUEDE CONTENER ';'"},
      {"GLG", "A RUTA DO FICHEIRO NON PODE CONTER ';'"},
      {"OCI", "ETH CAMIN DETH FICH\xD4R NON P\xE3T AUER ';'"},
  };
  for (const auto& c : casos) {
    EntornCorreu entorn;
    EstatSessio.Idioma = c.idioma;
    entorn.ObrirPagina(2);
    Triar("C:\\A.TXT");
    const std::string fila10 = entorn.consola.Fila(9);
    const int xiulets = entorn.consola.xiulets;
    EXPECT_EQ(Triar("C:\\FACTURA 12; GENER.PDF"), -1);
    ASSERT_EQ(entorn.consola.buidats.size(), 1u) << c.idioma;
    EXPECT_NE(entorn.consola.buidats[0].files[9].find(c.missatge), std::string::npos) << c.idioma;
    EXPECT_EQ(entorn.consola.xiulets, xiulets + 1);
    EXPECT_EQ(entorn.consola.Fila(9), fila10) << "the box is closed again";
    EXPECT_EQ(Adjunts[1], "C:\\A.TXT");
    EXPECT_EQ(Adjunts[2], "");
    EXPECT_EQ(ValorCamp(2, 3), Fila65(""));
  }
}

TEST(Adjunts, LongNameIsCutOnItsRow) {
  EntornCorreu entorn;
  const std::string nom(80, 'N');
  Triar("C:\\DIR\\" + nom + ".TXT");
  EXPECT_EQ(ValorCamp(2, 2), std::string(65, 'N'));
  EXPECT_EQ(Adjunts[1], "C:\\DIR\\" + nom + ".TXT");
}

}  // namespace
