#pragma once
// One-line text prompt: the caller's caption, one edit box, "OK" and "Anuluj".
#include <QDialog>

class QLineEdit;
class QPushButton;

class TfwyborBonuKod : public QDialog {
    Q_OBJECT
public:
    explicit TfwyborBonuKod(QWidget* parent = nullptr);

    // The text after OK; empty after Anuluj or any other close.
    QString Wynik() const { return wynik_; }

    QLineEdit* Edit1;
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Anuluj"

public slots:
    void Button1Click();
    void Button2Click();

private:
    QString wynik_;
};

// Shows the prompt with initialText in the box; the text as typed (not
// trimmed) after OK, "" after Anuluj or the close box.  OK does nothing
// while the box is empty or blank.
QString InputText(const QString& initialText, const QString& caption);
