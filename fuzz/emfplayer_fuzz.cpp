// libFuzzer target for the EMF player: the headers, the record framing and every record's
// handler, drawn onto two parts of the picture within the render budget.
#include "picturefuzzing.h"
#include "pictures/core/emffile.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);   // fonts for the text records
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!orv::EmfFile::looksLike(bytes))
        return -1;   // the other player's, or nobody's
    const QString why = orv::fuzzing::checkMetafile(bytes, nullptr, orv::fuzzing::MetafileBudget::Fuzzing);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        std::abort();
    }
    return 0;
}
