#pragma once
// The unit of the window layouts. The forms were drawn in twips, 15 to a pixel: the layout
// functions place controls in twips, the windows turn the places into pixels and their own
// sizes back into twips.

// 15 twips to a pixel.
constexpr int TwipsPerPixel = 15;

// A control's place in twips, relative to its container.
struct TwipsRect {
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Sets a control's width or height that a layout computed; a negative one leaves the size the
// control has, as a form does when it is made smaller than its controls.
constexpr void setTwipsSize(int& size, int value)
{
    if (value >= 0)
        size = value;
}

namespace windowparts {

// Twips to pixels, rounded to the nearest pixel.
constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((7 - twips) / 15);
}

} // namespace windowparts
