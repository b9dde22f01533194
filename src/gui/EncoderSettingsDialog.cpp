#include "gui/EncoderSettingsDialog.h"

#include "gui/FormatChoicesBox.h"
#include "gui/OwnedDialog.h"
#include "gui/Twips.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gui {
namespace {

constexpr int kListWidthTwips = 2535;

// A list with its caption on one line of grid, the caption naming the list.
QComboBox* listRow(QGridLayout* grid, int row, const QString& caption, const QString& name) {
    auto* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    auto* combo = new QComboBox(parent);
    combo->setMinimumWidth(twipsToPx(kListWidthTwips));
    combo->setAccessibleName(name);
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
    return combo;
}

}  // namespace

EncoderSettingsDialog::EncoderSettingsDialog(core::Settings& settings, QWidget* owner,
                                             const ExampleSource& example)
    : QDialog(owner), settings_(settings) {
    setObjectName("encoderSettingsDialog");
    setWindowTitle(tr("Encoder settings"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // Sized by its contents, whatever the font: fixed, but never too small.
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    column->addLayout(grid);
    formatChoices_ = new FormatChoicesBox(settings_.encoder,
                                          core::outputFormatFromIndex(settings_.formatIndex), this);
    grid->addWidget(formatChoices_, 0, 0, 1, 2);
    simultaneousCombo_ =
        listRow(grid, 1, tr("Simultaneous co&nversions"), tr("Simultaneous conversions"));
    copyTagsCheck_ = new QCheckBox(tr("Copy &tags and cover art"), this);
    grid->addWidget(copyTagsCheck_, 2, 0, 1, 2);

    outputOptions_ = new OutputOptionsBox(settings_, example, this);
    column->addWidget(outputOptions_);

    okButton_ = new QPushButton(tr("&OK"), this);
    okButton_->setDefault(true);
    // Enter on a focused Cancel cancels: an auto-default button takes Enter
    // while it has the focus, and OK takes it everywhere else.
    cancelButton_ = new QPushButton(tr("&Cancel"), this);
    cancelButton_->setAutoDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    column->addSpacing(grid->verticalSpacing());
    column->addLayout(buttons);
    connect(okButton_, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(formatChoices_->lastField(), simultaneousCombo_);
    setTabOrder(simultaneousCombo_, copyTagsCheck_);
    setTabOrder(copyTagsCheck_, outputOptions_->existingCombo());
    setTabOrder(outputOptions_->existingCombo(), outputOptions_->patternEdit());
    setTabOrder(outputOptions_->patternEdit(), outputOptions_->recreateSubFoldersCheck());
    setTabOrder(outputOptions_->recreateSubFoldersCheck(), outputOptions_->replayGainCheck());
    setTabOrder(outputOptions_->replayGainCheck(), okButton_);
    // A pattern that names no field can't be kept.
    connect(outputOptions_, &OutputOptionsBox::usableChanged, okButton_, &QWidget::setEnabled);
    okButton_->setEnabled(outputOptions_->usable());
    setTabOrder(okButton_, cancelButton_);
    formatChoices_->firstField()->setFocus();

    for (int jobs = 1; jobs <= core::kMaxSimultaneousConversions; ++jobs)
        simultaneousCombo_->addItem(QString::number(jobs));
    simultaneousCombo_->setCurrentIndex(
        simultaneousCombo_->findText(QString::number(settings_.simultaneousConversions)));
    copyTagsCheck_->setChecked(settings_.copyTags);
}

void EncoderSettingsDialog::store() {
    formatChoices_->store(settings_.encoder);
    if (simultaneousCombo_->currentIndex() >= 0)
        settings_.simultaneousConversions = simultaneousCombo_->currentText().toInt();
    settings_.copyTags = copyTagsCheck_->isChecked();
    outputOptions_->store(settings_);
}

void showEncoderSettings(QWidget* mainWindow, core::Settings& settings,
                         const ExampleSource& example) {
    showOverDisabledOwner(new EncoderSettingsDialog(settings, mainWindow, example), mainWindow);
}

}  // namespace gui
