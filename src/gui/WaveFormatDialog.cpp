#include "gui/WaveFormatDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace gui {
namespace {

// The stored block may be longer than the format's, padded with zeros.
bool sameBlock(const QByteArray& format, const QByteArray& stored) {
    if (format.isEmpty() || !stored.startsWith(format)) return false;
    for (qsizetype i = format.size(); i < stored.size(); ++i) {
        if (stored.at(i) != 0) return false;
    }
    return true;
}

int findInitial(const QList<core::WaveFormatInfo>& formats, const QByteArray& current) {
    for (int i = 0; i < formats.size(); ++i) {
        if (sameBlock(formats[i].waveFormatEx, current)) return i;
    }
    for (int i = 0; i < formats.size(); ++i) {
        const core::WaveFormatInfo& f = formats[i];
        if (f.codec == QLatin1String("pcm16") && f.channels == 2 && f.sampleRate == 44100) return i;
    }
    return formats.isEmpty() ? -1 : 0;
}

}  // namespace

WaveFormatDialog::WaveFormatDialog(const QList<core::WaveFormatInfo>& formats,
                                   const QByteArray& current, QWidget* owner)
    : QDialog(owner), formats_(formats) {
    setObjectName("waveFormatDialog");
    setWindowTitle(tr("Wave format"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    for (const core::WaveFormatInfo& info : formats_) {
        if (!names_.contains(info.formatName)) names_.append(info.formatName);
    }

    formatList_ = new QListWidget(this);
    formatList_->setObjectName("formatList");
    formatList_->addItems(names_);
    attributeList_ = new QListWidget(this);
    attributeList_->setObjectName("attributeList");
    useForRest_ = new QCheckBox(tr("Use this format for the rest of the batch"), this);
    useForRest_->setObjectName("useForRest");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    ok_ = buttons->button(QDialogButtonBox::Ok);

    auto* formatLabel = new QLabel(tr("&Format:"), this);
    formatLabel->setBuddy(formatList_);
    auto* attributeLabel = new QLabel(tr("&Attributes:"), this);
    attributeLabel->setBuddy(attributeList_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(formatLabel);
    layout->addWidget(formatList_, 2);
    layout->addWidget(attributeLabel);
    layout->addWidget(attributeList_, 3);
    layout->addWidget(useForRest_);
    layout->addWidget(buttons);
    resize(380, 420);

    connect(formatList_, &QListWidget::currentRowChanged, this, &WaveFormatDialog::showAttributes);
    connect(attributeList_, &QListWidget::currentRowChanged, this,
            [this](int row) { ok_->setEnabled(row >= 0); });
    connect(attributeList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ok_->setEnabled(false);
    select(findInitial(formats_, current));
    attributeList_->setFocus();
}

void WaveFormatDialog::select(int index) {
    if (index < 0) return;
    formatList_->setCurrentRow(names_.indexOf(formats_[index].formatName));
    attributeList_->setCurrentRow(attributeFormats_.indexOf(index));
}

int WaveFormatDialog::selectedFormat() const {
    const int row = attributeList_->currentRow();
    return row >= 0 && row < attributeFormats_.size() ? attributeFormats_[row] : -1;
}

// Refills the attributes for another format, keeping the rate and channels
// that were chosen when the new format offers them.
void WaveFormatDialog::showAttributes(int formatRow) {
    const int previous = selectedFormat();
    attributeList_->clear();
    attributeFormats_.clear();
    if (formatRow < 0) return;
    int keep = -1;
    for (int i = 0; i < formats_.size(); ++i) {
        if (formats_[i].formatName != names_[formatRow]) continue;
        if (previous >= 0 && keep < 0 && formats_[previous].sampleRate == formats_[i].sampleRate &&
            formats_[previous].channels == formats_[i].channels)
            keep = attributeFormats_.size();
        attributeFormats_.append(i);
        attributeList_->addItem(formats_[i].attributes);
    }
    attributeList_->setCurrentRow(std::max(keep, 0));
}

WaveFormatChoice WaveFormatDialog::choice() const {
    WaveFormatChoice choice;
    const int index = selectedFormat();
    if (result() != QDialog::Accepted || index < 0) return choice;
    choice.chosen = true;
    choice.waveFormatEx = formats_[index].waveFormatEx;
    choice.useForRestOfBatch = useForRest_->isChecked();
    return choice;
}

WaveFormatChoice chooseWaveFormat(QWidget* owner, const QList<core::WaveFormatInfo>& formats,
                                  const QByteArray& current) {
    WaveFormatDialog dialog(formats, current, owner);
    dialog.exec();
    return dialog.choice();
}

}  // namespace gui
