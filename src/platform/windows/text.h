// Text at the Windows API edge: host paths are UTF-8, the W calls take UTF-16.
// Internal to src/platform/windows.
#pragma once
#include <string>

namespace plat {

std::wstring Ample(const std::string& utf8);    // UTF-8 -> UTF-16
std::string Estret(const std::wstring& utf16);  // UTF-16 -> UTF-8 (unpaired surrogates dropped)
std::wstring Cp850AAmple(const std::string& cp850);
std::string AmpleACp850(const std::wstring& utf16);  // characters without a CP850 code dropped

}  // namespace plat
