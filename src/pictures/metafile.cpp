#include "pictures/metafile.h"

#include "pictures/metafile/emfplayer.h"
#include "pictures/metafile/gdicanvas.h"
#include "pictures/metafile/wmfplayer.h"

#include <QPainter>

#include <cmath>
#include <memory>

namespace orv {

bool looksLikeMetafile(const QByteArray& head)
{
    return EmfPlayer::looksLike(head) || WmfPlayer::looksLike(head);
}

RenderedMetafile renderMetafile(const QByteArray& data, double dpiX, double dpiY, qint64 maxPixels)
{
    RenderedMetafile result;
    auto failed = [&result](const QString& why) {
        result.image = QImage();
        result.error = why;
        return result;
    };
    if (data.isEmpty())
        return failed(QStringLiteral("the metafile is empty"));
    if (!(dpiX > 0 && dpiX < 1e5 && dpiY > 0 && dpiY < 1e5))
        return failed(QStringLiteral("no usable screen resolution to size the metafile"));

    std::unique_ptr<MetafilePlayer> player;
    if (EmfPlayer::looksLike(data))
        player = std::make_unique<EmfPlayer>(data);
    else if (WmfPlayer::looksLike(data))
        player = std::make_unique<WmfPlayer>(data);
    else
        return failed(QStringLiteral("not a Windows metafile"));
    if (!player->open())
        return failed(player->error());

    const QSizeF exact = player->pixelSize(dpiX, dpiY);
    const double w = std::max(1.0, std::round(exact.width()));
    const double h = std::max(1.0, std::round(exact.height()));
    if (!std::isfinite(w) || !std::isfinite(h) || w > 1e6 || h > 1e6 || w * h > double(maxPixels))
        return failed(QStringLiteral("the metafile's picture is too large (%1 × %2 pixels)").arg(w).arg(h));
    result.himetric = player->himetric();

    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        return failed(QStringLiteral("not enough memory for the metafile's picture"));
    image.fill(Qt::white);
    image.setDotsPerMeterX(int(std::lround(dpiX / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpiY / 0.0254)));

    const QRectF frame = player->deviceFrame();
    QTransform deviceToImage;
    deviceToImage.scale(w / frame.width(), h / frame.height());
    deviceToImage.translate(-frame.left(), -frame.top());
    bool played = false;
    {
        QPainter painter(&image);
        GdiCanvas canvas(painter, deviceToImage, player->deviceUnitsPerInch());
        played = player->play(canvas);
    }
    if (!played)
        return failed(player->error());
    result.image = image;
    return result;
}

} // namespace orv
