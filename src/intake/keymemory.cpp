// The data key's memory layout and directory block.
#include "intake/keymemory.h"

#include <algorithm>

#include "intake/keylink.h"

KeyDirectory KeyDirectory::FromBlock(const std::uint8_t* block)
{
    KeyDirectory directory;
    std::copy(block, block + kKeptBytes, directory.bytes_.begin());
    return directory;
}

std::uint32_t KeyDirectory::Serial(int k) const
{
    if (k < 1 || k > kSessionSlotCount)
        return 0;
    const std::size_t at = static_cast<std::size_t>(k - 1) * kEntrySize;
    return std::uint32_t(bytes_[at]) | (std::uint32_t(bytes_[at + 1]) << 8) |
           (std::uint32_t(bytes_[at + 2]) << 16) | (std::uint32_t(bytes_[at + 3]) << 24);
}

int KeyDirectory::UsedSlotCount() const
{
    int used = 0;
    for (int k = 1; k <= kSessionSlotCount; ++k)
        if (Serial(k) != 0)
            ++used;
    return used;
}

DirectoryWriteBack WriteBackDirectoryFlag(platform::UsbHandle& handle, int flagOffset, KeyTransfer* transfer)
{
    std::uint8_t block[kKeyBlockSize];
    // Writing back a block that was not read would wipe the slots' serial
    // numbers, so a failed read leaves the directory alone.
    if (!ReadKeyBlockSucceeded(ReadKeyBlock(handle, kDirectoryBlock, block)))
        return DirectoryWriteBack::ReadFailed;
    block[flagOffset] = 1;
    const KeyTransfer t = WriteKeyBlock(handle, kDirectoryBlock, block, kKeyDirectoryAckTimeoutMs);
    if (transfer)
        *transfer = t;
    if (t.writeResult != kKeyReplySize)
        return DirectoryWriteBack::WriteFailed;
    if (t.readResult != kKeyAckSize)
        return DirectoryWriteBack::NotAcknowledged;
    return DirectoryWriteBack::Written;
}
