#pragma once

// What the picture benchmarks share: the program's real services, and the peak memory.
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "pictures/pictureloader.h"
#include "platform/core/processenvironment.h"
#include "platform/core/volumelist.h"
#include "platform/screenmetrics.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace orv::bench {

// The services a window needs for pictures, as the program builds them, with a store of its own.
struct RealServices {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("config"))};
    QtPrompts prompts;
    QtScreenMetrics screen;
    StorageVolumeList volumes;
    RealProcessEnvironment process;
    QtPictureLoader pictures{1440.0 / screen.twipsPerPixelX(), 1440.0 / screen.twipsPerPixelY(),
                             256LL * 1024 * 1024, 384};
    AppContext ctx{store, prompts, PlatformServices{&screen, &volumes, nullptr, &process, &pictures}};
};

// Peak resident memory in kB. VmHWM is this process's own; ru_maxrss would also count what the
// parent held before the exec.
inline long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace orv::bench
