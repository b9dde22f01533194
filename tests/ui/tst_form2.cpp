#include "support/gui/ScriptedDialogs.h"
#include "ui/Form2.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kDarkRed(192, 0, 0);

QColor TextColour(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}

}  // namespace

class TestForm2 : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> main_;  // a plain window stands in for the main window
    QPointer<QPushButton> mainButton_;
    ScriptedDialogs dialogs_;

    ui::Form2* Open() {
        ui::ShowAbout(main_.get(), dialogs_);
        ui::Form2* box = nullptr;
        for (auto* candidate : main_->findChildren<ui::Form2*>("Form2")) {
            if (candidate->isVisible()) box = candidate;
        }
        // The window system activates the new window a moment later.
        if (box && !QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }))
            qWarning("the dialog never became the active window");
        return box;
    }

    static QLabel* Label(QWidget* box, const char* name) { return box->findChild<QLabel*>(name); }

private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        main_ = std::make_unique<QWidget>();
        main_->resize(585, 440);
        mainButton_ = new QPushButton("About...", main_.get());
        main_->show();
        main_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    }
    void cleanup() { main_.reset(); }

    void showsTheProductOverADisabledOwner() {
        ui::Form2* box = Open();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString("About Sonbridge"));
        QVERIFY(!box->isModal());
        QVERIFY(box->isEnabled());
        QVERIFY(!main_->isEnabled());
        QCOMPARE(box->size(), QSize(364, 228));
        QVERIFY((box->geometry().center() - main_->geometry().center()).manhattanLength() <= 2);

        QCOMPARE(Label(box, "Label3")->text(), QString("Sonbridge"));
        QCOMPARE(Label(box, "Label3")->font().pointSize(), 18);
        QCOMPARE(TextColour(Label(box, "Label3")), QColor(Qt::white));
        QCOMPARE(Label(box, "Label1")->text(), QString("Copyright \u00A9 2026 Quillmoor"));
        QCOMPARE(Label(box, "Label5")->text(), QString("Technical support:"));
        QCOMPARE(Label(box, "Label7")->text(), QString("Program homepage:"));
        QCOMPARE(Label(box, "Label4")->text(), QString("support@quillmoor.example"));
        QCOMPARE(Label(box, "Label6")->text(), QString("www.quillmoor.example"));

        // The band fills the full width and the top 73 pixels; the name sits on it.
        const QImage image = box->grab().toImage();
        QCOMPARE(image.pixelColor(1, 0), QColor(64, 64, 64));
        QCOMPARE(image.pixelColor(box->width() - 1, 72), QColor(64, 64, 64));
        QVERIFY(image.pixelColor(1, 74) != QColor(64, 64, 64));

        const QByteArray folder = qgetenv("SONBRIDGE_TEST_OUTPUT");
        if (!folder.isEmpty()) QVERIFY(box->grab().save(QDir(folder).filePath("form2-about.png")));
        box->reject();
    }

    void linksShowTheWholeAddress() {
        ui::Form2* box = Open();
        for (const char* name : {"Label4", "Label6"}) {
            QLabel* link = Label(box, name);
            // The whole address is readable inside the box.
            QVERIFY(link->width() >= link->sizeHint().width());
            QVERIFY(box->rect().contains(link->geometry()));
        }
        box->reject();
    }

    void clickingALinkOpensItAfterTheColourReturns_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("url");
        QTest::newRow("mail") << "Label4"
                              << "mailto:support@quillmoor.example";
        QTest::newRow("web") << "Label6"
                             << "http://www.quillmoor.example";
    }
    void clickingALinkOpensItAfterTheColourReturns() {
        QFETCH(QString, label);
        QFETCH(QString, url);
        QPointer<ui::Form2> box = Open();
        QLabel* link = Label(box, qPrintable(label));

        QTest::mousePress(link, Qt::LeftButton);
        QCOMPARE(TextColour(link), kDarkRed);
        QVERIFY(dialogs_.openedUrls.isEmpty());
        QTest::mouseRelease(link, Qt::LeftButton);
        QCOMPARE(TextColour(link), kBlue);
        QCOMPARE(dialogs_.openedUrls.size(), 1);
        QCOMPARE(dialogs_.openedUrls.first().toString(), url);
        QCOMPARE(dialogs_.openedUrls.first().scheme(), url.section(':', 0, 0));

        // The box stays open after a link.
        QTest::qWait(10);
        QVERIFY(box);
        QVERIFY(box->isVisible());
        box->reject();
    }

    void onlyALeftClickOnTheLinkOpensIt() {
        ui::Form2* box = Open();
        QLabel* link = Label(box, "Label6");

        QTest::mousePress(link, Qt::RightButton);
        QCOMPARE(TextColour(link), kDarkRed);  // any button shows the pressed colour
        QTest::mouseRelease(link, Qt::RightButton);
        QCOMPARE(TextColour(link), kBlue);

        // Pressed on the link, released elsewhere: no click.
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-20, -20));
        QCOMPARE(TextColour(link), kBlue);
        QVERIFY(dialogs_.openedUrls.isEmpty());
        box->reject();
    }

    void everyWayOfClosingRestoresTheOwner_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << "ok";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }
    void everyWayOfClosingRestoresTheOwner() {
        QFETCH(QString, how);
        QPointer<ui::Form2> box = Open();
        auto* ok = box->findChild<QPushButton*>("Command1");
        QCOMPARE(QApplication::focusWidget(), ok);
        if (how == "ok")
            QTest::mouseClick(ok, Qt::LeftButton);
        else if (how == "enter")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else if (how == "esc")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            QVERIFY(box->close());

        QTRY_VERIFY(box.isNull());
        QVERIFY(main_->isEnabled());
        QVERIFY(mainButton_->isEnabled());
        QTRY_VERIFY(main_->isActiveWindow());
        QTRY_COMPARE(QApplication::focusWidget(), main_.get());
        QVERIFY(dialogs_.openedUrls.isEmpty());
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
