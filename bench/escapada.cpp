// Escape to exit: the whole program in a pseudo-terminal, the dialog painted and idle,
// then the Escape key; the time from writing the key to the program's exit. Two
// terminals are played on the other side of the pty: one that speaks the progressive
// keyboard protocol (answers its query, then sends Escape as CSI 27 u) and one that only
// answers the device-attributes request (sends a lone ESC byte, which waits for the
// pause that tells it from the start of a sequence).
// KEVPRINT_BIN=path measures another build.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/syscall.h>
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

using Rellotge = std::chrono::steady_clock;

double MsDes(Rellotge::time_point t) {
  return std::chrono::duration<double, std::milli>(Rellotge::now() - t).count();
}

void Escriure(const fs::path& p, const std::string& s) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}

struct Mesura {
  bool ok = false;
  double ms = 0;  // Escape written -> program ended
};

// One run. `protocol`: the terminal answers the keyboard query and sends CSI 27 u.
Mesura Executar(const std::string& bin, const std::vector<std::string>& entorn, bool protocol) {
  Mesura m;
  std::vector<std::string> e = entorn;
  std::string arg0 = bin;
  char* argv[] = {arg0.data(), nullptr};
  std::vector<char*> envp;
  for (auto& s : e) envp.push_back(s.data());
  envp.push_back(nullptr);
  winsize ws{};
  ws.ws_row = 25;
  ws.ws_col = 80;
  int mestre = -1;
  const pid_t pid = forkpty(&mestre, nullptr, nullptr, &ws);
  if (pid < 0) return m;
  if (pid == 0) {
    execve(argv[0], argv, envp.data());
    _exit(127);
  }
  // The child's end is seen the moment it happens through a process descriptor.
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  std::string sortida;
  bool respost = false, enviat = false;
  Rellotge::time_point t0{};
  const auto limit = Rellotge::now() + std::chrono::seconds(10);
  int estat = 0;
  for (;;) {
    pollfd p[2] = {{mestre, POLLIN, 0}, {pidfd, POLLIN, 0}};
    poll(p, pidfd >= 0 ? 2 : 1, pidfd >= 0 ? 100 : 1);
    if (p[0].revents & POLLIN) {
      char buf[8192];
      const ssize_t n = read(mestre, buf, sizeof buf);
      if (n > 0) sortida.append(buf, static_cast<size_t>(n));
    }
    if (!respost && sortida.find("\x1b[c") != std::string::npos) {
      const std::string r = protocol ? "\x1b[?0u\x1b[?62;22c" : "\x1b[?62;22c";
      (void)!write(mestre, r.data(), r.size());
      respost = true;
    }
    const bool llest = sortida.find("SELECCI\xc3\x93 IMPRESSORA") != std::string::npos &&
                       (!protocol || sortida.find("\x1b[>1u") != std::string::npos);
    if (!enviat && respost && llest) {
      usleep(20000);  // let it settle into its wait
      const char* tecla = protocol ? "\x1b[27u" : "\x1b";
      t0 = Rellotge::now();
      (void)!write(mestre, tecla, std::char_traits<char>::length(tecla));
      enviat = true;
    }
    const pid_t r = waitpid(pid, &estat, WNOHANG);
    if (r == pid) {
      m.ms = MsDes(t0);
      m.ok = enviat && WIFEXITED(estat);
      break;
    }
    if (Rellotge::now() > limit) {
      kill(pid, SIGKILL);
      waitpid(pid, &estat, 0);
      break;
    }
  }
  if (pidfd >= 0) close(pidfd);
  close(mestre);
  return m;
}

void EscapadaFins(benchmark::State& st, bool protocol) {
  const fs::path dir = fs::temp_directory_path() / ("kev-escapada-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(KEV_DEMO_INSTALL, dir, fs::copy_options::recursive);
  const char* altre = std::getenv("KEVPRINT_BIN");
  const std::string bin =
      altre ? altre : (fs::read_symlink("/proc/self/exe").parent_path() / "kevprint").string();
  const std::vector<std::string> entorn = {
      "KEVDRIVES=K=" + dir.string(), "KEVROOT=K:\\KEV\\", "KEVEXE=K:\\KEV\\PROG\\", "KEVTMP=K:\\TERM01\\TMP\\",
      "TEMP=" + dir.string(),        "USERPROFILE=K:\\DOCS", "HOME=" + dir.string(),   "PATH=/usr/bin:/bin",
      "TERM=xterm"};
  std::vector<double> temps;
  for (auto _ : st) {
    Escriure(dir / "TERM01/TMP/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\nCorreu=S\r\n");
    const Mesura m = Executar(bin, entorn, protocol);
    if (!m.ok) {
      st.SkipWithError("kevprint did not paint its dialog and end on Escape");
      break;
    }
    st.SetIterationTime(m.ms / 1e3);
    temps.push_back(m.ms);
  }
  if (!temps.empty()) {
    std::sort(temps.begin(), temps.end());
    st.counters["median_ms"] = temps[temps.size() / 2];
    st.counters["p90_ms"] = temps[temps.size() * 9 / 10];
    st.counters["max_ms"] = temps.back();
  }
  fs::remove_all(dir);
}

void AmbProtocol(benchmark::State& st) { EscapadaFins(st, true); }
void SenseProtocol(benchmark::State& st) { EscapadaFins(st, false); }
BENCHMARK(AmbProtocol)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(SenseProtocol)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace
