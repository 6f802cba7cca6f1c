// Terminal input decoding: byte strings from real terminals -> key, mouse and paste events.
#include "platform/descodificador.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace plat {
void PrintTo(const Esdeveniment& e, std::ostream* os) {
  *os << "{tipus " << static_cast<int>(e.tipus) << std::hex << " scan 0x" << int(e.scan) << " car 0x"
      << int(e.car) << " estat 0x" << e.estat << std::dec << " fila " << e.fila << " col " << e.col
      << " botons " << e.botons << " accio " << e.accio << " text \"" << e.text << "\"}";
}
}  // namespace plat

namespace {

using plat::Descodificador;
using plat::Esdeveniment;

constexpr uint16_t kAlt = plat::kAltEsquerra;
constexpr uint16_t kCtrl = plat::kCtrlEsquerra;
constexpr uint16_t kMaj = plat::kMajuscula;
constexpr uint16_t kExt = plat::kTeclaEstesa;

Esdeveniment K(uint8_t scan, uint8_t car, uint16_t estat = 0) {
  Esdeveniment e;
  e.scan = scan;
  e.car = car;
  e.estat = estat;
  return e;
}

Esdeveniment Clic(int fila, int col, uint16_t botons, uint16_t accio = 0, uint16_t estat = 0) {
  Esdeveniment e;
  e.tipus = plat::TipusEsdeveniment::Ratoli;
  e.fila = fila;
  e.col = col;
  e.botons = botons;
  e.accio = accio;
  e.estat = estat;
  return e;
}

Esdeveniment Enganxat(const std::string& cp850) {
  Esdeveniment e;
  e.tipus = plat::TipusEsdeveniment::Enganxat;
  e.text = cp850;
  return e;
}

struct Cas {
  const char* nom;
  std::string bytes;
  std::vector<Esdeveniment> esperat;
};

// Every case is checked three ways: all bytes at once, one byte per read, and with a pause
// only at the end, so sequences split across reads decode the same.
void Comprovar(const std::vector<Cas>& casos) {
  for (const Cas& c : casos) {
    SCOPED_TRACE(c.nom);
    EXPECT_EQ(plat::Descodificar(c.bytes), c.esperat) << "whole";
    Descodificador d;
    std::vector<Esdeveniment> v;
    for (char b : c.bytes) d.Alimentar(std::string_view(&b, 1), v);
    d.Pausa(v);
    EXPECT_EQ(v, c.esperat) << "byte by byte";
    EXPECT_FALSE(d.Pendent());
  }
}

TEST(Descodificador, FunctionKeysFromEveryTerminal) {
  Comprovar({
      {"xterm F1", "\x1bOP", {K(0x3B, 0)}},
      {"xterm F4", "\x1bOS", {K(0x3E, 0)}},
      {"F5", "\x1b[15~", {K(0x3F, 0)}},
      {"F6..F10", "\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~",
       {K(0x40, 0), K(0x41, 0), K(0x42, 0), K(0x43, 0), K(0x44, 0)}},
      {"F11 F12", "\x1b[23~\x1b[24~", {K(0x57, 0), K(0x58, 0)}},
      {"vt220 F1..F4", "\x1b[11~\x1b[12~\x1b[13~\x1b[14~", {K(0x3B, 0), K(0x3C, 0), K(0x3D, 0), K(0x3E, 0)}},
      {"linux console F1..F5", "\x1b[[A\x1b[[B\x1b[[C\x1b[[D\x1b[[E",
       {K(0x3B, 0), K(0x3C, 0), K(0x3D, 0), K(0x3E, 0), K(0x3F, 0)}},
      {"xterm Shift+F1", "\x1b[1;2P", {K(0x3B, 0, kMaj)}},
      {"xterm Ctrl+F1", "\x1b[1;5P", {K(0x3B, 0, kCtrl)}},
      {"xterm Alt+F1", "\x1b[1;3P", {K(0x3B, 0, kAlt)}},
      {"meta counts as Alt", "\x1b[1;9P", {K(0x3B, 0, kAlt)}},
      {"Ctrl+F12", "\x1b[24;5~", {K(0x58, 0, kCtrl)}},
      {"Shift+F10", "\x1b[21;2~", {K(0x44, 0, kMaj)}},
      {"Ctrl+Alt+Shift+F5", "\x1b[15;8~", {K(0x3F, 0, kMaj | kAlt | kCtrl)}},
      {"old xterm SS3 modifier", "\x1bO5P", {K(0x3B, 0, kCtrl)}},
      {"SS3 with 1;2", "\x1bO1;2Q", {K(0x3C, 0, kMaj)}},
      {"linux/putty Shift+F3..F10", "\x1b[25~\x1b[26~\x1b[28~\x1b[29~\x1b[31~\x1b[32~\x1b[33~\x1b[34~",
       {K(0x3D, 0, kMaj), K(0x3E, 0, kMaj), K(0x3F, 0, kMaj), K(0x40, 0, kMaj), K(0x41, 0, kMaj),
        K(0x42, 0, kMaj), K(0x43, 0, kMaj), K(0x44, 0, kMaj)}},
  });
}

TEST(Descodificador, CursorAndEditingKeys) {
  Comprovar({
      {"CSI arrows", "\x1b[A\x1b[B\x1b[C\x1b[D",
       {K(0x48, 0, kExt), K(0x50, 0, kExt), K(0x4D, 0, kExt), K(0x4B, 0, kExt)}},
      {"SS3 arrows", "\x1bOA\x1bOD", {K(0x48, 0, kExt), K(0x4B, 0, kExt)}},
      {"Ctrl+Left Ctrl+Right", "\x1b[1;5D\x1b[1;5C", {K(0x4B, 0, kCtrl | kExt), K(0x4D, 0, kCtrl | kExt)}},
      {"Shift+Up", "\x1b[1;2A", {K(0x48, 0, kMaj | kExt)}},
      {"Home End as CSI H F", "\x1b[H\x1b[F", {K(0x47, 0, kExt), K(0x4F, 0, kExt)}},
      {"Home End as SS3", "\x1bOH\x1bOF", {K(0x47, 0, kExt), K(0x4F, 0, kExt)}},
      {"VT220 Home End", "\x1b[1~\x1b[4~", {K(0x47, 0, kExt), K(0x4F, 0, kExt)}},
      {"rxvt Home End", "\x1b[7~\x1b[8~", {K(0x47, 0, kExt), K(0x4F, 0, kExt)}},
      {"Ctrl+Home", "\x1b[1;5H", {K(0x47, 0, kCtrl | kExt)}},
      {"Ins Del PgUp PgDn", "\x1b[2~\x1b[3~\x1b[5~\x1b[6~",
       {K(0x52, 0, kExt), K(0x53, 0, kExt), K(0x49, 0, kExt), K(0x51, 0, kExt)}},
      {"Ctrl+Del", "\x1b[3;5~", {K(0x53, 0, kCtrl | kExt)}},
      {"keypad 5", "\x1b[E\x1bOE\x1b[G", {K(0x4C, 0), K(0x4C, 0), K(0x4C, 0)}},
      {"Shift+Tab", "\x1b[Z", {K(0x0F, 0, kMaj)}},
      {"rxvt Shift+Left, Ctrl+Right, Shift+Ins", "\x1b[d\x1bOc\x1b[2$",
       {K(0x4B, 0, kMaj | kExt), K(0x4D, 0, kCtrl | kExt), K(0x52, 0, kMaj | kExt)}},
      {"rxvt Alt+Up as ESC ESC [A", "\x1b\x1b[A", {K(0x48, 0, kAlt | kExt)}},
  });
}

TEST(Descodificador, ApplicationKeypad) {
  Comprovar({
      {"digits 0..9", "\x1bOp\x1bOq\x1bOr\x1bOs\x1bOt\x1bOu\x1bOv\x1bOw\x1bOx\x1bOy",
       {K(0x52, '0'), K(0x4F, '1'), K(0x50, '2'), K(0x51, '3'), K(0x4B, '4'), K(0x4C, '5'), K(0x4D, '6'),
        K(0x47, '7'), K(0x48, '8'), K(0x49, '9')}},
      {"operators", "\x1bOj\x1bOk\x1bOm\x1bOn\x1bOo",
       {K(0x37, '*'), K(0x4E, '+'), K(0x4A, '-'), K(0x53, '.'), K(0x35, '/')}},
      {"keypad Enter", "\x1bOM", {K(0x1C, 0x0D, kExt)}},
  });
}

TEST(Descodificador, ControlCharactersAndPlainText) {
  Comprovar({
      {"letters keep their scan code", "aZ", {K(0x1E, 'a'), K(0x2C, 'Z')}},
      {"digits and space", "1 0", {K(0x02, '1'), K(0x39, ' '), K(0x0B, '0')}},
      {"Enter", "\r", {K(0x1C, 0x0D)}},
      {"Tab", "\t", {K(0x0F, 0x09)}},
      {"Backspace DEL and BS", "\x7f\x08", {K(0x0E, 8), K(0x0E, 8)}},
      {"Ctrl+A Ctrl+B Ctrl+Z", "\x01\x02\x1a", {K(0x1E, 1, kCtrl), K(0x30, 2, kCtrl), K(0x2C, 26, kCtrl)}},
      {"Ctrl+C and Ctrl+S arrive as keys", "\x03\x13", {K(0x2E, 3, kCtrl), K(0x1F, 0x13, kCtrl)}},
      {"Ctrl+J", "\n", {K(0x24, 0x0A, kCtrl)}},
      {"Ctrl+Space", std::string("\0", 1), {K(0x03, 0, kCtrl)}},
  });
}

TEST(Descodificador, Utf8BecomesCp850) {
  Comprovar({
      {"accented letters", "\xc3\xa9\xc3\x80\xc3\xa7\xc3\x91", {K(0, 0x82), K(0, 0xB7), K(0, 0x87), K(0, 0xA5)}},
      {"euro sign", "\xe2\x82\xac", {K(0, 0xD5)}},
      {"middle dot (l.l)", "\xc2\xb7", {K(0, 0xFA)}},
      {"no CP850 code: dropped", "\xe4\xb8\xad" "a", {K(0x1E, 'a')}},
      {"four-byte character dropped", "\xf0\x9f\x98\x80" "b", {K(0x30, 'b')}},
      {"glyph of a control code is not Ctrl", "\xe2\x98\xba", {}},
      {"stray continuation byte", "\x80" "c", {K(0x2E, 'c')}},
      {"broken sequence keeps next char", "\xc3" "d", {K(0x20, 'd')}},
      {"overlong encoding rejected", "\xc0\xaf" "e", {K(0x12, 'e')}},
      {"surrogate rejected", "\xed\xa0\x80" "f", {K(0x21, 'f')}},
      {"cut at the end: dropped after pause", "g\xe2\x82", {K(0x22, 'g')}},
  });
}

TEST(Descodificador, AltKeys) {
  Comprovar({
      {"Alt+X calculator", "\x1bx", {K(0x2D, 'x', kAlt)}},
      {"Alt+C calendar", "\x1b" "c", {K(0x2E, 'c', kAlt)}},
      {"Alt+F", "\x1b" "f", {K(0x21, 'f', kAlt)}},
      {"Alt+E", "\x1b" "e", {K(0x12, 'e', kAlt)}},
      {"Alt+Shift+X", "\x1bX", {K(0x2D, 'X', kAlt)}},
      {"Alt+digit", "\x1b" "1", {K(0x02, '1', kAlt)}},
      {"Alt+accented letter keeps the character", "\x1b\xc3\xa0", {K(0, 0x85, kAlt)}},
      {"Alt+Enter", "\x1b\r", {K(0x1C, 0x0D, kAlt)}},
      {"Alt+Backspace", "\x1b\x7f", {K(0x0E, 8, kAlt)}},
      {"Alt+[ alone", "\x1b[", {K(0x1A, '[', kAlt)}},
      {"Alt+O alone", "\x1bO", {K(0x18, 'O', kAlt)}},
  });
  // Every letter, both cases.
  for (char c = 'a'; c <= 'z'; ++c) {
    const auto v = plat::Descodificar(std::string("\x1b") + c);
    ASSERT_EQ(v.size(), 1u) << c;
    EXPECT_EQ(v[0], K(plat::ScanDeCaracter(static_cast<unsigned char>(c)), static_cast<uint8_t>(c), kAlt)) << c;
    EXPECT_NE(v[0].scan, 0) << c;
    const auto majuscula = plat::Descodificar(std::string("\x1b") + static_cast<char>(c - 32));
    ASSERT_EQ(majuscula.size(), 1u) << c;
    EXPECT_EQ(majuscula[0].scan, v[0].scan) << c;
  }
}

TEST(Descodificador, EscapeAloneNeedsAPause) {
  Descodificador d;
  std::vector<Esdeveniment> v;
  d.Alimentar("\x1b", v);
  EXPECT_TRUE(v.empty());
  EXPECT_TRUE(d.Pendent());
  d.Pausa(v);
  EXPECT_EQ(v, (std::vector<Esdeveniment>{K(0x01, 0x1B)}));
  EXPECT_FALSE(d.Pendent());

  // After the pause the next byte is a key of its own, not Alt+key.
  v.clear();
  d.Alimentar("x", v);
  EXPECT_EQ(v, (std::vector<Esdeveniment>{K(0x2D, 'x')}));

  Comprovar({
      {"two Escapes", "\x1b\x1b", {K(0x01, 0x1B), K(0x01, 0x1B)}},
      {"three Escapes", "\x1b\x1b\x1b", {K(0x01, 0x1B), K(0x01, 0x1B), K(0x01, 0x1B)}},
      {"Escape then Alt+x", "\x1b\x1bx", {K(0x01, 0x1B), K(0x2D, 'x', kAlt)}},
      {"Alt+F1 as ESC ESC O P", "\x1b\x1bOP", {K(0x3B, 0, kAlt)}},
  });
}

TEST(Descodificador, CsiUAndModifyOtherKeys) {
  Comprovar({
      {"Ctrl+a", "\x1b[97;5u", {K(0x1E, 1, kCtrl)}},
      {"Alt+x", "\x1b[120;3u", {K(0x2D, 'x', kAlt)}},
      {"Escape", "\x1b[27u", {K(0x01, 0x1B)}},
      {"Enter", "\x1b[13u", {K(0x1C, 0x0D)}},
      {"Shift+Tab", "\x1b[9;2u", {K(0x0F, 0, kMaj)}},
      {"Backspace", "\x1b[127u", {K(0x0E, 8)}},
      {"accented with kitty sub-parameters", "\x1b[233:201;1u", {K(0, 0x82)}},
      {"modifyOtherKeys Ctrl+a", "\x1b[27;5;97~", {K(0x1E, 1, kCtrl)}},
      {"modifyOtherKeys Ctrl+Enter", "\x1b[27;5;13~", {K(0x1C, 0x0D, kCtrl)}},
      {"modifier key on its own ignored", "\x1b[57441u", {}},
  });
}

// What a terminal with the progressive keyboard protocol on sends must give the events
// the legacy bytes for the same key give.
TEST(Descodificador, KeyboardProtocolKeysDecodeAsTheirLegacyForms) {
  const struct {
    const char* nom;
    std::string protocol, legacy;
  } casos[] = {
      {"Escape", "\x1b[27u", "\x1b"},
      {"Alt+a", "\x1b[97;3u", "\x1b" "a"},
      {"Alt+Shift+a", "\x1b[97;4u", "\x1b" "A"},
      {"Alt+Shift+1", "\x1b[49;4u", "\x1b!"},
      {"Alt+Shift+/", "\x1b[47;4u", "\x1b?"},
      {"Ctrl+a", "\x1b[97;5u", "\x01"},
      {"Ctrl+Shift+a", "\x1b[97;6u", "\x1b[97;6u"},  // no legacy form: Ctrl+A with Shift held
      {"Alt+Enter", "\x1b[13;3u", "\x1b\r"},
      {"Alt+Tab", "\x1b[9;3u", "\x1b\t"},
      {"Alt+Backspace", "\x1b[127;3u", "\x1b\x7f"},
      {"F1", "\x1b[P", "\x1bOP"},
      {"F3 as the protocol sends it", "\x1b[13~", "\x1bOR"},
      {"Ctrl+F4", "\x1b[1;5S", "\x1bO5S"},
      {"keypad 0", "\x1b[57399u", "\x1bOp"},
      {"keypad 9 with Num Lock reported", "\x1b[57408;129u", "\x1bOy"},
      {"keypad decimal", "\x1b[57409u", "\x1bOn"},
      {"keypad divide", "\x1b[57410u", "\x1bOo"},
      {"keypad Enter", "\x1b[57414u", "\x1bOM"},
      {"keypad equals", "\x1b[57415u", "\x1bOX"},
      {"keypad 5 without Num Lock", "\x1b[57427u", "\x1b[E"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nom);
    const auto esperat = plat::Descodificar(c.legacy);
    ASSERT_EQ(esperat.size(), 1u);
    Comprovar({{c.nom, c.protocol, esperat}});
  }
  // The keypad's editing keys (Num Lock off) keep the keypad's scan codes without the
  // extended flag, as a PC keypad gives them: Alt + keypad code entry works through them.
  Comprovar({
      {"keypad Left, PgUp, Insert", "\x1b[57417u\x1b[57421u\x1b[57425u", {K(0x4B, 0), K(0x49, 0), K(0x52, 0)}},
      {"Alt + keypad End", "\x1b[57424;3u", {K(0x4F, 0, kAlt)}},
      {"past the keypad block", "\x1b[57428u", {}},
  });
}

TEST(Descodificador, AnswersToTheStartQueriesAreNotKeys) {
  using R = Descodificador::Resposta;
  const struct {
    const char* nom;
    std::string bytes;
    std::vector<Esdeveniment> tecles;
    R resposta;
  } casos[] = {
      {"speaks the protocol", "\x1b[?0u\x1b[?62;22c", {}, R::AmbProtocol},
      {"protocol already on", "\x1b[?1u\x1b[?64;1;2;6c", {}, R::AmbProtocol},
      {"device attributes only", "\x1b[?62;22c", {}, R::SenseProtocol},
      {"the Linux console", "\x1b[?6c", {}, R::SenseProtocol},
      {"keys typed between the answers", "a\x1b[?1ub\x1b[?62cc", {K(0x1E, 'a'), K(0x30, 'b'), K(0x2E, 'c')},
       R::AmbProtocol},
      {"protocol answer alone decides nothing", "\x1b[?1u", {}, R::Cap},
      {"secondary attributes are not the answer", "\x1b[>1;95;0c", {}, R::Cap},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nom);
    Comprovar({{c.nom, c.bytes, c.tecles}});
    Descodificador d;
    std::vector<Esdeveniment> v;
    for (char b : c.bytes) d.Alimentar(std::string_view(&b, 1), v);
    EXPECT_EQ(d.PrendreResposta(), c.resposta);
    EXPECT_EQ(d.PrendreResposta(), R::Cap) << "read once";
  }
  // A later device-attributes answer alone means no protocol, whatever came before it.
  Descodificador d;
  std::vector<Esdeveniment> v;
  d.Alimentar("\x1b[?1u\x1b[?62c\x1b[?62c", v);
  EXPECT_EQ(d.PrendreResposta(), R::SenseProtocol);
}

TEST(Descodificador, WithTheProtocolOnAnEscapeByteActsAtOnce) {
  Descodificador d;
  d.EscapadaImmediata(true);
  const struct {
    const char* nom;
    std::string bytes;
    std::vector<Esdeveniment> esperat;
  } casos[] = {
      {"lone Escape", "\x1b", {K(0x01, 0x1B)}},
      {"two Escapes", "\x1b\x1b", {K(0x01, 0x1B), K(0x01, 0x1B)}},
      {"whole sequences still decode", "\x1b[A\x1b" "a", {K(0x48, 0, kExt), K(0x1E, 'a', kAlt)}},
      {"an unfinished sequence still waits", "\x1b[1;5", {}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nom);
    std::vector<Esdeveniment> v;
    d.Alimentar(c.bytes, v);  // no pause
    EXPECT_EQ(v, c.esperat);
    d.Reiniciar();
  }
}

TEST(Descodificador, Mouse) {
  Comprovar({
      {"SGR left click at row 10 col 5", "\x1b[<0;10;5M\x1b[<0;10;5m",
       {Clic(4, 9, plat::kBotoEsquerre), Clic(4, 9, 0)}},
      {"SGR right button with Ctrl", "\x1b[<18;1;1M", {Clic(0, 0, plat::kBotoDret, 0, kCtrl)}},
      {"SGR middle, big coordinates", "\x1b[<1;300;120M", {Clic(119, 299, plat::kBotoMig)}},
      {"SGR drag", "\x1b[<0;2;2M\x1b[<32;3;2M",
       {Clic(1, 1, plat::kBotoEsquerre), Clic(1, 2, plat::kBotoEsquerre, plat::kRatoliMogut)}},
      {"wheel scrolls like arrows", "\x1b[<64;5;5M\x1b[<65;5;5M", {K(0x48, 0, kExt), K(0x50, 0, kExt)}},
      {"two buttons, released one by one", "\x1b[<0;1;1M\x1b[<2;1;1M\x1b[<0;1;1m\x1b[<2;1;1m",
       {Clic(0, 0, plat::kBotoEsquerre), Clic(0, 0, plat::kBotoEsquerre | plat::kBotoDret),
        Clic(0, 0, plat::kBotoDret), Clic(0, 0, 0)}},
      {"X10 click and release", "\x1b[M !*\x1b[M#!*", {Clic(9, 0, plat::kBotoEsquerre), Clic(9, 0, 0)}},
      {"X10 carries raw high bytes", "\x1b[M \xff\xff", {Clic(222, 222, plat::kBotoEsquerre)}},
      {"zero coordinates clamp to the corner", "\x1b[<0;0;0M", {Clic(0, 0, plat::kBotoEsquerre)}},
  });
}

TEST(Descodificador, BracketedPaste) {
  Comprovar({
      {"plain text", "\x1b[200~hola\x1b[201~", {Enganxat("hola")}},
      {"UTF-8 becomes CP850", "\x1b[200~caf\xc3\xa9 \xe2\x82\xac\x1b[201~", {Enganxat("caf\x82 \xD5")}},
      {"escape sequences inside are text", "\x1b[200~a\x1b[Ab\x1b[201~", {Enganxat("a\x1b[Ab")}},
      {"false end marker is text", "\x1b[200~x\x1b[20y\x1b[201~", {Enganxat("x\x1b[20y")}},
      {"end marker after an Escape", "\x1b[200~\x1b\x1b[201~", {Enganxat("\x1b")}},
      {"keys before and after", "a\x1b[200~b\x1b[201~c", {K(0x1E, 'a'), Enganxat("b"), K(0x2E, 'c')}},
      {"empty paste gives nothing", "\x1b[200~\x1b[201~", {}},
      {"two pastes", "\x1b[200~1\x1b[201~\x1b[200~2\x1b[201~", {Enganxat("1"), Enganxat("2")}},
      {"stray end marker ignored", "\x1b[201~z", {K(0x2C, 'z')}},
  });
}

TEST(Descodificador, PasteWaitsOverPausesAndIsBounded) {
  Descodificador d;
  std::vector<Esdeveniment> v;
  d.Alimentar("\x1b[200~abc\x1b[2", v);
  d.Pausa(v);  // a slow link: the paste goes on
  EXPECT_TRUE(v.empty());
  EXPECT_TRUE(d.EnEnganxat());
  d.Alimentar("01~", v);
  EXPECT_EQ(v, (std::vector<Esdeveniment>{Enganxat("abc")}));
  EXPECT_FALSE(d.EnEnganxat());

  // A huge paste keeps only the first bytes, and what follows it still decodes.
  v.clear();
  d.Alimentar("\x1b[200~", v);
  const std::string tros(4096, 'q');
  for (int i = 0; i < 100; ++i) d.Alimentar(tros, v);
  EXPECT_EQ(d.BytesEnganxats(), Descodificador::kMaxEnganxat);
  d.Alimentar("\x1b[201~\r", v);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].text, std::string(Descodificador::kMaxEnganxat, 'q'));
  EXPECT_EQ(v[1], K(0x1C, 0x0D));

  // No end marker at all: the caller closes the paste after a long wait.
  v.clear();
  d.Alimentar("\x1b[200~lost", v);
  d.TancarEnganxat(v);
  d.Alimentar("k", v);
  EXPECT_EQ(v, (std::vector<Esdeveniment>{Enganxat("lost"), K(0x25, 'k')}));
}

TEST(Descodificador, GarbageIsDroppedAndDecodingRecovers) {
  Comprovar({
      {"unknown CSI final", "\x1b[99zq", {K(0x10, 'q')}},
      {"replies we never asked for", "\x1b[?1;2c\x1b[>0;95;0c\x1b[12;40Rx", {K(0x2D, 'x')}},
      {"unknown tilde key", "\x1b[99~w", {K(0x11, 'w')}},
      {"sequence cut by a control byte", "\x1b[1;\x1b[A", {K(0x48, 0, kExt)}},
      {"sequence cut by a letter byte high", "\x1b[1\xc3\xa9", {K(0, 0x82)}},
      {"bad Linux function key", "\x1b[[zk", {K(0x25, 'k')}},
      {"unfinished CSI at a pause", "\x1b[1;5", {}},
      {"unfinished SS3 at a pause", "\x1bO1;", {}},
      {"unfinished X10 mouse", "\x1b[M ", {}},
  });
  // A parameter run longer than any real sequence is dropped without waiting for its end.
  Descodificador d;
  std::vector<Esdeveniment> v;
  d.Alimentar("\x1b[" + std::string(1000, '1'), v);
  EXPECT_LE(d.BytesPendents(), Descodificador::kMaxSequencia);
  d.Alimentar("~", v);
  d.Pausa(v);
  EXPECT_FALSE(d.Pendent());
  for (const Esdeveniment& e : v) EXPECT_NE(e.scan, 0x3B);  // never mistaken for a key sequence
}

TEST(Descodificador, ResetForgetsPendingState) {
  Descodificador d;
  std::vector<Esdeveniment> v;
  d.Alimentar("\x1b[200~abc", v);
  d.Reiniciar();
  d.Alimentar("x", v);
  EXPECT_EQ(v, (std::vector<Esdeveniment>{K(0x2D, 'x')}));
  // A half sequence forgotten: the bytes after it are new keys.
  v.clear();
  d.Alimentar("\x1b[1;", v);
  d.Reiniciar();
  d.Alimentar("5P", v);
  EXPECT_EQ(v, (std::vector<Esdeveniment>{K(0x06, '5'), K(0x19, 'P')}));
}

}  // namespace
