#include "pictures/metafile.h"

#include "pictures/metafile/emfplayer.h"
#include "pictures/metafile/gdicanvas.h"
#include "pictures/metafile/renderbudget.h"
#include "pictures/metafile/wmfplayer.h"

#include <QPainter>

#include <cmath>
#include <memory>

namespace orv {

namespace {

std::unique_ptr<MetafilePlayer> playerFor(const QByteArray& data, const std::optional<WmfFile::Framing>& wmfFraming)
{
    if (EmfPlayer::looksLike(data))
        return std::make_unique<EmfPlayer>(data);
    if (WmfPlayer::looksLike(data))
        return std::make_unique<WmfPlayer>(data, wmfFraming);
    return nullptr;
}

} // namespace

bool MetafileDocument::sizedByRecords(const QByteArray& head)
{
    return !EmfPlayer::looksLike(head) && WmfFile::sizedByRecords(head);
}

bool looksLikeMetafile(const QByteArray& head)
{
    return EmfPlayer::looksLike(head) || WmfPlayer::looksLike(head);
}

MetafileDocument::MetafileDocument(const QByteArray& data, double dpiX, double dpiY)
    : m_data(data)
    , m_dpiX(dpiX)
    , m_dpiY(dpiY)
{
}

std::shared_ptr<const MetafileDocument> MetafileDocument::open(const QByteArray& data, double dpiX, double dpiY,
                                                               QString* error, std::stop_token stop)
{
    auto failed = [error](const QString& why) {
        if (error)
            *error = why;
        return nullptr;
    };
    if (data.isEmpty())
        return failed(QStringLiteral("the metafile is empty"));
    if (!(dpiX > 0 && dpiX < 1e5 && dpiY > 0 && dpiY < 1e5))
        return failed(QStringLiteral("no usable screen resolution to size the metafile"));
    const std::unique_ptr<MetafilePlayer> player = playerFor(data, std::nullopt);
    if (!player)
        return failed(QStringLiteral("not a Windows metafile"));
    if (!player->open(stop))
        return failed(player->error());
    const QSizeF exact = player->pixelSize(dpiX, dpiY);
    const double w = std::max(1.0, std::round(exact.width()));
    const double h = std::max(1.0, std::round(exact.height()));
    if (!std::isfinite(w) || !std::isfinite(h) || w > 1e6 || h > 1e6)
        return failed(QStringLiteral("the metafile's picture is too large (%1 × %2 pixels)").arg(w).arg(h));
    std::shared_ptr<MetafileDocument> doc(new MetafileDocument(data, dpiX, dpiY));
    doc->m_size = QSize(int(w), int(h));
    doc->m_himetric = player->himetric();
    if (!EmfPlayer::looksLike(data))
        doc->m_wmfFraming = static_cast<const WmfPlayer&>(*player).framing();
    return doc;
}

MetafileDocument::Part MetafileDocument::render(const QRect& wanted, const std::atomic<bool>* cancel) const
{
    return render(wanted, RenderBudget::limitsFor(m_size, m_data.size()), cancel);
}

MetafileDocument::Part MetafileDocument::render(const QRect& wanted, const RenderBudget::Limits& limits,
                                                const std::atomic<bool>* cancel) const
{
    Part out;
    const QRect part = wanted.intersected(QRect(QPoint(), m_size));
    if (part.isEmpty()) {
        out.error = QStringLiteral("no part of the picture to render");
        return out;
    }
    // Framed as opening found it: a plain WMF is not walked again for every part.
    const std::unique_ptr<MetafilePlayer> player = playerFor(m_data, m_wmfFraming);
    if (!player || !player->open({})) {
        out.error = player ? player->error() : QStringLiteral("not a Windows metafile");
        return out;
    }
    QImage image(part.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        out.error = QStringLiteral("not enough memory for the metafile's picture");
        return out;
    }
    image.fill(Qt::white);
    image.setDotsPerMeterX(int(std::lround(m_dpiX / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(m_dpiY / 0.0254)));

    // The device frame onto the whole picture; the canvas moves it onto this part last.
    const QRectF frame = player->deviceFrame();
    QTransform deviceToImage;
    deviceToImage.scale(m_size.width() / frame.width(), m_size.height() / frame.height());
    deviceToImage.translate(-frame.left(), -frame.top());
    RenderBudget budget(limits, cancel);
    bool played = false;
    {
        QPainter painter(&image);
        GdiCanvas canvas(painter, deviceToImage, player->deviceUnitsPerInch(), m_size, part.topLeft(), budget);
        played = player->play(canvas);
    }
    out.cost = RenderCost {budget.work(),         budget.surfaceWork(),    budget.rasterised(),
                           budget.dashPeriods(),  budget.bitmapPixels(),   budget.records(),
                           budget.bitmapsLeftOut(), budget.stopped() && !budget.cancelled()};
    if (!played) {
        out.error = player->error();
        return out;
    }
    out.image = image;
    return out;
}

RenderedMetafile renderMetafile(const QByteArray& data, double dpiX, double dpiY, qint64 maxPixels)
{
    RenderedMetafile result;
    QString why;
    const std::shared_ptr<const MetafileDocument> doc = MetafileDocument::open(data, dpiX, dpiY, &why);
    if (!doc) {
        result.error = why;
        return result;
    }
    const QSize size = doc->size();
    if (qint64(size.width()) * size.height() > maxPixels) {
        result.error = QStringLiteral("the metafile's picture is too large (%1 × %2 pixels)").arg(size.width()).arg(size.height());
        return result;
    }
    MetafileDocument::Part whole = doc->render(QRect(QPoint(), size));
    result.cost = whole.cost;
    if (!whole.error.isEmpty()) {
        result.error = whole.error;
        return result;
    }
    result.image = whole.image;
    result.himetric = doc->himetric();
    return result;
}

} // namespace orv
