#include "librarymoduleplugin.h"

#include "common/core/filenames.h"

#include "platform/modplughost.h"

#include <QDir>

namespace orv {

const QString LibraryModulePlugin::FileName = QStringLiteral("liborvane-modplug.so");

LibraryModulePlugin::LibraryModulePlugin(AudioOutput& output, const QString& folder)
    : output_(output), library_(QDir(folder).filePath(FileName))
{
}

LibraryModulePlugin::~LibraryModulePlugin()
{
    // The program is ending: what still plays stops with it, and nothing is left to leak. The
    // library stays mapped; its code may still be on another thread's stack until then.
    if (create_) {
        for (const quint32 handle : live_)
            destroy_(handle);
    }
}

bool LibraryModulePlugin::resolve()
{
    if (!tried_) {
        tried_ = true;
        if (library_.load()) {
            create_ = reinterpret_cast<CreateFn>(library_.resolve("ModPlug_CreateEx"));
            setWindow_ = reinterpret_cast<WindowFn>(library_.resolve("ModPlug_SetWindow"));
            load_ = reinterpret_cast<PathFn>(library_.resolve("ModPlug_Load"));
            play_ = reinterpret_cast<HandleFn>(library_.resolve("ModPlug_Play"));
            stop_ = reinterpret_cast<HandleFn>(library_.resolve("ModPlug_Stop"));
            destroy_ = reinterpret_cast<HandleFn>(library_.resolve("ModPlug_Destroy"));
        }
        // A library without all six calls is no plug-in: every call fails, as with none.
        if (!(create_ && setWindow_ && load_ && play_ && stop_ && destroy_))
            create_ = nullptr;
    }
    return create_ != nullptr;
}

bool LibraryModulePlugin::createEx(const QString& params, quint32& handle)
{
    if (!resolve())
        return false;
    handle = create_(params.toLocal8Bit().constData());
    if (handle != 0)
        live_.insert(handle);
    return true;
}

bool LibraryModulePlugin::setWindow(quint32 handle, QWidget* window)
{
    if (!resolve())
        return false;
    ModPlugHost host;
    host.output = &output_;
    host.window = window;
    setWindow_(handle, &host);
    return true;
}

bool LibraryModulePlugin::load(quint32 handle, const QString& path)
{
    if (!resolve())
        return false;
    load_(handle, encodeFileName(path).constData());
    return true;
}

bool LibraryModulePlugin::play(quint32 handle)
{
    if (!resolve())
        return false;
    play_(handle);
    return true;
}

bool LibraryModulePlugin::stop(quint32 handle)
{
    if (!resolve())
        return false;
    stop_(handle);
    return true;
}

bool LibraryModulePlugin::destroy(quint32 handle)
{
    if (!resolve())
        return false;
    destroy_(handle);
    live_.erase(handle);
    return true;
}

} // namespace orv
