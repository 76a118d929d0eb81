// Picture conversion and the picture and configuration uploads, against
// the simulated key.
#include "intake/keyupload.h"

#include <gtest/gtest.h>

#include <cstring>

#include "simkey_support.h"

using namespace keytest;

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// Colour of pixel x of stored row `row` in the test bitmaps.
Rgb PixelAt(int x, int row)
{
    return {std::uint8_t(x * 3 + row), std::uint8_t(row), std::uint8_t(x)};
}

void PutLe(QByteArray& out, int at, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out[at + i] = char(value >> (8 * i));
}

// A Windows bitmap with headers as written by common tools, pixel data at
// pixelOffset, the pattern above, cut to fileSize bytes when given.
QByteArray MakeBitmap(int width, int height, int bitCount, int pixelOffset = 54,
                      qint64 fileSize = -1)
{
    const int bytesPerPixel = bitCount / 8;
    const int rowBytes = width * bytesPerPixel;
    const int padding = (4 - rowBytes % 4) % 4;
    const int rows = height < 0 ? -height : height;
    QByteArray file(pixelOffset + qint64(rowBytes + padding) * rows, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutLe(file, 2, std::uint32_t(file.size()), 4);
    PutLe(file, 10, std::uint32_t(pixelOffset), 4);
    PutLe(file, 14, 40, 4);
    PutLe(file, 18, std::uint32_t(width), 4);
    PutLe(file, 22, std::uint32_t(height), 4);
    PutLe(file, 26, 1, 2);
    PutLe(file, 28, std::uint32_t(bitCount), 2);
    qint64 at = pixelOffset;
    for (int row = 0; row < rows; ++row) {
        for (int x = 0; x < width; ++x) {
            if (bytesPerPixel < 3) {
                at += bytesPerPixel;  // palette indices stay 0
                continue;
            }
            const Rgb c = PixelAt(x, row);
            file[at++] = char(c.b);
            file[at++] = char(c.g);
            file[at++] = char(c.r);
            for (int extra = 3; extra < bytesPerPixel; ++extra)
                file[at++] = char(0xFF);
        }
        at += padding;
    }
    if (fileSize >= 0)
        file.truncate(fileSize);
    return file;
}

std::uint16_t Le16(const QByteArray& bytes, qint64 at)
{
    return std::uint16_t(std::uint8_t(bytes[at]) | (std::uint8_t(bytes[at + 1]) << 8));
}

struct Recorder {
    QStringList messages;
    QStringList errors;
    std::vector<int> maximum;
    int lastProgress = -1;
    int progressCalls = 0;
    int events = 0;
    QStringList configFiles;  // answers of the file choice, in order
    int fileChoices = 0;

    UploadCallbacks Callbacks()
    {
        UploadCallbacks c;
        c.showMessage = [this](const QString& t) { messages << t; };
        c.showError = [this](const QString& t) { errors << t; };
        c.setProgressMaximum = [this](int m) { maximum.push_back(m); };
        c.setProgress = [this](int p) {
            lastProgress = p;
            ++progressCalls;
        };
        c.processEvents = [this] { ++events; };
        c.chooseConfigurationFile = [this] {
            const int i = fileChoices++;
            return i < configFiles.size() ? configFiles[i] : QString();
        };
        return c;
    }
};

TEST(Rgb565, ComponentsAreScaledAndTruncated)
{
    struct Case {
        Rgb c;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {{255, 255, 255}, 0xFFFF}, {{255, 0, 0}, 0xF800},    {{0, 255, 0}, 0x07E0},
        {{0, 0, 255}, 0x001F},     {{128, 128, 128}, 0x7BEF}, {{0, 0, 0}, 0x0000},
        {{254, 254, 254}, (30 << 11) | (62 << 5) | 30},
        {{8, 4, 8}, 0x0000},  // just below the first step of every component
        {{9, 5, 9}, (1 << 11) | (1 << 5) | 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.c.r) << "," << int(c.c.g) << "," << int(c.c.b));
        EXPECT_EQ(ToRgb565(c.c.r, c.c.g, c.c.b), c.expected);
    }
}

class KeyImageFileTest : public KeyFixture {
protected:
    bool Make(const QByteArray& bitmap, Recorder& rec)
    {
        WriteFile("pic.bmp", bitmap);
        return MakeKeyImageFile(PathOf("pic.bmp"), rec.Callbacks());
    }
};

TEST_F(KeyImageFileTest, BitmapBecomesHeightWidthAndRgb565InStorageOrder)
{
    QByteArray bitmap = MakeBitmap(480, 273, 24);
    // First stored pixel white, second pure red, last pure blue.
    const qint64 last = 54 + 480LL * 273 * 3 - 3;
    std::memcpy(bitmap.data() + 54, "\xFF\xFF\xFF\x00\x00\xFF", 6);
    std::memcpy(bitmap.data() + last, "\xFF\x00\x00", 3);
    Recorder rec;
    ASSERT_TRUE(Make(bitmap, rec));
    EXPECT_TRUE(rec.messages.isEmpty());
    EXPECT_EQ(KeyImageFilePath(PathOf("pic.bmp")), PathOf("tmp.bin"));
    const QByteArray out = FileBytes("tmp.bin");
    ASSERT_EQ(out.size(), 262084);
    EXPECT_EQ(Le16(out, 0), 273);
    EXPECT_EQ(Le16(out, 2), 480);
    EXPECT_EQ(Le16(out, 4), 0xFFFF);
    EXPECT_EQ(Le16(out, 6), 0xF800);
    EXPECT_EQ(Le16(out, 262082), 0x001F);
    // Every other pixel in storage order (bottom row first).
    for (int row = 0; row < 273; ++row) {
        for (int x = (row == 0 ? 2 : 0); x < (row == 272 ? 479 : 480); ++x) {
            const Rgb c = PixelAt(x, row);
            const qint64 at = 4 + (qint64(row) * 480 + x) * 2;
            if (Le16(out, at) != ToRgb565(c.r, c.g, c.b)) {
                ADD_FAILURE() << "pixel " << x << "," << row;
                return;
            }
        }
    }
}

TEST_F(KeyImageFileTest, PixelDataAreTakenFromThePixelOffset)
{
    // A larger information header (as written by some editors) before the
    // pixels.
    Recorder rec;
    QByteArray bitmap = MakeBitmap(480, 273, 24, 138);
    PutLe(bitmap, 14, 124, 4);
    ASSERT_TRUE(Make(bitmap, rec));
    const QByteArray out = FileBytes("tmp.bin");
    ASSERT_EQ(out.size(), 262084);
    const Rgb c = PixelAt(7, 3);
    EXPECT_EQ(Le16(out, 4 + (3 * 480 + 7) * 2), ToRgb565(c.r, c.g, c.b));
}

TEST_F(KeyImageFileTest, FileEndingInsideThePixelsGivesBlackForTheRest)
{
    // The file ends one byte into pixel 10 of the first row.
    Recorder rec;
    ASSERT_TRUE(Make(MakeBitmap(480, 273, 24, 54, 54 + 10 * 3 + 1), rec));
    const QByteArray out = FileBytes("tmp.bin");
    ASSERT_EQ(out.size(), 262084);
    const Rgb c = PixelAt(9, 0);
    EXPECT_EQ(Le16(out, 4 + 9 * 2), ToRgb565(c.r, c.g, c.b));
    for (qint64 at = 4 + 10 * 2; at < out.size(); ++at)
        ASSERT_EQ(out[at], '\0') << at;
}

TEST_F(KeyImageFileTest, RejectedBitmaps)
{
    struct Case {
        const char* name;
        QByteArray bitmap;
        QString message;
    };
    const Case cases[] = {
        {"32 bits", MakeBitmap(480, 273, 32), "This file is not valid! 32"},
        {"8 bits, wrong size too", MakeBitmap(10, 10, 8), "This file is not valid! 8"},
        {"too narrow", MakeBitmap(479, 273, 24), "File must be 480x273"},
        {"too low", MakeBitmap(480, 272, 24), "File must be 480x273"},
        {"top-down rows", MakeBitmap(480, -273, 24), "File must be 480x273"},
        {"portrait", MakeBitmap(273, 480, 24), "File must be 480x273"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder rec;
        EXPECT_FALSE(Make(c.bitmap, rec));
        EXPECT_EQ(rec.messages, QStringList{c.message});
        EXPECT_TRUE(rec.errors.isEmpty());
    }
}

TEST_F(KeyImageFileTest, UnreadableBitmapsAreReportedAsFileErrors)
{
    Recorder rec;
    EXPECT_FALSE(MakeKeyImageFile(PathOf("missing.bmp"), rec.Callbacks()));
    EXPECT_FALSE(Make(MakeBitmap(480, 273, 24).left(40), rec));
    EXPECT_TRUE(rec.messages.isEmpty());
    ASSERT_EQ(rec.errors.size(), 2);
    EXPECT_TRUE(rec.errors[0].contains("missing.bmp"));
    EXPECT_TRUE(rec.errors[1].contains("pic.bmp"));
}

// Uploads: a key image with a directory of used slots.
class KeyUploadTest : public KeyFixture {
protected:
    std::string NewKey(const QString& name)
    {
        const std::string path = PathOf(name).toStdString();
        platform::KeyImageFile image;
        EXPECT_TRUE(image.Create(path));
        const Block dir = Directory();
        image.WriteBlock(0, dir.data());
        return path;
    }
    static Block Directory() { return DirectoryBlock({1, 0, 0x80000001u, 0, 5}); }

    // Directory as written before, with exactly the given byte set to 1.
    void ExpectDirectoryFlag(const std::string& image, int flagged)
    {
        Block expected = Directory();
        if (flagged >= 0)
            expected[flagged] = 1;
        EXPECT_EQ(ImageBlock(image, 0), expected);
    }

    QString MakeTmpBin()
    {
        Recorder rec;
        WriteFile("pic.bmp", MakeBitmap(480, 273, 24));
        EXPECT_TRUE(MakeKeyImageFile(PathOf("pic.bmp"), rec.Callbacks()));
        return PathOf("tmp.bin");
    }
};

TEST_F(KeyUploadTest, PictureGoesToItsSlotAndSetsItsFlag)
{
    const QString tmp = MakeTmpBin();
    const QByteArray bytes = FileBytes("tmp.bin");
    for (int slot = 0; slot < 2; ++slot) {
        SCOPED_TRACE(slot);
        const std::string key = NewKey("key.img");
        auto& usb = Install({{key, {}}});
        Recorder rec;
        UploadImage(platform::Usb(), tmp, slot, rec.Callbacks());
        EXPECT_EQ(rec.messages, QStringList{"OK"});
        EXPECT_EQ(rec.maximum, std::vector<int>{512});
        EXPECT_EQ(rec.lastProgress, 512);
        EXPECT_EQ(rec.events, 512);

        // 512 picture blocks in order, then the directory.
        std::vector<std::uint32_t> expected;
        for (std::uint32_t i = 1; i <= 512; ++i)
            expected.push_back(std::uint32_t(slot) * 512 + i);
        expected.push_back(0);
        EXPECT_EQ(usb.Stats(0).writtenBlocks, expected);

        for (std::uint32_t i = 0; i < 511; ++i)
            ASSERT_EQ(0, std::memcmp(ImageBlock(key, slot * 512 + 1 + i).data(),
                                     bytes.constData() + i * 512, 512))
                << i;
        const Block lastBlock = ImageBlock(key, slot * 512 + 512);
        EXPECT_EQ(0, std::memcmp(lastBlock.data(), bytes.constData() + 511 * 512, 452));
        for (int i = 452; i < 512; ++i)
            EXPECT_EQ(lastBlock[i], 0xFF) << i;
        ExpectDirectoryFlag(key, 192 + slot);
    }
}

TEST_F(KeyUploadTest, EveryKeyOfTheVendorGetsThePictureAndItsOwnOk)
{
    const QString tmp = MakeTmpBin();
    const std::string a = NewKey("a.img"), b = NewKey("b.img"), c = NewKey("c.img");
    platform::SimKeyOptions otherProduct, otherVendor;
    otherProduct.idProduct = 0x0042;
    otherVendor.idVendor = 0x0042;
    Install({{a, {}}, {b, otherProduct}, {c, otherVendor}});
    Recorder rec;
    UploadImage(platform::Usb(), tmp, 1, rec.Callbacks());
    EXPECT_EQ(rec.messages, (QStringList{"OK", "OK"}));
    ExpectDirectoryFlag(a, 193);
    ExpectDirectoryFlag(b, 193);
    ExpectDirectoryFlag(c, -1);
}

TEST_F(KeyUploadTest, StoppedPictureTransfersLeaveTheDirectoryAlone)
{
    const QString tmp = MakeTmpBin();
    platform::SimKeyOptions noAck, noWrite, refused, noDirectory;
    noAck.missingAckFrom = 100;
    noWrite.failWritesFrom = 1;
    refused.refuseInterface = true;
    noDirectory.failReadAt = 0;
    struct Case {
        const char* name;
        platform::SimKeyOptions options;
        QStringList messages;  // the second, good key answers "OK" unless the operation ended
        std::size_t blocksStored;
    };
    const Case cases[] = {
        {"missing acknowledgement", noAck, {"Error read: -110", "OK"}, 100},
        {"failed write", noWrite, {"Error", "OK"}, 0},
        {"refused interface", refused, {"Communication error"}, 0},
        // The picture went through, but a directory that could not be read
        // is not written back.
        {"directory not readable", noDirectory, {"Communication error"}, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bad = NewKey("bad.img"), good = NewKey("good.img");
        auto& usb = Install({{bad, c.options}, {good, {}}});
        Recorder rec;
        UploadImage(platform::Usb(), tmp, 0, rec.Callbacks());
        EXPECT_EQ(rec.messages, c.messages);
        EXPECT_EQ(usb.Stats(0).writtenBlocks.size(), c.blocksStored);
        ExpectDirectoryFlag(bad, -1);
        ExpectDirectoryFlag(good, c.messages.size() == 2 ? 192 : -1);
    }
}

// A directory block that could not be written back is reported with what
// was sent and not marked, one whose write the key did not acknowledge as
// the block transfers' failures are; neither gives "OK", and the next key
// is still served.  The picture is 512 writes, the configuration 8192; the
// directory write comes after them.
TEST_F(KeyUploadTest, FailedDirectoryWriteBackIsNoOk)
{
    struct Case {
        const char* name;
        bool configuration;
        bool acknowledged;  // false: written, never acknowledged; true: refused
        QStringList messages;
        int pictureSlot = 0;
    };
    const Case cases[] = {
        {"picture, directory refused",
         false,
         true,
         {"The key directory could not be written: the Screensaver picture was sent, but its flag on the key is not "
          "set.",
          "OK"}},
        {"splash picture, directory refused",
         false,
         true,
         {"The key directory could not be written: the Splashscreen picture was sent, but its flag on the key is not "
          "set.",
          "OK"},
         1},
        {"picture, directory not acknowledged", false, false, {"Error read: -110", "OK"}},
        {"configuration, directory refused",
         true,
         true,
         {"The key directory could not be written: the configuration was sent, but its flag on the key is not set.",
          "OK"}},
        {"configuration, directory not acknowledged", true, false, {"Error read: -110", "OK"}},
    };
    const QString tmp = MakeTmpBin();
    WriteFile("set.kcf", "0123456789");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int directoryWrite = c.configuration ? 8193 : 513;
        platform::SimKeyOptions options;
        if (c.acknowledged)
            options.failWritesFrom = directoryWrite;
        else
            options.missingAckFrom = directoryWrite;
        const std::string bad = NewKey("bad.img"), good = NewKey("good.img");
        Install({{bad, options}, {good, {}}});
        Recorder rec;
        if (c.configuration) {
            rec.configFiles = {PathOf("set.kcf"), PathOf("set.kcf")};
            UploadConfiguration(platform::Usb(), rec.Callbacks());
        } else {
            UploadImage(platform::Usb(), tmp, c.pictureSlot, rec.Callbacks());
        }
        EXPECT_EQ(rec.messages, c.messages);
        ExpectDirectoryFlag(good, c.configuration ? 194 : 192 + c.pictureSlot);
    }
}

TEST_F(KeyUploadTest, ConfigurationFillsTheRegionPaddedWithFF)
{
    const std::string a = NewKey("a.img"), b = NewKey("b.img");
    auto& usb = Install({{a, {}}, {b, {}}});
    WriteFile("set.kcf", "0123456789");
    Recorder rec;
    rec.configFiles = {PathOf("set.kcf"), PathOf("set.kcf")};
    UploadConfiguration(platform::Usb(), rec.Callbacks());
    EXPECT_EQ(rec.messages, (QStringList{"OK", "OK"}));
    EXPECT_EQ(rec.fileChoices, 2);
    EXPECT_EQ(rec.maximum, (std::vector<int>{8191, 8191}));
    EXPECT_EQ(rec.lastProgress, 8192);
    for (std::size_t key = 0; key < 2; ++key) {
        SCOPED_TRACE(key);
        const auto& written = usb.Stats(key).writtenBlocks;
        ASSERT_EQ(written.size(), 8193u);
        EXPECT_EQ(written.front(), 132097u);
        EXPECT_EQ(written[8191], 140288u);
        EXPECT_EQ(written.back(), 0u);
        const std::string& image = key == 0 ? a : b;
        Block first;
        first.fill(0xFF);
        std::memcpy(first.data(), "0123456789", 10);
        EXPECT_EQ(ImageBlock(image, 132097), first);
        Block ff;
        ff.fill(0xFF);
        for (std::uint32_t blk : {132098u, 136000u, 140288u})
            EXPECT_EQ(ImageBlock(image, blk), ff) << blk;
        ExpectDirectoryFlag(image, 194);
    }
}

TEST_F(KeyUploadTest, StoppedOrCancelledConfigurationTransfers)
{
    WriteFile("set.kcf", QByteArray(5000, 'x'));
    platform::SimKeyOptions noAck, noWrite;
    noAck.missingAckFrom = 5;
    noWrite.failWritesFrom = 8192;
    struct Case {
        const char* name;
        platform::SimKeyOptions options;
        QStringList files;
        QStringList messages;
        int choices;
        bool goodKeyWritten;
    };
    const QString kcf = PathOf("set.kcf");
    const Case cases[] = {
        {"missing acknowledgement", noAck, {kcf, kcf}, {"Error read: -110 : 4", "OK"}, 2, true},
        {"failed last write", noWrite, {kcf, kcf}, {"Error", "OK"}, 2, true},
        {"file choice cancelled", {}, {}, {}, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bad = NewKey("bad.img"), good = NewKey("good.img");
        auto& usb = Install({{bad, c.options}, {good, {}}});
        Recorder rec;
        rec.configFiles = c.files;
        UploadConfiguration(platform::Usb(), rec.Callbacks());
        EXPECT_EQ(rec.messages, c.messages);
        EXPECT_EQ(rec.fileChoices, c.choices);
        ExpectDirectoryFlag(bad, -1);
        ExpectDirectoryFlag(good, c.goodKeyWritten ? 194 : -1);
        if (c.files.isEmpty()) {
            EXPECT_EQ(usb.Stats(0).writeCommands, 0);
        }
    }
}

TEST_F(KeyUploadTest, UnreadableSourceFileIsReported)
{
    const std::string key = NewKey("key.img");
    auto& usb = Install({{key, {}}});
    Recorder rec;
    rec.configFiles = {PathOf("missing.kcf")};
    UploadConfiguration(platform::Usb(), rec.Callbacks());
    UploadImage(platform::Usb(), PathOf("missing.bin"), 0, rec.Callbacks());
    EXPECT_TRUE(rec.messages.isEmpty());
    ASSERT_EQ(rec.errors.size(), 2);
    EXPECT_TRUE(rec.errors[0].contains("missing.kcf"));
    EXPECT_TRUE(rec.errors[1].contains("missing.bin"));
    EXPECT_EQ(usb.Stats(0).writeCommands, 0);
}

}  // namespace
