#include "tune.h"
#include <stdexcept>
void renderTune(const std::string&, const std::string&) { throw std::runtime_error("todo"); }
