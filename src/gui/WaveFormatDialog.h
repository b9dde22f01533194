#pragma once
// The choice of the WAV format for a conversion: a format (PCM, IMA ADPCM,
// ...) and its attributes (rate, bits, channels), from what the writer offers.

#include "core/WaveFormat.h"
#include "gui/Dialogs.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace gui {

class WaveFormatDialog : public QDialog {
    Q_OBJECT

public:
    // Preselects the block in current (it may carry trailing zero padding);
    // when it matches nothing, PCM 44100 Hz 16-bit stereo.
    WaveFormatDialog(const QList<core::WaveFormatInfo>& formats, const QByteArray& current,
                     QWidget* owner);

    // The choice as the dialog stands: chosen only once it was accepted.
    WaveFormatChoice choice() const;

private:
    void showAttributes(int formatRow);
    int selectedFormat() const;  // index into formats_, -1 for none
    void select(int index);

    QList<core::WaveFormatInfo> formats_;
    QStringList names_;            // distinct format names, in the engine's order
    QList<int> attributeFormats_;  // formats_ index behind each attribute row
    QListWidget* formatList_ = nullptr;
    QListWidget* attributeList_ = nullptr;
    QCheckBox* useForRest_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Modal; chosen=false when cancelled or when there is nothing to choose.
WaveFormatChoice chooseWaveFormat(QWidget* owner, const QList<core::WaveFormatInfo>& formats,
                                  const QByteArray& current);

}  // namespace gui
