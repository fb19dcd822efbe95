#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace orv::test {

// A window's control found by its object name, the name the program knows it by. A control
// that is not there throws, which fails the test that asked for it.
template <class T>
T& control(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        throw std::logic_error(std::string("no control named ") + name + " in "
                               + window.objectName().toStdString());
    return *found;
}

} // namespace orv::test
