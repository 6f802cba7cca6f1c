// The console on a POSIX terminal: raw mode, alternate screen, 16 colours, SGR mouse,
// bracketed paste, resize. Output is the difference from what the terminal shows, sent
// only when the program is about to wait for input or to start another program.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/consola.h"
#include "platform/descodificador.h"

namespace plat {

// Brings a terminal from what it shows to the cell buffer, in as few bytes as it can.
class Pintor {
 public:
  // `forma_cursor`: the terminal understands the cursor shape sequence (not the Linux console).
  explicit Pintor(bool forma_cursor = true) : forma_cursor_(forma_cursor) {}
  // What the terminal shows is unknown: the next pass writes every cell and the cursor state.
  void Invalidar();
  // Appends to `sortida` the bytes for the top-left amplada x alcada cells of the console
  // and its cursor.
  void Pintar(const Consola& c, int amplada, int alcada, std::string& sortida);

 private:
  // Write the sequence, if one is needed, at p; return the end.
  char* Moure(int fila, int col, char* p);
  char* Atribut(uint8_t atr, char* p);

  bool forma_cursor_;
  std::vector<Cella> mostrat_;
  int amplada_ = 0;
  int alcada_ = 0;
  bool valid_ = false;
  int atr_ = -1;       // colours in effect, -1 unknown
  int fila_ = -1;      // terminal cursor, -1 unknown
  int col_ = -1;
  int visible_ = -1;   // cursor shown: 1, hidden: 0, unknown: -1
  int forma_ = -1;     // cursor shape sent: 1 block, 3 underline
};

class ConsolaTerminal : public Consola {
 public:
  // Takes the terminal on the two descriptors (`tipus` is the TERM name). When it cannot be
  // set up the terminal is left as it was and Oberta() is false.
  ConsolaTerminal(int fd_entrada, int fd_sortida, const std::string& tipus);
  ~ConsolaTerminal() override;
  ConsolaTerminal(const ConsolaTerminal&) = delete;
  ConsolaTerminal& operator=(const ConsolaTerminal&) = delete;

  bool Oberta() const { return oberta_; }

  bool LlegirEsdeveniment(Esdeveniment& e, int espera_ms) override;
  void BuidarEntrada() override;
  void Xiulet() override;
  void Refrescar() override;
  void Suspendre() override;
  void Reprendre() override;

  // Copies the text to the terminal's clipboard (OSC 52); sent with the next output.
  void EnviarOsc52(const std::string& cp850);
  // Tests: the bytes go to this function instead of the output descriptor.
  void FixarSortida(std::function<void(std::string_view)> f) { sortida_ = std::move(f); }
  // Puts the terminal back as it was found (also done by the destructor). Idempotent.
  void Restaurar();
  // Reads the terminal size again (what SIGWINCH triggers).
  void ComprovarMida();

  // The longest the decoder waits for the rest of an escape sequence. A terminal sends a
  // sequence in one write, so its bytes arrive together even over ssh; 20 ms keeps a lone
  // Escape (pause plus the way out) within 30 ms on terminals without the keyboard protocol.
  static constexpr int kPausaEscapada = 20;

  // The progressive keyboard protocol: asked for with the first output, switched on when
  // the terminal answered that it speaks it.
  enum class Teclat : uint8_t { NoPreguntat, Preguntat, Actiu, Absent };
  Teclat EstatTeclat() const { return teclat_; }
  // Input events kept while the program is busy; more typed ahead are dropped.
  static constexpr size_t kMaxCua = 4096;

 private:
  void Enviar(std::string_view bytes);
  void Entrar();  // raw mode and the alternate screen, on first output
  void Rebre(const std::vector<Esdeveniment>& v);
  void TractarSenyals();
  void Llegits(std::string_view bytes);  // feeds the decoder, queues keys, acts on answers
  bool LlegirEntrada();                   // one read of what the terminal sent; false if none
  void AtendreResposta();
  void EsperarResposta();                // the query's answers, before giving the terminal away
  std::string SeqSortida() const;        // every mode back off, in order

  int fd_entrada_;
  int fd_sortida_;
  bool oberta_ = false;
  bool suspesa_ = false;
  bool petita_ = false;          // the terminal is under 80 x 25
  bool missatge_mostrat_ = false;
  bool fi_entrada_ = false;      // the terminal hung up
  bool ratoli_terminal_ = false; // mouse reporting as the terminal has it
  int amplada_term_ = 80;
  int alcada_term_ = 25;
  Pintor pintor_;
  Descodificador desc_;
  std::deque<Esdeveniment> cua_;
  std::string pendent_;          // bytes waiting for the next flush
  long long ultim_byte_ = 0;     // when input last arrived (ms)
  Teclat teclat_ = Teclat::NoPreguntat;
  long long consulta_ = 0;       // when the keyboard query went out (ms)
  std::function<void(std::string_view)> sortida_;
};

// The terminal on standard input and output; nullptr when they are not a terminal or it
// cannot be set up.
std::unique_ptr<Consola> ObrirTerminal();

// Copies to the terminal's clipboard through the open terminal; false when none is open.
bool CopiarAlTerminal(const std::string& cp850);
// Puts the terminal settings of this subsystem back, the session-ending state included (tests).
void ReiniciarTerminal();

}  // namespace plat
