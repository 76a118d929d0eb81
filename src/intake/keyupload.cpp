// Picture and configuration upload to the data key.
#include "intake/keyupload.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "intake/keylink.h"
#include "intake/keymemory.h"

namespace {

const QString kCommunicationError = QStringLiteral("Communication error");

// Bitmap file and information header fields used here.
constexpr int kBitmapHeadersSize = 14 + 40;
constexpr int kPixelOffsetAt = 10;
constexpr int kWidthAt = 18;
constexpr int kHeightAt = 22;
constexpr int kBitCountAt = 28;

template <typename F, typename... A>
void Call(const F& f, A&&... args)
{
    if (f)
        f(std::forward<A>(args)...);
}

void ShowFileError(const UploadCallbacks& callbacks, const QString& text)
{
    if (callbacks.showError)
        callbacks.showError(text);
    else
        Call(callbacks.showMessage, text);
}

std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void PutLe16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Reads a whole source file for a transfer (at most maxBytes of it).
bool ReadSource(const QString& path, qint64 maxBytes, QByteArray& data,
                const UploadCallbacks& callbacks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowFileError(callbacks, QStringLiteral("Cannot open file %1: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    data = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        ShowFileError(callbacks, QStringLiteral("Cannot read file %1: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

// Block i of a source: its next 512 bytes, 0xFF after its end.
void SourceBlock(const QByteArray& source, std::uint32_t i, std::uint8_t* block)
{
    std::memset(block, 0xFF, kKeyBlockSize);
    const qint64 start = qint64(i) * kKeyBlockSize;
    if (start < source.size()) {
        const qint64 n = std::min<qint64>(kKeyBlockSize, source.size() - start);
        std::memcpy(block, source.constData() + start, static_cast<std::size_t>(n));
    }
}

// What a transfer sent, for the message when its directory flag could not
// be written.
QString SentText(int flagOffset)
{
    switch (flagOffset) {
    case kPictureFlagOffset: return QStringLiteral("the Screensaver picture");
    case kPictureFlagOffset + 1: return QStringLiteral("the Splashscreen picture");
    default: return QStringLiteral("the configuration");
    }
}

// Completes a transfer to one key: directory flag, close, "OK".  A
// directory write that failed is reported, without "OK", and the next key
// follows.  False when the directory could not be read (the operation then
// ends).
bool FinishKey(platform::UsbHandle& handle, int flagOffset, const UploadCallbacks& callbacks)
{
    KeyTransfer transfer;
    const DirectoryWriteBack written = WriteBackDirectoryFlag(handle, flagOffset, &transfer);
    handle.Close();
    switch (written) {
    case DirectoryWriteBack::ReadFailed:
        Call(callbacks.showMessage, kCommunicationError);
        return false;
    case DirectoryWriteBack::WriteFailed:
        Call(callbacks.showMessage, QStringLiteral("The key directory could not be written: %1 was sent, but its "
                                                   "flag on the key is not set.")
                                        .arg(SentText(flagOffset)));
        return true;
    case DirectoryWriteBack::NotAcknowledged:
        Call(callbacks.showMessage, QStringLiteral("Error read: %1").arg(transfer.readResult));
        return true;
    case DirectoryWriteBack::Written:
        break;
    }
    Call(callbacks.showMessage, QStringLiteral("OK"));
    return true;
}

}  // namespace

std::uint16_t ToRgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const auto red = static_cast<std::uint16_t>(r * 31.0 / 255.0);
    const auto green = static_cast<std::uint16_t>(g * 63.0 / 255.0);
    const auto blue = static_cast<std::uint16_t>(b * 31.0 / 255.0);
    return static_cast<std::uint16_t>((red << 11) | (green << 5) | blue);
}

QString KeyImageFilePath(const QString& bitmapPath)
{
    return QFileInfo(bitmapPath).dir().filePath(QStringLiteral("tmp.bin"));
}

bool MakeKeyImageFile(const QString& bitmapPath, const UploadCallbacks& callbacks)
{
    QFile bitmap(bitmapPath);
    if (!bitmap.open(QIODevice::ReadOnly)) {
        ShowFileError(callbacks, QStringLiteral("Cannot open file %1: %2")
                                     .arg(QDir::toNativeSeparators(bitmapPath),
                                          bitmap.errorString()));
        return false;
    }
    const QString outPath = KeyImageFilePath(bitmapPath);
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ShowFileError(callbacks, QStringLiteral("Cannot create file %1: %2")
                                     .arg(QDir::toNativeSeparators(outPath), out.errorString()));
        return false;
    }

    const QByteArray headers = bitmap.read(kBitmapHeadersSize);
    if (headers.size() < kBitmapHeadersSize) {
        ShowFileError(callbacks, QStringLiteral("Cannot read file %1: the bitmap headers are "
                                                "incomplete")
                                     .arg(QDir::toNativeSeparators(bitmapPath)));
        return false;
    }
    const auto* h = reinterpret_cast<const unsigned char*>(headers.constData());
    const int bitCount = h[kBitCountAt] | (h[kBitCountAt + 1] << 8);
    const auto width = static_cast<std::int32_t>(Le32(h + kWidthAt));
    const auto height = static_cast<std::int32_t>(Le32(h + kHeightAt));
    if (bitCount != 24) {
        Call(callbacks.showMessage, QStringLiteral("This file is not valid! %1").arg(bitCount));
        return false;
    }
    if (width != kKeyImageWidth || height != kKeyImageHeight) {
        Call(callbacks.showMessage, QStringLiteral("File must be 480x273"));
        return false;
    }

    // The pixel data start at the file header's pixel offset; rows are
    // padded to whole 32-bit words.
    const qint64 pixelOffset = Le32(h + kPixelOffsetAt);
    const int rowBytes = width * 3;
    const int padding = (4 - rowBytes % 4) % 4;
    QByteArray pixels;
    if (bitmap.seek(pixelOffset))
        pixels = bitmap.read(qint64(rowBytes + padding) * height);

    std::vector<std::uint8_t> image;
    image.reserve(static_cast<std::size_t>(kKeyImageFileSize));
    PutLe16(image, static_cast<std::uint16_t>(height));
    PutLe16(image, static_cast<std::uint16_t>(width));
    const auto* p = reinterpret_cast<const unsigned char*>(pixels.constData());
    const qint64 available = pixels.size();
    qint64 at = 0;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x, at += 3) {
            // A pixel the file ends inside of, and every one after it, is black.
            if (at + 3 <= available)
                PutLe16(image, ToRgb565(p[at + 2], p[at + 1], p[at]));
            else
                PutLe16(image, 0);
        }
        at += padding;
    }
    if (out.write(reinterpret_cast<const char*>(image.data()), qint64(image.size())) !=
            qint64(image.size()) ||
        !out.flush()) {
        ShowFileError(callbacks, QStringLiteral("Cannot write file %1: %2")
                                     .arg(QDir::toNativeSeparators(outPath), out.errorString()));
        return false;
    }
    out.close();
    return true;
}

void UploadImage(platform::UsbBackend& usb, const QString& keyImagePath, int slot,
                 const UploadCallbacks& callbacks)
{
    if (slot < 0 || slot >= kPictureSlotCount)
        return;
    for (const platform::UsbDevice& device : FindKeys(usb, KeyMatch::VendorOnly)) {
        std::unique_ptr<platform::UsbHandle> handle = OpenKey(usb, device);
        if (!handle) {
            Call(callbacks.showMessage, kCommunicationError);
            return;
        }
        QByteArray source;
        if (!ReadSource(keyImagePath, qint64(kPictureSlotBlocks) * kKeyBlockSize, source,
                        callbacks)) {
            handle->Close();
            return;
        }
        Call(callbacks.setProgress, 0);
        Call(callbacks.setProgressMaximum, int(kPictureSlotBlocks));
        bool complete = true;
        std::uint8_t block[kKeyBlockSize];
        for (std::uint32_t i = 1; i <= kPictureSlotBlocks; ++i) {
            SourceBlock(source, i - 1, block);
            const KeyTransfer t =
                WriteKeyBlock(*handle, std::uint32_t(slot) * kPictureSlotBlocks + i, block,
                              kKeyImageAckTimeoutMs);
            if (t.writeResult != kKeyReplySize) {
                Call(callbacks.showMessage, QStringLiteral("Error"));
                complete = false;
                break;
            }
            if (t.readResult != kKeyAckSize) {
                Call(callbacks.showMessage, QStringLiteral("Error read: %1").arg(t.readResult));
                complete = false;
                break;
            }
            Call(callbacks.processEvents);
            Call(callbacks.setProgress, int(i));
        }
        if (!complete) {
            handle->Close();
            continue;
        }
        if (!FinishKey(*handle, kPictureFlagOffset + slot, callbacks))
            return;
    }
}

void UploadConfiguration(platform::UsbBackend& usb, const UploadCallbacks& callbacks)
{
    for (const platform::UsbDevice& device : FindKeys(usb, KeyMatch::VendorOnly)) {
        std::unique_ptr<platform::UsbHandle> handle = OpenKey(usb, device);
        if (!handle) {
            Call(callbacks.showMessage, kCommunicationError);
            return;
        }
        const QString path =
            callbacks.chooseConfigurationFile ? callbacks.chooseConfigurationFile() : QString();
        if (path.isEmpty()) {
            handle->Close();
            return;
        }
        QByteArray source;
        if (!ReadSource(path, qint64(kConfigBlocks) * kKeyBlockSize, source, callbacks)) {
            handle->Close();
            return;
        }
        Call(callbacks.setProgressMaximum, int(kConfigBlocks) - 1);
        Call(callbacks.setProgress, 0);
        bool complete = true;
        std::uint8_t block[kKeyBlockSize];
        int position = 0;
        for (std::uint32_t b = kConfigFirstBlock; b <= kConfigLastBlock; ++b) {
            SourceBlock(source, b - kConfigFirstBlock, block);
            const KeyTransfer t = WriteKeyBlock(*handle, b, block, kKeyConfigAckTimeoutMs);
            if (t.writeResult != kKeyReplySize) {
                Call(callbacks.showMessage, QStringLiteral("Error"));
                complete = false;
                break;
            }
            if (t.readResult != kKeyAckSize) {
                Call(callbacks.showMessage, QStringLiteral("Error read: %1 : %2")
                                                .arg(t.readResult)
                                                .arg(b - kConfigFirstBlock));
                complete = false;
                break;
            }
            Call(callbacks.setProgress, ++position);
            Call(callbacks.processEvents);
        }
        if (!complete) {
            handle->Close();
            continue;
        }
        if (!FinishKey(*handle, kConfigFlagOffset, callbacks))
            return;
    }
}
