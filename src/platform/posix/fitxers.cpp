#include "platform/fitxers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/cp850.h"
#include "platform/fitxer_obert.h"
#include "platform/posix/carpeta.h"
#include "platform/sistema.h"

namespace plat {

namespace {

struct Unitats {
  bool carregat = false;
  std::map<char, std::string> carpeta;   // drive letter -> host folder (no trailing '/', root = "/")
  std::map<char, std::string> actual;    // drive letter -> current directory, program form
};
Unitats g_unitats;

std::string SenseBarraFinal(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

void CarregarUnitats() {
  if (g_unitats.carregat) return;
  g_unitats = Unitats{};
  g_unitats.carregat = true;
  const std::string mapa = Entorn("KEVDRIVES");
  if (mapa.empty()) {
    g_unitats.carpeta['C'] = "/";
    std::string home = Cp850AUtf8(Entorn("HOME"));
    if (!home.empty() && home != "/") g_unitats.carpeta['H'] = SenseBarraFinal(home);
    return;
  }
  size_t i = 0;
  while (i <= mapa.size()) {
    size_t j = mapa.find(';', i);
    if (j == std::string::npos) j = mapa.size();
    std::string item = mapa.substr(i, j - i);
    i = j + 1;
    size_t igual = item.find('=');
    if (igual == std::string::npos) continue;
    std::string lletra = item.substr(0, igual);
    lletra.erase(std::remove(lletra.begin(), lletra.end(), ' '), lletra.end());
    if (!lletra.empty() && lletra.back() == ':') lletra.pop_back();
    std::string carpeta = item.substr(igual + 1);
    while (!carpeta.empty() && carpeta.back() == ' ') carpeta.pop_back();
    while (!carpeta.empty() && carpeta.front() == ' ') carpeta.erase(0, 1);
    if (lletra.size() != 1 || !std::isalpha(static_cast<unsigned char>(lletra[0])) || carpeta.empty() ||
        carpeta[0] != '/')
      continue;
    g_unitats.carpeta[static_cast<char>(std::toupper(static_cast<unsigned char>(lletra[0])))] =
        SenseBarraFinal(Cp850AUtf8(carpeta));
  }
}

// ASCII and CP850 letters folded to capitals, for matching names without regard to case.
std::string PlegarCp850(std::string s) {
  static const unsigned char minus[] = {0x87, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x88, 0x89, 0x8A, 0x8B, 0x8C,
                                        0x8D, 0x91, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x9B, 0xA0, 0xA1, 0xA2,
                                        0xA3, 0xA4, 0xC6, 0xD0, 0xE4, 0xE7, 0xEC};
  static const unsigned char majus[] = {0x80, 0x9A, 0x90, 0xB6, 0x8E, 0xB7, 0x8F, 0xD2, 0xD3, 0xD4, 0xD8, 0xD7,
                                        0xDE, 0x92, 0xE2, 0x99, 0xE3, 0xEA, 0xEB, 0x59, 0x9D, 0xB5, 0xD6, 0xE0,
                                        0xE9, 0xA5, 0xC7, 0xD1, 0xE5, 0xE8, 0xED};
  for (char& ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') {
      ch = static_cast<char>(c - 32);
    } else if (c >= 0x80) {
      for (size_t k = 0; k < sizeof minus; ++k)
        if (minus[k] == c) { ch = static_cast<char>(majus[k]); break; }
    }
  }
  return s;
}

std::string Plegar(const std::string& utf8) { return PlegarCp850(Utf8ACp850(utf8)); }

bool ExisteixHost(const std::string& h) {
  struct stat st{};
  return lstat(h.c_str(), &st) == 0;
}

// Appends one component to a host folder, matching it without regard to case when the
// exact spelling is absent (sabutAbsent: the caller has just found it absent).
std::string Afegir(const std::string& carpeta, const std::string& comp_utf8, bool sabutAbsent) {
  std::string base = carpeta.empty() || carpeta.back() == '/' ? carpeta : carpeta + "/";
  std::string exacte = base + comp_utf8;
  if (comp_utf8 == "." || comp_utf8 == ".." || (!sabutAbsent && ExisteixHost(exacte))) return exacte;
  const std::string buscat = Plegar(comp_utf8);
  std::string trobat;
  RecorrerCarpeta(carpeta, [&](const char* nom, int) {
    if (Plegar(nom) == buscat && Utf8Representable(nom)) trobat = nom;
    return trobat.empty();
  });
  return trobat.empty() ? exacte : base + trobat;
}

}  // namespace

void RecarregarUnitats() {
  g_unitats.carregat = false;
  CarregarUnitats();
}

std::string CarpetaUnitat(char lletra) {
  CarregarUnitats();
  auto it = g_unitats.carpeta.find(static_cast<char>(std::toupper(static_cast<unsigned char>(lletra))));
  return it == g_unitats.carpeta.end() ? std::string() : it->second;
}

std::string UnitatsMapejades() {
  CarregarUnitats();
  std::string r;
  for (auto& [l, c] : g_unitats.carpeta) r += l;
  return r;
}

namespace {

// A program path as the host spells it, before any name is matched.
struct Traduccio {
  bool ok = false;       // false: its drive maps nowhere
  std::string exacte;    // the starting folder, then each part in UTF-8, joined by "/"
  size_t arrel = 0;      // length of the starting folder in exacte
  std::vector<std::pair<size_t, size_t>> parts;  // where each part starts and ends in exacte
  bool barraFinal = false;  // it ends in a separator: "the folder itself"
};

Traduccio Traduir(const std::string& cami_in) {
  Traduccio t;
  std::string cami = cami_in;
  // Windows ignores trailing spaces of a path.
  while (!cami.empty() && cami.back() == ' ') cami.pop_back();
  if (cami.empty()) return t;
  std::string resta;
  if (cami.size() >= 2 && cami[1] == ':' && std::isalpha(static_cast<unsigned char>(cami[0]))) {
    const char lletra = static_cast<char>(std::toupper(static_cast<unsigned char>(cami[0])));
    t.exacte = CarpetaUnitat(lletra);
    if (t.exacte.empty()) return t;
    resta = cami.substr(2);
    if (resta.empty() || (resta[0] != '\\' && resta[0] != '/')) {
      // Drive-relative: from the drive's current directory.
      std::string actual = DirectoriActualUnitat(lletra);
      std::string dins = actual.size() > 3 ? actual.substr(3) : std::string();
      resta = "\\" + dins + (dins.empty() ? "" : "\\") + resta;
    }
  } else {
    if (cami[0] == '\\' || cami[0] == '/') t.exacte = "/";
    resta = cami;
  }
  t.ok = true;
  t.arrel = t.exacte.size();
  t.exacte.reserve(t.exacte.size() + 2 * resta.size());
  t.parts.reserve(8);
  size_t inici = std::string::npos;  // where the part being copied starts
  for (const char ch : resta) {
    if (ch == '\\' || ch == '/') {
      if (inici != std::string::npos) t.parts.emplace_back(inici, t.exacte.size());
      inici = std::string::npos;
      continue;
    }
    if (inici == std::string::npos) {
      if (!t.exacte.empty() && t.exacte.back() != '/') t.exacte += '/';
      inici = t.exacte.size();
    }
    AfegirCp850(t.exacte, static_cast<unsigned char>(ch));
  }
  if (inici != std::string::npos) t.parts.emplace_back(inici, t.exacte.size());
  const char darrer = resta.empty() ? '\0' : resta.back();
  t.barraFinal = darrer == '\\' || darrer == '/';
  return t;
}

// The finished host path: "." for the current folder, a trailing separator kept.
std::string Acabar(std::string host, bool barraFinal) {
  if (host.empty()) host = ".";
  if (barraFinal && host.back() != '/') host += '/';
  return host;
}

// absent: the whole path is known not to exist as spelled.
std::string Resoldre(const Traduccio& t, bool absent = false) {
  // Most paths exist as spelled, or all but their last part does (a file not made yet,
  // a name in other capitals): look for the longest such start, from the end, and match
  // only the parts after it. A start that exists as spelled is what the part-by-part
  // match would have found too.
  size_t fets = absent && !t.parts.empty() ? t.parts.size() - 1 : t.parts.size();
  while (fets > 0 && !ExisteixHost(t.exacte.substr(0, t.parts[fets - 1].second))) --fets;
  std::string host = t.exacte.substr(0, fets > 0 ? t.parts[fets - 1].second : t.arrel);
  for (size_t k = fets; k < t.parts.size(); ++k)
    host = Afegir(host, t.exacte.substr(t.parts[k].first, t.parts[k].second - t.parts[k].first), k == fets);
  return Acabar(std::move(host), t.barraFinal);
}

// Tries `fer` on the path as spelled, then, when that finds nothing, on the path matched
// without regard to case; the host path that worked, or "".
template <class F>
std::string AlCami(const std::string& cami, F&& fer) {
  const Traduccio t = Traduir(cami);
  if (!t.ok) return {};
  std::string h = Acabar(t.exacte, t.barraFinal);
  errno = 0;
  if (fer(h)) return h;
  std::string r = Resoldre(t, errno == ENOENT);
  return r != h && fer(r) ? r : std::string();
}

}  // namespace

std::string CamiHost(const std::string& cami) {
  const Traduccio t = Traduir(cami);
  return t.ok ? Resoldre(t) : std::string();
}

FitxerObert ObrirLecturaCami(const std::string& cami) {
  FitxerObert f;
  AlCami(cami, [&](const std::string& h) { return static_cast<bool>(f = ObrirLectura(h)); });
  return f;
}

bool MateixFitxer(const std::string& a, const std::string& b) {
  struct stat sa{}, sb{};
  return !AlCami(a, [&](const std::string& h) { return stat(h.c_str(), &sa) == 0; }).empty() && S_ISREG(sa.st_mode) &&
         !AlCami(b, [&](const std::string& h) { return stat(h.c_str(), &sb) == 0; }).empty() &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string CamiPrograma(const std::string& host) {
  CarregarUnitats();
  char millor = 0;
  size_t llarg = 0;
  for (auto& [l, c] : g_unitats.carpeta) {
    const bool dins = c == "/" ? !host.empty() && host[0] == '/'
                               : host.compare(0, c.size(), c) == 0 && (host.size() == c.size() || host[c.size()] == '/');
    if (dins && (millor == 0 || c.size() > llarg)) {
      millor = l;
      llarg = c == "/" ? 0 : c.size();
    }
  }
  std::string resta = millor ? host.substr(llarg) : host;
  std::string r = Utf8ACp850(resta);
  std::replace(r.begin(), r.end(), '/', '\\');
  if (millor) {
    if (r.empty() || r[0] != '\\') r = "\\" + r;
    r = std::string(1, millor) + ":" + r;
  }
  return r;
}

namespace {

void OrdenarPerNom(std::vector<EntradaDirectori>& entrades) {
  // Windows gives a folder's names in case-blind name order; a POSIX folder gives its own
  // (hash) order. Folded as path names are matched, the exact bytes breaking ties.
  std::vector<std::pair<std::string, size_t>> claus;
  claus.reserve(entrades.size());
  for (size_t i = 0; i < entrades.size(); ++i) claus.emplace_back(PlegarCp850(entrades[i].nom), i);
  // std::string compares bytes as unsigned: accented letters come after "Z".
  std::sort(claus.begin(), claus.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return entrades[a.second].nom < entrades[b.second].nom;
  });
  std::vector<EntradaDirectori> r;
  r.reserve(entrades.size());
  for (const auto& c : claus) r.push_back(std::move(entrades[c.second]));
  entrades = std::move(r);
}

}  // namespace

InfoFitxer Info(const std::string& cami) {
  InfoFitxer i;
  struct stat st{};
  const std::string h = AlCami(cami, [&](const std::string& c) { return stat(c.c_str(), &st) == 0; });
  if (h.empty()) return i;
  i.existeix = true;
  i.directori = S_ISDIR(st.st_mode);
  i.mida = static_cast<uint64_t>(st.st_size);
  i.modificat = st.st_mtime;
  // No read-only here: the host has no such attribute, and missing write bits (a file
  // installed by root) must not make a file vanish for callers that leave read-only out.
  i.atributs = i.directori ? kDirectori : kArxiu;
  std::string nom = h;
  while (nom.size() > 1 && nom.back() == '/') nom.pop_back();
  const size_t b = nom.rfind('/');
  const std::string darrer = b == std::string::npos ? nom : nom.substr(b + 1);
  if (darrer.size() > 1 && darrer[0] == '.' && darrer != "..") i.atributs |= kOcult;
  return i;
}

bool LlegirDirectori(const std::string& carpeta, std::vector<EntradaDirectori>& entrades) {
  entrades.clear();
  std::string h = CamiHost(carpeta);
  if (h.empty()) return false;
  const bool llegit = RecorrerCarpeta(h, [&](const char* nom_host, int fd) {
    const std::string nom = nom_host;
    if (nom == "." || nom == ".." || !Utf8Representable(nom)) return true;
    EntradaDirectori ent;
    ent.nom = Utf8ACp850(nom);
    struct stat st{};
    if (fstatat(fd, nom_host, &st, 0) == 0) {
      ent.atributs = S_ISDIR(st.st_mode) ? kDirectori : kArxiu;  // never read-only, as Info
    } else {
      ent.atributs = kArxiu;  // dangling link: an entry without readable data
    }
    if (nom[0] == '.') ent.atributs |= kOcult;
    entrades.push_back(std::move(ent));
    return true;
  });
  if (!llegit) return false;
  OrdenarPerNom(entrades);
  return true;
}

namespace {

// A host file's bytes, at most `limit`; nullopt when it cannot be opened or is a folder.
std::optional<std::string> LlegirHost(const std::string& h, size_t limit) {
  int fd = open(h.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st{};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string s;
  char buf[65536];
  while (s.size() < limit) {
    ssize_t n = read(fd, buf, std::min(sizeof buf, limit - s.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    s.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return s;
}

}  // namespace

std::optional<std::string> LlegirFitxer(const std::string& cami, size_t limit) {
  std::optional<std::string> r;
  AlCami(cami, [&](const std::string& h) { return (r = LlegirHost(h, limit)).has_value(); });
  return r;
}

bool EscriureFitxer(const std::string& cami, const std::string& dades) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return false;
  FILE* f = fopen(h.c_str(), "wbe");
  if (!f) return false;
  const bool escrit = fwrite(dades.data(), 1, dades.size(), f) == dades.size();
  return fclose(f) == 0 && escrit;
}

int Esborrar(const std::string& cami) {
  int error = ENOENT;
  AlCami(cami, [&](const std::string& h) {
    error = unlink(h.c_str()) == 0 ? 0 : errno;
    struct stat st{};
    if (error == EPERM && lstat(h.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) error = EISDIR;  // not Linux's answer
    return error != ENOENT && error != ENOTDIR;
  });
  return error;
}

int EsborrarDirectori(const std::string& cami) {
  const std::string h = CamiHost(cami);
  if (h.empty()) return ENOENT;
  return rmdir(h.c_str()) == 0 ? 0 : errno;
}

int Reanomenar(const std::string& de, const std::string& a) {
  const std::string h1 = CamiHost(de), h2 = CamiHost(a);
  if (h1.empty() || h2.empty()) return ENOENT;
  return rename(h1.c_str(), h2.c_str()) == 0 ? 0 : errno;
}

bool CrearDirectori(const std::string& cami) {
  const std::string h = CamiHost(cami);
  return !h.empty() && mkdir(h.c_str(), 0777) == 0;
}

std::string DirectoriActual() {
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return std::string();
  return CamiPrograma(buf);
}

std::string DirectoriActualUnitat(char lletra) {
  const char l = static_cast<char>(std::toupper(static_cast<unsigned char>(lletra)));
  if (CarpetaUnitat(l).empty()) return std::string();
  const std::string actual = DirectoriActual();
  if (actual.size() >= 2 && actual[1] == ':' && actual[0] == l) return actual.size() == 2 ? actual + "\\" : actual;
  auto it = g_unitats.actual.find(l);
  if (it != g_unitats.actual.end()) return it->second;
  return std::string(1, l) + ":\\";
}

bool CanviarDirectori(const std::string& cami) {
  const std::string h = CamiHost(cami);
  if (h.empty() || chdir(h.c_str()) != 0) return false;
  const std::string actual = DirectoriActual();
  if (actual.size() >= 2 && actual[1] == ':') g_unitats.actual[actual[0]] = actual;
  return true;
}

InfoUnitat DescriureUnitat(char lletra) {
  InfoUnitat r;
  const std::string carpeta = CarpetaUnitat(lletra);
  struct stat st{};
  if (carpeta.empty() || stat(carpeta.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return r;
  // The mount that holds the folder: the longest mount point that is a prefix of it.
  const std::string muntatges = LlegirHost("/proc/self/mountinfo", 1 << 22).value_or("");
  std::string punt_millor, tipus_millor, font_millor;
  for (size_t inici = 0; inici < muntatges.size();) {
    size_t fi = muntatges.find('\n', inici);
    if (fi == std::string::npos) fi = muntatges.size();
    const std::string linia = muntatges.substr(inici, fi - inici);
    inici = fi + 1;
    // id parent major:minor root mountpoint options ... - fstype source superoptions
    std::vector<std::string> camps;
    size_t i = 0;
    while (i < linia.size()) {
      size_t j = linia.find(' ', i);
      if (j == std::string::npos) j = linia.size();
      camps.push_back(linia.substr(i, j - i));
      i = j + 1;
    }
    auto guio = std::find(camps.begin(), camps.end(), "-");
    if (camps.size() < 5 || guio == camps.end() || guio + 2 >= camps.end()) continue;
    const std::string& punt = camps[4];
    const bool prefix = punt == "/" || (carpeta.compare(0, punt.size(), punt) == 0 &&
                                        (carpeta.size() == punt.size() || carpeta[punt.size()] == '/'));
    if (prefix && punt.size() >= punt_millor.size()) {
      punt_millor = punt;
      tipus_millor = *(guio + 1);
      font_millor = *(guio + 2);
    }
  }
  const std::string& t = tipus_millor;
  if (t == "nfs" || t == "nfs4" || t == "cifs" || t == "smb3" || t == "smbfs" || t == "fuse.sshfs" || t == "9p" ||
      t == "afs") {
    r.tipus = TipusDisc::Remot;
    r.remot = Utf8ACp850(font_millor);
  } else if (t == "iso9660" || t == "udf") {
    r.tipus = TipusDisc::CdRom;
  } else if (t == "tmpfs" || t == "ramfs") {
    r.tipus = TipusDisc::Ram;
  } else if (punt_millor.rfind("/media/", 0) == 0 || punt_millor.rfind("/run/media/", 0) == 0) {
    r.tipus = TipusDisc::Extraible;
  } else {
    r.tipus = TipusDisc::Fix;
    // A drive mapped below a mount point is like a substituted drive: show its target.
    if (!punt_millor.empty() && carpeta != punt_millor) r.substitut = Utf8ACp850(carpeta);
  }
  return r;
}

}  // namespace plat
