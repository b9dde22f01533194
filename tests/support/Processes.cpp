#include "support/Processes.h"

#include <QDir>

#include <unistd.h>

namespace fixtures {

QList<ChildInfo> children() {
    return childrenOf(getpid());
}

QList<ChildInfo> childrenOf(pid_t parent) {
    QList<ChildInfo> found;
    const QByteArray self = QByteArray::number(parent);
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state ppid ...": the name may itself hold blanks and parentheses.
        const QByteArray text = stat.readAll();
        const qsizetype open = text.indexOf('(');
        const qsizetype close = text.lastIndexOf(')');
        if (open < 0 || close < open) continue;
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() < 2 || fields[1] != self) continue;
        found.append({pid.toInt(), QString::fromLocal8Bit(text.mid(open + 1, close - open - 1)),
                      fields[0] == "Z"});
    }
    return found;
}

}  // namespace fixtures
