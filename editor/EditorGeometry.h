#pragma once

#include <QList>
#include <QRect>
#include <QString>

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

// Twips and pixels at 96 dots per inch.
int TwipsToPixels(double twips);
float PixelsToTwips(int pixels);

} // namespace editor
