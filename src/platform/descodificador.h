// Terminal input bytes -> console input events. No I/O and no clock: the caller feeds the
// bytes it read and says when a pause came, so every case can be tested with byte strings.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/consola.h"

namespace plat {

class Descodificador {
 public:
  // Longest escape sequence kept while waiting for its end; longer ones are dropped.
  static constexpr size_t kMaxSequencia = 64;
  // Longest pasted text kept (raw bytes); the rest of a bigger paste is dropped.
  static constexpr size_t kMaxEnganxat = 64 * 1024;

  // Decodes the bytes; complete events are appended to `sortida`. A sequence cut by the
  // end of the bytes waits for the next call.
  void Alimentar(std::string_view bytes, std::vector<Esdeveniment>& sortida);
  // No more bytes came within the pause: a lone Escape is the Escape key, "ESC [" and
  // "ESC O" are Alt keys, any other unfinished sequence is dropped. A paste in progress
  // goes on waiting for its end marker.
  void Pausa(std::vector<Esdeveniment>& sortida);
  // The paste's end marker never came: delivers what was collected.
  void TancarEnganxat(std::vector<Esdeveniment>& sortida);

  // Bytes are waiting for the rest of a sequence (the caller should wait a short pause).
  bool Pendent() const { return !pendent_.empty(); }
  bool EnEnganxat() const { return enganxant_; }
  size_t BytesPendents() const { return pendent_.size(); }
  size_t BytesEnganxats() const { return enganxat_.size(); }

  // Forgets everything pending (discarded input). Answers already seen are kept.
  void Reiniciar();

  // The terminal answers the keyboard-protocol query and then the device-attributes
  // request; both answers are swallowed here, never passed on as keys. Once the second
  // one has come this says whether the first did (read once: Cap until the next answer).
  enum class Resposta : uint8_t { Cap, SenseProtocol, AmbProtocol };
  Resposta PrendreResposta();

  // With the progressive keyboard protocol on, the terminal sends the Escape key as a
  // sequence of its own, so an ESC byte that nothing follows yet is Escape at once.
  void EscapadaImmediata(bool si) { escapada_immediata_ = si; }
  bool EscapadaImmediata() const { return escapada_immediata_; }

 private:
  enum class Resultat { Fet, Incomplet, Invalid };
  void Processar(std::vector<Esdeveniment>& sortida, bool pausa);
  Resultat Unitat(size_t inici, size_t& n, std::vector<Esdeveniment>& sortida);
  Resultat Escapada(size_t inici, size_t& n, uint16_t extra, std::vector<Esdeveniment>& sortida);
  Resultat Csi(size_t inici, size_t& n, uint16_t extra, std::vector<Esdeveniment>& sortida);
  Resultat Ss3(size_t inici, size_t& n, uint16_t extra, std::vector<Esdeveniment>& sortida);
  Resultat Caracter(size_t inici, size_t& n, uint16_t extra, std::vector<Esdeveniment>& sortida);
  void Ratoli(int codi, int x, int y, bool deixat, std::vector<Esdeveniment>& sortida);
  void AlimentarEnganxat(std::string_view& bytes, std::vector<Esdeveniment>& sortida);

  std::string pendent_;
  bool enganxant_ = false;
  std::string enganxat_;
  size_t coincidencia_final_ = 0;  // bytes of the paste end marker seen so far
  uint16_t botons_ = 0;            // mouse buttons held, as the terminal reported them
  bool pausa_ = false;             // the bytes being looked at are all that came
  bool escapada_immediata_ = false;
  bool protocol_anunciat_ = false;  // the keyboard-protocol answer came, DA not yet
  Resposta resposta_ = Resposta::Cap;
};

// Decodes a whole byte string followed by a pause (tests and one-shot use).
std::vector<Esdeveniment> Descodificar(std::string_view bytes);

// PC scan code of the key that types an ASCII character on a US keyboard; 0 when none.
uint8_t ScanDeCaracter(unsigned char c);

}  // namespace plat
