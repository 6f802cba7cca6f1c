// The terminal backend on a pseudo-terminal: modes in and out, input, resize, output size.
#include "platform/posix/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

#include "platform/sistema.h"

namespace {

using plat::ConsolaTerminal;
using plat::Esdeveniment;
using Teclat = plat::ConsolaTerminal::Teclat;
constexpr size_t npos = std::string::npos;

bool Iguals(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
         std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

class Pty : public ::testing::Test {
 protected:
  void SetUp() override {
    winsize ws{};
    ws.ws_col = 80;
    ws.ws_row = 25;
    ASSERT_EQ(openpty(&mestre, &esclau, nullptr, nullptr, &ws), 0);
    ASSERT_EQ(tcgetattr(esclau, &original), 0);
    plat::ReiniciarTerminal();
  }
  void TearDown() override {
    if (mestre >= 0) close(mestre);
    close(esclau);
    plat::ReiniciarTerminal();
  }

  // Everything the program wrote so far.
  std::string Sortida(int espera_ms = 50) {
    std::string s;
    pollfd p{mestre, POLLIN, 0};
    while (poll(&p, 1, espera_ms) > 0) {
      char b[8192];
      const ssize_t n = read(mestre, b, sizeof b);
      if (n <= 0) break;
      s.append(b, static_cast<size_t>(n));
    }
    return s;
  }
  void Teclejar(const std::string& s) { ASSERT_EQ(write(mestre, s.data(), s.size()), static_cast<ssize_t>(s.size())); }
  void Mida(int w, int h) {
    winsize ws{};
    ws.ws_col = static_cast<unsigned short>(w);
    ws.ws_row = static_cast<unsigned short>(h);
    ASSERT_EQ(ioctl(mestre, TIOCSWINSZ, &ws), 0);
    raise(SIGWINCH);  // the pty is not our controlling terminal: tell ourselves
  }

  int mestre = -1;
  int esclau = -1;
  termios original{};
};

TEST_F(Pty, ModesAreSwitchedOnAndPutBackExactly) {
  {
    ConsolaTerminal t(esclau, esclau, "xterm");
    ASSERT_TRUE(t.Oberta());
    EXPECT_EQ(Sortida(), "") << "nothing shown yet: the terminal is left alone";
    t.Refrescar();
    termios cru{};
    tcgetattr(esclau, &cru);
    EXPECT_FALSE(cru.c_lflag & (ICANON | ECHO | ISIG)) << "raw, and Ctrl+C does not interrupt";
    EXPECT_FALSE(cru.c_iflag & (IXON | ICRNL));
    const std::string inici = Sortida();
    EXPECT_NE(inici.find("\x1b[?1049h"), std::string::npos);
    EXPECT_NE(inici.find("\x1b[?2004h"), std::string::npos);

    t.Ratoli(true);
    Esdeveniment e;
    EXPECT_FALSE(t.LlegirEsdeveniment(e, 0));
    EXPECT_NE(Sortida().find("\x1b[?1000h\x1b[?1006h"), std::string::npos);
  }
  termios despres{};
  tcgetattr(esclau, &despres);
  EXPECT_TRUE(Iguals(original, despres));
  const std::string fi = Sortida();
  for (const char* s : {"\x1b[?1049l", "\x1b[?2004l", "\x1b[?1000l", "\x1b[?1006l", "\x1b[?25h", "\x1b[?7h", "\x1b[0 q"})
    EXPECT_NE(fi.find(s), std::string::npos) << "missing " << s + 1;
}

TEST_F(Pty, OnlyOneTerminalAtATimeAndAFailedStartTouchesNothing) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  ASSERT_TRUE(t.Oberta());
  ConsolaTerminal segona(esclau, esclau, "xterm");
  EXPECT_FALSE(segona.Oberta());
  // Not a terminal at all.
  int tub[2];
  ASSERT_EQ(pipe(tub), 0);
  t.Restaurar();
  ConsolaTerminal cap(tub[0], tub[1], "xterm");
  EXPECT_FALSE(cap.Oberta());
  close(tub[0]);
  close(tub[1]);
  termios ara{};
  tcgetattr(esclau, &ara);
  EXPECT_TRUE(Iguals(original, ara));
}

TEST_F(Pty, KeysArriveDecodedAndLoneEscapeAfterAPause) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  Esdeveniment e;
  EXPECT_FALSE(t.LlegirEsdeveniment(e, 20)) << "nothing typed: times out";
  Teclejar("\x1bOP\x1b[1;5D\xc3\xa9");
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.scan, 0x3B);
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.scan, 0x4B);
  EXPECT_TRUE(e.estat & plat::kCtrlEsquerra);
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.car, 0x82);

  Teclejar("\x1b");
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 5000));  // well before the timeout
  EXPECT_EQ(e.car, 0x1B);
  EXPECT_EQ(e.scan, 0x01);

  // Discarded input is gone, half sequences included.
  Teclejar("abc\x1b[1;");
  usleep(20000);
  t.BuidarEntrada();
  Teclejar("x");
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.car, 'x');
}

TEST_F(Pty, OneCellChangeSendsOnlyThatCell) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  Esdeveniment e;
  t.LlegirEsdeveniment(e, 0);
  Sortida();
  t.EscriureCella(10, 40, plat::Cella{'X', 0x07});
  EXPECT_EQ(Sortida(10), "") << "nothing is sent before the program waits";
  t.LlegirEsdeveniment(e, 0);
  EXPECT_EQ(Sortida(), "\x1b[11;41HX\x1b[H");
}

TEST_F(Pty, ResizeGrowsTheBufferAndTooSmallShowsTheMessage) {
  plat::FixarMissatgeMida("Finestra petita: m\xA1nim 80 x 25");
  ConsolaTerminal t(esclau, esclau, "xterm");
  t.EscriureCella(0, 0, plat::Cella{'Q', 0x1F});
  Esdeveniment e;
  t.LlegirEsdeveniment(e, 0);
  Sortida();

  Mida(100, 30);
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.tipus, plat::TipusEsdeveniment::Mida);
  EXPECT_EQ(e.col, 100);
  EXPECT_EQ(e.fila, 30);
  EXPECT_EQ(t.Amplada(), 100);
  EXPECT_EQ(t.Alcada(), 30);
  EXPECT_EQ(t.LlegirCella(0, 0).car, 'Q') << "contents kept";

  Mida(60, 20);
  EXPECT_FALSE(t.LlegirEsdeveniment(e, 100));
  const std::string missatge = Sortida();
  EXPECT_NE(missatge.find("m\xc3\xadnim 80 x 25"), std::string::npos) << "the message, in UTF-8";
  EXPECT_EQ(t.Amplada(), 100) << "the program keeps drawing at full size";
  Teclejar("a");
  EXPECT_FALSE(t.LlegirEsdeveniment(e, 100)) << "keys typed blind are dropped";

  Mida(100, 30);
  Teclejar("b");
  ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
  EXPECT_EQ(e.car, 'b') << "same size as before: no resize event, just go on";
  const std::string repintat = Sortida();
  EXPECT_NE(repintat.find("\x1b[97;44mQ"), std::string::npos) << "everything repainted";
}

TEST_F(Pty, ARunThatShowsNothingNeverTouchesTheTerminal) {
  {
    ConsolaTerminal t(esclau, esclau, "xterm");
    ASSERT_TRUE(t.Oberta());
    t.Suspendre();  // a child program started before anything was shown
    t.Reprendre();
  }
  termios despres{};
  tcgetattr(esclau, &despres);
  EXPECT_TRUE(Iguals(original, despres));
  EXPECT_EQ(Sortida(), "");
}

// Handlers are ours only while the terminal is: a signal the caller ignores (nohup) stays
// ignored, and whatever was there before comes back.
TEST_F(Pty, SignalsTheCallerIgnoresStayIgnoredAndTheRestComeBack) {
  auto handler = [](int s) {
    struct sigaction a {};
    sigaction(s, nullptr, &a);
    return a.sa_handler;
  };
  signal(SIGHUP, SIG_IGN);
  signal(SIGTERM, SIG_DFL);
  {
    ConsolaTerminal t(esclau, esclau, "xterm");
    ASSERT_TRUE(t.Oberta());
    EXPECT_EQ(handler(SIGHUP), SIG_IGN);
    EXPECT_NE(handler(SIGTERM), SIG_DFL);
    sigset_t bloquejats;
    sigprocmask(SIG_SETMASK, nullptr, &bloquejats);
    EXPECT_FALSE(sigismember(&bloquejats, SIGTERM)) << "nothing left held back";
  }
  EXPECT_EQ(handler(SIGHUP), SIG_IGN);
  EXPECT_EQ(handler(SIGTERM), SIG_DFL);
  signal(SIGHUP, SIG_DFL);
}

TEST_F(Pty, SuspendGivesTheTerminalBackAndResumeRepaints) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  t.Refrescar();
  t.Ratoli(true);
  t.EscriureCella(2, 2, plat::Cella{'Z', 0x07});
  t.Suspendre();
  termios durant{};
  tcgetattr(esclau, &durant);
  EXPECT_TRUE(Iguals(original, durant));
  const std::string s = Sortida();
  EXPECT_NE(s.find("Z"), std::string::npos) << "pending drawing sent before leaving";
  EXPECT_NE(s.rfind("\x1b[?1049l"), std::string::npos);
  EXPECT_GT(s.rfind("\x1b[?1000l"), s.find("\x1b[?1000h"));

  t.Reprendre();
  termios despres{};
  tcgetattr(esclau, &despres);
  EXPECT_FALSE(despres.c_lflag & ICANON);
  const std::string r = Sortida();
  EXPECT_NE(r.find("\x1b[?1049h"), std::string::npos);
  EXPECT_GE(r.size(), 2000u) << "every cell sent again";
  EXPECT_NE(r.find("Z"), std::string::npos);
}

TEST_F(Pty, BellAndClipboardGoOutWithTheNextFlush) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  Esdeveniment e;
  t.LlegirEsdeveniment(e, 0);
  Sortida();
  t.Xiulet();
  EXPECT_TRUE(plat::CopiarAlTerminal("caf\x82"));
  t.LlegirEsdeveniment(e, 0);
  EXPECT_EQ(Sortida(), "\a\x1b]52;c;Y2Fmw6k=\a");
}

TEST_F(Pty, HungUpTerminalAnswersEscape) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  close(mestre);
  mestre = -1;
  Esdeveniment e;
  ASSERT_TRUE(t.LlegirEsdeveniment(e, -1));
  EXPECT_EQ(e.car, 0x1B);
  EXPECT_TRUE(plat::SessioAcabant()) << "no program is started for a terminal that is gone";
}

// Closed terminal window or system shutdown: the dialogs see Escape, close what they
// opened and the program ends by itself, the terminal put back.
TEST_F(Pty, HangUpOrTerminateEndsTheWayEscapeDoes) {
  for (int senyal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(senyal);
    const pid_t fill = fork();
    ASSERT_GE(fill, 0);
    if (fill == 0) {
      signal(senyal, SIG_DFL);
      ConsolaTerminal t(esclau, esclau, "xterm");
      t.Ratoli(true);
      Esdeveniment e;
      do t.LlegirEsdeveniment(e, -1);
      while (e.car != 0x1B);
      const bool acabant = plat::SessioAcabant();
      t.Restaurar();
      _exit(acabant ? 0 : 2);
    }
    std::string s;
    for (int i = 0; i < 100 && s.find("\x1b[?1006h") == npos; ++i) s += Sortida(50);
    ASSERT_NE(s.find("\x1b[?1006h"), npos);
    Teclejar("\x1b[?62c");  // the start-up queries answered, as a terminal would
    kill(fill, senyal);
    int estat = 0;
    ASSERT_EQ(waitpid(fill, &estat, 0), fill);
    ASSERT_TRUE(WIFEXITED(estat)) << "ended by itself, not by the signal";
    EXPECT_EQ(WEXITSTATUS(estat), 0);
    termios despres{};
    tcgetattr(esclau, &despres);
    EXPECT_TRUE(Iguals(original, despres));
    const std::string fi = Sortida();
    EXPECT_NE(fi.find("\x1b[?1049l"), npos);
    EXPECT_NE(fi.find("\x1b[?1000l"), npos);
  }
}

TEST_F(Pty, TerminalThatSpeaksTheKeyboardProtocolHasItOnWhileTheDialogRuns) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  t.EscriureCella(0, 0, plat::Cella{'Q', 0x1F});
  Esdeveniment e;
  EXPECT_FALSE(t.LlegirEsdeveniment(e, 0));
  const std::string inici = Sortida();
  const size_t consulta = inici.find("\x1b[?u\x1b[c");
  ASSERT_NE(consulta, npos);
  EXPECT_GT(consulta, inici.find("\x1b[?1049h")) << "asked on the alternate screen";
  EXPECT_NE(inici.find('Q', consulta), npos) << "the first paint goes out without waiting for the answer";
  EXPECT_EQ(inici.find("\x1b[>1u"), npos) << "not switched on before the terminal answered";

  Teclejar("\x1b[?0u\x1b[?62;22c");
  EXPECT_FALSE(t.LlegirEsdeveniment(e, 300)) << "the answers are not keys";
  EXPECT_EQ(t.EstatTeclat(), Teclat::Actiu);
  EXPECT_EQ(Sortida(), "\x1b[>1u");

  const struct {
    const char* nom;
    const char* bytes;
    uint8_t scan, car;
    uint16_t estat;
  } tecles[] = {
      {"Escape", "\x1b[27u", 0x01, 0x1B, 0},
      {"Ctrl+a", "\x1b[97;5u", 0x1E, 0x01, plat::kCtrlEsquerra},
      {"an Escape byte on its own", "\x1b", 0x01, 0x1B, 0},
  };
  for (const auto& c : tecles) {
    SCOPED_TRACE(c.nom);
    Teclejar(c.bytes);
    ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));
    EXPECT_EQ(e.scan, c.scan);
    EXPECT_EQ(e.car, c.car);
    EXPECT_EQ(e.estat, c.estat);
  }

  // A child program gets the terminal in its normal keyboard mode.
  t.Suspendre();
  const std::string fora = Sortida();
  ASSERT_NE(fora.find("\x1b[<u"), npos);
  EXPECT_LT(fora.find("\x1b[<u"), fora.find("\x1b[?1049l")) << "popped on the screen it was pushed on";
  t.Reprendre();
  const std::string dins = Sortida();
  ASSERT_NE(dins.find("\x1b[>1u"), npos);
  EXPECT_GT(dins.find("\x1b[>1u"), dins.find("\x1b[?1049h"));

  t.Restaurar();
  const std::string fi = Sortida();
  ASSERT_NE(fi.find("\x1b[<u"), npos);
  EXPECT_LT(fi.find("\x1b[<u"), fi.find("\x1b[?1049l"));
  termios despres{};
  tcgetattr(esclau, &despres);
  EXPECT_TRUE(Iguals(original, despres));
}

TEST_F(Pty, TerminalThatAnswersOnlyTheAttributesStaysInItsLegacyMode) {
  std::string tot;
  {
    ConsolaTerminal t(esclau, esclau, "xterm");
    Esdeveniment e;
    t.LlegirEsdeveniment(e, 0);
    Teclejar("\x1b[?62;22c");
    EXPECT_FALSE(t.LlegirEsdeveniment(e, 300)) << "the answer is not a key";
    EXPECT_EQ(t.EstatTeclat(), Teclat::Absent);
    Teclejar("\x1b");
    ASSERT_TRUE(t.LlegirEsdeveniment(e, 2000));  // after the pause
    EXPECT_EQ(e.car, 0x1B);
    t.Suspendre();
    t.Reprendre();
    tot = Sortida();
  }
  tot += Sortida();
  EXPECT_NE(tot.find("\x1b[?u\x1b[c"), npos);
  EXPECT_EQ(tot.find("\x1b[>1u"), npos);
  EXPECT_EQ(tot.find("\x1b[<u"), npos);
}

TEST_F(Pty, AnswersStillOnTheWayNeverReachAChildProgram) {
  ConsolaTerminal t(esclau, esclau, "xterm");
  t.Refrescar();
  Teclejar("\x1b[?1u\x1b[?62c");
  t.Suspendre();  // a child program is started before the dialog read any input
  EXPECT_EQ(t.EstatTeclat(), Teclat::Actiu);
  pollfd p{esclau, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 0) << "nothing left for the child to read";
  const std::string s = Sortida();
  EXPECT_LT(s.find("\x1b[>1u"), s.find("\x1b[<u"));
  EXPECT_NE(s.find("\x1b[<u"), npos);
}

// The program below never ends on Escape: SIGTERM and SIGHUP end it after a short grace.
TEST_F(Pty, KilledProgramLeavesTheTerminalAsFound) {
  for (int senyal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(senyal);
    const pid_t fill = fork();
    ASSERT_GE(fill, 0);
    if (fill == 0) {
      signal(senyal, SIG_DFL);  // the test runner may ignore it
      ConsolaTerminal t(esclau, esclau, "xterm");
      t.Ratoli(true);
      Esdeveniment e;
      for (;;) t.LlegirEsdeveniment(e, -1);
    }
    // Wait until the child has taken the terminal and switched the mouse on.
    std::string s;
    for (int i = 0; i < 100 && s.find("\x1b[?1006h") == std::string::npos; ++i) s += Sortida(50);
    ASSERT_NE(s.find("\x1b[?1006h"), std::string::npos);
    kill(fill, senyal);
    int estat = 0;
    ASSERT_EQ(waitpid(fill, &estat, 0), fill);
    EXPECT_TRUE(WIFSIGNALED(estat));
    EXPECT_EQ(WTERMSIG(estat), senyal);
    termios despres{};
    tcgetattr(esclau, &despres);
    EXPECT_TRUE(Iguals(original, despres));
    const std::string fi = Sortida();
    EXPECT_NE(fi.find("\x1b[?1049l"), std::string::npos);
    EXPECT_NE(fi.find("\x1b[?1000l"), std::string::npos);
  }
}

TEST(ObrirTerminal, NoTerminalGivesNothing) {
  const int copia = dup(STDIN_FILENO);
  const int nul = open("/dev/null", O_RDONLY);
  ASSERT_GE(nul, 0);
  dup2(nul, STDIN_FILENO);
  EXPECT_EQ(plat::ObrirTerminal(), nullptr);
  dup2(copia, STDIN_FILENO);
  close(copia);
  close(nul);
}

}  // namespace
