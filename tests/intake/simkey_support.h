#pragma once
// Test support for the data key: a temporary folder, key images with a
// recognisable content per block, and simulated keys installed as the run's
// USB backend.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/usb_simkey.h"

namespace keytest {

using Block = std::array<std::uint8_t, 512>;

// The content written into block b of a test image: the block number in
// the first four bytes, then a pattern that differs from block to block.
inline Block PatternBlock(std::uint32_t b)
{
    Block block;
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(b * 13 + i * 7 + (b >> 8));
    block[0] = static_cast<std::uint8_t>(b);
    block[1] = static_cast<std::uint8_t>(b >> 8);
    block[2] = static_cast<std::uint8_t>(b >> 16);
    block[3] = static_cast<std::uint8_t>(b >> 24);
    return block;
}

// A directory block with the given serials for slots 1..16 (0 = unused)
// and recognisable bytes everywhere else.
inline Block DirectoryBlock(const std::array<std::uint32_t, 16>& serials)
{
    Block block;
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(0x40 + i);
    block[192] = block[193] = block[194] = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        const std::uint32_t s = serials[k];
        block[k * 12 + 0] = static_cast<std::uint8_t>(s);
        block[k * 12 + 1] = static_cast<std::uint8_t>(s >> 8);
        block[k * 12 + 2] = static_cast<std::uint8_t>(s >> 16);
        block[k * 12 + 3] = static_cast<std::uint8_t>(s >> 24);
    }
    return block;
}

class KeyFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    void TearDown() override { platform::SetUsbBackend(nullptr); }

    QString Folder() const { return dir_.path(); }
    QString PathOf(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    bool Exists(const QString& name) const { return QFile::exists(PathOf(name)); }

    // A new key image with the directory and, for every used slot, the
    // pattern in each block the download reads.
    std::string MakeImage(const QString& name, const std::array<std::uint32_t, 16>& serials)
    {
        const std::string path = PathOf(name).toStdString();
        platform::KeyImageFile image;
        EXPECT_TRUE(image.Create(path));
        const Block dir = DirectoryBlock(serials);
        image.WriteBlock(0, dir.data());
        for (int k = 1; k <= 16; ++k) {
            if (serials[k - 1] == 0)
                continue;
            const std::uint32_t first = std::uint32_t(k - 1) * 8192 + 2049;
            for (std::uint32_t b = first; b < first + 7168; ++b) {
                const Block block = PatternBlock(b);
                image.WriteBlock(b, block.data());
            }
        }
        return path;
    }

    // Installs the keys as the run's backend; returns it for its stats.
    platform::SimKeyBackend& Install(std::vector<platform::SimKey> keys)
    {
        auto backend = std::make_unique<platform::SimKeyBackend>(std::move(keys));
        platform::SimKeyBackend& ref = *backend;
        platform::SetUsbBackend(std::move(backend));
        return ref;
    }

    static Block ImageBlock(const std::string& path, std::uint32_t b)
    {
        Block block{};
        EXPECT_TRUE(platform::ReadKeyImageBlock(path, b, block.data()));
        return block;
    }

    QByteArray FileBytes(const QString& name) const
    {
        QFile f(PathOf(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    void WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile f(PathOf(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QTemporaryDir dir_;
};

}  // namespace keytest
