#pragma once
// "Send data": the modal window that writes a picture (screensaver or
// splash screen) or a configuration file to the data key.
#include <QDialog>
#include <QString>
#include <QStringList>

class QProgressBar;
class QPushButton;
struct UploadCallbacks;

class TfWgrajObrazek : public QDialog {
    Q_OBJECT
public:
    explicit TfWgrajObrazek(QWidget* parent = nullptr);

    QPushButton* Button1;  // "Screensaver": picture slot 0
    QPushButton* Button2;  // "Splashscreen": picture slot 1
    QPushButton* Button3;  // "All graphics": configuration file
    QProgressBar* Gauge1;
    QStringList ListBox1;  // hidden device list (header line only)
    QString FileName;      // the chosen picture

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void reject() override;

private:
    void SendPicture(int slot);
    UploadCallbacks Callbacks();
    void SetBusy(bool busy);
    // Busy for the lifetime of the object, also when an error escapes.
    class BusyScope {
    public:
        explicit BusyScope(TfWgrajObrazek& window);
        ~BusyScope();

    private:
        TfWgrajObrazek& window_;
    };
    bool busy_ = false;
};

// Creates the window, shows it modally and frees it.
void ShowSendData();
