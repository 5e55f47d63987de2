// How the three windows look as designed, before any handler runs: the toolkit builds them from this.
#pragma once

#include "platform/toolkit.h"

namespace tori::design {

struct Rect {
    float left, top, width, height;
};

inline constexpr Rgb kBoardWindowBack{128, 128, 128};
inline constexpr Rgb kBoard{0, 128, 0};
inline constexpr Rgb kLine{0, 0, 0};
inline constexpr Rgb kAboutBack{192, 192, 192};

// Form1: fixed single border, no maximize button, the program's icon, the menu tree of shell/menus.h.
// pin(0) is the template of the pin buttons (its bold 15.75-point gothic font never shows);
// Label1(0) and Label2(0) are the templates of the column and row numbers, bold 13.5 points; they
// start hidden, so the empty window shows no numbers until the first board is laid out.
inline constexpr Rect kPinTemplate{4080, 60, 600, 600};
inline constexpr Rect kLabel1Template{540, 180, 150, 270};
inline constexpr Rect kLabel2Template{240, 540, 150, 270};
inline constexpr std::string_view kLabelTemplateCaption = "1";
// Shape1, the keyboard cursor: one square, hidden until the first arrow key; the game places it.
inline constexpr Rect kShape1{450, 450, 450, 450};
inline constexpr float kPinFontPoints = 15.75f;
inline constexpr float kLabelFontPoints = 13.5f;

// Form3, the move list: fixed dialog frame, normal-weight 13.5-point font.
inline constexpr std::string_view kForm3Caption = "指し手手順";
inline constexpr float kForm3ClientWidth = 3660, kForm3ClientHeight = 3795;
inline constexpr Rect kList1{60, 60, 3495, 3030};
inline constexpr Rect kForm3Command1{1020, 3240, 1635, 495};
inline constexpr std::string_view kForm3Command1Caption = "閉じる(&C)";

// Form2, the About box: fixed dialog frame, grey, normal-weight 13.5-point font.
inline constexpr float kForm2ClientWidth = 5745, kForm2ClientHeight = 2070;
inline constexpr Rect kImage1{240, 240, 540, 540};
// The three lines size themselves to their text and keep their centre here.
inline constexpr float kAboutLabelCentre = 2880 + 105 / 2.0f;
inline constexpr float kAboutLabelHeight = 270;
inline constexpr float kAboutLabelTop[3] = {240, 1080, 660};  // Label1 index 0, 1, 2
inline constexpr Rect kForm2Command1{2040, 1500, 1815, 495};
inline constexpr std::string_view kForm2Command1Caption = "OK(&O)";

inline constexpr float kTwipsPerPixel = 15;

}  // namespace tori::design
