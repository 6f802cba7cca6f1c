// The listing content test on arbitrary bytes: the answer must not depend on how the
// bytes are split into blocks, and must agree with a plain line-by-line reading.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "output/triar.h"

namespace {

bool PerLinies(const std::string& d) {
  size_t i = 0;
  while (i <= d.size()) {
    size_t j = d.find_first_of("\r\n", i);
    if (j == std::string::npos) j = d.size();
    std::string l = d.substr(i, j - i);
    const size_t a = l.find_first_not_of(' ');
    if (a != std::string::npos) {
      const bool comentari = l[0] == '*';
      l = l.substr(a);
      for (char& c : l)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      const bool control = comentari || l.rfind("SEND", 0) == 0 || l.rfind("DEVICE", 0) == 0 ||
                           l.rfind("PAGE", 0) == 0 || l.rfind("JUS", 0) == 0;
      if (!control) return true;
    }
    i = j + 1;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t tros = data[0] % 17 + 1;
  const std::string d(reinterpret_cast<const char*>(data) + 1, size - 1);
  DetectorContingut tot;
  tot.Afegir(d.data(), d.size());
  const bool a = tot.Acabar();
  DetectorContingut parts;
  for (size_t i = 0; i < d.size(); i += tros) parts.Afegir(d.data() + i, std::min(tros, d.size() - i));
  if (parts.Acabar() != a) abort();
  if (PerLinies(d) != a) abort();
  return 0;
}
