// Long and short forms on POSIX: the on-disk spelling of each part; no short names.
#include <vector>

#include "platform/cp850.h"
#include "platform/fitxers.h"

namespace plat {

namespace {

bool EsSeparador(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> Parts(const std::string& s) {
  std::vector<std::string> r;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i;
    while (j < s.size() && !EsSeparador(s[j])) ++j;
    if (j > i) r.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return r;
}

}  // namespace

// The path as given, each part as the host spells it; the drive letter and the
// separators' places are kept.
std::string FormaLlarga(const std::string& cami) {
  std::string prefix, resta = cami;
  if (cami.size() >= 2 && cami[1] == ':') {
    prefix = cami.substr(0, 2);
    resta = cami.substr(2);
  }
  const std::vector<std::string> propis = Parts(resta);
  const std::vector<std::string> host = Parts(CamiHost(cami));
  if (host.size() < propis.size()) return std::string();
  std::string r = prefix;
  if (!resta.empty() && EsSeparador(resta.front())) r += '\\';
  for (size_t i = 0; i < propis.size(); ++i) {
    if (i) r += '\\';
    r += Utf8ACp850(host[host.size() - propis.size() + i]);
  }
  if (!propis.empty() && EsSeparador(resta.back())) r += '\\';
  return r;
}

std::string FormaCurta(const std::string&) { return std::string(); }

}  // namespace plat
