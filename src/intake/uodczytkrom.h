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

public slots:
    void FormShow();
    void Timer1Timer();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString folder_;
    bool busy_ = false;
};

// Creates the reader, shows it modally and frees it.
void ShowKeyReader();
