// The messages the player reads, written out here so that a change to the program's text fails a test.
#pragma once

#include <string_view>

namespace tori::test {

inline constexpr std::string_view kLiftedRefusal = "そこには置けません。移動先のマス目をクリックして下さい。";
inline constexpr std::string_view kTriangleRefusal = "そのマス目にはピンを置くことが出来ません。";
inline constexpr std::string_view kWinQuestion = "クリア!!!おめでとう御座います。もう一度しますか?";
inline constexpr std::string_view kWinAfterUndo =
    "クリア!!!おめでとう御座います。\r\n今度は１手戻すと１手進めるを使用しないで挑戦してみて下さい。";

}  // namespace tori::test
