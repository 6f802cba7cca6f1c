// The terminal backend on a pseudo-terminal: modes in and out, input, resize, output size.
#include "platform/terminal.h"

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

namespace {

using plat::ConsolaTerminal;
using plat::Esdeveniment;

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
}

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
