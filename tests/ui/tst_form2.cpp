#include "support/gui/ScriptedDialogs.h"
#include "ui/Form2.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

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
        QVERIFY(!box->isModal());
        QVERIFY(box->isEnabled());
        QVERIFY(!main_->isEnabled());
        for (const char* name : {"Label4", "Label6"}) {
            // The whole address is readable inside the box.
            auto* link = box->findChild<QLabel*>(name);
            QVERIFY(link->width() >= link->sizeHint().width());
            QVERIFY(box->rect().contains(link->geometry()));
        }
        const QByteArray folder = qgetenv("SONBRIDGE_TEST_OUTPUT");
        if (!folder.isEmpty()) QVERIFY(box->grab().save(QDir(folder).filePath("form2-about.png")));
        box->reject();
    }

    void clickingALinkOpensItAndKeepsTheBox() {
        const QList<std::pair<const char*, QString>> links{
            {"Label4", "mailto:support@quillmoor.example"},
            {"Label6", "http://www.quillmoor.example"}};
        for (const auto& [label, url] : links) {
            dialogs_.openedUrls.clear();
            QPointer<ui::Form2> box = Open();
            auto* link = box->findChild<QLabel*>(label);
            QTest::mousePress(link, Qt::LeftButton);
            QVERIFY(dialogs_.openedUrls.isEmpty());
            QTest::mouseRelease(link, Qt::LeftButton);
            QCOMPARE(dialogs_.openedUrls, QList<QUrl>{QUrl(url)});
            QTest::qWait(10);
            QVERIFY(box && box->isVisible());
            box->reject();
        }
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
