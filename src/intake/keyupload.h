#pragma once
// Writing to the data key: a 480 x 273 picture into one of the two picture
// slots (converted to a key image file "tmp.bin" first) and a key
// configuration file into the configuration region; after a complete
// transfer the slot's or region's flag is set in the key directory block.
// Widget-free: the "Send data" window passes callbacks for its messages,
// file choice and progress gauge.
#include <QString>

#include <cstdint>
#include <functional>

#include "platform/usb.h"

constexpr int kKeyImageWidth = 480;
constexpr int kKeyImageHeight = 273;
// 2-byte height, 2-byte width, then 16 bits per pixel.
constexpr qint64 kKeyImageFileSize = 4 + qint64(kKeyImageWidth) * kKeyImageHeight * 2;

struct UploadCallbacks {
    std::function<void(const QString&)> showMessage;  // the operation's own texts
    std::function<void(const QString&)> showError;    // file errors, in their own words
    std::function<void(int)> setProgressMaximum;
    std::function<void(int)> setProgress;
    std::function<void()> processEvents;  // after every block
    // Asks for the configuration file; empty = cancelled.
    std::function<QString()> chooseConfigurationFile;
};

// RGB565 with each component scaled and truncated toward zero.
std::uint16_t ToRgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// "tmp.bin" in the folder of the chosen bitmap.
QString KeyImageFilePath(const QString& bitmapPath);

// Converts a 24-bit 480 x 273 bitmap into tmp.bin beside it: height, width,
// then the pixels as little-endian RGB565 in the bitmap's storage order.
// True when tmp.bin was written.
bool MakeKeyImageFile(const QString& bitmapPath, const UploadCallbacks& callbacks);

// Sends a key image file to picture slot 0 or 1 of every attached key.
void UploadImage(platform::UsbBackend& usb, const QString& keyImagePath, int slot,
                 const UploadCallbacks& callbacks);

// Sends a chosen file to the configuration region of every attached key.
void UploadConfiguration(platform::UsbBackend& usb, const UploadCallbacks& callbacks);
