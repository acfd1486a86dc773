// Filling string-table templates ("youwon", "moveslast", "hallo", ...) safely. The templates
// are data: a translated or damaged text may hold any directive. Numbers go into %d, %i and %u
// (flags, width and precision honoured, as in "%.2i"), names into %s, each kind taking its
// arguments in order; "%%" writes "%"; any other directive, and one with no argument left, is
// copied as it stands. The output is always cut to its capacity and ended with a 0.
#pragma once

#include <cstddef>
#include <cstdint>

struct FormatArg {
    enum class Kind { Int, Text };
    Kind kind;
    int64_t number;
    const char* text;
};

inline FormatArg intArg(int64_t value) { return FormatArg{FormatArg::Kind::Int, value, nullptr}; }
inline FormatArg textArg(const char* value) { return FormatArg{FormatArg::Kind::Text, 0, value}; }

// Returns the length written (without the final 0).
int formatText(char* out, size_t capacity, const char* templ, const FormatArg* args, int count);

namespace text_format_detail {
inline FormatArg toArg(int value) { return intArg(value); }
inline FormatArg toArg(unsigned value) { return intArg(value); }
inline FormatArg toArg(long value) { return intArg(value); }
inline FormatArg toArg(long long value) { return intArg(value); }
inline FormatArg toArg(const char* value) { return textArg(value); }
inline FormatArg toArg(char* value) { return textArg(value); }
}  // namespace text_format_detail

// formatWith(out, sizeof out, lookupText("surlevscore"), level, score)
template <typename... Args>
int formatWith(char* out, size_t capacity, const char* templ, Args... values) {
    if constexpr (sizeof...(Args) == 0) {
        return formatText(out, capacity, templ, nullptr, 0);
    } else {
        const FormatArg args[] = {text_format_detail::toArg(values)...};
        return formatText(out, capacity, templ, args, static_cast<int>(sizeof...(Args)));
    }
}
