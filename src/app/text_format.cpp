#include "app/text_format.h"

#include <cstdio>
#include <cstring>

namespace {

// Widths and precisions beyond this are not a sentence for the player: such a directive is
// copied as it stands.
constexpr int kLargestField = 512;

struct Output {
    char* out;
    size_t capacity;
    size_t length;
    void put(const char* text, size_t n) {
        if (!out || capacity == 0) return;
        size_t room = capacity - 1 - length;
        if (n > room) n = room;
        if (n > 0) std::memcpy(out + length, text, n);
        length += n;
        out[length] = '\0';
    }
};

bool isFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The next unused argument of a kind, or null.
const FormatArg* nextOf(FormatArg::Kind kind, const FormatArg* args, int count, int& cursor) {
    while (cursor < count) {
        const FormatArg* a = &args[cursor++];
        if (a->kind == kind) return a;
    }
    return nullptr;
}

}  // namespace

int formatText(char* out, size_t capacity, const char* templ, const FormatArg* args, int count) {
    Output o{out, capacity, 0};
    if (out && capacity > 0) out[0] = '\0';
    if (!templ) return 0;
    if (!args) count = 0;
    int nextInt = 0;
    int nextText = 0;

    const char* p = templ;
    while (*p) {
        if (*p != '%') {
            const char* run = p;
            while (*p && *p != '%') ++p;
            o.put(run, static_cast<size_t>(p - run));
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            o.put("%", 1);
            ++p;
            continue;
        }
        // %[flags][width][.precision][length]conversion
        char directive[32];
        size_t s = 0;
        directive[s++] = '%';
        bool valid = true;
        while (isFlag(*p)) {
            if (s < 8) directive[s++] = *p;  // repeated flags mean nothing more
            ++p;
        }
        int width = 0;
        while (isDigit(*p)) {
            width = width * 10 + (*p - '0');
            if (width > kLargestField) valid = false, width = kLargestField;
            ++p;
        }
        bool hasPrecision = false;
        int precision = 0;
        if (*p == '.') {
            hasPrecision = true;
            ++p;
            while (isDigit(*p)) {
                precision = precision * 10 + (*p - '0');
                if (precision > kLargestField) valid = false, precision = kLargestField;
                ++p;
            }
        }
        // Length modifiers change nothing here: the argument's own type is used.
        while (*p == 'h' || *p == 'l' || *p == 'j' || *p == 'z' || *p == 't') ++p;
        char conversion = *p;
        const FormatArg* arg = nullptr;
        if (valid && (conversion == 'd' || conversion == 'i' || conversion == 'u'))
            arg = nextOf(FormatArg::Kind::Int, args, count, nextInt);
        else if (valid && conversion == 's')
            arg = nextOf(FormatArg::Kind::Text, args, count, nextText);
        if (conversion != '\0') ++p;
        if (!arg) {
            o.put(start, static_cast<size_t>(p - start));  // copied as it stands
            continue;
        }
        if (width > 0) s += static_cast<size_t>(std::snprintf(directive + s, sizeof directive - s, "%d", width));
        if (hasPrecision) s += static_cast<size_t>(std::snprintf(directive + s, sizeof directive - s, ".%d", precision));

        char field[2 * kLargestField + 64];
        int n = 0;
        if (conversion == 's') {
            std::memcpy(directive + s, "s", 2);
            n = std::snprintf(field, sizeof field, directive, arg->text ? arg->text : "");
        } else if (conversion == 'u') {
            std::memcpy(directive + s, "llu", 4);
            // As printf shows an int given to %u: its 32-bit pattern, unsigned.
            unsigned long long v = (arg->number >= INT32_MIN && arg->number <= INT32_MAX)
                                       ? static_cast<unsigned long long>(static_cast<uint32_t>(arg->number))
                                       : static_cast<unsigned long long>(arg->number);
            n = std::snprintf(field, sizeof field, directive, v);
        } else {
            std::memcpy(directive + s, "lld", 4);
            n = std::snprintf(field, sizeof field, directive, static_cast<long long>(arg->number));
        }
        if (n > 0) {
            if (conversion == 's' && static_cast<size_t>(n) >= sizeof field) {
                // A long name: write it through the output's own bound.
                size_t room = (o.out && o.capacity > 0) ? o.capacity - o.length : 0;
                if (room > 1) {
                    int m = std::snprintf(o.out + o.length, room, directive, arg->text ? arg->text : "");
                    if (m > 0) o.length += (static_cast<size_t>(m) < room) ? static_cast<size_t>(m) : room - 1;
                }
            } else {
                o.put(field, static_cast<size_t>(n) < sizeof field ? static_cast<size_t>(n) : sizeof field - 1);
            }
        }
    }
    return static_cast<int>(o.length);
}
