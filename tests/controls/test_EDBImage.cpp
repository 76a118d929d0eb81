#include "controls/EDBImage.h"
#include "controls/uEDBR.h"
#include "platform/jpegio.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QByteArray Saved(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buffer, format));
    return bytes;
}

QImage Solid(int w, int h, QColor colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// Left half red, right half blue: shows whether proportions and sides are kept.
QImage TwoTone(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
    return img;
}

bool Near(QColor a, QColor b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QByteArray Bytes(std::initializer_list<int> values, int padTo = 0)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    while (b.size() < padTo)
        b.append('\x11');
    return b;
}

TEST(PictureBlob, KindAndLoading)
{
    const QByteArray bmp = Saved(Solid(8, 6, Qt::red), "BMP");
    const QByteArray jpeg = EncodeJpeg(Solid(16, 8, Qt::green));
    const QByteArray ico = Saved(Solid(16, 16, Qt::blue), "ICO");
    const QByteArray png = Saved(Solid(4, 4, Qt::red), "PNG");

    const struct {
        const char* name;
        QByteArray bytes;
        PictureKind kind;
        QSize loaded;  // empty: no picture
    } cases[] = {
        {"bitmap", bmp, PictureKind::Bitmap, {8, 6}},
        {"JPEG", jpeg, PictureKind::Jpeg, {16, 8}},
        {"icon", ico, PictureKind::Icon, {16, 16}},
        {"PNG is unknown", png, PictureKind::None, {}},
        {"placeable metafile", Bytes({0xD7, 0xCD, 0xC6, 0x9A}, 40), PictureKind::Metafile, {}},
        {"stored graphic", Bytes({0x01, 0x00, 0x07}, 40), PictureKind::StoredGraphic, {}},
        {"damaged bitmap", QByteArray("BM not really a bitmap"), PictureKind::Bitmap, {}},
        {"damaged JPEG", Bytes({0xFF, 0xD8, 0xFF}, 40), PictureKind::Jpeg, {}},
        {"damaged icon", Bytes({0x00, 0x00, 0x01}, 40), PictureKind::Icon, {}},
        {"two bytes", QByteArray("BM"), PictureKind::None, {}},
        {"empty", QByteArray(""), PictureKind::None, {}},
        {"NULL", QByteArray(), PictureKind::None, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PictureKindOf(c.bytes), c.kind);
        PictureKind kind = PictureKind::Bitmap;
        const QImage img = LoadPictureFromBlob(c.bytes, {}, &kind);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(img.isNull(), c.loaded.isEmpty());
        if (!img.isNull()) {
            EXPECT_EQ(img.size(), c.loaded);
        }
    }
}

TEST(PictureBlob, CustomLoaderOnlyForUnknownContent)
{
    int calls = 0;
    const LoadCustomImageHandler loader = [&calls](const QByteArray& bytes) {
        ++calls;
        return QImage::fromData(bytes, "PNG");
    };
    const QByteArray png = Saved(Solid(5, 3, Qt::red), "PNG");
    EXPECT_EQ(LoadPictureFromBlob(png, loader).size(), QSize(5, 3));
    EXPECT_EQ(calls, 1);

    LoadPictureFromBlob(Saved(Solid(8, 6, Qt::red), "BMP"), loader);
    LoadPictureFromBlob(QByteArray("BM"), loader);
    LoadPictureFromBlob(QByteArray(), loader);
    EXPECT_EQ(calls, 1);

    const LoadCustomImageHandler failing = [](const QByteArray&) -> QImage {
        throw std::runtime_error("unreadable");
    };
    EXPECT_TRUE(LoadPictureFromBlob(png, failing).isNull());
}

TEST(PictureBlob, FitRect)
{
    const struct {
        QRect box;
        int w, h;
        QRect fit;
    } cases[] = {
        {{0, 0, 100, 100}, 400, 200, {0, 25, 100, 50}},   // wide into square
        {{0, 0, 100, 100}, 200, 400, {25, 0, 50, 100}},   // tall into square
        {{0, 0, 100, 100}, 100, 100, {0, 0, 100, 100}},   // exact fit
        {{10, 20, 100, 50}, 200, 100, {10, 20, 100, 50}}, // same proportions, offset box
        {{0, 0, 100, 100}, 3, 2, {0, 17, 100, 66}},       // truncated height and offset
        {{0, 0, 101, 100}, 1, 3, {34, 0, 33, 100}},       // truncated width and offset
        {{5, 5, 100, 100}, 0, 50, {5, 5, 100, 100}},      // no width: the box
        {{5, 5, 100, 100}, 50, 0, {5, 5, 100, 100}},      // no height: the box
        {{5, 5, 100, 100}, -4, 50, {5, 5, 100, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
        EXPECT_EQ(FitRect(c.box, c.w, c.h), c.fit);
    }
}

TEST(PictureBlob, DrawRect)
{
    const QRect client(0, 0, 100, 100);
    const struct {
        const char* name;
        QSize picture;
        bool center, shrink, zoom;
        QRect drawn;
    } cases[] = {
        {"large, shrink", {400, 200}, true, true, false, {0, 25, 100, 50}},
        {"large, no shrink, centred", {400, 200}, true, false, false, {-150, -50, 400, 200}},
        {"large, zoom only: natural", {400, 200}, true, false, true, {-150, -50, 400, 200}},
        {"small, shrink only: natural", {40, 20}, true, true, false, {30, 40, 40, 20}},
        {"small, zoom", {40, 20}, true, true, true, {0, 25, 100, 50}},
        {"small, top-left", {40, 20}, false, false, false, {0, 0, 40, 20}},
        {"narrower but taller, zoom", {50, 200}, true, false, true, {37, 0, 25, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PictureDrawRect(client, c.picture, c.center, c.shrink, c.zoom), c.drawn);
    }
}

// A control without border, so the client area is the whole widget.
class PictureControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        image.SetBorderStyle(TEDBImage::TBorderStyle::None);
        image.resize(100, 100);
        background = image.palette().color(QPalette::Base);
    }
    QImage Grab() { return image.grab().toImage(); }
    bool AllBackground()
    {
        const QImage img = Grab();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) != background)
                    return false;
        return true;
    }

    TEDBImage image;
    QColor background;
};

TEST_F(PictureControl, Defaults)
{
    TEDBImage fresh;
    EXPECT_EQ(fresh.size(), QSize(105, 105));
    EXPECT_TRUE(fresh.Center());
    EXPECT_FALSE(fresh.ShrinkToFit());
    EXPECT_FALSE(fresh.ZoomToFit());
    EXPECT_TRUE(fresh.AutoDisplay());
    EXPECT_EQ(fresh.BorderStyle(), TEDBImage::TBorderStyle::Single);
    EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
}

TEST_F(PictureControl, LargeJpegShrinksWholeKeepingProportions)
{
    image.SetShrinkToFit(true);
    image.SetBlob(EncodeJpeg(TwoTone(400, 200), 95));
    const QImage g = Grab();
    // Drawn into (0, 25) - (99, 74): red left, blue right, background above and below.
    EXPECT_TRUE(Near(g.pixelColor(10, 50), Qt::red));
    EXPECT_TRUE(Near(g.pixelColor(90, 50), Qt::blue));
    EXPECT_TRUE(Near(g.pixelColor(2, 27), Qt::red));
    EXPECT_TRUE(Near(g.pixelColor(97, 72), Qt::blue));
    for (int y : {0, 24, 75, 99})
        EXPECT_EQ(g.pixelColor(50, y), background) << y;
}

TEST_F(PictureControl, SmallPhotoAtNaturalSize)
{
    const QByteArray photo = EncodeJpeg(Solid(40, 20, Qt::green), 95);
    const struct {
        bool center;
        QRect at;
    } cases[] = {{true, {30, 40, 40, 20}}, {false, {0, 0, 40, 20}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.center);
        image.SetCenter(c.center);
        image.SetZoomToFit(false);
        image.SetShrinkToFit(true);  // not larger: no effect
        image.SetBlob(photo);
        const QImage g = Grab();
        EXPECT_TRUE(Near(g.pixelColor(c.at.topLeft()), Qt::green));
        EXPECT_TRUE(Near(g.pixelColor(c.at.bottomRight()), Qt::green));
        EXPECT_EQ(g.pixelColor(c.at.right() + 1, c.at.center().y()), background);
        EXPECT_EQ(g.pixelColor(c.at.center().x(), c.at.bottom() + 1), background);
        if (c.center) {
            EXPECT_EQ(g.pixelColor(c.at.left() - 1, c.at.center().y()), background);
            EXPECT_EQ(g.pixelColor(c.at.center().x(), c.at.top() - 1), background);
        }
    }
}

TEST_F(PictureControl, SmallPhotoZoomsToFit)
{
    image.SetZoomToFit(true);
    image.SetBlob(Saved(Solid(40, 20, Qt::green), "BMP"));
    const QImage g = Grab();
    EXPECT_EQ(g.pixelColor(0, 25), QColor(Qt::green));
    EXPECT_EQ(g.pixelColor(99, 74), QColor(Qt::green));
    EXPECT_EQ(g.pixelColor(50, 24), background);
    EXPECT_EQ(g.pixelColor(50, 75), background);
}

TEST_F(PictureControl, NothingDrawableShowsAnEmptyArea)
{
    const QByteArray blobs[] = {Saved(Solid(4, 4, Qt::red), "PNG"), QByteArray(),
                                QByteArray("BM broken")};
    for (const QByteArray& blob : blobs) {
        image.SetBlob(blob);
        EXPECT_TRUE(image.PictureLoaded());
        EXPECT_TRUE(image.Picture().isNull());
        EXPECT_TRUE(AllBackground());
    }
}

TEST_F(PictureControl, CustomLoaderDrawsUnknownContent)
{
    image.SetOnLoadCustomImage([](const QByteArray& b) { return QImage::fromData(b, "PNG"); });
    image.SetBlob(Saved(Solid(40, 20, Qt::green), "PNG"));
    EXPECT_EQ(Grab().pixelColor(50, 50), QColor(Qt::green));
}

TEST_F(PictureControl, WithoutAutoDisplayTheLabelShowsUntilLoaded)
{
    image.SetAutoDisplay(false);
    image.SetDisplayLabel("ZDJECIE");
    image.SetBlob(Saved(Solid(100, 100, Qt::green), "BMP"));
    EXPECT_FALSE(image.PictureLoaded());
    EXPECT_FALSE(AllBackground());  // "(ZDJECIE)"
    EXPECT_NE(Grab().pixelColor(50, 50), QColor(Qt::green));

    QTest::keyClick(&image, Qt::Key_Return);
    EXPECT_TRUE(image.PictureLoaded());
    EXPECT_EQ(Grab().pixelColor(50, 50), QColor(Qt::green));

    image.SetBlob(Saved(Solid(100, 100, Qt::blue), "BMP"));  // the next row
    EXPECT_FALSE(image.PictureLoaded());
    QTest::mouseDClick(&image, Qt::LeftButton);
    EXPECT_EQ(Grab().pixelColor(50, 50), QColor(Qt::blue));

    image.SetBlob(Saved(Solid(100, 100, Qt::red), "BMP"));
    image.SetAutoDisplay(true);  // loads at once
    EXPECT_EQ(Grab().pixelColor(50, 50), QColor(Qt::red));
}

TEST_F(PictureControl, ClipboardKeysAndWritingBack)
{
    const QByteArray stored = EncodeJpeg(Solid(32, 32, Qt::green));
    image.SetBlob(stored);
    QSignalSpy changed(&image, &TEDBImage::changed);
    EXPECT_EQ(image.Blob(), stored);  // unmodified: the bytes as given, not re-encoded

    QApplication::clipboard()->setImage(Solid(10, 5, Qt::red));
    QTest::keyClick(&image, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(image.IsModified());
    EXPECT_EQ(PictureKindOf(image.Blob()), PictureKind::Bitmap);
    EXPECT_EQ(LoadPictureFromBlob(image.Blob()).pixelColor(3, 3), QColor(Qt::red));

    QTest::keyClick(&image, Qt::Key_Z, Qt::ControlModifier);  // undo
    EXPECT_FALSE(image.IsModified());
    EXPECT_EQ(image.Blob(), stored);

    QTest::keyClick(&image, Qt::Key_Delete, Qt::ControlModifier);  // clear
    EXPECT_TRUE(image.IsModified());
    EXPECT_TRUE(image.Blob().isNull());
    QTest::keyClick(&image, Qt::Key_Escape);
    EXPECT_EQ(image.Blob(), stored);

    QApplication::clipboard()->clear();
    QTest::keyClick(&image, Qt::Key_Insert, Qt::ControlModifier);  // copy
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(32, 32));
    EXPECT_FALSE(image.IsModified());

    QApplication::clipboard()->clear();
    QTest::keyClick(&image, Qt::Key_Delete, Qt::ShiftModifier);  // cut
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(32, 32));
    EXPECT_TRUE(image.Picture().isNull());
    EXPECT_TRUE(image.Blob().isNull());

    QTest::keyClick(&image, Qt::Key_Insert, Qt::ShiftModifier);  // paste it back
    EXPECT_EQ(image.Picture().size(), QSize(32, 32));
}

TEST_F(PictureControl, ReadOnlyRefusesChanges)
{
    const QByteArray stored = Saved(Solid(20, 20, Qt::blue), "BMP");
    image.SetReadOnly(true);
    image.SetBlob(stored);
    QSignalSpy changed(&image, &TEDBImage::changed);
    QApplication::clipboard()->setImage(Solid(10, 5, Qt::red));
    QTest::keyClick(&image, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&image, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&image, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(image.IsModified());
    EXPECT_EQ(image.Picture().size(), QSize(20, 20));
    EXPECT_EQ(image.Blob(), stored);

    QTest::keyClick(&image, Qt::Key_C, Qt::ControlModifier);  // copying is fine
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(20, 20));
}

TEST_F(PictureControl, FocusFrameAndLeavingWhileModified)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* control = new TEDBImage;
    control->SetBorderStyle(TEDBImage::TBorderStyle::None);
    control->setFixedSize(100, 100);
    auto* other = new QWidget;
    other->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(control);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    control->SetBlob(Saved(Solid(40, 40, Qt::green), "BMP"));
    const QColor frame = control->palette().color(QPalette::WindowText);
    other->setFocus();
    EXPECT_EQ(control->grab().toImage().pixelColor(0, 0), background);
    control->setFocus();
    EXPECT_EQ(control->grab().toImage().pixelColor(0, 0), frame);

    QSignalSpy finished(control, &TEDBImage::editingFinished);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(finished.count(), 0);  // unmodified: nothing to store
    control->setFocus();
    QApplication::clipboard()->setImage(Solid(10, 5, Qt::red));
    QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(finished.count(), 1);
}

}  // namespace
