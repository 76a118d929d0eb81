#pragma once
// The splash window shown at start: the program's picture with its version
// at the lower right, closed after three seconds or by a click.
#include <QDialog>

class QLabel;
class QTimer;

class Tfsplashscreen : public QDialog {
    Q_OBJECT
public:
    explicit Tfsplashscreen(QWidget* parent = nullptr);

    QLabel* Image1;  // the picture, filling the window
    QLabel* Label1;  // "v " + the version, lower right
    QTimer* Timer1;  // 3000 ms, armed when shown

public slots:
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// Creates the splash window, shows it modally and frees it.
void ShowSplash();
