// Builds Windows shell link files (the published Shell Link binary format) for tests.
#pragma once
#include <cstdint>
#include <string>

namespace drecera {

inline void U16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void U32(std::string& s, uint32_t v) {
  U16(s, v & 0xFFFF);
  U16(s, v >> 16);
}
inline std::string Utf16(const std::u16string& t) {
  std::string s;
  for (char16_t c : t) U16(s, c);
  U16(s, 0);
  return s;
}

// Header with the given LinkFlags; with bit 0 an ID list of `idList` bytes follows.
inline std::string Capcalera(uint32_t flags, size_t idList = 20) {
  std::string s;
  U32(s, 0x4C);
  const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  s.append(reinterpret_cast<const char*>(clsid), 16);
  U32(s, flags);
  s.append(76 - s.size(), '\0');
  if (flags & 1) {
    U16(s, static_cast<uint32_t>(idList));
    s.append(idList, '\x5A');
  }
  return s;
}

// LinkInfo of a local target: ANSI base path and suffix; with `unicode` the header is
// 0x24 bytes and also carries the Unicode forms (which a reader must prefer).
inline std::string InfoLocal(const std::string& base, const std::string& sufix, bool unicode = false,
                             const std::u16string& baseW = u"", const std::u16string& sufixW = u"") {
  const uint32_t cap = unicode ? 0x24 : 0x1C;
  std::string volum;
  U32(volum, 0x11);
  U32(volum, 3);  // fixed drive
  U32(volum, 0x1234);
  U32(volum, 0x10);
  volum += '\0';
  const uint32_t offVolum = cap;
  const uint32_t offBase = offVolum + static_cast<uint32_t>(volum.size());
  const uint32_t offSufix = offBase + static_cast<uint32_t>(base.size()) + 1;
  const uint32_t offBaseW = offSufix + static_cast<uint32_t>(sufix.size()) + 1;
  const std::string bw = Utf16(baseW), sw = Utf16(sufixW);
  const uint32_t offSufixW = offBaseW + static_cast<uint32_t>(bw.size());
  const uint32_t mida = unicode ? offSufixW + static_cast<uint32_t>(sw.size()) : offBaseW;
  std::string s;
  U32(s, mida);
  U32(s, cap);
  U32(s, 1);
  U32(s, offVolum);
  U32(s, offBase);
  U32(s, 0);
  U32(s, offSufix);
  if (unicode) {
    U32(s, offBaseW);
    U32(s, offSufixW);
  }
  s += volum + base + '\0' + sufix + '\0';
  if (unicode) s += bw + sw;
  return s;
}

// LinkInfo of a network target: share name, optional mapped drive, suffix.
inline std::string InfoXarxa(const std::string& xarxa, const std::string& unitat, const std::string& sufix) {
  std::string cnrl;
  const uint32_t offNom = 0x14;
  const uint32_t offUnitat = offNom + static_cast<uint32_t>(xarxa.size()) + 1;
  const uint32_t midaCnrl = offUnitat + static_cast<uint32_t>(unitat.size()) + 1;
  U32(cnrl, midaCnrl);
  U32(cnrl, unitat.empty() ? 2 : 3);  // ValidNetType, ValidDevice
  U32(cnrl, offNom);
  U32(cnrl, unitat.empty() ? 0 : offUnitat);
  U32(cnrl, 0x00020000);
  cnrl += xarxa + '\0' + unitat + '\0';
  const uint32_t offCnrl = 0x1C;
  const uint32_t offSufix = offCnrl + midaCnrl;
  std::string s;
  U32(s, offSufix + static_cast<uint32_t>(sufix.size()) + 1);
  U32(s, 0x1C);
  U32(s, 2);
  U32(s, 0);
  U32(s, 0);
  U32(s, offCnrl);
  U32(s, offSufix);
  s += cnrl + sufix + '\0';
  return s;
}

// A whole link to a local path, as Windows writes one.
inline std::string Local(const std::string& cami) { return Capcalera(0x1 | 0x2) + InfoLocal(cami, ""); }

}  // namespace drecera
