#include "platform/consola.h"

#include <memory>

#include "platform/cp850.h"
#include "platform/sistema.h"

namespace plat {

Consola::Consola(int amplada, int alcada) : amplada_(amplada), alcada_(alcada) {
  cel_.assign(static_cast<size_t>(amplada) * alcada, Cella{});
}

void Consola::Omplir(Cella c) { std::fill(cel_.begin(), cel_.end(), c); }

void Consola::PosarCursor(int fila, int col) {
  fila_cursor_ = fila;
  col_cursor_ = col;
}

void Consola::Redimensionar(int amplada, int alcada) {
  std::vector<Cella> nou(static_cast<size_t>(amplada) * alcada, Cella{});
  for (int f = 0; f < alcada && f < alcada_; ++f)
    for (int c = 0; c < amplada && c < amplada_; ++c) nou[static_cast<size_t>(f) * amplada + c] = LlegirCella(f, c);
  cel_ = std::move(nou);
  amplada_ = amplada;
  alcada_ = alcada;
}

namespace {
const char kMissatgeMidaDefecte[] = "Cal una finestra de 80 x 25 com a m\xA1nim";
std::string g_missatge_mida = kMissatgeMidaDefecte;
Consola* g_consola = nullptr;
Consola& ConsolaPerDefecte() {
  static ConsolaVirtual defecte;
  return defecte;
}
}  // namespace

void FixarMissatgeMida(const std::string& cp850) { g_missatge_mida = cp850; }
const std::string& MissatgeMida() { return g_missatge_mida; }
void ReiniciarMissatgeMida() { g_missatge_mida = kMissatgeMidaDefecte; }

Consola& ConsolaActual() { return g_consola ? *g_consola : ConsolaPerDefecte(); }
void FixarConsola(Consola* c) { g_consola = c; }

bool ConsolaVirtual::LlegirEsdeveniment(Esdeveniment& e, int) {
  // A script that ran dry answers Escape, so an interactive loop under test always ends;
  // so does a session that is ending.
  if (entrada.empty() || SessioAcabant()) {
    e = Esdeveniment{};
    e.car = 0x1B;
    e.scan = 0x01;
    return true;
  }
  e = entrada.front();
  entrada.pop_front();
  if (e.tipus == TipusEsdeveniment::Mida) Redimensionar(e.col, e.fila);
  return true;
}

void ConsolaVirtual::CanviarMida(int amplada, int alcada) {
  Esdeveniment e;
  e.tipus = TipusEsdeveniment::Mida;
  e.col = amplada;
  e.fila = alcada;
  entrada.push_back(e);
}

void ConsolaVirtual::Tecla(uint8_t car, uint8_t scan, uint16_t estat) {
  Esdeveniment e;
  e.car = car;
  e.scan = scan;
  e.estat = estat;
  entrada.push_back(e);
}

void ConsolaVirtual::Text(const std::string& cp850) {
  for (unsigned char c : cp850) Tecla(c);
}

void ConsolaVirtual::Clic(int fila, int col, uint16_t botons, uint16_t accio) {
  Esdeveniment e;
  e.tipus = TipusEsdeveniment::Ratoli;
  e.fila = fila;
  e.col = col;
  e.botons = botons;
  e.accio = accio;
  entrada.push_back(e);
}

std::string ConsolaVirtual::Fila(int r) const {
  std::string s;
  for (int c = 0; c < amplada_; ++c) s += static_cast<char>(LlegirCella(r, c).car);
  return s;
}

std::string ConsolaVirtual::Pantalla() const {
  std::string s;
  for (int r = 0; r < alcada_; ++r) {
    for (int c = 0; c < amplada_; ++c) s += GlifUtf8(LlegirCella(r, c).car);
    s += '\n';
  }
  return s;
}

std::string ConsolaVirtual::Colors(int r) const {
  static const char* hex = "0123456789abcdef";
  std::string s;
  for (int c = 0; c < amplada_; ++c) {
    uint8_t a = LlegirCella(r, c).atr;
    s += hex[a & 15];
    s += hex[a >> 4];
  }
  return s;
}

}  // namespace plat
