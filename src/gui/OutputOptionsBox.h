#pragma once
// The encoder settings' choices about output files: what happens when an
// output exists, names from tags (with a live example from a row of the
// list), recreating sub-folders, ReplayGain tags.

#include "core/NamePattern.h"
#include "core/Settings.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace gui {

// The row the example is made from; an empty path: a made-up "Song.flac".
struct ExampleSource {
    QString path;
    QString addedFrom;
};

class OutputOptionsBox : public QGroupBox {
    Q_OBJECT
public:
    OutputOptionsBox(const core::Settings& settings, const ExampleSource& example, QWidget* parent);

    // False (nothing stored) while the pattern can't be used.
    bool usable() const;
    void store(core::Settings& settings) const;

    QComboBox* existingCombo() const { return existingCombo_; }
    QLineEdit* patternEdit() const { return patternEdit_; }
    QLabel* example() const { return example_; }
    QCheckBox* recreateSubFoldersCheck() const { return recreateSubFoldersCheck_; }
    QCheckBox* replayGainCheck() const { return replayGainCheck_; }

signals:
    void usableChanged(bool usable);

private:
    void showExample();

    ExampleSource source_;
    core::NameTags tags_;
    QString extension_;
    QComboBox* existingCombo_ = nullptr;
    QLineEdit* patternEdit_ = nullptr;
    QLabel* example_ = nullptr;
    QCheckBox* recreateSubFoldersCheck_ = nullptr;
    QCheckBox* replayGainCheck_ = nullptr;
};

}  // namespace gui
