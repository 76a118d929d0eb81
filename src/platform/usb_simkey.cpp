// Simulated data key over key image files.
#include "platform/usb_simkey.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// ---------------------------------------------------------------- image file

KeyImageFile::~KeyImageFile()
{
    Close();
}

KeyImageFile::KeyImageFile(KeyImageFile&& other) noexcept
    : fd_(other.fd_), error_(std::move(other.error_))
{
    other.fd_ = -1;
}

KeyImageFile& KeyImageFile::operator=(KeyImageFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        error_ = std::move(other.error_);
        other.fd_ = -1;
    }
    return *this;
}

bool KeyImageFile::OpenFile(const std::string& path, bool truncate)
{
    Close();
    int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    if (truncate)
        flags |= O_TRUNC;
    fd_ = ::open(path.c_str(), flags, 0644);
    if (fd_ < 0) {
        error_ = "Cannot open key image " + path + ": " + std::strerror(errno);
        return false;
    }
    error_.clear();
    return true;
}

bool KeyImageFile::Open(const std::string& path)
{
    return OpenFile(path, false);
}

bool KeyImageFile::Create(const std::string& path)
{
    return OpenFile(path, true);
}

void KeyImageFile::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool KeyImageFile::ReadBlock(std::uint32_t block, std::uint8_t* out) const
{
    if (fd_ < 0) {
        error_ = "Key image is not open";
        return false;
    }
    const off_t offset = static_cast<off_t>(block) * kBlockSize;
    std::size_t done = 0;
    while (done < kBlockSize) {
        const ssize_t n = ::pread(fd_, out + done, kBlockSize - done, offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = std::string("Cannot read key image: ") + std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;  // end of file: the rest of the block reads as zero
        done += static_cast<std::size_t>(n);
    }
    std::memset(out + done, 0, kBlockSize - done);
    return true;
}

bool KeyImageFile::WriteBlock(std::uint32_t block, const std::uint8_t* data)
{
    if (fd_ < 0) {
        error_ = "Key image is not open";
        return false;
    }
    const off_t offset = static_cast<off_t>(block) * kBlockSize;
    std::size_t done = 0;
    while (done < kBlockSize) {
        const ssize_t n = ::pwrite(fd_, data + done, kBlockSize - done, offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = std::string("Cannot write key image: ") + std::strerror(errno);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool CreateKeyImage(const std::string& path)
{
    KeyImageFile file;
    return file.Create(path);
}

bool WriteKeyImageBlock(const std::string& path, std::uint32_t block, const std::uint8_t* data)
{
    KeyImageFile file;
    return file.Open(path) && file.WriteBlock(block, data);
}

bool ReadKeyImageBlock(const std::string& path, std::uint32_t block, std::uint8_t* out)
{
    KeyImageFile file;
    return file.Open(path) && file.ReadBlock(block, out);
}

// ---------------------------------------------------------------- device

namespace {

constexpr int kEndpointOut = 0x05;
constexpr int kEndpointIn = 0x82;
constexpr int kReadCommand = 0x04;
constexpr int kWriteCommand = 0x05;
constexpr int kHeaderSize = 5;
constexpr int kReplySize = kHeaderSize + KeyImageFile::kBlockSize;

// Error codes as libusb 0.1 on Linux reports them (negative errno).
constexpr int kErrIo = -EIO;
constexpr int kErrInvalid = -EINVAL;
constexpr int kErrBusy = -EBUSY;
constexpr int kErrNoDevice = -ENODEV;
constexpr int kErrPipe = -EPIPE;
constexpr int kErrOverflow = -EOVERFLOW;
constexpr int kErrTimeout = -ETIMEDOUT;

std::uint32_t BlockOf(const std::uint8_t* command)
{
    return (std::uint32_t(command[1]) << 24) | (std::uint32_t(command[2]) << 16) |
           (std::uint32_t(command[3]) << 8) | std::uint32_t(command[4]);
}

}  // namespace

struct SimKeyBackend::Device {
    SimKey key;
    KeyImageFile image;
    SimKeyStats stats;
    // The reply the next IN read returns (0 bytes: nothing pending).
    std::uint8_t reply[kReplySize] = {};
    int replyLength = 0;
    // Error the next IN read returns instead of a reply (0: none).
    int replyError = 0;

    void Clear()
    {
        replyLength = 0;
        replyError = 0;
    }

    int HandleOut(const std::uint8_t* data, int size)
    {
        Clear();
        if (size == kHeaderSize && data[0] == kReadCommand) {
            const std::uint32_t block = BlockOf(data);
            ++stats.readCommands;
            if (key.options.failReadRequestAt && *key.options.failReadRequestAt == block)
                return kErrIo;
            std::memcpy(reply, data, kHeaderSize);
            if (!image.ReadBlock(block, reply + kHeaderSize))
                return kErrIo;
            replyLength = kReplySize;
            if ((key.options.failReadAt && *key.options.failReadAt == block) ||
                (key.options.failReadsFrom && block >= *key.options.failReadsFrom))
                replyError = kErrIo;
            else if (key.options.shortReadAt && *key.options.shortReadAt == block)
                replyLength = std::clamp(key.options.shortReadLength, 0, kReplySize);
            return size;
        }
        if (size == kReplySize && data[0] == kWriteCommand) {
            const int number = ++stats.writeCommands;
            if (key.options.failWritesFrom > 0 && number >= key.options.failWritesFrom)
                return kErrIo;
            const std::uint32_t block = BlockOf(data);
            if (!image.WriteBlock(block, data + kHeaderSize))
                return kErrIo;
            stats.writtenBlocks.push_back(block);
            if (key.options.missingAckFrom <= 0 || number < key.options.missingAckFrom) {
                std::memcpy(reply, data, kHeaderSize);
                replyLength = kHeaderSize;
            }
            return size;
        }
        // An unknown command stalls the endpoint.
        return kErrPipe;
    }

    int HandleIn(std::uint8_t* buffer, int size)
    {
        if (replyError != 0) {
            const int error = replyError;
            Clear();
            return error;
        }
        if (replyLength == 0)
            return kErrTimeout;
        const int length = replyLength;
        Clear();
        if (size < length)
            return kErrOverflow;
        std::memcpy(buffer, reply, static_cast<std::size_t>(length));
        return length;
    }
};

namespace {

class SimKeyHandle final : public UsbHandle {
public:
    explicit SimKeyHandle(std::shared_ptr<SimKeyBackend::Device> device)
        : device_(std::move(device))
    {
    }

    int SetConfiguration(int configuration) override
    {
        if (!device_)
            return kErrNoDevice;
        if (device_->key.options.refuseConfiguration)
            return kErrBusy;
        if (configuration != 1)
            return kErrInvalid;
        return 0;
    }
    int ClaimInterface(int interfaceNumber) override
    {
        if (!device_)
            return kErrNoDevice;
        if (device_->key.options.refuseInterface)
            return kErrBusy;
        if (interfaceNumber != 1)
            return kErrInvalid;
        claimed_ = true;
        return 0;
    }
    int BulkWrite(int endpoint, const std::uint8_t* data, int size, int timeoutMs) override
    {
        if (!device_)
            return kErrNoDevice;
        if (!claimed_ || endpoint != kEndpointOut || data == nullptr || size < 0)
            return kErrInvalid;
        return device_->HandleOut(data, size);
    }
    int BulkRead(int endpoint, std::uint8_t* buffer, int size, int timeoutMs) override
    {
        if (!device_)
            return kErrNoDevice;
        if (!claimed_ || endpoint != kEndpointIn || buffer == nullptr || size < 0)
            return kErrInvalid;
        return device_->HandleIn(buffer, size);
    }
    int Close() override
    {
        device_.reset();
        return 0;
    }

private:
    std::shared_ptr<SimKeyBackend::Device> device_;
    bool claimed_ = false;
};

}  // namespace

// ---------------------------------------------------------------- backend

SimKeyBackend::SimKeyBackend(std::vector<SimKey> keys)
{
    for (auto& key : keys) {
        auto device = std::make_shared<Device>();
        device->key = std::move(key);
        // A device whose image cannot be opened is still listed; its
        // transfers then fail.
        device->image.Open(device->key.imagePath);
        devices_.push_back(std::move(device));
    }
}

SimKeyBackend::~SimKeyBackend() = default;

std::vector<UsbBus> SimKeyBackend::Busses()
{
    UsbBus bus;
    bus.dirname = "001";
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        UsbDevice device;
        std::string name = std::to_string(i + 1);
        device.filename = std::string(name.size() < 3 ? 3 - name.size() : 0, '0') + name;
        device.idVendor = devices_[i]->key.options.idVendor;
        device.idProduct = devices_[i]->key.options.idProduct;
        device.native = i;
        bus.devices.push_back(std::move(device));
    }
    return {bus};
}

std::unique_ptr<UsbHandle> SimKeyBackend::Open(const UsbDevice& device)
{
    if (device.native >= devices_.size())
        return nullptr;
    auto& target = devices_[device.native];
    if (target->key.options.refuseOpen)
        return nullptr;
    ++target->stats.opens;
    target->Clear();
    return std::make_unique<SimKeyHandle>(target);
}

int SimKeyBackend::InstallDriver(const std::string& infPath)
{
    installedDrivers_.push_back(infPath);
    return 0;
}

const SimKeyStats& SimKeyBackend::Stats(std::size_t device) const
{
    return devices_.at(device)->stats;
}

SimKeyOptions& SimKeyBackend::Options(std::size_t device)
{
    return devices_.at(device)->key.options;
}

}  // namespace platform
