#pragma once
// The main window's controls, menus and actions, laid out in one place.
// The window opens at its designed size (client area 585 x 440 pixels) and
// may be resized: the list takes the room. Behaviour lives in MainWindow.

#include <QCoreApplication>
#include <QSize>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace gui {

struct MainWindowUi {
    Q_DECLARE_TR_FUNCTIONS(MainWindowUi)

public:
    // Creates every control of window, with its layout, texts and shortcuts.
    explicit MainWindowUi(QMainWindow* window);

    QWidget* mainPanel = nullptr;
    QLabel* filesCaption = nullptr;
    QTreeWidget* sourceList = nullptr;
    QWidget* addFilesHint = nullptr;  // over the empty list
    QLabel* addFilesLink = nullptr;   // "Click here to add source file"
    QToolButton* addButton = nullptr;
    QToolButton* removeButton = nullptr;
    QToolButton* playButton = nullptr;
    QToolButton* stopButton = nullptr;
    QToolButton* startButton = nullptr;
    QLabel* destinationTip = nullptr;
    QLabel* formatCaption = nullptr;
    QComboBox* outputFormatCombo = nullptr;
    QPushButton* settingsButton = nullptr;
    QCheckBox* sameFolderCheck = nullptr;
    QWidget* destinationPanel = nullptr;  // hidden while "Save to the same folder" is ticked
    QLabel* destinationCaption = nullptr;
    QLineEdit* destinationEdit = nullptr;
    QPushButton* browseButton = nullptr;
    QCheckBox* openFolderCheck = nullptr;
    QCheckBox* stopAtFailureCheck = nullptr;  // ticked: a failure ends the batch

    // The buttons above show these actions, so a button and its menu item
    // are enabled and disabled together.
    QMenu* fileMenu = nullptr;
    QAction* addFilesAction = nullptr;
    QAction* addFolderAction = nullptr;
    QAction* removeAction = nullptr;  // every selected row; also the Delete key
    QAction* removeAllAction = nullptr;
    QAction* playAction = nullptr;
    QAction* stopAction = nullptr;
    QAction* convertAction = nullptr;
    QAction* quitAction = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* contentsAction = nullptr;
    QAction* homePageAction = nullptr;
    QAction* aboutAction = nullptr;
    QMenu* contextMenu = nullptr;  // pops up over the list; never on the menu bar
    QAction* contextAddAction = nullptr;

    // Ticked: the destination panel hides and the open-folder box moves up into its place.
    void applyDestinationLayout(bool sameFolder);
    // The window's size when nothing was remembered: the designed client
    // area under the menu bar, or more where the fonts need it.
    QSize defaultWindowSize() const;

private:
    QMainWindow* window_;
};

}  // namespace gui
