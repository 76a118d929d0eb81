// Download of the key's session slots into dump files, against the
// simulated key.
#include "intake/keydownload.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstring>

#include "intake/keylink.h"
#include "simkey_support.h"

using namespace keytest;

namespace {

constexpr qint64 kDumpSize = 7168LL * 512;

// Everything the download told its window.
struct Recorder {
    QStringList labels;
    QStringList messages;
    QStringList errors;
    std::vector<int> progress;
    int events = 0;

    DownloadCallbacks Callbacks()
    {
        DownloadCallbacks c;
        c.setLabel = [this](const QString& t) { labels << t; };
        c.setProgress = [this](int p) { progress.push_back(p); };
        c.showMessage = [this](const QString& t) { messages << t; };
        c.showError = [this](const QString& t) { errors << t; };
        c.processEvents = [this] { ++events; };
        return c;
    }
};

std::array<std::uint32_t, 16> Serials(std::initializer_list<std::pair<int, std::uint32_t>> used)
{
    std::array<std::uint32_t, 16> s{};
    for (auto [k, serial] : used)
        s[k - 1] = serial;
    return s;
}

class KeyDownloadTest : public KeyFixture {
protected:
    // The dump file holds exactly the slot's read blocks in ascending order.
    void ExpectSlotDump(const QString& name, int k)
    {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = FileBytes(name);
        ASSERT_EQ(bytes.size(), kDumpSize);
        const std::uint32_t first = std::uint32_t(k - 1) * 8192 + 2049;
        for (std::uint32_t r = 0; r < 7168; ++r) {
            const Block expected = PatternBlock(first + r);
            if (std::memcmp(bytes.constData() + qint64(r) * 512, expected.data(), 512) != 0) {
                ADD_FAILURE() << "record " << r << " differs";
                return;
            }
        }
    }

    QStringList FolderEntries() const
    {
        return QDir(Folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    DownloadOutcome Run(Recorder& rec, QStringList* deviceList = nullptr)
    {
        return DownloadFromKeys(platform::Usb(), Folder(), rec.Callbacks(), deviceList);
    }
};

TEST_F(KeyDownloadTest, UsedSlotsBecomeDumpFilesAndStaleFilesOfUnusedSlotsGo)
{
    const auto image = MakeImage("key.img", Serials({{2, 77}, {5, 78}}));
    Install({{image, {}}});
    QStringList kept{"dane2.bin", "dane5.bin", "dane17.bin", "dane1_5.bin", "notes.txt"};
    for (int k = 1; k <= 16; ++k)
        if (k != 2 && k != 5)
            WriteFile(QStringLiteral("dane%1.bin").arg(k), "old");
    for (const QString& name : kept)
        WriteFile(name, "keep");
    WriteFile("dane2_77.bin", "an older download");

    Recorder rec;
    QStringList deviceList;
    EXPECT_EQ(Run(rec, &deviceList), DownloadOutcome::Finished);

    EXPECT_EQ(rec.labels, (QStringList{"1/2", "2/2"}));
    EXPECT_TRUE(rec.messages.isEmpty());
    EXPECT_TRUE(rec.errors.isEmpty());
    EXPECT_EQ(deviceList, QStringList{"bus/device  idVendor/idProduct"});
    ExpectSlotDump("dane2_77.bin", 2);
    ExpectSlotDump("dane5_78.bin", 5);
    for (int k = 1; k <= 16; ++k) {
        if (k != 2 && k != 5) {
            EXPECT_FALSE(Exists(QStringLiteral("dane%1.bin").arg(k))) << k;
        }
    }
    for (const QString& name : kept)
        EXPECT_TRUE(Exists(name)) << name.toStdString();
    // Nothing else left behind (no temporary files).
    QStringList expected = kept;
    expected << "dane2_77.bin" << "dane5_78.bin" << "key.img";
    expected.sort();
    EXPECT_EQ(FolderEntries(), expected);

    // Per slot: 0, then one step per block; events after every block.
    ASSERT_EQ(rec.progress.size(), 2u * 7169);
    EXPECT_EQ(rec.progress[0], 0);
    EXPECT_EQ(rec.progress[7168], 7168);
    EXPECT_EQ(rec.progress[7169], 0);
    EXPECT_EQ(rec.events, 2 * 7168);
}

TEST_F(KeyDownloadTest, DirectoriesWithoutADownload)
{
    struct Case {
        const char* name;
        platform::SimKeyOptions options;
        std::array<std::uint32_t, 16> serials;
    };
    platform::SimKeyOptions otherProduct;
    otherProduct.idProduct = 0x1236;
    const Case cases[] = {
        {"all-zero directory", {}, Serials({})},
        {"another product id", otherProduct, Serials({{1, 5}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto image = MakeImage("key.img", c.serials);
        Install({{image, c.options}});
        Recorder rec;
        EXPECT_EQ(Run(rec), DownloadOutcome::Finished);
        EXPECT_TRUE(rec.labels.isEmpty());
        EXPECT_TRUE(rec.messages.isEmpty());
        EXPECT_EQ(FolderEntries(), QStringList{"key.img"});
    }
    // The key with the other product id is still present for the check.
    EXPECT_TRUE(KeyPresent(platform::Usb(), {}));
}

TEST_F(KeyDownloadTest, SerialsAreUnsignedAndEqualSerialsDifferByTheSlot)
{
    const auto image = MakeImage("key.img", Serials({{1, 4294967295u}, {3, 0x80000000u}, {16, 9}, {15, 9}}));
    Install({{image, {}}});
    Recorder rec;
    EXPECT_EQ(Run(rec), DownloadOutcome::Finished);
    EXPECT_EQ(rec.labels, (QStringList{"1/4", "2/4", "3/4", "4/4"}));
    ExpectSlotDump("dane1_4294967295.bin", 1);
    ExpectSlotDump("dane3_2147483648.bin", 3);
    ExpectSlotDump("dane15_9.bin", 15);
    ExpectSlotDump("dane16_9.bin", 16);
}

TEST_F(KeyDownloadTest, EveryMatchingKeyIsServedInOrder)
{
    const auto a = MakeImage("a.img", Serials({{1, 11}}));
    const auto b = MakeImage("b.img", Serials({{2, 22}}));
    platform::SimKeyOptions otherVendor;
    otherVendor.idVendor = 0x0001;
    auto& usb = Install({{a, {}}, {a, otherVendor}, {b, {}}});
    Recorder rec;
    EXPECT_EQ(Run(rec), DownloadOutcome::Finished);
    EXPECT_EQ(rec.labels, (QStringList{"1/1", "1/1"}));
    ExpectSlotDump("dane1_11.bin", 1);
    ExpectSlotDump("dane2_22.bin", 2);
    EXPECT_EQ(usb.Stats(1).opens, 0);
}

TEST_F(KeyDownloadTest, RefusedKeyGivesCommunicationErrorAndTheNextKeyIsServed)
{
    platform::SimKeyOptions config, iface, open;
    config.refuseConfiguration = true;
    iface.refuseInterface = true;
    open.refuseOpen = true;
    const platform::SimKeyOptions cases[] = {config, iface, open};
    const auto image = MakeImage("key.img", Serials({{1, 1}}));
    for (const auto& options : cases) {
        QFile::remove(PathOf("dane1_1.bin"));
        auto& usb = Install({{image, options}, {image, {}}});
        WriteFile("dane2.bin", "stale");
        Recorder rec;
        QStringList written, kept;
        EXPECT_EQ(DownloadFromKeys(platform::Usb(), Folder(), rec.Callbacks(), nullptr, &written, &kept),
                  DownloadOutcome::Failed);
        EXPECT_EQ(rec.messages,
                  QStringList{"Communication error on key 1: it could not be opened.\nAll earlier dump files were kept."});
        // The good key was read completely; the stale file stays, as one
        // key was not read, and which files are the refused key's own is
        // not known: every earlier file is kept.
        EXPECT_EQ(usb.Stats(1).opens, 1);
        EXPECT_EQ(written, QStringList{"dane1_1.bin"});
        EXPECT_TRUE(kept.contains("dane2.bin"));
        EXPECT_EQ(FolderEntries(), (QStringList{"dane1_1.bin", "dane2.bin", "key.img"}));
        ExpectSlotDump("dane1_1.bin", 1);
    }
}

// A key that fails part way keeps every earlier dump file of its slots: the
// slots it read before the failure are not put in place either.  The
// message names the key by its loggers, the slot that failed and the slots
// whose earlier files were kept; the next key is still read.
TEST_F(KeyDownloadTest, FailedOrShortBlockReadKeepsTheEarlierFiles)
{
    const std::uint32_t inSlot5 = 4 * 8192 + 2049 + 100;
    struct Case {
        const char* name;
        platform::SimKeyOptions options;
        QStringList message;
        QStringList kept;  // the earlier files the download says stay
    };
    platform::SimKeyOptions request, reply, shortReply, lastBlock, directory, everySlotBlock;
    request.failReadRequestAt = inSlot5;
    reply.failReadAt = inSlot5;
    shortReply.shortReadAt = inSlot5;
    shortReply.shortReadLength = 516;
    lastBlock.shortReadAt = 5 * 8192 + 1024;
    lastBlock.shortReadLength = 5;
    directory.failReadAt = 0;
    everySlotBlock.failReadsFrom = 1;
    const QStringList slot5Failed{"Communication error on key 1 (loggers 77, 78, 79): slot 5 could not be read, so "
                                  "nothing read from this key was kept.\nEarlier files kept for slots: 2, 5"};
    const QStringList ownFiles{"dane2_77.bin", "dane5_78.bin"};
    const Case cases[] = {
        {"failed read request", request, slot5Failed, ownFiles},
        {"failed read reply", reply, slot5Failed, ownFiles},
        {"reply one byte short", shortReply, slot5Failed, ownFiles},
        {"short reply to the slot's last block", lastBlock, slot5Failed, ownFiles},
        {"every slot block fails",
         everySlotBlock,
         {"Communication error on key 1 (loggers 77, 78, 79): slot 2 could not be read, so nothing read from this "
          "key was kept.\nEarlier files kept for slots: 2, 5"},
         ownFiles},
        // A directory that could not be read changes nothing of this key,
        // and which earlier files are its own is not known.
        {"directory not read",
         directory,
         {"Communication error on key 1: its directory could not be read.\nAll earlier dump files were kept."},
         {"dane1.bin", "dane2_77.bin", "dane5_78.bin", "dane9_3.bin"}},
    };
    const QStringList afterSlot5{"dane1.bin", "dane2_77.bin", "dane5_78.bin", "dane9_3.bin", "key.img", "other.img"};
    const auto image = MakeImage("key.img", Serials({{2, 77}, {5, 78}, {7, 79}}));
    const auto other = MakeImage("other.img", Serials({{9, 3}}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& f : QDir(Folder()).entryList({"dane*"}, QDir::Files))
            QFile::remove(PathOf(f));
        WriteFile("dane2_77.bin", "earlier");
        WriteFile("dane5_78.bin", "older");
        WriteFile("dane1.bin", "stale");
        Install({{image, c.options}, {other, {}}});
        Recorder rec;
        QStringList written, kept;
        EXPECT_EQ(DownloadFromKeys(platform::Usb(), Folder(), rec.Callbacks(), nullptr, &written, &kept),
                  DownloadOutcome::Failed);
        EXPECT_EQ(rec.messages, c.message);
        EXPECT_EQ(FolderEntries(), afterSlot5);
        EXPECT_EQ(written, QStringList{"dane9_3.bin"});
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(FileBytes("dane5_78.bin"), QByteArray("older"));
        EXPECT_EQ(FileBytes("dane1.bin"), QByteArray("stale"));
        EXPECT_EQ(FileBytes("dane2_77.bin"), QByteArray("earlier"));
        ExpectSlotDump("dane9_3.bin", 9);
    }

    // With no earlier file of its slots the message says so.
    for (const QString& f : QDir(Folder()).entryList({"dane*"}, QDir::Files))
        QFile::remove(PathOf(f));
    Install({{image, reply}});
    Recorder rec;
    QStringList kept{"something"};
    DownloadFromKeys(platform::Usb(), Folder(), rec.Callbacks(), nullptr, nullptr, &kept);
    EXPECT_EQ(rec.messages, QStringList{"Communication error on key 1 (loggers 77, 78, 79): slot 5 could not be read, "
                                        "so nothing read from this key was kept.\nNo earlier files of its slots were "
                                        "there to keep."});
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_TRUE(QDir(Folder()).entryList({"dane*"}, QDir::Files).isEmpty());
}

TEST_F(KeyDownloadTest, DumpFileThatCannotBeCreatedIsReported)
{
    const auto image = MakeImage("key.img", Serials({{3, 5}}));
    Install({{image, {}}});
    Recorder rec;
    const QString missing = PathOf("no/such/folder");
    EXPECT_EQ(DownloadFromKeys(platform::Usb(), missing, rec.Callbacks()),
              DownloadOutcome::Failed);
    ASSERT_EQ(rec.errors.size(), 1);
    EXPECT_TRUE(rec.errors[0].contains("dane3_5.bin")) << rec.errors[0].toStdString();
    EXPECT_TRUE(rec.messages.isEmpty());
}

}  // namespace
