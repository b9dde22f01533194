// The three windows at other font sizes and scale factors, and under light
// and dark colour schemes: no text is cut off and the links stay readable.
// Screenshots go to $SONBRIDGE_TEST_OUTPUT/screenshots.

#include "gui/Palette.h"
#include "support/AudioFixtures.h"
#include "support/gui/WindowFixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

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
            found << QString("%1 at %2,%3 %4x%5 needs %6x%7")
                         .arg(label ? label->text() : static_cast<QAbstractButton*>(w)->text())
                         .arg(inWindow.x())
                         .arg(inWindow.y())
                         .arg(w->width())
                         .arg(w->height())
                         .arg(need.width())
                         .arg(need.height());
    }
    return found;
}

void screenshot(QWidget* window, const QString& name) {
    const QString folder =
        qEnvironmentVariable("SONBRIDGE_TEST_OUTPUT", QDir::tempPath()) + "/screenshots";
    QDir().mkpath(folder);
    QVERIFY(window->grab().save(folder + "/" + name + ".png"));
}

QPalette darkPalette() {
    QPalette p(QColor(53, 53, 53));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(role, QColor(235, 235, 235));
        p.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    }
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::Link, QColor(0, 0, 255));  // the default, too faint on dark grey
    return p;
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

    QTemporaryDir media_;

    QDialog* openDialog(StartedWindow& s, QAction* opener, const char* name) {
        opener->trigger();
        auto* dialog = s.window().findChild<QDialog*>(name);
        return dialog && QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    }

private slots:
    void init() {
        QDir(fixtures::appDataFolder()).removeRecursively();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void nothingIsCutOff_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("scale");
        QTest::newRow("8 pt") << 8 << 1.0;
        QTest::newRow("14 pt") << 14 << 1.0;
        QTest::newRow("11 pt at 1.5") << 11 << 1.5;
        QTest::newRow("8 pt at 2") << 8 << 2.0;
        QTest::newRow("14 pt at 2") << 14 << 2.0;
    }

    // A scale factor is fixed when the program starts: rows at another one
    // run in a copy of this test started at that scale.
    void nothingIsCutOff() {
        QFETCH(int, points);
        QFETCH(double, scale);
        if (!qFuzzyCompare(qApp->devicePixelRatio(), scale)) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_SCALE_FACTOR", QString::number(scale));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QString("nothingIsCutOff:") + QTest::currentDataTag()});
            QVERIFY(child.waitForFinished(60000));
            QVERIFY2(child.exitCode() == 0, child.readAll().constData());
            return;
        }
        const QFont before = QApplication::font();
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
        StartedWindow s;
        QVERIFY(s.start());
        s.ui().sameFolderCheck->setCheckState(Qt::Unchecked);  // every control shows
        QVERIFY(QTest::qWaitForWindowExposed(&s.window()));
        QTRY_COMPARE(cutOff(&s.window()).join("; "), QString());
        s.ui().settingsButton->click();
        auto* settings = s.window().findChild<QDialog*>("encoderSettingsDialog");
        QVERIFY(settings && QTest::qWaitForWindowExposed(settings));
        QCOMPARE(cutOff(settings), QStringList());
        if (points == 14 && scale == 1.0) screenshot(settings, "encoder-settings-14pt");
        settings->reject();
        QDialog* about = openDialog(s, s.ui().aboutAction, "aboutDialog");
        QVERIFY(about);
        QCOMPARE(cutOff(about), QStringList());
        if (points == 14 && scale == 1.0) screenshot(about, "about-14pt");
        about->accept();
        QApplication::setFont(before);
    }

    void schemes_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        QTest::newRow("dark") << darkPalette();
    }

    // Links and the add-files hint stand at least 4.5:1 against their
    // background; the main window at its designed size and maximised.
    void schemes() {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        StartedWindow s;
        QVERIFY(s.start());
        QVERIFY(QTest::qWaitForWindowExposed(&s.window()));
        QVERIFY(s.ui().addFilesHint->isVisible());
        QVERIFY(worstLinkContrast(&s.window(), QPalette::Base) >= 4.5);
        QDialog* about = openDialog(s, s.ui().aboutAction, "aboutDialog");
        QVERIFY(about);
        QVERIFY(worstLinkContrast(about, QPalette::Window) >= 4.5);
        about->accept();
        QTRY_VERIFY(s.window().isEnabled());

        const QString music = fixtures::home().filePath("Music/");
        QDir().mkpath(music);
        for (auto [name, size] : {std::pair{"Morning Walk.flac", 31000000},
                                  {"Interview 2024-03.wav", 5200000},
                                  {"Lullaby.ogg", 812000}}) {
            QVERIFY(fixtures::writeFile(music + name, QByteArray(size, 'x')));
            s.rows().addFiles({music + name});
        }
        s.rows().setStatus(0, "Converted.");
        s.rows().setStatus(1, "Processing... 42% completed");
        s.ui().sameFolderCheck->setCheckState(Qt::Unchecked);
        s.ui().destinationEdit->setText(music + "Converted");
        const QString scheme = QTest::currentDataTag();
        QTest::qWait(50);
        screenshot(&s.window(), "main-window-" + scheme);
        s.window().showMaximized();
        QTRY_VERIFY(s.window().isMaximized());
        QTest::qWait(50);
        QVERIFY(s.ui().sourceList->height() > 200);  // the list takes the room
        screenshot(&s.window(), "main-window-maximised-" + scheme);
    }
};

GUI_TEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
