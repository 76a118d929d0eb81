#pragma once
// A simulated data key: a USB backend whose devices answer the key's block
// protocol from a key image file, so that the program, its tests and the
// logger simulator work without the hardware.
//
// A key image file is the key's memory: block b at byte offset b * 512;
// bytes beyond the end of the file read as zero (a sparse or short file is
// fine) and writes extend the file.
//
// Each image is one device (vendor 0x1234, product 0x1235, configuration 1,
// interface 1) on one simulated bus, in the order given.  On the bulk
// endpoints 0x05 (OUT) and 0x82 (IN) it understands exactly two exchanges:
//   read:  OUT 5 bytes 0x04 + block (big-endian); the next IN read returns
//          517 bytes: the command echoed, then the block's 512 bytes.
//   write: OUT 517 bytes 0x05 + block + 512 data bytes; the block is stored
//          and the next IN read returns the 5-byte command echo as its
//          acknowledgement.
// Anything else fails as a real device would; an IN read with nothing
// pending reports a time-out (-110) at once, without waiting.
#include "platform/usb.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Direct block access to a key image file (tests, the logger simulator).
class KeyImageFile {
public:
    static constexpr int kBlockSize = 512;

    KeyImageFile() = default;
    ~KeyImageFile();
    KeyImageFile(const KeyImageFile&) = delete;
    KeyImageFile& operator=(const KeyImageFile&) = delete;
    KeyImageFile(KeyImageFile&& other) noexcept;
    KeyImageFile& operator=(KeyImageFile&& other) noexcept;

    // Opens an image for reading and writing, creating a missing file.
    bool Open(const std::string& path);
    // Opens an image and empties it: every block then reads as zero.
    bool Create(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& ErrorText() const { return error_; }

    // 512 bytes each; blocks beyond the end of the file read as zeros.
    bool ReadBlock(std::uint32_t block, std::uint8_t* out) const;
    bool WriteBlock(std::uint32_t block, const std::uint8_t* data);

private:
    bool OpenFile(const std::string& path, bool truncate);
    int fd_ = -1;
    mutable std::string error_;
};

// One-call helpers over KeyImageFile.
bool CreateKeyImage(const std::string& path);
bool WriteKeyImageBlock(const std::string& path, std::uint32_t block, const std::uint8_t* data);
bool ReadKeyImageBlock(const std::string& path, std::uint32_t block, std::uint8_t* out);

// Ways a simulated device can misbehave (all off by default).  Write
// commands are counted from 1 over the device's whole life.
struct SimKeyOptions {
    std::uint16_t idVendor = 0x1234;
    std::uint16_t idProduct = 0x1235;
    bool refuseOpen = false;           // usb_open fails
    bool refuseConfiguration = false;  // set configuration fails
    bool refuseInterface = false;      // claim interface fails
    std::optional<std::uint32_t> failReadRequestAt;  // read command of this block fails
    std::optional<std::uint32_t> failReadAt;         // reply to this block's read fails
    std::optional<std::uint32_t> failReadsFrom;      // replies to this block's read and every higher one fail
    std::optional<std::uint32_t> shortReadAt;        // reply to this block's read is short
    int shortReadLength = 100;                       // bytes of such a short reply
    int missingAckFrom = 0;  // from this write command on: stored, never acknowledged
    int failWritesFrom = 0;  // from this write command on: refused, nothing stored
};

struct SimKey {
    std::string imagePath;
    SimKeyOptions options;
};

// What a simulated device was asked to do.
struct SimKeyStats {
    int opens = 0;
    int readCommands = 0;
    int writeCommands = 0;                   // every write command received
    std::vector<std::uint32_t> writtenBlocks;  // blocks stored, in order
};

class SimKeyBackend final : public UsbBackend {
public:
    explicit SimKeyBackend(std::vector<SimKey> keys);
    ~SimKeyBackend() override;

    void Init() override {}
    int FindBusses() override { return 0; }
    int FindDevices() override { return 0; }
    std::vector<UsbBus> Busses() override;
    std::unique_ptr<UsbHandle> Open(const UsbDevice& device) override;
    int InstallDriver(const std::string& infPath) override;

    std::size_t DeviceCount() const { return devices_.size(); }
    const SimKeyStats& Stats(std::size_t device) const;
    // Misbehaviour may change between operations.
    SimKeyOptions& Options(std::size_t device);
    // Paths InstallDriver was called with.
    const std::vector<std::string>& InstalledDrivers() const { return installedDrivers_; }

    struct Device;

private:
    std::vector<std::shared_ptr<Device>> devices_;
    std::vector<std::string> installedDrivers_;
};

}  // namespace platform
