// The console as the program sees it: a grid of cells, a cursor and input events.
// Kept close to what a Win32 console offers, so each host backend is one file.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Colour attribute: foreground in the low nibble, background in the high nibble.
struct Cella {
  uint8_t car = ' ';
  uint8_t atr = 0x07;
  bool operator==(const Cella&) const = default;
};

// Shift-state bits, as a Win32 key event carries them.
enum : uint16_t {
  kAltDreta = 0x0001,
  kAltEsquerra = 0x0002,
  kCtrlDreta = 0x0004,
  kCtrlEsquerra = 0x0008,
  kMajuscula = 0x0010,  // Shift
  kTeclaEstesa = 0x0100,
};

// Mouse button bits and event kinds, as a Win32 mouse event carries them.
enum : uint16_t { kBotoEsquerre = 0x0001, kBotoDret = 0x0002, kBotoMig = 0x0004 };
enum : uint16_t { kRatoliMogut = 0x0001, kDobleClic = 0x0002, kRoda = 0x0004 };

enum class TipusEsdeveniment : uint8_t { Tecla, Ratoli, Mida, Enganxat };

struct Esdeveniment {
  TipusEsdeveniment tipus = TipusEsdeveniment::Tecla;
  // Key: PC scan code (0 when the key has none), CP850 character (0 for an extended key),
  // shift state.
  uint8_t scan = 0;
  uint8_t car = 0;
  uint16_t estat = 0;
  // Mouse: 0-based position, buttons held, event kind (0 = press or release).
  int fila = 0;
  int col = 0;
  uint16_t botons = 0;
  uint16_t accio = 0;
  // Paste: the pasted text in CP850.
  std::string text;
  bool operator==(const Esdeveniment&) const = default;
};

// The console. The base class owns the cell buffer and cursor; backends add input and
// the way the buffer reaches a screen.
class Consola {
 public:
  Consola(int amplada, int alcada);
  virtual ~Consola() = default;

  int Amplada() const { return amplada_; }
  int Alcada() const { return alcada_; }

  // 0-based; reads outside give a blank cell, writes outside are ignored.
  Cella LlegirCella(int fila, int col) const {
    if (fila < 0 || col < 0 || fila >= alcada_ || col >= amplada_) return Cella{};
    return cel_[static_cast<size_t>(fila) * amplada_ + col];
  }
  // The cells of a row, 0 <= fila < Alcada(), for loops over many.
  const Cella* Fila(int fila) const { return cel_.data() + static_cast<size_t>(fila) * amplada_; }
  void EscriureCella(int fila, int col, Cella c) {
    if (fila < 0 || col < 0 || fila >= alcada_ || col >= amplada_) return;
    cel_[static_cast<size_t>(fila) * amplada_ + col] = c;
  }
  void Omplir(Cella c);

  // 0-based cursor; mida 0 hides it, otherwise 1..100 (percentage of the cell).
  void PosarCursor(int fila, int col);
  int FilaCursor() const { return fila_cursor_; }
  int ColCursor() const { return col_cursor_; }
  void MidaCursor(int mida) { mida_cursor_ = mida; }
  int MidaCursorActual() const { return mida_cursor_; }

  // Next input event. espera_ms < 0 blocks until one arrives; 0 polls. Pushes what was
  // drawn to the screen before it waits.
  virtual bool LlegirEsdeveniment(Esdeveniment& e, int espera_ms) = 0;
  virtual void Ratoli(bool actiu) { ratoli_ = actiu; }
  bool RatoliActiu() const { return ratoli_; }
  virtual void BuidarEntrada() = 0;
  virtual void Xiulet() {}
  // Sends pending drawing to the screen.
  virtual void Refrescar() {}
  // Around a child process: give the terminal back in its normal state, then take it
  // back and repaint everything.
  virtual void Suspendre() {}
  virtual void Reprendre() {}

 protected:
  void Redimensionar(int amplada, int alcada);
  std::vector<Cella> cel_;
  int amplada_;
  int alcada_;

 private:
  int fila_cursor_ = 0;
  int col_cursor_ = 0;
  int mida_cursor_ = 25;
  bool ratoli_ = false;
};

// What a terminal shows instead of the program while its window is smaller than 80 x 25
// (the program sets it in the session language; Catalan until then).
void FixarMissatgeMida(const std::string& cp850);
const std::string& MissatgeMida();
void ReiniciarMissatgeMida();

// The host's console (terminal on POSIX, Windows console): nullptr when there is none, as
// when the program is started from a script.
std::unique_ptr<Consola> ObrirConsola();

// The console in use. Starts as a virtual 80 x 25 console until the program installs
// the terminal.
Consola& ConsolaActual();
void FixarConsola(Consola* c);  // nullptr goes back to the default virtual console

// A console for tests: scripted input, the screen readable as text.
class ConsolaVirtual : public Consola {
 public:
  ConsolaVirtual(int amplada = 80, int alcada = 25) : Consola(amplada, alcada) {}
  bool LlegirEsdeveniment(Esdeveniment& e, int espera_ms) override;
  void BuidarEntrada() override { entrada.clear(); }
  void Xiulet() override { ++xiulets; }
  void CanviarMida(int amplada, int alcada);

  // Queues a key (CP850 character or scan code with shift state).
  void Tecla(uint8_t car, uint8_t scan = 0, uint16_t estat = 0);
  void Text(const std::string& cp850);  // one key event per character
  void Clic(int fila, int col, uint16_t botons = kBotoEsquerre, uint16_t accio = 0);

  // Row r as CP850 bytes, or the whole screen as UTF-8 lines joined with '\n'.
  std::string Fila(int r) const;
  std::string Pantalla() const;
  // Row r's colour attributes as hex digits (foreground nibble then background nibble per cell).
  std::string Colors(int r) const;

  std::deque<Esdeveniment> entrada;
  int xiulets = 0;
};

}  // namespace plat
