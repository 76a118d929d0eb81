#pragma once
// The USB library as the program uses it: the few libusb 0.1 calls for bus
// and device enumeration, opening a device, bulk transfers and closing it,
// plus the driver installation call of the library's Windows build.
//
// Two backends implement it: the real libusb 0.1 and a simulated data key
// whose memory is a key image file (usb_simkey.h).  Usb() picks one at first
// use: the simulated keys when PITROVA_SIM_KEYS is set (key image file paths
// separated by ':'), otherwise libusb.  Tests install their own backend with
// SetUsbBackend.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One device of a bus as the last enumeration saw it.
struct UsbDevice {
    std::string filename;  // device name on its bus (usb_device.filename)
    std::uint16_t idVendor = 0;
    std::uint16_t idProduct = 0;
    std::uintptr_t native = 0;  // backend's own reference to the device
};

// One bus with its devices, in the library's list order.
struct UsbBus {
    std::string dirname;  // bus name (usb_bus.dirname)
    std::vector<UsbDevice> devices;
};

// An open device (usb_dev_handle).  Transfers return the number of bytes
// moved or a negative error code; the other calls return 0 on success.
// Destroying an open handle closes it.
class UsbHandle {
public:
    virtual ~UsbHandle() = default;
    virtual int SetConfiguration(int configuration) = 0;
    virtual int ClaimInterface(int interfaceNumber) = 0;
    virtual int BulkWrite(int endpoint, const std::uint8_t* data, int size, int timeoutMs) = 0;
    virtual int BulkRead(int endpoint, std::uint8_t* buffer, int size, int timeoutMs) = 0;
    virtual int Close() = 0;
};

class UsbBackend {
public:
    virtual ~UsbBackend() = default;
    virtual void Init() = 0;          // usb_init
    virtual int FindBusses() = 0;     // usb_find_busses
    virtual int FindDevices() = 0;    // usb_find_devices
    // usb_get_busses: the busses in list order, each with its devices in order.
    virtual std::vector<UsbBus> Busses() = 0;
    // usb_open; null when the device cannot be opened.
    virtual std::unique_ptr<UsbHandle> Open(const UsbDevice& device) = 0;
    // usb_install_driver_np: installs a driver from an information file.
    virtual int InstallDriver(const std::string& infPath) = 0;
};

// The backend of this run (chosen at first use, see above).
UsbBackend& Usb();
// Replaces the backend (tests); null goes back to the choice at next use.
void SetUsbBackend(std::unique_ptr<UsbBackend> backend);

// The real backend over libusb 0.1.
std::unique_ptr<UsbBackend> MakeLibUsbBackend();

}  // namespace platform
