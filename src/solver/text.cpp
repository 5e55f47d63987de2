// The locale's language, and numbers in groups of three digits.
#include "solver/text.h"

#include <cstdlib>
#include <string_view>

namespace tori::solver {

Language languageOf(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang})
        if (value && *value) return std::string_view(value).starts_with("ja") ? Language::japanese : Language::english;
    return Language::english;
}

Language environmentLanguage() {
    return languageOf(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string toDecimal(Count n) {
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(n % 10)));
        n /= 10;
    } while (n != 0);
    return digits;
}

std::string grouped(Count n) {
    const std::string digits = toDecimal(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace tori::solver
