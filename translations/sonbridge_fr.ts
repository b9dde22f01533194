<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>MainWindowUi</name>
    <message>
        <source>By default, the program places the output audio file in the same directory with the source file. If you need to move audio file to other directory, uncheck the &quot;Save to the same folder&quot; and click the &quot;Browse&quot; button.</source>
        <translation>Par défaut, le programme place le fichier converti dans le dossier du fichier source. Pour le placer dans un autre dossier, décochez « Enregistrer dans le même dossier » et cliquez sur « Parcourir ».</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Add file(s)...</source>
        <translation>&amp;Ajouter des fichiers...</translation>
    </message>
    <message>
        <source>&amp;Add file(s)</source>
        <translation>A&amp;jouter</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>Remove a&amp;ll</source>
        <translation>Tout re&amp;tirer</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Écouter</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>Arr&amp;êter</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Arrê&amp;ter</translation>
    </message>
    <message>
        <source>&amp;Convert!</source>
        <translation>&amp;Convertir !</translation>
    </message>
    <message>
        <source>Start &amp;Conversion</source>
        <translation>Lancer la &amp;conversion</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Sommaire</translation>
    </message>
    <message>
        <source>&amp;Internet homepage</source>
        <translation>Site &amp;Internet</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos...</translation>
    </message>
    <message>
        <source>&amp;Add file...</source>
        <translation>&amp;Ajouter un fichier...</translation>
    </message>
    <message>
        <source>F&amp;iles to convert:</source>
        <translation>F&amp;ichiers à convertir :</translation>
    </message>
    <message>
        <source>Files to convert</source>
        <translation>Fichiers à convertir</translation>
    </message>
    <message>
        <source>Source audio file</source>
        <translation>Fichier audio source</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titre</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Click here to add source file</source>
        <translation>Cliquez ici pour ajouter des fichiers source</translation>
    </message>
    <message>
        <source>Output for&amp;mat:</source>
        <translation>For&amp;mat de sortie :</translation>
    </message>
    <message>
        <source>Output format</source>
        <translation>Format de sortie</translation>
    </message>
    <message>
        <source>Setti&amp;ngs...</source>
        <translation>Réglage&amp;s...</translation>
    </message>
    <message>
        <source>Encoder settings</source>
        <translation>Réglages de l’encodeur</translation>
    </message>
    <message>
        <source>Save to the &amp;same folder</source>
        <translation>Enregistrer dans le même &amp;dossier</translation>
    </message>
    <message>
        <source>Destination f&amp;older:</source>
        <translation>D&amp;ossier de destination :</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Dossier de destination</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Parcourir...</translation>
    </message>
    <message>
        <source>Browse for the destination folder</source>
        <translation>Choisir le dossier de destination</translation>
    </message>
    <message>
        <source>Open target &amp;directory after conversion</source>
        <translation>O&amp;uvrir le dossier de destination après la conversion</translation>
    </message>
    <message>
        <source>Stop at the &amp;first failure</source>
        <translation>Arrêter à la première &amp;erreur</translation>
    </message>
    <message>
        <source>Add &amp;folder...</source>
        <translation>Ajouter un &amp;dossier...</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Select the file(s) to convert</source>
        <translation>Choisir les fichiers à convertir</translation>
    </message>
    <message>
        <source>MPEG Files (*.mp3;*.mp2;*.mpeg)</source>
        <translation>Fichiers MPEG (*.mp3;*.mp2;*.mpeg)</translation>
    </message>
    <message>
        <source>Wav Files (*.wav)</source>
        <translation>Fichiers WAV (*.wav)</translation>
    </message>
    <message>
        <source>OggVorbis Files (*.ogg)</source>
        <translation>Fichiers Ogg Vorbis (*.ogg)</translation>
    </message>
    <message>
        <source>VOX Files (*.vox)</source>
        <translation>Fichiers VOX (*.vox)</translation>
    </message>
    <message>
        <source>RAW Files (*.raw; *.pcm)</source>
        <translation>Fichiers RAW (*.raw; *.pcm)</translation>
    </message>
    <message>
        <source>FLAC Files (*.flac)</source>
        <translation>Fichiers FLAC (*.flac)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>All supported formats (%1)</source>
        <translation>Tous les formats pris en charge (%1)</translation>
    </message>
    <message>
        <source>Converted to %1</source>
        <translation>Converti en %1</translation>
    </message>
    <message>
        <source>Not processed</source>
        <translation>Non traité</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>Tags not written: the WAV is over 4 GiB</source>
        <translation>Étiquettes non écrites : le WAV dépasse 4 Gio</translation>
    </message>
    <message>
        <source>The encoder %1 can&apos;t be started: %2</source>
        <translation>L’encodeur %1 ne peut pas démarrer : %2</translation>
    </message>
    <message>
        <source>The encoder %1 was not found</source>
        <translation>L’encodeur %1 est introuvable</translation>
    </message>
    <message>
        <source>The encoder was not started</source>
        <translation>L’encodeur n’a pas été démarré</translation>
    </message>
    <message>
        <source>The encoder %1 stopped reading its input</source>
        <translation>L’encodeur %1 ne lit plus ses données</translation>
    </message>
    <message>
        <source>The encoder %1 reported: %2</source>
        <translation>L’encodeur %1 signale : %2</translation>
    </message>
    <message>
        <source>The encoder %1 was ended by signal %2</source>
        <translation>L’encodeur %1 a été arrêté par le signal %2</translation>
    </message>
    <message>
        <source>The encoder %1 exited with status %2</source>
        <translation>L’encodeur %1 s’est terminé avec le code %2</translation>
    </message>
    <message>
        <source>No output format is selected</source>
        <translation>Aucun format de sortie choisi</translation>
    </message>
    <message>
        <source>No wave format was chosen</source>
        <translation>Aucun format WAV choisi</translation>
    </message>
    <message>
        <source>Choose a destination folder</source>
        <translation>Choisissez un dossier de destination</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Plus d’espace sur le disque</translation>
    </message>
    <message>
        <source>The file holds no audio</source>
        <translation>Le fichier ne contient pas de son</translation>
    </message>
    <message>
        <source>A CD audio track file only points to a track on a disc; copy the track first</source>
        <translation>Un fichier de piste CD ne fait que désigner une piste du disque ; copiez d’abord la piste</translation>
    </message>
    <message>
        <source>The file does not exist</source>
        <translation>Le fichier n’existe pas</translation>
    </message>
    <message>
        <source>This kind of audio can&apos;t be decoded</source>
        <translation>Ce type d’audio ne peut pas être décodé</translation>
    </message>
    <message>
        <source>The audio format of this file is unknown</source>
        <translation>Le format audio de ce fichier est inconnu</translation>
    </message>
    <message>
        <source>stereo</source>
        <translation>stéréo</translation>
    </message>
    <message>
        <source>mono</source>
        <translation>mono</translation>
    </message>
    <message>
        <source>Encoded as %1: %2 can&apos;t take %3</source>
        <translation>Encodé en %1 : %2 n’accepte pas %3</translation>
    </message>
    <message>
        <source>Encoded at %1 kbps: %2 can&apos;t reach %3 kbps at %4 Hz %5</source>
        <translation>Encodé à %1 kbit/s : %2 n’atteint pas %3 kbit/s à %4 Hz %5</translation>
    </message>
    <message>
        <source>The encoder can&apos;t take this audio format</source>
        <translation>L’encodeur n’accepte pas ce format audio</translation>
    </message>
    <message>
        <source>The encoder stopped reading its input</source>
        <translation>L’encodeur ne lit plus ses données</translation>
    </message>
    <message>
        <source>Not enough memory</source>
        <translation>Mémoire insuffisante</translation>
    </message>
    <message>
        <source>The disk is full</source>
        <translation>Le disque est plein</translation>
    </message>
    <message>
        <source>The disk quota is used up</source>
        <translation>Le quota disque est épuisé</translation>
    </message>
    <message>
        <source>The file can&apos;t be read: permission denied</source>
        <translation>Le fichier ne peut pas être lu : accès refusé</translation>
    </message>
    <message>
        <source>The output can&apos;t be written: permission denied</source>
        <translation>La sortie ne peut pas être écrite : accès refusé</translation>
    </message>
    <message>
        <source>The disk reported an error</source>
        <translation>Le disque signale une erreur</translation>
    </message>
    <message>
        <source>The file holds no audio stream</source>
        <translation>Le fichier ne contient aucun flux audio</translation>
    </message>
    <message>
        <source>This output format can&apos;t be encoded here</source>
        <translation>Ce format de sortie ne peut pas être encodé ici</translation>
    </message>
    <message>
        <source>The audio can&apos;t be converted to the output&apos;s rate and channels</source>
        <translation>Le son ne peut pas être converti à la fréquence et aux canaux de la sortie</translation>
    </message>
    <message>
        <source>The audio can&apos;t be encoded</source>
        <translation>Le son ne peut pas être encodé</translation>
    </message>
    <message>
        <source>The output can&apos;t be written</source>
        <translation>La sortie ne peut pas être écrite</translation>
    </message>
    <message>
        <source>Not an audio file, or the file is damaged</source>
        <translation>Pas un fichier audio, ou le fichier est endommagé</translation>
    </message>
    <message>
        <source>The written file can&apos;t be read back</source>
        <translation>Le fichier écrit ne peut pas être relu</translation>
    </message>
    <message>
        <source>The written file is damaged</source>
        <translation>Le fichier écrit est endommagé</translation>
    </message>
    <message>
        <source>The written file&apos;s header says %1 bytes, it holds %2</source>
        <translation>L’en-tête du fichier écrit annonce %1 octets, il en contient %2</translation>
    </message>
    <message>
        <source>The written file&apos;s %1 chunk is cut short</source>
        <translation>Le bloc %1 du fichier écrit est tronqué</translation>
    </message>
    <message>
        <source>The written file holds no audio</source>
        <translation>Le fichier écrit ne contient pas de son</translation>
    </message>
    <message>
        <source>The written file is %1, not %2</source>
        <translation>Le fichier écrit est en %1, pas en %2</translation>
    </message>
    <message>
        <source>The written file has %1 Hz, not %2 Hz</source>
        <translation>Le fichier écrit est à %1 Hz, pas à %2 Hz</translation>
    </message>
    <message>
        <source>The written file has %1 channels, not %2</source>
        <translation>Le fichier écrit a %1 canaux, pas %2</translation>
    </message>
    <message>
        <source>The written file&apos;s length can&apos;t be read</source>
        <translation>La durée du fichier écrit ne peut pas être lue</translation>
    </message>
    <message>
        <source>The written file lasts %1 s, the source %2 s</source>
        <translation>Le fichier écrit dure %1 s, la source %2 s</translation>
    </message>
    <message>
        <source>The output can&apos;t be created in %1: %2</source>
        <translation>La sortie ne peut pas être créée dans %1 : %2</translation>
    </message>
    <message>
        <source>The output can&apos;t be written: %1</source>
        <translation>La sortie ne peut pas être écrite : %1</translation>
    </message>
    <message>
        <source>The output can&apos;t be named %1: %2</source>
        <translation>La sortie ne peut pas être nommée %1 : %2</translation>
    </message>
    <message>
        <source>Processing... %1% completed</source>
        <translation>Traitement... %1 % terminé</translation>
    </message>
    <message>
        <source>Tags not copied: the source&apos;s tags could not be read</source>
        <translation>Étiquettes non copiées : celles de la source sont illisibles</translation>
    </message>
    <message>
        <source>Cover art left out: it is larger than 16 MB</source>
        <translation>Pochette omise : elle dépasse 16 Mo</translation>
    </message>
    <message>
        <source>The written file was damaged by its tags</source>
        <translation>Le fichier écrit a été endommagé par ses étiquettes</translation>
    </message>
    <message>
        <source>Tags not written: TagLib could not save them to the output</source>
        <translation>Étiquettes non écrites : TagLib n’a pas pu les enregistrer dans la sortie</translation>
    </message>
    <message>
        <source>%1 file converted in %2</source>
        <translation>%1 fichier converti en %2</translation>
    </message>
    <message>
        <source>%1 files converted in %2</source>
        <translation>%1 fichiers convertis en %2</translation>
    </message>
    <message>
        <source>%1 converted, %2 failed in %3</source>
        <translation>%1 convertis, %2 en échec en %3</translation>
    </message>
    <message>
        <source>The wave format block is too short</source>
        <translation>Le bloc de format WAV est trop court</translation>
    </message>
    <message>
        <source>The wave format block is truncated</source>
        <translation>Le bloc de format WAV est tronqué</translation>
    </message>
    <message>
        <source>WAV output takes 1 or 2 channels, not %1</source>
        <translation>La sortie WAV accepte 1 ou 2 canaux, pas %1</translation>
    </message>
    <message>
        <source>The sample rate %1 Hz is not supported</source>
        <translation>La fréquence %1 Hz n’est pas prise en charge</translation>
    </message>
    <message>
        <source>The wave format block is malformed</source>
        <translation>Le bloc de format WAV est mal formé</translation>
    </message>
    <message>
        <source>GSM 6.10 is written at 8000 Hz mono only</source>
        <translation>Le GSM 6.10 ne s’écrit qu’en 8000 Hz mono</translation>
    </message>
    <message>
        <source>This sample rate is not supported for MP3 in WAV</source>
        <translation>Cette fréquence n’est pas prise en charge pour le MP3 en WAV</translation>
    </message>
    <message>
        <source>This bitrate is not supported for MP3 in WAV</source>
        <translation>Ce débit n’est pas pris en charge pour le MP3 en WAV</translation>
    </message>
    <message>
        <source>The wave format tag 0x%1 is not supported</source>
        <translation>L’identifiant de format WAV 0x%1 n’est pas pris en charge</translation>
    </message>
    <message>
        <source>Removed 1 unfinished file left by an earlier run</source>
        <translation>1 fichier inachevé d’une exécution précédente supprimé</translation>
    </message>
    <message>
        <source>Removed %1 unfinished files left by an earlier run</source>
        <translation>%1 fichiers inachevés d’une exécution précédente supprimés</translation>
    </message>
    <message>
        <source>%1 channels can&apos;t be mixed to %2</source>
        <translation>%1 canaux ne peuvent pas être mixés en %2</translation>
    </message>
    <message>
        <source>Unknown artist</source>
        <translation>Artiste inconnu</translation>
    </message>
    <message>
        <source>Unknown album</source>
        <translation>Album inconnu</translation>
    </message>
    <message>
        <source>Unknown title</source>
        <translation>Titre inconnu</translation>
    </message>
    <message>
        <source>Unknown year</source>
        <translation>Année inconnue</translation>
    </message>
    <message>
        <source>Unknown genre</source>
        <translation>Genre inconnu</translation>
    </message>
    <message>
        <source>The source ended early: %1 s of %2 s decoded</source>
        <translation>La source s’est terminée plus tôt : %1 s sur %2 s décodées</translation>
    </message>
    <message>
        <source>ReplayGain tags not written: the audio could not be measured</source>
        <translation>Balises ReplayGain non écrites : le son n&apos;a pas pu être mesuré</translation>
    </message>
    <message>
        <source>ReplayGain tags not written: TagLib could not save them to the output</source>
        <translation>Balises ReplayGain non écrites : TagLib n&apos;a pas pu les enregistrer dans la sortie</translation>
    </message>
    <message>
        <source>Loudness can&apos;t be measured</source>
        <translation>La sonie ne peut pas être mesurée</translation>
    </message>
    <message>
        <source>ReplayGain tags not written: the output is silent</source>
        <translation>Balises ReplayGain non écrites : la sortie est silencieuse</translation>
    </message>
    <message>
        <source>Constant bitrate</source>
        <translation>Débit constant</translation>
    </message>
    <message>
        <source>Variable bitrate</source>
        <translation>Débit variable</translation>
    </message>
    <message>
        <source>Average bitrate</source>
        <translation>Débit moyen</translation>
    </message>
    <message>
        <source>Bitrate</source>
        <translation>Débit</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualité</translation>
    </message>
    <message>
        <source>Compression level</source>
        <translation>Niveau de compression</translation>
    </message>
    <message>
        <source>The output is not lossless: %1</source>
        <translation>La sortie n&apos;est pas sans perte : %1</translation>
    </message>
    <message>
        <source>it decodes to %1 channels, %2 were encoded</source>
        <translation>elle se décode en %1 canaux, %2 ont été encodés</translation>
    </message>
    <message>
        <source>it decodes to %1 samples per channel, %2 were encoded</source>
        <translation>elle se décode en %1 échantillons par canal, %2 ont été encodés</translation>
    </message>
    <message>
        <source>its samples differ from %1 s on</source>
        <translation>ses échantillons diffèrent à partir de %1 s</translation>
    </message>
    <message>
        <source>it holds no audio</source>
        <translation>elle ne contient pas d&apos;audio</translation>
    </message>
</context>
<context>
    <name>gui::AboutDialog</name>
    <message>
        <source>Uses Qt (LGPL 3), FFmpeg (LGPL 2.1 or later; GPL 2 or later in some builds), SDL2 (zlib licence), LAME (LGPL 2) and Vorbis (libvorbis: BSD; oggenc: GPL 2).</source>
        <translation>Utilise Qt (LGPL 3), FFmpeg (LGPL 2.1 ou ultérieure ; GPL 2 ou ultérieure dans certaines versions), SDL2 (licence zlib), LAME (LGPL 2) et Vorbis (libvorbis : BSD ; oggenc : GPL 2).</translation>
    </message>
    <message>
        <source>About Sonbridge</source>
        <translation>À propos de Sonbridge</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Technical support:</source>
        <translation>Assistance technique :</translation>
    </message>
    <message>
        <source>Program homepage:</source>
        <translation>Site du programme :</translation>
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
        <translation>Converti jusqu’ici</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>et %1 autres</translation>
    </message>
    <message>
        <source>%1 of %2 file</source>
        <translation>%1 sur %2 fichier</translation>
    </message>
    <message>
        <source>%1 of %2 files</source>
        <translation>%1 sur %2 fichiers</translation>
    </message>
    <message>
        <source>, %1 left</source>
        <translation>, encore %1</translation>
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
        <translation>Usage : %1 [FICHIER|DOSSIER]...
Ouvre la fenêtre de Sonbridge avec les fichiers indiqués ; un dossier apporte les fichiers audio qu’il contient.

  -h, --help     afficher cette aide et quitter
  -V, --version  afficher la version et quitter

sonbridge-cli convertit depuis un terminal.</translation>
    </message>
</context>
<context>
    <name>gui::EncoderSettingsDialog</name>
    <message>
        <source>Encoder settings</source>
        <translation>Réglages de l’encodeur</translation>
    </message>
    <message>
        <source>Simultaneous co&amp;nversions</source>
        <translation>Co&amp;nversions simultanées</translation>
    </message>
    <message>
        <source>Simultaneous conversions</source>
        <translation>Conversions simultanées</translation>
    </message>
    <message>
        <source>Copy &amp;tags and cover art</source>
        <translation>Copier les é&amp;tiquettes et la pochette</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>gui::FormatChoicesBox</name>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Mo&amp;de:</source>
        <translation>Mo&amp;de :</translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>Fréquence</translation>
    </message>
    <message>
        <source>Same as source</source>
        <translation>Comme la source</translation>
    </message>
    <message>
        <source>Samples &amp;rate, Hz:</source>
        <translation>F&amp;réquence, Hz :</translation>
    </message>
    <message>
        <source>&amp;Mono</source>
        <translation>&amp;Mono</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <translation>&amp;Stéréo</translation>
    </message>
    <message>
        <source>Same &amp;as source</source>
        <translation>Comme l&amp;a source</translation>
    </message>
    <message>
        <source>&amp;Bitrate, kbps:</source>
        <translation>&amp;Débit, kbit/s :</translation>
    </message>
    <message>
        <source>&amp;Quality:</source>
        <translation>&amp;Qualité :</translation>
    </message>
    <message>
        <source>Com&amp;pression level:</source>
        <translation>Niveau de com&amp;pression :</translation>
    </message>
    <message>
        <source>The wave format (codec, rate and channels) is chosen when the conversion starts.</source>
        <translation>Le format wave (codec, fréquence et canaux) se choisit au début de la conversion.</translation>
    </message>
    <message>
        <source>Adjusted: %1 to %2 kbps</source>
        <translation>Ajusté : %1 à %2 kbit/s</translation>
    </message>
</context>
<context>
    <name>gui::MainWindow</name>
    <message>
        <source>Converted.</source>
        <translation>Converti.</translation>
    </message>
    <message>
        <source>Terminated.</source>
        <translation>Interrompu.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Échec.</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened: the desktop has no program set to open web pages.</source>
        <translation>Le manuel %1 n’a pas pu être ouvert : le bureau n’a aucun programme pour ouvrir les pages web.</translation>
    </message>
    <message>
        <source>The home page could not be opened: the desktop has no program set to open web pages.</source>
        <translation>Le site n’a pas pu être ouvert : le bureau n’a aucun programme pour ouvrir les pages web.</translation>
    </message>
    <message>
        <source>No sound output device</source>
        <translation>Aucune sortie audio</translation>
    </message>
    <message>
        <source>Playing...</source>
        <translation>Lecture...</translation>
    </message>
    <message>
        <source>No files to convert</source>
        <translation>Aucun fichier à convertir</translation>
    </message>
    <message>
        <source>Choose a destination folder</source>
        <translation>Choisissez un dossier de destination</translation>
    </message>
    <message>
        <source>%1% - %2</source>
        <translation>%1 % – %2</translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation>Traitement...</translation>
    </message>
    <message>
        <source>Conversion stopped</source>
        <translation>Conversion arrêtée</translation>
    </message>
    <message>
        <source>The folder %1 could not be opened: the desktop has no program set to open folders.</source>
        <translation>Le dossier %1 n’a pas pu être ouvert : le bureau n’a aucun programme pour ouvrir les dossiers.</translation>
    </message>
    <message>
        <source>Skipped.</source>
        <translation>Ignoré.</translation>
    </message>
</context>
<context>
    <name>gui::OutputOptionsBox</name>
    <message>
        <source>Output files</source>
        <translation>Fichiers de sortie</translation>
    </message>
    <message>
        <source>Make a copy</source>
        <translation>Faire une copie</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
    <message>
        <source>When the output &amp;exists:</source>
        <translation>Si la sortie e&amp;xiste :</translation>
    </message>
    <message>
        <source>{artist} {albumartist} {album} {title} {track} {disc} {year} {genre} {name} {folder}; &quot;/&quot; makes folders</source>
        <translation>{artist} {albumartist} {album} {title} {track} {disc} {year} {genre} {name} {folder} ; « / » crée des dossiers</translation>
    </message>
    <message>
        <source>File &amp;names:</source>
        <translation>Noms de &amp;fichier :</translation>
    </message>
    <message>
        <source>Recreate &amp;sub-folders</source>
        <translation>Re&amp;créer les sous-dossiers</translation>
    </message>
    <message>
        <source>In the destination folder, each output goes into the sub-folder its source has below the folder that was added</source>
        <translation>Dans le dossier de destination, chaque sortie va dans le sous-dossier où se trouve sa source sous le dossier ajouté</translation>
    </message>
    <message>
        <source>Write &amp;ReplayGain tags</source>
        <translation>Écrire les étiquettes Replay&amp;Gain</translation>
    </message>
    <message>
        <source>Track gain for each output, album gain for the files of one album in one folder</source>
        <translation>Gain de piste pour chaque sortie, gain d’album pour les fichiers d’un même album dans un dossier</translation>
    </message>
    <message>
        <source>Example: %1</source>
        <translation>Exemple : %1</translation>
    </message>
</context>
<context>
    <name>gui::StartApplication</name>
    <message>
        <source>An incorrect version of %1 was loaded</source>
        <translation>Une version incorrecte de %1 a été chargée</translation>
    </message>
    <message>
        <source>These files can&apos;t be added: they are missing, empty or can&apos;t be read.

%1</source>
        <translation>Ces fichiers ne peuvent pas être ajoutés : ils sont absents, vides ou illisibles.

%1</translation>
    </message>
</context>
<context>
    <name>gui::WaveFormatDialog</name>
    <message>
        <source>Wave format</source>
        <translation>Format WAV</translation>
    </message>
    <message>
        <source>Use this format for the rest of the batch</source>
        <translation>Utiliser ce format pour le reste du lot</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format :</translation>
    </message>
    <message>
        <source>&amp;Attributes:</source>
        <translation>&amp;Attributs :</translation>
    </message>
</context>
</TS>
