#pragma once
// "Chart settings": the display range (minimum and maximum) of RPM, Temp1,
// Temp2, acceleration and GPS speed, edited in the project record.
#include <QDialog>

#include <array>

class QGroupBox;
class TImageButton;
class TIntEdit;

class Tfustawieniawykresu : public QDialog {
    Q_OBJECT
public:
    explicit Tfustawieniawykresu(QWidget* parent = nullptr);

    // " RPM range ", " Temp1 range ", " Temp2 range ", " Acc range ",
    // " V GPS range ", top to bottom.
    std::array<QGroupBox*, 5> GroupBoxes{};
    TIntEdit* IntEdit1;   // RPM minimum (offset 69)
    TIntEdit* IntEdit2;   // RPM maximum (71)
    TIntEdit* IntEdit3;   // Temp1 minimum (73)
    TIntEdit* IntEdit4;   // Temp1 maximum (75)
    TIntEdit* IntEdit5;   // Temp2 minimum (81)
    TIntEdit* IntEdit6;   // Temp2 maximum (83)
    TIntEdit* IntEdit7;   // Acc minimum (77)
    TIntEdit* IntEdit8;   // Acc maximum (79)
    TIntEdit* IntEdit9;   // V GPS minimum (87, unsigned)
    TIntEdit* IntEdit10;  // V GPS maximum (85, unsigned)
    TImageButton* BitBtn1;  // OK
    TImageButton* BitBtn2;  // Cancel

public slots:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

// Creates the chart settings dialog, shows it modally and frees it.
void ShowChartSettings();
