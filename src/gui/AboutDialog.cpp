#include "gui/AboutDialog.h"

#include "gui/OwnedDialog.h"
#include "gui/Twips.h"

#include "core/ProductInfo.h"
#include "gui/Dialogs.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

namespace gui {
namespace {

const QColor kLinkColour(0, 0, 255);
const QColor kPressedLinkColour(192, 0, 0);

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Blue and underlined; dark red while a mouse button is held on it; a left
// click (press and release on the label) opens scheme + its current text,
// after the colour is back.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& scheme, const QString& text, Dialogs& dialogs, QWidget* parent)
        : QLabel(text, parent), scheme_(scheme), dialogs_(dialogs) {
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setPointSizeF(8.25);
        font.setUnderline(true);
        setFont(font);
        setCursor(Qt::PointingHandCursor);
        setTextColour(this, kLinkColour);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        setTextColour(this, kPressedLinkColour);
        if (event->button() == Qt::LeftButton) leftPressed_ = true;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        setTextColour(this, kLinkColour);
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

QLabel* place(QLabel* label, const char* name, const QRect& geometry) {
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

// The addresses are wider than the design's boxes in most fonts: a link keeps
// its right edge and top and grows to the left and down until it all shows.
void fitLink(QLabel* link, const QRect& design) {
    const QSize hint = link->sizeHint();
    const int width = std::max(design.width(), hint.width());
    const int height = std::max(design.height(), hint.height());
    link->setGeometry(design.left() + design.width() - width, design.top(), width, height);
}

}  // namespace

AboutDialog::AboutDialog(Dialogs& dialogs, QWidget* owner) : QDialog(owner) {
    setObjectName("aboutDialog");
    setWindowTitle("About Sonbridge");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, 5460, 3420).size());

    // The band starts above the client area and runs past its right edge.
    auto* band = new QWidget(this);
    band->setGeometry(twipsRect(0, -120, 6855, 1215));
    band->setAutoFillBackground(true);
    QPalette bandPalette = band->palette();
    bandPalette.setColor(QPalette::Window, QColor(64, 64, 64));
    band->setPalette(bandPalette);

    QLabel* name =
        place(new QLabel("Sonbridge", band), "productName", twipsRect(120, 240, 5295, 375));
    QFont title(QStringLiteral("MS Sans Serif"));
    title.setPointSize(18);
    name->setFont(title);
    setTextColour(name, Qt::white);

    place(new QLabel(QString::fromUtf8("Copyright \u00A9 2026 Quillmoor"), this), "copyright",
          twipsRect(120, 1200, 5295, 495))
        ->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(new QLabel("Technical support:", this), "supportCaption",
          twipsRect(120, 1920, 3255, 255));
    place(new QLabel("Program homepage:", this), "homePageCaption",
          twipsRect(120, 2280, 3255, 255));

    auto* mailLink = new LinkLabel("mailto:", core::kSupportMail, dialogs, this);
    mailLink->setObjectName("mailLink");
    fitLink(mailLink, twipsRect(3510, 1920, 1800, 195));
    auto* homePageLink = new LinkLabel("http://", core::kWebHost, dialogs, this);
    homePageLink->setObjectName("homePageLink");
    fitLink(homePageLink, twipsRect(3795, 2280, 1515, 195));

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setGeometry(twipsRect(4200, 3000, 1100, 350));
    ok->setDefault(true);  // Esc closes a dialog as well, so OK answers both keys
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void showAbout(QWidget* mainWindow, Dialogs& dialogs) {
    showOverDisabledOwner(new AboutDialog(dialogs, mainWindow), mainWindow);
}

}  // namespace gui
