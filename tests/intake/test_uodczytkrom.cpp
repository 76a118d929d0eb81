// The "KROM reader" window: it downloads by itself once shown and closes,
// or stays open after a message.
#include "intake/uodczytkrom.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "shell/common/stale.h"
#include "simkey_support.h"

using namespace keytest;

namespace {

class KeyReaderWindowTest : public KeyFixture {
protected:
    void SetUp() override
    {
        KeyFixture::SetUp();
        platform::testing::SetScripted(true);
        SetProgramFolder(Folder());
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        platform::testing::SetScripted(false);
        SetProgramFolder({});
        KeyFixture::TearDown();
    }

    // Lets the window run until it closes or the condition holds.
    static void RunUntil(QDialog& dialog, const std::function<bool()>& done)
    {
        QElapsedTimer clock;
        clock.start();
        while (dialog.isVisible() && !done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

TEST_F(KeyReaderWindowTest, DownloadsIntoTheProgramFolderAndClosesByItself)
{
    std::array<std::uint32_t, 16> serials{};
    serials[3] = 42;
    const auto image = MakeImage("key.img", serials);
    Install({{image, {}}});
    QString label;
    int progress = -1, maximum = -1;
    platform::testing::OnModal("Tfczytajkrom", [&](QDialog& dialog) {
        auto& reader = static_cast<Tfczytajkrom&>(dialog);
        EXPECT_EQ(reader.windowTitle(), "KROM reader");
        EXPECT_EQ(reader.Label1->text(), "...");
        RunUntil(dialog, [] { return false; });
        label = reader.Label1->text();
        progress = reader.ProgressBar1->value();
        maximum = reader.ProgressBar1->maximum();
    });
    ShowKeyReader();
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
    EXPECT_TRUE(platform::testing::Messages().isEmpty());
    EXPECT_EQ(FileBytes("dane4_42.bin").size(), 7168 * 512);
    EXPECT_EQ(label, "1/1");
    EXPECT_EQ(maximum, 7152);
    EXPECT_EQ(progress, 7152);
}

TEST_F(KeyReaderWindowTest, StaysOpenAfterACommunicationError)
{
    std::array<std::uint32_t, 16> serials{};
    serials[0] = 1;
    platform::SimKeyOptions refused;
    refused.refuseInterface = true;
    Install({{MakeImage("key.img", serials), refused}});
    bool stayedOpen = false;
    platform::testing::OnModal("Tfczytajkrom", [&](QDialog& dialog) {
        RunUntil(dialog, [] { return !platform::testing::Messages().isEmpty(); });
        stayedOpen = dialog.isVisible();
        dialog.reject();  // the user closes it
    });
    ShowKeyReader();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(platform::testing::Messages(), QStringList{"Communication error"});
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
    EXPECT_FALSE(Exists("dane1_1.bin"));
}

}  // namespace
