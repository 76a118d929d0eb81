#pragma once
// "Data to read": the modal check list of the sessions found in the key dump
// files (DM->memPrzejazdy), in which the user ticks the sessions to import.
// Sessions already in the database are listed in red and start unticked.
#include <QDialog>

class QFrame;
class QTableView;
class TImageButton;
class MemTableModel;

class TfListaZOdczytu : public QDialog {
    Q_OBJECT
public:
    explicit TfListaZOdczytu(QWidget* parent = nullptr);
    ~TfListaZOdczytu() override;

    // The grid's columns, left to right.
    struct GridColumn {
        const char* field;  // field of memPrzejazdy
        const char* title;  // "" = no title
        int width;          // 0 = the rest of the grid
        bool boldTitle;
    };
    static const GridColumn kColumns[9];
    // Picture width the tick of the Select column is centred with.
    static constexpr int kTickWidth = 29;

    QFrame* Panel1;              // black top panel
    QTableView* RxDBGrid1;       // the sessions
    QFrame* Panel2;              // black bottom panel with the two buttons
    TImageButton* SpeedButton3;  // accept
    TImageButton* SpeedButton4;  // cancel

    // True once accepted; False when the window opens.
    bool Result() const { return result_; }
    void SetResult(bool value) { result_ = value; }

public slots:
    void SpeedButton3Click();
    void SpeedButton4Click();
    // A click on a cell whose field has tag 1 (wybrany) toggles it.
    void RxDBGrid1CellClick(const QModelIndex& index);

private:
    MemTableModel* model_;
    bool result_ = false;
};

// Shows the check list over DM->memPrzejazdy; True when the user accepted it.
bool ChooseSessionsToRead();
