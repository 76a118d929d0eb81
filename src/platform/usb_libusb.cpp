// The real USB backend over libusb 0.1.
#include "platform/usb.h"

#include <usb.h>

namespace platform {

namespace {

class LibUsbHandle final : public UsbHandle {
public:
    explicit LibUsbHandle(usb_dev_handle* handle) : handle_(handle) {}
    ~LibUsbHandle() override { Close(); }

    int SetConfiguration(int configuration) override
    {
        return handle_ ? usb_set_configuration(handle_, configuration) : -19;
    }
    int ClaimInterface(int interfaceNumber) override
    {
        return handle_ ? usb_claim_interface(handle_, interfaceNumber) : -19;
    }
    int BulkWrite(int endpoint, const std::uint8_t* data, int size, int timeoutMs) override
    {
        if (!handle_)
            return -19;
        return usb_bulk_write(handle_, endpoint, reinterpret_cast<const char*>(data), size,
                              timeoutMs);
    }
    int BulkRead(int endpoint, std::uint8_t* buffer, int size, int timeoutMs) override
    {
        if (!handle_)
            return -19;
        return usb_bulk_read(handle_, endpoint, reinterpret_cast<char*>(buffer), size, timeoutMs);
    }
    int Close() override
    {
        if (!handle_)
            return 0;
        const int result = usb_close(handle_);
        handle_ = nullptr;
        return result;
    }

private:
    usb_dev_handle* handle_;
};

class LibUsbBackend final : public UsbBackend {
public:
    void Init() override
    {
        usb_init();
        initialised_ = true;
    }
    int FindBusses() override
    {
        EnsureInit();
        return usb_find_busses();
    }
    int FindDevices() override
    {
        EnsureInit();
        return usb_find_devices();
    }
    std::vector<UsbBus> Busses() override
    {
        EnsureInit();
        std::vector<UsbBus> result;
        for (usb_bus* bus = usb_get_busses(); bus != nullptr; bus = bus->next) {
            UsbBus entry;
            entry.dirname = bus->dirname;
            for (struct usb_device* dev = bus->devices; dev != nullptr; dev = dev->next) {
                UsbDevice device;
                device.filename = dev->filename;
                device.idVendor = dev->descriptor.idVendor;
                device.idProduct = dev->descriptor.idProduct;
                device.native = reinterpret_cast<std::uintptr_t>(dev);
                entry.devices.push_back(std::move(device));
            }
            result.push_back(std::move(entry));
        }
        return result;
    }
    std::unique_ptr<UsbHandle> Open(const UsbDevice& device) override
    {
        auto* dev = reinterpret_cast<struct usb_device*>(device.native);
        if (dev == nullptr)
            return nullptr;
        usb_dev_handle* handle = usb_open(dev);
        if (handle == nullptr)
            return nullptr;
        return std::make_unique<LibUsbHandle>(handle);
    }
    // The driver installation belongs to the library's Windows build; on
    // Linux the kernel's generic USB access serves the key and there is
    // nothing to install (device permissions come from a udev rule).
    int InstallDriver(const std::string& infPath) override { return 0; }

private:
    // libusb 0.1 must be initialised before any other call.
    void EnsureInit()
    {
        if (!initialised_)
            Init();
    }
    bool initialised_ = false;
};

}  // namespace

std::unique_ptr<UsbBackend> MakeLibUsbBackend()
{
    return std::make_unique<LibUsbBackend>();
}

}  // namespace platform
