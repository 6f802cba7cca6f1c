// Help pages: the console viewer of fixed-record help files, or the suite's HTML
// launcher in Windows mode.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Shows the help page of the topic ("AJUDA\" + topic + ".HLP" below the current
// directory; in mode "WIN" "AJUDA\" + topic + ".HTM" through the launcher). Returns when
// the page is closed or the launcher ends.
void MostrarAjuda(const std::string& tema);

// Reader of a help file kept open for random access: one record per line, each as long
// as the console is wide. Only the records asked for are read.
class FitxerAjuda {
 public:
  FitxerAjuda(const std::string& cami, int64_t llargRegistre);
  ~FitxerAjuda();
  FitxerAjuda(const FitxerAjuda&) = delete;
  FitxerAjuda& operator=(const FitxerAjuda&) = delete;

  bool Obert() const { return f_ != nullptr; }
  // Line count: the file size over the record length, rounded to the nearest whole.
  int64_t Linies() const { return linies_; }
  // Record n (1-based); shorter at the end of the file, "" past it.
  std::string Linia(int64_t n) const;

 private:
  void* f_ = nullptr;  // FILE*
  int64_t llarg_;
  int64_t mida_ = 0;
  int64_t linies_ = 0;
};

// A displayed line: runs of text, each with the colour role that shows it ("n", "h", "u"
// or "r"), at most 76 characters in all; the switch bytes 30, 31 and 16 are not shown.
struct TrosLinia {
  std::string rol;
  std::string text;
};
std::vector<TrosLinia> TrossejarLinia(const std::string& registre);

// F1 in a form: shows the help page of the session's menu option.
void RegistrarAjuda();
