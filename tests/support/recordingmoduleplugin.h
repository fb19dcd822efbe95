#pragma once

#include "platform/moduleplugin.h"

#include <QHash>
#include <QStringList>

class QWidget;

namespace orv::test {

// Records every plug-in call as text ("CreateEx loop|true = 1", "SetWindow 1", "Load 1 <path>",
// "Play 1", "Stop 1", "Destroy 1"); hands out handles 1, 2, ... and remembers which are alive
// and which window each was given. With `missing` set it behaves like an absent library.
class RecordingModulePlugin final : public ModulePlugin {
public:
    QStringList calls;
    QHash<quint32, QWidget*> windows;
    QList<quint32> alive;
    bool missing = false;
    quint32 nextHandle = 1;

    bool createEx(const QString& params, quint32& handle) override
    {
        if (missing)
            return false;
        handle = nextHandle++;
        alive.append(handle);
        calls.append(QStringLiteral("CreateEx %1 = %2").arg(params).arg(handle));
        return true;
    }
    bool setWindow(quint32 handle, QWidget* window) override
    {
        windows.insert(handle, window);
        return record(QStringLiteral("SetWindow %1").arg(handle));
    }
    bool load(quint32 handle, const QString& path) override
    {
        return record(QStringLiteral("Load %1 %2").arg(handle).arg(path));
    }
    bool play(quint32 handle) override { return record(QStringLiteral("Play %1").arg(handle)); }
    bool stop(quint32 handle) override { return record(QStringLiteral("Stop %1").arg(handle)); }
    bool destroy(quint32 handle) override
    {
        alive.removeAll(handle);
        return record(QStringLiteral("Destroy %1").arg(handle));
    }

private:
    bool record(const QString& call)
    {
        if (missing)
            return false;
        calls.append(call);
        return true;
    }
};

} // namespace orv::test
