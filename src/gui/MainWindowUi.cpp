#include "gui/MainWindowUi.h"

#include "core/OutputFormats.h"
#include "core/ProductInfo.h"
#include "core/Progress.h"
#include "gui/Icons.h"
#include "gui/Palette.h"
#include "gui/PathColumnFit.h"
#include "gui/RowDelegate.h"
#include "gui/SourceList.h"
#include "gui/Twips.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace gui {

namespace {

constexpr int kClientWidthTwips = 8775;
constexpr int kClientHeightTwips = 6600;
constexpr int kMarginTwips = 120;
constexpr int kGapTwips = 105;      // between the command buttons, and below the list
constexpr int kColumnTwips = 1440;  // the status column at least
constexpr int kButtonHeightTwips = 855;
constexpr int kTipGapTwips = 345;  // between the command buttons and the tip below them
constexpr int kFormatComboTwips = 3495;

const char* const kTip = QT_TRANSLATE_NOOP(
    "MainWindowUi",
    "By default, the program places the output audio file in the same directory with the "
    "source file. If you need to move audio file to other directory, uncheck the \"Save to "
    "the same folder\" and click the \"Browse\" button.");

QLabel* label(QWidget* parent, const QString& text, bool bold) {
    auto* l = new QLabel(text, parent);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// The command buttons keep their designed height, or more where the font needs it.
class CommandButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    QSize sizeHint() const override {
        return QToolButton::sizeHint().expandedTo(QSize(0, twipsToPx(kButtonHeightTwips)));
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

// A wrapped label asks for the height its text takes at its width, so a
// narrow window or a large font never cuts off a line.
class WrappedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fitHeight();
    }
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) fitHeight();
    }

private:
    void fitHeight() { setMinimumHeight(heightForWidth(width())); }
};

QToolButton* actionButton(QWidget* parent, QAction* action) {
    auto* b = new CommandButton(parent);
    b->setDefaultAction(action);
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setAccessibleName(action->iconText().remove(QLatin1Char('&')));
    return b;
}

// A menu item that also drives a button: the button shows iconText, with its
// own mnemonic, and the icon.
QAction* commandAction(QMenu* menu, const QString& text, const QString& buttonText,
                       ButtonIcon icon) {
    QAction* a = menu->addAction(text);
    a->setIconText(buttonText);
    a->setIcon(commandIcon(icon));
    a->setIconVisibleInMenu(false);
    return a;
}

QHBoxLayout* row(QBoxLayout* into) {
    auto* r = new QHBoxLayout;
    r->setSpacing(twipsToPx(kGapTwips));
    into->addLayout(r);
    return r;
}

}  // namespace

MainWindowUi::MainWindowUi(QMainWindow* window) : window_(window) {
    window->setWindowTitle(core::kAppTitle);
    window->setWindowIcon(programIcon());

    // Menus first: the buttons show their actions.
    fileMenu = window->menuBar()->addMenu(tr("&File"));
    addFilesAction =
        commandAction(fileMenu, tr("&Add file(s)..."), tr("&Add file(s)"), ButtonIcon::Add);
    addFilesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addFolderAction = fileMenu->addAction(tr("Add &folder..."));
    removeAction = commandAction(fileMenu, tr("&Remove"), tr("&Remove"), ButtonIcon::Remove);
    // A text box takes the Delete key first, for its own text.
    removeAction->setShortcut(QKeySequence::Delete);
    removeAllAction = fileMenu->addAction(tr("Remove a&ll"));
    fileMenu->addSeparator();
    playAction = commandAction(fileMenu, tr("&Play"), tr("&Play"), ButtonIcon::Play);
    playAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    stopAction = commandAction(fileMenu, tr("&Stop"), tr("S&top"), ButtonIcon::Stop);
    stopAction->setEnabled(false);
    fileMenu->addSeparator();
    convertAction =
        commandAction(fileMenu, tr("&Convert!"), tr("Start &Conversion"), ButtonIcon::Convert);
    convertAction->setShortcut(QKeySequence(Qt::Key_F2));
    fileMenu->addSeparator();
    quitAction = fileMenu->addAction(tr("&Quit"));
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    helpMenu = window->menuBar()->addMenu(tr("&Help"));
    contentsAction = helpMenu->addAction(tr("&Contents"));
    contentsAction->setShortcut(QKeySequence(Qt::Key_F1));
    homePageAction = helpMenu->addAction(tr("&Internet homepage"));
    helpMenu->addSeparator();
    aboutAction = helpMenu->addAction(tr("&About..."));

    contextMenu = new QMenu(window);
    contextAddAction = contextMenu->addAction(tr("&Add file..."));
    contextMenu->addSeparator();
    contextMenu->addAction(removeAction);

    mainPanel = new QWidget(window);
    window->setCentralWidget(mainPanel);
    auto* column = new QVBoxLayout(mainPanel);
    const int margin = twipsToPx(kMarginTwips);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(twipsToPx(kGapTwips) / 2);

    filesCaption = label(mainPanel, tr("F&iles to convert:"), true);
    column->addWidget(filesCaption);

    sourceList = new QTreeWidget(mainPanel);
    filesCaption->setBuddy(sourceList);
    sourceList->setAccessibleName(tr("Files to convert"));
    sourceList->setColumnCount(kColumnCount);
    sourceList->setHeaderLabels(
        {tr("Source audio file"), tr("Title"), tr("Length"), tr("Size"), tr("Status")});
    QHeaderView* header = sourceList->header();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    // Wide enough for their longest texts in the window's font.
    const QFontMetrics metrics = sourceList->fontMetrics();
    const auto fit = [&](const QString& text) {
        return metrics.horizontalAdvance(text) + 2 * metrics.averageCharWidth();
    };
    sourceList->setColumnWidth(kLengthColumn, fit(QStringLiteral("000:00")));
    sourceList->setColumnWidth(kSizeColumn, fit(QStringLiteral("9999 Mb")));
    sourceList->setColumnWidth(kStatusColumn,
                               std::max(twipsToPx(kColumnTwips), fit(core::progressText(100))));
    sourceList->setRootIsDecorated(false);
    sourceList->setItemsExpandable(false);
    sourceList->setUniformRowHeights(true);
    sourceList->setSortingEnabled(false);
    sourceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sourceList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sourceList->setSelectionBehavior(QAbstractItemView::SelectRows);
    sourceList->setAllColumnsShowFocus(true);
    sourceList->setIconSize(QSize(16, 16));
    // Paths and titles are cut short instead: a scroll bar would
    // only take height from a list that is short at large fonts.
    sourceList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The window opens the menu itself, for the right button and the keyboard.
    sourceList->setContextMenuPolicy(Qt::PreventContextMenu);
    sourceList->setItemDelegate(new RowDelegate(sourceList));
    new PathColumnFit(sourceList, kPathColumn, kTitleColumn);
    column->addWidget(sourceList, 1);

    // The hint sits in the list's top-left corner, below its headers, in
    // the list's own colours.
    addFilesHint = new QWidget(sourceList->viewport());
    addFilesHint->setAutoFillBackground(true);
    addFilesHint->setBackgroundRole(QPalette::Base);
    addFilesLink = new QLabel(tr("Click here to add source file"), addFilesHint);
    QFont linkFont = addFilesLink->font();
    linkFont.setUnderline(true);
    addFilesLink->setFont(linkFont);
    followLinkColour(addFilesLink, QPalette::Base);
    addFilesLink->setCursor(Qt::PointingHandCursor);
    auto* hintLayout = new QHBoxLayout(addFilesHint);
    hintLayout->setContentsMargins(1, 1, 1, 1);
    hintLayout->addWidget(addFilesLink);
    auto* viewportLayout = new QVBoxLayout(sourceList->viewport());
    viewportLayout->setSizeConstraint(QLayout::SetNoConstraint);
    viewportLayout->setContentsMargins(4, 4, 4, 4);
    viewportLayout->addWidget(addFilesHint, 0, Qt::AlignLeft | Qt::AlignTop);
    viewportLayout->addStretch(1);

    column->addSpacing(twipsToPx(kGapTwips) / 2);
    QHBoxLayout* buttons = row(column);
    addButton = actionButton(mainPanel, addFilesAction);
    removeButton = actionButton(mainPanel, removeAction);
    playButton = actionButton(mainPanel, playAction);
    stopButton = actionButton(mainPanel, stopAction);
    startButton = actionButton(mainPanel, convertAction);
    for (QToolButton* b : {addButton, removeButton, playButton, stopButton})
        buttons->addWidget(b, 1);
    buttons->addWidget(startButton, 2);

    column->addSpacing(twipsToPx(kTipGapTwips) / 2);
    destinationTip = new WrappedLabel(tr(kTip), mainPanel);
    destinationTip->setWordWrap(true);
    destinationTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(destinationTip);

    formatCaption = label(mainPanel, tr("Output for&mat:"), false);
    column->addWidget(formatCaption);
    QHBoxLayout* format = row(column);
    outputFormatCombo = new QComboBox(mainPanel);
    formatCaption->setBuddy(outputFormatCombo);
    outputFormatCombo->setAccessibleName(tr("Output format"));
    outputFormatCombo->setMinimumWidth(twipsToPx(kFormatComboTwips));
    for (const core::FormatInfo& f : core::outputFormats())
        outputFormatCombo->addItem(QLatin1String(f.name));
    outputFormatCombo->setCurrentIndex(-1);  // start-up selects the saved format
    settingsButton = new QPushButton(tr("Setti&ngs..."), mainPanel);
    settingsButton->setAccessibleName(tr("Encoder settings"));
    format->addWidget(outputFormatCombo);
    format->addWidget(settingsButton);
    format->addStretch(1);

    column->addSpacing(twipsToPx(kGapTwips));
    sameFolderCheck = new QCheckBox(tr("Save to the &same folder"), mainPanel);
    column->addWidget(sameFolderCheck);

    destinationPanel = new QWidget(mainPanel);
    auto* panel = new QVBoxLayout(destinationPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(column->spacing());
    destinationCaption = label(destinationPanel, tr("Destination f&older:"), true);
    panel->addWidget(destinationCaption);
    QHBoxLayout* destination = row(panel);
    destinationEdit = new QLineEdit(QDir::toNativeSeparators(QDir::rootPath()), destinationPanel);
    destinationCaption->setBuddy(destinationEdit);
    destinationEdit->setAccessibleName(tr("Destination folder"));
    browseButton = new QPushButton(tr("&Browse..."), destinationPanel);
    browseButton->setAccessibleName(tr("Browse for the destination folder"));
    destination->addWidget(destinationEdit, 1);
    destination->addWidget(browseButton);
    column->addWidget(destinationPanel);

    openFolderCheck = new QCheckBox(tr("Open target &directory after conversion"), mainPanel);
    column->addWidget(openFolderCheck);
    stopAtFailureCheck = new QCheckBox(tr("Stop at the &first failure"), mainPanel);
    stopAtFailureCheck->setChecked(true);
    column->addWidget(stopAtFailureCheck);

    applyDestinationLayout(false);
}

void MainWindowUi::applyDestinationLayout(bool sameFolder) {
    destinationPanel->setVisible(!sameFolder);
}

QSize MainWindowUi::defaultWindowSize() const {
    const QSize designed(twipsToPx(kClientWidthTwips),
                         twipsToPx(kClientHeightTwips) + window_->menuBar()->sizeHint().height());
    return designed.expandedTo(window_->minimumSizeHint());
}

}  // namespace gui
