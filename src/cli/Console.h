#pragma once
// Lines for standard output and standard error, written as the bytes of
// the file names they hold, and one live status line on a terminal that
// other lines push down instead of tearing.

#include <QString>

namespace cli {

class Console {
public:
    // live: standard output is a terminal and the status line is wanted.
    explicit Console(bool live);

    bool live() const { return live_; }
    void out(const QString& line);
    void err(const QString& line);
    // Replaces the status line; does nothing unless live.
    void status(const QString& text);
    // Leaves the status line's last text standing and moves below it.
    void keepStatus();

private:
    void eraseStatus();
    void drawStatus();

    bool live_ = false;
    QString status_;
};

// A file name as `ls` quotes one that holds control characters or
// bidirectional overrides ('a'$'\n''b.wav'), so it stays on its line and
// can't rearrange the text around it; any other name as it is.
QString quotedForTerminal(const QString& name);

// Whether the file descriptor is a terminal.
bool isTerminal(int fd);

}  // namespace cli
