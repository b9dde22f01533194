#include "gui/AudioFiles.h"

#include "core/NativePath.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace gui {

QString absolutePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/'))) return path;
    std::unique_ptr<char, decltype(&::free)> cwd(::getcwd(nullptr, 0), &::free);
    if (!cwd) return path;
    QString folder = core::pathFromNative(QByteArrayView(cwd.get()));
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + path;
}

}  // namespace gui
