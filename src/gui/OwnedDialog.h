#pragma once
// The settings dialog and the About box act as modal dialogs while the main
// window's event loop keeps running: the owner is disabled while they are
// open, and enabled and focused again however they close.

class QDialog;
class QWidget;

namespace gui {

// Shows dialog (a child of owner, deleted on close) over the disabled owner.
void showOverDisabledOwner(QDialog* dialog, QWidget* owner);

}  // namespace gui
