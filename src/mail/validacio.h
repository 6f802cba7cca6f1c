// Check of the sender address typed on the mail page.
#pragma once
#include <cstdint>
#include <string>

// 0 = accepted: the address is normalised in place (the "@" and the domain in lower
// case, leading spaces removed). Non-zero = refused: the address is left exactly as
// it came. A blank address is accepted unchanged; the form requires one only when it
// is left with e-mail switched on.
int16_t ValidarCorreu(std::string& adreca);
