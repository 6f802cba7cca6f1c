// The console on Windows: a screen buffer of our own, cells written with
// WriteConsoleOutputW, input records from ReadConsoleInputW. Output is the difference from
// what the console shows, written when the program is about to wait or start another
// program. Internal to src/platform (and its tests).
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/consola.h"

namespace plat {

class ConsolaWindows : public Consola {
 public:
  // Takes the console on the two handles (HANDLE values). Oberta() is false when they are
  // not a console or our screen buffer cannot be made; the console is then left as it was.
  ConsolaWindows(void* entrada, void* sortida);
  ~ConsolaWindows() override;
  ConsolaWindows(const ConsolaWindows&) = delete;
  ConsolaWindows& operator=(const ConsolaWindows&) = delete;

  bool Oberta() const { return oberta_; }

  bool LlegirEsdeveniment(Esdeveniment& e, int espera_ms) override;
  void BuidarEntrada() override;
  void Xiulet() override;
  void Refrescar() override;
  void Suspendre() override;
  void Reprendre() override;

  // Gives the caller its screen buffer, modes, cursor, colours and code pages back (also
  // done by the destructor, at exit and on a console close event). Idempotent.
  void Restaurar();
  // Reads the visible window size again (what a buffer-size event triggers).
  void ComprovarMida();

  // Tests: our screen buffer (HANDLE) and how many cells have been written to it.
  void* Pantalla() const { return pantalla_; }
  long long CellesEscrites() const { return celles_escrites_; }

  // Input events kept while the program is busy; more typed ahead are dropped.
  static constexpr size_t kMaxCua = 4096;

 private:
  void Entrar();  // our buffer active and our input mode, on first output
  void AplicarModeEntrada();
  void Rebre(const void* registre);  // one INPUT_RECORD
  void PintarMissatge();
  void PintarDiferencia();

  void* entrada_;
  void* sortida_;
  void* pantalla_ = nullptr;
  bool oberta_ = false;
  bool activa_ = false;            // our buffer is the one shown
  bool suspesa_ = false;
  bool vista_ = false;             // our buffer was shown when the child started
  bool petita_ = false;            // the window is under 80 x 25
  bool missatge_mostrat_ = false;
  bool xiulet_ = false;
  bool fi_entrada_ = false;
  int ratoli_consola_ = -1;        // mouse input as the console mode has it, -1 unknown
  int amplada_finestra_ = 80;
  int alcada_finestra_ = 25;
  std::vector<Cella> mostrat_;     // what our buffer shows; empty: unknown
  int cursor_fila_ = -1, cursor_col_ = -1, cursor_mida_ = -1;  // as last set, -1 unknown
  long long celles_escrites_ = 0;
  std::deque<Esdeveniment> cua_;
};

// What the console control handler does with an event (CTRL_C_EVENT, CTRL_CLOSE_EVENT...):
// true when it was handled. Tests call it directly.
bool ControlConsola(unsigned long tipus);

}  // namespace plat
