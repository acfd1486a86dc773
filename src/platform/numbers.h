// Locale-independent decimal conversion: leading blanks, an optional sign, digits, an optional
// fraction and exponent; reading stops at the first character that does not fit; no number
// gives 0. The desktop's locale never changes how "0.25" reads.
#pragma once

namespace platform {

// Like strtod in the "C" locale (decimal only). *end (if given) points after the number,
// or at text when there was none.
double parseDouble(const char* text, const char** end = nullptr);

}  // namespace platform
