#pragma once
// Window geometry is designed in twips: 15 to a pixel at 96 dots per inch.

#include <QRect>
#include <QtGlobal>

namespace ui {

inline int TwipsToPx(int twips) {
    return qRound(twips / 15.0);
}
inline int PxToTwips(int px) {
    return px * 15;
}
inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPx(left), TwipsToPx(top), TwipsToPx(width), TwipsToPx(height));
}

}  // namespace ui
