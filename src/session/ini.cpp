#include "session/ini.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KEV_AVX2 1
// A C header (it uses _Bool): g++ takes it, clang++ does not.
#if defined(__GLIBC__) && !defined(__clang__) && __has_include(<sys/platform/x86.h>)
#include <sys/platform/x86.h>
#endif
#endif

#include <array>
#include <bit>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/fitxer_obert.h"
#include "platform/fitxers.h"

// The files are small and shared between terminals. Reads stream the file in blocks and
// never hold more than one block plus one interpreted line; writes build a complete copy
// beside the file under an advisory lock and rename it over the original, so readers see
// either the old or the new file, never a mixture, and concurrent writers queue up.

namespace {

constexpr size_t kBloc = 64 * 1024;
// Bytes of a line that are interpreted. A longer line is copied whole when rewriting,
// but only its start counts as header, key or value.
constexpr size_t kMaxLinia = 64 * 1024;
// Spacer lines held back in memory before falling back to re-reading them from the input.
constexpr size_t kMaxRetinguts = 256 * 1024;
// How long a writer waits for another one before giving up (the file is left as it was).
constexpr int kEsperaBloqueigMs = 10000;

// Last byte c in [p, p + n), or nullptr (memrchr is a GNU extension).
const void* DarrerByte(const void* p, int c, size_t n) {
  const unsigned char* s = static_cast<const unsigned char*>(p);
  while (n > 0)
    if (s[--n] == static_cast<unsigned char>(c)) return s + n;
  return nullptr;
}

// ---------------------------------------------------------------------------------------
// Case folding for names: ASCII plus the accented letters of code page 850.
struct TaulaMajuscules {
  unsigned char t[256];
  constexpr TaulaMajuscules() : t() {
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int i = 'a'; i <= 'z'; ++i) t[i] = static_cast<unsigned char>(i - 32);
    const unsigned char parelles[][2] = {
        {0x87, 0x80}, {0x81, 0x9A}, {0x82, 0x90}, {0x84, 0x8E}, {0x86, 0x8F}, {0x91, 0x92},
        {0x94, 0x99}, {0xA4, 0xA5}, {0xA0, 0xB5}, {0x85, 0xB7}, {0x83, 0xB6}, {0xC6, 0xC7},
        {0x8A, 0xD4}, {0x88, 0xD2}, {0x89, 0xD3}, {0xA1, 0xD6}, {0x8D, 0xDE}, {0x8C, 0xD7},
        {0x8B, 0xD8}, {0xA2, 0xE0}, {0x95, 0xE3}, {0x93, 0xE2}, {0xE4, 0xE5}, {0x9B, 0x9D},
        {0xA3, 0xE9}, {0x97, 0xEB}, {0x96, 0xEA}, {0xEC, 0xED}, {0xD0, 0xD1}, {0xE7, 0xE8}};
    for (const auto& p : parelles) t[p[0]] = p[1];
  }
};
constexpr TaulaMajuscules kMaj;

// For each folded byte, the first two bytes that fold to it and how many do.
struct Plegats {
  unsigned char b[2];
  int n;
};
constexpr auto kDesplegats = [] {
  std::array<Plegats, 256> d{};
  for (int b = 0; b < 256; ++b) {
    Plegats& x = d[kMaj.t[b]];
    if (x.n < 2) x.b[x.n] = static_cast<unsigned char>(b);
    ++x.n;
  }
  for (Plegats& x : d)
    if (x.n == 1) x.b[1] = x.b[0];
  return d;
}();

bool IgualsSenseCas(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (kMaj.t[static_cast<unsigned char>(a[i])] != kMaj.t[static_cast<unsigned char>(b[i])]) return false;
  return true;
}

std::string_view Retalla(std::string_view s) {
  size_t i = 0, f = s.size();
  while (i < f && s[i] == ' ') ++i;
  while (f > i && s[f - 1] == ' ') --f;
  return s.substr(i, f - i);
}

// ---------------------------------------------------------------------------------------
// One line as the format sees it.
enum class Tipus { Espaiador, Capcalera, Clau, Altra };

struct Linia {
  const char* p = nullptr;
  size_t n = 0;          // bytes available (at most kMaxLinia)
  bool tallada = false;  // the line goes on beyond n
};

struct Interpretacio {
  Tipus tipus = Tipus::Altra;
  std::string_view nom;    // header name or key, trimmed
  size_t igual = 0;        // position of the first "=" in a key line
  std::string_view valor;  // key line: text after "=" up to the comment
};

Interpretacio Interpretar(const Linia& l) {
  Interpretacio r;
  const char* fi = static_cast<const char*>(memchr(l.p, ';', l.n));
  const bool complet = fi != nullptr || !l.tallada;  // the whole content is in view
  std::string_view c(l.p, fi ? static_cast<size_t>(fi - l.p) : l.n);
  size_t i = 0;
  while (i < c.size() && c[i] == ' ') ++i;
  if (i == c.size()) {
    r.tipus = complet ? Tipus::Espaiador : Tipus::Altra;
    return r;
  }
  if (c[i] == '[') {
    std::string_view resta = c.substr(i + 1);
    const size_t tanca = resta.find(']');
    r.tipus = Tipus::Capcalera;
    r.nom = Retalla(tanca == std::string_view::npos ? resta : resta.substr(0, tanca));
    return r;
  }
  const void* eq = memchr(c.data() + i, '=', c.size() - i);
  if (!eq) return r;
  r.tipus = Tipus::Clau;
  r.igual = static_cast<size_t>(static_cast<const char*>(eq) - l.p);
  r.nom = Retalla(c.substr(i, r.igual - i));
  r.valor = c.substr(r.igual + 1);
  return r;
}

// ---------------------------------------------------------------------------------------
// Fast skipping. Inside the wanted section only two kinds of line can end the search: a
// header, or a line that starts (after spaces) with the key. Candidates are found by
// testing the key's first and last bytes at every position, sixteen positions at a time;
// each candidate line is then judged exactly by the caller. Only headers are looked for
// when there is no key.
struct Cerca {
  std::string_view seccio;  // without a key: only headers that may name this section
  std::string_view clau;    // with a key: any header, and lines that may hold the key
  unsigned char vp[2] = {}, vd[2] = {};  // the bytes that fold to the key's first / last byte
  unsigned char vm[2] = {};              // ... and to the one before the last (wide scan only)
  bool vectors = false;                  // both fold from at most two bytes
  bool vectors3 = false;                 // the one before the last too
};

Cerca CercaSeccio(std::string_view seccio) {
  Cerca c;
  c.seccio = seccio;
  return c;
}

Cerca CercaClau(std::string_view key) {
  Cerca c;
  c.clau = key;
  if (key.empty()) return c;
  const Plegats& p = kDesplegats[kMaj.t[static_cast<unsigned char>(key.front())]];
  const Plegats& d = kDesplegats[kMaj.t[static_cast<unsigned char>(key.back())]];
  const Plegats& m = kDesplegats[kMaj.t[static_cast<unsigned char>(key[key.size() >= 2 ? key.size() - 2 : 0])]];
  std::copy(p.b, p.b + 2, c.vp);
  std::copy(d.b, d.b + 2, c.vd);
  std::copy(m.b, m.b + 2, c.vm);
  c.vectors = p.n <= 2 && d.n <= 2;
  c.vectors3 = c.vectors && m.n <= 2;
  return c;
}

// Start of the line if p is its first non-space byte (the scan began at a line start,
// ini), else nullptr.
inline const char* IniciDeLinia(const char* p, const char* ini) {
  while (p > ini && p[-1] == ' ') --p;
  return p == ini || p[-1] == '\n' || p[-1] == '\r' ? p : nullptr;
}

inline bool EsFiDeNom(char c) { return c == ']' || c == ';' || c == '\r' || c == '\n'; }

// Whether text at p (after spaces, up to a name end) may be nom. Undecided (true) when the
// buffer or the interpreted part of the line, which ends at limit, runs out first.
inline bool PotSerNom(const char* p, const char* fi, const char* limit, std::string_view nom, bool clau) {
  const char* f = fi < limit ? fi : limit;
  if (p >= f || static_cast<size_t>(f - p) < nom.size()) return true;
  if (!IgualsSenseCas(std::string_view(p, nom.size()), nom)) return false;
  p += nom.size();
  while (p < f && *p == ' ') ++p;
  if (p == f) return true;
  return clau ? *p == '=' : EsFiDeNom(*p);
}

#if KEV_AVX2
// The C library has looked at the processor already; asking the compiler's runtime would
// make it do so again at every start, with instructions a virtual machine traps.
#if defined(CPU_FEATURE_ACTIVE)
const bool kAvx2 = CPU_FEATURE_ACTIVE(AVX2);
#else
const bool kAvx2 = __builtin_cpu_supports("avx2");
#endif

// The block scan of Candidat, 32 bytes a step, where the processor has AVX2; it also tests
// the byte before the key's last, which keeps numbered keys (Clau1..Clau9999) from all
// being candidates. Advances p past the whole blocks it looked at.
template <class F>
__attribute__((target("avx2"))) const char* RecorrerAvx2(const char*& p, const char* fi, size_t n, const Cerca& c,
                                                          F& mirar) {
  const __m256i p0 = _mm256_set1_epi8(static_cast<char>(c.vp[0])), p1 = _mm256_set1_epi8(static_cast<char>(c.vp[1]));
  const __m256i d0 = _mm256_set1_epi8(static_cast<char>(c.vd[0])), d1 = _mm256_set1_epi8(static_cast<char>(c.vd[1]));
  const __m256i m0 = _mm256_set1_epi8(static_cast<char>(c.vm[0])), m1 = _mm256_set1_epi8(static_cast<char>(c.vm[1]));
  const __m256i obre = _mm256_set1_epi8('[');
  const size_t mig = n >= 2 ? n - 2 : 0;
  while (static_cast<size_t>(fi - p) >= n + 63) {
    uint64_t bits = 0;
    for (int k = 0; k < 2; ++k) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k + n - 1));
      const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k + mig));
      const __m256i clau = _mm256_and_si256(
          _mm256_and_si256(_mm256_or_si256(_mm256_cmpeq_epi8(a, p0), _mm256_cmpeq_epi8(a, p1)),
                           _mm256_or_si256(_mm256_cmpeq_epi8(b, d0), _mm256_cmpeq_epi8(b, d1))),
          _mm256_or_si256(_mm256_cmpeq_epi8(e, m0), _mm256_cmpeq_epi8(e, m1)));
      const __m256i m = _mm256_or_si256(clau, _mm256_cmpeq_epi8(a, obre));
      bits |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(m))} << (32 * k);
    }
    for (uint64_t b = bits; b; b &= b - 1)
      if (const char* l = mirar(p + std::countr_zero(b))) return l;
    p += 64;
  }
  return nullptr;
}
#endif

// First line in [ini, fi) that the search must look at, as its start; nullptr if none.
const char* Candidat(const char* ini, const char* fi, const Cerca& c) {
  const char* p = ini;
  if (c.clau.empty()) {
    while ((p = static_cast<const char*>(memchr(p, '[', static_cast<size_t>(fi - p))))) {
      if (const char* l = IniciDeLinia(p, ini)) {
        const char* q = p + 1;
        while (q < fi && *q == ' ') ++q;
        if (PotSerNom(q, fi, l + kMaxLinia, c.seccio, false)) return l;
      }
      ++p;
    }
    return nullptr;
  }
  const size_t n = c.clau.size();
  auto mirar = [&](const char* q) -> const char* {
    const char* l = IniciDeLinia(q, ini);
    if (!l || *q == '[' || PotSerNom(q, fi, l + kMaxLinia, c.clau, true)) return l;
    return nullptr;
  };
#if KEV_AVX2
  if (c.vectors3 && kAvx2 && IniEscaneigAmple) {
    if (const char* l = RecorrerAvx2(p, fi, n, c, mirar)) return l;
  } else
#endif
#if defined(__SSE2__)
  if (c.vectors) {
    const __m128i p0 = _mm_set1_epi8(static_cast<char>(c.vp[0])), p1 = _mm_set1_epi8(static_cast<char>(c.vp[1]));
    const __m128i d0 = _mm_set1_epi8(static_cast<char>(c.vd[0])), d1 = _mm_set1_epi8(static_cast<char>(c.vd[1]));
    const __m128i obre = _mm_set1_epi8('[');
    auto marques = [&](const char* q) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + n - 1));
      return static_cast<unsigned>(_mm_movemask_epi8(
          _mm_or_si128(_mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(a, p0), _mm_cmpeq_epi8(a, p1)),
                                     _mm_or_si128(_mm_cmpeq_epi8(b, d0), _mm_cmpeq_epi8(b, d1))),
                       _mm_cmpeq_epi8(a, obre))));
    };
    // Whole blocks of 64 while both probes stay in bounds.
    while (static_cast<size_t>(fi - p) >= n + 63) {
      const uint64_t bits = uint64_t{marques(p)} | uint64_t{marques(p + 16)} << 16 |
                            uint64_t{marques(p + 32)} << 32 | uint64_t{marques(p + 48)} << 48;
      for (uint64_t b = bits; b; b &= b - 1)
        if (const char* l = mirar(p + std::countr_zero(b))) return l;
      p += 64;
    }
  }
#endif
  const unsigned char primera = kMaj.t[static_cast<unsigned char>(c.clau.front())];
  for (; p < fi; ++p) {
    const auto u = static_cast<unsigned char>(*p);
    if (u == '[' || kMaj.t[u] == primera)
      if (const char* l = mirar(p)) return l;
  }
  return nullptr;
}

// End of the longest run of whole lines at the start of [a, f) that all end in CR LF (a is
// a line start). trencat: the run stops at a line ending in a lone LF or CR, not at f.
const char* FinalCrLf(const char* a, const char* f, bool& trencat) {
  trencat = false;
  if (a == f) return a;
  if (*a == '\n') {  // an empty line ended by a lone LF
    trencat = true;
    return a;
  }
  // Every CR must be followed by an LF and every LF preceded by a CR: compare the CR marks
  // at i with the LF marks at i + 1.
  const char* i = a;
  const char* dolent = nullptr;
#if defined(__SSE2__)
  const __m128i vcr = _mm_set1_epi8('\r'), vlf = _mm_set1_epi8('\n');
  for (; f - i >= 17; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(i + 1));
    const unsigned diferent = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_xor_si128(_mm_cmpeq_epi8(x, vcr), _mm_cmpeq_epi8(y, vlf))));
    if (diferent) {
      dolent = i + std::countr_zero(diferent);
      break;
    }
  }
#endif
  if (!dolent)
    for (; f - i >= 2; ++i)
      if ((i[0] == '\r') != (i[1] == '\n')) {
        dolent = i;
        break;
      }
  // Lines up to the last LF before the fault (or f) are sound; a CR in f's last byte is
  // left out, as what follows it is not in view.
  const char* ultim = static_cast<const char*>(DarrerByte(a, '\n', static_cast<size_t>((dolent ? dolent + 1 : f) - a)));
  trencat = dolent != nullptr;
  return ultim ? ultim + 1 : a;
}

// Start of the trailing run of spacer lines in [a, e), whose lines all end in CR LF. Each
// line is judged as the line reader would present it.
const char* IniciEspaiadorsFinals(const char* a, const char* e) {
  while (e > a) {
    const char* lf = static_cast<const char*>(DarrerByte(a, '\n', static_cast<size_t>(e - 1 - a)));
    const char* s = lf ? lf + 1 : a;
    const size_t n = static_cast<size_t>(e - 2 - s);
    const Linia l{s, n > kMaxLinia ? kMaxLinia : n, n > kMaxLinia};
    if (Interpretar(l).tipus != Tipus::Espaiador) break;
    e = s;
  }
  return e;
}

// ---------------------------------------------------------------------------------------
// Buffered line reader over an open file. A line ends at CR LF, LF or CR.
class Lector {
 public:
  // Most files are small: the buffer starts small and grows to full size when it fills.
  explicit Lector(plat::FitxerObert& f) : f_(f), cap_(Inicial(f)) { buf_.reset(new char[cap_]); }

  // Moves to the next line that may be a header or (with a key) the key's line, without
  // looking at the lines in between. False at the end of the file.
  bool SaltarACandidat(const Cerca& c) {
    for (;;) {
      if (pendent_) Resta(nullptr);
      const char* ini = buf_.get() + ini_;
      const char* fi = buf_.get() + fi_;
      if (const char* q = Candidat(ini, fi, c)) {
        ini_ = static_cast<size_t>(q - buf_.get());
        return true;
      }
      // Keep only the unfinished last line; it may still turn into a candidate.
      const char* lf = static_cast<const char*>(DarrerByte(ini, '\n', static_cast<size_t>(fi - ini)));
      const char* cr = static_cast<const char*>(DarrerByte(lf ? lf : ini, '\r', static_cast<size_t>(fi - (lf ? lf : ini))));
      const char* t = cr ? cr : lf;
      if (t) ini_ = static_cast<size_t>(t + 1 - buf_.get());
      if (eof_) return false;
      if (fi_ - ini_ > kMaxLinia) {
        // Its start, all that is ever interpreted, holds no candidate: drop the rest of it.
        ini_ = fi_;
        pendent_ = true;
        continue;
      }
      Omplir();
    }
  }

  // The longest run of whole lines from the read position that a rewrite outside the
  // wanted section passes on unchanged, consumed: lines that end in CR LF (so are written
  // back as they stand) and that c does not flag as a possible header of that section.
  // With retenir (held-back spacers may still get a line written before them) a trailing
  // run of spacer lines is left out unless a header follows it. reprendre: file offset of
  // the first line not vouched for; the caller takes lines one by one until past it
  // (-1: ask again at once). The view stays valid until the next call.
  std::string_view Tram(const Cerca& c, bool retenir, int64_t& reprendre) {
    reprendre = -1;
    if (pendent_) {
      reprendre = Posicio();
      return {};
    }
    if (!eof_ && fi_ - ini_ < kBloc) Omplir();
    const char* a = buf_.get() + ini_;
    const char* fi = buf_.get() + fi_;
    // The search result is kept: after a line taken one by one it still holds.
    const char* q;
    bool candidat;
    if (explorat_ > Posicio() && explorat_ <= base_ + static_cast<int64_t>(fi_)) {
      q = buf_.get() + (explorat_ - base_);
      candidat = exploratCandidat_;
    } else {
      q = Candidat(a, fi, c);
      candidat = q != nullptr;
      if (!q) q = fi;
      explorat_ = base_ + (q - buf_.get());
      exploratCandidat_ = candidat;
    }
    bool trencat;
    const char* e = FinalCrLf(a, q, trencat);
    const char* atura = trencat ? e : q;
    if (retenir && !(candidat && e == q)) e = IniciEspaiadorsFinals(a, e);
    if (trencat || e != q || candidat) reprendre = base_ + (atura - buf_.get());
    if (e == a && reprendre < Posicio()) reprendre = Posicio();
    ini_ = static_cast<size_t>(e - buf_.get());
    return {a, static_cast<size_t>(e - a)};
  }

  // Next line, or false at the end. The view stays valid until the next call.
  bool Seguent(Linia& l) {
    if (pendent_) Resta(nullptr);
    for (;;) {
      const char* ini = buf_.get() + ini_;
      const size_t disp = fi_ - ini_;
      const size_t mirar = disp < kMaxLinia + 1 ? disp : kMaxLinia + 1;
      const char* lf = static_cast<const char*>(memchr(ini, '\n', mirar));
      const size_t fins = lf ? static_cast<size_t>(lf - ini) : mirar;
      const char* cr = static_cast<const char*>(memchr(ini, '\r', fins));
      const char* t = cr ? cr : lf;
      if (t) {
        const size_t n = static_cast<size_t>(t - ini);
        if (n > kMaxLinia) return Llarga(l);
        if (t == cr && n + 1 == disp && !eof_) {  // CR at the block end: is LF next?
          Omplir();
          continue;
        }
        size_t salt = 1;
        if (t == cr && n + 1 < disp && ini[n + 1] == '\n') salt = 2;
        l = {ini, n, false};
        ini_ += n + salt;
        return true;
      }
      if (disp > kMaxLinia) return Llarga(l);
      if (eof_) {
        if (disp == 0) return false;
        l = {ini, disp, false};
        ini_ = fi_;
        return true;
      }
      Omplir();
    }
  }

  // Consumes the rest of an over-long line, passing it to sink when given.
  template <class F>
  void Resta(F&& sink) {
    while (pendent_) {
      if (ini_ == fi_) {
        if (eof_) {
          pendent_ = false;
          break;
        }
        Omplir();
        continue;
      }
      const char* ini = buf_.get() + ini_;
      const size_t disp = fi_ - ini_;
      const char* lf = static_cast<const char*>(memchr(ini, '\n', disp));
      const size_t fins = lf ? static_cast<size_t>(lf - ini) : disp;
      const char* cr = static_cast<const char*>(memchr(ini, '\r', fins));
      const char* t = cr ? cr : lf;
      if (!t) {
        if constexpr (!std::is_same_v<std::decay_t<F>, std::nullptr_t>) sink(ini, disp);
        ini_ = fi_;
        continue;
      }
      const size_t n = static_cast<size_t>(t - ini);
      if (t == cr && n + 1 == disp && !eof_) {
        if constexpr (!std::is_same_v<std::decay_t<F>, std::nullptr_t>) sink(ini, n);
        ini_ += n;
        Omplir();
        if (ini_ < fi_ && buf_[ini_] == '\r') {
          ++ini_;
          if (ini_ < fi_ && buf_[ini_] == '\n') ++ini_;
        }
        pendent_ = false;
        break;
      }
      if constexpr (!std::is_same_v<std::decay_t<F>, std::nullptr_t>) sink(ini, n);
      size_t salt = 1;
      if (t == cr && n + 1 < disp && ini[n + 1] == '\n') salt = 2;
      ini_ += n + salt;
      pendent_ = false;
    }
  }

  bool Error() const { return error_; }
  // Offset in the file of the next line.
  int64_t Posicio() const { return base_ + static_cast<int64_t>(ini_); }
  bool Situar(int64_t pos) {
    pendent_ = false;
    if (pos >= base_ && pos <= base_ + static_cast<int64_t>(fi_)) {
      ini_ = static_cast<size_t>(pos - base_);
      return true;
    }
    if (!f_.Situar(pos)) {
      error_ = true;
      return false;
    }
    base_ = pos;
    ini_ = fi_ = 0;
    eof_ = false;
    return true;
  }

 private:
  bool Llarga(Linia& l) {
    l = {buf_.get() + ini_, kMaxLinia, true};
    ini_ += kMaxLinia;
    pendent_ = true;
    return true;
  }

  // Reads more, first making room for a block when less is left: a full small buffer
  // grows, a full-size one moves what is left to the front. What is already read stays
  // while there is room, so a search from the top of a small file reads nothing again.
  // False at the end of the file.
  bool Omplir() {
    if (cap_ < kMida) {
      if (fi_ == cap_) {
        std::unique_ptr<char[]> gran(new char[kMida]);
        memcpy(gran.get(), buf_.get(), fi_);
        buf_ = std::move(gran);
        cap_ = kMida;
      }
    } else if (kMida - fi_ < kBloc && ini_ > 0) {
      memmove(buf_.get(), buf_.get() + ini_, fi_ - ini_);
      base_ += static_cast<int64_t>(ini_);
      fi_ -= ini_;
      ini_ = 0;
    }
    while (fi_ < cap_) {
      const int64_t r = f_.Llegir(buf_.get() + fi_, cap_ - fi_ < kBloc ? cap_ - fi_ : kBloc);
      if (r <= 0) {
        if (r < 0) error_ = true;
        eof_ = true;
        return false;
      }
      fi_ += static_cast<size_t>(r);
      return true;
    }
    return true;
  }

  static constexpr size_t kMida = kBloc + kMaxLinia + 1;
  static constexpr size_t kInicial = 4 * 1024;
  // Room for a small file and for the read that finds its end: no fresh heap page for a
  // few lines. A file that grew meanwhile fills it and grows it like any other.
  static size_t Inicial(const plat::FitxerObert& f) {
    const int64_t m = f.MidaEnObrir();
    return m >= 0 && m < static_cast<int64_t>(kInicial) ? static_cast<size_t>(m) + 1 : kInicial;
  }
  plat::FitxerObert& f_;
  std::unique_ptr<char[]> buf_;
  size_t cap_;
  size_t ini_ = 0, fi_ = 0;
  int64_t base_ = 0;  // file offset of buf_[0]
  bool eof_ = false, pendent_ = false, error_ = false;
  int64_t explorat_ = -1;          // Tram: where its last search stopped (file offset)
  bool exploratCandidat_ = false;  // ... at a flagged line rather than the buffer's end
};

// Buffered writer; remembers the first error.
class Escriptor {
 public:
  explicit Escriptor(plat::FitxerObert& f) : f_(f) { buf_.reserve(kBloc); }
  void Posar(const char* p, size_t n) {
    if (n >= kBloc / 4) {  // large runs go straight out rather than through the buffer
      Buidar();
      EscriureTot(p, n);
      return;
    }
    if (buf_.size() + n > kBloc) Buidar();
    buf_.append(p, n);
  }
  void Posar(std::string_view s) { Posar(s.data(), s.size()); }
  void FiLinia() { Posar("\r\n", 2); }
  bool Buidar() {
    if (!buf_.empty()) EscriureTot(buf_.data(), buf_.size());
    buf_.clear();
    return !error_;
  }
  bool Error() const { return error_; }

 private:
  void EscriureTot(const char* p, size_t n) {
    if (!error_ && !f_.EscriureTot(p, n)) error_ = true;
  }
  plat::FitxerObert& f_;
  std::string buf_;
  bool error_ = false;
};

// ---------------------------------------------------------------------------------------
// The copy with the key set or removed. False when the input or the output failed.
bool Reescriure(plat::FitxerObert& entrada, plat::FitxerObert& sortida, std::string_view seccio, std::string_view clau,
                std::string_view valor, const std::string& seccioLiteral, const std::string& clauLiteral) {
  Lector in(entrada);
  Escriptor out(sortida);
  const bool esborrar = valor.empty();

  // Held-back spacer lines: in memory while small, else re-read from the input.
  std::string retinguts;
  size_t nRetinguts = 0;
  int64_t posRetinguts = -1;  // >= 0: the run is re-read from here
  bool enMemoria = true;

  Linia l;
  Interpretacio it;
  int64_t posLinia = in.Posicio();
  // Writes the held-back lines. Re-reading them from the input moves the buffer, so the
  // current line is read again afterwards.
  auto buidarRetinguts = [&]() {
    if (nRetinguts == 0) return;
    if (enMemoria) {
      out.Posar(retinguts);
    } else {
      in.Situar(posRetinguts);
      Linia r;
      for (size_t k = 0; k < nRetinguts && in.Seguent(r); ++k) {
        out.Posar(r.p, r.n);
        if (r.tallada) in.Resta([&](const char* p, size_t n) { out.Posar(p, n); });
        out.FiLinia();
      }
      in.Situar(posLinia);
      if (in.Seguent(l)) it = Interpretar(l);
    }
    retinguts.clear();
    nRetinguts = 0;
    enMemoria = true;
  };
  auto copiar = [&](const Linia& l) {
    out.Posar(l.p, l.n);
    if (l.tallada) in.Resta([&](const char* p, size_t n) { out.Posar(p, n); });
    out.FiLinia();
  };
  auto liniaClau = [&]() {
    out.Posar(clauLiteral);
    out.Posar("=", 1);
    out.Posar(valor);
    out.FiLinia();
  };

  enum { Abans, Dins, Despres } estat = Abans;
  bool entrat = false, escrit = false;
  // Outside the section, lines that cannot enter it are passed on in runs. Spacers are
  // held back only while a line may still be written before them.
  const Cerca capcaleres = CercaSeccio(seccio);
  int64_t reprendre = -1;  // runs wait until the lines up to here went one by one
  for (;;) {
    if (estat != Dins && nRetinguts == 0 && in.Posicio() > reprendre) {
      const std::string_view tram = in.Tram(capcaleres, !escrit && !esborrar, reprendre);
      out.Posar(tram);
      posLinia = in.Posicio();
      if (in.Posicio() > reprendre) continue;
    }
    if (!in.Seguent(l)) break;
    it = Interpretar(l);
    if (it.tipus == Tipus::Espaiador) {
      if (esborrar) {
        // Nothing is ever inserted when removing, so holding back changes nothing.
        copiar(l);
      } else {
        if (nRetinguts == 0) posRetinguts = posLinia;
        if (l.tallada || retinguts.size() + l.n + 2 > kMaxRetinguts) enMemoria = false;
        if (enMemoria) {
          retinguts.append(l.p, l.n);
          retinguts += "\r\n";
        }
        ++nRetinguts;
        // It is read again when written; the next line's position is past all of it.
        if (l.tallada) in.Resta(nullptr);
      }
    } else if (it.tipus == Tipus::Capcalera) {
      if (estat == Dins) {
        if (!escrit && !esborrar) liniaClau();
        escrit = true;
        buidarRetinguts();
        copiar(l);
        estat = Despres;
      } else {
        buidarRetinguts();
        if (IgualsSenseCas(it.nom, seccio)) {
          estat = Dins;
          entrat = true;
        }
        copiar(l);
      }
    } else if (estat == Dins && it.tipus == Tipus::Clau && IgualsSenseCas(it.nom, clau)) {
      escrit = true;
      if (!esborrar) {
        buidarRetinguts();
        out.Posar(l.p, it.igual + 1);
        out.Posar(valor);
        out.FiLinia();
      }
      if (l.tallada) in.Resta(nullptr);
    } else {
      buidarRetinguts();
      copiar(l);
    }
    posLinia = in.Posicio();
  }
  if (!escrit && !esborrar) {
    if (!entrat) {
      out.Posar("[", 1);
      out.Posar(seccioLiteral);
      out.Posar("]", 1);
      out.FiLinia();
      liniaClau();
    } else if (estat == Dins) {
      liniaClau();
    }
  }
  buidarRetinguts();
  out.Buidar();
  return !in.Error() && !out.Error();
}

// The copy without the header of the first section named seccio when that section holds
// nothing but spacer lines; the spacers stay (they may set off the next section).
bool TreureSeccioBuida(plat::FitxerObert& entrada, plat::FitxerObert& sortida, std::string_view seccio) {
  Lector in(entrada);
  Escriptor out(sortida);
  std::string pendent;  // the header and the spacers after it, while undecided
  size_t capcalera = 0;
  enum { Abans, Dins, Fet } estat = Abans;
  Linia l;
  while (in.Seguent(l)) {
    const Interpretacio it = Interpretar(l);
    if (estat == Dins) {
      if (it.tipus == Tipus::Espaiador && !l.tallada && pendent.size() + l.n + 2 <= kMaxRetinguts) {
        pendent.append(l.p, l.n);
        pendent += "\r\n";
        continue;
      }
      // A line of its own (or more spacers than are held) keeps the section whole.
      out.Posar(std::string_view(pendent).substr(it.tipus == Tipus::Capcalera ? capcalera : 0));
      estat = Fet;
    } else if (estat == Abans && it.tipus == Tipus::Capcalera && !l.tallada && IgualsSenseCas(it.nom, seccio)) {
      pendent.assign(l.p, l.n);
      pendent += "\r\n";
      capcalera = pendent.size();
      estat = Dins;
      continue;
    }
    out.Posar(l.p, l.n);
    if (l.tallada) in.Resta([&](const char* p, size_t n) { out.Posar(p, n); });
    out.FiLinia();
  }
  if (estat == Dins) out.Posar(std::string_view(pendent).substr(capcalera));
  out.Buidar();
  return !in.Error() && !out.Error();
}

std::string CarpetaDe(const std::string& host) {
  const size_t b = host.find_last_of("/\\");  // host separators: '/' on POSIX, '\\' on Windows
  return b == std::string::npos ? std::string() : host.substr(0, b + 1);
}

// Creates a fresh prefix + "NNNNNNNN.tmp"; not open when none could be made.
plat::FitxerObert CrearTemporal(const std::string& carpeta, std::string& nom) {
  std::random_device llavor;
  std::mt19937 gen(static_cast<uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
                   llavor());
  std::uniform_int_distribution<int> dist(0, 99999999);
  for (int intent = 0; intent < 1000; ++intent) {
    char digits[16];
    snprintf(digits, sizeof digits, "%08d", dist(gen));
    nom = carpeta + digits + ".tmp";
    bool jaExisteix = false;
    plat::FitxerObert f = plat::CrearExclusiu(nom, &jaExisteix);
    if (f || !jaExisteix) return f;
  }
  return plat::FitxerObert();
}

// Temporary copies are named after their file, "<name>.<8 digits>.tmp", so a later
// writer of the same file can tell its abandoned ones from any other program's.
constexpr size_t kMaxNomAmbTemporal = 200;

bool EsTemporalDe(std::string_view nom, std::string_view base) {
  if (base.empty() || nom.size() != base.size() + 13 || nom.substr(0, base.size()) != base) return false;
  if (nom[base.size()] != '.' || nom.substr(base.size() + 9) != ".tmp") return false;
  for (size_t i = base.size() + 1; i < base.size() + 9; ++i)
    if (nom[i] < '0' || nom[i] > '9') return false;
  return true;
}

// A writer makes its temporary copy only while it holds the lock on the very file the
// name stands for, and renames or removes the copy before it lets go. So while we hold
// that lock, a copy of ours for this file belongs to a writer that died (a kill, a power
// cut). Were the name replaced behind the lock by a program that takes none, the worst
// case is a writer of ours whose rename then fails and who starts its copy again.
void EsborrarTemporalsAbandonats(const std::string& carpeta, const std::string& base) {
  std::vector<std::string> noms;
  if (!plat::NomsCarpeta(carpeta, noms)) return;
  for (const std::string& n : noms)
    if (EsTemporalDe(n, base)) plat::EsborrarFitxer(carpeta + n);
}

// Opens (creating it when missing) and locks the file itself. The lock belongs to the
// file, not the name, so after waiting the name is checked again: another writer may
// have renamed a new file over it meanwhile.
plat::FitxerObert ObrirBloquejat(const std::string& host, bool crear = true) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(kEsperaBloqueigMs);
  for (;;) {
    plat::FitxerObert f = plat::ObrirLectura(host, crear);
    if (!f) return f;
    const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(limit - std::chrono::steady_clock::now());
    if (!f.BloquejarExclusiu(static_cast<int>(resta.count()))) return plat::FitxerObert();
    if (f.MateixFitxer(host)) return f;
    if (std::chrono::steady_clock::now() > limit) return plat::FitxerObert();
  }
}

// Puts a copy made by copiar(original, copy) in place of the file, under the lock. A file
// that does not exist is created first only when crear is set.
template <class F>
void Reemplacar(const std::string& host, bool crear, F copiar) {
  const std::string carpeta = CarpetaDe(host);
  const std::string base = host.substr(carpeta.size());
  // A name too long to carry a suffix gets a bare number, never cleared.
  const bool propi = !base.empty() && base.size() <= kMaxNomAmbTemporal;
  // A failed rename (the file held elsewhere) is retried with a fresh copy a few times;
  // after that the file keeps its old content.
  for (int intent = 0; intent < 5; ++intent) {
    plat::FitxerObert original = ObrirBloquejat(host, crear);
    if (!original) return;
    if (intent == 0 && propi) EsborrarTemporalsAbandonats(carpeta, base);
    std::string temporal;
    plat::FitxerObert copia = CrearTemporal(propi ? carpeta + base + "." : carpeta, temporal);
    if (!copia) return;
    plat::CopiarPermisos(original, copia);
    bool ok = copiar(original, copia);
    ok = ok && (!IniSincronitzarDisc || copia.Sincronitzar());
    ok = copia.Tancar() && ok;
    if (!ok) {
      plat::EsborrarFitxer(temporal);
      return;
    }
    original.SoltarContingut();
    if (plat::ReanomenarAtomic(temporal, host)) {
      if (IniSincronitzarDisc) plat::SincronitzarCarpeta(carpeta);
      return;  // closing the original releases the lock only once the new file is in place
    }
    plat::EsborrarFitxer(temporal);
    original.Tancar();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------

bool IniSincronitzarDisc = true;
bool IniEscaneigAmple = true;

namespace {

// The value of key in the first section named sec, scanning from the reader's position
// (the start of the file); "" when absent.
std::string BuscarValor(Lector& in, std::string_view sec, std::string_view key) {
  // Only the start of a line is interpreted, so a longer key is never there; a line that
  // starts with "=" after spaces is not a key line.
  if (key.empty() || key.size() > kMaxLinia) return "";
  std::string valor;
  bool dins = false;
  Linia l;
  const unsigned char primera = kMaj.t[static_cast<unsigned char>(key[0])];
  const Cerca capcaleres = CercaSeccio(sec), cercaClau = CercaClau(key);
  for (;;) {
    // Outside the section only headers matter.
    if (!in.SaltarACandidat(dins ? cercaClau : capcaleres)) break;
    if (!in.Seguent(l)) break;
    if (dins) {
      // Only a header or a line starting with the key can end the search.
      size_t i = 0;
      while (i < l.n && l.p[i] == ' ') ++i;
      if (i == l.n) continue;
      if (l.p[i] != '[') {
        // A matching key line is: spaces, the key, spaces, "=".
        if (kMaj.t[static_cast<unsigned char>(l.p[i])] != primera) continue;
        if (l.n - i < key.size() || !IgualsSenseCas(std::string_view(l.p + i, key.size()), key)) continue;
        size_t j = i + key.size();
        while (j < l.n && l.p[j] == ' ') ++j;
        if (j == l.n || l.p[j] != '=') continue;
      }
    }
    const Interpretacio it = Interpretar(l);
    if (it.tipus == Tipus::Capcalera) {
      if (dins) break;
      dins = IgualsSenseCas(it.nom, sec);
    } else if (dins && it.tipus == Tipus::Clau && IgualsSenseCas(it.nom, key)) {
      valor.assign(it.valor);
      break;
    }
  }
  if (valor.size() >= 2 && valor.front() == '"' && valor.back() == '"') valor = valor.substr(1, valor.size() - 2);
  return valor;
}

}  // namespace

struct IniObert::Estat {
  explicit Estat(const std::string& fitxer) : f(plat::ObrirLecturaCami(fitxer)), in(f) {}
  plat::FitxerObert f;
  Lector in;
  bool usat = false;
};

IniObert::IniObert(const std::string& fitxer) : e_(std::make_unique<Estat>(fitxer)) {}
IniObert::~IniObert() = default;

std::string IniObert::Valor(const std::string& seccio, const std::string& clau) {
  if (!e_->f) return "";
  // Each search starts again at the top, as a call of its own would; a small file is
  // still in the buffer then.
  if (e_->usat && !e_->in.Situar(0)) return "";
  e_->usat = true;
  return BuscarValor(e_->in, Retalla(seccio), Retalla(clau));
}

std::string LlegirIni(const std::string& fitxer, const std::string& seccio, const std::string& clau) {
  return IniObert(fitxer).Valor(seccio, clau);
}

std::vector<std::string> LlegirIniVaris(const std::string& fitxer, const std::vector<ClauIni>& claus) {
  std::vector<std::string> valors;
  IniObert ini(fitxer);
  for (const ClauIni& c : claus) valors.push_back(ini.Valor(c.seccio, c.clau));
  return valors;
}

void EscriureIni(const std::string& fitxer, const std::string& seccio, const std::string& clau,
                 const std::string& valor) {
  const std::string_view sec = Retalla(seccio), key = Retalla(clau);
  if (sec.empty() || key.empty()) return;  // nothing sensible to write
  if (seccio.find_first_of("\r\n") != std::string::npos || clau.find_first_of("\r\n") != std::string::npos) return;
  // A line break inside a value would smuggle extra lines into the file.
  const std::string net = valor.substr(0, valor.find_first_of("\r\n"));
  Reemplacar(plat::CamiHost(fitxer), true, [&](plat::FitxerObert& original, plat::FitxerObert& copia) {
    return Reescriure(original, copia, sec, key, net, seccio, clau);
  });
}

void TreureSeccioBuidaIni(const std::string& fitxer, const std::string& seccio) {
  const std::string_view sec = Retalla(seccio);
  if (sec.empty()) return;
  Reemplacar(plat::CamiHost(fitxer), false, [&](plat::FitxerObert& original, plat::FitxerObert& copia) {
    return TreureSeccioBuida(original, copia, sec);
  });
}
