#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <strings.h>

namespace platform {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double parseDouble(const char* text, const char** end) {
    if (end) *end = text;
    if (!text) return 0.0;
    const char* p = text;
    while (isBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Find the extent of a decimal number by hand so that from_chars sees only what fits.
    const char* start = p;
    const char* q = p;
    bool digits = false;
    while (isDigit(*q)) { ++q; digits = true; }
    if (*q == '.') {
        ++q;
        while (isDigit(*q)) { ++q; digits = true; }
    }
    if (!digits) {
        // "inf" and "nan" as strtod knows them.
        if (strncasecmp(p, "inf", 3) == 0 || strncasecmp(p, "nan", 3) == 0) {
            const char* e = p + 3;
            if (strncasecmp(p, "infinity", 8) == 0) e = p + 8;
            double v = (p[0] == 'i' || p[0] == 'I') ? HUGE_VAL : std::nan("");
            if (end) *end = e;
            return negative ? -v : v;
        }
        return 0.0;
    }
    if (*q == 'e' || *q == 'E') {
        const char* r = q + 1;
        if (*r == '+' || *r == '-') ++r;
        if (isDigit(*r)) {
            while (isDigit(*r)) ++r;
            q = r;
        }
    }
    double value = 0.0;
    auto result = std::from_chars(start, q, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow gives infinity, underflow zero, as strtod does.
        bool big = false;
        for (const char* s = start; s < q && *s != 'e' && *s != 'E'; ++s) {
            if (*s >= '1' && *s <= '9') { big = true; break; }
        }
        const char* e = start;
        while (e < q && *e != 'e' && *e != 'E') ++e;
        bool negExp = (e < q && e + 1 < q && e[1] == '-');
        value = (big && !negExp) ? HUGE_VAL : 0.0;
    }
    if (end) *end = q;
    return negative ? -value : value;
}

}  // namespace platform
