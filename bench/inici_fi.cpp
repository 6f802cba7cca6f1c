// Whole program in a pseudo-terminal that answers like a plain terminal, start to the
// painted dialog and back out with Escape, side by side with dialog(1) showing a menu of
// the same destinations and with a statically linked program that does nothing. Each
// round runs the three in turn, so a busy machine slows them alike, in an order that
// turns from round to round. Reported:
// medians of each child's CPU time (user + system, from the fork to its exit, so the
// same few steps before exec count for all three) and of its peak resident memory, and
// kevprint's CPU as a multiple of the others': the ratio of the medians (x_noop,
// x_dialog) and the median of the ratios within each round (x_..._rounds).
// KEVPRINT_BIN=path measures another build of kevprint against the same yardsticks.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Mesura {
  bool ok = false;  // it painted (when a mark is set) and exited
  int codi = -1;
  double cpuMs = 0;
  long picKb = 0;
  long fallades = 0;  // minor page faults
};

struct Programa {
  std::vector<std::string> argv;
  std::vector<std::string> env;
  std::string marca;  // text that shows the screen is painted; empty: just wait for the end
};

fs::path BinDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

void Escriure(const fs::path& p, const std::string& s) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}

long VmHwm(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string linia;
  while (std::getline(f, linia))
    if (linia.rfind("VmHWM:", 0) == 0) return std::stol(linia.substr(6));
  return 0;
}

int64_t Ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Runs one program on a new 80x25 pty. Traced only to stop it at its exit, where its
// peak memory is read: the rusage figure of a forked child would count the parent too.
Mesura Executar(const Programa& prog) {
  Mesura m;
  std::vector<std::string> a = prog.argv, e = prog.env;
  std::vector<char*> argv, envp;
  for (auto& s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  for (auto& s : e) envp.push_back(s.data());
  envp.push_back(nullptr);
  winsize ws{};
  ws.ws_row = 25;
  ws.ws_col = 80;
  int mestre = -1;
  const pid_t pid = forkpty(&mestre, nullptr, nullptr, &ws);
  if (pid < 0) return m;
  if (pid == 0) {
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    raise(SIGSTOP);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL);
  ptrace(PTRACE_CONT, pid, nullptr, nullptr);
  std::string sortida;
  bool escapEnviat = prog.marca.empty();
  bool respost = false;
  const int64_t limit = Ms() + 10000;
  rusage ru{};
  for (;;) {
    pollfd p{mestre, POLLIN, 0};
    if (poll(&p, 1, 2) > 0) {
      char buf[8192];
      const ssize_t n = read(mestre, buf, sizeof buf);
      if (n > 0) sortida.append(buf, static_cast<size_t>(n));
    }
    // Every terminal answers a device-attributes request (here as a VT220 would). Left
    // unanswered, a program that asks waits for the answer before it gives the terminal
    // back, which no real terminal makes it do.
    if (!respost && sortida.find("\x1b[c") != std::string::npos) {
      (void)!write(mestre, "\x1b[?62;22c", 9);
      respost = true;
    }
    if (!escapEnviat && sortida.find(prog.marca) != std::string::npos) {
      (void)!write(mestre, "\x1b", 1);
      escapEnviat = true;
    }
    const pid_t r = wait4(pid, &status, WNOHANG, &ru);
    if (r == pid) {
      if (WIFEXITED(status) || WIFSIGNALED(status)) {
        m.ok = escapEnviat && WIFEXITED(status);
        if (WIFEXITED(status)) m.codi = WEXITSTATUS(status);
        break;
      }
      if (WIFSTOPPED(status)) {
        int sig = WSTOPSIG(status);
        if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
          m.picKb = VmHwm(pid);
          sig = 0;
        } else if (sig == SIGTRAP) {
          sig = 0;  // the stop at exec
        }
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(sig)));
      }
    }
    if (Ms() > limit) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &ru);
      break;
    }
  }
  close(mestre);
  m.fallades = ru.ru_minflt;
  m.cpuMs = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
  return m;
}

double Mediana(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The demo installation in a scratch folder, with a request that shows the dialog and
// names no program to return to.
fs::path PrepararInstallacio() {
  const fs::path dir = fs::temp_directory_path() / ("kev-inici-fi-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(KEV_DEMO_INSTALL, dir, fs::copy_options::recursive);
  return dir;
}

const char* const kDestinacions[] = {"PANTALLA", "LASER OFICINA", "MATRICIAL MAGATZEM", "ETIQUETES",
                                     "HTML",     "PDF",           "WINDOWS"};

void IniciFi(benchmark::State& st) {
  const fs::path dir = PrepararInstallacio();
  const fs::path peticio = dir / "TERM01/TMP/KevPrint.ini";
  const std::string terminal = std::string("TERM=") + (std::getenv("TERM") ? std::getenv("TERM") : "xterm");
  const char* altre = std::getenv("KEVPRINT_BIN");  // another build to compare
  Programa kev{{altre ? std::string(altre) : (BinDir() / "kevprint").string()},
               {"KEVDRIVES=K=" + dir.string(), "KEVROOT=K:\\KEV\\", "KEVEXE=K:\\KEV\\PROG\\",
                "KEVTMP=K:\\TERM01\\TMP\\", "TEMP=" + dir.string(), "USERPROFILE=K:\\DOCS", "HOME=" + dir.string(),
                "PATH=/usr/bin:/bin", terminal},
               "SELECCI\xc3\x93 IMPRESSORA"};
  Programa noop{{(BinDir() / "noop_estatic").string()}, {}, ""};
#ifdef KEV_DIALOG
  Programa dlg{{KEV_DIALOG, "--title", " SELECCI\xc3\x93 IMPRESSORA ", "--menu", "Destinaci\xc3\xb3", "17", "55", "7"},
               {"TERM=xterm", "LANG=C.UTF-8", "ESCDELAY=25", "HOME=" + dir.string()},
               "Destinaci\xc3\xb3"};
  for (size_t i = 0; i < std::size(kDestinacions); ++i) {
    dlg.argv.push_back(std::to_string(i));
    dlg.argv.push_back(kDestinacions[i]);
  }
  std::vector<double> dlgCpu, dlgRss;
#endif
  std::vector<double> kevCpu, kevRss, kevFallades, noopCpu, noopFallades;
  // Also kevprint's CPU over the others' in the same round: a machine whose speed drifts
  // moves both sides of such a ratio alike.
  std::vector<double> parellsNoop, parellsDialog;
  // The order turns every round: a run that follows another program's run is slowed by
  // what that one left to the system to finish, so none always follows the same one.
  int ronda = 0;
  for (auto _ : st) {
    bool fallada = false;
    double kevRonda = 0, noopRonda = 0, dialogRonda = 0;
    for (int pas = 0; pas < 3; ++pas) {
      switch ((pas + ronda) % 3) {
        case 0: {
          Escriure(peticio, "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\n");
          const Mesura k = Executar(kev);
          if (!k.ok || k.codi != 0) {
            fallada = true;
            break;
          }
          st.SetIterationTime(k.cpuMs / 1e3);
          kevCpu.push_back(k.cpuMs);
          kevRonda = k.cpuMs;
          kevRss.push_back(static_cast<double>(k.picKb));
          kevFallades.push_back(static_cast<double>(k.fallades));
          break;
        }
        case 1: {
          const Mesura n = Executar(noop);
          noopCpu.push_back(n.cpuMs);
          noopRonda = n.cpuMs;
          noopFallades.push_back(static_cast<double>(n.fallades));
          break;
        }
        default: {
#ifdef KEV_DIALOG
          const Mesura d = Executar(dlg);
          if (d.ok) {  // Escape ends dialog with 255
            dlgCpu.push_back(d.cpuMs);
            dialogRonda = d.cpuMs;
            dlgRss.push_back(static_cast<double>(d.picKb));
          }
#endif
          break;
        }
      }
    }
    ++ronda;
    if (kevRonda > 0 && noopRonda > 0) parellsNoop.push_back(kevRonda / noopRonda);
    if (kevRonda > 0 && dialogRonda > 0) parellsDialog.push_back(kevRonda / dialogRonda);
    if (fallada) {
      st.SkipWithError("kevprint did not paint its dialog and end with 0");
      break;
    }
  }
  st.counters["kev_cpu_ms"] = Mediana(kevCpu);
  st.counters["kev_peak_kB"] = Mediana(kevRss);
  st.counters["kev_faults"] = Mediana(kevFallades);
  st.counters["noop_cpu_ms"] = Mediana(noopCpu);
  st.counters["noop_faults"] = Mediana(noopFallades);
  if (Mediana(noopCpu) > 0) st.counters["x_noop"] = Mediana(kevCpu) / Mediana(noopCpu);
  st.counters["x_noop_rounds"] = Mediana(parellsNoop);
#ifdef KEV_DIALOG
  st.counters["dialog_cpu_ms"] = Mediana(dlgCpu);
  st.counters["dialog_peak_kB"] = Mediana(dlgRss);
  if (Mediana(dlgCpu) > 0) st.counters["x_dialog"] = Mediana(kevCpu) / Mediana(dlgCpu);
  st.counters["x_dialog_rounds"] = Mediana(parellsDialog);
#endif
  fs::remove_all(dir);
}
BENCHMARK(IniciFi)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(120);

}  // namespace
