// The main window's commands: adding by dialog and by drop, removing, the
// context menu, the destination browser, help and home page.

#include "tst_form1_support.h"

#include "filelist/SourceList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace form1test;

class Form1Commands : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Started> s;
    QTemporaryDir files;

    ui::Form1& f() { return s->form(); }
    filelist::SourceList& rows() { return s->form().sourceList(); }
    QString file(const QString& name, qint64 size = 2000) {
        return MakeFile(files.path(), name, size);
    }
    QStringList paths() {
        QStringList p;
        for (int i = 0; i < rows().count(); ++i) p.append(rows().path(i));
        return p;
    }
    QPoint rowCentre(int row) {
        return f().LW1->visualItemRect(f().LW1->topLevelItem(row)).center();
    }

private slots:
    void initTestCase() { QVERIFY(Documents().startsWith(Home().path())); }
    void init() {
        dialogs = ScriptedDialogs();
        s = Start(dialogs);
        QVERIFY(s->app);
    }
    void cleanup() {
        f().mContext->hide();
        s.reset();
    }

    void everyAddCommandOpensTheDialog() {
        const QStringList chosen{file("c.wav"), file("a.mp3"), file("b.ogg")};
        dialogs.openAnswers.enqueue(chosen);
        QTest::mouseClick(f().Command1, Qt::LeftButton);
        QCOMPARE(dialogs.openTitles, QStringList{QStringLiteral("Select the file(s) to convert")});
        QVERIFY(dialogs.openFilters[0].startsWith(QStringLiteral(
            "All supported formats (*.mp3 *.mp2 *.mpeg *.wav *.ogg *.vox *.raw *.pcm *.cda);;")));
        QCOMPARE(paths(), chosen);
        QCOMPARE(rows().status(2), QStringLiteral("Not processed"));

        // Cancel adds nothing; the same file again is a second row.
        f().m_add_midi->trigger();
        f().m_add_midi_c->trigger();
        QTest::mouseClick(f().Label4, Qt::LeftButton);
        QCOMPARE(dialogs.openTitles.size(), 4);
        QCOMPARE(rows().count(), 3);
        dialogs.openAnswers.enqueue({chosen[1]});
        f().m_add_midi->trigger();
        QCOMPARE(paths(), chosen + QStringList{chosen[1]});
    }

    void filesThatCannotBeReadAreNotAdded() {
        dialogs.openAnswers.enqueue({file("empty.wav", 0), files.path() + "/gone.wav", files.path(),
                                     QString(), file("ok.wav", 999)});
        f().m_add_midi->trigger();
        QCOMPARE(rows().count(), 1);
        QCOMPARE(rows().sizeText(0), QStringLiteral("999"));
    }

    void dropsAddFilesOnEveryTarget() {
        QStringList five;
        for (const char* n : {"5.mp3", "3.wav", "4.ogg", "1.raw", "2.txt"}) five.append(file(n));
        const auto data = FileDrag(five);
        QVERIFY(DropOn(f().Label15, data.get()));
        QCOMPARE(paths(), five);

        const auto one = FileDrag({file("x.wav")});
        f().setCheck1State(0);  // show the destination panel
        ui::Form1& w = f();
        const QList<QWidget*> targets{
            w.LW1->viewport(), w.Picture3,    w.Label4,      w.Label1,
            w.Label15,         w.Combo4,      w.Command4,    w.Label2,
            w.Text2,           w.Command2[0], w.Command2[1], w.Check1,
            w.Label3,          w.Command1,    w.Command5,    w.Command6 /* disabled */,
            w.button1};
        int expected = rows().count();
        for (QWidget* t : targets) {
            w.Timer1_Timer();  // the hint sits over the list while it is empty
            if (!t->isVisible()) continue;
            QVERIFY2(DropOn(t, one.get()), qPrintable(t->metaObject()->className()));
            QCOMPARE(rows().count(), ++expected);
        }
        QCOMPARE(rows().path(rows().count() - 1), one->urls()[0].toLocalFile());

        // A conversion in progress does not refuse them either.
        f().enterBusyForConversion();
        QVERIFY(DropOn(f().Label1, one.get()));
        QCOMPARE(rows().count(), ++expected);
        QCOMPARE(rows().status(expected - 1), QStringLiteral("Not processed"));
    }

    void dropsThatAddNothing() {
        f().setCheck1State(0);
        const auto files2 = FileDrag({file("a.wav"), file("b.wav")});
        QVERIFY(!DropOn(f().Check2, files2.get()));
        QMimeData text;
        text.setText(files.path() + "/a.wav");
        QVERIFY(!DropOn(f().Label15, &text));
        QCOMPARE(rows().count(), 0);
    }

    void removeTakesOnlyTheSelectedRow() {
        for (const char* n : {"r0.wav", "r1.wav", "r2.wav"}) rows().AddSourceFile(file(n));
        rows().setStatus(2, QStringLiteral("Converted."));
        QTRY_VERIFY(f().m_remove->isEnabled());  // Timer2 has seen the rows
        f().LW1->clearSelection();
        QTest::mouseClick(f().Command2[0], Qt::LeftButton);  // no selection: nothing
        f().m_remove->trigger();
        QCOMPARE(rows().count(), 3);

        rows().select(1);
        QTest::mouseClick(f().Command2[0], Qt::LeftButton);
        QCOMPARE(rows().count(), 2);
        QCOMPARE(rows().path(1), files.path() + "/r2.wav");
        QCOMPARE(rows().status(1), QStringLiteral("Converted."));

        // Refused while a stopped run winds down.
        rows().select(0);
        f().ConversionActive = true;
        f().m_remove->trigger();
        f().m_all->trigger();
        QCOMPARE(rows().count(), 2);
        f().ConversionActive = false;

        f().m_all->trigger();
        QCOMPARE(rows().count(), 0);
        f().m_all->trigger();  // on an empty list: nothing
        f().m_remove->trigger();
        QCOMPARE(rows().count(), 0);
    }

    void contextMenuOpensOnRightReleaseBelowRightOfThePointer() {
        for (const char* n : {"m0.wav", "m1.wav", "m2.wav"}) rows().AddSourceFile(file(n));
        f().Timer2_Timer();
        QWidget* vp = f().LW1->viewport();
        const QPoint p = rowCentre(2);

        QTest::mouseClick(vp, Qt::LeftButton, {}, rowCentre(0));
        QCOMPARE(rows().selectedRow(), 0);
        QTest::mousePress(vp, Qt::RightButton, {}, p);
        QCOMPARE(rows().selectedRow(), 2);  // the press selects the row under the pointer
        QVERIFY(!f().mContext->isVisible());
        QTest::mouseRelease(vp, Qt::RightButton, {}, p);
        QTRY_VERIFY(f().mContext->isVisible());
        QCOMPARE(f().mContext->pos(), vp->mapToGlobal(p) + QPoint(1, 1));
        f().mContext->hide();

        // "Remove" there removes the row under the pointer.
        f().m_remove_c->trigger();
        QCOMPARE(rows().count(), 2);
        QCOMPARE(rows().path(1), files.path() + "/m1.wav");

        // On an empty list it opens as well.
        f().m_all->trigger();
        QTest::mouseClick(vp, Qt::RightButton, {}, QPoint(20, vp->height() - 10));
        QTRY_VERIFY(f().mContext->isVisible());
    }

    void browseReplacesTheDestinationOnlyWhenChosen() {
        f().setCheck1State(0);
        f().Text2->setText(QStringLiteral("/keep/this"));
        QTest::mouseClick(f().Command2[1], Qt::LeftButton);
        QCOMPARE(dialogs.folderRequests, 1);
        QCOMPARE(f().Text2->text(), QStringLiteral("/keep/this"));
        dialogs.folderAnswers.enqueue(files.path());
        QTest::mouseClick(f().Command2[1], Qt::LeftButton);
        QCOMPARE(f().Text2->text(), files.path());
    }

    void helpHomePageAndAbout() {
        f().m_contents->trigger();
        f().m_homepage->trigger();
        QCOMPARE(dialogs.openedUrls,
                 (QList<QUrl>{
                     QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/manual.html"),
                     QUrl(QStringLiteral("http://www.quillmoor.example/"))}));

        f().m_about->trigger();
        auto* box = f().findChild<QWidget*>(QStringLiteral("Form2"));
        QVERIFY(box && box->isVisible());
        QVERIFY(!f().isEnabled());
        box->close();
        QTRY_VERIFY(f().isEnabled());
    }

    void rowsAreAddedWhileARemovalRunsInTheYield() {
        // A command run during the add's yield may empty the list under it.
        rows().AddSourceFile(file("first.wav"));
        f().Timer2_Timer();
        QTimer::singleShot(0, &f(), [this] { f().m_all->trigger(); });
        QVERIFY(rows().AddSourceFile(file("second.wav")));
        QCOMPARE(rows().count(), 0);
        rows().AddSourceFile(file("third.wav"));
        QCOMPARE(rows().status(0), QStringLiteral("Not processed"));
    }
};

FORM1_TEST_MAIN(Form1Commands)
#include "tst_form1_commands.moc"
