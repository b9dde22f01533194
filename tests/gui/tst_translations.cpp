// Every text a person reads goes through tr(), every one has a finished
// German and French translation, and the window speaks the system's language.

#include "gui/Translations.h"
#include "support/AudioFixtures.h"
#include "support/gui/WindowFixture.h"

#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString kSources = QStringLiteral(SONBRIDGE_SOURCE_DIR);

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Texts that stay as they are in every language: names, formats, units.
const QStringList kUntranslated{"Quillmoor Sonbridge", "Sonbridge", "Ogg Vorbis", "Microsoft ADPCM",
                                "IMA ADPCM", "MPEG Layer-3", "GSM 6.10",
                                "Copyright \\u00A9 2026 Quillmoor",
                                // APEv2 item keys for pictures
                                "Cover Art (Front)", "Cover Art (Other)"};

}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    // lupdate finds no string the translations lack, and none is unfinished.
    void everyStringIsTranslated() {
        QTemporaryDir dir;
        for (const QString language : {"de", "fr"}) {
            const QString ts = dir.filePath("sonbridge_" + language + ".ts");
            QVERIFY(QFile::copy(kSources + "/translations/sonbridge_" + language + ".ts", ts));
            QProcess lupdate;
            lupdate.setWorkingDirectory(kSources);
            lupdate.start(SONBRIDGE_LUPDATE, {"-locations", "none", "-no-obsolete", "-I", "src",
                                              "src/core", "src/gui", "src/main.cpp", "-ts", ts});
            QVERIFY(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0);
            const QString report = QString::fromUtf8(lupdate.readAll());
            QVERIFY2(QRegularExpression("Found \\d+ source text\\(s\\) \\(0 new and")
                         .match(report)
                         .hasMatch(),
                     qPrintable(report + "new texts: run scripts/update-translations.sh and "
                                         "translate them in translations/*.ts"));
            QVERIFY2(!report.contains("warning", Qt::CaseInsensitive) && !report.contains(".cpp:"),
                     qPrintable(report));
            const QString text = readText(ts);
            QVERIFY2(
                !text.contains("type=\"unfinished\""),
                qPrintable(language + ": unfinished entries; run scripts/update-translations.sh"));
        }
    }

    // A literal that reads like prose stands in a tr() or translate() call.
    void proseGoesThroughTr() {
        const QRegularExpression comment("//[^\\n]*|/\\*.*?\\*/",
                                         QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpression literal("\"((?:[^\"\\\\\\n]|\\\\.)*)\"");
        const QRegularExpression prose("^&?[A-Z][a-z&]*[a-z]+(?:[ ,:.!?(].*)?$");
        const QRegularExpression marked("\\btr\\(|translate\\(|QT_TRANSLATE_NOOP\\(|QT_TR_NOOP\\(");
        const QRegularExpression technical(
            "#include|setObjectName|named\\(|qWarning|QDBus|Q_CLASSINFO|QRegularExpression|"
            "QStringLiteral\\(\"/");
        QStringList found;
        QDirIterator files(kSources + "/src", {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            if (path.contains("/src/cli/") || path.contains("/src/playback/")) continue;
            QString code = readText(path);
            code.replace(comment, " ");
            for (const QString& statement : code.split(QRegularExpression("[;{}]"))) {
                if (statement.contains(marked) || statement.contains(technical)) continue;
                auto it = literal.globalMatch(statement);
                while (it.hasNext()) {
                    const QString text = it.next().captured(1);
                    if (prose.match(text).hasMatch() && text.contains(' ') &&
                        !kUntranslated.contains(text))
                        found << QDir(kSources).relativeFilePath(path) + ": " + text;
                }
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable("not through tr():\n" + found.join('\n')));
    }

    // Started in German, the window's captions, menus and rows are German.
    void windowSpeaksTheSystemLanguage() {
        gui::installTranslations(*QCoreApplication::instance(), {SONBRIDGE_QM_DIR});
        fixtures::StartedWindow s;
        QVERIFY(s.start());
        QCOMPARE(s.ui().filesCaption->text(), QStringLiteral("Da&teien zum Umwandeln:"));
        QCOMPARE(s.ui().convertAction->iconText(), QStringLiteral("&Umwandlung starten"));
        const QString music = fixtures::home().filePath("Music/");
        for (const char* name :
             {"Morgenspaziergang.flac", "Interview 2024-03.wav", "Wiegenlied.ogg"}) {
            s.rows().addFiles({fixtures::touch(music + name, 812000)});
            s.ui()
                .sourceList->topLevelItem(s.rows().count() - 1)
                ->setText(gui::kPathColumn, QString("/home/robin/Musik/") + name);
        }
        QCOMPARE(s.rows().status(0), QStringLiteral("Nicht bearbeitet"));
        s.ui().sameFolderCheck->setCheckState(Qt::Unchecked);
        s.ui().destinationEdit->setText("/home/robin/Musik/Umgewandelt");
        QVERIFY(QTest::qWaitForWindowExposed(&s.window()));
        const QString folder =
            qEnvironmentVariable("SONBRIDGE_TEST_OUTPUT", QDir::tempPath()) + "/screenshots";
        QDir().mkpath(folder);
        QVERIFY(s.window().grab().save(folder + "/main-window-de.png"));
    }
};

int main(int argc, char** argv) {
    fixtures::prepareGuiEnvironment();
    // The system's language, as a desktop session sets it.
    qputenv("LANGUAGE", "de");
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication app(argc, argv);
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
