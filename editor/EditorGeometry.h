#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <array>

namespace editor {

// The record editor's stored geometry, in twips: its height and its top. Width and left are not
// stored.
struct EditorGeometry {
    float height = 7260.0F;
    float top = 9840.0F;
};

// The stored geometry (application "ZEB", section "EditForm"); a value that is missing or is not
// a usable number (not a number, not finite, a height not above 0) gives its default.
EditorGeometry ReadEditorGeometry();
// Stores the window's height and top as decimal texts.
void WriteEditorGeometry(const EditorGeometry& geometry);

// Where the window goes: wholly on the screen that holds the largest part of it (the first screen
// when none holds any), moved the least way and shrunk to the screen when it is larger.
QRect PlaceOnScreen(const QRect& wanted, const QList<QRect>& screens);

// An input box of the input frame and the hint label above it, in pixels: the box's left and
// width, the width the label's text needs, and whether either shows.
struct BoxPlace {
    int left = 0;
    int width = 0;
    int labelWidth = 0;
    bool shown = false;
};
// The gap between two boxes side by side (60 twips).
inline constexpr int kBoxGap = 4;

// The boxes placed so that every hint shows whole above its box: each box keeps its place and
// width, unless the hint of the box on its left runs into it; then it and the boxes after it move
// right. Each label gets the wider of its text and its box.
std::array<BoxPlace, 3> PlaceBoxes(const std::array<BoxPlace, 3>& wanted);

// Twips and pixels at 96 dots per inch.
int TwipsToPixels(double twips);
float PixelsToTwips(int pixels);

} // namespace editor
