#pragma once
// Link colours from the palette, kept readable: a scheme's link colour that
// is too faint on its background is moved towards the text colour.

#include <QColor>
#include <QPalette>

class QLabel;

namespace gui {

// The contrast of two colours by their relative luminance, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

// colour, blended towards towards (the scheme's text colour) until it
// stands at least 4.5:1 against background.
QColor readableColour(const QColor& colour, const QColor& background, const QColor& towards);

// palette with the text of a progress bar standing at least 4.5:1 on both
// its parts: the groove (Base) and the filled part (Highlight).
QPalette readableProgressPalette(QPalette palette);

// The palette's link colour made readable on its background role.
QColor linkColour(const QPalette& palette, QPalette::ColorRole background);

// Gives label's text the link colour now and whenever the application's
// palette changes (a switch between light and dark schemes).
void followLinkColour(QLabel* label, QPalette::ColorRole background);

}  // namespace gui
