// Choice of the USB backend for the run.
#include "platform/usb.h"

#include "platform/usb_simkey.h"

#include <cstdlib>

namespace platform {

namespace {

std::unique_ptr<UsbBackend>& CurrentBackend()
{
    static std::unique_ptr<UsbBackend> backend;
    return backend;
}

std::unique_ptr<UsbBackend> ChooseBackend()
{
    const char* simKeys = std::getenv("PITROVA_SIM_KEYS");
    if (simKeys == nullptr)
        return MakeLibUsbBackend();
    std::vector<SimKey> keys;
    const std::string list(simKeys);
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            keys.push_back(SimKey{list.substr(start, end - start), {}});
        start = end + 1;
    }
    return std::make_unique<SimKeyBackend>(std::move(keys));
}

}  // namespace

UsbBackend& Usb()
{
    auto& backend = CurrentBackend();
    if (!backend)
        backend = ChooseBackend();
    return *backend;
}

void SetUsbBackend(std::unique_ptr<UsbBackend> backend)
{
    CurrentBackend() = std::move(backend);
}

}  // namespace platform
