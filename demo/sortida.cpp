// Demo output program: stands in for the suite's KEVSCR, KEVHTM, KEVPDF, KEVWIN, KEVLPT
// and for the program returned to (it is installed under each of those names). It records
// what it was given in %KEVDEMO_LOG%\<name>.txt and, with KEVDEMO_PAUSA set, shows it
// (and the listing, for the screen destination) and waits for Enter.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/cp850.h"

namespace fs = std::filesystem;

namespace {

std::string Variable(const char* nom) {
  const char* v = std::getenv(nom);
  return v ? v : "";
}

std::string Minuscules(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Majuscules(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Retallar(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// The entry of a folder whose name matches without regard to case; the name as given
// when there is none.
fs::path Entrada(const fs::path& carpeta, const std::string& nom) {
  std::error_code ec;
  for (fs::directory_iterator it(carpeta, ec), fi; !ec && it != fi; it.increment(ec))
    if (Minuscules(it->path().filename().string()) == Minuscules(nom)) return it->path();
  return carpeta / nom;
}

// A path of the suite (K:\DIR\FILE). Where KEVDRIVES maps drive letters to folders
// (letter=folder;...) the path is taken through it; otherwise it is a path of this system.
fs::path Cami(const std::string& p) {
  const std::string unitats = Variable("KEVDRIVES");
  if (unitats.empty() || p.size() < 2 || p[1] != ':') return fs::path(p);
  fs::path base = "/";
  std::stringstream ss(unitats);
  for (std::string item; std::getline(ss, item, ';');)
    if (item.size() > 2 && item[1] == '=' && std::toupper(static_cast<unsigned char>(item[0])) ==
                                                 std::toupper(static_cast<unsigned char>(p[0])))
      base = item.substr(2);
  std::stringstream resta(p.substr(2));
  for (std::string part; std::getline(resta, part, '\\');)
    if (!part.empty()) base = Entrada(base, part);
  return base;
}

// The file's lines in UTF-8, without line ends.
std::vector<std::string> Linies(const fs::path& f) {
  std::vector<std::string> v;
  std::ifstream in(f, std::ios::binary);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    v.push_back(plat::Cp850AUtf8(l));
  }
  return v;
}

// An INI value as stored (leading spaces kept); sections and keys without regard to case.
std::string Ini(const fs::path& f, const std::string& seccio, const std::string& clau) {
  std::string actual;
  for (const std::string& l : Linies(f)) {
    const std::string t = Retallar(l);
    if (!t.empty() && t[0] == '[') {
      actual = Minuscules(Retallar(t.substr(1, t.find(']') == std::string::npos ? std::string::npos : t.find(']') - 1)));
      continue;
    }
    const size_t igual = l.find('=');
    if (actual == Minuscules(seccio) && igual != std::string::npos &&
        Minuscules(Retallar(l.substr(0, igual))) == Minuscules(clau))
      return l.substr(igual + 1);
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string nom = Majuscules(fs::path(argc > 0 ? argv[0] : "SORTIDA").stem().string());
  const fs::path registre_dir = Variable("KEVDEMO_LOG").empty() ? fs::temp_directory_path() : fs::path(Variable("KEVDEMO_LOG"));
  std::error_code ec;
  fs::create_directories(registre_dir, ec);

  const fs::path tmp = Cami(Variable("KEVTMP"));
  const fs::path term = Cami(Ini(Entrada(tmp, "Sessio.ini"), "Terminal", "Dir"));
  const fs::path llistat = tmp / "kevprint.tmp";

  std::ostringstream r;
  r << "program: " << nom << "\n";
  r << "arguments: ";
  for (int i = 1; i < argc; ++i) r << (i > 1 ? " " : "") << argv[i];
  r << "\n";
  if (nom != "TORNAR") {
    const fs::path kevprint = Entrada(term, "KEVPRINT.INI");
    r << "destination: " << Ini(Entrada(tmp, "QUILTERM.INI"), "Sistema", "Sortida") << "\n";
    const auto mida = fs::file_size(llistat, ec);
    r << "listing: " << llistat.string() << " (" << (ec ? 0 : mida) << " bytes)\n";
    r << "PerCorreu: " << Ini(kevprint, "Entrada", "PerCorreu") << "\n";
    r << "PrtTambe: " << Ini(kevprint, "Entrada", "PrtTambe") << "\n";
    const fs::path eml = Entrada(tmp, "KEVEML.INI");
    if (fs::exists(eml, ec)) {
      r << "--- KEVEML.INI\n";
      for (const std::string& l : Linies(eml)) r << l << "\n";
    }
  }
  std::ofstream(registre_dir / (nom + ".txt"), std::ios::binary) << r.str();

  if (!Variable("KEVDEMO_PAUSA").empty()) {
    std::cout << r.str();
    if (nom == "KEVSCR") {
      std::cout << "--- listing\n";
      const std::vector<std::string> l = Linies(llistat);
      for (size_t i = 0; i < l.size() && i < 20; ++i) std::cout << l[i] << "\n";
    }
    std::cout << "[Enter] " << std::flush;
    std::string resposta;
    std::getline(std::cin, resposta);
  }
  return 0;
}
