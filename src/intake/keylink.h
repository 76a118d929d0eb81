#pragma once
// The data key's USB link: its identity, the two block exchanges, the
// device search, opening a key, the presence check and the driver
// installation.  Everything runs on the calling (user-interface) thread.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/usb.h"

// Device identity and endpoints of the key.
constexpr std::uint16_t kKeyVendorId = 0x1234;
constexpr std::uint16_t kKeyProductId = 0x1235;
constexpr int kKeyConfiguration = 1;
constexpr int kKeyInterface = 1;
constexpr int kKeyEndpointOut = 0x05;
constexpr int kKeyEndpointIn = 0x82;

// Block exchanges.
constexpr int kKeyBlockSize = 512;
constexpr int kKeyCommandSize = 5;                           // command byte + block number
constexpr int kKeyReplySize = kKeyCommandSize + kKeyBlockSize;  // 517: read reply, write command
constexpr int kKeyAckSize = 5;
constexpr int kKeyReadBufferSize = 600;
constexpr std::uint8_t kKeyReadCommand = 0x04;
constexpr std::uint8_t kKeyWriteCommand = 0x05;
constexpr int kKeyTransferTimeoutMs = 1000;
constexpr int kKeyImageAckTimeoutMs = 500;
constexpr int kKeyConfigAckTimeoutMs = 300;
constexpr int kKeyDirectoryAckTimeoutMs = 300;

// The one line every device search adds to its hidden device list.
inline const QString kKeyDeviceListHeader = QStringLiteral("bus/device  idVendor/idProduct");

// Results of the two transfers of one exchange (bytes moved or a negative
// error code).
struct KeyTransfer {
    int writeResult = 0;
    int readResult = 0;
};

// Reads one block: OUT 0x04 + block big-endian, IN up to 600 bytes; the
// block's data are bytes 5..516 of the reply.  data receives 512 bytes
// (zeros where the reply fell short).
KeyTransfer ReadKeyBlock(platform::UsbHandle& handle, std::uint32_t block, std::uint8_t* data);
// True when both transfers of a block read moved their full size.
bool ReadKeyBlockSucceeded(const KeyTransfer& transfer);

// Writes one block: OUT 0x05 + block big-endian + 512 data bytes, then
// reads the 5-byte acknowledgement with the given time-out.
KeyTransfer WriteKeyBlock(platform::UsbHandle& handle, std::uint32_t block,
                          const std::uint8_t* data, int ackTimeoutMs);

enum class KeyMatch {
    VendorOnly,        // presence check and uploads
    VendorAndProduct,  // download
};

// Enumerates the busses from scratch and returns the matching devices in
// bus and device order.  deviceList, when given, receives the header line.
std::vector<platform::UsbDevice> FindKeys(platform::UsbBackend& usb, KeyMatch match,
                                          QStringList* deviceList = nullptr);

// Opens a key: open, set configuration 1, claim interface 1.  Null on any
// failure (the caller shows "Communication error").
std::unique_ptr<platform::UsbHandle> OpenKey(platform::UsbBackend& usb,
                                             const platform::UsbDevice& device);

// Presence check: true at the first device with the key's vendor id; the
// device is never opened.  processEvents lets the window system work
// between the steps.
bool KeyPresent(platform::UsbBackend& usb, const std::function<void()>& processEvents,
                QStringList* deviceList = nullptr);
// The presence check on the run's backend, processing pending events.
bool KeyPresentNow();

// The driver information file below a program folder.
QString KeyDriverInfPath(const QString& programFolder);
// Installs the key's driver from the program folder's "Driver" folder
// (hourglass cursor meanwhile when there is a user interface).  The
// result is not looked at.
void InstallKeyDriver(platform::UsbBackend& usb, const QString& programFolder);
// The same on the run's backend and the running program's folder.
void InstallKeyDriver();
