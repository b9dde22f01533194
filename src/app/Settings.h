#pragma once
// settings.ini: section "Main", keys "0" to "6". Three values live in the
// main window's controls (reached through SettingsControls), four are the
// shared encoder settings of AppState.

#include "app/AppState.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace app {

// The main-window values that the settings file holds.
class SettingsControls {
public:
    virtual ~SettingsControls() = default;
    virtual int check1State() const = 0;         // 0 unticked, 1 ticked, 2 grey
    virtual bool setCheck1State(int state) = 0;  // false: the box refuses the value
    virtual int check2State() const = 0;
    virtual bool setCheck2State(int state) = 0;
    virtual QString text2() const = 0;
    virtual void setText2(const QString& text) = 0;
    virtual void selectFormat(int index) = 0;  // the output-format list
};

// The same values held without a window, for front ends that have none.
// Like the window's check boxes, the boxes accept only 0, 1 and 2.
class StoredControls : public SettingsControls {
public:
    int check1 = 0;
    int check2 = 0;
    QString destination;
    int formatSelection = -1;

    int check1State() const override { return check1; }
    bool setCheck1State(int state) override { return accept(check1, state); }
    int check2State() const override { return check2; }
    bool setCheck2State(int state) override { return accept(check2, state); }
    QString text2() const override { return destination; }
    void setText2(const QString& text) override { destination = text; }
    void selectFormat(int index) override {
        formatSelection = index >= -1 && index <= 2 ? index : -1;
    }

private:
    static bool accept(int& box, int state) {
        if (state < 0 || state > 2) return false;
        box = state;
        return true;
    }
};

inline const QString kMainSection = QStringLiteral("Main");

QString ReadIniValue(const QString& section, const QString& key, const QString& path);
bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& path);
bool WriteIniValue(const QString& section, const QString& key, qint64 value, const QString& path);

// The longest leading number of text (blanks skipped, sign, digits, point,
// exponent), 0 when there is none, rounded half to even; nullopt when it
// does not fit a signed integer of the given width.
std::optional<qint64> IniNumber(const QString& text, int bits);

void SaveSettings(const AppState& state, const SettingsControls& controls);
void LoadSettings(AppState& state, SettingsControls& controls);
// First run only: when settings.ini cannot be opened, puts the defaults into
// the controls and the shared settings and saves them.
void CreateDefaultSettings(AppState& state, SettingsControls& controls);

}  // namespace app
