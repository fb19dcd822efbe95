#pragma once

#include <QList>
#include <QPair>

#include <functional>

class QWidget;

namespace orv {

// The program's windows in a fixed order, the order their slots were made. It holds the
// close query: before the program ends, every open window that has something to lose
// (a CloseQuery) is asked in that order whether it may close, and the first No stops it.
class WindowRegistry {
public:
    using Finder = std::function<QWidget*()>;

    // Adds a window, reached through `find` (null while it does not exist), after the others.
    void add(const void* key, Finder find);
    void remove(const void* key);

    // true when every open window agrees to close; a window asked may show its own question.
    bool mayCloseAll() const;

private:
    QList<QPair<const void*, Finder>> windows_;
};

} // namespace orv
