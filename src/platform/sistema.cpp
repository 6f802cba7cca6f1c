// Host-independent half of the system layer: test overrides of the environment and the
// clock, Windows command-line splitting, the process observer.
#include "platform/sistema.h"

#include <atomic>
#include <chrono>
#include <map>

#include "platform/host.h"

namespace plat {

namespace {
std::map<std::string, std::optional<std::string>> g_entorn;  // test overrides
std::optional<Moment> g_rellotge;
std::function<bool(const std::string&)> g_observador;
// Set from signal handlers and the Windows console's control thread: lock-free on purpose.
std::atomic<bool> g_acabant{false};
static_assert(std::atomic<bool>::is_always_lock_free);
}  // namespace

bool SessioAcabant() { return g_acabant.load(std::memory_order_relaxed); }
void FixarSessioAcabant(bool acabant) { g_acabant.store(acabant, std::memory_order_relaxed); }

std::string Entorn(const std::string& nom) {
  auto it = g_entorn.find(nom);
  if (it != g_entorn.end()) return it->second.value_or("");
  return host::Entorn(nom);
}

void FixarEntorn(const std::string& nom, std::optional<std::string> valor) { g_entorn[nom] = std::move(valor); }
void NetejarEntorn() { g_entorn.clear(); }

Moment Ara() { return g_rellotge ? *g_rellotge : host::Ara(); }

void FixarRellotge(std::optional<Moment> m) { g_rellotge = m; }

int64_t Mil_lisegons() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> DividirOrdre(const std::string& ordre) {
  // Windows command-line rules: spaces separate, quotes group, 2n backslashes before a
  // quote give n backslashes, 2n+1 give n and a literal quote.
  std::vector<std::string> r;
  size_t i = 0, n = ordre.size();
  while (true) {
    while (i < n && (ordre[i] == ' ' || ordre[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool cometes = false;
    // The program name takes quotes literally as grouping, without backslash rules.
    if (r.empty()) {
      while (i < n && (cometes || (ordre[i] != ' ' && ordre[i] != '\t'))) {
        if (ordre[i] == '"') cometes = !cometes;
        else arg += ordre[i];
        ++i;
      }
      r.push_back(arg);
      continue;
    }
    while (i < n && (cometes || (ordre[i] != ' ' && ordre[i] != '\t'))) {
      if (ordre[i] == '\\') {
        size_t b = 0;
        while (i < n && ordre[i] == '\\') { ++b; ++i; }
        if (i < n && ordre[i] == '"') {
          arg.append(b / 2, '\\');
          if (b % 2) { arg += '"'; ++i; }
        } else {
          arg.append(b, '\\');
        }
      } else if (ordre[i] == '"') {
        if (cometes && i + 1 < n && ordre[i + 1] == '"') { arg += '"'; i += 2; continue; }
        cometes = !cometes;
        ++i;
      } else {
        arg += ordre[i++];
      }
    }
    r.push_back(arg);
  }
  return r;
}

bool ExecutarIEsperar(const std::string& ordre) {
  if (SessioAcabant()) return false;  // nobody is left to see the program
  if (g_observador && !g_observador(ordre)) return true;
  return host::Executar(ordre);
}

void FixarObservadorProcessos(std::function<bool(const std::string&)> f) { g_observador = std::move(f); }

void ReiniciarSistema() {
  g_entorn.clear();
  g_rellotge.reset();
  g_observador = nullptr;
  g_acabant = false;
  host::Reiniciar();
}

}  // namespace plat
