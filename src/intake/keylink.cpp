// The data key's USB link.
#include "intake/keylink.h"

#include <QCoreApplication>
#include <QDir>
#include <QCursor>
#include <QGuiApplication>

#include <chrono>
#include <cstring>
#include <thread>

#include "shell/common/stale.h"

namespace {

void PutCommand(std::uint8_t* out, std::uint8_t command, std::uint32_t block)
{
    out[0] = command;
    out[1] = static_cast<std::uint8_t>(block >> 24);
    out[2] = static_cast<std::uint8_t>(block >> 16);
    out[3] = static_cast<std::uint8_t>(block >> 8);
    out[4] = static_cast<std::uint8_t>(block);
}

void Enumerate(platform::UsbBackend& usb)
{
    usb.Init();
    usb.FindBusses();
    usb.FindDevices();
}

}  // namespace

KeyTransfer ReadKeyBlock(platform::UsbHandle& handle, std::uint32_t block, std::uint8_t* data)
{
    std::uint8_t command[kKeyCommandSize];
    PutCommand(command, kKeyReadCommand, block);
    KeyTransfer result;
    result.writeResult =
        handle.BulkWrite(kKeyEndpointOut, command, kKeyCommandSize, kKeyTransferTimeoutMs);
    std::uint8_t reply[kKeyReadBufferSize] = {};
    result.readResult =
        handle.BulkRead(kKeyEndpointIn, reply, kKeyReadBufferSize, kKeyTransferTimeoutMs);
    std::memcpy(data, reply + kKeyCommandSize, kKeyBlockSize);
    return result;
}

bool ReadKeyBlockSucceeded(const KeyTransfer& transfer)
{
    return transfer.writeResult == kKeyCommandSize && transfer.readResult >= kKeyReplySize;
}

KeyTransfer WriteKeyBlock(platform::UsbHandle& handle, std::uint32_t block,
                          const std::uint8_t* data, int ackTimeoutMs)
{
    std::uint8_t command[kKeyReplySize];
    PutCommand(command, kKeyWriteCommand, block);
    std::memcpy(command + kKeyCommandSize, data, kKeyBlockSize);
    KeyTransfer result;
    result.writeResult =
        handle.BulkWrite(kKeyEndpointOut, command, kKeyReplySize, kKeyTransferTimeoutMs);
    std::uint8_t ack[kKeyAckSize] = {};
    result.readResult = handle.BulkRead(kKeyEndpointIn, ack, kKeyAckSize, ackTimeoutMs);
    return result;
}

std::vector<platform::UsbDevice> FindKeys(platform::UsbBackend& usb, KeyMatch match,
                                          QStringList* deviceList)
{
    Enumerate(usb);
    const std::vector<platform::UsbBus> busses = usb.Busses();
    if (deviceList)
        deviceList->append(kKeyDeviceListHeader);
    std::vector<platform::UsbDevice> keys;
    for (const auto& bus : busses) {
        for (const auto& device : bus.devices) {
            if (device.idVendor != kKeyVendorId)
                continue;
            if (match == KeyMatch::VendorAndProduct && device.idProduct != kKeyProductId)
                continue;
            keys.push_back(device);
        }
    }
    return keys;
}

std::unique_ptr<platform::UsbHandle> OpenKey(platform::UsbBackend& usb,
                                             const platform::UsbDevice& device)
{
    std::unique_ptr<platform::UsbHandle> handle = usb.Open(device);
    if (!handle)
        return nullptr;
    if (handle->SetConfiguration(kKeyConfiguration) != 0 ||
        handle->ClaimInterface(kKeyInterface) != 0) {
        handle->Close();
        return nullptr;
    }
    return handle;
}

bool KeyPresent(platform::UsbBackend& usb, const std::function<void()>& processEvents,
                QStringList* deviceList)
{
    auto process = [&] {
        if (processEvents)
            processEvents();
    };
    usb.Init();
    process();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    usb.FindBusses();
    usb.FindDevices();
    const std::vector<platform::UsbBus> busses = usb.Busses();
    if (deviceList)
        deviceList->append(kKeyDeviceListHeader);
    for (const auto& bus : busses) {
        for (const auto& device : bus.devices) {
            process();
            if (device.idVendor == kKeyVendorId)
                return true;
        }
    }
    process();
    return false;
}

bool KeyPresentNow()
{
    return KeyPresent(platform::Usb(), [] { QCoreApplication::processEvents(); });
}

QString KeyDriverInfPath(const QString& programFolder)
{
    return IncludeBackslash(programFolder) + QStringLiteral("Driver") + QDir::separator() +
           QStringLiteral("USB_Qvix_dev.inf");
}

void InstallKeyDriver(platform::UsbBackend& usb, const QString& programFolder)
{
    const bool cursor = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (cursor)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    usb.InstallDriver(KeyDriverInfPath(programFolder).toStdString());
    if (cursor)
        QGuiApplication::restoreOverrideCursor();
}

void InstallKeyDriver()
{
    InstallKeyDriver(platform::Usb(), ProgramFolder());
}
