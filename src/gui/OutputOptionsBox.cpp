#include "gui/OutputOptionsBox.h"

#include "core/AudioFiles.h"
#include "core/NamePattern.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace gui {

OutputOptionsBox::OutputOptionsBox(const core::Settings& settings, const ExampleSource& example,
                                   QWidget* parent)
    : QGroupBox(tr("Output files"), parent), source_(example) {
    const auto format = core::outputFormatFromIndex(settings.formatIndex);
    extension_ = format ? core::outputExtension(*format) : QString();
    auto* form = new QFormLayout(this);
    existingCombo_ = new QComboBox(this);
    existingCombo_->addItems({tr("Make a copy"), tr("Skip"), tr("Replace")});
    existingCombo_->setCurrentIndex(int(settings.existingOutputs));
    form->addRow(tr("When the output &exists:"), existingCombo_);
    patternEdit_ = new QLineEdit(
        settings.namePattern.isEmpty() ? core::kDefaultNamePattern : settings.namePattern, this);
    patternEdit_->setToolTip(
        tr("{artist} {albumartist} {album} {title} {track} {disc} {year} {genre} {name} "
           "{folder}; \"/\" makes folders"));
    form->addRow(tr("File &names:"), patternEdit_);
    example_ = new QLabel(this);
    example_->setTextFormat(Qt::PlainText);
    example_->setWordWrap(true);
    form->addRow(QString(), example_);
    recreateSubFoldersCheck_ = new QCheckBox(tr("Recreate &sub-folders"), this);
    recreateSubFoldersCheck_->setToolTip(
        tr("In the destination folder, each output goes into the sub-folder its source has "
           "below the folder that was added"));
    recreateSubFoldersCheck_->setChecked(settings.recreateSubFolders);
    form->addRow(recreateSubFoldersCheck_);
    replayGainCheck_ = new QCheckBox(tr("Write &ReplayGain tags"), this);
    replayGainCheck_->setToolTip(
        tr("Track gain for each output, album gain for the files of one album in one folder"));
    replayGainCheck_->setChecked(settings.replayGain != core::ReplayGain::Off);
    form->addRow(replayGainCheck_);

    // Read once: a pattern typed letter by letter reads no file again.
    if (source_.path.isEmpty())
        source_.path = QStringLiteral("/Song.flac");
    else
        tags_ = core::readNameTags(source_.path);
    showExample();
    connect(patternEdit_, &QLineEdit::textChanged, this, &OutputOptionsBox::showExample);
}

bool OutputOptionsBox::usable() const {
    return bool(core::checkNamePattern(patternEdit_->text()));
}

void OutputOptionsBox::showExample() {
    const core::Status usable = core::checkNamePattern(patternEdit_->text());
    if (!usable) {
        example_->setText(usable.reason());
    } else {
        const QString name =
            core::expandNamePattern(patternEdit_->text(), source_.path,
                                    core::subFolderBelow(source_.path, source_.addedFrom), tags_);
        example_->setText(tr("Example: %1").arg(name + QLatin1Char('.') + extension_));
    }
    emit usableChanged(bool(usable));
}

void OutputOptionsBox::store(core::Settings& settings) const {
    if (!usable()) return;
    settings.existingOutputs = core::ExistingOutput(existingCombo_->currentIndex());
    const QString pattern = patternEdit_->text();
    settings.namePattern = core::isDefaultNamePattern(pattern) ? QString() : pattern;
    settings.recreateSubFolders = recreateSubFoldersCheck_->isChecked();
    settings.replayGain =
        replayGainCheck_->isChecked() ? core::ReplayGain::Album : core::ReplayGain::Off;
}

}  // namespace gui
