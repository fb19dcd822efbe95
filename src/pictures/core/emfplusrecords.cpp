#include "emfplusrecords.h"

namespace orv::emfplus {

bool holdsRecords(ByteReader commentData)
{
    const quint32 identifier = commentData.u32();
    return commentData.ok() && identifier == commentIdentifier;
}

QList<Record> records(ByteReader commentData, bool* ok)
{
    QList<Record> list;
    *ok = holdsRecords(commentData);
    if (!*ok)
        return list;
    commentData.seek(4);
    while (commentData.remaining() > 0) {
        const qint64 at = commentData.pos();
        Record record;
        record.type = commentData.u16();
        record.flags = commentData.u16();
        const quint32 size = commentData.u32();
        const quint32 dataSize = commentData.u32();
        if (!commentData.ok() || size < 12 || dataSize > size - 12 || !commentData.range(at, size).ok()) {
            *ok = false;
            return list;
        }
        record.data = commentData.range(at + 12, dataSize);
        list.append(record);
        commentData.seek(at + size);
    }
    return list;
}

} // namespace orv::emfplus
