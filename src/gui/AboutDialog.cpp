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

void SetTextColour(QWidget* widget, const QColor& colour) {
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
        SetTextColour(this, kLinkColour);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        SetTextColour(this, kPressedLinkColour);
        if (event->button() == Qt::LeftButton) leftPressed_ = true;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        SetTextColour(this, kLinkColour);
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

QLabel* Place(QLabel* label, const char* name, const QRect& geometry) {
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

// The addresses are wider than the design's boxes in most fonts: a link keeps
// its right edge and top and grows to the left and down until it all shows.
void FitLink(QLabel* link, const QRect& design) {
    const QSize hint = link->sizeHint();
    const int width = std::max(design.width(), hint.width());
    const int height = std::max(design.height(), hint.height());
    link->setGeometry(design.left() + design.width() - width, design.top(), width, height);
}

}  // namespace

Form2::Form2(Dialogs& dialogs, QWidget* owner) : QDialog(owner) {
    setObjectName("Form2");
    setWindowTitle("About Sonbridge");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, 5460, 3420).size());

    // The band starts above the client area and runs past its right edge.
    auto* Picture1 = new QWidget(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(twipsRect(0, -120, 6855, 1215));
    Picture1->setAutoFillBackground(true);
    QPalette band = Picture1->palette();
    band.setColor(QPalette::Window, QColor(64, 64, 64));
    Picture1->setPalette(band);

    QLabel* Label3 =
        Place(new QLabel("Sonbridge", Picture1), "Label3", twipsRect(120, 240, 5295, 375));
    QFont title(QStringLiteral("MS Sans Serif"));
    title.setPointSize(18);
    Label3->setFont(title);
    SetTextColour(Label3, Qt::white);

    Place(new QLabel(QString::fromUtf8("Copyright \u00A9 2026 Quillmoor"), this), "Label1",
          twipsRect(120, 1200, 5295, 495))
        ->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(new QLabel("Technical support:", this), "Label5", twipsRect(120, 1920, 3255, 255));
    Place(new QLabel("Program homepage:", this), "Label7", twipsRect(120, 2280, 3255, 255));

    auto* Label4 = new LinkLabel("mailto:", core::kSupportMail, dialogs, this);
    Label4->setObjectName("Label4");
    FitLink(Label4, twipsRect(3510, 1920, 1800, 195));
    auto* Label6 = new LinkLabel("http://", core::kWebHost, dialogs, this);
    Label6->setObjectName("Label6");
    FitLink(Label6, twipsRect(3795, 2280, 1515, 195));

    auto* Command1 = new QPushButton("OK", this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(twipsRect(4200, 3000, 1100, 350));
    Command1->setDefault(true);  // Esc closes a dialog as well, so OK answers both keys
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

void showAbout(QWidget* mainWindow, Dialogs& dialogs) {
    showOverDisabledOwner(new Form2(dialogs, mainWindow), mainWindow);
}

}  // namespace gui
