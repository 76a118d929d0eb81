// The "KROM reader" window: it downloads by itself once shown and closes
// when done, also after a message.
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

// A key that fails is named in its message (by its place and its logger),
// and the window closes by itself when the download is over, with the
// good key's file written and the failed key's earlier files kept.
TEST_F(KeyReaderWindowTest, ClosesByItselfAfterACommunicationError)
{
    std::array<std::uint32_t, 16> good{}, bad{};
    good[0] = 11;
    bad[1] = 78;
    bad[2] = 78;
    platform::SimKeyOptions everyBlockFails;
    everyBlockFails.failReadsFrom = 1;
    Install({{MakeImage("good.img", good), {}}, {MakeImage("bad.img", bad), everyBlockFails}});
    WriteFile("dane3_78.bin", "earlier");
    bool closedByItself = false;
    QString labelAtTheEnd;
    platform::testing::OnModal("Tfczytajkrom", [&](QDialog& dialog) {
        RunUntil(dialog, [] { return false; });
        closedByItself = !dialog.isVisible();
        labelAtTheEnd = static_cast<Tfczytajkrom&>(dialog).Label1->text();
        if (dialog.isVisible())
            dialog.done(QDialog::Rejected);  // would be the user's title bar
    });
    const KeyReadResult read = ShowKeyReader();
    EXPECT_TRUE(closedByItself);
    EXPECT_EQ(labelAtTheEnd, "1/2");
    EXPECT_EQ(platform::testing::Messages(),
              QStringList{"Communication error on key 2 (logger 78): slot 2 could not be read, so nothing read from "
                          "this key was kept.\nEarlier files kept for slots: 3"});
    EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.written, QStringList{"dane1_11.bin"});
    EXPECT_EQ(read.kept, QStringList{"dane3_78.bin"});
    EXPECT_EQ(FileBytes("dane1_11.bin").size(), 7168 * 512);
    EXPECT_FALSE(Exists("dane2_78.bin"));
    EXPECT_EQ(FileBytes("dane3_78.bin"), QByteArray("earlier"));
}

}  // namespace
