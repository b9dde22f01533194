// Start-up, the settings the window shows and saves, and the window's frame.

#include "tst_form1_support.h"

#include "app/IniFile.h"
#include "app/ProductInfo.h"
#include "app/Settings.h"
#include "ui/Form3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <sys/stat.h>
#include <unistd.h>

using namespace form1test;

namespace {

QString iniValue(const QString& key) {
    return app::ReadIniValue(QStringLiteral("Main"), key, SettingsFile());
}

void writeSettings(const QByteArray& text) {
    QDir().mkpath(AppData());
    QFile f(SettingsFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

}  // namespace

class Form1Startup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(Home().isValid());
        QVERIFY2(Documents().startsWith(Home().path()), qPrintable(Documents()));
    }
    void init() { QDir(AppData()).removeRecursively(); }

    void firstRunCreatesFoldersAndDefaults() {
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        QVERIFY(s->app);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(QFileInfo(AppData()).isDir());
        QVERIFY(QFileInfo(AppData() + QStringLiteral("/Output")).isDir());

        const QString output = AppData() + QStringLiteral("/Output");
        QCOMPARE(iniValue("0"), QStringLiteral("1"));
        QCOMPARE(iniValue("1"), QStringLiteral("1"));
        QCOMPARE(iniValue("2"), output);
        QCOMPARE(iniValue("3"), QStringLiteral("160"));
        QCOMPARE(iniValue("4"), QStringLiteral("1"));
        QCOMPARE(iniValue("5"), QStringLiteral("1"));
        QCOMPARE(iniValue("6"), QStringLiteral("44100"));

        ui::Form1& f = s->form();
        QVERIFY(f.isVisible());
        QCOMPARE(f.windowTitle(), QStringLiteral("Quillmoor Sonbridge"));
        QCOMPARE(f.Combo4->currentText(), QStringLiteral("MP3"));
        QCOMPARE(f.Check1->checkState(), Qt::Checked);
        QCOMPARE(f.Check2->checkState(), Qt::Checked);
        QCOMPARE(f.Text2->text(), output);
        QCOMPARE(s->app->state.Bitrate, 160);
        QCOMPARE(s->app->state.SampleRate, 44100);
        QCOMPARE(s->app->state.Stereo, qint16(1));
        QCOMPARE(s->app->state.AcmFormatSize, audio::Engine::acmFormatSize());
        QVERIFY(s->app->state.AcmFormatSize > 0);
        QCOMPARE(s->app->state.AcmFormat, QByteArray(s->app->state.AcmFormatSize, '\0'));
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath());
    }

    void handEditedSettingsAreShown() {
        writeSettings(
            "; kept\n[Other]\na=b\n[Main]\n0=0\n1=0\n2=/srv/music out\n3=128kbps\n4=2\n5=0\n"
            "6=22050.5\n");
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        QVERIFY(s->app);
        ui::Form1& f = s->form();
        QCOMPARE(f.Check1->checkState(), Qt::Unchecked);
        QCOMPARE(f.Check2->checkState(), Qt::Unchecked);
        QCOMPARE(f.Text2->text(), QStringLiteral("/srv/music out"));
        QCOMPARE(f.Combo4->currentText(), QStringLiteral("OGG"));
        QCOMPARE(s->app->state.Bitrate, 128);
        QCOMPARE(s->app->state.SampleRate, 22050);
        QVERIFY(f.Picture1->isVisible());

        f.close();
        QVERIFY(s->exited);
        // Nothing else in the file is lost by the save.
        app::IniFile ini;
        QVERIFY(ini.load(SettingsFile()));
        QCOMPARE(ini.value(QStringLiteral("Other"), QStringLiteral("a")).value_or(QString()),
                 QStringLiteral("b"));
        QCOMPARE(iniValue("2"), QStringLiteral("/srv/music out"));
        QCOMPARE(iniValue("6"), QStringLiteral("22050"));
    }

    void outOfRangeFormatLeavesNoSelectionAndSavesMinusOne() {
        writeSettings("[Main]\n0=1\n1=1\n2=/x\n3=160\n4=7\n5=1\n6=44100\n");
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        QVERIFY(s->app);
        QCOMPARE(s->form().Combo4->currentIndex(), -1);
        s->form().close();
        QVERIFY(s->exited);
        QCOMPARE(iniValue("4"), QStringLiteral("-1"));
    }

    void closingSavesTheChosenFormatAndTheControls() {
        {
            ScriptedDialogs dialogs;
            auto s = Start(dialogs);
            ui::Form1& f = s->form();
            f.Combo4->setCurrentIndex(2);
            f.Check2->setCheckState(Qt::Unchecked);
            f.Text2->setText(QStringLiteral("/tmp/elsewhere"));
            f.m_exit->trigger();  // Quit takes the same road as the close box
            QVERIFY(s->exited);
            QCOMPARE(iniValue("4"), QStringLiteral("2"));
            QCOMPARE(iniValue("1"), QStringLiteral("0"));
            QCOMPARE(iniValue("2"), QStringLiteral("/tmp/elsewhere"));
        }
        // A second start writes no defaults and shows what was saved.
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        QCOMPARE(s->form().Combo4->currentText(), QStringLiteral("OGG"));
        QCOMPARE(s->form().Check2->checkState(), Qt::Unchecked);
        QCOMPARE(s->form().Text2->text(), QStringLiteral("/tmp/elsewhere"));
    }

    void encoderSettingsReachTheFileWhenTheProgramCloses() {
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        ui::Form1& f = s->form();
        f.Command4->click();
        QVERIFY(!f.isEnabled());
        auto* dialog = f.findChild<ui::Form3*>(QStringLiteral("Form3"));
        QVERIFY(dialog);
        auto* bitrates = dialog->findChild<QComboBox*>(QStringLiteral("Combo3"));
        auto* rates = dialog->findChild<QComboBox*>(QStringLiteral("Combo2"));
        auto* mono = dialog->findChild<QRadioButton*>(QStringLiteral("Option1"));
        auto* stereo = dialog->findChild<QRadioButton*>(QStringLiteral("Option2"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(bitrates && rates && mono && stereo && ok);
        QCOMPARE(bitrates->currentText(), QStringLiteral("160"));
        QCOMPARE(rates->currentText(), QStringLiteral("44100"));
        QVERIFY(stereo->isChecked());
        bitrates->setCurrentText(QStringLiteral("96"));
        rates->setCurrentText(QStringLiteral("22050"));
        mono->setChecked(true);
        const QString before = iniValue("3");
        ok->click();
        QTRY_VERIFY(f.isEnabled());
        QCOMPARE(iniValue("3"), before);  // OK alone writes nothing to disk
        f.close();
        QCOMPARE(iniValue("3"), QStringLiteral("96"));
        QCOMPARE(iniValue("5"), QStringLiteral("0"));
        QCOMPARE(iniValue("6"), QStringLiteral("22050"));
    }

    void greyCheckBoxValueIsKept() {
        writeSettings("[Main]\n0=2\n1=5\n");
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        ui::Form1& f = s->form();
        QCOMPARE(f.check1State(), 2);
        QVERIFY(f.Picture1->isVisible());  // grey counts as not ticked
        QCOMPARE(f.check2State(), 0);      // 5 refused: the box keeps its state
        // Missing keys read as 0: WAV, bitrate 0.
        QCOMPARE(f.Combo4->currentIndex(), 0);
        QCOMPARE(s->app->state.Bitrate, 0);
    }

    // Binary garbage, or one that is 10 MB long: start-up completes and the
    // save afterwards leaves a file that reads back, every other byte kept.
    void damagedSettingsFile_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("hasMain");
        QByteArray garbage;
        for (quint32 i = 0, x = 12345; i < 64 * 1024; ++i) {
            x = x * 1103515245u + 12345u;
            garbage += char(x >> 23);
        }
        QTest::newRow("binary garbage") << garbage << false;
        QByteArray big = "[Main]\n0=0\n1=0\n2=/srv/big\n3=96\n4=2\n5=0\n6=22050\n";
        const QByteArray filler = "; " + QByteArray(1022, 'x') + "\n";
        while (big.size() < 10 * 1024 * 1024) big += filler;
        QTest::newRow("10 MB") << big << true;
    }

    void damagedSettingsFile() {
        QFETCH(QByteArray, content);
        QFETCH(bool, hasMain);
        writeSettings(content);
        {
            ScriptedDialogs dialogs;
            auto s = Start(dialogs);
            QVERIFY(s->app);
            QVERIFY(dialogs.messages.isEmpty());
            ui::Form1& f = s->form();
            QCOMPARE(f.Text2->text(), hasMain ? QStringLiteral("/srv/big") : QString());
            QCOMPARE(s->app->state.Bitrate, hasMain ? 96 : 0);
            f.Text2->setText(QStringLiteral("/srv/after"));
            f.Combo4->setCurrentIndex(1);
            f.close();
            QVERIFY(s->exited);
        }
        QCOMPARE(iniValue("2"), QStringLiteral("/srv/after"));
        QCOMPARE(iniValue("4"), QStringLiteral("1"));
        QFile saved(SettingsFile());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        if (hasMain) {
            QVERIFY(bytes.endsWith(content.mid(content.indexOf(";"))));
        } else {
            QVERIFY(bytes.startsWith(content));  // the garbage is someone's; it stays
        }
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        QCOMPARE(s->form().Text2->text(), QStringLiteral("/srv/after"));
    }

    // A settings path that cannot be read: start-up completes with every key
    // empty, and the entry is left as it was rather than replaced.
    void unreadableSettingsFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("fifo") << "fifo";  // opening it for reading would wait forever
        if (geteuid() != 0) QTest::newRow("no permission") << "no permission";
    }

    void unreadableSettingsFile() {
        QFETCH(QString, kind);
        QDir().mkpath(AppData());
        const QByteArray path = QFile::encodeName(SettingsFile());
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(SettingsFile()));
        } else if (kind == "fifo") {
            QVERIFY(::mkfifo(path.constData(), 0644) == 0);
        } else {
            writeSettings("[Main]\n3=96\n");
            QVERIFY(::chmod(path.constData(), 0) == 0);
        }
        struct stat before;
        QVERIFY(::lstat(path.constData(), &before) == 0);
        {
            ScriptedDialogs dialogs;
            auto s = Start(dialogs);
            QVERIFY(s->app);
            ui::Form1& f = s->form();
            QCOMPARE(f.check1State(), 0);
            QCOMPARE(f.check2State(), 0);
            QCOMPARE(f.Text2->text(), QString());
            QCOMPARE(s->app->state.Bitrate, 0);
            QCOMPARE(s->app->state.SampleRate, 0);
            f.close();
            QVERIFY(s->exited);
        }
        struct stat after;
        QVERIFY(::lstat(path.constData(), &after) == 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        ::chmod(path.constData(), 0644);
        QDir(AppData()).removeRecursively();
        ::unlink(path.constData());
    }

    void unusableSoundDeviceEndsStartWithoutSaving() {
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        qputenv("SDL_AUDIODRIVER", driver);
        QVERIFY(!s->app);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Can't initialize device"));
        QCOMPARE(dialogs.messages[0].icon, QMessageBox::NoIcon);
        QVERIFY(QFileInfo(AppData() + QStringLiteral("/Output")).isDir());
        QVERIFY(!QFile::exists(SettingsFile()));
    }

    void windowFrameAndLayout() {
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);
        ui::Form1& f = s->form();
        QCOMPARE(f.centralWidget()->size(), QSize(585, 440));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!f.windowIcon().isNull());
        const QPoint screenCentre = f.screen()->availableGeometry().center();
        QVERIFY2((f.frameGeometry().center() - screenCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(f.frameGeometry().x())
                                .arg(f.frameGeometry().y())
                                .arg(f.frameGeometry().width())
                                .arg(f.frameGeometry().height())));

        // Column widths: the list less the two fixed columns less 1300 twips.
        QCOMPARE(f.LW1->columnWidth(0), ui::TwipsToPx(4355));
        // The pop-up is not on the menu bar.
        for (QAction* a : f.menuBar()->actions()) QVERIFY(a->menu() != f.mContext);
    }

    void destinationPanelFollowsSaveToSameFolder() {
        ScriptedDialogs dialogs;
        auto s = Start(dialogs);  // first run: ticked
        ui::Form1& f = s->form();
        QVERIFY(!f.Picture1->isVisible());
        QCOMPARE(f.twipsGeometry(f.Check2).top(), 5400);

        QTest::mouseClick(f.Check1, Qt::LeftButton);
        QCOMPARE(f.Check1->checkState(), Qt::Unchecked);
        QVERIFY(f.Picture1->isVisible());
        QVERIFY(f.Text2->isVisible());
        QCOMPARE(f.twipsGeometry(f.Check2).top(), 6135);
        QVERIFY(!f.Check2->geometry().intersects(f.Picture1->geometry()));

        f.setCheck1State(1);  // set from code: the same rule
        QVERIFY(!f.Picture1->isVisible());
        QCOMPARE(f.twipsGeometry(f.Check2).top(), 5400);
    }
};

FORM1_TEST_MAIN(Form1Startup)
#include "tst_form1_startup.moc"
