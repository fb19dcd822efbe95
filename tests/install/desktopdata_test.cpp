#include "browser/core/dispatchtable.h"
#include "common/appcontext.h"

#include <QFile>
#include <QImage>
#include <QMap>
#include <QMimeDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kAssets = QStringLiteral(ORVANE_ASSETS);

QImage rendered(const QString& svgPath, int size)
{
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.render(&p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Pixels whose colour or coverage differs by more than an anti-aliasing step.
int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                          + std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
            if (d > 24)
                ++count;
        }
    }
    return count;
}

} // namespace

// The desktop scales the vector icon to any size: it must be the same picture as the drawn one,
// gradients and translucent highlights included, not an empty or partial drawing.
TEST(ThemeIcons, ScalableIconDrawsThePictureOfTheLargeOne)
{
    const QImage drawn(kAssets + QStringLiteral("/orvane-256.png"));
    ASSERT_EQ(drawn.size(), QSize(256, 256));
    const QImage vector = rendered(kAssets + QStringLiteral("/orvane.svg"), 256);
    ASSERT_FALSE(vector.isNull()) << "orvane.svg does not parse";
    EXPECT_LT(differingPixels(vector, drawn.convertToFormat(QImage::Format_ARGB32)), 256 * 256 / 200);
}

// The desktop entry, the metadata and the package name the site the program itself opens, and
// the application id is that site's name reversed.
TEST(DesktopData, IdAndHomepageComeFromTheProgramsSite)
{
    EXPECT_EQ(QStringLiteral(ORVANE_SITE), orv::AppContext::SiteAddress);
    QStringList labels = QUrl(orv::AppContext::SiteAddress).host().split(QLatin1Char('.'));
    std::reverse(labels.begin(), labels.end());
    const QString reversed = labels.join(QLatin1Char('.')).replace(QLatin1Char('-'), QLatin1Char('_'));
    EXPECT_TRUE(QStringLiteral(ORVANE_APP_ID).startsWith(reversed + QLatin1Char('.'))) << ORVANE_APP_ID;
}

namespace {

// The desktop entry's MIME types and, for each, its file-name patterns: from the shared MIME
// database, or from our own definitions for the two zip-packed module kinds.
QMap<QString, QStringList> claimedTypes()
{
    QFile entry(QStringLiteral(ORVANE_DESKTOP_FILE));
    EXPECT_TRUE(entry.open(QIODevice::ReadOnly)) << ORVANE_DESKTOP_FILE;
    QStringList types;
    for (const QByteArray& line : entry.readAll().split('\n'))
        if (line.startsWith("MimeType="))
            types = QString::fromUtf8(line.mid(9)).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QFile own(QStringLiteral(ORVANE_MIME_XML));
    EXPECT_TRUE(own.open(QIODevice::ReadOnly));
    const QString ownXml = QString::fromUtf8(own.readAll());

    QMap<QString, QStringList> globs;
    const QMimeDatabase db;
    for (const QString& type : types) {
        const QMimeType t = db.mimeTypeForName(type);
        if (t.isValid() && t.name() == type && !t.globPatterns().isEmpty()) {
            globs[type] = t.globPatterns();
            continue;
        }
        const QRegularExpression def(QStringLiteral("<mime-type type=\"%1\">.*?</mime-type>")
                                         .arg(QRegularExpression::escape(type)),
                                     QRegularExpression::DotMatchesEverythingOption);
        const QString block = def.match(ownXml).captured(0);
        QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("<glob pattern=\"([^\"]+)\"")).globalMatch(block);
        while (it.hasNext())
            globs[type].append(it.next().captured(1));
        EXPECT_FALSE(globs[type].isEmpty()) << "no patterns known for " << type.toStdString();
    }
    return globs;
}

bool opensItself(const QString& fileName)
{
    const orv::DispatchPlan plan = orv::planDispatch(orv::asOwnKind(QStringLiteral("/f/") + fileName), 0);
    return plan.playModuleFirst
           || (plan.byTail != orv::FileAction::None && plan.byTail != orv::FileAction::HandToSystem
               && plan.byTail != orv::FileAction::OpenHelp && plan.byTail != orv::FileAction::RunProgram);
}

} // namespace

// The desktop offers the program for exactly the kinds it opens itself: each of its own file
// kinds has a type in the entry, and every file a listed type stands for opens when the desktop
// hands it over. The two patterns left out name formats the module plug-in does not read
// (MikMod's own) and revision-control files, which no viewer is asked for.
TEST(DesktopData, MimeTypesMatchWhatTheProgramOpens)
{
    const QMap<QString, QStringList> claimed = claimedTypes();
    ASSERT_FALSE(claimed.isEmpty());
    QStringList allGlobs;
    for (const QStringList& g : claimed)
        allGlobs += g;
    for (const char* own : {"bmp", "dib", "gif", "jpg", "ico", "cur", "wmf", "wav", "avi", "mod", "mdz", "s3m",
                            "xm", "itz", "it", "txt"}) {
        EXPECT_TRUE(opensItself(QStringLiteral("a.") + QLatin1String(own))) << own;
        EXPECT_TRUE(allGlobs.contains(QStringLiteral("*.") + QLatin1String(own))) << "no type claims ." << own;
    }
    const QStringList leftOut = {QStringLiteral("*.uni"), QStringLiteral("*,v")};
    for (auto it = claimed.begin(); it != claimed.end(); ++it) {
        for (const QString& glob : it.value()) {
            if (leftOut.contains(glob))
                continue;
            EXPECT_TRUE(glob.startsWith(QLatin1String("*.")) && opensItself(QStringLiteral("file") + glob.mid(1)))
                << it.key().toStdString() << " claims " << glob.toStdString() << ", which the program does not open";
        }
    }
}
