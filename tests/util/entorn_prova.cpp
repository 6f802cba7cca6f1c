#include "util/entorn_prova.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

CarpetaTemporal::CarpetaTemporal() {
  // A fresh name each time: create_directory is false when the name is taken.
  std::random_device atzar;
  for (int i = 0; i < 100 && host_.empty(); ++i) {
    const fs::path p = fs::temp_directory_path() / ("kevprova-" + std::to_string(atzar() % 100000000u));
    if (fs::create_directory(p)) host_ = p.string() + "/";
  }
  if (host_.empty()) throw std::runtime_error("no scratch folder");
}

CarpetaTemporal::~CarpetaTemporal() {
  std::error_code ec;
  fs::permissions(host_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(host_, ec);
}

std::string CarpetaTemporal::Programa() const {
  std::string s = host_;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

void CarpetaTemporal::Escriure(const std::string& relatiu, const std::string& dades) const {
  fs::path p = fs::path(host_) / relatiu;
  fs::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << dades;
}

std::string CarpetaTemporal::Llegir(const std::string& relatiu) const {
  std::ifstream f(fs::path(host_) / relatiu, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool CarpetaTemporal::Existeix(const std::string& relatiu) const { return fs::exists(fs::path(host_) / relatiu); }

int CarpetaTemporal::Entrades(const std::string& relatiu) const {
  int n = 0;
  std::error_code ec;
  for (auto it = fs::directory_iterator(fs::path(host_) / relatiu, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) ++n;
  return n;
}
