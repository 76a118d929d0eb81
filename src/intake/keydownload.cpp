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
#include "intake/sessionlist.h"

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

namespace {

// A key in messages: its place among the keys found and, once its directory
// is known, the serials of the loggers whose sessions it holds.
QString KeyName(int number, const KeyDirectory* directory)
{
    QString name = QStringLiteral("key %1").arg(number);
    QStringList serials;
    for (int k = 1; directory && k <= kSessionSlotCount; ++k) {
        const QString serial = QString::number(directory->Serial(k));
        if (directory->Serial(k) != 0 && !serials.contains(serial))
            serials.append(serial);
    }
    if (serials.isEmpty())
        return name;
    return name + (serials.size() == 1 ? QStringLiteral(" (logger %1)") : QStringLiteral(" (loggers %1)"))
                      .arg(serials.join(QStringLiteral(", ")));
}

// A key whose slots are not known: which earlier files are its own cannot
// be told, so none goes.
QString KeyUnreadMessage(int number, const QString& what)
{
    return kCommunicationError + QStringLiteral(" on ") + KeyName(number, nullptr) + QStringLiteral(": ") + what +
           QStringLiteral(".\nAll earlier dump files were kept.");
}

// A key whose slot failedSlot could not be read: its loggers, the slot,
// and the slots whose earlier files were kept.
QString SlotFailedMessage(int keyNumber, const KeyDirectory& directory, int failedSlot, const QList<int>& keptSlots)
{
    QString text = kCommunicationError + QStringLiteral(" on ") + KeyName(keyNumber, &directory) +
                   QStringLiteral(": slot %1 could not be read, so nothing read from this key was kept.\n")
                       .arg(failedSlot);
    if (keptSlots.isEmpty())
        return text + QStringLiteral("No earlier files of its slots were there to keep.");
    QStringList numbers;
    for (int k : keptSlots)
        numbers.append(QString::number(k));
    return text + QStringLiteral("Earlier files kept for slots: ") + numbers.join(QStringLiteral(", "));
}

}  // namespace

DownloadOutcome DownloadFromKeys(platform::UsbBackend& usb, const QString& folder,
                                 const DownloadCallbacks& callbacks, QStringList* deviceList,
                                 QStringList* written, QStringList* kept)
{
    bool complete = true;
    bool keepAll = false;  // a key failed whose own files are not known
    QStringList keep;
    QStringList stale;
    auto finish = [&](DownloadOutcome outcome) {
        if (kept)
            *kept = keepAll ? DumpFileNames(folder) : keep;
        return outcome;
    };
    int number = 0;
    for (const platform::UsbDevice& device :
         FindKeys(usb, KeyMatch::VendorAndProduct, deviceList)) {
        ++number;
        std::unique_ptr<platform::UsbHandle> handle = OpenKey(usb, device);
        if (!handle) {
            Call(callbacks.showMessage, KeyUnreadMessage(number, QStringLiteral("it could not be opened")));
            complete = false;
            keepAll = true;
            continue;
        }
        std::uint8_t block[kKeyBlockSize];
        // A directory that was not read would pass for an empty key.
        if (!ReadKeyBlockSucceeded(ReadKeyBlock(*handle, kDirectoryBlock, block))) {
            handle->Close();
            Call(callbacks.showMessage, KeyUnreadMessage(number, QStringLiteral("its directory could not be read")));
            complete = false;
            keepAll = true;
            continue;
        }
        const KeyDirectory directory = KeyDirectory::FromBlock(block);
        const int used = directory.UsedSlotCount();
        int current = 0;
        // The key's complete files wait here until every used slot is read.
        std::vector<std::pair<int, std::unique_ptr<QSaveFile>>> pending;
        int failedSlot = 0;
        for (int k = 1; k <= kSessionSlotCount; ++k) {
            const std::uint32_t serial = directory.Serial(k);
            if (serial == 0) {
                const QString path = InFolder(folder, StaleDumpFileName(k));
                if (QFile::exists(path))
                    stale.append(path);
                continue;
            }
            // After a failed slot the key's download is over.
            if (failedSlot != 0)
                continue;
            ++current;
            Call(callbacks.setLabel, QStringLiteral("%1/%2").arg(current).arg(used));
            std::unique_ptr<QSaveFile> file;
            const SlotOutcome outcome = DownloadSlot(*handle, folder, k, serial, callbacks, &file);
            if (outcome == SlotOutcome::FileFailed) {
                handle->Close();
                keepAll = true;
                return finish(DownloadOutcome::Failed);
            }
            if (outcome == SlotOutcome::ReadFailed)
                failedSlot = k;  // the slots read before are dropped below with it
            else
                pending.emplace_back(k, std::move(file));
        }
        handle->Close();
        if (failedSlot != 0) {
            // The folder keeps the key's earlier files, of every used slot.
            QList<int> keptSlots;
            for (int k = 1; k <= kSessionSlotCount; ++k) {
                const QString name = DumpFileName(k, directory.Serial(k));
                if (directory.Serial(k) != 0 && QFile::exists(InFolder(folder, name))) {
                    keep.append(name);
                    keptSlots.append(k);
                }
            }
            Call(callbacks.showMessage, SlotFailedMessage(number, directory, failedSlot, keptSlots));
            complete = false;
            continue;  // pending files are dropped unplaced
        }
        for (auto& [k, file] : pending) {
            if (!file->commit()) {
                ShowFileError(callbacks, QStringLiteral("Cannot write file %1: %2")
                                             .arg(QDir::toNativeSeparators(file->fileName()), file->errorString()));
                keepAll = true;
                return finish(DownloadOutcome::Failed);
            }
            if (written)
                written->append(QFileInfo(file->fileName()).fileName());
        }
    }
    if (!complete)
        return finish(DownloadOutcome::Failed);
    for (const QString& path : stale)
        QFile::remove(path);
    return finish(DownloadOutcome::Finished);
}
