#pragma once

#include <string>

namespace telvora {

// A random version-4 UUID in its canonical text form: 36 lower-case
// characters, hex groups of 8, 4, 4, 4 and 12 joined by "-". Thread-safe.
std::string randomUUID();

}  // namespace telvora
