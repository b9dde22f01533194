#include "gui/OwnedDialog.h"

#include <QDialog>
#include <QPointer>

namespace gui {

void showOverDisabledOwner(QDialog* dialog, QWidget* owner) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Every way of closing ends in done(), which emits finished.
    QObject::connect(dialog, &QDialog::finished, owner, [owner = QPointer<QWidget>(owner)] {
        if (!owner) return;
        owner->setEnabled(true);
        owner->activateWindow();
        owner->setFocus();
    });
    owner->setEnabled(false);
    // A child window shares its owner's disabled state unless told otherwise.
    dialog->setEnabled(true);
    dialog->show();
    dialog->activateWindow();
}

}  // namespace gui
