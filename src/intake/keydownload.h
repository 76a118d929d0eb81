#pragma once
// Download of the data key's used session slots into key dump files:
// "dane" + slot + "_" + serial + ".bin", 7168 records of 512 bytes each, the
// slot's read blocks in ascending order.  Widget-free: the reader window
// passes callbacks for its label, progress bar and messages.
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/usb.h"

class QSaveFile;

// Maximum of the reader window's progress bar (16 below the block count).
constexpr int kDownloadProgressMaximum = 7152;

struct DownloadCallbacks {
    std::function<void(const QString&)> setLabel;  // "c/n" before each used slot
    // 0 at the start of a slot, then + 1 per block (up to 7168, beyond the
    // bar's maximum).
    std::function<void(int)> setProgress;
    std::function<void(const QString&)> showMessage;  // "Communication error"
    std::function<void(const QString&)> showError;    // file errors, in their own words
    std::function<void()> processEvents;              // after every block
};

enum class DownloadOutcome {
    Finished,  // every matching key read completely (or none found): the window closes
    Failed,    // a key or a file failed, after a message: the window stays open
};

enum class SlotOutcome {
    Written,
    ReadFailed,  // a block read failed or fell short; the earlier file stays
    FileFailed,  // the dump file could not be written; the earlier file stays
};

// "dane" + k + "_" + serial + ".bin" and the older "dane" + k + ".bin".
QString DumpFileName(int k, std::uint32_t serial);
QString StaleDumpFileName(int k);

// Serves every key with the key's vendor and product id in bus and device
// order, writing its dump files into folder.  A key that cannot be opened
// or read ends only its own download, after a "Communication error" message
// that names the key (its place in the order and, once its directory was
// read, its loggers' serials), what failed and which earlier files were
// kept; the next key is still served.  A dump file that cannot be written
// ends the whole download.  A key's new files replace the earlier ones of
// their names only when every used slot of that key was read completely, so
// a key pulled out part way leaves its files as they were; the old "dane" +
// k + ".bin" files of unused slots go only when every key was read
// completely.
// deviceList, when given, receives the device-search header line; written,
// the names of the dump files written; kept, the earlier dump files the
// failed keys keep (the files of their used slots), or every dump file of
// the folder when a key failed whose slots are not known or the download
// ended early.
DownloadOutcome DownloadFromKeys(platform::UsbBackend& usb, const QString& folder,
                                 const DownloadCallbacks& callbacks,
                                 QStringList* deviceList = nullptr, QStringList* written = nullptr,
                                 QStringList* kept = nullptr);

// Copies session slot k of an open key into its dump file in folder.  The
// file is written under a temporary name and replaces the earlier file of
// its name only when complete; on failure the earlier file stays as it was.
// With pending given, a complete file is not put in place but handed over
// unreplaced (its owner commits it, or drops it by destroying it).
SlotOutcome DownloadSlot(platform::UsbHandle& handle, const QString& folder, int k,
                         std::uint32_t serial, const DownloadCallbacks& callbacks,
                         std::unique_ptr<QSaveFile>* pending = nullptr);
