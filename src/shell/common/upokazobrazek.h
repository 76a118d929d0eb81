#pragma once
// Picture preview with "OK" and "Cancel", shown before a picture is used.
#include <QDialog>

class QLabel;
class QPushButton;
class QFrame;

class Tfpokazobrazek : public QDialog {
    Q_OBJECT
public:
    explicit Tfpokazobrazek(QWidget* parent = nullptr);

    // Loads the picture at its natural size; throws std::runtime_error with
    // the reason when the file cannot be read as a picture.
    void LoadPicture(const QString& fileName);

    QLabel* Image1;
    QFrame* Panel1;        // bottom panel with the buttons
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"

public slots:
    void Button1Click();
    void Button2Click();
};

// Loads fileName (raising its load error before anything is shown) and shows
// it; true after OK, false after Cancel or the close box.
bool ShowPicture(const QString& fileName);
