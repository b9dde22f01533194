<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MainWindowUi</name>
    <message>
        <source>By default, the program places the output audio file in the same directory with the source file. If you need to move audio file to other directory, uncheck the &quot;Save to the same folder&quot; and click the &quot;Browse&quot; button.</source>
        <translation>Standardmäßig legt das Programm die umgewandelte Datei im Ordner der Quelldatei ab. Soll sie in einen anderen Ordner, entfernen Sie das Häkchen bei „Im selben Ordner speichern“ und klicken Sie auf „Durchsuchen“.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Add file(s)...</source>
        <translation>Datei(en) &amp;hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Add file(s)</source>
        <translation>Hin&amp;zufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Remove a&amp;ll</source>
        <translation>&amp;Alle entfernen</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>Ab&amp;spielen</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>S&amp;toppen</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>St&amp;opp</translation>
    </message>
    <message>
        <source>&amp;Convert!</source>
        <translation>&amp;Umwandeln!</translation>
    </message>
    <message>
        <source>Start &amp;Conversion</source>
        <translation>&amp;Umwandlung starten</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Internet homepage</source>
        <translation>&amp;Webseite</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>&amp;Add file...</source>
        <translation>Datei &amp;hinzufügen...</translation>
    </message>
    <message>
        <source>F&amp;iles to convert:</source>
        <translation>Da&amp;teien zum Umwandeln:</translation>
    </message>
    <message>
        <source>Files to convert</source>
        <translation>Dateien zum Umwandeln</translation>
    </message>
    <message>
        <source>Source audio file</source>
        <translation>Quelldatei</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Click here to add source file</source>
        <translation>Hier klicken, um Quelldateien hinzuzufügen</translation>
    </message>
    <message>
        <source>Output for&amp;mat:</source>
        <translation>Ziel&amp;format:</translation>
    </message>
    <message>
        <source>Output format</source>
        <translation>Zielformat</translation>
    </message>
    <message>
        <source>Setti&amp;ngs...</source>
        <translation>Einstellu&amp;ngen...</translation>
    </message>
    <message>
        <source>Encoder settings</source>
        <translation>Encoder-Einstellungen</translation>
    </message>
    <message>
        <source>Save to the &amp;same folder</source>
        <translation>Im selben Ordner s&amp;peichern</translation>
    </message>
    <message>
        <source>Destination f&amp;older:</source>
        <translation>Zielo&amp;rdner:</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>Dur&amp;chsuchen...</translation>
    </message>
    <message>
        <source>Browse for the destination folder</source>
        <translation>Zielordner suchen</translation>
    </message>
    <message>
        <source>Open target &amp;directory after conversion</source>
        <translation>Zielordner nach der Umwandlung &amp;öffnen</translation>
    </message>
    <message>
        <source>Stop at the &amp;first failure</source>
        <translation>Beim ersten Fehler &amp;anhalten</translation>
    </message>
    <message>
        <source>Add &amp;folder...</source>
        <translation>&amp;Ordner hinzufügen...</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Select the file(s) to convert</source>
        <translation>Dateien zum Umwandeln auswählen</translation>
    </message>
    <message>
        <source>MPEG Files (*.mp3;*.mp2;*.mpeg)</source>
        <translation>MPEG-Dateien (*.mp3;*.mp2;*.mpeg)</translation>
    </message>
    <message>
        <source>Wav Files (*.wav)</source>
        <translation>WAV-Dateien (*.wav)</translation>
    </message>
    <message>
        <source>OggVorbis Files (*.ogg)</source>
        <translation>Ogg-Vorbis-Dateien (*.ogg)</translation>
    </message>
    <message>
        <source>VOX Files (*.vox)</source>
        <translation>VOX-Dateien (*.vox)</translation>
    </message>
    <message>
        <source>RAW Files (*.raw; *.pcm)</source>
        <translation>RAW-Dateien (*.raw; *.pcm)</translation>
    </message>
    <message>
        <source>FLAC Files (*.flac)</source>
        <translation>FLAC-Dateien (*.flac)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>All supported formats (%1)</source>
        <translation>Alle unterstützten Formate (%1)</translation>
    </message>
    <message>
        <source>Converted to %1</source>
        <translation>Umgewandelt in %1</translation>
    </message>
    <message>
        <source>Not processed</source>
        <translation>Nicht bearbeitet</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Byte</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>Tags not written: the WAV is over 4 GiB</source>
        <translation>Tags nicht geschrieben: die WAV-Datei ist größer als 4 GiB</translation>
    </message>
    <message>
        <source>The encoder %1 can&apos;t be started: %2</source>
        <translation>Der Encoder %1 lässt sich nicht starten: %2</translation>
    </message>
    <message>
        <source>The encoder %1 was not found</source>
        <translation>Der Encoder %1 wurde nicht gefunden</translation>
    </message>
    <message>
        <source>The encoder was not started</source>
        <translation>Der Encoder wurde nicht gestartet</translation>
    </message>
    <message>
        <source>The encoder %1 stopped reading its input</source>
        <translation>Der Encoder %1 nimmt keine Daten mehr an</translation>
    </message>
    <message>
        <source>The encoder %1 reported: %2</source>
        <translation>Der Encoder %1 meldet: %2</translation>
    </message>
    <message>
        <source>The encoder %1 was ended by signal %2</source>
        <translation>Der Encoder %1 wurde durch Signal %2 beendet</translation>
    </message>
    <message>
        <source>The encoder %1 exited with status %2</source>
        <translation>Der Encoder %1 endete mit Status %2</translation>
    </message>
    <message>
        <source>No output format is selected</source>
        <translation>Kein Zielformat gewählt</translation>
    </message>
    <message>
        <source>No wave format was chosen</source>
        <translation>Kein WAV-Format gewählt</translation>
    </message>
    <message>
        <source>Choose a destination folder</source>
        <translation>Wählen Sie einen Zielordner</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Kein Platz mehr auf dem Datenträger</translation>
    </message>
    <message>
        <source>The file holds no audio</source>
        <translation>Die Datei enthält keinen Ton</translation>
    </message>
    <message>
        <source>A CD audio track file only points to a track on a disc; copy the track first</source>
        <translation>Eine CD-Audio-Spurdatei verweist nur auf eine Spur der CD; kopieren Sie zuerst die Spur</translation>
    </message>
    <message>
        <source>The file does not exist</source>
        <translation>Die Datei existiert nicht</translation>
    </message>
    <message>
        <source>This kind of audio can&apos;t be decoded</source>
        <translation>Diese Art von Audio lässt sich nicht dekodieren</translation>
    </message>
    <message>
        <source>The audio format of this file is unknown</source>
        <translation>Das Audioformat dieser Datei ist unbekannt</translation>
    </message>
    <message>
        <source>stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Encoded as %1: %2 can&apos;t take %3</source>
        <translation>Umgewandelt als %1: %2 nimmt %3 nicht an</translation>
    </message>
    <message>
        <source>Encoded at %1 kbps: %2 can&apos;t reach %3 kbps at %4 Hz %5</source>
        <translation>Mit %1 kbit/s umgewandelt: %2 erreicht bei %4 Hz %5 keine %3 kbit/s</translation>
    </message>
    <message>
        <source>The encoder can&apos;t take this audio format</source>
        <translation>Der Encoder nimmt dieses Audioformat nicht an</translation>
    </message>
    <message>
        <source>The encoder stopped reading its input</source>
        <translation>Der Encoder nimmt keine Daten mehr an</translation>
    </message>
    <message>
        <source>Not enough memory</source>
        <translation>Nicht genug Arbeitsspeicher</translation>
    </message>
    <message>
        <source>The disk is full</source>
        <translation>Der Datenträger ist voll</translation>
    </message>
    <message>
        <source>The disk quota is used up</source>
        <translation>Das Speicherkontingent ist erschöpft</translation>
    </message>
    <message>
        <source>The file can&apos;t be read: permission denied</source>
        <translation>Die Datei kann nicht gelesen werden: keine Berechtigung</translation>
    </message>
    <message>
        <source>The output can&apos;t be written: permission denied</source>
        <translation>Die Ausgabe kann nicht geschrieben werden: keine Berechtigung</translation>
    </message>
    <message>
        <source>The disk reported an error</source>
        <translation>Der Datenträger meldet einen Fehler</translation>
    </message>
    <message>
        <source>The file holds no audio stream</source>
        <translation>Die Datei enthält keine Tonspur</translation>
    </message>
    <message>
        <source>This output format can&apos;t be encoded here</source>
        <translation>Dieses Zielformat kann hier nicht erzeugt werden</translation>
    </message>
    <message>
        <source>The audio can&apos;t be converted to the output&apos;s rate and channels</source>
        <translation>Der Ton lässt sich nicht in Abtastrate und Kanäle der Ausgabe umwandeln</translation>
    </message>
    <message>
        <source>The audio can&apos;t be encoded</source>
        <translation>Der Ton lässt sich nicht kodieren</translation>
    </message>
    <message>
        <source>The output can&apos;t be written</source>
        <translation>Die Ausgabe kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Not an audio file, or the file is damaged</source>
        <translation>Keine Audiodatei, oder die Datei ist beschädigt</translation>
    </message>
    <message>
        <source>The written file can&apos;t be read back</source>
        <translation>Die geschriebene Datei lässt sich nicht wieder lesen</translation>
    </message>
    <message>
        <source>The written file is damaged</source>
        <translation>Die geschriebene Datei ist beschädigt</translation>
    </message>
    <message>
        <source>The written file&apos;s header says %1 bytes, it holds %2</source>
        <translation>Laut Kopf der geschriebenen Datei sind es %1 Byte, sie enthält %2</translation>
    </message>
    <message>
        <source>The written file&apos;s %1 chunk is cut short</source>
        <translation>Der Abschnitt %1 der geschriebenen Datei ist abgeschnitten</translation>
    </message>
    <message>
        <source>The written file holds no audio</source>
        <translation>Die geschriebene Datei enthält keinen Ton</translation>
    </message>
    <message>
        <source>The written file is %1, not %2</source>
        <translation>Die geschriebene Datei ist %1, nicht %2</translation>
    </message>
    <message>
        <source>The written file has %1 Hz, not %2 Hz</source>
        <translation>Die geschriebene Datei hat %1 Hz, nicht %2 Hz</translation>
    </message>
    <message>
        <source>The written file has %1 channels, not %2</source>
        <translation>Die geschriebene Datei hat %1 Kanäle, nicht %2</translation>
    </message>
    <message>
        <source>The written file&apos;s length can&apos;t be read</source>
        <translation>Die Dauer der geschriebenen Datei lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>The written file lasts %1 s, the source %2 s</source>
        <translation>Die geschriebene Datei dauert %1 s, die Quelle %2 s</translation>
    </message>
    <message>
        <source>The output can&apos;t be created in %1: %2</source>
        <translation>Die Ausgabe kann in %1 nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The output can&apos;t be written: %1</source>
        <translation>Die Ausgabe kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The output can&apos;t be named %1: %2</source>
        <translation>Die Ausgabe kann nicht %1 heißen: %2</translation>
    </message>
    <message>
        <source>Processing... %1% completed</source>
        <translation>Bearbeitung... %1% erledigt</translation>
    </message>
    <message>
        <source>Tags not copied: the source&apos;s tags could not be read</source>
        <translation>Tags nicht übernommen: die Tags der Quelle ließen sich nicht lesen</translation>
    </message>
    <message>
        <source>Cover art left out: it is larger than 16 MB</source>
        <translation>Cover weggelassen: es ist größer als 16 MB</translation>
    </message>
    <message>
        <source>The written file was damaged by its tags</source>
        <translation>Die geschriebene Datei wurde durch ihre Tags beschädigt</translation>
    </message>
    <message>
        <source>Tags not written: TagLib could not save them to the output</source>
        <translation>Tags nicht geschrieben: TagLib konnte sie nicht in der Ausgabe speichern</translation>
    </message>
    <message>
        <source>%1 file converted in %2</source>
        <translation>%1 Datei in %2 umgewandelt</translation>
    </message>
    <message>
        <source>%1 files converted in %2</source>
        <translation>%1 Dateien in %2 umgewandelt</translation>
    </message>
    <message>
        <source>%1 converted, %2 failed in %3</source>
        <translation>%1 umgewandelt, %2 fehlgeschlagen in %3</translation>
    </message>
    <message>
        <source>The wave format block is too short</source>
        <translation>Der WAV-Formatblock ist zu kurz</translation>
    </message>
    <message>
        <source>The wave format block is truncated</source>
        <translation>Der WAV-Formatblock ist abgeschnitten</translation>
    </message>
    <message>
        <source>WAV output takes 1 or 2 channels, not %1</source>
        <translation>WAV-Ausgabe nimmt 1 oder 2 Kanäle, nicht %1</translation>
    </message>
    <message>
        <source>The sample rate %1 Hz is not supported</source>
        <translation>Die Abtastrate %1 Hz wird nicht unterstützt</translation>
    </message>
    <message>
        <source>The wave format block is malformed</source>
        <translation>Der WAV-Formatblock ist fehlerhaft</translation>
    </message>
    <message>
        <source>GSM 6.10 is written at 8000 Hz mono only</source>
        <translation>GSM 6.10 wird nur mit 8000 Hz mono geschrieben</translation>
    </message>
    <message>
        <source>This sample rate is not supported for MP3 in WAV</source>
        <translation>Diese Abtastrate wird für MP3 in WAV nicht unterstützt</translation>
    </message>
    <message>
        <source>This bitrate is not supported for MP3 in WAV</source>
        <translation>Diese Bitrate wird für MP3 in WAV nicht unterstützt</translation>
    </message>
    <message>
        <source>The wave format tag 0x%1 is not supported</source>
        <translation>Das WAV-Formatkennzeichen 0x%1 wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Removed 1 unfinished file left by an earlier run</source>
        <translation>1 unfertige Datei eines früheren Laufs entfernt</translation>
    </message>
    <message>
        <source>Removed %1 unfinished files left by an earlier run</source>
        <translation>%1 unfertige Dateien eines früheren Laufs entfernt</translation>
    </message>
    <message>
        <source>%1 channels can&apos;t be mixed to %2</source>
        <translation>%1 Kanäle lassen sich nicht auf %2 mischen</translation>
    </message>
    <message>
        <source>Unknown artist</source>
        <translation>Unbekannter Interpret</translation>
    </message>
    <message>
        <source>Unknown album</source>
        <translation>Unbekanntes Album</translation>
    </message>
    <message>
        <source>Unknown title</source>
        <translation>Unbekannter Titel</translation>
    </message>
    <message>
        <source>Unknown year</source>
        <translation>Unbekanntes Jahr</translation>
    </message>
    <message>
        <source>Unknown genre</source>
        <translation>Unbekanntes Genre</translation>
    </message>
    <message>
        <source>The source ended early: %1 s of %2 s decoded</source>
        <translation>Die Quelle endete vorzeitig: %1 s von %2 s dekodiert</translation>
    </message>
    <message>
        <source>ReplayGain tags not written: the audio could not be measured</source>
        <translation>ReplayGain-Tags nicht geschrieben: Der Ton konnte nicht gemessen werden</translation>
    </message>
    <message>
        <source>ReplayGain tags not written: TagLib could not save them to the output</source>
        <translation>ReplayGain-Tags nicht geschrieben: TagLib konnte sie nicht in die Ausgabe speichern</translation>
    </message>
    <message>
        <source>Loudness can&apos;t be measured</source>
        <translation>Die Lautheit kann nicht gemessen werden</translation>
    </message>
    <message>
        <source>ReplayGain tags not written: the output is silent</source>
        <translation>ReplayGain-Tags nicht geschrieben: Die Ausgabe ist still</translation>
    </message>
    <message>
        <source>Constant bitrate</source>
        <translation>Konstante Bitrate</translation>
    </message>
    <message>
        <source>Variable bitrate</source>
        <translation>Variable Bitrate</translation>
    </message>
    <message>
        <source>Average bitrate</source>
        <translation>Durchschnittliche Bitrate</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message>
        <source>Compression level</source>
        <translation>Kompressionsstufe</translation>
    </message>
    <message>
        <source>The output is not lossless: %1</source>
        <translation>Die Ausgabe ist nicht verlustfrei: %1</translation>
    </message>
    <message>
        <source>it decodes to %1 channels, %2 were encoded</source>
        <translation>sie ergibt %1 Kanäle, %2 wurden codiert</translation>
    </message>
    <message>
        <source>it decodes to %1 samples per channel, %2 were encoded</source>
        <translation>sie ergibt %1 Samples je Kanal, %2 wurden codiert</translation>
    </message>
    <message>
        <source>its samples differ from %1 s on</source>
        <translation>ihre Samples weichen ab %1 s ab</translation>
    </message>
    <message>
        <source>it holds no audio</source>
        <translation>sie enthält kein Audio</translation>
    </message>
</context>
<context>
    <name>gui::AboutDialog</name>
    <message>
        <source>Uses Qt (LGPL 3), FFmpeg (LGPL 2.1 or later; GPL 2 or later in some builds), SDL2 (zlib licence), LAME (LGPL 2) and Vorbis (libvorbis: BSD; oggenc: GPL 2).</source>
        <translation>Verwendet Qt (LGPL 3), FFmpeg (LGPL 2.1 oder neuer; in manchen Builds GPL 2 oder neuer), SDL2 (zlib-Lizenz), LAME (LGPL 2) und Vorbis (libvorbis: BSD; oggenc: GPL 2).</translation>
    </message>
    <message>
        <source>About Sonbridge</source>
        <translation>Über Sonbridge</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Technical support:</source>
        <translation>Technischer Support:</translation>
    </message>
    <message>
        <source>Program homepage:</source>
        <translation>Webseite des Programms:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>gui::BatchStatusBar</name>
    <message>
        <source>Converted so far</source>
        <translation>Bisher umgewandelt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>%1 of %2 file</source>
        <translation>%1 von %2 Datei</translation>
    </message>
    <message>
        <source>%1 of %2 files</source>
        <translation>%1 von %2 Dateien</translation>
    </message>
    <message>
        <source>, %1 left</source>
        <translation>, noch %1</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>gui::CommandLine</name>
    <message>
        <source>Usage: %1 [FILE|FOLDER]...
Opens the Sonbridge window with the files listed; a folder lists the audio files below it.

  -h, --help     show this help and exit
  -V, --version  show the version and exit

sonbridge-cli converts from a terminal.</source>
        <translation>Aufruf: %1 [DATEI|ORDNER]...
Öffnet das Sonbridge-Fenster mit den genannten Dateien; ein Ordner bringt die Audiodateien darin mit.

  -h, --help     diese Hilfe zeigen und beenden
  -V, --version  die Version zeigen und beenden

sonbridge-cli wandelt im Terminal um.</translation>
    </message>
</context>
<context>
    <name>gui::EncoderSettingsDialog</name>
    <message>
        <source>Encoder settings</source>
        <translation>Encoder-Einstellungen</translation>
    </message>
    <message>
        <source>Simultaneous co&amp;nversions</source>
        <translation>Gleichzeitige &amp;Umwandlungen</translation>
    </message>
    <message>
        <source>Simultaneous conversions</source>
        <translation>Gleichzeitige Umwandlungen</translation>
    </message>
    <message>
        <source>Copy &amp;tags and cover art</source>
        <translation>&amp;Tags und Cover übernehmen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>gui::FormatChoicesBox</name>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Mo&amp;de:</source>
        <translation>Mo&amp;dus:</translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>Abtastrate</translation>
    </message>
    <message>
        <source>Same as source</source>
        <translation>Wie die Quelle</translation>
    </message>
    <message>
        <source>Samples &amp;rate, Hz:</source>
        <translation>Abtast&amp;rate, Hz:</translation>
    </message>
    <message>
        <source>&amp;Mono</source>
        <translation>&amp;Mono</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <translation>&amp;Stereo</translation>
    </message>
    <message>
        <source>Same &amp;as source</source>
        <translation>Wie die Q&amp;uelle</translation>
    </message>
    <message>
        <source>&amp;Bitrate, kbps:</source>
        <translation>&amp;Bitrate, kbit/s:</translation>
    </message>
    <message>
        <source>&amp;Quality:</source>
        <translation>&amp;Qualität:</translation>
    </message>
    <message>
        <source>Com&amp;pression level:</source>
        <translation>Kom&amp;pressionsstufe:</translation>
    </message>
    <message>
        <source>The wave format (codec, rate and channels) is chosen when the conversion starts.</source>
        <translation>Das Wave-Format (Codec, Rate und Kanäle) wird beim Start der Umwandlung gewählt.</translation>
    </message>
    <message>
        <source>Adjusted: %1 to %2 kbps</source>
        <translation>Angepasst: %1 auf %2 kbit/s</translation>
    </message>
</context>
<context>
    <name>gui::MainWindow</name>
    <message>
        <source>Converted.</source>
        <translation>Umgewandelt.</translation>
    </message>
    <message>
        <source>Terminated.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened: the desktop has no program set to open web pages.</source>
        <translation>Das Handbuch %1 ließ sich nicht öffnen: Die Arbeitsumgebung hat kein Programm für Webseiten eingerichtet.</translation>
    </message>
    <message>
        <source>The home page could not be opened: the desktop has no program set to open web pages.</source>
        <translation>Die Webseite ließ sich nicht öffnen: Die Arbeitsumgebung hat kein Programm für Webseiten eingerichtet.</translation>
    </message>
    <message>
        <source>No sound output device</source>
        <translation>Kein Audioausgabegerät</translation>
    </message>
    <message>
        <source>Playing...</source>
        <translation>Wiedergabe...</translation>
    </message>
    <message>
        <source>No files to convert</source>
        <translation>Keine Dateien zum Umwandeln</translation>
    </message>
    <message>
        <source>Choose a destination folder</source>
        <translation>Wählen Sie einen Zielordner</translation>
    </message>
    <message>
        <source>%1% - %2</source>
        <translation>%1 % – %2</translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation>Bearbeitung...</translation>
    </message>
    <message>
        <source>Conversion stopped</source>
        <translation>Umwandlung angehalten</translation>
    </message>
    <message>
        <source>The folder %1 could not be opened: the desktop has no program set to open folders.</source>
        <translation>Der Ordner %1 ließ sich nicht öffnen: Die Arbeitsumgebung hat kein Programm für Ordner eingerichtet.</translation>
    </message>
    <message>
        <source>Skipped.</source>
        <translation>Übersprungen.</translation>
    </message>
</context>
<context>
    <name>gui::OutputOptionsBox</name>
    <message>
        <source>Output files</source>
        <translation>Ausgabedateien</translation>
    </message>
    <message>
        <source>Make a copy</source>
        <translation>Eine Kopie anlegen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>When the output &amp;exists:</source>
        <translation>Wenn die Ausgabe &amp;existiert:</translation>
    </message>
    <message>
        <source>{artist} {albumartist} {album} {title} {track} {disc} {year} {genre} {name} {folder}; &quot;/&quot; makes folders</source>
        <translation>{artist} {albumartist} {album} {title} {track} {disc} {year} {genre} {name} {folder}; „/“ legt Ordner an</translation>
    </message>
    <message>
        <source>File &amp;names:</source>
        <translation>Datei&amp;namen:</translation>
    </message>
    <message>
        <source>Recreate &amp;sub-folders</source>
        <translation>Unter&amp;ordner nachbilden</translation>
    </message>
    <message>
        <source>In the destination folder, each output goes into the sub-folder its source has below the folder that was added</source>
        <translation>Im Zielordner kommt jede Ausgabe in den Unterordner, in dem ihre Quelle unter dem hinzugefügten Ordner liegt</translation>
    </message>
    <message>
        <source>Write &amp;ReplayGain tags</source>
        <translation>Replay&amp;Gain-Tags schreiben</translation>
    </message>
    <message>
        <source>Track gain for each output, album gain for the files of one album in one folder</source>
        <translation>Titelpegel für jede Ausgabe, Albumpegel für die Dateien eines Albums in einem Ordner</translation>
    </message>
    <message>
        <source>Example: %1</source>
        <translation>Beispiel: %1</translation>
    </message>
</context>
<context>
    <name>gui::StartApplication</name>
    <message>
        <source>An incorrect version of %1 was loaded</source>
        <translation>Eine falsche Version von %1 wurde geladen</translation>
    </message>
    <message>
        <source>These files can&apos;t be added: they are missing, empty or can&apos;t be read.

%1</source>
        <translation>Diese Dateien lassen sich nicht hinzufügen: Sie fehlen, sind leer oder nicht lesbar.

%1</translation>
    </message>
</context>
<context>
    <name>gui::WaveFormatDialog</name>
    <message>
        <source>Wave format</source>
        <translation>WAV-Format</translation>
    </message>
    <message>
        <source>Use this format for the rest of the batch</source>
        <translation>Dieses Format für den Rest des Stapels verwenden</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>&amp;Attributes:</source>
        <translation>&amp;Eigenschaften:</translation>
    </message>
</context>
</TS>
