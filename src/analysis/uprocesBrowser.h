#pragma once
// The calendar wizard: a tree of years and months on the left; on the right
// a year as twelve small month frames or one month as a large frame, each
// day with the number of sessions recorded on it.  Ticked days land in the
// data module's memWybraneDni.
#include <QDialog>
#include <QScrollArea>

#include <array>

class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TImageButton;
class TfMiesiac;
class Tfmiesiacduzy;

// The wait animation shown while a view is built: a ring of dots chasing
// round, drawn in code.
class WaitAnimation : public QWidget {
    Q_OBJECT
public:
    explicit WaitAnimation(QWidget* parent = nullptr);
    void SetActive(bool on);
    bool Active() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_;
    int step_ = 0;
};

// A scroll box that leaves the mouse wheel to its window (the browser
// scrolls the year view itself).
class WheelFreeScrollArea : public QScrollArea {
    Q_OBJECT
public:
    using QScrollArea::QScrollArea;
    // The box's remembered view: the year (year box) or year * 100 + month
    // (month box); 0 at first.
    int Tag = 0;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class TfprocesBrowser : public QDialog {
    Q_OBJECT
public:
    explicit TfprocesBrowser(QWidget* parent = nullptr);
    ~TfprocesBrowser() override;

    // What a tree node stands for.
    struct Node {
        int kind = 0;    // 1 year, 2 month
        int number = 0;  // the year, or the month 1..12
        int year = 0;    // 0 for a year node, the year for a month node
        bool operator==(const Node&) const = default;
    };
    static Node NodeOf(const QTreeWidgetItem* item);

    QWidget* Panel1;               // left: tree and buttons
    QTreeWidget* TreeView1;
    TImageButton* SpeedButton1;    // OK
    TImageButton* SpeedButton2;    // Cancel
    QWidget* Panel2;               // right: the season colour behind the views
    WaitAnimation* Animate1;
    WheelFreeScrollArea* ScrollBox1;  // the year: twelve small frames
    WheelFreeScrollArea* ScrollBox2;  // the month: the large frame
    QTimer* Timer1;                // builds the window 100 ms after it shows
    QTimer* Timer2;                // the wait animation's least time

    TfMiesiac* SmallFrame(int month) const { return small_[size_t(month - 1)]; }
    Tfmiesiacduzy* LargeFrame() const { return large_; }
    bool Busy() const { return busy_; }

public slots:
    // Creates the frames, fills the tree and shows its first node.
    void Timer1Timer();
    // Shows the view of the current node (ignored while a view is built).
    // A database error on the way is shown in the error box; the browser
    // then takes the next choice as usual.
    void ShowCurrentNode();
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillTree();
    void buildNode(const Node& node);
    void setRightColour(const QColor& colour);
    void waitUntilDone();

    std::array<TfMiesiac*, 12> small_{};
    Tfmiesiacduzy* large_ = nullptr;
    QWidget* yearPage_ = nullptr;
    Node last_;
    bool done_ = false;
    bool busy_ = false;
    QObject* wheelWatched_ = nullptr;
};

// Empties DM->memWybraneDni and shows the calendar; the caller reads the
// ticked days from the table afterwards.
void ShowCalendarWizard();
