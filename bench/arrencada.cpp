// Whole program, start to exit, on a request whose listing has nothing to print:
// wall time and peak resident memory of the child.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;
namespace fs = std::filesystem;

namespace {

std::string Binari() {
  const char* b = std::getenv("KEVPRINT_BIN");
  if (b) return b;
  return (fs::read_symlink("/proc/self/exe").parent_path() / "kevprint").string();  // built beside us
}

void Escriure(const fs::path& p, const std::string& s) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << s;
}

// Peak resident memory of one run, read from the child's own memory map just before it
// exits. The rusage figure of a spawned child would include the spawning process.
long PicMemoria(const std::string& bin, std::vector<char*>& envp, const fs::path& dir) {
  Escriure(dir / "TMP/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\n");
  Escriure(dir / "TMP/kevprint.tmp", "DEVICE LPT1\r\n");
  const pid_t pid = fork();
  if (pid == 0) {
    const int nul = open("/dev/null", O_RDWR);
    dup2(nul, 0);
    dup2(nul, 1);
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    raise(SIGSTOP);
    std::string arg0 = bin;
    char* argv[] = {arg0.data(), nullptr};
    execve(bin.c_str(), argv, envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT);
  ptrace(PTRACE_CONT, pid, nullptr, nullptr);
  long kb = 0;
  while (waitpid(pid, &status, 0) == pid && !WIFEXITED(status) && !WIFSIGNALED(status)) {
    if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      std::ifstream f("/proc/" + std::to_string(pid) + "/status");
      std::string linia;
      while (std::getline(f, linia))
        if (linia.rfind("VmHWM:", 0) == 0) kb = std::stol(linia.substr(6));
    }
    const int sig = WIFSTOPPED(status) && WSTOPSIG(status) != SIGTRAP ? WSTOPSIG(status) : 0;
    ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(sig)));
  }
  return kb;
}

void ArrencadaLlistatBuit(benchmark::State& st) {
  const fs::path dir = fs::temp_directory_path() / ("kev-arrencada-" + std::to_string(getpid()));
  const std::string bin = Binari();
  if (!fs::exists(bin)) {
    st.SkipWithError(("no binary at " + bin + " (set KEVPRINT_BIN)").c_str());
    return;
  }
  const std::string drives = "KEVDRIVES=K=" + dir.string();
  std::vector<std::string> env = {drives, "KEVROOT=K:\\", "KEVEXE=K:\\", "KEVTMP=K:\\TMP\\", "TEMP=" + dir.string(),
                                  "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string arg0 = bin;
  char* argv[] = {arg0.data(), nullptr};
  for (auto _ : st) {
    st.PauseTiming();
    Escriure(dir / "TMP/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\n");
    Escriure(dir / "TMP/kevprint.tmp", "DEVICE LPT1\r\n* nothing to print\r\n");
    st.ResumeTiming();
    pid_t pid;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, bin.c_str(), &fa, nullptr, argv, envp.data()) != 0) {
      st.SkipWithError("spawn failed");
      break;
    }
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      st.SkipWithError("kevprint did not exit with 0");
      break;
    }
  }
  st.counters["peak_rss_kB"] = static_cast<double>(PicMemoria(bin, envp, dir));
  fs::remove_all(dir);
}
BENCHMARK(ArrencadaLlistatBuit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
