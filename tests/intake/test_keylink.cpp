// The key's USB link: the bytes of the two block exchanges, the device
// search, opening a key, the presence check and the driver installation.
#include "intake/keylink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>

#include "simkey_support.h"

using namespace keytest;

namespace {

// A handle that records every transfer and answers from a queue.
class RecordingHandle : public platform::UsbHandle {
public:
    struct Transfer {
        bool out;
        int endpoint;
        std::vector<std::uint8_t> bytes;  // OUT data
        int size;
        int timeoutMs;
    };
    int SetConfiguration(int) override { return 0; }
    int ClaimInterface(int) override { return 0; }
    int BulkWrite(int endpoint, const std::uint8_t* data, int size, int timeoutMs) override
    {
        transfers.push_back({true, endpoint, {data, data + size}, size, timeoutMs});
        return writeResult;
    }
    int BulkRead(int endpoint, std::uint8_t* buffer, int size, int timeoutMs) override
    {
        transfers.push_back({false, endpoint, {}, size, timeoutMs});
        std::copy_n(reply.begin(), std::min<std::size_t>(reply.size(), size), buffer);
        return readResult;
    }
    int Close() override { return 0; }

    std::vector<Transfer> transfers;
    std::vector<std::uint8_t> reply;
    int writeResult = 0;
    int readResult = 0;
};

// A backend with several busses.
class BussesBackend : public platform::UsbBackend {
public:
    void Init() override {}
    int FindBusses() override { return 0; }
    int FindDevices() override { return 0; }
    std::vector<platform::UsbBus> Busses() override { return busses; }
    std::unique_ptr<platform::UsbHandle> Open(const platform::UsbDevice&) override
    {
        ++opens;
        return nullptr;
    }
    int InstallDriver(const std::string&) override { return 0; }

    std::vector<platform::UsbBus> busses;
    int opens = 0;
};

platform::UsbDevice Dev(const char* name, std::uint16_t vendor, std::uint16_t product)
{
    return {name, vendor, product, 0};
}

TEST(KeyBlockExchange, ReadSendsTheBlockBigEndianAndTakesBytes5To516)
{
    RecordingHandle h;
    h.reply.resize(600);
    for (std::size_t i = 0; i < h.reply.size(); ++i)
        h.reply[i] = static_cast<std::uint8_t>(i * 3);
    h.writeResult = 5;
    h.readResult = 517;
    std::uint8_t data[512];
    const KeyTransfer t = ReadKeyBlock(h, 0x01020304u, data);
    EXPECT_EQ(t.writeResult, 5);
    EXPECT_EQ(t.readResult, 517);
    ASSERT_EQ(h.transfers.size(), 2u);
    EXPECT_TRUE(h.transfers[0].out);
    EXPECT_EQ(h.transfers[0].endpoint, 0x05);
    EXPECT_EQ(h.transfers[0].bytes, (std::vector<std::uint8_t>{0x04, 0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(h.transfers[0].timeoutMs, 1000);
    EXPECT_FALSE(h.transfers[1].out);
    EXPECT_EQ(h.transfers[1].endpoint, 0x82);
    EXPECT_EQ(h.transfers[1].size, 600);
    EXPECT_EQ(h.transfers[1].timeoutMs, 1000);
    EXPECT_EQ(0, std::memcmp(data, h.reply.data() + 5, 512));
}

TEST(KeyBlockExchange, WriteSendsCommandBlockAndDataThenReadsTheAcknowledgement)
{
    RecordingHandle h;
    h.writeResult = 517;
    h.readResult = 5;
    Block data = PatternBlock(9);
    const KeyTransfer t = WriteKeyBlock(h, 0xFFFFFFFEu, data.data(), 300);
    EXPECT_EQ(t.writeResult, 517);
    EXPECT_EQ(t.readResult, 5);
    ASSERT_EQ(h.transfers.size(), 2u);
    const auto& out = h.transfers[0];
    EXPECT_EQ(out.endpoint, 0x05);
    ASSERT_EQ(out.bytes.size(), 517u);
    EXPECT_EQ(out.bytes[0], 0x05);
    EXPECT_EQ(out.bytes[1], 0xFF);
    EXPECT_EQ(out.bytes[4], 0xFE);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.bytes.begin() + 5));
    EXPECT_EQ(out.timeoutMs, 1000);
    EXPECT_EQ(h.transfers[1].endpoint, 0x82);
    EXPECT_EQ(h.transfers[1].size, 5);
    EXPECT_EQ(h.transfers[1].timeoutMs, 300);
}

TEST(KeyBlockExchange, ReadSucceedsOnlyWithBothFullTransfers)
{
    struct Case {
        int write, read;
        bool ok;
    };
    const Case cases[] = {{5, 517, true}, {4, 517, false}, {-5, 517, false},
                          {5, 516, false}, {5, -110, false}, {5, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.write << " " << c.read);
        EXPECT_EQ(ReadKeyBlockSucceeded({c.write, c.read}), c.ok);
    }
}

TEST(KeySearch, MatchesInBusAndDeviceOrderAndWritesOnlyTheHeaderLine)
{
    BussesBackend usb;
    usb.busses = {{"001", {Dev("001", 0x1234, 0x1235), Dev("002", 0x1111, 0x1235),
                           Dev("003", 0x1234, 0x9999)}},
                  {"002", {}},
                  {"003", {Dev("004", 0x1234, 0x1235)}}};
    QStringList list;
    const auto all = FindKeys(usb, KeyMatch::VendorOnly, &list);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].filename, "001");
    EXPECT_EQ(all[1].filename, "003");
    EXPECT_EQ(all[2].filename, "004");
    EXPECT_EQ(list, QStringList{"bus/device  idVendor/idProduct"});

    const auto exact = FindKeys(usb, KeyMatch::VendorAndProduct);
    ASSERT_EQ(exact.size(), 2u);
    EXPECT_EQ(exact[0].filename, "001");
    EXPECT_EQ(exact[1].filename, "004");
}

class KeyLinkTest : public KeyFixture {};

TEST_F(KeyLinkTest, OpenKeyFailsOnEveryRefusal)
{
    platform::SimKeyOptions open, config, iface;
    open.refuseOpen = true;
    config.refuseConfiguration = true;
    iface.refuseInterface = true;
    struct Case {
        const char* name;
        platform::SimKeyOptions options;
        bool opens;
    };
    const Case cases[] = {{"good", {}, true},
                          {"open", open, false},
                          {"configuration", config, false},
                          {"interface", iface, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::SimKeyBackend usb({{PathOf("key.img").toStdString(), c.options}});
        const auto keys = FindKeys(usb, KeyMatch::VendorAndProduct);
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(bool(OpenKey(usb, keys[0])), c.opens);
    }
}

TEST_F(KeyLinkTest, PresenceComparesTheVendorOnlyAndNeverOpens)
{
    platform::SimKeyOptions otherProduct, otherVendor;
    otherProduct.idProduct = 0x4321;
    otherVendor.idVendor = 0x4321;
    otherVendor.idProduct = 0x1235;
    const std::string img = PathOf("key.img").toStdString();
    struct Case {
        const char* name;
        std::vector<platform::SimKey> keys;
        bool present;
    };
    const Case cases[] = {
        {"no device", {}, false},
        {"key", {{img, {}}}, true},
        {"other product id", {{img, otherProduct}}, true},
        {"other vendor id", {{img, otherVendor}}, false},
        {"other vendor, then key", {{img, otherVendor}, {img, {}}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::SimKeyBackend usb(c.keys);
        int events = 0;
        QStringList list;
        EXPECT_EQ(KeyPresent(usb, [&] { ++events; }, &list), c.present);
        EXPECT_EQ(list, QStringList{"bus/device  idVendor/idProduct"});
        // Once after usb_init, before each device tested, once after a
        // walk that found nothing.
        EXPECT_GE(events, 2);
        for (std::size_t i = 0; i < usb.DeviceCount(); ++i)
            EXPECT_EQ(usb.Stats(i).opens, 0);
    }
}

TEST_F(KeyLinkTest, DriverInstallationUsesTheProgramFoldersDriverFile)
{
    platform::SimKeyBackend usb({});
    InstallKeyDriver(usb, "/opt/pitrova");
    InstallKeyDriver(usb, "/opt/pitrova/");
    EXPECT_EQ(usb.InstalledDrivers(),
              (std::vector<std::string>{"/opt/pitrova/Driver/USB_Qvix_dev.inf",
                                        "/opt/pitrova/Driver/USB_Qvix_dev.inf"}));
}

}  // namespace
