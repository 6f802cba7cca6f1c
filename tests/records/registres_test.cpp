#include "records/registres.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "console/finestres.h"
#include "platform/consola.h"
#include "records/gestor_memoria.h"
#include "session/sessio.h"
#include "util/entorn_prova.h"

namespace {

constexpr int16_t kNum = 7;

// Record: code (6 bytes, key 0), amount (2-byte binary) + town (4 bytes, alternate
// collation) as key 1, then 8 bytes of data.
std::string Registre(const std::string& codi, uint16_t import, const std::string& poble, const std::string& resta) {
  std::string r = codi;
  r.resize(6, ' ');
  r += static_cast<char>(import & 0xFF);
  r += static_cast<char>(import >> 8);
  std::string p = poble;
  p.resize(4, ' ');
  r += p;
  std::string q = resta;
  q.resize(8, ' ');
  return r + q;
}

class Registres : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciarRegistres();
    ReiniciarSessio();
    EstatSessio.DirTmp = feina_.Programa();
    ReiniciarFinestres();
    plat::FixarConsola(&consola_);
    FitxerMemoria f;
    f.longRegistre = 20;
    f.claus = {{{0, 6, 0}}, {{6, 2, 4}, {8, 4, 32}}};
    // Alternate collation: small letters sort with capitals.
    f.taulaAlternativa.resize(256);
    for (int i = 0; i < 256; ++i) f.taulaAlternativa[i] = static_cast<char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    f.registres[100] = Registre("ABC001", 0x1234, "vic", "u");
    f.registres[200] = Registre("ABC002", 0x0200, "Olot", "dos");
    f.registres[300] = Registre("ABD001", 0x0100, "reus", "tres");
    f.registres[400] = Registre("XYZ999", 0x0100, "Alp", "quatre");
    id_ = gestor_.AfegirFitxer(f);
    FixarGestorRegistres([this](int16_t op, unsigned char* b, char* d, int32_t& ld, char* c, int16_t lc, int16_t nc) {
      return gestor_(op, b, d, ld, c, lc, nc);
    });
    FixarEsperaBloqueig([this](int64_t ms) {
      esperes_.push_back(ms);
      pantallesEnEspera_.push_back(Pantalla());
    });
    std::memset(reg_, '.', sizeof reg_);
  }
  void TearDown() override {
    ReiniciarRegistres();
    ReiniciarFinestres();
    plat::FixarConsola(nullptr);
    ReiniciarSessio();
  }
  int16_t Registrar(int16_t mode = 0, int32_t longitud = 20) {
    const int16_t s = RegistrarFitxer(kNum, reg_, longitud, 0, std::string(6, ' '), mode);
    gestor_.Obrir(TaulaFitxers[s].BlocPosicio, id_);
    return s;
  }
  std::string Reg(size_t n = 20) const { return std::string(reg_, n); }
  // The screen as CP850 rows.
  std::string Pantalla() const {
    std::string r;
    for (int f = 0; f < consola_.Alcada(); ++f) r += consola_.Fila(f) + "\n";
    return r;
  }

  CarpetaTemporal feina_;
  plat::ConsolaVirtual consola_;
  GestorMemoria gestor_;
  int id_ = 0;
  char reg_[32];
  std::vector<int64_t> esperes_;
  std::vector<std::string> pantallesEnEspera_;
};

TEST_F(Registres, SlotsFillFromTheTopAndNumberZeroIsNeverAFile) {
  EXPECT_EQ(FitxerSlot(kNum), -40);
  EXPECT_EQ(Registrar(), 40);
  EXPECT_EQ(FitxerSlot(kNum), 40);
  EXPECT_EQ(FitxerSlot(8), -39);
  // A free slot holds number 0; that must not pass for an open file.
  EXPECT_EQ(FitxerSlot(0), -39);
  int16_t estat = 0;
  FitxerSalta(0, 1, estat);
  EXPECT_EQ(estat, kEstatNoObert);
  EXPECT_EQ(RegistrarFitxer(kNum, reg_, 20, 0, "", 0), 0);  // already there
  for (int16_t n = 1; n <= 39; ++n) EXPECT_GT(RegistrarFitxer(static_cast<int16_t>(100 + n), reg_, 20, 0, "", 0), 0);
  EXPECT_EQ(FitxerSlot(99), 0);
  const int16_t s120 = FitxerSlot(120);
  AlliberarFitxer(120);
  EXPECT_EQ(FitxerSlot(99), -s120);
}

TEST_F(Registres, UnregisteredNumbersReportThreeAndChangeNothing) {
  int16_t estat = 0;
  FitxerModes(5, "+A", estat);
  EXPECT_EQ(estat, 3);
  EXPECT_EQ(PilaModes, "");
  estat = 0;
  FitxerCerca(5, 0, "ABC", 1, estat);
  EXPECT_EQ(estat, 3);
  estat = 0;
  FitxerSalta(5, 1, estat);
  EXPECT_EQ(estat, 3);
  EXPECT_EQ(FitxerPosicio(5, 0), 0);
  EXPECT_EQ(FitxerPosicio(5, 100), 3);
  EXPECT_EQ(FitxerClau(5), "");
  EXPECT_EQ(ClauOrdenable("\x34\x12", 5), "\x34\x12");
  int32_t lr = 9, lc = 9;
  FitxerMides(5, 0, lr, lc);
  EXPECT_EQ(lr, 0);
  EXPECT_EQ(lc, 0);
  EXPECT_TRUE(gestor_.crides.empty());
}

TEST_F(Registres, ModesNestAndRestoreInReverseOrder) {
  const int16_t s = Registrar(1);
  int16_t estat = 77;
  FitxerModes(kNum, "+d", estat);
  EXPECT_EQ(estat, 77);
  EXPECT_EQ(TaulaFitxers[s].ModeBloqueig, 0);
  FitxerModes(kNum, "+b", estat);
  EXPECT_EQ(TaulaFitxers[s].ModeBloqueig, 2);
  FitxerModes(kNum, "-", estat);
  EXPECT_EQ(TaulaFitxers[s].ModeBloqueig, 0);
  FitxerModes(kNum, "-", estat);
  EXPECT_EQ(TaulaFitxers[s].ModeBloqueig, 1);
  FitxerModes(kNum, "-", estat);  // nothing saved for this slot
  EXPECT_EQ(TaulaFitxers[s].ModeBloqueig, 1);
  // Another slot's entries are left alone.
  char altre[20];
  const int16_t s2 = RegistrarFitxer(9, altre, 20, 0, "", 2);
  FitxerModes(9, "+A", estat);
  FitxerModes(kNum, "+xyzB-", estat);
  EXPECT_EQ(TaulaFitxers[s].ModeBloqueig, 1);
  EXPECT_EQ(PilaModes, std::string({static_cast<char>(s2), 2}));
  FitxerModes(9, "-", estat);
  EXPECT_EQ(TaulaFitxers[s2].ModeBloqueig, 2);
  EXPECT_EQ(PilaModes, "");
}

TEST_F(Registres, SizesFromStat) {
  Registrar();
  int32_t lr = 0, lc = 0;
  FitxerMides(kNum, 0, lr, lc);
  EXPECT_EQ(lr, 20);
  EXPECT_EQ(lc, 6);
  FitxerMides(kNum, 1, lr, lc);
  EXPECT_EQ(lc, 6);  // two segments: 2 + 4
  FitxerMides(kNum, 2, lr, lc);
  EXPECT_EQ(lr, 20);
  EXPECT_EQ(lc, 0);
  ASSERT_GE(gestor_.crides.size(), 2u);
  EXPECT_EQ(gestor_.crides[0].operacio, 15);
  EXPECT_EQ(gestor_.crides[0].longClau, 255);
}

TEST_F(Registres, SearchesPadTheKeyAndUseTheirOperation) {
  const int16_t s = Registrar();
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "ABC002", 0, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(Reg(), Registre("ABC002", 0x0200, "Olot", "dos"));
  EXPECT_EQ(gestor_.crides.back().operacio, 5);
  EXPECT_EQ(gestor_.crides.back().clau.substr(6, 3), "   ");
  // Above: first record whose key begins with the value.
  FitxerCerca(kNum, 0, "ABD", 1, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(Reg(6), "ABD001");
  EXPECT_EQ(gestor_.crides.back().operacio, 9);
  EXPECT_EQ(gestor_.crides.back().longClau, 6);
  EXPECT_EQ(gestor_.crides.back().clau.substr(0, 10), std::string("ABD\0\0\0\0\0\0\0", 10));
  EXPECT_EQ(TaulaFitxers[s].ValorClau, "ABD001");
  // Below: the zero fill finds the last record before every key beginning with the value.
  FitxerCerca(kNum, 0, "ABD", -1, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(Reg(6), "ABC002");
  EXPECT_EQ(gestor_.crides.back().operacio, 11);
  EXPECT_EQ(gestor_.crides.back().clau.substr(6, 4), "\xFF\xFF\xFF\xFF");
  FitxerCerca(kNum, 0, "ZZZ", 1, estat);
  EXPECT_EQ(estat, 9);
  FitxerCerca(kNum, 0, "NOHIES", 0, estat);
  EXPECT_EQ(estat, 4);
  FitxerCerca(kNum, 5, "ABC", 0, estat);
  EXPECT_EQ(estat, kEstatClauInexistent);
  EXPECT_EQ(TaulaFitxers[s].NumClau, 0);
}

TEST_F(Registres, ShortRecordBufferCountsAsSuccess) {
  Registrar(0, 10);
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "XYZ999", 0, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(Reg(12), Registre("XYZ999", 0x0100, "Alp", "").substr(0, 10) + "..");
}

TEST_F(Registres, MovesMakeDirectCallsAndOnlyTheLastThroughTheLockPath) {
  const int16_t s = Registrar(2);
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "ABC001", 0, estat);
  ASSERT_EQ(estat, 0);
  gestor_.crides.clear();
  FitxerSalta(kNum, 1, estat);
  EXPECT_EQ(estat, 0);
  ASSERT_EQ(gestor_.crides.size(), 1u);
  EXPECT_EQ(gestor_.crides[0].operacio, 206);
  EXPECT_EQ(gestor_.crides[0].longDades, 20);
  EXPECT_EQ(Reg(6), "ABC002");

  FitxerSalta(kNum, -1, estat);
  EXPECT_EQ(Reg(6), "ABC001");
  EXPECT_EQ(gestor_.crides.back().operacio, 207);

  gestor_.crides.clear();
  FitxerSalta(kNum, 3, estat);
  EXPECT_EQ(estat, 0);
  ASSERT_EQ(gestor_.crides.size(), 3u);
  EXPECT_EQ(gestor_.crides[0].operacio, 6);
  EXPECT_EQ(gestor_.crides[0].longDades, 1536);
  EXPECT_EQ(gestor_.crides[0].longClau, 0);
  EXPECT_EQ(gestor_.crides[1].longClau, 6);
  EXPECT_EQ(gestor_.crides[2].operacio, 206);
  EXPECT_EQ(Reg(6), "XYZ999");
  EXPECT_EQ(TaulaFitxers[s].ValorClau, "XYZ999");

  // Stops at the first failure: past the end after one direct call.
  FitxerCerca(kNum, 0, "ABD001", 0, estat);
  gestor_.crides.clear();
  FitxerSalta(kNum, 5, estat);
  EXPECT_EQ(estat, 9);
  EXPECT_EQ(gestor_.crides.size(), 2u);

  gestor_.crides.clear();
  estat = 55;
  FitxerSalta(kNum, 0, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_TRUE(gestor_.crides.empty());
}

TEST_F(Registres, DirectMovesKeepBinaryKeysWithZeroBytes) {
  const int16_t s = Registrar();
  int16_t estat = -1;
  // Key 1 starts with a little-endian amount: 0x0100 holds a zero byte first.
  FitxerCerca(kNum, 1, std::string("\x00\x01", 2), 1, estat);
  ASSERT_EQ(estat, 0);
  FitxerSalta(kNum, 2, estat);
  ASSERT_EQ(estat, 0);
  EXPECT_EQ(TaulaFitxers[s].ValorClau.size(), 6u);
  EXPECT_EQ(TaulaFitxers[s].ValorClau, gestor_.Clau(gestor_.Fitxer(id_), 1, Reg()));
}

TEST_F(Registres, PositionsReadBackTheSameRecord) {
  Registrar(1);
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "ABD001", 0, estat);
  const int32_t p = FitxerPosicio(kNum, 0);
  EXPECT_EQ(p, 300);
  EXPECT_EQ(gestor_.crides.back().operacio, 22);
  FitxerCerca(kNum, 0, "ABC001", 0, estat);
  std::memset(reg_, '.', sizeof reg_);
  EXPECT_EQ(FitxerPosicio(kNum, p), 0);
  EXPECT_EQ(gestor_.crides.back().operacio, 23);  // never biased, even in mode "A"
  EXPECT_EQ(Reg(), Registre("ABD001", 0x0100, "reus", "tres"));
  EXPECT_EQ(FitxerPosicio(kNum, 12345), 43);
  // Negative positions travel as their four bytes.
  EXPECT_EQ(FitxerPosicio(kNum, -1), 43);
}

TEST_F(Registres, SortableKeysFollowTheIndexOrder) {
  Registrar();
  EXPECT_EQ(ClauOrdenable("\x34\x12", kNum), "\x34\x12");  // key 0 is a plain string
  TaulaFitxers[FitxerSlot(kNum)].NumClau = 1;
  EXPECT_EQ(ClauOrdenable("\x34\x12", kNum), "\x12\x34");
  EXPECT_EQ(ClauOrdenable("\x34", kNum), std::string("\x00\x34", 2));
  EXPECT_EQ(ClauOrdenable(std::string("\x00\x01", 2) + "reus", kNum), std::string("\x01\x00", 2) + "REUS");
  // Every pair of records compares as the index orders them.
  const FitxerMemoria& f = gestor_.Fitxer(id_);
  for (const auto& [pa, a] : f.registres)
    for (const auto& [pb, b] : f.registres) {
      const std::string ka = ClauOrdenable(gestor_.Clau(f, 1, a), kNum);
      const std::string kb = ClauOrdenable(gestor_.Clau(f, 1, b), kNum);
      EXPECT_EQ(ka < kb, gestor_.Menor(f, 1, a, b)) << pa << " " << pb;
    }
  int16_t estat = -1;
  FitxerCerca(kNum, 1, std::string("\x00\x02", 2), 1, estat);
  ASSERT_EQ(estat, 0);
  EXPECT_EQ(FitxerClau(kNum), std::string("\x02\x00", 2) + "OLOT");
}

TEST_F(Registres, LockedRecordIsAwaitedWithOneMessage) {
  EstatSessio.Idioma = "SPA";
  Registrar(1);
  gestor_.Fitxer(id_).bloquejats[200] = 3;
  const std::string abans = Pantalla();
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "ABC002", 0, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(Reg(6), "ABC002");
  ASSERT_EQ(esperes_.size(), 3u);
  for (int64_t ms : esperes_) {
    EXPECT_GE(ms, 1);
    EXPECT_LE(ms, 10001);
  }
  EXPECT_EQ(gestor_.crides.size(), 2u + 4u);  // two Stat calls, four attempts
  EXPECT_EQ(gestor_.crides.back().operacio, 205);
  // Not there before the first retry; there from the second attempt on.
  EXPECT_EQ(pantallesEnEspera_[0].find("FICHERO BLOQUEADO"), std::string::npos);
  EXPECT_NE(pantallesEnEspera_[1].find("FICHERO BLOQUEADO. ESPERE UN MOMENTO."), std::string::npos);
  EXPECT_NE(pantallesEnEspera_[2].find("FICHERO BLOQUEADO"), std::string::npos);
  EXPECT_EQ(FinestraActual.Nivell, 0);
  EXPECT_EQ(Pantalla(), abans);
}

TEST_F(Registres, LockWaitLengthComesFromTheRandomFraction) {
  std::vector<double> fraccions = {0.0, 0.99995, 0.5};
  size_t i = 0;
  FixarEsperaBloqueig([this](int64_t ms) { esperes_.push_back(ms); }, [&] { return fraccions[i++ % 3]; });
  Registrar(1);
  gestor_.Fitxer(id_).fitxerBloquejat = 3;
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "ABC001", 0, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(esperes_, (std::vector<int64_t>{1, 10001, 5001}));
}

TEST_F(Registres, OtherModesReturnTheLockAtOnce) {
  Registrar(2);
  gestor_.Fitxer(id_).bloquejats[100] = -1;
  int16_t estat = -1;
  FitxerCerca(kNum, 0, "ABC001", 0, estat);
  EXPECT_EQ(estat, 84);
  EXPECT_TRUE(esperes_.empty());
  EXPECT_EQ(FinestraActual.Nivell, 0);
  // Without locking the record reads fine.
  FitxerModes(kNum, "D", estat);
  FitxerCerca(kNum, 0, "ABC001", 0, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_EQ(gestor_.crides.back().operacio, 5);
}

TEST_F(Registres, MessagesInEveryLanguage) {
  const std::pair<const char*, const char*> casos[] = {
      {"   ", "FITXER BLOQUEJAT. ESPEREU UN MOMENT."},
      {"GLG", "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO."},
      {"OCI", "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT."},
  };
  Registrar(1);
  for (const auto& [idioma, text] : casos) {
    EstatSessio.Idioma = idioma;
    pantallesEnEspera_.clear();
    gestor_.Fitxer(id_).bloquejats[100] = 2;
    int16_t estat = -1;
    FitxerCerca(kNum, 0, "ABC001", 0, estat);
    ASSERT_EQ(pantallesEnEspera_.size(), 2u);
    EXPECT_NE(pantallesEnEspera_[1].find(text), std::string::npos) << idioma;
  }
}

TEST_F(Registres, MisbehavingManagerCannotOverrunBuffers) {
  const int16_t s = Registrar(0, 20);
  FixarGestorRegistres([](int16_t op, unsigned char*, char* d, int32_t& ld, char* c, int16_t, int16_t) -> int16_t {
    if (op == 15) {
      std::memset(d, 0xFF, 1536);  // absurd sizes and endless segments
      ld = 1536;
      return 0;
    }
    std::memset(d, 'Z', 1536);
    std::memset(c, 'K', 256);
    ld = op == 6 ? -5 : 1 << 30;
    return 0;
  });
  int32_t lr = 0, lc = 0;
  FitxerMides(kNum, 0, lr, lc);
  EXPECT_EQ(lr, 0xFFFF);
  int16_t estat = -1;
  TaulaFitxers[s].NumClau = 0;
  FitxerCerca(kNum, 0, "A", 1, estat);
  EXPECT_EQ(estat, 0);
  EXPECT_LE(TaulaFitxers[s].ValorClau.size(), 255u);
  EXPECT_EQ(Reg(21), std::string(20, 'Z') + ".");
  FitxerSalta(kNum, 3, estat);
  EXPECT_EQ(Reg(21), std::string(20, 'Z') + ".");
  EXPECT_NE(ClauOrdenable("AB", kNum), "");
  // No record manager at all: a status, not a crash.
  FixarGestorRegistres(nullptr);
  FitxerCerca(kNum, 0, "A", 1, estat);
  EXPECT_EQ(estat, kEstatClauInexistent);
  FitxerSalta(kNum, 1, estat);
  EXPECT_EQ(estat, kEstatSenseGestor);
}

}  // namespace
