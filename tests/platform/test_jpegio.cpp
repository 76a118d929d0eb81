#include "platform/jpegio.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

// A smooth picture (JPEG keeps smooth content close to the original).
QImage Gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), 128));
    return img;
}

// Mean absolute difference per channel between two pictures of one size.
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Writes a JPEG in a colour space of our choice straight through libjpeg
// (the module under test only writes RGB).  rows holds components bytes per pixel.
QByteArray RawJpeg(int w, int h, J_COLOR_SPACE space, int components,
                   const std::vector<unsigned char>& pixels, bool adobe)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buf, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&pixels[cinfo.next_scanline * w * components]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buf), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buf);
    return out;
}

TEST(JpegIo, RoundTripKeepsSizeAndColoursWithinTolerance)
{
    const QImage source = Gradient(64, 48);
    // Every input format is turned into RGB before encoding.
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32,
                                  QImage::Format_RGB888, QImage::Format_RGB16}) {
        SCOPED_TRACE(int(format));
        const QByteArray bytes = EncodeJpeg(source.convertToFormat(format));
        ASSERT_GT(bytes.size(), 2);
        EXPECT_EQ(uchar(bytes[0]), 0xFF);
        EXPECT_EQ(uchar(bytes[1]), 0xD8);
        QString error;
        const QImage decoded = DecodeJpeg(bytes, &error);
        ASSERT_FALSE(decoded.isNull()) << error.toStdString();
        EXPECT_EQ(decoded.size(), source.size());
        EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
        EXPECT_LT(MeanDifference(decoded, source), 4.0);
    }
}

TEST(JpegIo, QualityIsPassedToTheEncoder)
{
    QImage noisy(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noisy.setPixel(x, y, qRgb((x * 37 + y * 91) % 256, (x * 13) % 256, (y * 71) % 256));
    const QByteArray low = EncodeJpeg(noisy, 10);
    const QByteArray high = EncodeJpeg(noisy, 95);
    ASSERT_FALSE(low.isEmpty());
    ASSERT_FALSE(high.isEmpty());
    EXPECT_LT(low.size(), high.size());
    EXPECT_LT(MeanDifference(DecodeJpeg(high), noisy), MeanDifference(DecodeJpeg(low), noisy));
}

TEST(JpegIo, GreyScaleDecodesToEqualChannels)
{
    const int w = 16, h = 8;
    std::vector<unsigned char> grey(w * h);
    for (int i = 0; i < w * h; ++i)
        grey[i] = (i % w) < w / 2 ? 40 : 200;
    QString error;
    const QImage img = DecodeJpeg(RawJpeg(w, h, JCS_GRAYSCALE, 1, grey, false), &error);
    ASSERT_FALSE(img.isNull()) << error.toStdString();
    EXPECT_EQ(img.size(), QSize(w, h));
    const QRgb dark = img.pixel(1, 4), light = img.pixel(w - 2, 4);
    EXPECT_EQ(qRed(dark), qGreen(dark));
    EXPECT_EQ(qGreen(dark), qBlue(dark));
    EXPECT_NEAR(qRed(dark), 40, 4);
    EXPECT_NEAR(qRed(light), 200, 4);
}

TEST(JpegIo, CmykDecodesToRgb)
{
    // Half cyan ink, half plain white; Adobe pictures store the ink inverted.
    const int w = 16, h = 16;
    for (bool adobe : {true, false}) {
        SCOPED_TRACE(adobe);
        std::vector<unsigned char> cmyk(w * h * 4);
        for (int i = 0; i < w * h; ++i) {
            const bool cyan = (i % w) < w / 2;
            const unsigned char ink[4] = {cyan ? uchar(255) : uchar(0), 0, 0, 0};
            for (int c = 0; c < 4; ++c)
                cmyk[i * 4 + c] = adobe ? uchar(255 - ink[c]) : ink[c];
        }
        QString error;
        const QImage img = DecodeJpeg(RawJpeg(w, h, JCS_CMYK, 4, cmyk, adobe), &error);
        ASSERT_FALSE(img.isNull()) << error.toStdString();
        const QRgb c = img.pixel(2, 8), white = img.pixel(w - 3, 8);
        EXPECT_NEAR(qRed(c), 0, 6);
        EXPECT_NEAR(qGreen(c), 255, 6);
        EXPECT_NEAR(qBlue(c), 255, 6);
        EXPECT_NEAR(qRed(white), 255, 6);
        EXPECT_NEAR(qGreen(white), 255, 6);
    }
}

TEST(JpegIo, DamagedDataGivesAnErrorAndNoPicture)
{
    const QByteArray good = EncodeJpeg(Gradient(64, 64));
    ASSERT_GT(good.size(), 400);
    // The start-of-frame marker (FF C0) carries the height at +5 and the width at +7.
    const qsizetype sof = good.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    QByteArray zeroWidth = good;
    zeroWidth[sof + 7] = 0;
    zeroWidth[sof + 8] = 0;
    QByteArray hugeSize = good;  // 65000 x 65000: far beyond any sane photo
    hugeSize[sof + 5] = char(0xFD);
    hugeSize[sof + 6] = char(0xE8);
    hugeSize[sof + 7] = char(0xFD);
    hugeSize[sof + 8] = char(0xE8);

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"not a JPEG", QByteArray("BM this is no picture at all")},
        {"start marker only", QByteArray("\xFF\xD8", 2)},
        {"header cut off", good.left(20)},
        {"cut in the middle", good.left(good.size() / 2)},
        {"cut before the last rows", good.left(good.size() - 40)},
        {"zero width", zeroWidth},
        {"huge size", hugeSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const QImage img = DecodeJpeg(c.bytes, &error);
        EXPECT_TRUE(img.isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(JpegIo, NullPictureEncodesToNothing)
{
    QString error;
    EXPECT_TRUE(EncodeJpeg(QImage(), 75, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(JpegIo, Files)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("tmp.jpg");
    const QImage source = Gradient(40, 30);

    QString error;
    ASSERT_TRUE(SaveJpegFile(path, source, 75, &error)) << error.toStdString();
    QImage loaded;
    ASSERT_TRUE(LoadJpegFile(path, loaded, &error)) << error.toStdString();
    EXPECT_EQ(loaded.size(), source.size());

    // A failed load leaves the caller's picture as it was.
    QImage kept = loaded;
    error.clear();
    EXPECT_FALSE(LoadJpegFile(dir.filePath("missing.jpg"), kept, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(kept, loaded);

    QFile bad(dir.filePath("bad.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\xFF\xD8\xFF\xE0 garbage");
    bad.close();
    error.clear();
    EXPECT_FALSE(LoadJpegFile(bad.fileName(), kept, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(kept, loaded);

    // A picture that cannot be encoded does not touch the existing file.
    QFile existing(path);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    const QByteArray before = existing.readAll();
    existing.close();
    EXPECT_FALSE(SaveJpegFile(path, QImage()));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), before);
    existing.close();

    error.clear();
    EXPECT_FALSE(SaveJpegFile(dir.filePath("no/such/folder/x.jpg"), source, 75, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Pictures chosen by the user are read by their extension alone: a JPEG
// by the decoder here (its bytes kept), the rest by the reader of the
// named format; the contents never decide, and a refused file leaves the
// caller's picture and bytes as they were.
TEST(JpegIo, PictureFilesAreReadByTheirExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage source = Gradient(16, 12);
    const QByteArray jpeg = EncodeJpeg(source);
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(source.save(&buffer, "BMP"));
    }
    struct Case {
        const char* file;
        QByteArray content;
        bool readable;
        bool keepsJpeg;
    };
    const Case cases[] = {
        {"photo.jpg", jpeg, true, true},
        {"PHOTO.JPEG", jpeg, true, true},
        {"photo.jfif", jpeg, true, true},
        {"photo.bmp", bmp, true, false},
        {"photo.DIB", bmp, true, false},
        {"jpeg-inside.bmp", jpeg, false, false},  // not guessed from the contents
        {"bitmap-inside.jpg", bmp, false, false},
        {"photo.xyz", bmp, false, false},
        {"no-extension", bmp, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QFile f(dir.filePath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
        f.close();

        const QImage before(3, 3, QImage::Format_RGB32);
        QImage image = before;
        QByteArray bytes("kept");
        QString error;
        EXPECT_EQ(LoadPictureFile(f.fileName(), image, &bytes, &error), c.readable) << error.toStdString();
        if (!c.readable) {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(image, before);
            EXPECT_EQ(bytes, QByteArray("kept"));
            continue;
        }
        EXPECT_EQ(image.size(), source.size());
        EXPECT_EQ(bytes, c.keepsJpeg ? jpeg : QByteArray());
    }

    QImage image;
    QString error;
    EXPECT_FALSE(LoadPictureFile(dir.filePath("missing.jpg"), image, nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
