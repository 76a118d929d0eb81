#pragma once
// Sessions chart: the RPM of several sessions over one time axis with
// their lap and sector lines.
#include <QWidget>

class TFWykres : public QWidget {
    Q_OBJECT
public:
    explicit TFWykres(QWidget* parent = nullptr);
    ~TFWykres() override;

};

// The open window; null when none is open.
extern TFWykres* fwykres;

void ShowSessionChart();
