// settings.ini: the INI rules, the number rule, the first run, and loading
// and saving the keys without disturbing anything else in the file.
#include "core/IniFile.h"
#include "core/Settings.h"
#include "support/AudioFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>

using fixtures::readFile;
using fixtures::writeFile;

namespace {

// Limits the size of files this process may write, like a nearly full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// One field of the settings as text, so that one table can check any of them.
QString field(const core::Settings& s, const QString& name) {
    if (name == "sameFolderBox") return QString::number(s.sameFolderBox);
    if (name == "openFolderBox") return QString::number(s.openFolderBox);
    if (name == "destination") return s.destination;
    if (name == "bitrate") return QString::number(s.encoder.bitrate);
    if (name == "formatIndex") return QString::number(s.formatIndex);
    if (name == "stereo") return s.encoder.stereo ? "true" : "false";
    if (name == "sampleRate") return QString::number(s.encoder.sampleRate);
    if (name == "jobs") return QString::number(s.simultaneousConversions);
    if (name == "copyTags") return s.copyTags ? "true" : "false";
    return "?";
}

QString fields(const core::Settings& s) {
    QStringList all;
    for (const char* name : {"sameFolderBox", "openFolderBox", "destination", "bitrate",
                             "formatIndex", "stereo", "sampleRate", "jobs", "copyTags"})
        all << field(s, name);
    return all.join('|');
}

// Settings whose every field differs from what an empty key reads as.
core::Settings before() {
    core::Settings s;
    s.sameFolderBox = 1;
    s.openFolderBox = 1;
    s.destination = "/before";
    s.encoder = {5, 7, true};
    s.formatIndex = 2;
    s.simultaneousConversions = 3;
    s.copyTags = false;
    return s;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

private slots:
    void numberRule_data() {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qint64>("value");
        QTest::newRow("unit after digits") << "128kbps" << 32 << true << qint64(128);
        QTest::newRow("empty") << "" << 16 << true << qint64(0);
        QTest::newRow("half to even down") << "22050.5" << 32 << true << qint64(22050);
        QTest::newRow("half to even up") << "13.5" << 32 << true << qint64(14);
        QTest::newRow("leading tab") << "\t9x" << 16 << true << qint64(9);
        QTest::newRow("exponent") << "1.5e3Hz" << 32 << true << qint64(1500);
        QTest::newRow("bare exponent letter") << "4e" << 16 << true << qint64(4);
        QTest::newRow("point first") << ".6" << 16 << true << qint64(1);
        QTest::newRow("16-bit overflow") << "99999" << 16 << false << qint64(0);
        QTest::newRow("16-bit low edge") << "-32768" << 16 << true << qint64(-32768);
        QTest::newRow("16-bit below the low edge") << "-32769" << 16 << false << qint64(0);
        QTest::newRow("32-bit overflow") << "2147483648" << 32 << false << qint64(0);
        QTest::newRow("huge exponent") << "1e999" << 32 << false << qint64(0);
        QTest::newRow("tiny exponent") << "-1e-400" << 16 << true << qint64(0);
        QTest::newRow("rounds into range") << "32767.4" << 16 << true << qint64(32767);
        QTest::newRow("rounds out of range") << "32767.5" << 16 << false << qint64(0);
        // clang-format on
    }

    void numberRule() {
        QFETCH(QString, text);
        QFETCH(int, bits);
        QFETCH(bool, fits);
        QFETCH(qint64, value);
        const auto n = core::iniNumber(text, bits);
        QCOMPARE(n.has_value(), fits);
        if (fits) QCOMPARE(*n, value);
    }

    void profileRules_data() {
        // clang-format off
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("names fold case, blanks trimmed") << "MAIN" << "key" << "spaced value";
        QTest::newRow("double quotes dropped") << "Main" << "Q" << "quoted";
        QTest::newRow("unmatched quote kept") << "Main" << "half" << "\"open";
        QTest::newRow("line without '='") << "Main" << "noequals" << "";
        QTest::newRow("key of another section") << "Main" << "0" << "";
        QTest::newRow("other section") << "Other" << "0" << "other";
        QTest::newRow("first section of a name") << "main" << "dup" << "first";
        QTest::newRow("commented key") << "Main" << "commented" << "";
        // clang-format on
    }

    void profileRules() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = tmp_.filePath("rules.ini");
        QVERIFY(writeFile(path,
                          "; a comment\n[Other]\n0=other\n[ main ]\n  Key  =  spaced value  \n"
                          "q=\"quoted\"\nsingle='x'\nhalf=\"open\nnoequals\n;commented=1\n"
                          "dup=first\n[Main]\ndup=second\n"));
        QCOMPARE(core::readIniValue(section, key, path), value);
        QCOMPARE(core::readIniValue(section, key, tmp_.filePath("absent.ini")), QString());
    }

    // Only the line set changes; every other byte, line end and mark stays.
    void writeKeepsEveryOtherByte_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray crlf =
            "; kept\r\n[Other]\r\nx = 1\r\n\r\n[Main]\r\n0=0\r\nunknown=keep me\r\n"
            "\r\n[L]\r\ny=2\r\n";
        QTest::newRow("crlf: replace")
            << crlf << "main" << "0"
            << QByteArray("; kept\r\n[Other]\r\nx = 1\r\n\r\n[Main]\r\n0=V\r\nunknown=keep me\r\n"
                          "\r\n[L]\r\ny=2\r\n");
        QTest::newRow("crlf: insert after the last entry")
            << crlf << "Main" << "6"
            << QByteArray("; kept\r\n[Other]\r\nx = 1\r\n\r\n[Main]\r\n0=0\r\nunknown=keep me\r\n"
                          "6=V\r\n\r\n[L]\r\ny=2\r\n");
        QTest::newRow("crlf: new section")
            << crlf << "New" << "k" << crlf + "\r\n[New]\r\nk=V\r\n";
        QTest::newRow("marks and stray bytes")
            << QByteArray("\xEF\xBB\xBF[Main]\n\xEF\xBB\xBF" "a=1\nb=\xFF\xEF\xBB\xBF" "2\n")
            << "Main" << "3"
            << QByteArray("\xEF\xBB\xBF[Main]\n\xEF\xBB\xBF" "a=1\nb=\xFF\xEF\xBB\xBF" "2\n3=V\n");
        QTest::newRow("no final line end")
            << QByteArray("[Main]\n0=1") << "Main" << "1" << QByteArray("[Main]\n0=1\n1=V\n");
        QTest::newRow("empty file") << QByteArray() << "Main" << "2" << QByteArray("[Main]\n2=V\n");
        // clang-format on
    }

    void writeKeepsEveryOtherByte() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, expected);
        const QString path = tmp_.filePath("keep.ini");
        QVERIFY(writeFile(path, file));
        QVERIFY(core::writeIniValue(section, key, "V", path));
        QCOMPARE(readFile(path), expected);
    }

    void valuesThatWouldBreakTheFileAreRefused_data() {
        // clang-format off
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line break in value") << "Main" << "2" << "/a\n[Main]\n3=999";
        QTest::newRow("key read as a comment") << "Main" << "#2" << "x";
        QTest::newRow("key holding '='") << "Main" << "a=b" << "x";
        QTest::newRow("section holding ']'") << "Ma]in" << "2" << "x";
        QTest::newRow("empty key") << "Main" << " " << "x";
        // clang-format on
    }

    void valuesThatWouldBreakTheFileAreRefused() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = tmp_.filePath("inject.ini");
        QVERIFY(writeFile(path, "[Main]\n2=/old\n"));
        QVERIFY(!core::writeIniValue(section, key, value, path));
        QCOMPARE(readFile(path), QByteArray("[Main]\n2=/old\n"));
    }

    void longValuesComeBackWhole() {
        const QString path = tmp_.filePath("long.ini");
        const QString longFolder = "/" + QString(299, QChar(u'é'));
        QVERIFY(core::writeIniValue("Main", "2", longFolder, path));
        QCOMPARE(core::readIniValue("Main", "2", path), longFolder);
    }

    void firstRunWritesExactlyTheDefaults() {
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        core::Settings s = before();
        QVERIFY(core::createDefaultSettings(s, dir.path(), path));
        const QString output = dir.path() + "/Output";
        const int jobs = core::defaultSimultaneousConversions();
        QCOMPARE(QString::fromUtf8(readFile(path)),
                 QString("[Main]\n0=1\n1=1\n2=%1\n3=160\n4=1\n5=1\n6=44100\n7=%2\n8=1\n")
                     .arg(output)
                     .arg(jobs));
        QCOMPARE(s.destination, output);
        QCOMPARE(s.formatIndex, qint16(1));
        QVERIFY(s.encoder.stereo);
        QCOMPARE(s.simultaneousConversions, jobs);
        QVERIFY(jobs >= 1 && jobs <= core::kMaxSimultaneousConversions);

        // A later run finds the file and changes nothing.
        core::Settings later = before();
        QVERIFY(!core::createDefaultSettings(later, dir.path(), path));
        QCOMPARE(later.encoder.bitrate, 5);
        QCOMPARE(later.destination, QString("/before"));
    }

    // Each key alone in the file: the field it reads, and what it leaves.
    void loadReadsEachKeyByItsRule_data() {
        // clang-format off
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("box grey") << "0" << "2" << "sameFolderBox" << "2";
        QTest::newRow("box 7 refused") << "0" << "7" << "sameFolderBox" << "1";
        QTest::newRow("box 0") << "1" << "0" << "openFolderBox" << "0";
        QTest::newRow("destination trimmed") << "2" << " /music/out " << "destination"
                                             << "/music/out";
        QTest::newRow("bitrate with unit") << "3" << "128kbps" << "bitrate" << "128";
        QTest::newRow("bitrate too wide") << "3" << "2147483648" << "bitrate" << "5";
        QTest::newRow("format too wide") << "4" << "99999" << "formatIndex" << "2";
        QTest::newRow("stereo 1") << "5" << "1" << "stereo" << "true";
        QTest::newRow("stereo 1.4 rounds to 1") << "5" << "1.4" << "stereo" << "true";
        QTest::newRow("stereo 2 is mono") << "5" << "2" << "stereo" << "false";
        QTest::newRow("stereo too wide: kept") << "5" << "99999" << "stereo" << "true";
        QTest::newRow("rate half to even") << "6" << "22050.5" << "sampleRate" << "22050";
        QTest::newRow("jobs") << "7" << "4" << "jobs" << "4";
        QTest::newRow("jobs above 16 clamped") << "7" << "17" << "jobs" << "16";
        QTest::newRow("jobs 0 kept") << "7" << "0" << "jobs" << "3";
        QTest::newRow("jobs letters kept") << "7" << "many" << "jobs" << "3";
        QTest::newRow("jobs missing kept") << "0" << "1" << "jobs" << "3";
        QTest::newRow("tags missing: ticked") << "0" << "1" << "copyTags" << "true";
        QTest::newRow("tags grey: unticked") << "8" << "2" << "copyTags" << "false";
        QTest::newRow("tags 1") << "8" << "1" << "copyTags" << "true";
        // clang-format on
    }

    void loadReadsEachKeyByItsRule() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const QString path = tmp_.filePath("load.ini");
        QVERIFY(writeFile(path, QString("[Main]\n%1=%2\n").arg(key, text).toUtf8()));
        core::Settings s = before();
        core::loadSettings(s, path);
        QCOMPARE(::field(s, field), expected);
    }

    // Key "7" came later; every other key missing reads as empty text.
    void missingKeysReadAsEmpty() {
        const QString path = tmp_.filePath("partial.ini");
        QVERIFY(writeFile(path, "[Main]\n3=96\n"));
        core::Settings s = before();
        core::loadSettings(s, path);
        QCOMPARE(fields(s), QString("0|0||96|0|false|0|3|true"));
    }

    // Whatever stands at the path, a run never starts from zeros (a zero
    // destination once meant the root folder); the save keeps what was there.
    void unusableFileGivesFirstRunValues_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QByteArray>("kept");  // what the file holds after a save
        const QByteArray garbage("\x89PNG\r\n\x1a\n\x00\xff", 10);
        QTest::newRow("missing") << QByteArray("missing") << QByteArray();
        QTest::newRow("a folder") << QByteArray("folder") << QByteArray();
        QTest::newRow("a FIFO") << QByteArray("fifo") << QByteArray();
        QTest::newRow("binary garbage") << garbage << garbage;
        QTest::newRow("another program's file")
            << QByteArray("[Other]\n3=0\n") << QByteArray("[Other]\n3=0\n");
    }

    void unusableFileGivesFirstRunValues() {
        QFETCH(QByteArray, kind);
        QFETCH(QByteArray, kept);
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir("settings.ini"));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind != "missing")
            QVERIFY(writeFile(path, kind));
        core::Settings s = before();
        core::loadSettings(s, path);
        QCOMPARE(fields(s), QString("1|1|%1/Output|160|1|true|44100|%2|true")
                                .arg(dir.path())
                                .arg(core::defaultSimultaneousConversions()));
        core::saveSettings(s, path);
        if (kind == "folder" || kind == "fifo") {
            QVERIFY(!QFileInfo(path).isFile());  // left as it was
        } else if (!kept.isEmpty()) {
            QVERIFY(readFile(path).startsWith(kept));
            core::Settings back = before();
            core::loadSettings(back, path);
            QCOMPARE(fields(back), fields(s));
        }
    }

    void saveWritesTheKeysAndKeepsTheRest() {
        const QString path = tmp_.filePath("save.ini");
        QVERIFY(writeFile(path, "# user note\n[Main]\n4=1\nextra=yes\n[Mine]\na=b\n"));
        core::Settings s;
        s.sameFolderBox = 2;
        s.openFolderBox = 1;
        s.destination = " /dest with blanks";
        s.encoder = {96, 8000, false};
        s.formatIndex = -1;
        s.simultaneousConversions = 4;
        s.copyTags = false;
        core::saveSettings(s, path);
        QCOMPARE(readFile(path),
                 QByteArray("# user note\n[Main]\n4=-1\nextra=yes\n0=2\n1=1\n2= /dest with blanks\n"
                            "3=96\n5=0\n6=8000\n7=4\n8=0\n[Mine]\na=b\n"));
        core::Settings back = before();
        core::loadSettings(back, path);
        s.destination = "/dest with blanks";  // blanks around a value are trimmed
        QCOMPARE(fields(back), fields(s));
    }

    void failedSaveLeavesTheOldFileIntact() {
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        core::Settings s;
        QVERIFY(core::createDefaultSettings(s, dir.path(), path));
        const QByteArray old = readFile(path);
        s.destination = QString(4096, 'x');
        {
            FileSizeLimit limit(64);  // the new file's write fails midway
            core::saveSettings(s, path);
        }
        QCOMPARE(readFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"settings.ini"});
        // Nor is a folder standing at the path replaced.
        QVERIFY(QDir(dir.path()).mkdir("folder.ini"));
        core::saveSettings(s, dir.filePath("folder.ini"));
        QVERIFY(QFileInfo(dir.filePath("folder.ini")).isDir());
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
