// POSIX half of the system layer: environment, clock, process start, clipboard.
#include "platform/sistema.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>

#include "platform/consola.h"
#include "platform/cp850.h"
#include "platform/fitxers.h"
#include "platform/host.h"

extern char** environ;

namespace plat {

namespace {
std::function<void(const std::string&)> g_copia_terminal;
std::string g_portaretalls;
bool g_insercio = false;
}  // namespace

std::string host::Entorn(const std::string& nom) {
  const char* v = std::getenv(nom.c_str());
  return v ? Utf8ACp850(v) : std::string();
}

Moment host::Ara() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm t{};
  time_t s = tv.tv_sec;
  localtime_r(&s, &t);
  Moment m;
  m.any = t.tm_year + 1900;
  m.mes = t.tm_mon + 1;
  m.dia = t.tm_mday;
  m.hora = t.tm_hour;
  m.minut = t.tm_min;
  m.segon = t.tm_sec;
  m.centesima = static_cast<int>(tv.tv_usec / 10000);
  return m;
}

namespace {
bool Executable(const std::string& host) {
  struct stat st{};
  return !host.empty() && stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(host.c_str(), X_OK) == 0;
}

struct Programa {
  std::string host;
  bool per_path = false;  // a bare name the host looks up on PATH
};

// The program as the host knows it: as named, or with the extension added or dropped.
Programa TrobarPrograma(const std::string& programa) {
  std::string host = CamiHost(programa);
  if (Executable(host)) return {host};
  const size_t barra = programa.find_last_of("\\/:");
  const std::string carpeta = barra == std::string::npos ? std::string() : programa.substr(0, barra + 1);
  const std::string nom = barra == std::string::npos ? programa : programa.substr(barra + 1);
  const size_t punt = nom.rfind('.');
  // "KEWPRINT.EXE" may stand on disk as "kewprint".
  if (punt != std::string::npos) {
    std::string h = CamiHost(carpeta + nom.substr(0, punt));
    if (Executable(h)) return {h};
  }
  // "KEVSCR" may stand on disk as "kevscr.sh" or "KEVSCR.EXE".
  std::vector<EntradaDirectori> entrades;
  if (LlegirDirectori(carpeta.empty() ? std::string(".") : carpeta, entrades)) {
    auto majus = [](std::string s) {
      for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return s;
    };
    const std::string base = majus(punt == std::string::npos ? nom : nom.substr(0, punt));
    for (const auto& e : entrades) {
      const std::string m = majus(e.nom);
      if (m.size() > base.size() && m.compare(0, base.size(), base) == 0 && m[base.size()] == '.') {
        std::string h = CamiHost(carpeta + e.nom);
        if (Executable(h)) return {h};
      }
    }
  }
  // A bare name is looked for on PATH, as a shell would.
  if (barra == std::string::npos) return {Cp850AUtf8(nom), true};
  return {};
}
}  // namespace

namespace {
bool Blanc(char c) { return c == ' ' || c == '\t'; }

// An unquoted program path may hold spaces ("K:\MY PROG\KEVSCR"): when the first word
// names no program, longer runs of words are tried, shortest first, as a Windows command
// line does; what follows the run chosen are the arguments. parts gets the split.
Programa TrobarProgramaAmbEspais(const std::string& ordre, std::vector<std::string>& parts) {
  parts = DividirOrdre(ordre);
  if (parts.empty() || parts[0].empty()) return {};
  Programa prog = TrobarPrograma(parts[0]);
  if (!prog.host.empty()) return prog;
  size_t inici = 0;
  while (inici < ordre.size() && Blanc(ordre[inici])) ++inici;
  size_t fi = inici;
  while (fi < ordre.size() && !Blanc(ordre[fi])) ++fi;
  for (;;) {
    size_t seguent = fi;
    while (seguent < ordre.size() && Blanc(ordre[seguent])) ++seguent;
    if (seguent == ordre.size()) return {};
    fi = seguent;
    while (fi < ordre.size() && !Blanc(ordre[fi])) ++fi;
    const std::string nom = ordre.substr(inici, fi - inici);
    if (nom.find('"') != std::string::npos) return {};  // quotes group on their own
    prog = TrobarPrograma(nom);
    if (!prog.host.empty()) {
      // The rest is split by the argument rules: behind a stand-in program name.
      parts = DividirOrdre("x" + ordre.substr(fi));
      parts[0] = nom;
      return prog;
    }
  }
}
}  // namespace

bool host::Executar(const std::string& ordre) {
  std::vector<std::string> parts;
  const Programa prog = TrobarProgramaAmbEspais(ordre, parts);
  if (prog.host.empty()) return false;
  std::vector<std::string> args;
  args.push_back(prog.host);
  for (size_t i = 1; i < parts.size(); ++i) args.push_back(Cp850AUtf8(parts[i]));
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  Consola& c = ConsolaActual();
  c.Suspendre();
  pid_t pid = 0;
  int err = prog.per_path ? posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                          : posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (err == 0) {
    int estat = 0;
    while (waitpid(pid, &estat, 0) < 0 && errno == EINTR) {
    }
  }
  c.Reprendre();
  return err == 0;
}

void FixarCopiaTerminal(std::function<void(const std::string&)> f) { g_copia_terminal = std::move(f); }

namespace {
bool EnCami(const char* programa) {
  std::string path = Entorn("PATH");
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find(':', i);
    if (j == std::string::npos) j = path.size();
    std::string d = path.substr(i, j - i);
    if (!d.empty() && access((d + "/" + programa).c_str(), X_OK) == 0) return true;
    i = j + 1;
  }
  return false;
}

// Desktop clipboard tool for this session, if any: {copy command, paste command}.
std::pair<const char*, const char*> EinaPortaretalls() {
  if (!Entorn("WAYLAND_DISPLAY").empty() && EnCami("wl-copy") && EnCami("wl-paste"))
    return {"wl-copy 2>/dev/null", "wl-paste -n 2>/dev/null"};
  if (!Entorn("DISPLAY").empty() && EnCami("xclip"))
    return {"xclip -selection clipboard -i 2>/dev/null", "xclip -selection clipboard -o 2>/dev/null"};
  return {nullptr, nullptr};
}
}  // namespace

void CopiarPortaretalls(const std::string& cp850) {
  g_portaretalls = cp850;
  const std::string utf8 = Cp850AUtf8(cp850);
  if (g_copia_terminal) g_copia_terminal(cp850);
  auto eina = EinaPortaretalls();
  if (eina.first) {
    if (FILE* p = popen(eina.first, "w")) {
      fwrite(utf8.data(), 1, utf8.size(), p);
      pclose(p);
    }
  }
}

std::string LlegirPortaretalls() {
  auto eina = EinaPortaretalls();
  if (eina.second) {
    if (FILE* p = popen(eina.second, "r")) {
      std::string s;
      char buf[4096];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, p)) > 0 && s.size() < (1u << 20)) s.append(buf, n);
      if (pclose(p) == 0) return Utf8ACp850(s);
    }
  }
  return g_portaretalls;
}

std::string NomVariableTerminal() { return "KEVTERM"; }
std::string CarpetaDocumentsHost() { return "Documents"; }

bool ModeInsercio() { return g_insercio; }
void FixarModeInsercio(bool inserir) { g_insercio = inserir; }

void host::Reiniciar() {
  g_portaretalls.clear();
  g_insercio = false;
  RecarregarUnitats();
}

}  // namespace plat
