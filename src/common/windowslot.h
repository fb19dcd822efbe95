#pragma once

#include "common/windowregistry.h"

#include <QPointer>
#include <QWidget>

namespace orv {

// One entry of the window registry: the window is created on first use, hidden, and its load
// handler runs before the caller gets it; once destroyed (closed) the slot forgets it and the
// next use creates it anew. The pointer is kept before the load handler runs, so a load
// handler that reaches its own window again finds it instead of creating a second one.
template <class W>
class WindowSlot {
public:
    explicit WindowSlot(WindowRegistry& registry) : registry_(registry)
    {
        registry_.add(this, [this]() -> QWidget* { return w_.data(); });
    }
    ~WindowSlot() { registry_.remove(this); }
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;

    W* find() const { return w_.data(); }

    template <class Make>
    W& get(Make make)
    {
        if (!w_) {
            W* w = make();
            w_ = w;
            w->Form_Load();
        }
        return *w_;
    }

    // Destroys the window without running any close handler (the program is ending).
    void destroy() { delete w_.data(); }

private:
    WindowRegistry& registry_;
    QPointer<W> w_;
};

} // namespace orv
