// The source list on its own: size texts, which paths become rows, drops,
// the Open dialog's result, removing.

#include "ui/tst_form1_support.h"

#include "filelist/SourceList.h"

#include <QTreeWidget>

using namespace form1test;

class SourceListTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<QTreeWidget> view;
    std::unique_ptr<filelist::SourceList> list;

    QString file(const QString& name, qint64 size = 1500) {
        return MakeFile(dir.path(), name, size);
    }
    QStringList paths() const {
        QStringList p;
        for (int i = 0; i < list->count(); ++i) p.append(list->path(i));
        return p;
    }

private slots:
    void initTestCase() { QVERIFY(Documents().startsWith(Home().path())); }
    void init() {
        view = std::make_unique<QTreeWidget>();
        view->setColumnCount(3);
        list = std::make_unique<filelist::SourceList>(view.get(), QIcon());
    }

    void sizeText_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << qint64(1) << "1";
        QTest::newRow("999") << qint64(999) << "999";
        QTest::newRow("1000") << qint64(1000) << "0 Kb";
        QTest::newRow("1023") << qint64(1023) << "0 Kb";
        QTest::newRow("1024") << qint64(1024) << "1 Kb";
        QTest::newRow("999,999") << qint64(999999) << "976 Kb";
        QTest::newRow("1,000,000") << qint64(1000000) << "0 Mb";
        QTest::newRow("1,048,576") << qint64(1048576) << "1 Mb";
        QTest::newRow("5,000,000") << qint64(5000000) << "4 Mb";
        QTest::newRow("3 GB") << qint64(3000000000LL) << "2861 Mb";
        QTest::newRow("5 TiB") << (qint64(5) << 40) << "5242880 Mb";
    }
    void sizeText() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(filelist::SizeText(bytes), text);
    }

    void rowsCarryPathSizeAndStatusInOrder() {
        const QString a = file("a.wav", 999), b = file("b b.mp3", 1024), c = file("ü.ogg", 5000000);
        for (const QString& p : {a, b, c, a}) QVERIFY(list->AddSourceFile(p));
        QCOMPARE(paths(), (QStringList{a, b, c, a}));  // the same file twice: two rows
        QCOMPARE(list->sizeText(0), QStringLiteral("999"));
        QCOMPARE(list->sizeText(1), QStringLiteral("1 Kb"));
        QCOMPARE(list->sizeText(2), QStringLiteral("4 Mb"));
        list->setStatus(0, QStringLiteral("Converted."));
        QVERIFY(list->AddSourceFile(a));
        QCOMPARE(list->status(4), QStringLiteral("Not processed"));
        QCOMPARE(list->status(0), QStringLiteral("Converted."));
        QCOMPARE(list->path(5), QString());  // a row that does not exist
    }

    void sparseFileOverTwoGibibytes() {
        const QString big = dir.path() + QStringLiteral("/big.raw");
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(3000000000LL));  // sparse: no real disk space
        f.close();
        QVERIFY(list->AddSourceFile(big));
        QCOMPARE(list->sizeText(0), QStringLiteral("2861 Mb"));
    }

    void unreadablePathsAreNotAdded() {
        QVERIFY(!list->AddSourceFile(QString()));
        QVERIFY(!list->AddSourceFile(file("empty.wav", 0)));
        QVERIFY(!list->AddSourceFile(dir.path() + QStringLiteral("/missing.wav")));
        QVERIFY(!list->AddSourceFile(dir.path()));
        QCOMPARE(list->count(), 0);
    }

    void chosenFilesAreAddedEachInOrder() {
        const QStringList chosen{file("3.wav"), file("1.wav"), file("2.wav")};
        list->AddChosenFiles(chosen);
        QCOMPARE(paths(), chosen);
        list->AddChosenFiles({});
        QCOMPARE(list->count(), 3);

        ScriptedDialogs dialogs;
        dialogs.openAnswers.enqueue({chosen[2]});
        list->AddFromOpenDialog(dialogs, nullptr);
        QCOMPARE(list->path(3), chosen[2]);
        QCOMPARE(dialogs.openTitles[0], QStringLiteral("Select the file(s) to convert"));
        QCOMPARE(
            dialogs.openFilters[0].split(QStringLiteral(";;")),
            (QStringList{
                "All supported formats (*.mp3 *.mp2 *.mpeg *.wav *.ogg *.vox *.raw *.pcm *.cda)",
                "MPEG Files (*.mp3;*.mp2;*.mpeg) (*.mp3 *.mp2 *.mpeg)", "Wav Files (*.wav) (*.wav)",
                "OggVorbis Files (*.ogg) (*.ogg)", "VOX Files (*.vox) (*.vox)",
                "RAW Files (*.raw; *.pcm) (*.raw *.pcm)", "CD Audio (*.cda) (*.cda)"}));
    }

    void droppedData() {
        const QString text = file("notes.txt", 20);
        auto data = FileDrag({file("d1.wav"), dir.path(), text, file("d0.wav", 0)});
        data->setText(QStringLiteral("ignored"));
        list->AddDroppedFiles(data.get());
        QCOMPARE(paths(), (QStringList{dir.path() + "/d1.wav", text}));

        QMimeData onlyText;
        onlyText.setText(text);
        list->AddDroppedFiles(&onlyText);
        QMimeData remote;
        remote.setUrls({QUrl(QStringLiteral("https://www.quillmoor.example/a.mp3"))});
        list->AddDroppedFiles(&remote);
        list->AddDroppedFiles(nullptr);
        QCOMPARE(list->count(), 2);
    }

    void removing() {
        for (const char* n : {"x0.wav", "x1.wav", "x2.wav"}) list->AddSourceFile(file(n));
        QVERIFY(!list->RemoveSelected());  // nothing selected
        QCOMPARE(list->count(), 3);
        list->select(0);
        QCOMPARE(list->selectedRow(), 0);
        QVERIFY(list->RemoveSelected());
        QCOMPARE(paths(), (QStringList{dir.path() + "/x1.wav", dir.path() + "/x2.wav"}));
        list->RemoveAll();
        QCOMPARE(list->count(), 0);
        QVERIFY(!list->RemoveSelected());
        QCOMPARE(list->selectedRow(), -1);
        list->setSelectedStatus(QStringLiteral("Playing..."));  // no row: nothing happens
    }
};

FORM1_TEST_MAIN(SourceListTest)
#include "tst_sourcelist.moc"
