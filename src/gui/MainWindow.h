#pragma once
// The main window. Controls, menus, timers and handlers carry the names the
// rest of the program knows them by (Command1, LW1, Timer2, m_convert_Click),
// so the batch run, the preview and the dialogs can reach them directly.
// Geometry is designed in twips, 15 to a pixel.

#include "core/AppState.h"
#include "core/Settings.h"
#include "audio/Engine.h"
#include "gui/SourceList.h"
#include "gui/Twips.h"

#include <QMainWindow>
#include <QPoint>
#include <QRect>

#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace gui {

class Dialogs;

class Form1 : public QMainWindow, public core::SettingsControls {
    Q_OBJECT
public:
    // Builds the window and runs its load step. The engine is initialised
    // by the caller once the window exists.
    Form1(core::AppState& state, core::Engine& engine, Dialogs& dialogs, QWidget* parent = nullptr);
    ~Form1() override;

    // What the window works on; owned by the caller.
    core::AppState& appState;
    core::Engine& engine;
    Dialogs& dialogs;

    // Fields shared with the conversion run and the preview.
    qint16 GlobalStop = 0;  // -1: a running conversion is asked to end
    core::Handle ConversionStream = 0;
    core::Handle PreviewStream = 0;
    bool ConversionActive = false;  // set by the run from its start to its very end

    // Called as the last unload step. Ends the process at once; tests replace it.
    std::function<void()> exitProcess;

    // Main panel and its controls.
    QWidget* FR1 = nullptr;
    QLabel* Label1 = nullptr;
    QTreeWidget* LW1 = nullptr;
    QWidget* Picture3 = nullptr;  // add-files hint over the empty list
    QLabel* Label4 = nullptr;
    QToolButton* Command1 = nullptr;
    std::array<QAbstractButton*, 2> Command2{};  // 0 "Remove", 1 "Browse..."
    QToolButton* Command5 = nullptr;
    QToolButton* Command6 = nullptr;
    QToolButton* button1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label15 = nullptr;
    QComboBox* Combo4 = nullptr;
    QPushButton* Command4 = nullptr;
    QCheckBox* Check1 = nullptr;
    QWidget* Picture1 = nullptr;  // destination panel
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QCheckBox* Check2 = nullptr;

    // Menus.
    QMenu* mFile = nullptr;
    QAction* m_add_midi = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_all = nullptr;
    QAction* m_play = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_convert = nullptr;
    QAction* m_exit = nullptr;
    QMenu* mHelp = nullptr;
    QAction* m_contents = nullptr;
    QAction* m_homepage = nullptr;
    QAction* m_about = nullptr;
    QMenu* mContext = nullptr;  // pop-up over the list only
    QAction* m_add_midi_c = nullptr;
    QAction* m_remove_c = nullptr;

    QTimer* Timer1 = nullptr;  // 150 ms: add-files hint
    QTimer* Timer2 = nullptr;  // 100 ms: list-dependent commands
    QTimer* Timer3 = nullptr;  // 100 ms: end of a preview
    QTimer* Timer4 = nullptr;  // 500 ms: conversion progress

    gui::SourceList& sourceList() { return *list_; }

    // Busy mode, entered by the preview and the conversion run.
    void enterBusyForPreview();     // also writes "Playing..." into the selected row
    void enterBusyForConversion();  // also locks format, settings and destination
    void leaveBusy();               // first steps of Stop
    void endConversionBusy();       // the run's own end: everything back, Timer4 off

    // Geometry in twips, as the layout rules reason about it.
    QRect twipsGeometry(const QWidget* control) const;
    void centerOnScreen();

    // core::SettingsControls
    int check1State() const override;
    bool setCheck1State(int state) override;
    int check2State() const override;
    bool setCheck2State(int state) override;
    QString text2() const override;
    void setText2(const QString& text) override;
    void selectFormat(int index) override;

public slots:
    void Form_Load();
    void Form_Unload();

    void m_add_midi_Click();
    void Command1_Click();
    void Label4_Click();
    void m_add_midi_c_Click();
    void m_remove_Click();
    void m_all_Click();
    void m_remove_c_Click();
    void Command2_Click(int index);
    void LW1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void Check1_Click();
    void Command4_Click();
    void m_exit_Click();
    void m_contents_Click();
    void m_homepage_Click();
    void m_about_Click();
    void Timer1_Timer();
    void Timer2_Timer();

    // Carried out by the conversion run and the preview.
    void m_convert_Click();
    void button1_Click();
    void m_play_Click();
    void m_stop_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer3_Timer();
    void Timer4_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTimers();
    void installDropTargets();
    void connectHandlers();
    void applyDestinationLayout();

    std::unique_ptr<gui::SourceList> list_;
    bool unloaded_ = false;
    bool selectAllOnRelease_ = false;
};

}  // namespace gui
