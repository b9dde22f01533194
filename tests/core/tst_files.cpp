// Names and files: the path helpers, file names that are not UTF-8, where
// each output goes; settings.ini with its INI rules, the number rule, the
// first run, and loading and saving the keys without disturbing anything
// else in the file.
#include "core/IniFile.h"
#include "core/NativePath.h"
#include "core/OutputFile.h"
#include "core/OutputNaming.h"
#include "core/PathHelpers.h"
#include "core/Settings.h"
#include "support/AudioFixtures.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <tuple>

using core::OutputFormat;
using fixtures::readFile;
using fixtures::writeFile;

namespace {

// The fields of the settings in one line: boxes, destination, bitrate,
// format, stereo, rate, jobs, tags.
QString fields(const core::Settings& s) {
    return QString::asprintf("%d|%d|%s|%d|%d|%d|%d|%d|%d|%d", s.sameFolderBox, s.openFolderBox,
                             qPrintable(s.destination), s.encoder.bitrate, s.formatIndex,
                             s.encoder.sourceChannels ? 2 : int(s.encoder.stereo),
                             s.encoder.sampleRate, s.simultaneousConversions, s.copyTags,
                             s.stopAtFirstFailure);
}

// Settings whose every field differs from what an empty key reads as.
core::Settings before() {
    return {1, 1, "/before", {5, 7, true}, 2, 3, false, {}, {}, false};
}

}  // namespace

class FilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    const QString path_ = tmp_.filePath("settings.ini");

private slots:
    // Path, without extension, name, folder. Only the last dot starts an
    // extension; a name without a folder stays relative (sonbridge-cli
    // tone.wav writes tone.mp3 beside it); the root is a folder too.
    void splitting() {
        const std::tuple<QString, QString, QString, QString> rows[] = {
            {"song.mp3", "song", "song.mp3", ""},
            {"/M/archive.tar.gz", "/M/archive.tar", "archive.tar.gz", "/M/"},
            {"/song.wav", "/song", "song.wav", "/"}};
        for (const auto& [path, withoutExtension, name, folder] : rows) {
            QCOMPARE(core::withoutExtension(path), withoutExtension);
            QCOMPARE(core::nameOnly(path), name);
            QCOMPARE(core::folderOf(path), folder);
        }
    }

    // UTF-8; Latin-1; above U+10FFFF; cut short; a pair then a stray byte;
    // a byte-order mark first, and after a stray byte.
    void everyByteStringRoundTrips() {
        for (const QByteArray bytes :
             {"/m\xC3\xBCsic/\xE2\x99\xAA \xF0\x9F\x8E\xB5.ogg", "/m\xFCsic/caf\xE9.wav",
              "a\xF4\x90\x80\x80z", "a\xE2\x99", "\xF0\x90\x82\x80\xFF", "\xEF\xBB\xBF\x61.wav",
              "\xFF\xEF\xBB\xBF.wav"}) {
            const QString text = core::pathFromNative(bytes);
            QCOMPARE(core::nativePath(text), bytes);
            // Valid UTF-8 reads as plain text; anything else shows no U+FFFD.
            if (QByteArrayView(bytes).isValidUtf8()) QCOMPARE(text.toUtf8(), bytes);
            QVERIFY(!text.contains(QChar::ReplacementCharacter));
            // A file URL names the same bytes.
            if (bytes.startsWith('/'))
                QCOMPARE(QByteArray::fromPercentEncoding(
                             core::urlFromPath(text).path(QUrl::FullyEncoded).toLatin1()),
                         bytes);
        }
    }

    // Source, format (-1 none), destination (empty: beside the source),
    // entries made first, the output; relative to a fresh folder. Entries:
    // "f:name" a file, "d:name" a folder, "l:name" a broken link, "r:name"
    // reserved by a running job. Missing folders are made, blanks around
    // the name trimmed; "." and ".." are never free.
    void outputNaming() {
        const std::tuple<const char*, int, const char*, const char*, const char*> rows[] = {
            {"M/Song.flac", 1, "", "", "M/Song.mp3"},
            {"M/Song.flac", 2, "Out", "", "Out/Song.ogg"},
            {"M/Song.flac", 1, "Out/", "", "Out/Song.mp3"},
            {"M/Song.flac", 0, "a/b c/d", "", "a/b c/d/Song.wav"},
            {"M/Song.flac", -1, "", "", "M/Song."},
            {"M/ Song .wav", 1, "", "", "M/Song.mp3"},
            {"M/.flac", 1, "", "", "M/.mp3"},
            {"M/.flac", -1, "N", "", "N/ (copy)."},
            {"M/..flac", -1, "N", "", "N/. (copy)."},
            {"M/Song.flac", 1, "", "f:M/Song.mp3|f:M/Song (copy).mp3|f:M/Song (copy 2).mp3",
             "M/Song (copy 3).mp3"},
            {"M/Song.flac", 1, "", "d:M/Song.mp3", "M/Song (copy).mp3"},
            {"M/Song.flac", 1, "", "l:M/Song.mp3", "M/Song (copy).mp3"},
            {"M/Song.flac", 1, "O", "r:O/Song.mp3|f:O/Song (copy).mp3|r:O/Song (copy 2).mp3",
             "O/Song (copy 3).mp3"}};
        for (const auto& [source, format, destination, entries, expected] : rows) {
            QTemporaryDir tmp;
            const QString t = tmp.path() + "/";
            QSet<QString> reserved;
            for (const QString& e : QString(entries).split('|', Qt::SkipEmptyParts)) {
                const QString path = t + e.mid(2);
                QVERIFY(QDir().mkpath(QFileInfo(path).path()));
                if (e[0] == 'r') reserved.insert(path);
                if (e[0] == 'f') QVERIFY(fixtures::writeFile(path, "keep"));
                if (e[0] == 'd') QVERIFY(QDir().mkdir(path));
                if (e[0] == 'l') QVERIFY(QFile::link(t + "nowhere", path));
            }
            const QString output =
                core::buildOutputPath(t + source, core::outputFormatFromIndex(format),
                                      !*destination, t + destination, reserved);
            QCOMPARE(output, t + expected);
            // The folder is made, never the file.
            QVERIFY(QFileInfo(core::folderOf(output)).isDir() && !core::entryExists(output));
        }
    }

    // A finished output meets names taken while it was written: it takes the
    // next free one and replaces nothing.
    void finishedOutputNeverReplaces() {
        for (const QStringList& taken :
             {QStringList{"Song.mp3"}, {"Song.mp3", "Song (copy).mp3"}}) {
            QTemporaryDir tmp;
            auto temporary = core::TemporaryOutput::create(tmp.filePath("Song.mp3"));
            QVERIFY2(temporary, qPrintable(temporary.reason()));
            const QString hidden = temporary->path();
            QVERIFY(::write(temporary->descriptor(), "new", 3) == 3);
            for (const QString& name : taken) QVERIFY(writeFile(tmp.filePath(name), name.toUtf8()));
            const core::Result<QString> result = temporary->commit(tmp.filePath("Song.mp3"));
            QVERIFY2(result.ok(), qPrintable(result.reason()));
            QCOMPARE(*result,
                     tmp.filePath(taken.size() == 1 ? "Song (copy).mp3" : "Song (copy 2).mp3"));
            QCOMPARE(readFile(*result), QByteArray("new"));
            for (const QString& name : taken) QCOMPARE(readFile(tmp.filePath(name)), name.toUtf8());
            QVERIFY(!QFileInfo::exists(hidden));
        }
    }

    // A name at the file system's limit of 255 bytes (two a character here):
    // its copy and its temporary name are cut to fit, by bytes; the
    // temporary name is hidden, random and never one that exists.
    void longestNameFits() {
        QTemporaryDir tmp;
        const QString name(125, QChar(0xE9));
        QVERIFY(writeFile(tmp.filePath(name + ".ogg"), "x"));
        QCOMPARE(core::buildOutputPath(tmp.filePath(name + ".wav"), OutputFormat::Ogg, true, {}),
                 tmp.filePath(name.left(122) + " (copy).ogg"));
        QSet<QString> names;
        for (int i = 0; i < 50; ++i) {
            auto temporary = core::TemporaryOutput::create(tmp.filePath(name + ".ogg"));
            QVERIFY2(temporary, qPrintable(temporary.reason()));
            QVERIFY(
                QRegularExpression("^\\." + name.left(116) + "\\.sonbridge-[A-Za-z0-9]{6}\\.part$")
                    .match(core::nameOnly(temporary->path()))
                    .hasMatch());
            names << temporary->path();
        }
        QCOMPARE(names.size(), 50);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // Text, bits, value (-1: does not fit): a unit after the digits, half to
    // even, a leading tab, an exponent (either case, only with digits), the edges of the
    // widths, a number too large or too small for a double (zero).
    void numberRule() {
        const std::tuple<const char*, int, qint64> rows[] = {
            {"128kbps", 32, 128},   {"", 16, 0},
            {"22050.5", 32, 22050}, {"\t9x", 16, 9},
            {"1.5e3Hz", 32, 1500},  {"4e", 16, 4},
            {".6", 16, 1},          {"-32768", 16, -32768},
            {"-32769", 16, -1},     {"2147483648", 32, -1},
            {"1e999", 32, -1},      {"-1e-400", 16, 0},
            {"32767.4", 16, 32767}, {"32767.5", 16, -1},
            {"2E2x", 16, 200},      {"3x4", 16, 3}};
        for (const auto& [text, bits, value] : rows)
            QVERIFY2(core::iniNumber(text, bits).value_or(-1) == value, text);
    }

    // Names fold case and lose their blanks, one pair of quotes goes, a line
    // without '=' is no key, a key is looked up in its own section, the first
    // section of a name counts, a comment holds no key.
    void profileRules() {
        QVERIFY(writeFile(path_,
                          "; a comment\n[Other]\n0=other\n[ main ]\n  Key  =  spaced value  \n"
                          "q=\"quoted\"\nsingle='x'\nhalf=\"open\nnoequals\n;commented=1\n"
                          "dup=first\n[Main]\ndup=second\n"));
        const std::tuple<const char*, const char*, const char*> rows[] = {
            {"MAIN", "key", "spaced value"}, {"Main", "Q", "quoted"},  {"Main", "single", "x"},
            {"Main", "half", "\"open"},      {"Main", "noequals", ""}, {"Main", "0", ""},
            {"Other", "0", "other"},         {"main", "dup", "first"}, {"Main", "commented", ""}};
        for (const auto& [section, key, value] : rows) {
            QCOMPARE(core::readIniValue(section, key, path_), QString(value));
            QCOMPARE(core::readIniValue(section, key, tmp_.filePath("absent.ini")), QString());
        }
    }

    // Only the line set changes; every other byte, line end and mark stays.
    void writeKeepsEveryOtherByte() {
        const QByteArray a =
            "; kept\r\n[Other]\r\nx = 1\r\n\r\n[Main]\r\n0=0\r\nunknown=keep me\r\n";
        const QByteArray b = "\r\n[L]\r\ny=2\r\n";
        const QByteArray bom = "\xEF\xBB\xBF", marks = bom + "[Main]\n" + bom + "a=1\nb=\xFF" + bom;
        const std::tuple<QByteArray, const char*, const char*, QByteArray> rows[] = {
            {a + b, "main", "0", QByteArray(a).replace("0=0", "0=V") + b},
            {a + b, "Main", "6", a + "6=V\r\n" + b},
            {a + b, "New", "k", a + b + "\r\n[New]\r\nk=V\r\n"},
            {marks + "2\n", "Main", "3", marks + "2\n3=V\n"},
            {"[Main]\n0=1", "Main", "1", "[Main]\n0=1\n1=V\n"},
            {"", "Main", "2", "[Main]\n2=V\n"}};
        for (const auto& [file, section, key, expected] : rows) {
            QVERIFY(writeFile(path_, file));
            QVERIFY(core::writeIniValue(section, key, "V", path_));
            QCOMPARE(readFile(path_), expected);
        }
    }

    // A value with a line break (a destination pasted with one) would add
    // keys of its own. Keys and sections are the program's constants; the
    // INI fuzz target checks that no key or section breaks the file.
    void valueWithALineBreakIsRefused() {
        QVERIFY(writeFile(path_, "[Main]\n2=/old\n"));
        QVERIFY(!core::writeIniValue("Main", "2", "/a\n[Main]\n3=999", path_));
        QCOMPARE(readFile(path_), QByteArray("[Main]\n2=/old\n"));
    }

    void firstRunWritesExactlyTheDefaults() {
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        core::Settings s = before();
        QVERIFY(core::createDefaultSettings(s, dir.path(), path));
        QCOMPARE(
            QString::fromUtf8(readFile(path)),
            QString("[Main]\n0=1\n1=1\n2=%1/Output\n3=160\n4=1\n5=1\n6=44100\n7=%2\n8=1\n11=1\n")
                .arg(dir.path())
                .arg(core::defaultSimultaneousConversions()));
        QVERIFY(!core::createDefaultSettings(s, dir.path(), path));  // a later run finds it
    }

    // Each key alone in the file, over before(): what the settings then
    // hold. The keys missing read as empty text, but for the later "7" and
    // "8" and "11". A box takes 0, 1 or 2; a number too wide keeps the field; "5=2"
    // is the source's channels, "5=3" mono; jobs are clamped to 16, and 0 keeps them.
    void loadReadsEachKeyByItsRule() {
        const std::pair<const char*, const char*> rows[] = {
            {"0=2", "2|0||0|0|0|0|3|1|1"},
            {"0=7", "1|0||0|0|0|0|3|1|1"},
            {"1=0", "0|0||0|0|0|0|3|1|1"},
            {"2= /music/out ", "0|0|/music/out|0|0|0|0|3|1|1"},
            {"3=128kbps", "0|0||128|0|0|0|3|1|1"},
            {"3=2147483648", "0|0||5|0|0|0|3|1|1"},
            {"4=99999", "0|0||0|2|0|0|3|1|1"},
            {"5=1", "0|0||0|0|1|0|3|1|1"},
            {"5=2", "0|0||0|0|2|0|3|1|1"},
            {"5=3", "0|0||0|0|0|0|3|1|1"},
            {"6=22050.5", "0|0||0|0|0|22050|3|1|1"},
            {"7=4", "0|0||0|0|0|0|4|1|1"},
            {"7=17", "0|0||0|0|0|0|16|1|1"},
            {"7=0", "0|0||0|0|0|0|3|1|1"},
            {"8=2", "0|0||0|0|0|0|3|0|1"},
            {"11=0", "0|0||0|0|0|0|3|1|0"},
            {"11=2", "0|0||0|0|0|0|3|1|0"}};
        for (const auto& [line, expected] : rows) {
            QVERIFY(writeFile(path_, QByteArray("[Main]\n") + line + "\n"));
            core::Settings s = before();
            core::loadSettings(s, path_);
            QVERIFY2(fields(s) == expected, qPrintable(line + (" read as " + fields(s))));
        }
    }

    // Whatever stands at the path, a run never starts from zeros (a zero
    // destination once meant the root folder); the save keeps what was there
    // and leaves a folder or a FIFO alone.
    void unusableFileGivesFirstRunValues() {
        const QByteArray garbage("\x89PNG\r\n\x1a\n\x00\xff", 10);
        for (const QByteArray& kind : {QByteArray("missing"), QByteArray("folder"),
                                       QByteArray("fifo"), garbage, QByteArray("[Other]\n3=0\n")}) {
            QTemporaryDir dir;
            const QString path = dir.filePath("settings.ini");
            const bool file = kind != "folder" && kind != "fifo" && kind != "missing";
            if (kind == "folder") QVERIFY(QDir().mkdir(path));
            if (kind == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            if (file) QVERIFY(writeFile(path, kind));
            core::Settings s = before();
            core::loadSettings(s, path);
            QCOMPARE(fields(s), QString("1|1|%1/Output|160|1|1|44100|%2|1|1")
                                    .arg(dir.path())
                                    .arg(core::defaultSimultaneousConversions()));
            core::saveSettings(s, path);
            QCOMPARE(QFileInfo(path).isFile(), kind != "folder" && kind != "fifo");
            if (file) {
                QVERIFY(readFile(path).startsWith(kind));
                core::Settings back = before();
                core::loadSettings(back, path);
                QCOMPARE(fields(back), fields(s));
            }
        }
    }

    // Every key written, the rest kept; read back the same.
    void saveWritesTheKeysAndKeepsTheRest() {
        QVERIFY(writeFile(path_, "# user note\n[Main]\n4=1\nextra=yes\n[Mine]\na=b\n"));
        core::Settings s{2, 1, " /dest with blanks", {96, 8000, false}, -1, 4, false, {}, {}};
        core::saveSettings(s, path_);
        QCOMPARE(readFile(path_),
                 QByteArray("# user note\n[Main]\n4=-1\nextra=yes\n0=2\n1=1\n2= /dest with blanks\n"
                            "3=96\n5=0\n6=8000\n7=4\n8=0\n11=1\n[Mine]\na=b\n"));
        core::Settings back = before();
        core::loadSettings(back, path_);
        s.destination = "/dest with blanks";  // blanks around a value are trimmed
        QCOMPARE(fields(back), fields(s));
    }

    // The new file's write fails midway, as on a full disk.
    void failedSaveLeavesTheOldFileIntact() {
        QTemporaryDir dir;
        const QString path = dir.filePath("settings.ini");
        core::Settings s;
        QVERIFY(core::createDefaultSettings(s, dir.path(), path));
        const QByteArray old = readFile(path);
        s.destination = QString(4096, 'x');
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{64, saved.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        core::saveSettings(s, path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(readFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"settings.ini"});
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "tst_files.moc"
