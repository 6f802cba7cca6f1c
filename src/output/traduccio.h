// Catalan texts turned into the session language.
#pragma once
#include <string>

std::string TraduirText(const std::string& text);
