// Letter case for the program's own words: settings keys, command names and
// arguments. The program never changes the C locale, so these fold ASCII.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

inline char LowerLetter(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

inline std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerLetter(c);
    return lower;
}

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerLetter(a[i]) != LowerLetter(b[i])) return false;
    return true;
}
