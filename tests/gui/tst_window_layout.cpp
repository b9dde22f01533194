// The three windows at other font sizes, and under light and dark colour
// schemes: no text is cut off and the links stay readable.
// Screenshots go to $SONBRIDGE_TEST_OUTPUT/screenshots.

#include "gui/Palette.h"
#include "gui/RowDelegate.h"
#include "gui/SourceList.h"
#include "support/AudioFixtures.h"
#include "support/gui/WindowFixture.h"

#include <QtWidgets>

using fixtures::StartedWindow;

namespace {

// Every label and button of window shows all of its text: inside the window
// and at least as large as it asks to be (a wrapped label: tall enough for
// its width).
QStringList cutOff(QWidget* window) {
    QStringList found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        if (!w->isVisibleTo(window) || (!label && !qobject_cast<QAbstractButton*>(w))) continue;
        const QSize need = label && label->wordWrap()
                               ? QSize(0, label->heightForWidth(label->width()))
                               : w->sizeHint();
        const QRect inWindow(w->mapTo(window, QPoint()), w->size());
        if (w->width() < need.width() || w->height() < need.height() ||
            !window->rect().contains(inWindow))
            QDebug(&found.emplace_back()) << w << inWindow << "needs" << need;
    }
    return found;
}

void screenshot(QWidget* window, const QString& name) {
    const QString folder =
        qEnvironmentVariable("SONBRIDGE_TEST_OUTPUT", QDir::tempPath()) + "/screenshots";
    QDir().mkpath(folder);
    QVERIFY(window->grab().save(folder + "/" + name + ".png"));
}

// Light text on dark grey, with the default blue links, too faint there.
QPalette darkPalette() {
    const QColor text(235, 235, 235), grey(53, 53, 53);
    QPalette p(text, grey, grey.lighter(), grey.darker(), grey, text, text, QColor(35, 35, 35),
               grey);
    p.setColor(QPalette::Link, QColor(0, 0, 255));
    return p;
}

// The text a cell shows, cut to its width as the view draws it.
QString shownText(QTreeWidget* list, int row, int column) {
    const QModelIndex index = list->model()->index(row, column);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(index);
    option.decorationSize = list->iconSize();
    auto* delegate = static_cast<gui::RowDelegate*>(list->itemDelegate());
    delegate->initStyleOption(&option, index);
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const QRect text = list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list);
    return option.fontMetrics.elidedText(option.text, option.textElideMode,
                                         text.width() - 2 * margin);
}

double worstLinkContrast(QWidget* window, QPalette::ColorRole background) {
    double worst = 21;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->font().underline())
            worst = qMin(worst, gui::contrastRatio(l->palette().color(QPalette::WindowText),
                                                   l->palette().color(background)));
    return worst;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

    const QFont defaultFont_ = QApplication::font();

private slots:
    void init() { QDir(fixtures::appDataFolder()).removeRecursively(); }

    // Font size (0: the default), dark scheme, scale factor: a row at
    // another scale runs in a child process, as the scale is fixed at start.
    void windows_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<double>("scale");
        QTest::newRow("light") << 0 << false << 1.0;
        QTest::newRow("dark") << 0 << true << 1.0;
        QTest::newRow("8 pt") << 8 << false << 1.0;
        QTest::newRow("14 pt") << 14 << false << 1.0;
        QTest::newRow("11 pt, dark") << 11 << true << 1.0;
        QTest::newRow("14 pt at 2") << 14 << false << 2.0;
    }

    // No label or button of the three windows is cut off, and links stand
    // at least 4.5:1 against their background.
    void windows() {
        QFETCH(int, points);
        QFETCH(bool, dark);
        QFETCH(double, scale);
        if (!qFuzzyCompare(qApp->devicePixelRatio(), scale)) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_SCALE_FACTOR", QString::number(scale));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(),
                        {QString("windows:") + QTest::currentDataTag()});
            QVERIFY(child.waitForFinished(60000));
            QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
            return;
        }
        QFont font = defaultFont_;
        if (points) font.setPointSize(points);
        QApplication::setFont(font);
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        StartedWindow s;
        QVERIFY(s.start());
        s.ui().sameFolderCheck->setCheckState(Qt::Unchecked);  // every control shows
        QVERIFY(QTest::qWaitForWindowExposed(&s.window()));
        QTRY_COMPARE(cutOff(&s.window()).join("; "), QString());
        QVERIFY(s.ui().addFilesHint->isVisible());
        QVERIFY(worstLinkContrast(&s.window(), QPalette::Base) >= 4.5);
        // A converting row's text on its bar: on the groove and on the filled part.
        const QPalette bars = gui::readableProgressPalette(QApplication::palette());
        QVERIFY(gui::contrastRatio(bars.color(QPalette::Text), bars.color(QPalette::Base)) >= 4.5);
        QVERIFY(gui::contrastRatio(bars.color(QPalette::HighlightedText),
                                   bars.color(QPalette::Highlight)) >= 4.5);
        for (auto [opener, name] :
             {std::pair<QObject*, QString>{s.ui().settingsButton, "encoder-settings"},
              {s.ui().aboutAction, "about"}}) {
            QMetaObject::invokeMethod(opener, opener == s.ui().aboutAction ? "trigger" : "click");
            auto* dialog = s.window().findChild<QDialog*>();
            QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
            QCOMPARE(cutOff(dialog), QStringList());
            QVERIFY(worstLinkContrast(dialog, QPalette::Window) >= 4.5);
            if (points == 14 && scale == 1.0) screenshot(dialog, name + "-14pt");
            dialog->reject();
            QTRY_VERIFY(s.window().isEnabled() && !s.window().findChild<QDialog*>());
        }
        if (points != 0) return;

        // A batch at work: real files, shown under a home folder's names.
        const QString music = fixtures::home().filePath("Music/");
        const QString deep = "Ana Lima/Songs of the Harbour (Deluxe Edition)/02 Dawn Song.flac";
        QDir().mkpath(music + deep.section('/', 0, -2));
        const std::tuple<QString, double, QString> files[] = {
            {"Morning Walk.flac", 400, "flac"},
            {"Interview 2024-03.wav", 300, "pcm_s16le"},
            {"Lullaby.ogg", 200, "libvorbis"},
            {deep, 250, "flac"}};
        for (const auto& [name, seconds, codec] : files)
            QVERIFY(!fixtures::makeEncoded(music, name, seconds, 44100, 2, codec).isEmpty());
        s.prepareRun(1, music + "Converted", 2);
        for (const auto& [name, seconds, codec] : files) s.rows().addFiles({music + name});
        // The end of a deep path, its file's name, shows at the default width.
        QTRY_VERIFY(
            shownText(s.ui().sourceList, 3, gui::kPathColumn).endsWith("/02 Dawn Song.flac"));
        QCOMPARE(s.ui().sourceList->topLevelItem(3)->toolTip(gui::kPathColumn), music + deep);
        s.ui().startButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            s.window().findChild<QLabel*>("batchFilesLabel")->text().contains("left"), 20000);
        // Well under way for the picture, as far as a busy machine allows.
        (void)QTest::qWaitFor([&] { return s.window().findChild<QProgressBar*>()->value() >= 250; },
                              8000);
        for (int row = 0; row < s.rows().count(); ++row) {
            QTreeWidgetItem* item = s.ui().sourceList->topLevelItem(row);
            item->setText(gui::kPathColumn,
                          item->text(gui::kPathColumn).replace(music, "/home/robin/Music/"));
        }
        s.ui().destinationEdit->setText("/home/robin/Music/Converted");
        // One percentage: the total bar's and the title's; the rows show their own.
        const QString percent = s.window().findChild<QProgressBar*>()->text();
        QCOMPARE(s.window().windowTitle(), percent + " - Quillmoor Sonbridge");
        QVERIFY2(QRegularExpression("^Processing\\.\\.\\. \\d+% completed$")
                     .match(s.rows().status(0))
                     .hasMatch(),
                 qPrintable(s.rows().status(0)));
        screenshot(&s.window(), QString("main-window-") + QTest::currentDataTag());
        s.ui().stopButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(s.idle(), 20000);
        s.window().showMaximized();
        QTRY_VERIFY(s.window().isMaximized());
        QTest::qWait(50);
        QVERIFY(s.ui().sourceList->height() > 200);  // the list takes the room
        screenshot(&s.window(), QString("main-window-maximised-") + QTest::currentDataTag());
    }
};

GUI_TEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
