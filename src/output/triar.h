// The destination flow: request options, content test, destination list, dialog.
#pragma once
#include <cstddef>
#include <string>

// The caller's request in the work folder, under one spelling everywhere. Names match
// without regard to case, so this is also the "KEVPRINT.INI" of the work folder; one
// spelling keeps the reads, the removal of "Correu" and the final removal on one file
// even where a case-sensitive disk holds both spellings.
inline constexpr char kFitxerPeticio[] = "KevPrint.ini";

void TriarSortida();

// The content test of a listing, fed in pieces of any size. Control lines (first word
// beginning with SEND, DEVICE, PAGE or JUS, any case, after leading spaces), lines whose
// first character is "*" and blank lines are not content. Keeps a few bytes of state,
// whatever the line lengths.
class DetectorContingut {
 public:
  // Feeds bytes; true as soon as a content line has been seen (further bytes are ignored).
  bool Afegir(const char* p, size_t n);
  // Call at the end of the input: an unfinished last line is judged here.
  bool Acabar();
  bool Contingut() const { return contingut_; }

 private:
  void JutjarLinia();
  enum class Estat { Inici, Sangria, Prefix, Resta } estat_ = Estat::Inici;
  char prefix_[6] = {};
  size_t nPrefix_ = 0;
  bool contingut_ = false;
};

// True when the listing at that path has a content line; a missing or unreadable file,
// or anything but a regular file, has none. Reads in bounded blocks and stops early.
bool LlistatTeContingut(const std::string& cami);

// The destination option list: screen, named printers 1..9, HTML, PDF, Windows.
std::string LlistaSortides();
// The send-time items appended after "immediately", from the clock's current hour.
std::string OpcionsHora();
