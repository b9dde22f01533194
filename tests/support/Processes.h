#pragma once
// What this test process has started and not yet reaped, read from /proc.

#include <QList>
#include <QString>

#include <sys/types.h>

namespace fixtures {

struct ChildInfo {
    pid_t pid = 0;
    QString name;  // the kernel's short command name, e.g. "lame"
    bool zombie = false;
};

// Children of this process that are still there, zombies included.
QList<ChildInfo> children();
// The same for any process, e.g. the encoders of a program a test started.
QList<ChildInfo> childrenOf(pid_t parent);

}  // namespace fixtures
