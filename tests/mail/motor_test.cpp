// The mail pages run by the real form engine, keys scripted on the virtual console.
#include <gtest/gtest.h>

#include <string>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "entorn_correu.h"
#include "mail/adjunts.h"
#include "mail/formcorreu.h"

namespace {

constexpr uint8_t kScanEnter = 0x1C, kScanEsc = 0x01, kScanAvall = 0x50,
                  kScanF2 = 0x3C;

// In these pages Enter confirms the whole dialog (End is one of their keys); Tab moves on.
void Enter(plat::ConsolaVirtual& c) { c.Tecla(0x0D, kScanEnter); }
void Tab(plat::ConsolaVirtual& c) { c.Tecla(0x09, 0x0F); }
void Avall(plat::ConsolaVirtual& c) { c.Tecla(0, kScanAvall, plat::kTeclaEstesa); }
void F2(plat::ConsolaVirtual& c) { c.Tecla(0, kScanF2); }
void Esc(plat::ConsolaVirtual& c) { c.Tecla(0x1B, kScanEsc); }

void PrepararDesti() {
  CampFormulari(1, kCampDesti)->OpcionsCamp = "|P,PANTALLA|1,LASER";
  FixarValorCamp(1, kCampDesti, "P");
}

TEST(MotorCorreu, MailOffLeavesAfterTheSwitch) {
  EntornCorreu e;
  PrepararDesti();
  Tab(e.consola);  // destination
  Tab(e.consola);  // mail question "N": the last editable field, and no page after it
  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);
  EXPECT_EQ(tecla, 0x0D);
  EXPECT_TRUE(e.consola.buidats.empty());
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_TRUE(e.consola.entrada.empty());
}

TEST(MotorCorreu, SenderIsAskedForBeforeLeavingWithMail) {
  EntornCorreu e;
  PrepararDesti();
  Tab(e.consola);
  e.consola.Text("S");
  Enter(e.consola);  // mail on, and leave at once without a sender
  Tab(e.consola);    // dismisses the message
  // Back on the first field: walk down to the address and type it.
  for (int i = 0; i < 5; ++i) Avall(e.consola);
  e.consola.Text("Joan@Host.CAT");
  Enter(e.consola);
  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);

  EXPECT_EQ(tecla, 0x4F00);
  ASSERT_EQ(e.consola.buidats.size(), 1u);
  EXPECT_NE(e.consola.buidats[0].files[15].find("HEU D'INDICAR EL CORREU DEL REMITENT"), std::string::npos);
  EXPECT_EQ(ValorCamp(1, kCampEnviarCorreu), "S");
  EXPECT_EQ(ValorCamp(1, kCampAdrecaRemitent), "Joan@host.cat" + std::string(27, ' '));
  EXPECT_TRUE(e.consola.entrada.empty());
}

TEST(MotorCorreu, MailTextFieldsRefuseTheSemicolon) {
  EntornCorreu e;
  PrepararDesti();
  FixarValorCamp(1, kCampEnviarCorreu, "S");
  for (int i = 0; i < 3; ++i) Avall(e.consola);
  e.consola.Text("Factura 12; gener");
  Tab(e.consola);
  e.consola.Text("Pere; Joan");
  Tab(e.consola);
  e.consola.Text("pere;@host.cat");
  Tab(e.consola);
  Esc(e.consola);  // back to the first field
  Esc(e.consola);  // and out
  const int xiulets = e.consola.xiulets;
  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);
  EXPECT_EQ(e.consola.xiulets, xiulets + 3);
  const struct {
    int camp;
    std::string valor;
  } camps[] = {{kCampAssumpte, "Factura 12 gener"}, {kCampNomRemitent, "Pere Joan"},
               {kCampAdrecaRemitent, "pere@host.cat"}};
  for (const auto& c : camps) EXPECT_EQ(ValorCamp(1, c.camp), c.valor + std::string(40 - c.valor.size(), ' '));
  // The refusal lasts only while those fields are edited.
  EXPECT_EQ(CaractersRefusats, "");
}

TEST(MotorCorreu, BadAddressIsRefusedAtTheField) {
  EntornCorreu e;
  PrepararDesti();
  FixarValorCamp(1, kCampEnviarCorreu, "S");
  for (int i = 0; i < 5; ++i) Avall(e.consola);
  e.consola.Text("joan@host");
  const int xiulets = e.consola.xiulets;
  Enter(e.consola);  // refused: beep, same field again
  Esc(e.consola);    // drop the edit: back to the first field
  Esc(e.consola);    // and out
  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);
  EXPECT_EQ(tecla, 0x1B);
  EXPECT_EQ(e.consola.xiulets, xiulets + 1);
  EXPECT_EQ(ValorCamp(1, kCampAdrecaRemitent), std::string(40, ' '));
  EXPECT_TRUE(e.consola.buidats.empty()) << "Escape never asks for the sender";
}

TEST(MotorCorreu, TypedAttachmentsOnTheSecondPage) {
  EntornCorreu e;
  PrepararDesti();
  FixarValorCamp(1, kCampEnviarCorreu, "S");
  FixarValorCamp(1, kCampAdrecaRemitent, "joan@host.cat");
  F2(e.consola);  // straight to the attachments page
  e.consola.Text("C:\\DOCS\\A.TXT");
  Enter(e.consola);
  // The field is empty again, so the next path is typed from scratch.
  e.consola.Text("C:\\DOCS\\B.PDF");
  Enter(e.consola);
  Esc(e.consola);    // close the attachments page
  Enter(e.consola);  // confirm the dialog
  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);
  EXPECT_EQ(tecla, 0x4F00);
  EXPECT_EQ(Adjunts[1], "C:\\DOCS\\A.TXT");
  EXPECT_EQ(Adjunts[2], "C:\\DOCS\\B.PDF");
  EXPECT_EQ(Adjunts[3], "");
  EXPECT_EQ(ValorCamp(2, 3), "B.PDF" + std::string(60, ' '));
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_TRUE(e.consola.entrada.empty());
}

TEST(MotorCorreu, AttachmentPageIsOutOfReachWithMailOff) {
  EntornCorreu e;
  PrepararDesti();
  F2(e.consola);  // no link while mail is off: stays on the field
  Esc(e.consola);
  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);
  EXPECT_EQ(tecla, 0x1B);
  EXPECT_TRUE(e.consola.entrada.empty());
  EXPECT_EQ(Formularis[1].Enllac, 0);
}

}  // namespace
