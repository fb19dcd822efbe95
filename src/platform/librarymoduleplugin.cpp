#include "librarymoduleplugin.h"

#include "platform/modplughost.h"

#include <QDir>
#include <QFile>

namespace orv {

const QString LibraryModulePlugin::FileName = QStringLiteral("liborvane-modplug.so");

LibraryModulePlugin::LibraryModulePlugin(AudioOutput& output, const QString& folder)
    : m_output(output), m_library(QDir(folder).filePath(FileName))
{
}

LibraryModulePlugin::~LibraryModulePlugin()
{
    // The program is ending: what still plays stops with it, and nothing is left to leak. The
    // library stays mapped; its code may still be on another thread's stack until then.
    if (m_create) {
        for (const quint32 handle : m_live)
            m_destroy(handle);
    }
}

bool LibraryModulePlugin::resolve()
{
    if (!m_tried) {
        m_tried = true;
        if (m_library.load()) {
            m_create = reinterpret_cast<CreateFn>(m_library.resolve("ModPlug_CreateEx"));
            m_setWindow = reinterpret_cast<WindowFn>(m_library.resolve("ModPlug_SetWindow"));
            m_load = reinterpret_cast<PathFn>(m_library.resolve("ModPlug_Load"));
            m_play = reinterpret_cast<HandleFn>(m_library.resolve("ModPlug_Play"));
            m_stop = reinterpret_cast<HandleFn>(m_library.resolve("ModPlug_Stop"));
            m_destroy = reinterpret_cast<HandleFn>(m_library.resolve("ModPlug_Destroy"));
        }
        // A library without all six calls is no plug-in: every call fails, as with none.
        if (!(m_create && m_setWindow && m_load && m_play && m_stop && m_destroy))
            m_create = nullptr;
    }
    return m_create != nullptr;
}

bool LibraryModulePlugin::createEx(const QString& params, quint32& handle)
{
    if (!resolve())
        return false;
    handle = m_create(params.toLocal8Bit().constData());
    if (handle != 0)
        m_live.insert(handle);
    return true;
}

bool LibraryModulePlugin::setWindow(quint32 handle, QWidget* window)
{
    if (!resolve())
        return false;
    ModPlugHost host;
    host.output = &m_output;
    host.window = window;
    m_setWindow(handle, &host);
    return true;
}

bool LibraryModulePlugin::load(quint32 handle, const QString& path)
{
    if (!resolve())
        return false;
    m_load(handle, QFile::encodeName(path).constData());
    return true;
}

bool LibraryModulePlugin::play(quint32 handle)
{
    if (!resolve())
        return false;
    m_play(handle);
    return true;
}

bool LibraryModulePlugin::stop(quint32 handle)
{
    if (!resolve())
        return false;
    m_stop(handle);
    return true;
}

bool LibraryModulePlugin::destroy(quint32 handle)
{
    if (!resolve())
        return false;
    m_destroy(handle);
    m_live.erase(handle);
    return true;
}

} // namespace orv
