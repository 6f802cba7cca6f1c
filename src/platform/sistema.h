// The host as the rest of the program needs it: environment, clock, processes,
// clipboard, the insert toggle. Every value can be fixed by tests.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// Environment variable by name, "" when undefined; the value in CP850.
std::string Entorn(const std::string& nom);
// Tests: override a variable (std::nullopt removes the override); clear all overrides.
void FixarEntorn(const std::string& nom, std::optional<std::string> valor);
void NetejarEntorn();

// Local wall-clock time.
struct Moment {
  int any = 0, mes = 0, dia = 0;
  int hora = 0, minut = 0, segon = 0, centesima = 0;
};
Moment Ara();
// Tests: a fixed clock; std::nullopt returns to the real one.
void FixarRellotge(std::optional<Moment> m);
// Milliseconds since an arbitrary start, for timeouts.
int64_t Mil_lisegons();

// Starts a command text (program, then arguments, split as a Windows command line) and
// waits for it. The program is found through the path layer, case-insensitively, with or
// without an extension. The console is suspended around the child. Returns false when
// the program could not be started.
bool ExecutarIEsperar(const std::string& ordre);
// Splits a Windows command line into program and arguments.
std::vector<std::string> DividirOrdre(const std::string& ordre);
// Tests: observe (and optionally stop) process starts. The hook returns true to let the
// start go ahead.
void FixarObservadorProcessos(std::function<bool(const std::string& ordre)> f);

// Clipboard text in CP850.
void CopiarPortaretalls(const std::string& cp850);
std::string LlegirPortaretalls();
// The terminal registers here to copy through its own clipboard (OSC 52).
void FixarCopiaTerminal(std::function<void(const std::string& cp850)> f);

// Environment variable naming the suite's terminal folder when the session names none:
// TERM on Windows; KEVTERM on POSIX, where TERM is the terminal type.
std::string NomVariableTerminal();
// Folder name for documents the host's desktop uses, tried before the suite's own names
// ("" where only the suite's names count).
std::string CarpetaDocumentsHost();

// The process-wide insert toggle (the keyboard's Insert state).
bool ModeInsercio();
void FixarModeInsercio(bool inserir);

// The session is ending (terminal hung up, SIGHUP/SIGTERM, the console window closed, the
// system shutting down). From then on every input wait answers Escape, so each dialog
// closes its windows and lists as the operator's Escape would, and ExecutarIEsperar
// starts nothing. Safe to set from a signal handler or another thread.
bool SessioAcabant();
void FixarSessioAcabant(bool acabant);

// Puts every fixed value back to the host's (tests).
void ReiniciarSistema();

}  // namespace plat
