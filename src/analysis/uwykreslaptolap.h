#pragma once
// Lap comparison chart: the RPM of every lap over the time since its start.
#include <QWidget>

class Tfwykreslaptolap : public QWidget {
    Q_OBJECT
public:
    explicit Tfwykreslaptolap(QWidget* parent = nullptr);
    ~Tfwykreslaptolap() override;

};

// The open window; null when none is open.
extern Tfwykreslaptolap* fwykreslaptolap;

void ShowLapComparison();
