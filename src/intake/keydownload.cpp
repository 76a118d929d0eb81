// Download of the data key's session slots into key dump files.
#include "intake/keydownload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>
#include <vector>

#include "intake/keylink.h"
#include "intake/keymemory.h"

namespace {

const QString kCommunicationError = QStringLiteral("Communication error");

template <typename F, typename... A>
void Call(const F& f, A&&... args)
{
    if (f)
        f(std::forward<A>(args)...);
}

void ShowFileError(const DownloadCallbacks& callbacks, const QString& text)
{
    if (callbacks.showError)
        callbacks.showError(text);
    else
        Call(callbacks.showMessage, text);
}

QString InFolder(const QString& folder, const QString& name)
{
    return QDir(folder).filePath(name);
}

}  // namespace

QString DumpFileName(int k, std::uint32_t serial)
{
    return QStringLiteral("dane%1_%2.bin").arg(k).arg(serial);
}

QString StaleDumpFileName(int k)
{
    return QStringLiteral("dane%1.bin").arg(k);
}

SlotOutcome DownloadSlot(platform::UsbHandle& handle, const QString& folder, int k,
                         std::uint32_t serial, const DownloadCallbacks& callbacks,
                         std::unique_ptr<QSaveFile>* pending)
{
    const QString path = InFolder(folder, DumpFileName(k, serial));
    // Written under a temporary name and renamed when complete, so neither
    // a failure nor a crash leaves a complete-looking partial dump file.
    auto owned = std::make_unique<QSaveFile>(path);
    QSaveFile& file = *owned;
    auto fail = [&](SlotOutcome outcome) {
        file.cancelWriting();  // the temporary file goes with the object
        return outcome;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        ShowFileError(callbacks, QStringLiteral("Cannot create file %1: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
        return fail(SlotOutcome::FileFailed);
    }
    Call(callbacks.setProgress, 0);
    std::uint8_t data[kKeyBlockSize];
    int position = 0;
    for (std::uint32_t b = SessionSlotFirstReadBlock(k); b <= SessionSlotLastBlock(k); ++b) {
        if (!ReadKeyBlockSucceeded(ReadKeyBlock(handle, b, data)))
            return fail(SlotOutcome::ReadFailed);
        if (file.write(reinterpret_cast<const char*>(data), kKeyBlockSize) != kKeyBlockSize) {
            ShowFileError(callbacks, QStringLiteral("Cannot write file %1: %2")
                                         .arg(QDir::toNativeSeparators(path), file.errorString()));
            return fail(SlotOutcome::FileFailed);
        }
        Call(callbacks.setProgress, ++position);
        Call(callbacks.processEvents);
    }
    if (pending) {
        *pending = std::move(owned);
        return SlotOutcome::Written;
    }
    if (!file.commit()) {
        ShowFileError(callbacks, QStringLiteral("Cannot write file %1: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
        return SlotOutcome::FileFailed;
    }
    return SlotOutcome::Written;
}

QString SlotsNotReadMessage(const QList<int>& slotNumbers)
{
    QStringList numbers;
    for (int k : slotNumbers)
        numbers.append(QString::number(k));
    return kCommunicationError + QStringLiteral("\nSlots not read: ") + numbers.join(QStringLiteral(", "));
}

DownloadOutcome DownloadFromKeys(platform::UsbBackend& usb, const QString& folder,
                                 const DownloadCallbacks& callbacks, QStringList* deviceList,
                                 QStringList* written)
{
    bool complete = true;
    QStringList stale;
    for (const platform::UsbDevice& device :
         FindKeys(usb, KeyMatch::VendorAndProduct, deviceList)) {
        std::unique_ptr<platform::UsbHandle> handle = OpenKey(usb, device);
        if (!handle) {
            Call(callbacks.showMessage, kCommunicationError);
            complete = false;
            continue;
        }
        std::uint8_t block[kKeyBlockSize];
        // A directory that was not read would pass for an empty key.
        if (!ReadKeyBlockSucceeded(ReadKeyBlock(*handle, kDirectoryBlock, block))) {
            handle->Close();
            Call(callbacks.showMessage, kCommunicationError);
            complete = false;
            continue;
        }
        const KeyDirectory directory = KeyDirectory::FromBlock(block);
        const int used = directory.UsedSlotCount();
        int current = 0;
        // The key's complete files wait here until every used slot is read.
        std::vector<std::pair<int, std::unique_ptr<QSaveFile>>> pending;
        QList<int> notRead;
        for (int k = 1; k <= kSessionSlotCount; ++k) {
            const std::uint32_t serial = directory.Serial(k);
            if (serial == 0) {
                const QString path = InFolder(folder, StaleDumpFileName(k));
                if (QFile::exists(path))
                    stale.append(path);
                continue;
            }
            // After a failed slot the key's download is over; the slots
            // left are named with it.
            if (!notRead.isEmpty()) {
                notRead.append(k);
                continue;
            }
            ++current;
            Call(callbacks.setLabel, QStringLiteral("%1/%2").arg(current).arg(used));
            std::unique_ptr<QSaveFile> file;
            const SlotOutcome outcome = DownloadSlot(*handle, folder, k, serial, callbacks, &file);
            if (outcome == SlotOutcome::FileFailed) {
                handle->Close();
                return DownloadOutcome::Failed;
            }
            if (outcome == SlotOutcome::ReadFailed) {
                // The slots read before stay unstored too (their files are
                // dropped below), so the folder keeps the key's earlier files.
                for (const auto& [slot, unused] : pending)
                    notRead.append(slot);
                notRead.append(k);
            } else {
                pending.emplace_back(k, std::move(file));
            }
        }
        handle->Close();
        if (!notRead.isEmpty()) {
            Call(callbacks.showMessage, SlotsNotReadMessage(notRead));
            complete = false;
            continue;  // pending files are dropped unplaced
        }
        for (auto& [k, file] : pending) {
            if (!file->commit()) {
                ShowFileError(callbacks, QStringLiteral("Cannot write file %1: %2")
                                             .arg(QDir::toNativeSeparators(file->fileName()), file->errorString()));
                return DownloadOutcome::Failed;
            }
            if (written)
                written->append(QFileInfo(file->fileName()).fileName());
        }
    }
    if (!complete)
        return DownloadOutcome::Failed;
    for (const QString& path : stale)
        QFile::remove(path);
    return DownloadOutcome::Finished;
}
