#include "gui/MainWindowUi.h"

#include "core/ProductInfo.h"
#include "gui/Icons.h"
#include "gui/RowDelegate.h"
#include "gui/SourceList.h"
#include "gui/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

namespace gui {

namespace {

constexpr int kClientWidthTwips = 8775;
constexpr int kClientHeightTwips = 6600;
constexpr int kSizeColumnTwips = 1440;
constexpr int kStatusColumnTwips = 1440;
constexpr int kColumnSlackTwips = 1300;
constexpr int kOpenFolderTopTwips = 5400;

const QString kTip = QStringLiteral(
    "By default, the program places the output audio file in the same directory with the "
    "source file. If you need to move audio file to other directory, uncheck the \"Save to "
    "the same folder\" and click the \"Browse\" button.");

template <typename W>
W* place(W* w, int left, int top, int width, int height) {
    w->setGeometry(twipsRect(left, top, width, height));
    return w;
}

QRect twipsOf(const QWidget* w) {
    const QRect g = w->geometry();
    return QRect(pxToTwips(g.x()), pxToTwips(g.y()), pxToTwips(g.width()), pxToTwips(g.height()));
}

QLabel* label(QWidget* parent, const QString& text, bool bold) {
    auto* l = new QLabel(text, parent);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QToolButton* actionButton(QWidget* parent, QAction* action) {
    auto* b = new QToolButton(parent);
    b->setDefaultAction(action);
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

// A menu item that also drives a button: the button shows iconText and the icon.
QAction* commandAction(QMenu* menu, const QString& text, const QString& buttonText,
                       ButtonIcon icon) {
    QAction* a = menu->addAction(text);
    a->setIconText(buttonText);
    a->setIcon(commandIcon(icon));
    a->setIconVisibleInMenu(false);
    return a;
}

// Shrinks a wrapped label's font until its text fits above the next control.
void fitTextAbove(QLabel* l, int height) {
    QFont f = l->font();
    while (f.pointSizeF() > 6.5 && l->heightForWidth(l->width()) > height) {
        f.setPointSizeF(f.pointSizeF() - 0.25);
        l->setFont(f);
    }
}

}  // namespace

MainWindowUi::MainWindowUi(QMainWindow* window) {
    window->setWindowTitle(core::kAppTitle);
    window->setWindowIcon(programIcon());
    // The window is laid out for an 8.25-point face; larger ones would not fit.
    QFont face = window->font();
    face.setPointSizeF(8.25);
    window->setFont(face);
    // Fixed single border with a minimise button and no maximise button.
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);

    // Menus first: the buttons show their actions.
    fileMenu = window->menuBar()->addMenu(QStringLiteral("&File"));
    addFilesAction = commandAction(fileMenu, QStringLiteral("Add file(s)..."),
                                   QStringLiteral("Add file(s)"), ButtonIcon::Add);
    addFilesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    removeAction = commandAction(fileMenu, QStringLiteral("Remove"), QStringLiteral("Remove"),
                                 ButtonIcon::Remove);
    removeAllAction = fileMenu->addAction(QStringLiteral("Remove all"));
    fileMenu->addSeparator();
    playAction =
        commandAction(fileMenu, QStringLiteral("Play"), QStringLiteral("Play"), ButtonIcon::Play);
    playAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    stopAction =
        commandAction(fileMenu, QStringLiteral("Stop"), QStringLiteral("Stop"), ButtonIcon::Stop);
    stopAction->setEnabled(false);
    fileMenu->addSeparator();
    convertAction = commandAction(fileMenu, QStringLiteral("Convert!"),
                                  QStringLiteral("Start Conversion"), ButtonIcon::Convert);
    convertAction->setShortcut(QKeySequence(Qt::Key_F2));
    fileMenu->addSeparator();
    quitAction = fileMenu->addAction(QStringLiteral("Quit"));
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    helpMenu = window->menuBar()->addMenu(QStringLiteral("&Help"));
    contentsAction = helpMenu->addAction(QStringLiteral("Contents"));
    contentsAction->setShortcut(QKeySequence(Qt::Key_F1));
    homePageAction = helpMenu->addAction(QStringLiteral("Internet homepage"));
    helpMenu->addSeparator();
    aboutAction = helpMenu->addAction(QStringLiteral("About..."));

    contextMenu = new QMenu(window);
    contextAddAction = contextMenu->addAction(QStringLiteral("Add file..."));
    contextMenu->addSeparator();
    contextMenu->addAction(removeAction);

    auto* client = new QWidget(window);
    client->setFixedSize(twipsToPx(kClientWidthTwips), twipsToPx(kClientHeightTwips));
    window->setCentralWidget(client);

    mainPanel = place(new QWidget(client), 0, 0, 8775, 6495);
    filesCaption =
        place(label(mainPanel, QStringLiteral("Files to convert:"), true), 120, 120, 4335, 255);

    sourceList = place(new QTreeWidget(mainPanel), 120, 360, 8535, 2055);
    sourceList->setColumnCount(3);
    sourceList->setHeaderLabels(
        {QStringLiteral("Source audio file"), QStringLiteral("Size"), QStringLiteral("Status")});
    QHeaderView* header = sourceList->header();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    sourceList->setRootIsDecorated(false);
    sourceList->setItemsExpandable(false);
    sourceList->setUniformRowHeights(true);
    sourceList->setSortingEnabled(false);
    sourceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sourceList->setSelectionMode(QAbstractItemView::SingleSelection);
    sourceList->setSelectionBehavior(QAbstractItemView::SelectRows);
    sourceList->setAllColumnsShowFocus(true);
    sourceList->setIconSize(QSize(16, 16));
    sourceList->setContextMenuPolicy(Qt::PreventContextMenu);
    sourceList->setItemDelegate(new RowDelegate(sourceList));
    // The path column takes what the fixed columns leave, less some slack.
    const int pathColumn =
        pxToTwips(sourceList->width()) - kSizeColumnTwips - kStatusColumnTwips - kColumnSlackTwips;
    if (pathColumn >= 0) sourceList->setColumnWidth(kPathColumn, twipsToPx(pathColumn));
    sourceList->setColumnWidth(kSizeColumn, twipsToPx(kSizeColumnTwips));
    sourceList->setColumnWidth(kStatusColumn, twipsToPx(kStatusColumnTwips));

    // The hint sits over the list, just below its headers, in the list's
    // colours; it is sized from the caption above the list.
    addFilesHint = new QWidget(mainPanel);
    const QRect caption = twipsOf(filesCaption);
    const QRect list = twipsOf(sourceList);
    place(addFilesHint, list.left() + 70, list.top() + 400, caption.left() + caption.width() + 10,
          caption.height() + 10);
    addFilesHint->setAutoFillBackground(true);
    QPalette hintPalette = addFilesHint->palette();
    hintPalette.setColor(QPalette::Window, sourceList->palette().color(QPalette::Base));
    addFilesHint->setPalette(hintPalette);
    addFilesLink = new QLabel(QStringLiteral("Click here to add source file"), addFilesHint);
    QFont linkFont = addFilesLink->font();
    linkFont.setUnderline(true);
    addFilesLink->setFont(linkFont);
    QPalette linkPalette = addFilesLink->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    addFilesLink->setPalette(linkPalette);
    addFilesLink->setCursor(Qt::PointingHandCursor);
    const QRect designLink = twipsRect(0, 0, 1965, 195);
    addFilesLink->setGeometry(0, 0, qMax(designLink.width(), addFilesLink->sizeHint().width()),
                              qMax(designLink.height(), addFilesLink->sizeHint().height()));

    addButton = place(actionButton(mainPanel, addFilesAction), 120, 2520, 1335, 855);
    removeButton = place(actionButton(mainPanel, removeAction), 1560, 2520, 1335, 855);
    playButton = place(actionButton(mainPanel, playAction), 3000, 2520, 1335, 855);
    stopButton = place(actionButton(mainPanel, stopAction), 4440, 2520, 1335, 855);
    startButton = place(actionButton(mainPanel, convertAction), 5880, 2520, 2775, 855);

    destinationTip = place(label(mainPanel, kTip, false), 120, 3720, 8535, 615);
    destinationTip->setWordWrap(true);
    destinationTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fitTextAbove(destinationTip, twipsToPx(4200 - 3720));

    formatCaption =
        place(label(mainPanel, QStringLiteral("Output format:"), false), 120, 4200, 4215, 255);
    outputFormatCombo = place(new QComboBox(mainPanel), 120, 4440, 3495, 315);
    outputFormatCombo->addItems(
        {QStringLiteral("WAV"), QStringLiteral("MP3"), QStringLiteral("OGG")});
    outputFormatCombo->setCurrentIndex(-1);  // start-up selects the saved format
    settingsButton =
        place(new QPushButton(QStringLiteral("Settings..."), mainPanel), 3720, 4440, 1100, 350);

    sameFolderCheck = place(new QCheckBox(QStringLiteral("Save to the same folder"), mainPanel),
                            120, 5040, 3975, 255);

    destinationPanel = place(new QWidget(mainPanel), 0, 5400, 8775, 735);
    destinationCaption = place(label(destinationPanel, QStringLiteral("Destination folder:"), true),
                               120, 0, 4335, 255);
    destinationEdit =
        place(new QLineEdit(QDir::toNativeSeparators(QDir::rootPath()), destinationPanel), 120, 240,
              7335, 315);
    browseButton =
        place(new QPushButton(QStringLiteral("Browse..."), destinationPanel), 7560, 240, 1095, 350);

    openFolderCheck =
        place(new QCheckBox(QStringLiteral("Open target directory after conversion"), mainPanel),
              120, kOpenFolderTopTwips, 3975, 255);

    addFilesHint->raise();
    applyDestinationLayout(false);
    window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    window->layout()->activate();
}

void MainWindowUi::applyDestinationLayout(bool sameFolder) {
    destinationPanel->setVisible(!sameFolder);
    const QRect panel = twipsOf(destinationPanel);
    const int top = sameFolder ? kOpenFolderTopTwips : panel.top() + panel.height();
    QRect g = openFolderCheck->geometry();
    g.moveTop(twipsToPx(top));
    openFolderCheck->setGeometry(g);
}

}  // namespace gui
