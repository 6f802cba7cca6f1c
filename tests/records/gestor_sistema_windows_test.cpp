// The record layer on the system's record manager DLL (a stand-in built with the tests).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "records/registres.h"

namespace {

class GestorSistema : public ::testing::Test {
 protected:
  void SetUp() override { ReiniciarRegistres(); }
  void TearDown() override { ReiniciarRegistres(); }
};

TEST_F(GestorSistema, WithoutTheLibraryTheManagerStaysUnset) {
  EXPECT_FALSE(UsarGestorSistema("C:\\no-such-folder\\WBTRV32.DLL"));
  char reg[10];
  std::memset(reg, '.', sizeof reg);
  ASSERT_GT(RegistrarFitxer(3, reg, 10, 0, std::string(4, ' '), 0), 0);
  int16_t estat = 0;
  FitxerCerca(3, 0, "ALFA", 0, estat);
  EXPECT_NE(estat, 0);
  EXPECT_EQ(std::string(reg, 10), std::string(10, '.'));
}

TEST_F(GestorSistema, SearchesGoThroughTheLibrarysEntryPoint) {
  ASSERT_TRUE(UsarGestorSistema(KEV_DLL_PROVA));
  HMODULE m = GetModuleHandleA(KEV_DLL_PROVA);
  ASSERT_NE(m, nullptr);
  auto obrir = reinterpret_cast<void (*)(unsigned char*)>(reinterpret_cast<void*>(GetProcAddress(m, "ProvaObrir")));
  auto crides = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(m, "ProvaCrides")));
  ASSERT_TRUE(obrir && crides);

  char reg[10];
  std::memset(reg, '.', sizeof reg);
  const int16_t s = RegistrarFitxer(3, reg, 10, 0, std::string(4, ' '), 0);
  ASSERT_GT(s, 0);
  obrir(TaulaFitxers[s].BlocPosicio);
  const int abans = crides();

  struct Cas {
    const char* valor;
    int direccio;
    const char* registre;
  };
  const Cas casos[] = {{"BETA", 0, "BETAsegon "}, {"ALFA", 0, "ALFAprimer"}, {"AL", 1, "ALFAprimer"}};
  for (const Cas& c : casos) {
    int16_t estat = -1;
    FitxerCerca(3, 0, c.valor, c.direccio, estat);
    EXPECT_EQ(estat, 0) << c.valor;
    EXPECT_EQ(std::string(reg, 10), c.registre) << c.valor;
  }
  EXPECT_GT(crides(), abans);
}

}  // namespace
