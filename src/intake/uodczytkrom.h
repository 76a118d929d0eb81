#pragma once
// "KROM reader": the modal window in which the data key's used session
// slots are downloaded into key dump files in the program folder.  It
// closes by itself when the download is over, also after a failure.
#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QProgressBar;
class QTimer;

class Tfczytajkrom : public QDialog {
    Q_OBJECT
public:
    // folder: where the dump files go (the program folder when empty).
    explicit Tfczytajkrom(QWidget* parent = nullptr, const QString& folder = {});

    QLabel* Label1;              // "c/n" of the slot being read
    QProgressBar* ProgressBar1;  // blocks of the slot being read
    QTimer* Timer1;              // armed when shown; one tick does everything
    QStringList ListBox1;        // hidden device list (header line only)

    // After the download: whether every key was read completely, the dump
    // files written and the earlier ones the failed keys keep.
    bool DownloadDone() const { return done_; }
    bool ReadCompletely() const { return complete_; }
    const QStringList& WrittenFiles() const { return written_; }
    const QStringList& KeptFiles() const { return kept_; }

public slots:
    void FormShow();
    void Timer1Timer();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString folder_;
    bool busy_ = false;
    bool done_ = false;
    bool complete_ = false;
    QStringList written_;
    QStringList kept_;
};

struct KeyReadResult {
    bool complete = false;  // every key found was read completely (also: no key found)
    QStringList written;    // dump files written, names without folder
    QStringList kept;       // earlier dump files that stay: those of the keys that failed
};

// Creates the reader, shows it modally and frees it.
KeyReadResult ShowKeyReader();
