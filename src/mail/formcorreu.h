// The output dialog's two pages (destination and mail, attachments): the built-in form
// definition and the hooks the form engine calls to draw, accept and leave them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Form numbers and the fields of the first page the hooks and the caller refer to.
enum : int16_t {
  kPaginaCorreu = 1,
  kPaginaAdjunts = 2,
  kCampDesti = 1,
  kCampEnviarCorreu = 2,
  kCampImprimirTambe = 3,
  kCampAssumpte = 4,
  kCampNomRemitent = 5,
  kCampAdrecaRemitent = 6,
  kCampHoraEnviament = 7,
  kCampMembret = 8,
  kCampFitxerAdjunt = 1,  // on the attachments page; rows 2..11 show the list
};

// Field roles read by the hooks (the engine never reads them).
enum : int16_t {
  kRolNormal = 0,
  kRolInterruptorCorreu = 1,
  kRolAdrecaCorreu = 2,
  kRolAdjunt = 11,
};

// Title drawn on the top line of the first page's frame (already translated).
extern std::string TitolCaixa;
// Whether the company's letterhead image exists; set by the destination flow. The
// letterhead question is enabled only when it does.
extern bool MembretExisteix;

// The descriptor stream of both pages and the picker's list layout.
std::vector<std::string> DefinicioFormulariCorreu();
// Loads the definition into the form tables (labels and option lists translated), sets
// the box title and the first page's starting values. False when the tables refused it.
bool CarregarFormulariCorreu();
// Installs the hooks below into the form engine.
void RegistrarGanxosCorreu();

// The hooks.
void DibuixarFormulari(int16_t form);
void DibuixarCamp(int16_t form, int16_t camp);
int16_t AcceptarCamp(int16_t form, std::string& text, int16_t& camp, int16_t& tecla);
int16_t ValidarSortidaFormulari(int16_t form, int16_t tecla);

// Tests: empty title, no letterhead.
void ReiniciarFormulariCorreu();
