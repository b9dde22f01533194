#include "gui/MainWindow.h"

#include "core/PathHelpers.h"
#include "core/ProductInfo.h"
#include "core/Settings.h"
#include "convert/ConversionRun.h"
#include "convert/Progress.h"
#include "gui/DropTargets.h"
#include "gui/RowDelegate.h"
#include "gui/Preview.h"
#include "gui/ControlState.h"
#include "gui/Dialogs.h"
#include "gui/AboutDialog.h"
#include "gui/EncoderSettingsDialog.h"
#include "gui/Icons.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

namespace gui {

namespace {

constexpr int kClientWidthTwips = 8775;
constexpr int kClientHeightTwips = 6600;
constexpr int kSizeColumnTwips = 1440;
constexpr int kStatusColumnTwips = 1440;
constexpr int kColumnSlackTwips = 1300;
constexpr int kCheck2TopTwips = 5400;
constexpr int kContextMenuOffsetTwips = 10;

const QString kTip = QStringLiteral(
    "By default, the program places the output audio file in the same directory with the "
    "source file. If you need to move audio file to other directory, uncheck the \"Save to "
    "the same folder\" and click the \"Browse\" button.");

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsRect(left, top, width, height));
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

QToolButton* pictureButton(QWidget* parent, const QString& caption, ButtonIcon icon) {
    auto* b = new QToolButton(parent);
    b->setText(caption);
    b->setIcon(commandIcon(icon));
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

// Shrinks a wrapped label's font until its text fits above the next control.
void fitTextAbove(QLabel* l, int height) {
    QFont f = l->font();
    while (f.pointSizeF() > 6.5 && l->heightForWidth(l->width()) > height) {
        f.setPointSizeF(f.pointSizeF() - 0.25);
        l->setFont(f);
    }
}

Qt::CheckState toQt(int state) {
    return state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int fromQt(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

}  // namespace

Form1::Form1(core::AppState& state, core::Engine& engine_, Dialogs& dialogs_, QWidget* parent)
    : QMainWindow(parent), appState(state), engine(engine_), dialogs(dialogs_), exitProcess([] {
          std::fflush(nullptr);
          std::_Exit(0);
      }) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(core::kAppTitle);
    setWindowIcon(programIcon());
    // The window is laid out for an 8.25-point face; larger ones would not fit.
    QFont face = font();
    face.setPointSizeF(8.25);
    setFont(face);
    // Fixed single border with a minimise button and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    buildControls();
    buildMenus();
    buildTimers();
    installDropTargets();
    connectHandlers();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(twipsToPx(kClientWidthTwips), twipsToPx(kClientHeightTwips));
    setCentralWidget(client);

    FR1 = new QWidget(client);
    FR1->setObjectName(QStringLiteral("FR1"));
    place(FR1, 0, 0, 8775, 6495);

    Label1 = label(FR1, QStringLiteral("Files to convert:"), true);
    place(Label1, 120, 120, 4335, 255);

    LW1 = new QTreeWidget(FR1);
    LW1->setObjectName(QStringLiteral("LW1"));
    place(LW1, 120, 360, 8535, 2055);
    LW1->setColumnCount(3);
    LW1->setHeaderLabels(
        {QStringLiteral("Source audio file"), QStringLiteral("Size"), QStringLiteral("Status")});
    LW1->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LW1->header()->setStretchLastSection(false);
    LW1->header()->setSectionsMovable(false);
    LW1->setRootIsDecorated(false);
    LW1->setItemsExpandable(false);
    LW1->setUniformRowHeights(true);
    LW1->setSortingEnabled(false);
    LW1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LW1->setSelectionMode(QAbstractItemView::SingleSelection);
    LW1->setIconSize(QSize(16, 16));
    LW1->setContextMenuPolicy(Qt::PreventContextMenu);
    LW1->setItemDelegate(new gui::RowDelegate(LW1));
    list_ = std::make_unique<gui::SourceList>(LW1, audioFileIcon());

    // The hint sits over the list, in the same container, in the list's colours.
    Picture3 = new QWidget(FR1);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    place(Picture3, 240, 480, 4815, 495);
    Picture3->setAutoFillBackground(true);
    QPalette hintPalette = Picture3->palette();
    hintPalette.setColor(QPalette::Window, LW1->palette().color(QPalette::Base));
    Picture3->setPalette(hintPalette);
    Label4 = new QLabel(QStringLiteral("Click here to add source file"), Picture3);
    Label4->setObjectName(QStringLiteral("Label4"));
    QFont linkFont = Label4->font();
    linkFont.setUnderline(true);
    Label4->setFont(linkFont);
    QPalette linkPalette = Label4->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label4->setPalette(linkPalette);
    Label4->setCursor(Qt::PointingHandCursor);
    const QRect designLink = twipsRect(0, 0, 1965, 195);
    Label4->setGeometry(0, 0, qMax(designLink.width(), Label4->sizeHint().width()),
                        qMax(designLink.height(), Label4->sizeHint().height()));

    Command1 = pictureButton(FR1, QStringLiteral("Add file(s)"), ButtonIcon::Add);
    place(Command1, 120, 2520, 1335, 855);
    auto* remove = pictureButton(FR1, QStringLiteral("Remove"), ButtonIcon::Remove);
    place(remove, 1560, 2520, 1335, 855);
    Command2[0] = remove;
    Command5 = pictureButton(FR1, QStringLiteral("Play"), ButtonIcon::Play);
    place(Command5, 3000, 2520, 1335, 855);
    Command6 = pictureButton(FR1, QStringLiteral("Stop"), ButtonIcon::Stop);
    place(Command6, 4440, 2520, 1335, 855);
    Command6->setEnabled(false);
    button1 = pictureButton(FR1, QStringLiteral("Start Conversion"), ButtonIcon::Convert);
    place(button1, 5880, 2520, 2775, 855);

    Label3 = label(FR1, kTip, false);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label3, 120, 3720, 8535, 615);
    fitTextAbove(Label3, twipsToPx(4200 - 3720));

    Label15 = label(FR1, QStringLiteral("Output format:"), false);
    place(Label15, 120, 4200, 4215, 255);
    Combo4 = new QComboBox(FR1);
    place(Combo4, 120, 4440, 3495, 315);
    Command4 = new QPushButton(QStringLiteral("Settings..."), FR1);
    place(Command4, 3720, 4440, 1100, 350);

    Check1 = new QCheckBox(QStringLiteral("Save to the same folder"), FR1);
    place(Check1, 120, 5040, 3975, 255);

    Picture1 = new QWidget(FR1);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    place(Picture1, 0, 5400, 8775, 735);
    Label2 = label(Picture1, QStringLiteral("Destination folder:"), true);
    place(Label2, 120, 0, 4335, 255);
    Text2 = new QLineEdit(QDir::toNativeSeparators(QDir::rootPath()), Picture1);
    place(Text2, 120, 240, 7335, 315);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), Picture1);
    place(browse, 7560, 240, 1095, 350);
    Command2[1] = browse;

    Check2 = new QCheckBox(QStringLiteral("Open target directory after conversion"), FR1);
    place(Check2, 120, kCheck2TopTwips, 3975, 255);

    Picture3->raise();
}

void Form1::buildMenus() {
    mFile = menuBar()->addMenu(QStringLiteral("&File"));
    m_add_midi = mFile->addAction(QStringLiteral("Add file(s)..."));
    m_add_midi->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_remove = mFile->addAction(QStringLiteral("Remove"));
    m_all = mFile->addAction(QStringLiteral("Remove all"));
    mFile->addSeparator();
    m_play = mFile->addAction(QStringLiteral("Play"));
    m_play->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_stop = mFile->addAction(QStringLiteral("Stop"));
    m_stop->setEnabled(false);
    mFile->addSeparator();
    m_convert = mFile->addAction(QStringLiteral("Convert!"));
    m_convert->setShortcut(QKeySequence(Qt::Key_F2));
    mFile->addSeparator();
    m_exit = mFile->addAction(QStringLiteral("Quit"));
    m_exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    m_contents = mHelp->addAction(QStringLiteral("Contents"));
    m_contents->setShortcut(QKeySequence(Qt::Key_F1));
    m_homepage = mHelp->addAction(QStringLiteral("Internet homepage"));
    mHelp->addSeparator();
    m_about = mHelp->addAction(QStringLiteral("About..."));

    mContext = new QMenu(this);
    m_add_midi_c = mContext->addAction(QStringLiteral("Add file..."));
    mContext->addSeparator();
    m_remove_c = mContext->addAction(QStringLiteral("Remove"));
}

void Form1::buildTimers() {
    auto timer = [this](int interval) {
        auto* t = new QTimer(this);
        t->setInterval(interval);
        return t;
    };
    Timer1 = timer(150);
    Timer2 = timer(100);
    Timer3 = timer(100);
    Timer4 = timer(500);
    Timer1->start();
    Timer2->start();
}

void Form1::installDropTargets() {
    auto* accept = gui::DropFilter::acceptingFiles(
        [this](const QMimeData* data) { list_->addDroppedFiles(data); }, this);
    for (QWidget* w :
         {FR1, static_cast<QWidget*>(LW1), LW1->viewport(), Picture3, static_cast<QWidget*>(Label4),
          static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label15),
          static_cast<QWidget*>(Combo4), static_cast<QWidget*>(Command4),
          static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text2),
          static_cast<QWidget*>(Command2[0]), static_cast<QWidget*>(Command2[1]),
          static_cast<QWidget*>(Check1), static_cast<QWidget*>(Label3),
          static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command5),
          static_cast<QWidget*>(Command6), static_cast<QWidget*>(button1)})
        accept->install(w);
    // These would otherwise hand their drops on to the main panel.
    auto* refuse = gui::DropFilter::refusingAll(this);
    refuse->install(Check2);
    refuse->install(Picture1);
}

void Form1::connectHandlers() {
    connect(m_add_midi, &QAction::triggered, this, &Form1::m_add_midi_Click);
    connect(Command1, &QToolButton::clicked, this, &Form1::Command1_Click);
    connect(m_add_midi_c, &QAction::triggered, this, &Form1::m_add_midi_c_Click);
    connect(m_remove, &QAction::triggered, this, &Form1::m_remove_Click);
    connect(m_all, &QAction::triggered, this, &Form1::m_all_Click);
    connect(m_remove_c, &QAction::triggered, this, &Form1::m_remove_c_Click);
    connect(Command2[0], &QAbstractButton::clicked, this, [this] { Command2_Click(0); });
    connect(Command2[1], &QAbstractButton::clicked, this, [this] { Command2_Click(1); });
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(m_exit, &QAction::triggered, this, &Form1::m_exit_Click);
    connect(m_contents, &QAction::triggered, this, &Form1::m_contents_Click);
    connect(m_homepage, &QAction::triggered, this, &Form1::m_homepage_Click);
    connect(m_about, &QAction::triggered, this, &Form1::m_about_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    connect(m_convert, &QAction::triggered, this, &Form1::m_convert_Click);
    connect(button1, &QToolButton::clicked, this, &Form1::button1_Click);
    connect(m_play, &QAction::triggered, this, &Form1::m_play_Click);
    connect(Command5, &QToolButton::clicked, this, &Form1::Command5_Click);
    connect(m_stop, &QAction::triggered, this, &Form1::m_stop_Click);
    connect(Command6, &QToolButton::clicked, this, &Form1::Command6_Click);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);

    LW1->viewport()->installEventFilter(this);
    Label4->installEventFilter(this);
    Text2->installEventFilter(this);
}

// ---- load and unload

void Form1::Form_Load() {
    const int firstColumn =
        pxToTwips(LW1->width()) - kSizeColumnTwips - kStatusColumnTwips - kColumnSlackTwips;
    if (firstColumn >= 0) LW1->setColumnWidth(gui::kPathColumn, twipsToPx(firstColumn));
    LW1->setColumnWidth(gui::kSizeColumn, twipsToPx(kSizeColumnTwips));
    LW1->setColumnWidth(gui::kStatusColumn, twipsToPx(kStatusColumnTwips));
    applyDestinationLayout();
    LW1->setSelectionBehavior(QAbstractItemView::SelectRows);
    LW1->setAllColumnsShowFocus(true);
    FR1->setVisible(true);
    Combo4->addItems({QStringLiteral("WAV"), QStringLiteral("MP3"), QStringLiteral("OGG")});
    Combo4->setCurrentIndex(-1);  // start-up selects the saved format
    Timer1_Timer();
    appState.AcmFormatSize = core::Engine::acmFormatSize();
    appState.AcmFormat = QByteArray(qMax(0, appState.AcmFormatSize), '\0');
    Timer2_Timer();
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    engine.free();
    appState.AcmFormat.clear();
    appState.FormatIndex = static_cast<qint16>(Combo4->currentIndex());
    core::SaveSettings(appState, *this);
    exitProcess();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// ---- settings controls

int Form1::check1State() const {
    return fromQt(Check1->checkState());
}

bool Form1::setCheck1State(int state) {
    if (state < 0 || state > 2) return false;
    Check1->setCheckState(toQt(state));
    return true;
}

int Form1::check2State() const {
    return fromQt(Check2->checkState());
}

bool Form1::setCheck2State(int state) {
    if (state < 0 || state > 2) return false;
    Check2->setCheckState(toQt(state));
    return true;
}

QString Form1::text2() const {
    return Text2->text();
}

void Form1::setText2(const QString& text) {
    Text2->setText(text);
}

void Form1::selectFormat(int index) {
    // An index the list does not have is refused; the selection stays as it was.
    if (index >= -1 && index < Combo4->count()) Combo4->setCurrentIndex(index);
}

// ---- geometry

QRect Form1::twipsGeometry(const QWidget* control) const {
    const QRect g = control->geometry();
    return QRect(pxToTwips(g.x()), pxToTwips(g.y()), pxToTwips(g.width()), pxToTwips(g.height()));
}

void Form1::centerOnScreen() {
    create();  // the frame's margins are known once the native window exists
    const QScreen* s = screen();
    if (!s) return;
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
}

void Form1::applyDestinationLayout() {
    const bool sameFolder = check1State() == 1;
    Picture1->setVisible(!sameFolder);
    const QRect panel = twipsGeometry(Picture1);
    const int top = sameFolder ? kCheck2TopTwips : panel.top() + panel.height();
    QRect g = Check2->geometry();
    g.moveTop(twipsToPx(top));
    Check2->setGeometry(g);
}

// ---- adding, removing, the list

void Form1::m_add_midi_Click() {
    list_->addFromOpenDialog(dialogs, this);
}

void Form1::Command1_Click() {
    m_add_midi_Click();
}

void Form1::Label4_Click() {
    m_add_midi_Click();
}

void Form1::m_add_midi_c_Click() {
    m_add_midi_Click();
}

void Form1::m_remove_Click() {
    if (ConversionActive) return;  // a stopped run still writes into its rows
    list_->removeSelected();
}

void Form1::m_all_Click() {
    if (ConversionActive) return;
    list_->removeAll();
}

void Form1::m_remove_c_Click() {
    m_remove_Click();
}

void Form1::Command2_Click(int index) {
    if (index == 0) {
        m_remove_Click();
        return;
    }
    const QString folder = dialogs.browseForFolder(this);
    if (!folder.isEmpty()) Text2->setText(folder);
}

void Form1::LW1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
    if (button != Qt::RightButton) return;
    const int offset = twipsToPx(kContextMenuOffsetTwips);
    mContext->popup(LW1->mapToGlobal(pos + QPoint(offset, offset)));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LW1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        LW1_MouseUp(mouse->button(), mouse->modifiers(),
                    LW1->viewport()->mapTo(LW1, mouse->position().toPoint()));
    } else if (watched == Label4 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label4->rect().contains(mouse->position().toPoint()))
            Label4_Click();
    } else if (watched == Text2) {
        // The whole destination is selected however the box gets the focus; a
        // click would otherwise put the caret where it landed.
        if (event->type() == QEvent::FocusIn) {
            Text2->selectAll();
            selectAllOnRelease_ =
                static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        } else if (event->type() == QEvent::MouseButtonRelease && selectAllOnRelease_) {
            selectAllOnRelease_ = false;
            if (!Text2->hasSelectedText()) Text2->selectAll();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- commands that only open something

void Form1::Check1_Click() {
    applyDestinationLayout();
}

void Form1::Command4_Click() {
    showEncoderSettings(this, appState);
}

void Form1::m_about_Click() {
    showAbout(this, dialogs);
}

void Form1::m_exit_Click() {
    close();
}

void Form1::m_contents_Click() {
    dialogs.openUrl(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/manual.html")));
}

void Form1::m_homepage_Click() {
    dialogs.openUrl(QUrl(core::homePageUrl()));
}

// ---- control state

void Form1::Timer1_Timer() {
    UpdateAddFilesHint(*this);
}

void Form1::Timer2_Timer() {
    UpdateListCommands(*this);
}

void Form1::enterBusyForPreview() {
    EnterBusyForPreview(*this);
}

void Form1::enterBusyForConversion() {
    EnterBusyForConversion(*this);
}

void Form1::leaveBusy() {
    LeaveBusy(*this);
}

void Form1::endConversionBusy() {
    EndConversionBusy(*this);
}

// ---- conversion and preview

void Form1::m_convert_Click() {
    core::RunConversion(*this);
}

void Form1::button1_Click() {
    m_convert_Click();
}

void Form1::m_play_Click() {
    gui::Play(*this);
}

void Form1::m_stop_Click() {
    gui::Stop(*this);
}

void Form1::Command5_Click() {
    m_play_Click();
}

void Form1::Command6_Click() {
    m_stop_Click();
}

void Form1::Timer3_Timer() {
    gui::Timer3Tick(*this);
}

void Form1::Timer4_Timer() {
    core::ProgressTick(*this);
}

}  // namespace gui
