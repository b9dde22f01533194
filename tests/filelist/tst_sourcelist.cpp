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
        QTest::newRow("999") << qint64(999) << "999";
        QTest::newRow("1000") << qint64(1000) << "0 Kb";
        QTest::newRow("1024") << qint64(1024) << "1 Kb";
        QTest::newRow("1,000,000") << qint64(1000000) << "0 Mb";
        QTest::newRow("1,048,576") << qint64(1048576) << "1 Mb";
        QTest::newRow("5,000,000") << qint64(5000000) << "4 Mb";
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
        list->setStatus(0, QStringLiteral("Converted."));
        QVERIFY(list->AddSourceFile(a));
        QCOMPARE(list->status(4), QStringLiteral("Not processed"));
        QCOMPARE(list->status(0), QStringLiteral("Converted."));
        QCOMPARE(list->path(5), QString());  // a row that does not exist
    }

    // The size of a file past 2 GiB is read whole.
    void sparseFileOverTwoGibibytes() {
        const QString big = dir.path() + QStringLiteral("/big.raw");
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(3000000000LL));  // sparse: no real disk space
        f.close();
        QVERIFY(list->AddSourceFile(big));
        QCOMPARE(list->sizeText(0), QStringLiteral("2861 Mb"));
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
};

FORM1_TEST_MAIN(SourceListTest)
#include "tst_sourcelist.moc"
