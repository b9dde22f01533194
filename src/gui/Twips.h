#pragma once
// Window geometry is designed in twips: 15 to a pixel at 96 dots per inch.

#include <QRect>
#include <QtGlobal>

namespace gui {

inline int twipsToPx(int twips) {
    return qRound(twips / 15.0);
}
inline int pxToTwips(int px) {
    return px * 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

}  // namespace gui
