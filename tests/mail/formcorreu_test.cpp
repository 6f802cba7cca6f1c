#include "mail/formcorreu.h"

#include <gtest/gtest.h>

#include <string>

#include "console/finestres.h"
#include "console/formulari.h"
#include "entorn_correu.h"
#include "mail/adjunts.h"
#include "session/sessio.h"

namespace {

const std::string kSi = "S\xD6 ";
const std::string kNo = "NO ";

struct CampEsperat {
  int fila, columna;
  std::string etiqueta;
  int longitud, ampladaVisible, ampladaDescripcio, indicadors, rol, llista;
  std::string opcions;
};

void ComprovarCamp(int form, int n, const CampEsperat& e) {
  SCOPED_TRACE("form " + std::to_string(form) + " field " + std::to_string(n));
  const Camp* c = CampFormulari(form, n);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Fila, e.fila);
  EXPECT_EQ(c->Columna, e.columna);
  EXPECT_EQ(c->Etiqueta, e.etiqueta);
  EXPECT_EQ(c->Longitud, e.longitud);
  EXPECT_EQ(c->AmpladaVisible, e.ampladaVisible);
  EXPECT_EQ(c->AmpladaDescripcio, e.ampladaDescripcio);
  EXPECT_EQ(c->Indicadors, e.indicadors);
  EXPECT_EQ(c->Rol, e.rol);
  EXPECT_EQ(c->Llista, e.llista);
  EXPECT_EQ(c->OpcionsCamp, e.opcions);
  EXPECT_EQ(c->Valor.size(), static_cast<size_t>(e.longitud));
}

TEST(DefinicioCorreu, LoadsBothPagesAndTheListLayout) {
  EntornCorreu entorn;
  ASSERT_EQ(Formularis.size(), 3u);
  const std::string tecles = "d,4900,5100,1b,4800,7300=4800,5000,7400=5000,4f00,3c00,3e00";

  const Formulari& p1 = Formularis[1];
  EXPECT_EQ(p1.Tecles, tecles);
  EXPECT_EQ(p1.NumCamps, 8);
  EXPECT_EQ(p1.Enllac, 2);
  EXPECT_EQ(p1.Dalt, 5);
  EXPECT_EQ(p1.Esquerra, 18);
  EXPECT_EQ(p1.Baix, 20);
  EXPECT_EQ(p1.Dreta, 72);
  const std::string siNo = "|S,S\xD6|N,NO";
  ComprovarCamp(1, 1, {1, 2, "", 1, 0, 40, 0, 0, 0, ""});
  ComprovarCamp(1, 2, {3, 2, "ENVIAR PER CORREU ELECTR\xE3NIC ? ", 1, 0, 2, 0, 1, 0, siNo});
  ComprovarCamp(1, 3, {4, 2, "IMPRIMIR-LOS TAMB\x90 ? ", 1, 0, 2, 0, 0, 0, siNo});
  ComprovarCamp(1, 4, {7, 2, "ASSUMPTE : ", 40, 0, 0, 0, 0, 0, ""});
  ComprovarCamp(1, 5, {9, 2, "NOM .....: ", 40, 0, 0, 0, 0, 0, ""});
  ComprovarCamp(1, 6, {10, 2, "CORREU ..: ", 40, 0, 0, 0, 2, 0, ""});
  ComprovarCamp(1, 7, {12, 2, "ENVIAR ? ", 2, 0, 10, 0, 0, 0, "|00,IMMEDIAT"});
  ComprovarCamp(1, 8, {14, 2, "MEMBRET ? ", 1, 0, 2, 0, 0, 0, siNo});

  const Formulari& p2 = Formularis[2];
  EXPECT_EQ(p2.Tecles, tecles);
  EXPECT_EQ(p2.NumCamps, 11);
  EXPECT_EQ(p2.Enllac, 0);
  EXPECT_EQ(p2.Dalt, 10);
  EXPECT_EQ(p2.Esquerra, 6);
  EXPECT_EQ(p2.Baix, 25);
  EXPECT_EQ(p2.Dreta, 74);
  ComprovarCamp(2, 1, {1, 2, "", 260, 65, 0, 0, 11, 1, ""});
  for (int n = 2; n <= 11; ++n) ComprovarCamp(2, n, {n + 3, 2, "", 65, 0, 0, 4, 0, 0, ""});
  EXPECT_EQ(CampFormulari(2, 12), nullptr);

  ASSERT_EQ(Llistes.size(), 2u);
  const int16_t numeros[7] = {0, 0, 2, 20, 25, 80, 0};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Llistes[1].Numeros[i], numeros[i]) << i;
  EXPECT_EQ(Llistes[1].Titol, "");
  EXPECT_EQ(Llistes[1].Darrer, 0);
}

TEST(DefinicioCorreu, StartingValuesAndTitle) {
  EntornCorreu entorn;
  EXPECT_EQ(ValorCamp(1, kCampEnviarCorreu), "N");
  EXPECT_EQ(ValorCamp(1, kCampImprimirTambe), "N");
  EXPECT_EQ(ValorCamp(1, kCampMembret), "N");
  EXPECT_EQ(ValorCamp(1, kCampHoraEnviament), "00");
  EXPECT_EQ(ValorCamp(1, kCampAssumpte), std::string(40, ' '));
  EXPECT_EQ(ValorCamp(2, 1), std::string(260, ' '));
  EXPECT_EQ(TitolCaixa, " SELECCI\xE0 IMPRESSORA ");
}

TEST(DefinicioCorreu, LabelsAreTranslatedWhenLoaded) {
  EntornCorreu entorn;
  EstatSessio.Idioma = "GLG";
  ASSERT_TRUE(CarregarFormulariCorreu());
  EXPECT_EQ(CampFormulari(1, 8)->Etiqueta, "CABE\x80" "ALHO ? ");
  EXPECT_EQ(CampFormulari(1, 7)->OpcionsCamp, "|00,IMEDIATO");
  // The Yes/No list has no entry and stays as it is.
  EXPECT_EQ(CampFormulari(1, 2)->OpcionsCamp, "|S,S\xD6|N,NO");

  EstatSessio.Idioma = "SPA";
  ASSERT_TRUE(CarregarFormulariCorreu());
  EXPECT_EQ(TitolCaixa, " SELECCION IMPRESORA ");
  EXPECT_EQ(CampFormulari(1, 4)->Etiqueta, "ASUNTO ..: ");
}

TEST(PaginaCorreu, FirstPaintWithMailOff) {
  EntornCorreu entorn;
  entorn.ObrirPagina(1);
  EXPECT_EQ(entorn.Text(1, 0, 1, 21), " SELECCI\xE0 IMPRESSORA ");
  EXPECT_EQ(entorn.Text(1, 6, 1, 10), " REMITENT ");
  EXPECT_EQ(entorn.Text(1, 3, 2, 34), "ENVIAR PER CORREU ELECTR\xE3NIC ? NO ");
  // Everything that depends on the switch is dashes: option width included.
  EXPECT_EQ(entorn.Text(1, 4, 2, 24), "IMPRIMIR-LOS TAMB\x90 ? ---");
  EXPECT_EQ(entorn.Text(1, 7, 13, 41), std::string(40, '-') + " ");
  EXPECT_EQ(entorn.Text(1, 9, 13, 40), std::string(40, '-'));
  EXPECT_EQ(entorn.Text(1, 10, 2, 51), "CORREU ..: " + std::string(40, '-'));
  EXPECT_EQ(entorn.Text(1, 12, 11, 13), std::string(12, '-') + " ");
  EXPECT_EQ(entorn.Text(1, 14, 2, 13), "MEMBRET ? ---");
  EXPECT_EQ(Formularis[1].Enllac, 0);
  // The frame is still there on the right.
  EXPECT_EQ(entorn.Text(1, 7, 54, 1), "\xBA");
}

TEST(PaginaCorreu, SwitchingMailOnAndOff) {
  EntornCorreu entorn;
  FixarValorCamp(1, kCampAssumpte, "FACTURES DE MAIG");
  entorn.ObrirPagina(1);

  std::string s = "S";
  int16_t camp = kCampEnviarCorreu, tecla = 0x0d;
  ASSERT_EQ(AcceptarCamp(1, s, camp, tecla), 0);
  EXPECT_EQ(ValorCamp(1, 2), "S");
  EXPECT_EQ(entorn.Text(1, 3, 33, 3), kSi);
  EXPECT_EQ(entorn.Text(1, 4, 23, 3), kNo);
  EXPECT_EQ(entorn.Text(1, 7, 13, 40), "FACTURES DE MAIG" + std::string(24, ' '));
  EXPECT_EQ(entorn.Text(1, 9, 13, 40), std::string(40, ' '));
  EXPECT_EQ(entorn.Text(1, 12, 11, 12), "IMMEDIAT    ");
  // No letterhead image: its question stays off.
  EXPECT_EQ(entorn.Text(1, 14, 12, 3), "---");
  EXPECT_EQ(Formularis[1].Enllac, 2);
  for (int d = 3; d <= 7; ++d) EXPECT_EQ(CampFormulari(1, d)->Indicadors, 0) << d;
  EXPECT_EQ(CampFormulari(1, 8)->Indicadors, 6);

  s = "N";
  ASSERT_EQ(AcceptarCamp(1, s, camp, tecla), 0);
  EXPECT_EQ(entorn.Text(1, 7, 13, 40), std::string(40, '-'));
  EXPECT_EQ(entorn.Text(1, 4, 23, 3), "---");
  EXPECT_EQ(Formularis[1].Enllac, 0);
  // Values survive being switched off.
  EXPECT_EQ(ValorCamp(1, kCampAssumpte), "FACTURES DE MAIG" + std::string(24, ' '));

  MembretExisteix = true;
  s = "S";
  ASSERT_EQ(AcceptarCamp(1, s, camp, tecla), 0);
  EXPECT_EQ(entorn.Text(1, 14, 12, 3), kNo);
  EXPECT_EQ(entorn.Text(1, 7, 13, 16), "FACTURES DE MAIG");
}

TEST(PaginaCorreu, RequestWithoutMail) {
  EntornCorreu entorn;
  // The destination flow switches the question itself off when mail is not allowed.
  CampFormulari(1, kCampEnviarCorreu)->Indicadors = 6;
  entorn.ObrirPagina(1);
  EXPECT_EQ(entorn.Text(1, 3, 33, 3), "---");
  EXPECT_EQ(entorn.Text(1, 4, 23, 3), "---");
  EXPECT_EQ(entorn.Text(1, 10, 13, 40), std::string(40, '-'));
  EXPECT_EQ(Formularis[1].Enllac, 0);
}

TEST(PaginaCorreu, DestinationShowsTheChosenOptionOrNothing) {
  EntornCorreu entorn;
  CampFormulari(1, kCampDesti)->OpcionsCamp = "|P,PANTALLA|1,LASER OFICINA";
  FixarValorCamp(1, kCampDesti, "1");
  entorn.ObrirPagina(1);
  EXPECT_EQ(entorn.Text(1, 1, 2, 41), "LASER OFICINA" + std::string(28, ' '));
  // A printer number whose name was removed: the area is left blank.
  FixarValorCamp(1, kCampDesti, "7");
  DibuixarCamp(1, kCampDesti);
  EXPECT_EQ(entorn.Text(1, 1, 2, 41), std::string(41, ' '));
  // A code is matched exactly, not by prefix.
  CampFormulari(1, kCampHoraEnviament)->OpcionsCamp = "|0,ZERO|00,IMMEDIAT|001,X";
  std::string s = "S";
  int16_t camp = kCampEnviarCorreu, tecla = 0x0d;
  AcceptarCamp(1, s, camp, tecla);
  EXPECT_EQ(entorn.Text(1, 12, 11, 12), "IMMEDIAT    ");
}

TEST(PaginaCorreu, SenderAddressIsCheckedAndNormalised) {
  EntornCorreu entorn;
  entorn.ObrirPagina(1);
  std::string s = "S";
  int16_t camp = kCampEnviarCorreu, tecla = 0x0d;
  AcceptarCamp(1, s, camp, tecla);

  camp = kCampAdrecaRemitent;
  std::string dolent = "joan@host..cat" + std::string(26, ' ');
  EXPECT_NE(AcceptarCamp(1, dolent, camp, tecla), 0);
  EXPECT_EQ(ValorCamp(1, kCampAdrecaRemitent), std::string(40, ' '));
  EXPECT_EQ(entorn.Text(1, 10, 13, 40), std::string(40, ' '));

  std::string bo = "  Joan@Host.CAT" + std::string(25, ' ');
  EXPECT_EQ(AcceptarCamp(1, bo, camp, tecla), 0);
  EXPECT_EQ(ValorCamp(1, kCampAdrecaRemitent), "Joan@host.cat" + std::string(27, ' '));
  EXPECT_EQ(entorn.Text(1, 10, 13, 40), "Joan@host.cat" + std::string(27, ' '));
}

TEST(PaginaCorreu, PlainFieldsAreStoredCutOrPadded) {
  EntornCorreu entorn;
  std::string llarg(50, 'A');
  int16_t camp = kCampNomRemitent, tecla = 0x0d;
  EXPECT_EQ(AcceptarCamp(1, llarg, camp, tecla), 0);
  EXPECT_EQ(ValorCamp(1, kCampNomRemitent), std::string(40, 'A'));
  std::string curt = "X";
  EXPECT_EQ(AcceptarCamp(1, curt, camp, tecla), 0);
  EXPECT_EQ(ValorCamp(1, kCampNomRemitent), "X" + std::string(39, ' '));
}

TEST(PaginaAdjunts, FirstPaintAndDisabledPathField) {
  EntornCorreu entorn;
  entorn.ObrirPagina(2);
  EXPECT_EQ(entorn.Text(2, 0, 1, 17), " FITXERS ADJUNTS ");
  for (int r = 1; r <= 14; ++r) EXPECT_EQ(entorn.Text(2, r, 2, 65), std::string(65, ' ')) << r;

  // Disabled, the 260-character path shows one line of dashes per display line.
  CampFormulari(2, 1)->Indicadors = 6;
  DibuixarCamp(2, 1);
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(entorn.Text(2, r, 2, 66), std::string(65, '-') + " ") << r;
  EXPECT_EQ(entorn.Text(2, 5, 2, 65), std::string(65, ' '));
}

TEST(PaginaAdjunts, LongPathIsShownOverFourLines) {
  EntornCorreu entorn;
  std::string cami;
  for (int i = 0; i < 260; ++i) cami += static_cast<char>('a' + i % 26);
  FixarValorCamp(2, 1, cami);
  entorn.ObrirPagina(2);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(entorn.Text(2, r + 1, 2, 65), cami.substr(r * 65, 65)) << r;
}

TEST(SortidaCorreu, SenderRequiredOnlyWithMailOn) {
  EntornCorreu entorn;
  entorn.ObrirPagina(1);
  // Mail off: leaving is fine.
  EXPECT_EQ(ValidarSortidaFormulari(1, 0x0d), 0);
  EXPECT_TRUE(entorn.consola.buidats.empty());

  FixarValorCamp(1, kCampEnviarCorreu, "S");
  EXPECT_EQ(ValidarSortidaFormulari(1, 0x1b), 0) << "Escape is never refused";
  EXPECT_EQ(ValidarSortidaFormulari(2, 0x0d), 0) << "only the first page is checked";
  EXPECT_TRUE(entorn.consola.buidats.empty());

  const int nivell = FinestraActual.Nivell;
  const std::string abans = entorn.consola.Fila(15);
  const int xiulets = entorn.consola.xiulets;
  EXPECT_NE(ValidarSortidaFormulari(1, 0x0d), 0);
  ASSERT_EQ(entorn.consola.buidats.size(), 1u);
  const std::string msg = "HEU D'INDICAR EL CORREU DEL REMITENT";
  EXPECT_NE(entorn.consola.buidats[0].files[15].find(msg), std::string::npos)
      << "the message box is centred on row 18";
  EXPECT_EQ(entorn.consola.xiulets, xiulets + 1);
  // The box is gone again and the window stack is as before.
  EXPECT_EQ(entorn.consola.Fila(15), abans);
  EXPECT_EQ(FinestraActual.Nivell, nivell);

  FixarValorCamp(1, kCampAdrecaRemitent, "joan@host.cat");
  EXPECT_EQ(ValidarSortidaFormulari(1, 0x0d), 0);
  EXPECT_EQ(entorn.consola.buidats.size(), 1u);
}

TEST(SortidaCorreu, SenderMessageIsTranslated) {
  EntornCorreu entorn;
  EstatSessio.Idioma = "SPA";
  FixarValorCamp(1, kCampEnviarCorreu, "S");
  EXPECT_NE(ValidarSortidaFormulari(1, 0x5100), 0);
  ASSERT_EQ(entorn.consola.buidats.size(), 1u);
  EXPECT_NE(entorn.consola.buidats[0].files[15].find("HA DE INDICAR EL CORREO DEL REMITENTE"),
            std::string::npos);
}

}  // namespace
