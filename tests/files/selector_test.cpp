#include "files/selector.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/llistes.h"
#include "console/tecles.h"
#include "drecera_prova.h"
#include "fields/colors.h"
#include "files/camins.h"
#include "mail/adjunts.h"
#include "mail/formcorreu.h"
#include "platform/consola.h"
#include "platform/fitxers.h"
#include "platform/sistema.h"
#include "session/sessio.h"
#include "util/consola_prova.h"
#include "util/entorn_prova.h"

namespace {

// ---------------------------------------------------------------- shell links

TEST(DestiDrecera, LocalTargetWithAndWithoutIdList) {
  using namespace drecera;
  EXPECT_EQ(DestiDreceraDades(Capcalera(3) + InfoLocal("K:\\DOCS\\A.TXT", "")), "K:\\DOCS\\A.TXT");
  EXPECT_EQ(DestiDreceraDades(Capcalera(2) + InfoLocal("C:\\X", "")), "C:\\X");
  EXPECT_EQ(DestiDreceraDades(Capcalera(3, 0) + InfoLocal("C:\\X", "")), "C:\\X");
  // A suffix is appended to the base path.
  EXPECT_EQ(DestiDreceraDades(Capcalera(3) + InfoLocal("C:\\DADES\\", "SUB\\F.TXT")), "C:\\DADES\\SUB\\F.TXT");
}

TEST(DestiDrecera, UnicodePathsArePreferredAndTurnedIntoTheCodePage) {
  using namespace drecera;
  const std::string l = Capcalera(3) + InfoLocal("C:\\INFORMACIO.TXT", "", true, u"C:\\Informaci\u00F3 \u20AC\u4E2D.txt");
  // ó is 0xA2 and the euro 0xD5 in CP850; a character it lacks is dropped.
  EXPECT_EQ(DestiDreceraDades(l), "C:\\Informaci\xA2 \xD5.txt");
  // An empty Unicode offset falls back to the ANSI path.
  std::string sensew = l;
  std::memset(sensew.data() + 76 + 2 + 20 + 28, 0, 4);
  EXPECT_EQ(DestiDreceraDades(sensew), "C:\\INFORMACIO.TXT");
}

TEST(DestiDrecera, NetworkTargetsNameTheMappedDriveOrTheShare) {
  using namespace drecera;
  EXPECT_EQ(DestiDreceraDades(Capcalera(3) + InfoXarxa("\\\\SERVIDOR\\COMU", "K:", "DOCS\\F.TXT")), "K:\\DOCS\\F.TXT");
  EXPECT_EQ(DestiDreceraDades(Capcalera(2) + InfoXarxa("\\\\SERVIDOR\\COMU", "", "DOCS\\F.TXT")),
            "\\\\SERVIDOR\\COMU\\DOCS\\F.TXT");
}

TEST(DestiDrecera, NoLinkInfoOrNotALinkGivesNothing) {
  using namespace drecera;
  EXPECT_EQ(DestiDreceraDades(Capcalera(1)), "");
  EXPECT_EQ(DestiDreceraDades(Capcalera(1) + InfoLocal("C:\\X", "")), "");
  std::string l = Local("C:\\X");
  EXPECT_EQ(DestiDreceraDades(l), "C:\\X");
  std::string capcalera = l;
  capcalera[0] = 0x4D;
  EXPECT_EQ(DestiDreceraDades(capcalera), "");
  std::string clsid = l;
  clsid[19] = 0x47;
  EXPECT_EQ(DestiDreceraDades(clsid), "");
  EXPECT_EQ(DestiDreceraDades(""), "");
  EXPECT_EQ(DestiDreceraDades(std::string(76, '\0')), "");
}

TEST(DestiDrecera, DamagedLinksNeverReadOutsideAndGiveABoundedPath) {
  using namespace drecera;
  const std::string cami = "K:\\DOCS\\Documents\\informe.txt";
  // A network link cut inside its drive name falls back to the share name.
  const std::string xarxa = "\\\\S\\C\\DOCS\\Documents\\informe.txt";
  for (const std::string& l : {Local(cami), Capcalera(3) + InfoLocal(cami, "", true, u"K:\\DOCS\\Documents\\informe.txt"),
                               Capcalera(3) + InfoXarxa("\\\\S\\C", "K:", "DOCS\\Documents\\informe.txt")}) {
    // Cut at every length: nothing, or the start of the path.
    for (size_t n = 0; n <= l.size(); ++n) {
      const std::string r = DestiDreceraDades(l.substr(0, n));
      EXPECT_TRUE(r.empty() || cami.rfind(r, 0) == 0 || xarxa.rfind(r, 0) == 0) << n << " " << r;
    }
  }
  const size_t info = 76 + 2 + 20;
  std::string l = Local(cami);
  auto fixar = [](std::string& s, size_t p, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[p + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string fora = l;
  fixar(fora, info + 16, 0xFFFFFFF0u);  // base path offset outside
  EXPECT_EQ(DestiDreceraDades(fora), "");
  std::string enorme = l;
  fixar(enorme, info, 0xFFFFFFFFu);  // LinkInfo claims 4 GB
  EXPECT_EQ(DestiDreceraDades(enorme), cami);
  std::string petita = l;
  fixar(petita, info, 0x10);  // too small to hold its own header
  EXPECT_EQ(DestiDreceraDades(petita), "");
  std::string idList = l;
  idList[76] = '\xFF';
  idList[77] = '\xFF';  // ID list past the end
  EXPECT_EQ(DestiDreceraDades(idList), "");
  // No terminating zero: the path runs to the end of the file and no further.
  std::string sensezero = l;
  sensezero.pop_back();  // suffix terminator
  sensezero.pop_back();  // base path terminator
  EXPECT_EQ(DestiDreceraDades(sensezero), cami);
  // A huge unterminated path is cut.
  std::string llarg = Capcalera(3) + InfoLocal("", "");
  fixar(llarg, info, 0xFFFFFFFFu);
  llarg.pop_back();
  llarg.pop_back();
  llarg += std::string(100000, 'A');
  EXPECT_LE(DestiDreceraDades(llarg).size(), 4096u);
}

TEST(DestiDrecera, ReadsTheFileAndGivesNothingForAMissingOne) {
  CarpetaTemporal d;
  d.Escriure("a.lnk", drecera::Local("C:\\A.TXT"));
  EXPECT_EQ(DestiDrecera(d.Programa() + "A.LNK"), "C:\\A.TXT");
  EXPECT_EQ(DestiDrecera(d.Programa() + "B.LNK"), "");
}

// ---------------------------------------------------------------- the picker

// 7 March 2024, 13:05:09 UTC.
constexpr time_t kData = 1709816709;

struct FilaLlegida {
  int32_t valor;
  std::string text;
};

// Rows of a list file, following the chain forwards.
std::vector<FilaLlegida> Files(const std::string& d) {
  std::vector<FilaLlegida> r;
  size_t p = 0;
  uint32_t anterior = 0;
  while (p + 10 <= d.size()) {
    auto u32 = [&](size_t q) {
      return static_cast<uint32_t>(static_cast<unsigned char>(d[q])) |
             (static_cast<uint32_t>(static_cast<unsigned char>(d[q + 1])) << 8) |
             (static_cast<uint32_t>(static_cast<unsigned char>(d[q + 2])) << 16) |
             (static_cast<uint32_t>(static_cast<unsigned char>(d[q + 3])) << 24);
    };
    EXPECT_EQ(u32(p), anterior);
    const size_t n = static_cast<unsigned char>(d[p + 8]) | (static_cast<unsigned char>(d[p + 9]) << 8);
    r.push_back({static_cast<int32_t>(u32(p + 4)), d.substr(p + 10, n)});
    anterior = static_cast<uint32_t>(p + 1);
    p += 10 + n;
  }
  EXPECT_EQ(p, d.size());
  return r;
}

const std::string kEsp(18, ' ');
const std::string kDataText = "07/03/24 13:05:09 ";

class Selector_ : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::NetejarEntorn();
    plat::FixarEntorn("KEVDRIVES", "K=" + disc.Host());
    plat::FixarEntorn("TEMP", temp.Host());
    plat::RecarregarUnitats();
    ReiniciarCamins();
    ReiniciarSessio();
    ReiniciarColors();
    ReiniciarFinestres();
    ReiniciarTecles();
    ReiniciarFormularis();
    ReiniciarLlistes();
    ReiniciarSelector();
    EstatSessio.DirTmp = feina.Programa();
    plat::FixarConsola(&con);
    Llistes.resize(2);
    const int16_t nums[7] = {0, 0, 2, 20, 25, 80, 0};
    std::memcpy(Llistes[1].Numeros, nums, sizeof nums);
    RegistrarSelector();
    Ganxos.AcceptarCamp = [this](int16_t form, std::string& text, int16_t& camp, int16_t& tecla) {
      acceptats.push_back(text);
      formAcceptat = form;
      campAcceptat = camp;
      teclaAcceptada = tecla;
      return int16_t{-1};
    };

    Fitxer("DOCS/Documents/informe.txt");
    Fitxer("DOCS/Documents/Sub/dins.txt");
    Fitxer("DOCS/Escriptori/nota.txt");
    Fitxer("DOCS/Recent/Informe.lnk", drecera::Local("K:\\DOCS\\Documents\\informe.txt"));
    CarpetesEspecials[0] = "K:\\DOCS\\Documents\\";
    CarpetesEspecials[1] = "K:\\DOCS\\Escriptori\\";
    CarpetesEspecials[2] = "K:\\DOCS\\Recent\\";
  }
  void TearDown() override {
    plat::FixarConsola(nullptr);
    ReiniciarSelector();
    ReiniciarLlistes();
    ReiniciarFormularis();
    ReiniciarTecles();
    ReiniciarFinestres();
    ReiniciarColors();
    ReiniciarSessio();
    ReiniciarCamins();
    plat::NetejarEntorn();
    plat::RecarregarUnitats();
  }
  void Fitxer(const std::string& relatiu, const std::string& dades = "x") {
    disc.Escriure(relatiu, dades);
    utimbuf t{kData, kData};
    utime((disc.Host() + relatiu).c_str(), &t);
  }
  std::vector<FilaLlegida> Omplir() {
    std::string a = "A", b = "B";
    EXPECT_EQ(OmplirSelector(1, a, b), 0);
    EXPECT_EQ(a, "");
    EXPECT_EQ(b, "");
    return Files(feina.Llegir("Browse.tmp"));
  }
  static std::vector<std::string> Textos(const std::vector<FilaLlegida>& f) {
    std::vector<std::string> r;
    for (const FilaLlegida& x : f) r.push_back(x.text);
    return r;
  }
  // Picks a row as the list browser would report it, then lets the picker act on it.
  void Triar(int32_t valor, const std::string& text) {
    SeleccioValor = valor;
    SeleccioText = text;
    int16_t llista = 1, camp = 1;
    TriarEntrada(llista, 2, camp);
    EXPECT_EQ(llista, 1);
  }

  CarpetaTemporal disc, temp, feina;
  ConsolaProva con;
  std::vector<std::string> acceptats;
  int16_t formAcceptat = 0, campAcceptat = 0, teclaAcceptada = -5;
};

TEST_F(Selector_, TopLevelOffersTheSpecialFoldersThenTheDrives) {
  Llistes[1].Titol = "ANTIC";
  const auto f = Omplir();
  ASSERT_EQ(f.size(), 4u);
  const std::string marca = ">" + std::string(17, ' ');
  EXPECT_EQ(f[0].text, marca + "Documents meus");
  EXPECT_EQ(f[1].text, marca + "Escriptori");
  EXPECT_EQ(f[2].text, marca + "Recents");
  EXPECT_EQ(f[0].valor, 101);
  EXPECT_EQ(f[1].valor, 102);
  EXPECT_EQ(f[2].valor, 103);
  EXPECT_EQ(f[3].text.substr(0, 20), marca + "K:");
  EXPECT_EQ(f[3].valor, 'K');
  EXPECT_EQ(Llistes[1].Titol, "");
}

TEST_F(Selector_, FolderLevelListsParentThenFoldersThenFilesWithDates) {
  Fitxer("DOCS/Documents/b.txt");
  disc.Escriure("DOCS/Documents/Buida/.amagat", "");
  CarpetaBase = "K:\\DOCS\\DOCUMENTS\\";
  SeleccioValor = 101;
  const auto f = Omplir();
  EXPECT_EQ(Llistes[1].Titol, "K:\\DOCS\\Documents\\");
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[0].text, kEsp + "..");
  std::vector<std::string> carpetes = {f[1].text, f[2].text}, fitxers = {f[3].text, f[4].text};
  std::sort(carpetes.begin(), carpetes.end());
  std::sort(fitxers.begin(), fitxers.end());
  EXPECT_EQ(carpetes, (std::vector<std::string>{kEsp + "Buida", kEsp + "Sub"}));
  EXPECT_EQ(fitxers, (std::vector<std::string>{kDataText + "b.txt", kDataText + "informe.txt"}));
  for (const FilaLlegida& x : f) EXPECT_EQ(x.valor, 101);
  // One level down the names stay relative to the folder shown.
  CarpetaRelativa = "SUB\\";
  EXPECT_EQ(Textos(Omplir()), (std::vector<std::string>{kEsp + "..", kDataText + "dins.txt"}));
  EXPECT_EQ(Llistes[1].Titol, "K:\\DOCS\\Documents\\Sub\\");
}

TEST_F(Selector_, AStoredFolderThatIsGoneStartsAtTheTopLevel) {
  CarpetaBase = "K:\\DOCS\\DOCUMENTS\\";
  CarpetaRelativa = "ESBORRADA\\";
  const auto f = Omplir();
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0].valor, 101);
  EXPECT_EQ(CarpetaBase, "");
  EXPECT_EQ(CarpetaRelativa, "");
  CarpetaBase = "Q:\\";  // a drive that is not mapped
  EXPECT_EQ(Omplir().size(), 4u);
  EXPECT_EQ(CarpetaBase, "");
}

TEST_F(Selector_, ShortcutsShowTheirTargetAndUnreadableOnesAreLeftOut) {
  Fitxer("DOCS/Recent/Perdut.lnk", drecera::Local("K:\\DOCS\\NO\\HI\\ES.TXT"));
  Fitxer("DOCS/Recent/Carpeta.lnk", drecera::Local("K:\\DOCS\\Documents"));
  Fitxer("DOCS/Recent/SenseInfo.lnk", drecera::Capcalera(1));
  Fitxer("DOCS/Recent/Brossa.lnk", "no és un enllaç");
  CarpetaBase = "K:\\DOCS\\RECENT\\";
  EXPECT_EQ(Textos(Omplir()), (std::vector<std::string>{kEsp + "..", kDataText + "K:\\DOCS\\Documents\\informe.txt"}));
}

TEST_F(Selector_, ChoosingRowsWalksTheFoldersAndHandsTheFileToTheField) {
  // Drive K: its root, where DOCS is the only entry.
  con.Clau(kTeclaEscape);
  Triar('K', ">" + std::string(17, ' ') + "K:");
  EXPECT_EQ(CarpetaBase, "K:\\");
  EXPECT_EQ(CarpetaRelativa, "");
  EXPECT_TRUE(acceptats.empty());

  // Into DOCS.
  con.Clau(kTeclaEscape);
  Triar('K', kEsp + "DOCS");
  EXPECT_EQ(CarpetaRelativa, "DOCS\\");
  EXPECT_EQ(Llistes[1].Titol, "K:\\DOCS\\");

  // ".." one level below another folder, then at the base itself.
  CarpetaRelativa = "DOCS\\DOCUMENTS\\SUB\\";
  con.Clau(kTeclaEscape);
  Triar('K', kEsp + "..");
  EXPECT_EQ(CarpetaRelativa, "DOCS\\DOCUMENTS\\");
  con.Clau(kTeclaEscape);
  CarpetaRelativa = "";
  Triar('K', kEsp + "..");
  EXPECT_EQ(CarpetaBase, "");
  EXPECT_EQ(CarpetaRelativa, "");

  // A special folder, then its file (rows "..", "Sub", "informe.txt").
  con.Clau(kTeclaAvall, 2);
  con.Clau(kTeclaEnter);
  Triar(101, ">" + std::string(17, ' ') + "Documents meus");
  EXPECT_EQ(CarpetaBase, "K:\\DOCS\\DOCUMENTS\\");
  EXPECT_EQ(CarpetaRelativa, "");
  ASSERT_EQ(acceptats.size(), 1u);
  EXPECT_EQ(acceptats[0], "K:\\DOCS\\Documents\\informe.txt");
  EXPECT_EQ(formAcceptat, 2);
  EXPECT_EQ(campAcceptat, 1);
  EXPECT_EQ(teclaAcceptada, 0);
}

TEST_F(Selector_, ShortcutRowsAttachTheirTargetAndEmptyChoicesNothing) {
  CarpetaBase = "K:\\DOCS\\RECENT\\";
  Triar(103, kDataText + "K:\\DOCS\\Documents\\informe.txt");
  CarpetaBase = "K:\\DOCS\\DOCUMENTS\\";
  Triar(101, kDataText + "informe.txt");
  Triar(101, kDataText + "esborrat.txt");  // removed since the listing
  Triar(0, "");                            // an empty list
  EXPECT_EQ(acceptats, (std::vector<std::string>{"K:\\DOCS\\Documents\\informe.txt",
                                                  "K:\\DOCS\\Documents\\informe.txt"}));
}

TEST_F(Selector_, ParentOfTheBaseReturnsToTheTopLevelList) {
  CarpetaBase = "K:\\DOCS\\DOCUMENTS\\";
  // The list shown again is the top level: pick "Escriptori" from it, then leave.
  con.Clau(kTeclaAvall);
  con.Clau(kTeclaEnter);
  con.Clau(kTeclaEscape);
  Triar(101, kEsp + "..");
  EXPECT_EQ(CarpetaBase, "K:\\DOCS\\ESCRIPTORI\\");
  EXPECT_EQ(CarpetaRelativa, "");
  EXPECT_FALSE(feina.Existeix("Browse.tmp"));
}

// F4 on the attachments field of the mail dialog picks a file into the attachment list;
// picking it again takes it out.
TEST_F(Selector_, F4OnTheAttachmentFieldAddsAndRemovesTheChosenFile) {
  ASSERT_TRUE(CarregarFormulariCorreu());
  RegistrarGanxosCorreu();
  RegistrarSelector();
  ReiniciarAdjunts();
  CarpetaBase = "K:\\DOCS\\DOCUMENTS\\SUB\\";
  for (int vegada = 0; vegada < 2; ++vegada) {
    con.Clau(kTeclaF4);
    con.Clau(kTeclaAvall);  // the only file, after ".."
    con.Clau(kTeclaEnter);
    con.Clau(kTeclaEscape);  // leave the form
    int16_t tecla = 0;
    ExecutarFormulari(kPaginaAdjunts, 0, 0, tecla);
    if (vegada == 0) {
      EXPECT_EQ(Adjunts[1], "K:\\DOCS\\Documents\\Sub\\dins.txt");
      EXPECT_EQ(ValorCamp(kPaginaAdjunts, 2).substr(0, 9), "dins.txt ");
    } else {
      EXPECT_EQ(Adjunts[1], "");
    }
  }
  ReiniciarAdjunts();
}

// A picked file whose path holds ";" cannot be stored in the attachment list: the picker
// hands it over, the list refuses it with a beep and a message, and nothing is attached.
TEST_F(Selector_, APickedFileWithASemicolonIsNotAttached) {
  ASSERT_TRUE(CarregarFormulariCorreu());
  RegistrarGanxosCorreu();
  RegistrarSelector();
  ReiniciarAdjunts();
  Fitxer("DOCS/Punt/factura 12; gener.pdf");
  CarpetaBase = "K:\\DOCS\\PUNT\\";
  con.Clau(kTeclaF4);
  con.Clau(kTeclaAvall);
  con.Clau(kTeclaEnter);
  con.Clau(kTeclaEnter);   // dismisses the message
  con.Clau(kTeclaEscape);  // leave the form
  const int xiulets = con.xiulets;
  int16_t tecla = 0;
  ExecutarFormulari(kPaginaAdjunts, 0, 0, tecla);
  EXPECT_EQ(tecla, kTeclaEscape);
  EXPECT_EQ(Adjunts[1], "");
  EXPECT_EQ(ValorCamp(kPaginaAdjunts, 2), std::string(65, ' '));
  EXPECT_EQ(con.xiulets, xiulets + 1);
  ASSERT_EQ(con.buidats.size(), 1u);
  const auto& files = con.buidats[0].files;
  EXPECT_TRUE(std::any_of(files.begin(), files.end(), [](const std::string& f) {
    return f.find("EL CAM\xD6 DEL FITXER NO POT CONTENIR ';'") != std::string::npos;
  }));
  ReiniciarAdjunts();
}

}  // namespace
