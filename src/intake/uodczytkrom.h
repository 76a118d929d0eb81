#pragma once
// "KROM reader": the modal window in which the data key's used session
// slots are downloaded into key dump files in the program folder.
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

    // After the download: whether every key was read completely, and the
    // dump files written.
    bool DownloadDone() const { return done_; }
    bool ReadCompletely() const { return complete_; }
    const QStringList& WrittenFiles() const { return written_; }

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
};

struct KeyReadResult {
    bool complete = false;  // every key found was read completely (also: no key found)
    QStringList written;    // dump files written, names without folder
};

// Creates the reader, shows it modally and frees it.
KeyReadResult ShowKeyReader();
