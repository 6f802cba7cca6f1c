// POSIX hosts have no record manager library: the record layer keeps its own default.
#include "platform/gestor_registres.h"

namespace plat {

CridaGestor CarregarGestorRegistres(const std::string&) { return nullptr; }

}  // namespace plat
