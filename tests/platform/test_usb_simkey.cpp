// The simulated data key: image file access and the device's answers on
// its two endpoints, including the misbehaviour tests ask for.
#include "platform/usb_simkey.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

using namespace platform;

namespace {

using Block = std::array<std::uint8_t, 512>;

Block Pattern(std::uint32_t seed)
{
    Block b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(seed * 7 + i);
    return b;
}

std::vector<std::uint8_t> ReadCommand(std::uint32_t block)
{
    return {0x04, std::uint8_t(block >> 24), std::uint8_t(block >> 16), std::uint8_t(block >> 8),
            std::uint8_t(block)};
}

std::vector<std::uint8_t> WriteCommand(std::uint32_t block, const Block& data)
{
    std::vector<std::uint8_t> c = ReadCommand(block);
    c[0] = 0x05;
    c.insert(c.end(), data.begin(), data.end());
    return c;
}

class SimKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
    }
    std::string Image(const char* name) const { return dir_.filePath(name).toStdString(); }

    // Opens device i of a backend with configuration and interface set.
    std::unique_ptr<UsbHandle> OpenReady(SimKeyBackend& usb, std::size_t i)
    {
        auto busses = usb.Busses();
        auto handle = usb.Open(busses.at(0).devices.at(i));
        EXPECT_TRUE(handle);
        if (handle) {
            EXPECT_EQ(handle->SetConfiguration(1), 0);
            EXPECT_EQ(handle->ClaimInterface(1), 0);
        }
        return handle;
    }

    int Write(UsbHandle& h, const std::vector<std::uint8_t>& bytes)
    {
        return h.BulkWrite(0x05, bytes.data(), int(bytes.size()), 1000);
    }

    QTemporaryDir dir_;
};

TEST_F(SimKeyTest, ImageFileReadsZerosBeyondItsEndAndGrowsOnWrite)
{
    const std::string path = Image("key.img");
    ASSERT_TRUE(CreateKeyImage(path));
    Block out;
    out.fill(0xAA);
    ASSERT_TRUE(ReadKeyImageBlock(path, 140288, out.data()));
    EXPECT_EQ(out, Block{});

    const Block data = Pattern(3);
    ASSERT_TRUE(WriteKeyImageBlock(path, 5, data.data()));
    ASSERT_TRUE(ReadKeyImageBlock(path, 5, out.data()));
    EXPECT_EQ(out, data);
    ASSERT_TRUE(ReadKeyImageBlock(path, 4, out.data()));
    EXPECT_EQ(out, Block{});
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    EXPECT_EQ(std::streamoff(f.tellg()), 6 * 512);

    // A file that ends inside a block: the rest of the block is zero.
    {
        std::ofstream shortFile(Image("short.img"), std::ios::binary);
        shortFile.write("\x01\x02\x03", 3);
    }
    ASSERT_TRUE(ReadKeyImageBlock(Image("short.img"), 0, out.data()));
    Block expected{};
    expected[0] = 1;
    expected[1] = 2;
    expected[2] = 3;
    EXPECT_EQ(out, expected);

    // Create empties an existing image.
    ASSERT_TRUE(CreateKeyImage(path));
    ASSERT_TRUE(ReadKeyImageBlock(path, 5, out.data()));
    EXPECT_EQ(out, Block{});
}

TEST_F(SimKeyTest, UnopenableImageReportsItsError)
{
    KeyImageFile file;
    EXPECT_FALSE(file.Open(Image("missing-dir/key.img")));
    EXPECT_NE(file.ErrorText().find("missing-dir"), std::string::npos);
    Block out;
    EXPECT_FALSE(file.ReadBlock(0, out.data()));
}

TEST_F(SimKeyTest, DevicesAreListedOnOneBusInOrder)
{
    SimKeyOptions other;
    other.idVendor = 0x1111;
    other.idProduct = 0x2222;
    SimKeyBackend usb({{Image("a.img"), {}}, {Image("b.img"), other}});
    const auto busses = usb.Busses();
    ASSERT_EQ(busses.size(), 1u);
    ASSERT_EQ(busses[0].devices.size(), 2u);
    EXPECT_EQ(busses[0].devices[0].idVendor, 0x1234);
    EXPECT_EQ(busses[0].devices[0].idProduct, 0x1235);
    EXPECT_EQ(busses[0].devices[1].idVendor, 0x1111);
    EXPECT_EQ(busses[0].devices[1].idProduct, 0x2222);
    EXPECT_NE(busses[0].devices[0].filename, busses[0].devices[1].filename);
}

TEST_F(SimKeyTest, ReadAndWriteExchanges)
{
    const std::string path = Image("key.img");
    const Block stored = Pattern(9);
    ASSERT_TRUE(WriteKeyImageBlock(path, 0x20401, stored.data()));
    SimKeyBackend usb({{path, {}}});
    auto h = OpenReady(usb, 0);
    ASSERT_TRUE(h);

    // Read: the command echoed, then the block.
    ASSERT_EQ(Write(*h, ReadCommand(0x20401)), 5);
    std::uint8_t reply[600] = {};
    ASSERT_EQ(h->BulkRead(0x82, reply, 600, 1000), 517);
    EXPECT_EQ(reply[0], 0x04);
    EXPECT_EQ(reply[1], 0x00);
    EXPECT_EQ(reply[2], 0x02);
    EXPECT_EQ(reply[3], 0x04);
    EXPECT_EQ(reply[4], 0x01);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), reply + 5));
    // Nothing pending any more: the next read times out.
    EXPECT_EQ(h->BulkRead(0x82, reply, 600, 1000), -110);

    // Write: stored, then a 5-byte acknowledgement.
    const Block data = Pattern(1);
    ASSERT_EQ(Write(*h, WriteCommand(77, data)), 517);
    std::uint8_t ack[5] = {};
    ASSERT_EQ(h->BulkRead(0x82, ack, 5, 500), 5);
    EXPECT_EQ(ack[0], 0x05);
    EXPECT_EQ(ack[4], 77);
    Block out;
    ASSERT_TRUE(ReadKeyImageBlock(path, 77, out.data()));
    EXPECT_EQ(out, data);
    EXPECT_EQ(usb.Stats(0).writeCommands, 1);
    EXPECT_EQ(usb.Stats(0).writtenBlocks, std::vector<std::uint32_t>{77});
    EXPECT_EQ(usb.Stats(0).readCommands, 1);
}

TEST_F(SimKeyTest, WrongUseFailsLikeADevice)
{
    SimKeyBackend usb({{Image("key.img"), {}}});
    auto busses = usb.Busses();
    auto raw = usb.Open(busses[0].devices[0]);
    ASSERT_TRUE(raw);
    std::uint8_t buffer[600] = {};
    const auto read0 = ReadCommand(0);
    // Transfers before the interface is claimed, other configurations and
    // interfaces.
    EXPECT_LT(Write(*raw, read0), 0);
    EXPECT_LT(raw->SetConfiguration(2), 0);
    EXPECT_LT(raw->ClaimInterface(0), 0);

    auto h = OpenReady(usb, 0);
    ASSERT_TRUE(h);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int endpoint;
    };
    const Case cases[] = {
        {"unknown command", {0x07, 0, 0, 0, 0}, 0x05},
        {"read command of wrong length", {0x04, 0, 0, 0}, 0x05},
        {"write command of wrong length", {0x05, 0, 0, 0, 1, 2, 3}, 0x05},
        {"wrong OUT endpoint", read0, 0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LT(h->BulkWrite(c.endpoint, c.bytes.data(), int(c.bytes.size()), 1000), 0);
        EXPECT_EQ(h->BulkRead(0x82, buffer, 600, 1000), -110);
    }
    // A reply that does not fit the buffer overflows.
    ASSERT_EQ(Write(*h, read0), 5);
    EXPECT_LT(h->BulkRead(0x82, buffer, 100, 1000), 0);
    // Reading on the OUT endpoint.
    ASSERT_EQ(Write(*h, read0), 5);
    EXPECT_LT(h->BulkRead(0x05, buffer, 600, 1000), 0);
    // A closed handle.
    h->Close();
    EXPECT_LT(Write(*h, read0), 0);
}

TEST_F(SimKeyTest, RefusedOpenConfigurationAndInterface)
{
    struct Case {
        const char* name;
        SimKeyOptions options;
        bool opens, configures, claims;
    };
    SimKeyOptions open, config, iface;
    open.refuseOpen = true;
    config.refuseConfiguration = true;
    iface.refuseInterface = true;
    const Case cases[] = {
        {"open", open, false, false, false},
        {"configuration", config, true, false, true},
        {"interface", iface, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimKeyBackend usb({{Image("key.img"), c.options}});
        auto handle = usb.Open(usb.Busses()[0].devices[0]);
        ASSERT_EQ(bool(handle), c.opens);
        if (!handle)
            continue;
        EXPECT_EQ(handle->SetConfiguration(1) == 0, c.configures);
        EXPECT_EQ(handle->ClaimInterface(1) == 0, c.claims);
    }
}

TEST_F(SimKeyTest, FailingAndShortReads)
{
    SimKeyOptions options;
    options.failReadRequestAt = 3;
    options.failReadAt = 4;
    options.shortReadAt = 5;
    options.shortReadLength = 100;
    options.failReadsFrom = 7;
    SimKeyBackend usb({{Image("key.img"), options}});
    auto h = OpenReady(usb, 0);
    ASSERT_TRUE(h);
    std::uint8_t buffer[600];
    struct Case {
        std::uint32_t block;
        int writeResult, readResult;
    };
    const Case cases[] = {{2, 5, 517}, {3, -5, -110}, {4, 5, -5}, {5, 5, 100}, {6, 5, 517}, {7, 5, -5}, {9000, 5, -5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(Write(*h, ReadCommand(c.block)), c.writeResult);
        EXPECT_EQ(h->BulkRead(0x82, buffer, 600, 1000), c.readResult);
    }
}

TEST_F(SimKeyTest, MissingAcknowledgementsAndFailedWrites)
{
    const std::string path = Image("key.img");
    SimKeyOptions noAck;
    noAck.missingAckFrom = 2;
    SimKeyOptions noWrite;
    noWrite.failWritesFrom = 3;
    SimKeyBackend usb({{path, noAck}, {Image("key2.img"), noWrite}});
    std::uint8_t ack[5];
    const Block data = Pattern(5);

    auto a = OpenReady(usb, 0);
    ASSERT_TRUE(a);
    for (std::uint32_t n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Write(*a, WriteCommand(n, data)), 517);
        EXPECT_EQ(a->BulkRead(0x82, ack, 5, 500), n < 2 ? 5 : -110);
    }
    // Unacknowledged writes are still stored.
    Block out;
    ASSERT_TRUE(ReadKeyImageBlock(path, 3, out.data()));
    EXPECT_EQ(out, data);

    auto b = OpenReady(usb, 1);
    ASSERT_TRUE(b);
    for (std::uint32_t n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Write(*b, WriteCommand(n, data)), n < 3 ? 517 : -5);
        EXPECT_EQ(b->BulkRead(0x82, ack, 5, 500), n < 3 ? 5 : -110);
    }
    EXPECT_EQ(usb.Stats(1).writtenBlocks, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(usb.Stats(1).writeCommands, 4);
}

TEST_F(SimKeyTest, BackendFromEnvironment)
{
    const std::string a = Image("a.img"), b = Image("b.img");
    const std::string list = a + "::" + b;
    ASSERT_EQ(setenv("PITROVA_SIM_KEYS", list.c_str(), 1), 0);
    SetUsbBackend(nullptr);
    const auto busses = Usb().Busses();
    ASSERT_EQ(busses.size(), 1u);
    EXPECT_EQ(busses[0].devices.size(), 2u);
    unsetenv("PITROVA_SIM_KEYS");
    SetUsbBackend(nullptr);
}

}  // namespace
