#pragma once

#include "bytereader.h"

#include <QList>

// EMF+: the GDI+ drawing records that enhanced metafiles carry inside their comment records.
namespace orv::emfplus {

enum RecordType : quint16 {
    Header = 0x4001, EndOfFile, Comment, GetDC, MultiFormatStart, MultiFormatSection, MultiFormatEnd, Object, Clear,
    FillRects, DrawRects, FillPolygon, DrawLines, FillEllipse, DrawEllipse, FillPie, DrawPie, DrawArc, FillRegion,
    FillPath, DrawPath, FillClosedCurve, DrawClosedCurve, DrawCurve, DrawBeziers, DrawImage, DrawImagePoints,
    DrawString, SetRenderingOrigin, SetAntiAliasMode, SetTextRenderingHint, SetTextContrast, SetInterpolationMode,
    SetPixelOffsetMode, SetCompositingMode, SetCompositingQuality, Save, Restore, BeginContainer,
    BeginContainerNoParams, EndContainer, SetWorldTransform, ResetWorldTransform, MultiplyWorldTransform,
    TranslateWorldTransform, ScaleWorldTransform, RotateWorldTransform, SetPageTransform, ResetClip, SetClipRect,
    SetClipPath, SetClipRegion, OffsetClip, DrawDriverString, StrokeFillPath, SerializableObject, SetTSGraphics,
    SetTSClip,
};

enum ObjectType : quint8 {
    BrushObject = 1, PenObject, PathObject, RegionObject, ImageObject, FontObject, StringFormatObject,
    ImageAttributesObject, CustomLineCapObject,
};

// Flags the drawing records share.
enum RecordFlag : quint16 {
    SolidColour = 0x8000,    // S: the brush field is an ARGB colour, not an object
    Compressed = 0x4000,     // C: points and rectangles as 16-bit integers
    Relative = 0x0800,       // P: points relative to the previous one
    Closed = 0x2000,         // L on DrawLines, W (winding) on FillClosedCurve, A (append) on transforms
    ObjectContinues = 0x8000,
};

// What a GDI comment record holds: "EMF+" and then the records.
constexpr quint32 commentIdentifier = 0x2B464D45;

struct Record
{
    quint16 type = 0;
    quint16 flags = 0;
    ByteReader data;         // the record's data, after its 12-byte header
};

// True when the comment's data (after its size field) start with the EMF+ identifier.
bool holdsRecords(ByteReader commentData);

// The EMF+ records of a comment's data. ok is false when a record does not fit where it
// claims; the records before it are returned.
QList<Record> records(ByteReader commentData, bool* ok);

} // namespace orv::emfplus
