#pragma once
// The main window's layout in twips: where the two pages' frames and their controls go for a
// given outer window size. Positions are relative to each control's container: the tab
// control to the window's client area, the frames to the tab control, the controls of a
// frame to that frame.
//
// The layout keeps the current place of every control and changes it assignment by
// assignment, in a fixed order; later places are computed from the values the earlier
// controls then hold. A width or height that would be negative (a very small window) is not
// assigned: that control keeps its previous value in that one property, and the controls
// computed from it use that value.

#include "common/Twips.h"

namespace hub {

struct MainWindowLayout {
    TwipsRect SSTab1;
    // Text page.
    TwipsRect Frame1;
    TwipsRect Label1;
    TwipsRect Text1;
    TwipsRect Command1;
    TwipsRect Command7;
    TwipsRect RichTextBox1;
    // Tree page.
    TwipsRect Frame2;
    TwipsRect Label3;
    TwipsRect Label2;
    TwipsRect trevwContents;
    TwipsRect fraAttribs;
    TwipsRect lblNames;
    TwipsRect lstAttributes;
    TwipsRect lblValue;
    TwipsRect txtAttributeValue;
    TwipsRect cmdAdd;
    TwipsRect cmdDel;
    TwipsRect cmdRename;
    TwipsRect Frame3;
    TwipsRect Text2;
    TwipsRect Command2;
    TwipsRect Command3;
    TwipsRect Command4;
    TwipsRect Check1;
    TwipsRect Text3;
    TwipsRect Command5;
    TwipsRect Command6;
    TwipsRect fraChars;
    TwipsRect lblText;
    TwipsRect txtCharacters;
};

// The window's outer size as designed, in twips.
constexpr int DesignWindowWidth = 16800;
constexpr int DesignWindowHeight = 12600;

// Every control at its design place, the layout applied to the design window size.
MainWindowLayout MainWindowDesign();

// Lays the controls out for an outer window size (twips), starting from the places they
// hold now.
void LayOutMainWindow(int windowWidth, int windowHeight, MainWindowLayout& layout);

} // namespace hub
