#pragma once

#include "emfplusobjects.h"
#include "pictures/core/bytereader.h"
#include "pictures/core/emfplusrecords.h"

#include <QBrush>
#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <array>
#include <map>
#include <optional>
#include <vector>

class QPainter;

namespace orv {

class GdiCanvas;

// Plays the EMF+ records an enhanced metafile carries in its comment records, onto the canvas
// its EMF records draw on, with a state of its own (object table, world and page transforms,
// clipping, saved states), and says whether the EMF records around them should draw.
//
// In a dual file the EMF records repeat the EMF+ drawing for programs that cannot read it:
// they are left out after EMF+ records that play whole, and used after those that do not (a
// record of a kind not played here, an object that cannot be read), which then change only the
// EMF+ state. In an EMF+-only file the EMF+ records draw what they can and the EMF records
// draw only after a GetDC record.
class EmfPlusPlayer
{
public:
    explicit EmfPlusPlayer(GdiCanvas& canvas);

    // Plays the comment's records when it holds EMF+ records; false for any other comment.
    bool playComment(ByteReader commentData);
    // Whether the EMF records that follow the last EMF+ records should draw.
    bool emfDraws() const;

    struct Playback;

private:
    struct State
    {
        QTransform world;
        emfplus::Unit pageUnit = emfplus::Unit::Pixel;
        double pageScale = 1;
        std::optional<QPainterPath> clip;   // picture pixels; none: the whole picture
        QPointF renderingOrigin;            // device pixels
        bool antialias = true;
        bool sourceCopy = false;
    };
    struct Saved
    {
        quint32 index = 0;
        State state;
    };
    // An object whose data comes in several records.
    struct PendingObject
    {
        quint16 idAndType = 0;
        quint32 total = 0;
        QByteArray bytes;
    };
    struct Memory
    {
        State state;
        std::vector<Saved> saved;
        std::array<emfplus::GraphicsObject, 64> objects;
        std::optional<PendingObject> pending;
    };

    bool playRecord(const emfplus::Record& record);

    // Transforms
    double unitToDevice(emfplus::Unit unit) const;
    QTransform pageTransform() const;
    QTransform worldToImage() const;
    double inWorldUnits(double value, emfplus::Unit unit) const;

    // Objects
    bool storeObject(const emfplus::Record& record);
    template <typename T>
    const T* object(quint32 id) const;
    std::optional<emfplus::Brush> brushFor(const emfplus::Record& record, quint32 field) const;

    // Clipping
    void combineClip(const std::optional<QPainterPath>& imageShape, int mode);

    // Painting
    QPainter* painter();
    QBrush qbrush(const emfplus::Brush& brush, const QTransform& worldToImage) const;
    QPen qpen(const emfplus::Pen& pen, const QTransform& scaled, double imageScale) const;
    void fill(QPainterPath world, const emfplus::Brush& brush);
    void stroke(QPainterPath world, const emfplus::Pen& pen);
    void clear(const QColor& colour);
    bool drawImage(const emfplus::Image& image, QRectF source, const QTransform& sourceToWorld);
    bool drawString(const QString& text, const emfplus::Font& font, const emfplus::Brush& brush,
                    const emfplus::StringFormat* format, const QRectF& layout);
    bool drawGlyphs(const QString& text, const QList<QPointF>& positions, const emfplus::Font& font,
                    const emfplus::Brush& brush, const QTransform& glyphTransform);
    QBrush scaledBrush(const emfplus::Brush& brush, const QTransform& scaled, double imageScale) const;
    QFont qfont(const emfplus::Font& font, double worldEm, double imageScale) const;

    friend struct Playback;

    GdiCanvas& m_canvas;
    Memory m_memory;
    std::map<std::pair<const char*, quint8>, std::optional<emfplus::GraphicsObject>> m_readObjects;
    bool m_seenHeader = false;
    bool m_dual = false;
    bool m_ended = false;
    bool m_getDC = false;
    bool m_lastWhole = true;
    bool m_painting = false;
    QSizeF m_dpi {96, 96};
};

} // namespace orv
