#include "common/windowregistry.h"

#include "common/closequery.h"

#include <QWidget>

namespace orv {

void WindowRegistry::add(const void* key, Finder find)
{
    windows_.append({key, std::move(find)});
}

void WindowRegistry::remove(const void* key)
{
    windows_.removeIf([key](const auto& entry) { return entry.first == key; });
}

bool WindowRegistry::mayCloseAll() const
{
    // A question may open or close windows; the order asked is the one at the start.
    const auto windows = windows_;
    for (const auto& entry : windows) {
        auto* query = dynamic_cast<CloseQuery*>(entry.second());
        if (query && !query->mayClose())
            return false;
    }
    return true;
}

} // namespace orv
