#pragma once
// GPS lap comparison: up to five laps replayed side by side on one map; a
// stay-on-top window owned by the application, hidden when closed.
#include <QColor>
#include <QWidget>

class AnalysisSession;

#include <array>
#include <memory>

#include "analysis/gpsmap.h"
#include "platform/memtable.h"

class GpsMapCanvas;
class QLabel;
class QPushButton;
class QScrollBar;

class TfgpsPorownaj : public QWidget {
    Q_OBJECT
public:
    // The session's lap table gives the start of a lap drawn.
    explicit TfgpsPorownaj(const AnalysisSession& session, QWidget* parent = nullptr);
    ~TfgpsPorownaj() override;
    // Puts a lap into the next of five slots and redraws; false while an
    // add runs.
    bool CompareAddLap(int sessionId, int lap, const QString& caption);

    // Clears and redraws the map with all filled slots in use.
    void DrawLaps();
    // Empties the read-outs, removes the start picture, blackens the map.
    void ClearMap();
    // Replay step of the scroll bar; "Clear data".
    void ScrollBar1Change();
    void Button1Click();

    // Slot 1..5: its colour, "LAP:" label, RPM value label and table.
    QColor SlotColour(int slot) const;
    QLabel* SlotLapLabel(int slot) const;
    QLabel* SlotRpmLabel(int slot) const;
    MemTable& SlotTable(int slot) const;
    int SlotsInUse() const { return ring_.Count(); }
    int LongestLap() const { return longest_; }

    GpsMapCanvas* paintbox1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    const AnalysisSession& session_;
    // Whether a slot in use has points (the map shows a lap).
    bool AnySlotDrawn() const;

    CompareRing ring_;
    std::array<std::unique_ptr<MemTable>, CompareRing::kSlots> tables_;
    std::array<QLabel*, CompareRing::kSlots> lapLabels_{};
    std::array<QLabel*, CompareRing::kSlots> rpmLabels_{};
    int longest_ = 0;
    bool busy_ = false;
};
