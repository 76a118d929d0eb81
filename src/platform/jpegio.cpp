#include "platform/jpegio.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the routine that started the work.  Messages are kept
// here instead of being printed.
struct ErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool tolerateEof;  // every row is decoded: running out of data is harmless now
};

ErrorManager* Manager(j_common_ptr cinfo)
{
    return reinterpret_cast<ErrorManager*>(cinfo->err);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    ErrorManager* err = Manager(cinfo);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level < 0) are counted and otherwise ignored, except a stream
// that ends early: libjpeg would fill the missing rows with grey and call it
// a picture, which would silently show (and later store) a damaged photo.
void EmitMessage(j_common_ptr cinfo, int level)
{
    ErrorManager* err = Manager(cinfo);
    if (level >= 0)
        return;  // trace messages
    if (cinfo->err->msg_code == JWRN_JPEG_EOF && !err->tolerateEof) {
        (*cinfo->err->format_message)(cinfo, err->message);
        std::longjmp(err->jump, 1);
    }
    cinfo->err->num_warnings++;
}

void OutputMessage(j_common_ptr) {}

void InstallErrorManager(j_common_ptr cinfo, ErrorManager& err)
{
    cinfo->err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.message[0] = '\0';
    err.tolerateEof = false;
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool ReadWholeFile(const QString& path, QByteArray& bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString()));
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        SetError(error, QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

// ---- decoding ----

// Everything the jump may cross lives here, outside the frame that calls
// setjmp, so nothing is left in an indeterminate state after a jump.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QImage image;
    std::vector<JSAMPLE> row;
    QString failure;  // a failure found by our own checks (not libjpeg's)
};

bool RunDecode(DecodeState& s, const QByteArray& bytes)
{
    if (setjmp(s.err.jump))
        return false;

    jpeg_create_decompress(&s.cinfo);
    jpeg_mem_src(&s.cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&s.cinfo, TRUE);

    const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
    s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;

    // Refuse sizes beyond Qt's own image allocation limit before anything
    // is allocated: a few damaged header bytes can claim gigabytes.
    const qint64 w = s.cinfo.image_width;
    const qint64 h = s.cinfo.image_height;
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    if (w <= 0 || h <= 0 || (limit > 0 && w * h * 4 > limit)) {
        s.failure = QStringLiteral("JPEG picture too large (%1 x %2)").arg(w).arg(h);
        return false;
    }

    jpeg_start_decompress(&s.cinfo);
    const int width = int(s.cinfo.output_width);
    const int height = int(s.cinfo.output_height);
    const int components = s.cinfo.output_components;
    if ((components != 3 && !cmyk) || (components != 4 && cmyk)) {
        s.failure = QStringLiteral("Unsupported JPEG colour layout");
        return false;
    }
    s.image = QImage(width, height, QImage::Format_RGB32);
    if (s.image.isNull()) {
        s.failure = QStringLiteral("Not enough memory for a %1 x %2 picture").arg(width).arg(height);
        return false;
    }
    s.row.resize(size_t(width) * size_t(components));

    // Adobe writes CMYK inverted (255 = no ink); other writers store the ink.
    const bool inverted = s.cinfo.saw_Adobe_marker;
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const int y = int(s.cinfo.output_scanline);
        JSAMPROW rowPtr = s.row.data();
        if (jpeg_read_scanlines(&s.cinfo, &rowPtr, 1) != 1) {
            s.failure = QStringLiteral("JPEG data ended early");
            return false;
        }
        auto* out = reinterpret_cast<QRgb*>(s.image.scanLine(y));
        const JSAMPLE* in = s.row.data();
        if (!cmyk) {
            for (int x = 0; x < width; ++x, in += 3)
                out[x] = qRgb(in[0], in[1], in[2]);
        } else {
            for (int x = 0; x < width; ++x, in += 4) {
                int c = in[0], m = in[1], yy = in[2], k = in[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                out[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
            }
        }
    }
    s.err.tolerateEof = true;
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

// ---- encoding ----

// Destination that appends the compressed bytes to a QByteArray.
struct ByteArrayDestination {
    jpeg_destination_mgr pub;  // first member
    QByteArray* out;
    JOCTET buffer[16384];
};

void InitDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<ByteArrayDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof(dest->buffer);
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<ByteArrayDestination*>(cinfo->dest);
    dest->out->append(reinterpret_cast<const char*>(dest->buffer), qsizetype(sizeof(dest->buffer)));
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof(dest->buffer);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<ByteArrayDestination*>(cinfo->dest);
    const size_t used = sizeof(dest->buffer) - dest->pub.free_in_buffer;
    dest->out->append(reinterpret_cast<const char*>(dest->buffer), qsizetype(used));
}

struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    ByteArrayDestination dest;
    QByteArray out;
};

bool RunEncode(EncodeState& s, const QImage& rgb, int quality)
{
    if (setjmp(s.err.jump))
        return false;

    jpeg_create_compress(&s.cinfo);
    s.dest.pub.init_destination = InitDestination;
    s.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    s.dest.pub.term_destination = TermDestination;
    s.dest.out = &s.out;
    s.cinfo.dest = &s.dest.pub;

    s.cinfo.image_width = JDIMENSION(rgb.width());
    s.cinfo.image_height = JDIMENSION(rgb.height());
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        // libjpeg only reads the row; its API just lacks the const.
        JSAMPROW rowPtr = const_cast<JSAMPLE*>(rgb.constScanLine(int(s.cinfo.next_scanline)));
        jpeg_write_scanlines(&s.cinfo, &rowPtr, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes, QString* error)
{
    if (bytes.isEmpty()) {
        SetError(error, QStringLiteral("Empty JPEG data"));
        return QImage();
    }
    auto s = std::make_unique<DecodeState>();
    std::memset(&s->cinfo, 0, sizeof(s->cinfo));
    InstallErrorManager(reinterpret_cast<j_common_ptr>(&s->cinfo), s->err);
    const bool ok = RunDecode(*s, bytes);
    jpeg_destroy_decompress(&s->cinfo);
    if (!ok) {
        SetError(error, !s->failure.isEmpty() ? s->failure
                                              : QStringLiteral("Invalid JPEG data: %1")
                                                    .arg(QString::fromLocal8Bit(s->err.message)));
        return QImage();
    }
    return std::move(s->image);
}

bool LoadJpegFile(const QString& path, QImage& image, QString* error)
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, error))
        return false;
    QImage decoded = DecodeJpeg(bytes, error);
    if (decoded.isNull())
        return false;
    image = std::move(decoded);
    return true;
}

bool LoadPictureFile(const QString& path, QImage& image, QByteArray* jpeg, QString* error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") || suffix == QLatin1String("jpe") ||
        suffix == QLatin1String("jfif")) {
        QByteArray bytes;
        if (!ReadWholeFile(path, bytes, error))
            return false;
        QString why;
        QImage decoded = DecodeJpeg(bytes, &why);
        if (decoded.isNull()) {
            SetError(error, QStringLiteral("Cannot read %1: %2").arg(path, why));
            return false;
        }
        image = std::move(decoded);
        if (jpeg)
            *jpeg = std::move(bytes);
        return true;
    }

    const QByteArray format = suffix == QLatin1String("dib") ? QByteArray("bmp") : suffix.toLatin1();
    if (format.isEmpty() || !QImageReader::supportedImageFormats().contains(format)) {
        SetError(error, QStringLiteral("Unknown picture file extension (.%1)").arg(suffix));
        return false;
    }
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(false);
    QImage read;
    if (!reader.read(&read)) {
        SetError(error, QStringLiteral("Cannot read %1: %2").arg(path, reader.errorString()));
        return false;
    }
    image = std::move(read);
    if (jpeg)
        jpeg->clear();
    return true;
}

QByteArray EncodeJpeg(const QImage& image, int quality, QString* error)
{
    if (image.isNull()) {
        SetError(error, QStringLiteral("No picture to encode"));
        return QByteArray();
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        SetError(error, QStringLiteral("Not enough memory to encode the picture"));
        return QByteArray();
    }
    auto s = std::make_unique<EncodeState>();
    std::memset(&s->cinfo, 0, sizeof(s->cinfo));
    InstallErrorManager(reinterpret_cast<j_common_ptr>(&s->cinfo), s->err);
    const bool ok = RunEncode(*s, rgb, quality);
    jpeg_destroy_compress(&s->cinfo);
    if (!ok) {
        SetError(error, QStringLiteral("JPEG encoding failed: %1")
                            .arg(QString::fromLocal8Bit(s->err.message)));
        return QByteArray();
    }
    return s->out;
}

bool SaveJpegFile(const QString& path, const QImage& image, int quality, QString* error)
{
    const QByteArray bytes = EncodeJpeg(image, quality, error);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        SetError(error, QStringLiteral("Cannot write file %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}
