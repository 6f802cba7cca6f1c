#include "platform/posix/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/cp850.h"
#include "platform/sistema.h"

namespace plat {

namespace {

// Every mode switched on here has its counterpart in kSeqFi*.
constexpr char kSeqInici[] = "\x1b[?1049h\x1b[?7l\x1b[?2004h\x1b[0m\x1b[H\x1b[2J";
constexpr char kSeqFi[] = "\x1b[0m\x1b[?25h\x1b[?2004l\x1b[?1006l\x1b[?1000l\x1b[?7h\x1b[?1049l";
constexpr char kSeqFiForma[] = "\x1b[0m\x1b[?25h\x1b[0 q\x1b[?2004l\x1b[?1006l\x1b[?1000l\x1b[?7h\x1b[?1049l";
constexpr char kRatoliSi[] = "\x1b[?1000h\x1b[?1006h";
constexpr char kRatoliNo[] = "\x1b[?1006l\x1b[?1000l";
// Progressive keyboard protocol: the query (answered only by terminals that speak it)
// followed by a device-attributes request that every terminal answers, so the second
// answer says the first is not coming. The mode is pushed and popped on the alternate
// screen's own stack.
constexpr char kConsultaTeclat[] = "\x1b[?u\x1b[c";
constexpr char kTeclatSi[] = "\x1b[>1u";
constexpr char kTeclatNo[] = "\x1b[<u";
// How long the answers are waited for before the terminal is given back (they would
// otherwise be typed into whatever reads the terminal next), counted from the query.
constexpr int kEsperaResposta = 200;
// After SIGHUP/SIGTERM the program ends as Escape would; if that has not happened
// within this many seconds, the terminal is put back and the signal ends it.
constexpr unsigned kSegonsGracia = 3;


// State the signal handlers reach. Owned by this file; one terminal at a time.
ConsolaTerminal* g_terminal = nullptr;
volatile sig_atomic_t g_estat = 0;  // 0 none, 1 active, 2 handed to a child program
volatile sig_atomic_t g_teclat = 0;  // the keyboard protocol is on while we hold the screen
volatile sig_atomic_t g_senyal_final = 0;  // the SIGHUP/SIGTERM that is ending the session
int g_fd_entrada = -1;
int g_fd_sortida = -1;
int g_tub[2] = {-1, -1};
termios g_original{};
termios g_cru{};
const char* g_seq_fi = kSeqFi;
size_t g_long_fi = sizeof(kSeqFi) - 1;
bool g_atexit = false;

constexpr int kSenyals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGABRT, SIGTSTP, SIGCONT, SIGWINCH, SIGALRM};
constexpr int kNombreSenyals = sizeof(kSenyals) / sizeof(kSenyals[0]);
struct sigaction g_anteriors[kNombreSenyals];
bool g_instal_lat[kNombreSenyals] = {};

long long AraMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void EscriureSegur(int fd, const char* s, size_t n) {
  while (n > 0) {
    const ssize_t r = write(fd, s, n);
    if (r < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, 1000) > 0) continue;
      }
      return;
    }
    s += r;
    n -= static_cast<size_t>(r);
  }
}

void Avisar(char c) {
  const int err = errno;
  if (g_tub[1] >= 0) {
    [[maybe_unused]] const ssize_t r = write(g_tub[1], &c, 1);
  }
  errno = err;
}

void RestaurarSegur() {
  if (g_teclat) EscriureSegur(g_fd_sortida, kTeclatNo, sizeof(kTeclatNo) - 1);
  EscriureSegur(g_fd_sortida, g_seq_fi, g_long_fi);
  tcsetattr(g_fd_entrada, TCSADRAIN, &g_original);
}

int IndexSenyal(int s) {
  for (int i = 0; i < kNombreSenyals; ++i)
    if (kSenyals[i] == s) return i;
  return -1;
}

void Senyal(int s) {
  const int err = errno;
  switch (s) {
    case SIGWINCH:
      Avisar('w');
      return;
    case SIGCONT:
      // Back from a stop: take the terminal again; the main loop repaints.
      if (g_estat == 1) {
        tcsetattr(g_fd_entrada, TCSANOW, &g_cru);
        EscriureSegur(g_fd_sortida, kSeqInici, sizeof(kSeqInici) - 1);
        if (g_teclat) EscriureSegur(g_fd_sortida, kTeclatSi, sizeof(kTeclatSi) - 1);
      }
      Avisar('c');
      errno = err;
      return;
    case SIGTSTP: {
      if (g_estat == 1) RestaurarSegur();
      signal(SIGTSTP, SIG_DFL);
      sigset_t m;
      sigemptyset(&m);
      sigaddset(&m, SIGTSTP);
      sigprocmask(SIG_UNBLOCK, &m, nullptr);
      raise(SIGTSTP);  // stops here until continued
      struct sigaction a {};
      a.sa_handler = Senyal;
      sigemptyset(&a.sa_mask);
      sigaction(SIGTSTP, &a, nullptr);
      errno = err;
      return;
    }
    case SIGTERM:
    case SIGHUP:
      // The session is ending: close windows and lists as Escape would, start nothing,
      // then end. A second signal ends at once.
      if (g_senyal_final == 0) {
        g_senyal_final = s;
        FixarSessioAcabant(true);
        Avisar('f');
        if (g_estat != 2) alarm(kSegonsGracia);  // a running child is waited for first
        errno = err;
        return;
      }
      break;
    case SIGALRM:
      if (g_senyal_final == 0) break;
      s = g_senyal_final;  // the orderly end did not come: end by the first signal
      break;
    default:
      break;
  }
  // Ctrl+C typed while a child program runs is meant for the child.
  if (g_estat == 2 && (s == SIGINT || s == SIGQUIT)) return;
  if (g_estat == 1) RestaurarSegur();
  g_estat = 0;
  const int i = IndexSenyal(s);
  if (i >= 0 && g_instal_lat[i]) sigaction(s, &g_anteriors[i], nullptr);
  else signal(s, SIG_DFL);
  raise(s);  // delivered when the handler returns
  errno = err;
}

void InstallarSenyals() {
  // One call per signal, each answering what was there before. Held back meanwhile: a
  // signal the caller chose to ignore (nohup) must never reach our handler, and one that
  // came while it was briefly ours is dropped when ignoring is put back.
  sigset_t totes, abans;
  sigemptyset(&totes);
  for (int s : kSenyals) sigaddset(&totes, s);
  sigprocmask(SIG_BLOCK, &totes, &abans);
  for (int i = 0; i < kNombreSenyals; ++i) {
    struct sigaction a {};
    a.sa_handler = Senyal;
    sigemptyset(&a.sa_mask);
    a.sa_flags = kSenyals[i] == SIGWINCH || kSenyals[i] == SIGCONT ? SA_RESTART : 0;
    if (sigaction(kSenyals[i], &a, &g_anteriors[i]) != 0) continue;
    const struct sigaction& anterior = g_anteriors[i];
    // An ignored signal stays ignored; the alarm is our own.
    if (anterior.sa_handler == SIG_IGN && !(anterior.sa_flags & SA_SIGINFO) && kSenyals[i] != SIGALRM)
      sigaction(kSenyals[i], &anterior, nullptr);
    else
      g_instal_lat[i] = true;
  }
  sigprocmask(SIG_SETMASK, &abans, nullptr);
}

void DesinstallarSenyals() {
  for (int i = 0; i < kNombreSenyals; ++i) {
    if (g_instal_lat[i]) sigaction(kSenyals[i], &g_anteriors[i], nullptr);
    g_instal_lat[i] = false;
  }
}

void SortirPrograma() {
  if (g_terminal) g_terminal->Restaurar();
}

std::string Base64(const std::string& dades) {
  static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string r;
  r.reserve((dades.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < dades.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(dades[i]) << 16) | (static_cast<unsigned char>(dades[i + 1]) << 8) |
                       static_cast<unsigned char>(dades[i + 2]);
    r += k[v >> 18];
    r += k[(v >> 12) & 63];
    r += k[(v >> 6) & 63];
    r += k[v & 63];
  }
  if (i < dades.size()) {
    const bool dos = i + 1 < dades.size();
    const unsigned v = (static_cast<unsigned char>(dades[i]) << 16) |
                       (dos ? static_cast<unsigned char>(dades[i + 1]) << 8 : 0);
    r += k[v >> 18];
    r += k[(v >> 12) & 63];
    r += dos ? k[(v >> 6) & 63] : '=';
    r += '=';
  }
  return r;
}

}  // namespace

// ---- Pintor ----

void Pintor::Invalidar() {
  valid_ = false;
  atr_ = -1;
  fila_ = col_ = -1;
  visible_ = -1;
  forma_ = -1;
}

namespace {

// Parameters of escape sequences: small and never negative.
char* Numero(char* p, int n) {
  char d[12];
  char* q = d + sizeof d;
  unsigned u = n < 0 ? 0u : static_cast<unsigned>(n);
  do *--q = static_cast<char>('0' + u % 10);
  while ((u /= 10) != 0);
  while (q < d + sizeof d) *p++ = *q++;
  return p;
}

char* Text(char* p, std::string_view t) {
  for (char ch : t) *p++ = ch;
  return p;
}

// The most one cell costs: a cursor move, a colour change and a glyph.
constexpr size_t kMaxCella = 48;

}  // namespace

char* Pintor::Moure(int fila, int col, char* p) {
  if (fila_ == fila && col_ == col) return p;
  if (fila_ == fila && col_ >= 0 && col > col_) {
    p = Text(p, "\x1b[");
    if (col - col_ > 1) p = Numero(p, col - col_);
    *p++ = 'C';
  } else if (fila == 0 && col == 0) {
    p = Text(p, "\x1b[H");
  } else {
    p = Text(p, "\x1b[");
    p = Numero(p, fila + 1);
    *p++ = ';';
    p = Numero(p, col + 1);
    *p++ = 'H';
  }
  fila_ = fila;
  col_ = col;
  return p;
}

char* Pintor::Atribut(uint8_t atr, char* p) {
  // PC colour order (blue first) to ANSI order (red first).
  static constexpr int kAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  const int tinta = atr & 15;
  const int fons = atr >> 4;
  const bool canvi_tinta = atr_ < 0 || (atr_ & 15) != tinta;
  const bool canvi_fons = atr_ < 0 || (atr_ >> 4) != fons;
  if (!canvi_tinta && !canvi_fons) return p;
  p = Text(p, "\x1b[");
  if (canvi_tinta) p = Numero(p, (tinta & 8 ? 90 : 30) + kAnsi[tinta & 7]);
  if (canvi_tinta && canvi_fons) *p++ = ';';
  if (canvi_fons) p = Numero(p, (fons & 8 ? 100 : 40) + kAnsi[fons & 7]);
  *p++ = 'm';
  atr_ = atr;
  return p;
}

void Pintor::Pintar(const Consola& c, int amplada, int alcada, std::string& s) {
  amplada = std::max(0, std::min(amplada, c.Amplada()));
  alcada = std::max(0, std::min(alcada, c.Alcada()));
  const bool tot = !valid_ || amplada != amplada_ || alcada != alcada_;
  if (tot) {
    mostrat_.assign(static_cast<size_t>(amplada) * alcada, Cella{});
    amplada_ = amplada;
    alcada_ = alcada;
    valid_ = true;
  }
  const GlifCodificat* glifs = GlifsUtf8();
  // The pass is built in a local buffer, handed on whenever another cell might not fit.
  char buf[4096];
  char* p = buf;
  auto lloc = [&] {
    if (p + kMaxCella > buf + sizeof buf) {
      s.append(buf, static_cast<size_t>(p - buf));
      p = buf;
    }
  };
  for (int f = 0; f < alcada; ++f) {
    const Cella* fila = c.Fila(f);
    Cella* vella = mostrat_.data() + static_cast<size_t>(f) * amplada;
    for (int k = 0; k < amplada; ++k, ++vella) {
      const Cella nova = fila[k];
      if (!tot && *vella == nova) continue;
      lloc();
      if (fila_ != f || col_ != k) p = Moure(f, k, p);
      if (nova.atr != atr_) p = Atribut(nova.atr, p);
      const GlifCodificat& g = glifs[nova.car];
      memcpy(p, g.bytes, 3);
      p += g.mida;
      *vella = nova;
      // With autowrap off the cursor stays on the last column; do not guess, move next time.
      col_ = k + 1 < amplada ? k + 1 : -1;
    }
  }
  const int mida = c.MidaCursorActual();
  const int fc = c.FilaCursor();
  const int cc = c.ColCursor();
  lloc();
  if (mida <= 0 || fc < 0 || cc < 0 || fc >= alcada || cc >= amplada) {
    if (visible_ != 0) p = Text(p, "\x1b[?25l");
    visible_ = 0;
    s.append(buf, static_cast<size_t>(p - buf));
    return;
  }
  p = Moure(fc, cc, p);
  if (forma_cursor_) {
    const int forma = mida >= 50 ? 1 : 3;  // blinking block or underline, as a PC console
    if (forma_ != forma) {
      p = Text(p, "\x1b[");
      p = Numero(p, forma);
      p = Text(p, " q");
      forma_ = forma;
    }
  }
  if (visible_ != 1) p = Text(p, "\x1b[?25h");
  visible_ = 1;
  s.append(buf, static_cast<size_t>(p - buf));
}

// ---- ConsolaTerminal ----

ConsolaTerminal::ConsolaTerminal(int fd_entrada, int fd_sortida, const std::string& tipus)
    : Consola(80, 25), fd_entrada_(fd_entrada), fd_sortida_(fd_sortida), pintor_(tipus.rfind("linux", 0) != 0) {
  if (g_terminal) return;
  termios t{};
  if (tcgetattr(fd_entrada, &t) != 0) return;
#ifdef __linux__
  const bool tub = pipe2(g_tub, O_NONBLOCK | O_CLOEXEC) == 0;
#else
  const bool tub = pipe(g_tub) == 0;
  for (int fd : g_tub) {
    if (!tub) break;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
#endif
  if (!tub) {
    g_tub[0] = g_tub[1] = -1;
    return;
  }
  g_original = t;
  // Raw: no echo, no line editing, no signals from Ctrl+C / Ctrl+Z / Ctrl+\, no flow control.
  g_cru = t;
  g_cru.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  g_cru.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  g_cru.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  g_cru.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
  g_cru.c_cflag |= CS8;
  g_cru.c_cc[VMIN] = 1;
  g_cru.c_cc[VTIME] = 0;
  g_fd_entrada = fd_entrada;
  g_fd_sortida = fd_sortida;
  const bool forma = tipus.rfind("linux", 0) != 0;
  g_seq_fi = forma ? kSeqFiForma : kSeqFi;
  g_long_fi = forma ? sizeof(kSeqFiForma) - 1 : sizeof(kSeqFi) - 1;
  g_terminal = this;
  oberta_ = true;
  InstallarSenyals();
  if (!g_atexit) {
    std::atexit(SortirPrograma);
    g_atexit = true;
  }
  // The screen is taken when something is first shown: a run that ends without a dialog
  // leaves the terminal as it was.
  ComprovarMida();
  cua_.clear();  // the size at start is not news
}

void ConsolaTerminal::Entrar() {
  if (!oberta_ || g_estat != 0) return;
  if (tcsetattr(fd_entrada_, TCSANOW, &g_cru) != 0) {
    Restaurar();
    return;
  }
  g_estat = 1;
  std::string inici(kSeqInici);
  if (teclat_ == Teclat::NoPreguntat) {
    // Asked now and answered while the dialog is already on screen: the first paint
    // does not wait for it.
    inici += kConsultaTeclat;
    teclat_ = Teclat::Preguntat;
    consulta_ = AraMs();
  }
  // Goes out with the first paint, in one write: before anything already queued.
  pendent_.insert(0, inici);
  pintor_.Invalidar();
}

std::string ConsolaTerminal::SeqSortida() const {
  std::string s = g_teclat ? kTeclatNo : "";
  return s.append(g_seq_fi, g_long_fi);
}

void ConsolaTerminal::AtendreResposta() {
  const Descodificador::Resposta r = desc_.PrendreResposta();
  if (r == Descodificador::Resposta::Cap || teclat_ != Teclat::Preguntat) return;
  if (r == Descodificador::Resposta::AmbProtocol && g_estat == 1) {
    Enviar(std::string_view(kTeclatSi, sizeof(kTeclatSi) - 1));
    g_teclat = 1;
    teclat_ = Teclat::Actiu;
    desc_.EscapadaImmediata(true);
  } else {
    teclat_ = Teclat::Absent;
  }
}

void ConsolaTerminal::Llegits(std::string_view bytes) {
  std::vector<Esdeveniment> nous;
  ultim_byte_ = AraMs();
  desc_.Alimentar(bytes, nous);
  Rebre(nous);
  AtendreResposta();
}

bool ConsolaTerminal::LlegirEntrada() {
  char buf[4096];
  const ssize_t r = read(fd_entrada_, buf, sizeof buf);
  if (r > 0) {
    Llegits(std::string_view(buf, static_cast<size_t>(r)));
    return true;
  }
  if (r == 0 || (errno != EINTR && errno != EAGAIN)) fi_entrada_ = true;
  return false;
}

void ConsolaTerminal::EsperarResposta() {
  while (teclat_ == Teclat::Preguntat && !fi_entrada_) {
    const long long resta = consulta_ + kEsperaResposta - AraMs();
    if (resta <= 0) return;
    pollfd p{fd_entrada_, POLLIN, 0};
    const int n = poll(&p, 1, static_cast<int>(resta));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    LlegirEntrada();
  }
}

ConsolaTerminal::~ConsolaTerminal() { Restaurar(); }

void ConsolaTerminal::Restaurar() {
  if (!oberta_) return;
  if (g_estat == 1) {
    pendent_.clear();
    EsperarResposta();
    Enviar(SeqSortida());
    tcsetattr(fd_entrada_, TCSADRAIN, &g_original);
  }
  g_estat = 0;
  g_teclat = 0;
  if (g_senyal_final != 0) alarm(0);  // the orderly end came in time
  DesinstallarSenyals();
  for (int& fd : g_tub) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  g_terminal = nullptr;
  oberta_ = false;
}

void ConsolaTerminal::Enviar(std::string_view bytes) {
  if (bytes.empty()) return;
  if (sortida_) sortida_(bytes);
  else EscriureSegur(fd_sortida_, bytes.data(), bytes.size());
}

void ConsolaTerminal::ComprovarMida() {
  int w = 80, h = 25;
  winsize ws{};
  if (ioctl(fd_sortida_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
    w = ws.ws_col;
    h = ws.ws_row;
  }
  const bool canvi = w != amplada_term_ || h != alcada_term_;
  amplada_term_ = w;
  alcada_term_ = h;
  if (w < 80 || h < 25) {
    if (!petita_ || canvi) missatge_mostrat_ = false;
    petita_ = true;
    return;
  }
  if (petita_ || canvi) {
    // The terminal may have reflowed or cleared what it showed.
    pintor_.Invalidar();
    pendent_ += "\x1b[0m\x1b[2J";
  }
  petita_ = false;
  missatge_mostrat_ = false;
  if (w != Amplada() || h != Alcada()) {
    Redimensionar(w, h);
    Esdeveniment e;
    e.tipus = TipusEsdeveniment::Mida;
    e.col = w;
    e.fila = h;
    cua_.push_back(e);
  }
}

void ConsolaTerminal::Refrescar() {
  if (!oberta_ || suspesa_) return;
  Entrar();
  if (!oberta_) return;
  if (RatoliActiu() != ratoli_terminal_) {
    pendent_ += RatoliActiu() ? kRatoliSi : kRatoliNo;
    ratoli_terminal_ = RatoliActiu();
  }
  if (petita_) {
    if (!missatge_mostrat_) {
      // Centred, cut into lines as wide as the terminal.
      const int w = std::max(1, amplada_term_);
      std::vector<std::string> linies;
      const std::string& missatge = MissatgeMida();
      for (size_t i = 0; i < missatge.size(); i += static_cast<size_t>(w)) linies.push_back(missatge.substr(i, w));
      pendent_ += "\x1b[0m\x1b[?25l\x1b[H\x1b[2J";
      const int primera = std::max(0, (alcada_term_ - static_cast<int>(linies.size())) / 2);
      for (size_t i = 0; i < linies.size(); ++i) {
        const int col = std::max(0, (w - static_cast<int>(linies[i].size())) / 2);
        pendent_ += "\x1b[" + std::to_string(primera + static_cast<int>(i) + 1) + ";" + std::to_string(col + 1) + "H";
        for (unsigned char c : linies[i]) pendent_ += GlifUtf8(c);
      }
      missatge_mostrat_ = true;
      pintor_.Invalidar();
    }
  } else {
    pintor_.Pintar(*this, amplada_term_, alcada_term_, pendent_);
  }
  Enviar(pendent_);
  pendent_.clear();
}

void ConsolaTerminal::Rebre(const std::vector<Esdeveniment>& v) {
  if (SessioAcabant()) return;
  for (const Esdeveniment& e : v) {
    if (petita_) continue;  // nothing can be seen: typed keys would act blindly
    if (cua_.size() >= kMaxCua) break;
    cua_.push_back(e);
  }
}

void ConsolaTerminal::TractarSenyals() {
  char b[64];
  bool mida = false, represa = false;
  for (;;) {
    const ssize_t n = read(g_tub[0], b, sizeof b);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) {
      if (b[i] == 'w') mida = true;
      if (b[i] == 'c') represa = true;
    }
  }
  if (represa) {
    // The terminal was reset while stopped.
    pintor_.Invalidar();
    ratoli_terminal_ = false;
    missatge_mostrat_ = false;
    desc_.Reiniciar();
  }
  if (mida || represa) {
    ComprovarMida();
    Refrescar();
  }
}

bool ConsolaTerminal::LlegirEsdeveniment(Esdeveniment& e, int espera_ms) {
  auto treure = [&] {
    e = std::move(cua_.front());
    cua_.pop_front();
    return true;
  };
  auto escapada = [&] {
    e = Esdeveniment{};
    e.car = 0x1B;
    e.scan = 0x01;
    return true;
  };
  if (SessioAcabant()) {
    // Keys typed before the end are not acted on; Escape unwinds every dialog.
    cua_.clear();
    Refrescar();
    return escapada();
  }
  if (!cua_.empty()) return treure();
  if (!oberta_) return false;
  Refrescar();
  const long long limit = espera_ms >= 0 ? AraMs() + espera_ms : 0;
  bool primera = true;
  std::vector<Esdeveniment> nous;
  for (;;) {
    if (SessioAcabant()) return escapada();
    if (!cua_.empty()) return treure();
    const long long ara = AraMs();
    if (desc_.Pendent() && ara - ultim_byte_ >= kPausaEscapada) {
      nous.clear();
      desc_.Pausa(nous);
      Rebre(nous);
      continue;
    }
    if (desc_.EnEnganxat() && ara - ultim_byte_ >= 1000) {
      nous.clear();
      desc_.TancarEnganxat(nous);
      Rebre(nous);
      continue;
    }
    if (fi_entrada_) {
      // The terminal is gone: the session is over, as after SIGHUP.
      if (g_senyal_final == 0) {
        g_senyal_final = SIGHUP;
        alarm(kSegonsGracia);
      }
      FixarSessioAcabant(true);
      return escapada();
    }
    if (!primera && espera_ms >= 0 && ara >= limit) return false;
    primera = false;
    long long t = espera_ms >= 0 ? std::max(0LL, limit - ara) : -1;
    if (desc_.Pendent()) {
      const long long r = std::max(0LL, ultim_byte_ + kPausaEscapada - ara);
      t = t < 0 ? r : std::min(t, r);
    } else if (desc_.EnEnganxat()) {
      const long long r = std::max(0LL, ultim_byte_ + 1000 - ara);
      t = t < 0 ? r : std::min(t, r);
    }
    pollfd p[2] = {{fd_entrada_, POLLIN, 0}, {g_tub[0], POLLIN, 0}};
    const int n = poll(p, 2, static_cast<int>(std::min(t, 1LL << 30)));
    if (n < 0) {
      if (errno == EINTR) continue;
      fi_entrada_ = true;
      continue;
    }
    if (p[1].revents & POLLIN) TractarSenyals();
    if (p[0].revents & POLLIN) {
      LlegirEntrada();
    } else if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      fi_entrada_ = true;
    }
  }
}

void ConsolaTerminal::BuidarEntrada() {
  if (oberta_ && teclat_ == Teclat::Preguntat) {
    // The answers may be among the bytes thrown away: read them out first.
    for (;;) {
      pollfd p{fd_entrada_, POLLIN, 0};
      if (poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN) || !LlegirEntrada()) break;
    }
  }
  if (oberta_) tcflush(fd_entrada_, TCIFLUSH);
  desc_.Reiniciar();
  std::deque<Esdeveniment> mides;
  for (Esdeveniment& e : cua_)
    if (e.tipus == TipusEsdeveniment::Mida) mides.push_back(std::move(e));
  cua_ = std::move(mides);
}

void ConsolaTerminal::Xiulet() { pendent_ += '\a'; }

void ConsolaTerminal::EnviarOsc52(const std::string& cp850) {
  // Terminals refuse very long clipboard texts; keep it to what xterm accepts.
  const std::string utf8 = Cp850AUtf8(cp850.substr(0, 65536));
  pendent_ += "\x1b]52;c;" + Base64(utf8) + "\a";
}

void ConsolaTerminal::Suspendre() {
  if (!oberta_ || suspesa_ || g_estat == 0) return;  // never shown: nothing to give back
  Refrescar();
  EsperarResposta();
  Enviar(SeqSortida());
  tcsetattr(fd_entrada_, TCSADRAIN, &g_original);
  ratoli_terminal_ = false;
  suspesa_ = true;
  g_estat = 2;
  desc_.EscapadaImmediata(false);
}

void ConsolaTerminal::Reprendre() {
  if (!oberta_ || !suspesa_) return;
  tcsetattr(fd_entrada_, TCSANOW, &g_cru);
  std::string inici(kSeqInici);
  if (g_teclat) inici += kTeclatSi;  // the child had the terminal in its normal state
  Enviar(inici);
  suspesa_ = false;
  g_estat = 1;
  if (g_senyal_final != 0) alarm(kSegonsGracia);  // the session ended while the child ran
  desc_.Reiniciar();
  desc_.EscapadaImmediata(g_teclat != 0);
  pintor_.Invalidar();
  missatge_mostrat_ = false;
  ComprovarMida();
  Refrescar();
}

std::unique_ptr<Consola> ObrirTerminal() {
  // Input that is no terminal is refused by the console's own tcgetattr.
  if (!isatty(STDOUT_FILENO)) return nullptr;
  const char* tipus = std::getenv("TERM");
  auto c = std::make_unique<ConsolaTerminal>(STDIN_FILENO, STDOUT_FILENO, tipus ? tipus : "");
  if (!c->Oberta()) return nullptr;
  return c;
}

std::unique_ptr<Consola> ObrirConsola() {
  std::unique_ptr<Consola> c = ObrirTerminal();
  if (c) FixarCopiaTerminal([](const std::string& text) { CopiarAlTerminal(text); });
  return c;
}

bool CopiarAlTerminal(const std::string& cp850) {
  if (!g_terminal) return false;
  g_terminal->EnviarOsc52(cp850);
  return true;
}

void ReiniciarTerminal() {
  ReiniciarMissatgeMida();
  FixarSessioAcabant(false);
  g_senyal_final = 0;
  alarm(0);
}

}  // namespace plat
