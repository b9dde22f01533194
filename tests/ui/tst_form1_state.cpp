// What the main window lets you do when: the add-files hint and the
// list-dependent commands following the rows, busy mode for a preview and a
// conversion, the destination box selecting itself. Also writes pictures of
// the window for the documentation.

#include "tst_form1_support.h"

#include "filelist/SourceList.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace form1test;

namespace {

using States = QMap<QString, bool>;

// Every control whose enabled flag busy mode switches, by name.
States controlStates(ui::Form1& f) {
    return {
        {"Timer2", f.Timer2->isActive()},
        {"Timer3", f.Timer3->isActive()},
        {"Timer4", f.Timer4->isActive()},
        {"Command1", f.Command1->isEnabled()},
        {"Command2(0)", f.Command2[0]->isEnabled()},
        {"Command2(1)", f.Command2[1]->isEnabled()},
        {"Command4", f.Command4->isEnabled()},
        {"Command5", f.Command5->isEnabled()},
        {"Command6", f.Command6->isEnabled()},
        {"button1", f.button1->isEnabled()},
        {"LW1", f.LW1->isEnabled()},
        {"Combo4", f.Combo4->isEnabled()},
        {"Check1", f.Check1->isEnabled()},
        {"Check2", f.Check2->isEnabled()},
        {"Text2", f.Text2->isEnabled()},
        {"m_add_midi", f.m_add_midi->isEnabled()},
        {"m_remove", f.m_remove->isEnabled()},
        {"m_all", f.m_all->isEnabled()},
        {"m_play", f.m_play->isEnabled()},
        {"m_stop", f.m_stop->isEnabled()},
        {"m_convert", f.m_convert->isEnabled()},
        {"m_add_midi_c", f.m_add_midi_c->isEnabled()},
        {"m_remove_c", f.m_remove_c->isEnabled()},
    };
}

States with(States s, std::initializer_list<std::pair<const char*, bool>> changes) {
    for (const auto& [name, value] : changes) s[QLatin1String(name)] = value;
    return s;
}

const QStringList kListCommands{"Command5", "button1", "Command2(0)", "m_play",
                                "m_remove", "m_all",   "m_remove_c",  "m_convert"};

}  // namespace

class Form1State : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Started> s;
    QTemporaryDir files;

    ui::Form1& f() { return s->form(); }
    filelist::SourceList& rows() { return s->form().sourceList(); }
    void addRows(int n) {
        for (int i = 0; i < n; ++i)
            QVERIFY(rows().AddSourceFile(MakeFile(files.path(),
                                                  QStringLiteral("track %1.wav").arg(i + 1),
                                                  (i + 1) * 1500000 + i * 4321)));
    }
    bool listCommandsEnabled(bool expected) {
        const States now = controlStates(f());
        for (const QString& c : kListCommands)
            if (now[c] != expected) return false;
        return true;
    }

private slots:
    void initTestCase() { QVERIFY(Documents().startsWith(Home().path())); }
    void init() {
        dialogs = ScriptedDialogs();
        s = Start(dialogs);
        QVERIFY(s->app);
    }
    void cleanup() { s.reset(); }

    void hintAndListCommandsFollowTheRowsOnTheirTimers() {
        // Before the window is first used: hint shown, the eight off, adding on.
        QVERIFY(f().Picture3->isVisible());
        QVERIFY(listCommandsEnabled(false));
        QVERIFY(f().Command1->isEnabled() && f().m_add_midi->isEnabled() &&
                f().m_add_midi_c->isEnabled());

        // Sized from the "Files to convert:" caption, below the list's headers.
        QCOMPARE(f().twipsGeometry(f().Label1), QRect(120, 120, 4335, 255));
        QCOMPARE(f().Picture3->geometry(), QRect(13, 51, 298, 18));
        QVERIFY(f().Label4->isVisible());

        // The rows are added without calling the rules: the timers catch up.
        QElapsedTimer clock;
        clock.start();
        rows().AddSourceFile(MakeFile(files.path(), QStringLiteral("one.wav"), 10));
        QTRY_VERIFY_WITH_TIMEOUT(!f().Picture3->isVisible() && listCommandsEnabled(true), 2000);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));

        rows().select(0);
        f().m_remove->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(f().Picture3->isVisible() && listCommandsEnabled(false), 2000);
    }

    void busyForPreview() {
        addRows(2);
        f().Timer2_Timer();
        rows().select(1);
        const States idle = controlStates(f());
        f().enterBusyForPreview();
        QCOMPARE(rows().status(1), QStringLiteral("Playing..."));
        QCOMPARE(rows().status(0), QStringLiteral("Not processed"));
        const States preview = with(idle, {{"Timer2", false},
                                           {"Command1", false},
                                           {"Command2(0)", false},
                                           {"Command5", false},
                                           {"Command6", true},
                                           {"button1", false},
                                           {"m_add_midi", false},
                                           {"m_remove", false},
                                           {"m_all", false},
                                           {"m_play", false},
                                           {"m_stop", true},
                                           {"m_convert", false},
                                           {"m_add_midi_c", false},
                                           {"m_remove_c", false},
                                           {"LW1", false}});
        QCOMPARE(controlStates(f()), preview);
        // Format, settings and destination stay usable during a preview.
        for (const char* c : {"Combo4", "Command4", "Check1", "Check2", "Text2", "Command2(1)"})
            QVERIFY(controlStates(f())[QLatin1String(c)]);
        // Timer2 is off: nothing brings the commands back on its own.
        QTest::qWait(250);
        QCOMPARE(controlStates(f()), preview);

        f().Timer3->start();
        f().leaveBusy();
        QCOMPARE(controlStates(f()), idle);
    }

    void busyForConversionAndItsEnd() {
        addRows(1);
        f().Timer2_Timer();
        const States idle = controlStates(f());
        f().enterBusyForConversion();
        States converting = idle;
        for (auto it = converting.begin(); it != converting.end(); ++it)
            if (it.key() != "Timer3" && it.key() != "Timer4") it.value() = false;
        converting["Command6"] = true;
        converting["m_stop"] = true;
        QCOMPARE(controlStates(f()), converting);

        // Stop during the run: the six conversion-only controls stay off.
        f().leaveBusy();
        const States stopping = with(idle, {{"Combo4", false},
                                            {"Command4", false},
                                            {"Check1", false},
                                            {"Check2", false},
                                            {"Text2", false},
                                            {"Command2(1)", false}});
        QCOMPARE(controlStates(f()), stopping);

        f().Timer4->start();
        f().endConversionBusy();
        QCOMPARE(controlStates(f()), idle);
    }

    void endOfRunOnAnEmptyListIsCorrectedByTheNextTick() {
        f().enterBusyForConversion();
        f().endConversionBusy();
        QVERIFY(listCommandsEnabled(true));  // whatever the list holds
        QVERIFY(f().Timer2->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(listCommandsEnabled(false), 1000);
    }

    void hintIsPlacedWhileBusy() {
        f().enterBusyForConversion();
        f().Picture3->move(0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(f().Picture3->geometry(), QRect(13, 51, 298, 18), 1000);
    }

    void destinationTextSelectsItselfOnFocus() {
        f().setCheck1State(0);
        f().Text2->setText(QStringLiteral("/music/converted files"));
        f().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f()));

        f().Check1->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(f().Check1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f().Text2);
        QCOMPARE(f().Text2->selectedText(), f().Text2->text());

        f().Combo4->setFocus(Qt::OtherFocusReason);
        QVERIFY(!f().Text2->hasFocus());
        QTest::mouseClick(f().Text2, Qt::LeftButton, {}, QPoint(30, f().Text2->height() / 2));
        QVERIFY(f().Text2->hasFocus());
        QCOMPARE(f().Text2->selectedText(), f().Text2->text());

        // Once it has the focus, a click places the caret as usual.
        QTest::mouseClick(f().Text2, Qt::LeftButton, {}, QPoint(30, f().Text2->height() / 2));
        QVERIFY(!f().Text2->hasSelectedText());
    }

    void picturesOfTheWindow() {
        QTest::qWait(200);
        const QString dir = OutputDir();
        QVERIFY(f().grab().save(dir + QStringLiteral("/main-window-empty.png")));
        const QString music = Home().path() + QStringLiteral("/Music");
        QDir().mkpath(music);
        const char* const names[] = {"Harbour Lights.wav", "Morning Walk.mp3", "Evening Rain.ogg"};
        for (int i = 0; i < 3; ++i)
            QVERIFY(rows().AddSourceFile(
                MakeFile(music, QLatin1String(names[i]), (3 - i) * 4100000 + 12345)));
        rows().setStatus(0, QStringLiteral("Converted."));
        rows().setStatus(1, QStringLiteral("Processing... 42% completed"));
        rows().select(1);
        f().setCheck1State(0);
        QTRY_VERIFY(!f().Picture3->isVisible());
        QTRY_VERIFY(f().button1->isEnabled());
        const QImage shot = f().grab().toImage();
        QVERIFY(shot.save(dir + QStringLiteral("/main-window.png")));
        QVERIFY(shot.width() >= 585 && shot.height() >= 440);
    }
};

FORM1_TEST_MAIN(Form1State)
#include "tst_form1_state.moc"
