// Files, listings, long and short names and drives on the Windows host.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "platform/cp850.h"
#include "platform/fitxers.h"
#include "platform/windows/text.h"
#include "util/entorn_prova.h"

namespace {

const plat::EntradaDirectori* Trobar(const std::vector<plat::EntradaDirectori>& v, const std::string& nom) {
  auto it = std::find_if(v.begin(), v.end(), [&](const plat::EntradaDirectori& e) { return e.nom == nom; });
  return it == v.end() ? nullptr : &*it;
}

TEST(FitxersWindows, ListingsAndInfoCarryTheRealAttributes) {
  CarpetaTemporal dir;
  struct Cas {
    const char* nom;
    DWORD posar;
    uint16_t esperat;
  };
  const Cas casos[] = {
      {"NORMAL.TXT", FILE_ATTRIBUTE_ARCHIVE, plat::kArxiu},
      {"LECTURA.TXT", FILE_ATTRIBUTE_READONLY, plat::kNomesLectura},
      {"OCULT.TXT", FILE_ATTRIBUTE_HIDDEN, plat::kOcult},
      {"SISTEMA.SYS", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN, plat::kSistema | plat::kOcult},
      {"TOTS.DAT", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN,
       plat::kNomesLectura | plat::kArxiu | plat::kOcult},
  };
  for (const Cas& c : casos) {
    dir.Escriure(c.nom, "x");
    ASSERT_TRUE(SetFileAttributesW(plat::Ample(dir.Host() + c.nom).c_str(), c.posar)) << c.nom;
  }
  ASSERT_TRUE(CreateDirectoryW(plat::Ample(dir.Host() + "SUB").c_str(), nullptr));
  std::vector<plat::EntradaDirectori> v;
  ASSERT_TRUE(plat::LlegirDirectori(dir.Programa(), v));
  EXPECT_EQ(v.size(), std::size(casos) + 1);
  for (const Cas& c : casos) {
    const auto* e = Trobar(v, c.nom);
    ASSERT_NE(e, nullptr) << c.nom;
    // wine keeps the archive bit once a file has it; the others are exact.
    const uint16_t info = plat::Info(dir.Programa() + c.nom).atributs;
    for (const uint16_t a : {e->atributs, info}) {
      EXPECT_EQ(a & ~plat::kArxiu, c.esperat & ~plat::kArxiu) << c.nom;
      if (c.esperat & plat::kArxiu) {
        EXPECT_TRUE(a & plat::kArxiu) << c.nom;
      }
    }
  }
  ASSERT_NE(Trobar(v, "SUB"), nullptr);
  EXPECT_TRUE(Trobar(v, "SUB")->atributs & plat::kDirectori);
  for (const Cas& c : casos) SetFileAttributesW(plat::Ample(dir.Host() + c.nom).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FitxersWindows, ListingsComeInNameOrderAndKeepAccentedNamesInCp850) {
  CarpetaTemporal dir;
  // "Caf\x82" is "Café" in code page 850; the file is made with the UTF-16 name.
  ASSERT_TRUE(plat::EscriureFitxer(dir.Programa() + "Caf\x82.txt", "abc"));
  dir.Escriure("beta.txt", "");
  dir.Escriure("ALFA.TXT", "");
  const HANDLE h = CreateFileW(plat::Ample(dir.Host()).append(L"Caf\u00e9.txt").c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  std::vector<plat::EntradaDirectori> v;
  ASSERT_TRUE(plat::LlegirDirectori(dir.Programa(), v));
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].nom, "ALFA.TXT");
  EXPECT_EQ(v[1].nom, "beta.txt");
  EXPECT_EQ(v[2].nom, "Caf\x82.txt");
  EXPECT_EQ(plat::LlegirFitxer(dir.Programa() + "CAF\x90.TXT"), std::optional<std::string>("abc"));
}

TEST(FitxersWindows, FileTimesAreUtc) {
  CarpetaTemporal dir;
  dir.Escriure("T.TXT", "x");
  // 2001-02-03 04:05:06 UTC.
  const int64_t segons = 981173106;
  const uint64_t v = static_cast<uint64_t>(segons) * 10000000ULL + 116444736000000000ULL;
  FILETIME ft{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
  const HANDLE h = CreateFileW(plat::Ample(dir.Host() + "T.TXT").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);
  const plat::InfoFitxer i = plat::Info(dir.Programa() + "T.TXT");
  EXPECT_TRUE(i.existeix);
  EXPECT_EQ(i.modificat, segons);
  EXPECT_EQ(i.mida, 1u);
}

TEST(FitxersWindows, LongAndShortFormsComeFromTheFileSystem) {
  CarpetaTemporal dir;
  dir.Escriure("Carpeta de prova llarga/Un fitxer amb nom llarg.text", "x");
  const std::string llarg = dir.Programa() + "Carpeta de prova llarga\\Un fitxer amb nom llarg.text";
  const std::string curt = plat::FormaCurta(llarg);
  ASSERT_FALSE(curt.empty());
  EXPECT_EQ(curt.find(' ', dir.Programa().size()), std::string::npos) << curt;
  // Either form leads back to the on-disk spelling, whatever capitals were typed.
  struct Cas {
    std::string entrada;
  };
  const Cas casos[] = {{llarg}, {curt}, {dir.Programa() + "CARPETA DE PROVA LLARGA\\UN FITXER AMB NOM LLARG.TEXT"}};
  for (const Cas& c : casos)
    EXPECT_EQ(plat::FormaLlarga(c.entrada).substr(dir.Programa().size()), llarg.substr(dir.Programa().size()))
        << c.entrada;
  EXPECT_EQ(plat::FormaLlarga(dir.Programa() + "no-hi-es"), "");
  EXPECT_EQ(plat::FormaCurta(dir.Programa() + "no-hi-es"), "");
}

TEST(FitxersWindows, DrivesAreTheSystemsWithTheirTypes) {
  const std::string unitats = plat::UnitatsMapejades();
  // wine maps C: to its prefix and Z: to the root of the host.
  ASSERT_NE(unitats.find('C'), std::string::npos);
  EXPECT_EQ(plat::CarpetaUnitat('c'), "C:\\");
  EXPECT_EQ(plat::DescriureUnitat('C').tipus, plat::TipusDisc::Fix);
  char absent = 0;
  for (char l = 'Y'; l > 'D' && !absent; --l)
    if (unitats.find(l) == std::string::npos) absent = l;
  ASSERT_NE(absent, 0);
  EXPECT_EQ(plat::CarpetaUnitat(absent), "");
  EXPECT_EQ(plat::DescriureUnitat(absent).tipus, plat::TipusDisc::Desconegut);
  EXPECT_EQ(plat::DirectoriActualUnitat(absent), "");
}

TEST(FitxersWindows, CurrentDirectoryOfTheProcessAndOfItsDrive) {
  CarpetaTemporal dir;
  const std::string abans = plat::DirectoriActual();
  ASSERT_TRUE(plat::CanviarDirectori(dir.Programa()));
  std::string esperat = dir.Programa();
  esperat.pop_back();
  EXPECT_EQ(plat::FormaLlarga(plat::DirectoriActual()), plat::FormaLlarga(esperat));
  EXPECT_EQ(plat::DirectoriActualUnitat(esperat[0]), plat::DirectoriActual());
  EXPECT_FALSE(plat::CanviarDirectori(dir.Programa() + "no-hi-es"));
  ASSERT_TRUE(plat::CanviarDirectori(abans));
}

TEST(FitxersWindows, FileOperationsReportFailureInsteadOfActing) {
  CarpetaTemporal dir;
  dir.Escriure("SUB/A.TXT", "a");
  dir.Escriure("B.TXT", "b");
  const std::string p = dir.Programa();
  EXPECT_EQ(plat::Esborrar(p + "SUB"), EISDIR);
  EXPECT_NE(plat::EsborrarDirectori(p + "SUB"), 0);  // not empty
  EXPECT_EQ(plat::Esborrar(p + "no-hi-es"), ENOENT);
  EXPECT_EQ(plat::Reanomenar(p + "B.TXT", p + "SUB\\A.TXT"), 0);
  EXPECT_EQ(dir.Llegir("SUB/A.TXT"), "b");
  EXPECT_EQ(plat::Esborrar(p + "SUB\\A.TXT"), 0);
  EXPECT_EQ(plat::EsborrarDirectori(p + "SUB"), 0);
  EXPECT_TRUE(plat::CrearDirectori(p + "NOU"));
  EXPECT_FALSE(plat::CrearDirectori(p + "NOU"));
  EXPECT_EQ(plat::LlegirFitxer(p + "NOU"), std::nullopt);
}

}  // namespace
