// Whole program, start to exit, on a request whose listing has nothing to print:
// wall time and peak resident memory of the child.
#include <benchmark/benchmark.h>
#include <spawn.h>
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
  long max_rss_kb = 0;
  for (auto _ : st) {
    st.PauseTiming();
    Escriure(dir / "TMP/KevPrint.ini", "[Opcions]\r\nMostrar=S\r\n");
    Escriure(dir / "TMP/kevprint.tmp", "DEVICE LPT1\r\n* nothing to print\r\n");
    st.ResumeTiming();
    pid_t pid;
    posix_file_actions_t fa;
    posix_file_actions_init(&fa);
    posix_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, bin.c_str(), &fa, nullptr, argv, envp.data()) != 0) {
      st.SkipWithError("spawn failed");
      break;
    }
    posix_file_actions_destroy(&fa);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    max_rss_kb = std::max(max_rss_kb, ru.ru_maxrss);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      st.SkipWithError("kevprint did not exit with 0");
      break;
    }
  }
  st.counters["peak_rss_kB"] = static_cast<double>(max_rss_kb);
  fs::remove_all(dir);
}
BENCHMARK(ArrencadaLlistatBuit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
