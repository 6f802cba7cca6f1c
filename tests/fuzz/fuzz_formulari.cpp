// Random keys, clicks, pastes and resizes through a two-page form shaped like the mail
// dialog. Checks: field values keep their lengths, the screen and the window file are
// put back when the form closes, key lists and colour roles are balanced.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/finestres.h"
#include "console/formulari.h"
#include "console/tecles.h"
#include "fields/colors.h"
#include "fields/majuscules.h"
#include "platform/consola.h"
#include "platform/sistema.h"
#include "session/sessio.h"

namespace {

const char* const kTecles = "d,4900,5100,1b,4800,7300=4800,5000,7400=5000,4f00,3c00,3e00";

std::vector<std::string> Descriptor() {
  std::string hores = "|00,IMMEDIAT";
  for (int h = 1; h <= 48; ++h) hores += "|" + std::to_string(10 + h) + ",A LES " + std::to_string(h);
  std::vector<std::string> d = {"2", "11", kTecles, "8", "2", "5", "18", "20", "72"};
  auto camp = [&](const std::vector<std::string>& c) { d.insert(d.end(), c.begin(), c.end()); };
  camp({"1", "2", "", "1", "0", "40", "0", "0", "0", "|P,PANTALLA|1,IMPRESSORA|H,HTML|F,PDF"});
  camp({"3", "2", "ENVIAR PER CORREU ? ", "1", "0", "2", "0", "1", "0", "|S,S\xD6|N,NO"});
  camp({"4", "2", "IMPRIMIR-LOS TAMB\x90 ? ", "1", "0", "2", "0", "0", "0", "|S,S\xD6|N,NO"});
  camp({"7", "2", "ASSUMPTE : ", "40", "0", "0", "8", "0", "0", ""});
  camp({"9", "2", "NOM .....: ", "40", "0", "0", "1", "0", "0", ""});
  camp({"10", "2", "CORREU ..: ", "40", "0", "0", "0", "2", "0", ""});
  camp({"12", "2", "ENVIAR ? ", "2", "0", "10", "0", "0", "0", hores});
  camp({"14", "2", "MEMBRET ? ", "1", "0", "2", "2", "0", "0", "|S,S\xD6|N,NO"});
  d.insert(d.end(), {kTecles, "11", "0", "10", "6", "25", "74"});
  camp({"1", "2", "", "260", "65", "0", "0", "11", "1", ""});
  for (int n = 2; n <= 11; ++n) camp({std::to_string(n + 3), "2", "", "65", "0", "0", "4", "0", "0", ""});
  d.insert(d.end(), {"1", "0", "0", "2", "20", "25", "80", "0", "", "0"});
  return d;
}

void Escriure(int fila, int col, const std::string& s) {
  SituarCursor(static_cast<int16_t>(fila), static_cast<int16_t>(col));
  EscriureText(s);
}

void DibuixarValor(int16_t f, int16_t c) {
  Camp* cp = CampFormulari(f, c);
  if (!cp) return;
  const int v = cp->Columna + static_cast<int>(cp->Etiqueta.size());
  if ((cp->Indicadors & 6) == 6) {
    Escriure(cp->Fila, v, std::string(static_cast<size_t>(cp->Longitud + cp->AmpladaDescripcio), '-'));
  } else if (cp->AmpladaVisible > 0) {
    for (int i = 0; i * cp->AmpladaVisible < cp->Longitud; ++i)
      Escriure(cp->Fila + i, v, cp->Valor.substr(static_cast<size_t>(i * cp->AmpladaVisible),
                                                 static_cast<size_t>(cp->AmpladaVisible)));
  } else {
    Escriure(cp->Fila, v, cp->Valor);
  }
  // The mail switch enables the fields after it and the link to the second page.
  if (f == 1 && c == 2) {
    const bool si = cp->Valor == "S";
    for (int d = 3; d <= 8; ++d) {
      Camp* dep = CampFormulari(1, d);
      dep->Indicadors = static_cast<int16_t>(si ? (dep->Indicadors & ~6) : (dep->Indicadors | 6));
    }
    Formularis[1].Enllac = si ? 2 : 0;
  }
}

void Instal_larGanxos() {
  Ganxos.DibuixarFormulari = [](int16_t f) {
    const Formulari& F = Formularis[static_cast<size_t>(f)];
    for (int16_t c = 1; c <= F.NumCamps; ++c) {
      Escriure(F.Camps[static_cast<size_t>(c)].Fila, F.Camps[static_cast<size_t>(c)].Columna,
               F.Camps[static_cast<size_t>(c)].Etiqueta);
      DibuixarValor(f, c);
    }
  };
  Ganxos.DibuixarCamp = DibuixarValor;
  Ganxos.AcceptarCamp = [](int16_t f, std::string& t, int16_t& c, int16_t&) -> int16_t {
    if (t.find('!') != std::string::npos) return 1;
    FixarValorCamp(f, c, t);
    DibuixarValor(f, c);
    return 0;
  };
  Ganxos.ValidarSortidaFormulari = [](int16_t f, int16_t k) -> int16_t {
    if (f != 1 || k == 0x1b) return 0;
    return ValorCamp(1, 6).find('@') == std::string::npos && ValorCamp(1, 2) == "S" ? 1 : 0;
  };
  Ganxos.Ajuda = [](const std::string&) {};
}

std::string Carpeta() {
  char plantilla[] = "/tmp/fuzz_formulari_XXXXXX";
  if (!mkdtemp(plantilla)) abort();
  return std::string(plantilla) + "/";
}

const uint8_t kScans[] = {0x48, 0x50, 0x4B, 0x4D, 0x47, 0x4F, 0x49, 0x51, 0x52, 0x53, 0x3B, 0x3C,
                          0x3E, 0x0F, 0x73, 0x74, 0x77, 0x61, 0x6B, 0x3F, 0x2D, 0x2E, 0x85, 0x01};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = Carpeta();
  static const std::vector<std::string> descriptor = Descriptor();

  ReiniciarSessio();
  ReiniciarColors();
  ReiniciarFinestres();
  ReiniciarTecles();
  ReiniciarMajuscules();
  ReiniciarFormularis();
  plat::ReiniciarSistema();
  plat::FixarEntorn("DISPLAY", "");
  plat::FixarEntorn("WAYLAND_DISPLAY", "");
  EstatSessio.DirTmp = dir;
  EstatSessio.NomMenu = "MENU";

  plat::ConsolaVirtual con;
  plat::FixarConsola(&con);
  for (int f = 0; f < con.Alcada(); ++f)
    for (int c = 0; c < con.Amplada(); ++c)
      con.EscriureCella(f, c, plat::Cella{static_cast<uint8_t>('a' + (f + c) % 26), static_cast<uint8_t>(f * 3 + c)});
  std::vector<plat::Cella> abans;
  for (int f = 0; f < con.Alcada(); ++f)
    for (int c = 0; c < con.Amplada(); ++c) abans.push_back(con.LlegirCella(f, c));

  if (!CarregarFormularis(descriptor, nullptr)) abort();
  FixarValorCamp(1, 1, "P");
  FixarValorCamp(1, 2, size > 0 && (data[0] & 1) ? "S" : "N");
  FixarValorCamp(1, 3, "N");
  FixarValorCamp(1, 7, "00");
  FixarValorCamp(1, 8, "N");
  Instal_larGanxos();

  bool redimensionat = false;
  size_t i = 1;
  auto byte = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
  while (i < size && con.entrada.size() < 4000) {
    const uint8_t op = byte();
    switch (op % 8) {
      case 0:
      case 1:
      case 2:
        con.Tecla(byte());
        break;
      case 3: {
        const uint8_t s = kScans[byte() % sizeof kScans];
        const uint8_t m = byte();
        con.Tecla(0, s, static_cast<uint16_t>((m & 1 ? plat::kCtrlEsquerra : 0) | (m & 2 ? plat::kMajuscula : 0) |
                                              (m & 4 ? plat::kAltDreta : 0)));
        break;
      }
      case 4: {
        const int f = byte() % 27, c = byte() % 82;
        con.Clic(f, c, plat::kBotoEsquerre);
        con.Clic(f, c, 0);
        break;
      }
      case 5: {
        plat::Esdeveniment e;
        e.tipus = plat::TipusEsdeveniment::Enganxat;
        const size_t n = byte() % 32;
        for (size_t k = 0; k < n; ++k) e.text += static_cast<char>(byte());
        // Now and then a large paste.
        if (op & 0x80) e.text = std::string(70000, e.text.empty() ? 'x' : e.text[0]) + e.text;
        con.entrada.push_back(e);
        break;
      }
      case 6:
        if (op & 0x40) {
          con.CanviarMida(1 + byte() % 120, 1 + byte() % 60);
          redimensionat = true;
        } else {
          con.Tecla(0, 0x52);  // Insert
        }
        break;
      case 7:
        if (op & 0x80) {
          plat::CopiarPortaretalls(std::string(byte() % 100, static_cast<char>(byte())));
        } else {
          con.Tecla(0x1b);
        }
        break;
    }
  }

  int16_t tecla = 0;
  ExecutarFormulari(1, 0, 0, tecla);

  for (size_t f = 1; f < Formularis.size(); ++f)
    for (size_t c = 1; c < Formularis[f].Camps.size(); ++c) {
      const Camp& cp = Formularis[f].Camps[c];
      if (cp.Valor.size() != static_cast<size_t>(cp.Longitud)) abort();
    }
  if (FinestraActual.Nivell != 0) abort();
  if (access((dir + "WinPush.tmp").c_str(), F_OK) == 0) abort();
  if (!TeclesDesades.empty() || !TeclesSortida.Acceptades.empty()) abort();
  if (!PilaColors.empty() || !PilaText.empty()) abort();
  if (!redimensionat) {
    size_t k = 0;
    for (int f = 0; f < con.Alcada(); ++f)
      for (int c = 0; c < con.Amplada(); ++c)
        if (!(con.LlegirCella(f, c) == abans[k++])) abort();
  }
  plat::FixarConsola(nullptr);
  return 0;
}
