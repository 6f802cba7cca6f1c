// Record files kept by an external record manager: the file table, lock modes, and the
// calls with waiting on records locked by another user.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

constexpr int kNombreSlots = 40;
constexpr int kMidaBlocPosicio = 128;
constexpr int kMidaDades = 1536;
constexpr int kMidaClau = 256;

// Status codes set here (the rest come from the record manager).
constexpr int16_t kEstatNoObert = 3;
constexpr int16_t kEstatBufferCurt = 22;
constexpr int16_t kEstatRegistreBloquejat = 84;
constexpr int16_t kEstatFitxerBloquejat = 85;
constexpr int16_t kEstatSenseGestor = 20;  // no record manager registered
constexpr int16_t kEstatClauInexistent = 1004;

struct SlotFitxer {
  int16_t NumFitxer = 0;  // 0 = free
  unsigned char BlocPosicio[kMidaBlocPosicio] = {};
  char* Registre = nullptr;  // the caller's record buffer
  int32_t LongRegistre = 0;  // at most kMidaDades
  int16_t NumClau = 0;
  std::string ValorClau;
  int16_t ModeBloqueig = 0;  // 0 "D" no lock, 1 "A" lock and wait, 2 "B" lock, no wait
};

// Slots 1 to 40 (index 0 unused), made at first use: most runs open no file, and
// building the slots at start would touch pages of memory for nothing.
struct TaulaSlots {
  SlotFitxer& operator[](int i);
};
extern TaulaSlots TaulaFitxers;
// Saved lock modes: pairs of bytes (slot, mode), newest last.
extern std::string PilaModes;

// The record manager's one entry point: operation, position block, data buffer, data
// length in/out, key buffer (kMidaClau bytes), key length, key number -> status.
using GestorRegistres = std::function<int16_t(int16_t operacio, unsigned char* blocPosicio, char* dades,
                                              int32_t& longDades, char* clau, int16_t longClau, int16_t numClau)>;
void FixarGestorRegistres(GestorRegistres gestor);
// Uses the system's record manager when its library is installed (at start-up); false,
// and the manager left as it was, when there is none.
bool UsarGestorSistema(const std::string& biblioteca = "WBTRV32.DLL");

// Pause between attempts on a locked record (milliseconds) and the random fraction that
// sets its length; tests replace both.
void FixarEsperaBloqueig(std::function<void(int64_t ms)> espera, std::function<double()> atzar = nullptr);

// Slot of a file number; minus the highest free slot when absent; 0 when the table is full.
int16_t FitxerSlot(int16_t numFitxer);
// Puts a file in a free slot (opening files is the caller's business). Returns the slot,
// or 0 when the number is 0, already there, or the table is full.
int16_t RegistrarFitxer(int16_t numFitxer, char* registre, int32_t longRegistre, int16_t numClau,
                        const std::string& valorClau, int16_t mode);
void AlliberarFitxer(int16_t numFitxer);

void FitxerModes(int16_t numFitxer, const std::string& ordres, int16_t& estat);
void FitxerCerca(int16_t numFitxer, int16_t numClau, const std::string& valor, int direccio, int16_t& estat);
void FitxerSalta(int16_t numFitxer, int32_t quants, int16_t& estat);
int32_t FitxerPosicio(int16_t numFitxer, int32_t posicio);
std::string FitxerClau(int16_t numFitxer);
std::string ClauOrdenable(const std::string& clau, int16_t numFitxer);
void FitxerMides(int16_t numFitxer, int16_t numClau, int32_t& longRegistre, int32_t& longClau);
// The call path with lock bias and waiting; may raise the operation by the bias.
void FitxerCrida(int16_t slot, int16_t& operacio, int16_t& estat);

// Tests: empty table and mode stack, no record manager, real waiting.
void ReiniciarRegistres();
