#pragma once
// The asset list window's layout in twips: where the navigation frame, its controls, the
// preview and the grid go for a given outer window size. The frames and the grid are placed
// in the window's client area, the other controls in their frame.
//
// The layout starts from the places the controls hold now and changes them assignment by
// assignment, later places computed from the values earlier controls then hold. Vertical
// places that the resize does not compute keep their design values. A width or height that
// would be negative (a very small window) is not assigned: the control keeps its previous
// value there, and the controls computed from it use that value.

#include "common/Twips.h"

namespace assets {

struct AssetsWindowLayout {
    TwipsRect Frame1;
    TwipsRect Drive1;
    TwipsRect Dir1;
    TwipsRect File1;
    TwipsRect Text2;
    TwipsRect Label6;
    TwipsRect Text1;
    TwipsRect Text5;
    TwipsRect Command1;
    TwipsRect Command9;
    TwipsRect Command2;
    TwipsRect Command3;
    TwipsRect Command4;
    TwipsRect Command5;
    TwipsRect Label5;
    TwipsRect Label1;
    TwipsRect Text3;
    TwipsRect Label2;
    TwipsRect Text4;
    TwipsRect Picture1;
    TwipsRect Frame2;
    TwipsRect VsFg1;
};

// The window's outer size as designed, in twips: wide enough for the button column to fit beside
// the folder and file lists (Frame1 at least 10325 twips wide).
constexpr int AssetsDesignWidth = 19200;
constexpr int AssetsDesignHeight = 11520;

// Every control at its design place, the layout applied to the design window size.
AssetsWindowLayout AssetsWindowDesign();

// Lays the controls out for an outer window size (twips), from the places they hold now.
void LayOutAssetsWindow(int windowWidth, int windowHeight, AssetsWindowLayout& layout);

} // namespace assets
