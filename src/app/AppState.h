#pragma once
// The process-wide values that every subsystem shares: where the program
// keeps its data, the encoder settings and the last chosen WAV format.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace app {

struct AppState {
    QString AppDataFolder;  // documents folder + "/Quillmoor Sonbridge", no trailing separator
    QString SettingsPath;   // AppDataFolder + "/settings.ini"

    qint32 Bitrate = 0;      // kbps
    qint16 FormatIndex = 0;  // 0 WAV, 1 MP3, 2 OGG, -1 none
    qint16 Stereo = 0;       // 1 stereo, anything else mono
    qint32 SampleRate = 0;   // Hz

    QByteArray AcmFormat;  // WAVEFORMATEX chosen last; all zero until the first choice
    qint32 AcmFormatSize = 0;
};

}  // namespace app
