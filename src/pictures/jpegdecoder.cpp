#include "pictures/jpegdecoder.h"

#include "common/core/filenames.h"

#include <QTransform>
#include <atomic>
#include <memory>
#include <thread>
#include <csetjmp>
#include <cstring>
#include <cstdio>
#include <jpeglib.h>
#include <sys/mman.h>

namespace orv {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {}

quint16 exifOrientation(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        const JOCTET* t = m->data + 6;
        const quint64 len = m->data_length - 6;
        const bool le = t[0] == 'I';
        // Offsets come from the file: 64 bits, so one near 2^32 cannot wrap past the length.
        auto u16 = [&](quint64 at) -> unsigned {
            return at + 2 > len ? 0 : le ? unsigned(t[at] | t[at + 1] << 8) : unsigned(t[at] << 8 | t[at + 1]);
        };
        auto u32 = [&](quint64 at) -> unsigned {
            return at + 4 > len ? 0 : le ? unsigned(u16(at) | u16(at + 2) << 16) : unsigned(u16(at) << 16 | u16(at + 2));
        };
        const quint64 ifd = u32(4);
        const unsigned count = u16(ifd);
        for (unsigned i = 0; i < count && i < 256; ++i) {
            const quint64 entry = ifd + 2 + quint64(i) * 12;
            if (entry + 12 > len)
                break;
            if (u16(entry) == 0x0112)
                return quint16(u16(entry + 8));
        }
    }
    return 1;
}

QImage oriented(QImage img, quint16 orientation)
{
    switch (orientation) {
    case 2: return img.mirrored(true, false);
    case 3: return img.mirrored(true, true);
    case 4: return img.mirrored(false, true);
    case 5: return img.transformed(QTransform(0, 1, 1, 0, 0, 0));
    case 6: return img.transformed(QTransform().rotate(90));
    case 7: return img.transformed(QTransform(0, -1, -1, 0, 0, 0));
    case 8: return img.transformed(QTransform().rotate(270));
    default: return img;
    }
}

} // namespace

namespace {

// One decompression; each step that can fail jumps back into its own frame only, so no
// C++ object is live across a longjmp.
class Decompressor {
public:
    explicit Decompressor(FILE* file) : file_(file)
    {
        cinfo_.err = jpeg_std_error(&err_.pub);
        err_.pub.error_exit = onError;
        err_.pub.emit_message = onMessage;
        jpeg_create_decompress(&cinfo_);
        jpeg_stdio_src(&cinfo_, file_);
        jpeg_save_markers(&cinfo_, JPEG_APP0 + 1, 0xFFFF);
    }
    ~Decompressor()
    {
        jpeg_destroy_decompress(&cinfo_);
        std::fclose(file_);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    bool readHeader()
    {
        if (setjmp(err_.jump))
            return false;
        jpeg_read_header(&cinfo_, TRUE);
        return true;
    }

    bool start()
    {
        if (setjmp(err_.jump))
            return false;
        // BGRX in memory is QImage::Format_RGB32 on a little-endian machine.
        cinfo_.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
        jpeg_start_decompress(&cinfo_);
        return true;
    }

    // Decodes rows up to (not including) `until` into the buffer at base; returns false on an
    // error. Rows decoded so far are counted in `ready`, which readers may watch.
    bool decodeRows(uchar* base, qsizetype bytesPerLine, JDIMENSION upTo, std::atomic<int>& ready,
                    const std::atomic<bool>* cancel = nullptr, const std::stop_token& stop = {})
    {
        const JDIMENSION until = std::min(upTo, cinfo_.output_height);
        if (setjmp(err_.jump))
            return false;
        JSAMPROW rowPointers[16];
        while (cinfo_.output_scanline < until) {
            if ((cancel && cancel->load(std::memory_order_relaxed)) || stop.stop_requested())
                return false;
            const JDIMENSION first = cinfo_.output_scanline;
            const JDIMENSION want = std::min<JDIMENSION>(16, until - first);
            for (JDIMENSION i = 0; i < want; ++i)
                rowPointers[i] = base + qsizetype(first + i) * bytesPerLine;
            const JDIMENSION got = jpeg_read_scanlines(&cinfo_, rowPointers, want);
            ready.store(int(first + got), std::memory_order_release);
        }
        if (cinfo_.output_scanline >= cinfo_.output_height)
            jpeg_finish_decompress(&cinfo_);
        return true;
    }

    jpeg_decompress_struct& info() { return cinfo_; }
    QString message() const { return QString::fromLatin1(err_.message); }

private:
    FILE* file_;
    jpeg_decompress_struct cinfo_{};
    ErrorManager err_{};
};

} // namespace

namespace {

struct Mapping {
    void* address;
    size_t bytes;
};

void unmapPixels(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    ::munmap(m->address, m->bytes);
    delete m;
}

// A large picture's pixels in a mapping of their own that the kernel backs with huge pages:
// a few dozen page faults instead of tens of thousands, which on a fresh 96 MB buffer cost
// more than the decoding itself. Small pictures take the ordinary allocator.
constexpr size_t kOwnMappingFrom = 8u << 20;

QImage freshImage(int width, int height)
{
    const qsizetype bpl = qsizetype(width) * 4;
    const size_t bytes = size_t(bpl) * size_t(height);
    if (bytes < kOwnMappingFrom)
        return QImage(width, height, QImage::Format_RGB32);
    void* address = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return {};
    ::madvise(address, bytes, MADV_HUGEPAGE);  // a hint; without it the picture is still whole
    auto* info = new Mapping{address, bytes};
    QImage image(static_cast<uchar*>(address), width, height, bpl, QImage::Format_RGB32, unmapPixels, info);
    if (image.isNull())
        unmapPixels(info);
    return image;
}

// Fills in a large picture's page tables on a thread of its own, ahead of the decoder: the
// kernel clears every page the first time it is written, and that costs several percent of a
// 24 MP decode when it falls between the decoder's rows. Populating writes no byte, so it may
// race the decoder over the same pages.
class Prefault {
public:
    Prefault(uchar* base, size_t bytes)
    {
        worker_ = std::thread([this, base, bytes] {
            constexpr size_t kChunk = 4u << 20;
            for (size_t at = 0; at < bytes && !stop_.load(std::memory_order_relaxed); at += kChunk) {
                if (::madvise(base + at, std::min(kChunk, bytes - at), MADV_POPULATE_WRITE) != 0)
                    return;  // an older kernel: the decoder faults them in itself
            }
        });
    }
    ~Prefault()
    {
        stop_.store(true);
        worker_.join();
    }
    Prefault(const Prefault&) = delete;
    Prefault& operator=(const Prefault&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

void fillGrey(uchar* base, qsizetype bytesPerLine, int width, int fromRow, int toRow)
{
    for (int y = fromRow; y < toRow; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(base + qsizetype(y) * bytesPerLine), width, qRgb(128, 128, 128));
}

// The rest of a JPEG, decoded on a worker thread into the rows of a picture the UI already
// shows. The UI reads only rows below rowsReady(), the worker writes only rows at or above it.
class JpegCompletion final : public PictureCompletion {
public:
    JpegCompletion(std::unique_ptr<Decompressor> d, QImage image, uchar* base, int firstRows,
                   std::unique_ptr<Prefault> prefault)
        : d_(std::move(d)), keep_(std::move(image)), prefault_(std::move(prefault)), base_(base),
          bpl_(keep_.bytesPerLine())
    {
        ready_.store(firstRows);
        worker_ = std::thread([this] { run(); });
    }

    ~JpegCompletion() override
    {
        cancel_.store(true);
        if (worker_.joinable())
            worker_.join();
    }

    int rowsReady() const override { return ready_.load(std::memory_order_acquire); }
    bool isDone() const override { return done_.load(std::memory_order_acquire); }

    void waitUntilDone() override
    {
        if (worker_.joinable())
            worker_.join();
    }

private:
    void run()
    {
        const int height = keep_.height();
        std::atomic<int> progress{ready_.load()};
        // Report in slices so the UI repaints as the picture fills in, not on every row.
        const int slice = std::max(64, height / 16);
        bool ok = true;
        while (ok && progress.load() < height && !cancel_.load()) {
            ok = d_->decodeRows(base_, bpl_, JDIMENSION(progress.load() + slice), progress, &cancel_);
            publish(progress.load());
        }
        if (progress.load() < height && !cancel_.load()) {
            // Cut short: the rows that never came are grey, not leftover memory.
            fillGrey(base_, bpl_, keep_.width(), progress.load(), height);
        }
        d_.reset();
        prefault_.reset();
        // Done before the last report, so whoever handles it sees the picture complete.
        done_.store(true, std::memory_order_release);
        publish(height);
    }

    void publish(int rows)
    {
        ready_.store(rows, std::memory_order_release);
        QMetaObject::invokeMethod(this, &PictureCompletion::progressed, Qt::QueuedConnection);
    }

    std::unique_ptr<Decompressor> d_;
    QImage keep_;  // holds the pixel buffer while the worker writes into it
    std::unique_ptr<Prefault> prefault_;
    uchar* base_;
    qsizetype bpl_;
    std::atomic<int> ready_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::thread worker_;
};

} // namespace

DecodedJpeg decodeJpeg(const QString& path, qint64 maxPixels, int firstRows, std::stop_token stop)
{
    DecodedJpeg out;
    FILE* file = std::fopen(encodeFileName(path).constData(), "rb");
    if (!file) {
        out.error = QStringLiteral("cannot open");
        return out;
    }
    auto d = std::make_unique<Decompressor>(file);
    if (!d->readHeader()) {
        out.error = d->message();
        return out;
    }
    const jpeg_decompress_struct& info = d->info();
    if (info.image_width == 0 || info.image_height == 0
        || qint64(info.image_width) * info.image_height > maxPixels) {
        out.error = QStringLiteral("picture too large");
        return out;
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        // Not in the fast path; Qt's reader converts these.
        out.error = QStringLiteral("cmyk");
        return out;
    }
    const quint16 orientation = exifOrientation(info);
    if (!d->start()) {
        out.error = d->message();
        return out;
    }
    QImage image = freshImage(int(info.output_width), int(info.output_height));
    if (image.isNull()) {
        out.error = QStringLiteral("out of memory");
        return out;
    }
    // The pixel pointer is taken once, before the picture is shared with anyone.
    uchar* base = image.bits();
    const qsizetype bpl = image.bytesPerLine();
    const int height = image.height();
    std::unique_ptr<Prefault> prefault;
    if (size_t(image.sizeInBytes()) >= kOwnMappingFrom)
        prefault = std::make_unique<Prefault>(base, size_t(image.sizeInBytes()));
    const bool progressive = orientation <= 1 && firstRows > 0 && firstRows < height;
    std::atomic<int> ready{0};
    const bool ok = d->decodeRows(base, bpl, JDIMENSION(progressive ? firstRows : height), ready, nullptr, stop);
    if (stop.stop_requested()) {
        out.error = QStringLiteral("cancelled");
        return out;
    }
    const int rows = ready.load();
    if (rows == 0) {
        out.error = ok ? QStringLiteral("no rows") : d->message();
        return out;
    }
    if (!ok || !progressive) {
        prefault.reset();
        fillGrey(base, bpl, image.width(), rows, height);
        out.image = orientation > 1 ? oriented(std::move(image), orientation) : std::move(image);
        return out;
    }
    out.image = image;
    out.completion = std::make_shared<JpegCompletion>(std::move(d), std::move(image), base, rows, std::move(prefault));
    return out;
}

} // namespace orv
