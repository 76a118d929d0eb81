#pragma once
// "Tracks": the modal check list of the tracks found in the track transfer
// files (DM->memToryImport), in which the user ticks the tracks to import.
#include <QDialog>

#include <vector>

#include "platform/dbgrid.h"

class QFrame;
class TImageButton;

class TFListaTorowImport : public QDialog {
    Q_OBJECT
public:
    explicit TFListaTorowImport(QWidget* parent = nullptr);
    ~TFListaTorowImport() override;

    // The grid's columns, left to right: the table's five fields under
    // their own names.
    static std::vector<GridColumn> Columns();

    DBGrid* DBGrid1;        // the tracks
    QFrame* Panel1;         // black bottom bar with the two buttons
    TImageButton* BitBtn1;  // OK
    TImageButton* BitBtn2;  // Cancel

    // True once accepted; false when the window opens.
    bool Result() const { return result_; }

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    // A click on a cell of the wybrany column inverts that row's tick.
    void DBGrid1CellClick(int row, const QString& field);

private:
    bool result_ = false;
};

// Shows the check list over DM->memToryImport; true when the user accepted it.
bool ShowTrackImportList();
