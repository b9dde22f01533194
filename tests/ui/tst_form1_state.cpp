// What the main window lets you do when: the add-files hint and the
// list-dependent commands following the rows, busy mode for a preview and a
// conversion. Also writes pictures of the window for the documentation.

#include "tst_form1_support.h"

#include "filelist/SourceList.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
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
    const QObject* controls[] = {
        f.Timer2,   f.Timer3,   f.Timer4,    f.Command1,     f.Command2[0], f.Command2[1],
        f.Command4, f.Command5, f.Command6,  f.button1,      f.LW1,         f.Combo4,
        f.Check1,   f.Check2,   f.Text2,     f.m_add_midi,   f.m_remove,    f.m_all,
        f.m_play,   f.m_stop,   f.m_convert, f.m_add_midi_c, f.m_remove_c};
    const QStringList names = QStringLiteral(
                                  "Timer2 Timer3 Timer4 Command1 Command2(0) Command2(1) Command4 "
                                  "Command5 Command6 button1 LW1 Combo4 Check1 Check2 Text2 "
                                  "m_add_midi m_remove m_all m_play m_stop m_convert "
                                  "m_add_midi_c m_remove_c")
                                  .split(' ');
    States s;
    for (int i = 0; i < names.size(); ++i)
        s[names[i]] =
            controls[i]->property(controls[i]->inherits("QTimer") ? "active" : "enabled").toBool();
    return s;
}

States with(States s, const QStringList& names, bool value) {
    for (const QString& name : names) s[name] = value;
    return s;
}

const QStringList kListCommands{"Command5", "button1", "Command2(0)", "m_play",
                                "m_remove", "m_all",   "m_remove_c",  "m_convert"};
const QStringList kConversionOnly{"Combo4", "Command4", "Check1", "Check2", "Text2", "Command2(1)"};

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
            QVERIFY(rows().AddSourceFile(
                MakeFile(files.path(), QStringLiteral("track %1.wav").arg(i + 1), 1500)));
        f().Timer2_Timer();
    }
    bool listCommandsEnabled(bool expected) {
        return controlStates(f()) == with(controlStates(f()), kListCommands, expected);
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

        // The rows are added without calling the rules: the timers catch up.
        rows().AddSourceFile(MakeFile(files.path(), QStringLiteral("one.wav"), 10));
        QTRY_VERIFY_WITH_TIMEOUT(!f().Picture3->isVisible() && listCommandsEnabled(true), 1000);
        rows().select(0);
        f().m_remove->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(f().Picture3->isVisible() && listCommandsEnabled(false), 1000);
    }

    void busyForPreview() {
        addRows(2);
        rows().select(1);
        const States idle = controlStates(f());
        f().enterBusyForPreview();
        QCOMPARE(rows().status(0), QStringLiteral("Not processed"));
        // Format, settings and destination stay usable during a preview.
        const States preview =
            with(with(idle, kListCommands, false),
                 {"Timer2", "Command1", "m_add_midi", "m_add_midi_c", "LW1"}, false);
        QCOMPARE(controlStates(f()), with(preview, {"Command6", "m_stop"}, true));
        // Timer2 is off: nothing brings the commands back on its own.
        QTest::qWait(250);
        QCOMPARE(controlStates(f()), with(preview, {"Command6", "m_stop"}, true));

        f().Timer3->start();
        f().leaveBusy();
        QCOMPARE(controlStates(f()), idle);
    }

    void busyForConversionAndItsEnd() {
        addRows(1);
        const States idle = controlStates(f());
        f().enterBusyForConversion();
        States converting = with(idle, idle.keys(), false);
        converting = with(converting, {"Command6", "m_stop"}, true);
        converting["Timer3"] = idle["Timer3"];
        converting["Timer4"] = idle["Timer4"];
        QCOMPARE(controlStates(f()), converting);

        // Stop during the run: the six conversion-only controls stay off.
        f().leaveBusy();
        QCOMPARE(controlStates(f()), with(idle, kConversionOnly, false));

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
        QVERIFY(f().grab().save(dir + QStringLiteral("/main-window.png")));
    }
};

FORM1_TEST_MAIN(Form1State)
#include "tst_form1_state.moc"
