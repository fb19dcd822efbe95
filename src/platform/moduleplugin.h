#pragma once

#include <QString>

class QWidget;

namespace orv {

// The module plug-in's six calls, in the order the program makes them: createEx, setWindow,
// load, play, later stop and destroy. Each returns false only when the plug-in itself cannot
// be used (its library is missing or incomplete); what a call achieved is the plug-in's affair
// and is not reported. createEx hands back the new instance's handle.
class ModulePlugin {
public:
    virtual ~ModulePlugin() = default;
    virtual bool createEx(const QString& params, quint32& handle) = 0;
    virtual bool setWindow(quint32 handle, QWidget* window) = 0;
    virtual bool load(quint32 handle, const QString& path) = 0;
    virtual bool play(quint32 handle) = 0;
    virtual bool stop(quint32 handle) = 0;
    virtual bool destroy(quint32 handle) = 0;
};

} // namespace orv
