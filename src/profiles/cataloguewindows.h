#pragma once
// The two window designs of the catalogues, which the driver, track and
// vehicle profile windows take over with their own class names, captions
// and editors: the modal chooser (a full list to pick one entry from or to
// tick several) and the list window (a child of the main window to browse,
// add, edit and softly delete entries).
#include <QDialog>
#include <QWidget>

#include <functional>
#include <memory>

#include "profiles/catalogue.h"
#include "profiles/cataloguechoice.h"
#include "profiles/catalogueviews.h"

class MemTable;

// The catalogue's modal editor: argument the row id (-1 new), result the id.
using CatalogueEditor = std::function<int(int id)>;

class CatalogueChooserDialog : public QDialog {
    Q_OBJECT
public:
    // shared: the data module's tick table with its key field (null for a
    // chooser without ticks).
    CatalogueChooserDialog(CatalogueKind kind, const QString& caption, CatalogueEditor editor, MemTable* shared,
                           const QString& keyField, QWidget* parent = nullptr);
    ~CatalogueChooserDialog() override;

    CatalogueBrowser* Browser() const { return browser_; }
    // The components by their names.
    CatalogueList* IBQuery1() const { return browser_->List(); }
    CatalogueCardView* DBCtrlGrid1() const { return browser_->Cards(); }
    CatalogueTableView* RxDBGrid1() const { return browser_->Table(); }
    TickTable* Ticks() const { return ticks_.get(); }

    // Opening, before the window is shown: empties the tick table, re-reads
    // the list, shows the selection column and check picture exactly in
    // multi mode, result -1, and takes the view mode from the project.
    void Prepare(bool multi);
    bool Multi() const { return multi_; }
    int Result() const { return choice_->Result(); }
    // Shows the prepared window modally and returns the result.
    int Run();

    // The window's actions.
    void SetViewMode(int mode) { browser_->SetViewMode(mode); }
    void AddClick();
    void EditClick();
    void OkClick();
    void CancelClick();
    void TickClick();
    void DoubleClick();
    void HomePageClick();

protected:
    // Whether edit re-reads the list (the vehicle profile chooser does).
    void SetEditReReads(bool on) { editReReads_ = on; }

private:
    CatalogueBrowser* browser_;
    CatalogueEditor editor_;
    std::unique_ptr<TickTable> ticks_;
    std::unique_ptr<ChooserChoice> choice_;
    bool multi_ = false;
    bool editReReads_ = false;
};

class CatalogueListWindow : public QWidget {
    Q_OBJECT
public:
    CatalogueListWindow(CatalogueKind kind, const QString& caption, CatalogueEditor editor,
                        QWidget* parent = nullptr);
    ~CatalogueListWindow() override;

    CatalogueBrowser* Browser() const { return browser_; }
    CatalogueList* IBQuery1() const { return browser_->List(); }
    CatalogueCardView* DBCtrlGrid1() const { return browser_->Cards(); }
    CatalogueTableView* RxDBGrid1() const { return browser_->Table(); }

    // Opening: re-reads the list and, for drivers and tracks, takes the view
    // mode from the project.
    void Prepare();

    void SetViewMode(int mode) { browser_->SetViewMode(mode); }
    void AddClick();
    void EditClick();
    void DeleteClick();
    void HomePageClick();
    // A double click on a card or a row (onPhoto: on the card's photo).
    void DoubleClick(bool onPhoto);

private:
    void ReRead();

    CatalogueBrowser* browser_;
    CatalogueEditor editor_;
};
