#include "common/art.h"

#include <QByteArray>
#include <QHash>
#include <QPixmap>

namespace orv {

const QIcon& programIcon()
{
    static const QIcon icon = [] {
        QIcon made;
        for (const char* name : {"icon-16", "icon-32", "icon-48", "icon-64", "icon-256"})
            made.addPixmap(QPixmap::fromImage(artImage(name)));
        return made;
    }();
    return icon;
}

const QIcon& artIcon(const char* name)
{
    static QHash<QByteArray, QIcon> made;
    auto it = made.find(name);
    if (it == made.end())
        it = made.insert(name, QIcon(QPixmap::fromImage(artImage(name))));
    return *it;
}

} // namespace orv
