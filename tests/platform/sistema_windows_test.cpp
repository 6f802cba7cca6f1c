// The Windows system layer: environment, process start, clipboard, the Insert toggle.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/sistema.h"
#include "platform/windows/text.h"
#include "util/entorn_prova.h"

namespace {

TEST(SistemaWindows, EnvironmentComesInCp850AndTermNamesTheTerminalFolder) {
  struct Cas {
    const wchar_t* valor;
    std::string esperat;
  };
  const Cas casos[] = {{L"C:\\KEV\\TERM01\\", "C:\\KEV\\TERM01\\"},
                       {L"Caf\u00e9 \u20ac", "Caf\x82 \xD5"},
                       {L"\u4e2d\u00e7", "\x87"}};  // no CP850 code: dropped
  for (const Cas& c : casos) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"KEVPROVA", c.valor));
    EXPECT_EQ(plat::Entorn("KEVPROVA"), c.esperat);
  }
  SetEnvironmentVariableW(L"KEVPROVA", nullptr);
  EXPECT_EQ(plat::Entorn("KEVPROVA"), "");
  EXPECT_EQ(plat::NomVariableTerminal(), "TERM");
  EXPECT_EQ(plat::CarpetaDocumentsHost(), "");
}

TEST(SistemaWindows, ProgramsStartFromAFolderWithASpaceAndAreWaitedFor) {
  CarpetaTemporal dir;
  const std::string carpeta = dir.Host() + "Programes de prova\\";
  ASSERT_TRUE(CreateDirectoryW(plat::Ample(carpeta).c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(plat::Ample(KEV_AJUDANT).c_str(), plat::Ample(carpeta + "ajudant.exe").c_str(), FALSE));
  struct Cas {
    std::string ordre;
    std::string marca;  // file the program leaves, "" when it must not start
  };
  const Cas casos[] = {
      {"\"" + carpeta + "ajudant.exe\" marca \"" + dir.Host() + "U.TXT\" u", "U.TXT"},
      // Unquoted: Windows tries the words one by one.
      {carpeta + "ajudant.exe marca " + dir.Host() + "D.TXT d", "D.TXT"},
      {carpeta + "AJUDANT marca " + dir.Host() + "T.TXT t", "T.TXT"},
      {dir.Host() + "no-hi-es.exe marca " + dir.Host() + "N.TXT n", ""},
  };
  for (const Cas& c : casos) {
    EXPECT_EQ(plat::ExecutarIEsperar(c.ordre), !c.marca.empty()) << c.ordre;
    // Waited for: the mark is there as soon as the call returns.
    if (!c.marca.empty()) {
      EXPECT_TRUE(dir.Existeix(c.marca)) << c.ordre;
    }
  }
}

TEST(SistemaWindows, ClipboardRoundTripInCp850) {
  const std::string textos[] = {"Assumpte: pressupost", "Caf\x82 \xD5 \x80\r\nsegona l\xA1nia", ""};
  for (const std::string& t : textos) {
    plat::CopiarPortaretalls(t);
    EXPECT_EQ(plat::LlegirPortaretalls(), t);
  }
  // What another program put there as UTF-16.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const wchar_t text[] = L"N\u00famero";
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  memcpy(GlobalLock(g), text, sizeof text);
  GlobalUnlock(g);
  SetClipboardData(CF_UNICODETEXT, g);
  CloseClipboard();
  EXPECT_EQ(plat::LlegirPortaretalls(), "N\xA3mero");
}

TEST(SistemaWindows, InsertModeIsTheToggleOfTheKeyboardState) {
  for (const bool inserir : {true, false, true}) {
    plat::FixarModeInsercio(inserir);
    BYTE estat[256];
    ASSERT_TRUE(GetKeyboardState(estat));
    EXPECT_EQ((estat[VK_INSERT] & 1) != 0, inserir);
    EXPECT_EQ(plat::ModeInsercio(), inserir);
  }
  // Another part of the program (or the console) flipping the table is seen.
  BYTE estat[256];
  GetKeyboardState(estat);
  estat[VK_INSERT] &= static_cast<BYTE>(~1);
  SetKeyboardState(estat);
  EXPECT_FALSE(plat::ModeInsercio());
  plat::ReiniciarSistema();
  EXPECT_FALSE(plat::ModeInsercio());
}

}  // namespace
