// The "Send data" window: the picture buttons convert, preview and send a
// bitmap; the configuration button sends a chosen file.
#include "intake/uwgrajobrazek.h"

#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "simkey_support.h"

using namespace keytest;

namespace {

// A plain 24-bit 480 x 273 bitmap, all pixels grey.
QByteArray GreyBitmap()
{
    const int size = 54 + 480 * 273 * 3;
    QByteArray file(size, char(0x80));
    auto put = [&](int at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            file[at + i] = char(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, size, 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 480, 4);
    put(22, 273, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 24);
    return file;
}

class SendDataWindowTest : public KeyFixture {
protected:
    void SetUp() override
    {
        KeyFixture::SetUp();
        platform::testing::SetScripted(true);
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        platform::testing::SetScripted(false);
        KeyFixture::TearDown();
    }
};

TEST_F(SendDataWindowTest, ButtonsSendPictureAndConfiguration)
{
    const std::string key = PathOf("key.img").toStdString();
    ASSERT_TRUE(platform::CreateKeyImage(key));
    auto& usb = Install({{key, {}}});
    WriteFile("pic.bmp", GreyBitmap());
    WriteFile("set.kcf", "abc");

    bool previewed = false;
    platform::testing::OnModal("Tfpokazobrazek", [&](QDialog& dialog) {
        previewed = true;
        dialog.accept();
    });
    platform::testing::OnModal("TfWgrajObrazek", [&](QDialog& dialog) {
        auto& window = static_cast<TfWgrajObrazek&>(dialog);
        EXPECT_EQ(window.windowTitle(), "Send data");
        platform::testing::QueueFileName(PathOf("pic.bmp"));
        window.Button2->click();
        EXPECT_EQ(window.Gauge1->value(), 512);
        EXPECT_TRUE(window.Button1->isEnabled());
        platform::testing::QueueFileName(PathOf("set.kcf"));
        window.Button3->click();
        EXPECT_EQ(window.Gauge1->value(), 8191);
        dialog.reject();
    });
    ShowSendData();
    EXPECT_TRUE(previewed);
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
    EXPECT_EQ(platform::testing::Messages(), (QStringList{"OK", "OK"}));
    const auto files = platform::testing::FileDialogs();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].filter, "*.bmp");
    EXPECT_EQ(files[0].defaultExt, "bmp");
    EXPECT_EQ(files[1].filter, "KROM config|*.kcf");
    EXPECT_EQ(files[1].defaultExt, "kcf");
    EXPECT_EQ(FileBytes("tmp.bin").size(), 262084);
    // Splash screen slot, then the configuration region, each followed by
    // the directory.
    const auto& written = usb.Stats(0).writtenBlocks;
    ASSERT_EQ(written.size(), 512u + 1 + 8192 + 1);
    EXPECT_EQ(written.front(), 513u);
    EXPECT_EQ(written[512], 0u);
    EXPECT_EQ(written[513], 132097u);
    const Block dir = ImageBlock(key, 0);
    EXPECT_EQ(dir[192], 0);
    EXPECT_EQ(dir[193], 1);
    EXPECT_EQ(dir[194], 1);
}

TEST_F(SendDataWindowTest, CancelledPreviewSendsNothing)
{
    const std::string key = PathOf("key.img").toStdString();
    ASSERT_TRUE(platform::CreateKeyImage(key));
    auto& usb = Install({{key, {}}});
    WriteFile("pic.bmp", GreyBitmap());
    platform::testing::OnModal("Tfpokazobrazek", [](QDialog& dialog) { dialog.reject(); });
    platform::testing::OnModal("TfWgrajObrazek", [&](QDialog& dialog) {
        platform::testing::QueueFileName(PathOf("pic.bmp"));
        static_cast<TfWgrajObrazek&>(dialog).Button1->click();
        dialog.reject();
    });
    ShowSendData();
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
    EXPECT_EQ(usb.Stats(0).writeCommands, 0);
}

}  // namespace
