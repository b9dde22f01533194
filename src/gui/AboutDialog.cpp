#include "gui/AboutDialog.h"

#include "core/ProductInfo.h"
#include "gui/Dialogs.h"
#include "gui/OwnedDialog.h"
#include "gui/Palette.h"
#include "gui/Twips.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace gui {
namespace {

constexpr int kMarginTwips = 120;
constexpr int kClientWidthTwips = 5460;
const QColor kBandColour(64, 64, 64);
const QColor kPressedLinkColour(192, 0, 0);

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Underlined in the scheme's link colour; dark red (as readable as the
// scheme allows) while a mouse button is held on it; a left click (press
// and release on the label) opens scheme + its current text, after the
// colour is back.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& scheme, const QString& text, Dialogs& dialogs, QWidget* parent)
        : QLabel(text, parent), scheme_(scheme), dialogs_(dialogs) {
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        setCursor(Qt::PointingHandCursor);
        followLinkColour(this, QPalette::Window);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPalette scheme = QApplication::palette(this);
        setTextColour(this, readableColour(kPressedLinkColour, scheme.color(QPalette::Window),
                                           scheme.color(QPalette::WindowText)));
        if (event->button() == Qt::LeftButton) leftPressed_ = true;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        setTextColour(this, linkColour(QApplication::palette(this), QPalette::Window));
        const bool click = event->button() == Qt::LeftButton && leftPressed_ &&
                           rect().contains(event->position().toPoint());
        if (event->button() == Qt::LeftButton) leftPressed_ = false;
        if (click) dialogs_.openUrl(QUrl(scheme_ + text()));
    }

private:
    QString scheme_;
    Dialogs& dialogs_;
    bool leftPressed_ = false;
};

QLabel* named(QLabel* label, const char* name) {
    label->setObjectName(name);
    return label;
}

const char* const kCredits = QT_TRANSLATE_NOOP(
    "gui::AboutDialog",
    "Uses Qt (LGPL 3), FFmpeg (LGPL 2.1 or later; GPL 2 or later in some builds), SDL2 "
    "(zlib licence), LAME (LGPL 2) and Vorbis (libvorbis: BSD; oggenc: GPL 2).");

}  // namespace

AboutDialog::AboutDialog(Dialogs& dialogs, QWidget* owner) : QDialog(owner) {
    setObjectName("aboutDialog");
    setWindowTitle(tr("About Sonbridge"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const int margin = twipsToPx(kMarginTwips);
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);  // sized by its contents, whatever the font
    column->setContentsMargins(0, 0, 0, margin);

    // A dark band across the top with the name and the version, in white.
    auto* band = new QWidget(this);
    band->setAutoFillBackground(true);
    QPalette bandPalette = band->palette();
    bandPalette.setColor(QPalette::Window, kBandColour);
    band->setPalette(bandPalette);
    auto* bandColumn = new QVBoxLayout(band);
    bandColumn->setContentsMargins(margin, 2 * margin, margin, margin);
    QLabel* name = named(new QLabel("Sonbridge", band), "productName");
    QFont title = name->font();
    title.setPointSizeF(title.pointSizeF() * 18 / 8.25);
    name->setFont(title);
    QLabel* version =
        named(new QLabel(tr("Version %1").arg(QLatin1String(SONBRIDGE_VERSION)), band), "version");
    for (QLabel* l : {name, version}) {
        setTextColour(l, Qt::white);
        bandColumn->addWidget(l);
    }
    column->addWidget(band);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(margin, margin, margin, 0);
    column->addLayout(body);
    body->addWidget(
        named(new QLabel(QString::fromUtf8("Copyright \u00A9 2026 Quillmoor"), this), "copyright"));
    auto* links = new QGridLayout;
    links->addWidget(named(new QLabel(tr("Technical support:"), this), "supportCaption"), 0, 0);
    links->addWidget(named(new LinkLabel("mailto:", core::kSupportMail, dialogs, this), "mailLink"),
                     0, 1);
    links->addWidget(named(new QLabel(tr("Program homepage:"), this), "homePageCaption"), 1, 0);
    links->addWidget(named(new LinkLabel("http://", core::kWebHost, dialogs, this), "homePageLink"),
                     1, 1);
    links->setColumnStretch(1, 1);
    body->addLayout(links);
    body->addSpacing(margin / 2);

    QLabel* credits = named(new QLabel(tr(kCredits), this), "credits");
    credits->setWordWrap(true);
    // The box keeps its designed width; a larger font makes it taller.
    credits->setMinimumWidth(twipsToPx(kClientWidthTwips) - 2 * margin);
    body->addWidget(credits);

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);  // Esc closes a dialog as well, so OK answers both keys
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    body->addLayout(buttons);
}

void showAbout(QWidget* mainWindow, Dialogs& dialogs) {
    showOverDisabledOwner(new AboutDialog(dialogs, mainWindow), mainWindow);
}

}  // namespace gui
