#include "gui/Palette.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>

#include <cmath>

namespace gui {

namespace {

constexpr double kReadable = 4.5;

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor blend(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t));
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

class LinkColourFollower : public QObject {
public:
    LinkColourFollower(QLabel* label, QPalette::ColorRole background)
        : QObject(label), label_(label), background_(background) {
        label->installEventFilter(this);
        apply();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ApplicationPaletteChange) apply();
        return false;
    }

private:
    void apply() { setTextColour(label_, linkColour(QApplication::palette(label_), background_)); }

    QLabel* label_;
    QPalette::ColorRole background_;
};

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableColour(const QColor& colour, const QColor& background, const QColor& towards) {
    // Black or white, whichever stands out more, when the text colour itself is too faint.
    const QColor target =
        contrastRatio(towards, background) >= kReadable
            ? towards
            : (luminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white));
    QColor c = colour;
    for (int step = 1; step <= 10 && contrastRatio(c, background) < kReadable; ++step)
        c = blend(colour, target, step / 10.0);
    return c;
}

QPalette readableProgressPalette(QPalette palette) {
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = palette.color(group, QPalette::Text);
        const QColor base = palette.color(group, QPalette::Base);
        palette.setColor(group, QPalette::Text, readableColour(text, base, text));
        const QColor onBar = palette.color(group, QPalette::HighlightedText);
        const QColor bar = palette.color(group, QPalette::Highlight);
        palette.setColor(group, QPalette::HighlightedText, readableColour(onBar, bar, onBar));
    }
    return palette;
}

QColor linkColour(const QPalette& palette, QPalette::ColorRole background) {
    const QPalette::ColorRole text =
        background == QPalette::Base ? QPalette::Text : QPalette::WindowText;
    return readableColour(palette.color(QPalette::Link), palette.color(background),
                          palette.color(text));
}

void followLinkColour(QLabel* label, QPalette::ColorRole background) {
    new LinkColourFollower(label, background);
}

}  // namespace gui
