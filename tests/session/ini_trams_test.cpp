// Rewrites of large files: lines outside the wanted section are passed on in runs, so the
// edges of those runs (line ends, block boundaries, look-alike headers, the file's end) are
// checked byte for byte, and random files against a plain line-by-line model of the rules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "session/ini.h"
#include "util/entorn_prova.h"

namespace {

class TramsIni : public ::testing::Test {
 protected:
  void SetUp() override { IniSincronitzarDisc = false; }
  void TearDown() override { IniSincronitzarDisc = true; }
  std::string Reescriure(const std::string& dades, const std::string& s, const std::string& k, const std::string& v) {
    dir.Escriure("f.ini", dades);
    EscriureIni(f, s, k, v);
    return dir.Llegir("f.ini");
  }
  CarpetaTemporal dir;
  std::string f = dir.Programa() + "f.ini";
};

// Equal bytes; on a mismatch names the first differing offset instead of printing files
// hundreds of kilobytes long.
::testing::AssertionResult Iguals(const char*, const char*, const std::string& obtingut, const std::string& esperat) {
  if (obtingut == esperat) return ::testing::AssertionSuccess();
  size_t i = 0;
  while (i < obtingut.size() && i < esperat.size() && obtingut[i] == esperat[i]) ++i;
  const size_t d = i > 20 ? i - 20 : 0;
  return ::testing::AssertionFailure() << "sizes " << obtingut.size() << " and " << esperat.size()
                                       << ", first difference at " << i << ": got \"" << obtingut.substr(d, 60)
                                       << "\" expected \"" << esperat.substr(d, 60) << "\"";
}

// Lines of about 20 bytes ending in CR LF, n bytes in all (the last one padded).
std::string Farciment(size_t n) {
  std::string r;
  for (int i = 0; r.size() + 40 < n; ++i) r += "[S" + std::to_string(i % 7) + "]\r\nClau" + std::to_string(i) + "=v\r\n";
  r += std::string(n - r.size() - 2, 'p') + "\r\n";
  return r;
}

TEST_F(TramsIni, OddLineEndsInsideALongRunAreMadeCrLf) {
  const std::string a = Farciment(90000), b = Farciment(50000);
  for (const char* fi : {"\n", "\r", "\n\n", "\r\r"}) {
    const std::string salt = fi;
    const std::string crlf = salt.size() == 1 ? "\r\n" : "\r\n\r\n";
    EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + "x=1" + salt + b + "[A]\r\nx=1\r\n", "A", "x", "2"),
              a + "x=1" + crlf + b + "[A]\r\nx=2\r\n")
        << salt.size();
    // Right before the header, and with no header at all.
    EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + "x=1" + salt + "[A]\r\nx=1\r\n", "A", "x", "2"), a + "x=1" + crlf + "[A]\r\nx=2\r\n");
    EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + "x=1" + salt + b, "A", "x", "2"), a + "x=1" + crlf + b + "[A]\r\nx=2\r\n");
  }
}

TEST_F(TramsIni, WantedHeaderAtEveryOffsetAroundABlockBoundary) {
  // The header and its line end land on both sides of the read blocks in turn.
  for (size_t n = 65500; n < 65560; n += 3) {
    const std::string a = Farciment(n);
    ASSERT_PRED_FORMAT2(Iguals, Reescriure(a + "[A]\r\nx=1\r\n" + a, "A", "x", "2"), a + "[A]\r\nx=2\r\n" + a) << n;
    ASSERT_PRED_FORMAT2(Iguals, Reescriure(a + "[A]\r\n" + a, "A", "k", "v"), a + "[A]\r\nk=v\r\n" + a) << n;
  }
}

TEST_F(TramsIni, RunEndingAtTheEndOfTheFile) {
  const std::string a = Farciment(150000);
  // No line end after the last line.
  EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + "fi=1", "A", "x", "1"), a + "fi=1\r\n[A]\r\nx=1\r\n");
  EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + "fi=1", "S3", "x", "1"), Reescriure(a + "fi=1\r\n", "S3", "x", "1"));
  // Trailing spacers, some of them far back, still follow the new section.
  std::string espais;
  for (int i = 0; i < 5000; ++i) espais += i % 3 ? "\r\n" : "  ; nota [A]\r\n";
  EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + espais, "A", "x", "1"), a + "[A]\r\nx=1\r\n" + espais);
  EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + espais + "  ", "A", "x", "1"), a + "[A]\r\nx=1\r\n" + espais + "  \r\n");
  // Removing inserts nothing: the file is passed on as it is.
  EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + espais, "A", "x", ""), a + espais);
  // Once the key is written the spacers after the section are only copied.
  EXPECT_PRED_FORMAT2(Iguals, Reescriure("[A]\r\n" + a + espais, "A", "x", "1"), "[A]\r\nx=1\r\n" + a + espais);
}

TEST_F(TramsIni, SectionNameOutsideAHeaderDoesNotEnterIt) {
  const std::string a = Farciment(70000);
  const std::string falsos = "x=[A]\r\n;[A]\r\n  ; [A]\r\nb[A]\r\nv = [A] x=1\r\n\t[A]\r\n";
  EXPECT_PRED_FORMAT2(Iguals, Reescriure("[X]\r\n" + a + falsos + a + "[A]\r\nx=1\r\n", "A", "x", "2"),
            "[X]\r\n" + a + falsos + a + "[A]\r\nx=2\r\n");
  // Never entered: a new section at the end.
  EXPECT_PRED_FORMAT2(Iguals, Reescriure("[X]\r\n" + falsos + a, "A", "x", "2"), "[X]\r\n" + falsos + a + "[A]\r\nx=2\r\n");
  // Headers that only start like the name, and one indented after a run.
  EXPECT_PRED_FORMAT2(Iguals, Reescriure(a + "[AB]\r\nx=1\r\n[A B]\r\nx=1\r\n" + a + "   [ a ] ;c\r\nx=1\r\n", "A", "x", "2"),
            a + "[AB]\r\nx=1\r\n[A B]\r\nx=1\r\n" + a + "   [ a ] ;c\r\nx=2\r\n");
}

TEST_F(TramsIni, LaterSectionOfTheSameNameAfterALongRun) {
  const std::string a = Farciment(100000);
  EXPECT_PRED_FORMAT2(Iguals, Reescriure("[A]\r\nx=1\r\n" + a + "[A]\r\n  X =3 ;c\r\n" + a, "A", "x", "9"),
            "[A]\r\nx=9\r\n" + a + "[A]\r\n  X =9\r\n" + a);
  EXPECT_PRED_FORMAT2(Iguals, Reescriure("[A]\r\nx=1\r\n" + a + "[A]\r\n  X =3 ;c\r\n" + a, "A", "x", ""), "[A]\r\n" + a + "[A]\r\n" + a);
}

TEST_F(TramsIni, OverlongCommentRightBeforeALineIsWrittenOnce) {
  // A held-back spacer too long to keep in memory is read again from the file; the line
  // after it must be read from its own start, not from the middle of the comment.
  const std::string nota = ";" + std::string(70000, 'c') + "[B]";
  for (const std::string sec : {"A", "C"}) {
    const std::string abans = "[A]\r\nx=1\r\n" + nota + "\r\ny=2\r\n" + nota + "\n[B]\r\n";
    const std::string despres = sec == "A" ? "[A]\r\nx=1\r\n" + nota + "\r\ny=2\r\nz=3\r\n" + nota + "\r\n[B]\r\n"
                                           : "[A]\r\nx=1\r\n" + nota + "\r\ny=2\r\n" + nota + "\r\n[B]\r\n[C]\r\nz=3\r\n";
    const std::string r = Reescriure(abans, sec, "z", "3");
    EXPECT_TRUE(r == despres) << sec << ": " << r.size() << " bytes, expected " << despres.size();
  }
}

// ---------------------------------------------------------------------------------------
// The writing rules applied one line at a time, for lines shorter than the interpreted limit.
std::string Minus(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}
std::string Retallar(const std::string& s) {
  const size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? "" : s.substr(i, s.find_last_not_of(' ') - i + 1);
}

std::string Model(const std::string& dades, const std::string& seccio, const std::string& clau,
                  const std::string& valor) {
  std::vector<std::string> linies;
  for (size_t i = 0; i < dades.size();) {
    size_t j = dades.find_first_of("\r\n", i);
    if (j == std::string::npos) j = dades.size();
    linies.push_back(dades.substr(i, j - i));
    i = j + (j + 1 < dades.size() && dades[j] == '\r' && dades[j + 1] == '\n' ? 2 : 1);
  }
  const std::string sec = Minus(Retallar(seccio)), key = Minus(Retallar(clau));
  std::string out, retinguts;
  enum { Abans, Dins, Despres } estat = Abans;
  bool entrat = false, escrit = false;
  const std::string nova = clau + "=" + valor + "\r\n";
  for (const std::string& l : linies) {
    const std::string c = l.substr(0, l.find(';'));
    const std::string t = Retallar(c);
    if (t.empty()) {
      retinguts += l + "\r\n";
    } else if (t[0] == '[') {
      if (estat == Dins) {
        if (!escrit && !valor.empty()) out += nova;
        escrit = true;
        estat = Despres;
      } else if (Minus(Retallar(t.substr(1, t.find(']') - 1))) == sec) {
        estat = Dins;
        entrat = true;
      }
      out += retinguts + l + "\r\n";
      retinguts.clear();
    } else if (estat == Dins && c.find('=') != std::string::npos && Minus(Retallar(c.substr(0, c.find('=')))) == key) {
      escrit = true;
      if (!valor.empty()) {
        out += retinguts + c.substr(0, c.find('=') + 1) + valor + "\r\n";
        retinguts.clear();
      }
    } else {
      out += retinguts + l + "\r\n";
      retinguts.clear();
    }
  }
  if (!escrit && !valor.empty()) {
    if (!entrat) out += "[" + seccio + "]\r\n" + nova;
    else if (estat == Dins) out += nova;
  }
  return out + retinguts;
}

TEST_F(TramsIni, RandomLargeFilesMatchTheLineByLineRules) {
  std::mt19937 gen(20240611);
  const std::vector<std::string> trossos = {
      "[A]", " [ a ] ;c", "[B]", "[Altra]", "[AB]", "x=1", " X = 2 ;c", "y=[A]", ";[A]", "  ",    "",
      "; nota", "k=v", "a[A]", "linia sense igual", "Clau=valor llarg de la clau", "=buit", "[", "\x80\x87=\xA2"};
  for (int cas = 0; cas < 24; ++cas) {
    std::string dades;
    const int n = cas < 4 ? 40 : 6000 + static_cast<int>(gen() % 6000);
    const unsigned raresa = cas % 3 == 0 ? 2 : cas % 3 == 1 ? 50 : 100000;  // how often an LF or CR ends a line
    for (int i = 0; i < n; ++i) {
      // Mostly ordinary keys, so the section headers are far apart.
      const unsigned r = gen() % 40;
      dades += r < trossos.size() ? trossos[r] : "Clau" + std::to_string(i) + "=" + std::to_string(gen());
      const unsigned s = gen() % raresa;
      dades += s == 0 ? "\n" : s == 1 ? "\r" : "\r\n";
    }
    if (cas % 4 == 1) dades.resize(dades.size() - 1 - gen() % 3);
    if (cas % 4 == 2) dades += "\r\n  \r\n;fi\r\n";
    const std::string seccio = cas % 5 == 0 ? "Nova" : "A";
    const std::string clau = cas % 2 ? "x" : "nova";
    const std::string valor = cas % 6 == 3 ? "" : "val" + std::to_string(cas);
    ASSERT_PRED_FORMAT2(Iguals, Reescriure(dades, seccio, clau, valor), Model(dades, seccio, clau, valor)) << cas;
  }
}

}  // namespace
