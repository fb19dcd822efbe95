// libFuzzer target for the device-independent bitmap reader metafiles draw their bitmaps with:
// headers, colour tables, bit fields, run lengths and embedded JPEG or PNG.
#include "picturefuzzing.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);   // image readers for the embedded formats
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString why = orv::fuzzing::checkDib(bytes);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        std::abort();
    }
    return 0;
}
