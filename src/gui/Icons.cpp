#include "gui/Icons.h"

#include <QString>

// The icons are compiled into a static library; register them before use.
static void initIconResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
}

namespace gui {

namespace {

QIcon builtIn(const QString& stem, std::initializer_list<int> sizes) {
    initIconResources();
    QIcon icon;
    for (int size : sizes)
        icon.addFile(QStringLiteral(":/sonbridge/icons/%1-%2.png").arg(stem).arg(size),
                     QSize(size, size));
    return icon;
}

QIcon themed(const char* themeName, const QString& stem, std::initializer_list<int> sizes) {
    return QIcon::fromTheme(QLatin1String(themeName), builtIn(stem, sizes));
}

}  // namespace

QIcon programIcon() {
    return builtIn(QStringLiteral("sonbridge"), {16, 32, 48, 128});
}

QIcon commandIcon(ButtonIcon which) {
    switch (which) {
        case ButtonIcon::Add:
            return themed("list-add", QStringLiteral("add"), {24, 48});
        case ButtonIcon::Remove:
            return themed("list-remove", QStringLiteral("remove"), {24, 48});
        case ButtonIcon::Play:
            return themed("media-playback-start", QStringLiteral("play"), {24, 48});
        case ButtonIcon::Stop:
            return themed("media-playback-stop", QStringLiteral("stop"), {24, 48});
        case ButtonIcon::Convert:
            return themed("system-run", QStringLiteral("convert"), {24, 48});
    }
    return QIcon();
}

QIcon audioFileIcon() {
    return themed("audio-x-generic", QStringLiteral("audio-file"), {16, 32});
}

}  // namespace gui
