// The words of toripin-solve: the player's language, and numbers written the same way in both.
#pragma once

#include <string>

#include "moves/record.h"
#include "solver/ways.h"

namespace tori::solver {

// Japanese when the locale of messages is: the first of LC_ALL, LC_MESSAGES and LANG that is set and
// not empty, as POSIX chooses it, beginning with "ja". English otherwise.
Language languageOf(const char* lcAll, const char* lcMessages, const char* lang);
Language environmentLanguage();

// The one of the two texts in the language.
inline std::string say(Language language, std::string japanese, std::string english) {
    return language == Language::japanese ? japanese : english;
}

std::string toDecimal(Count n);

// 635183250634229065437 as "635,183,250,634,229,065,437", in either language.
std::string grouped(Count n);

}  // namespace tori::solver
