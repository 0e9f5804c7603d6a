#pragma once

#include <string>

namespace telvora {

// The shortest text that reads back as `value`, always with a fractional part
// (15 gives "15.0", 7.5 gives "7.5"). Values from 1e-6 to 1e16 (seconds,
// counts, sentinels like 100000) are written without an exponent; beyond
// that the exponent form ("1e+300"). Non-finite values give "inf", "-inf"
// or "nan".
std::string doubleText(double value);

}  // namespace telvora
