#pragma once
// The data key's memory: which 512-byte blocks hold what, and the key
// directory block (block 0) with the serial numbers of the session slots
// and the flags of the picture slots and the configuration region.
#include <array>
#include <cstdint>

#include "platform/usb.h"

struct KeyTransfer;

constexpr std::uint32_t kDirectoryBlock = 0;

// Picture slots 0 ("Screensaver") and 1 ("Splashscreen"): 512 blocks each.
constexpr int kPictureSlotCount = 2;
constexpr std::uint32_t kPictureSlotBlocks = 512;
constexpr std::uint32_t PictureSlotFirstBlock(int slot)
{
    return static_cast<std::uint32_t>(slot) * kPictureSlotBlocks + 1;
}
constexpr std::uint32_t PictureSlotLastBlock(int slot)
{
    return static_cast<std::uint32_t>(slot) * kPictureSlotBlocks + kPictureSlotBlocks;
}

// Session slots k = 1..16 of 8192 blocks; only the upper 7168 are read.
constexpr int kSessionSlotCount = 16;
constexpr std::uint32_t kSessionSlotBlocks = 8192;
constexpr std::uint32_t kSessionSlotReadBlocks = 7168;
constexpr std::uint32_t SessionSlotFirstBlock(int k)
{
    return static_cast<std::uint32_t>(k - 1) * kSessionSlotBlocks + 1025;
}
constexpr std::uint32_t SessionSlotFirstReadBlock(int k)
{
    return static_cast<std::uint32_t>(k - 1) * kSessionSlotBlocks + 2049;
}
constexpr std::uint32_t SessionSlotLastBlock(int k)
{
    return static_cast<std::uint32_t>(k) * kSessionSlotBlocks + 1024;
}

// Configuration region.
constexpr std::uint32_t kConfigFirstBlock = 132097;  // 0x20401
constexpr std::uint32_t kConfigLastBlock = 140288;   // 0x22400
constexpr std::uint32_t kConfigBlocks = kConfigLastBlock - kConfigFirstBlock + 1;

// Directory flags set to 1 after an upload.
constexpr int kPictureFlagOffset = 192;  // + picture slot
constexpr int kConfigFlagOffset = 194;

// The part of the directory block the windows keep: bytes 0..195.
class KeyDirectory {
public:
    static constexpr int kKeptBytes = 196;
    static constexpr int kEntrySize = 12;

    KeyDirectory() { bytes_.fill(0); }
    // From the 512 data bytes of block 0.
    static KeyDirectory FromBlock(const std::uint8_t* block);

    // Serial number of the logger that wrote session slot k (1..16);
    // 0 = the slot holds no recordings.
    std::uint32_t Serial(int k) const;
    // Number of slots with a non-zero serial.
    int UsedSlotCount() const;
    std::uint8_t Byte(int offset) const { return bytes_.at(offset); }

private:
    std::array<std::uint8_t, kKeptBytes> bytes_;
};

// How a directory write-back ended.
enum class DirectoryWriteBack {
    Written,          // block 0 read, flag set, written back and acknowledged
    ReadFailed,       // block 0 could not be read; nothing written
    WriteFailed,      // the write command did not go out whole
    NotAcknowledged,  // the key did not acknowledge the write
};

// Sets one flag byte of block 0 to 1, keeping every other byte as read.
// transfer, when given, receives the write's results.
DirectoryWriteBack WriteBackDirectoryFlag(platform::UsbHandle& handle, int flagOffset,
                                          KeyTransfer* transfer = nullptr);
