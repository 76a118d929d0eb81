#pragma once
// What the catalogue choosers and list windows share on screen: the card
// view (one column of photo cards drawn by a delegate), the read-only black
// table with its "sel." tick column, the top bar with the banner, the image
// buttons, the "Picture" / "List" toggles and the track search box, the
// silver bottom bar with OK and Cancel, and the view-mode and search
// handling, all over one CatalogueList.
//
// The windows themselves (Tflistakierowcow, TFlistaKierowcowMDI, ...) hold
// one CatalogueBrowser as their client area and give its signals their
// meaning: tick, choose, add, edit, delete, open the home page.
#include <QHash>
#include <QListView>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <memory>

#include "profiles/catalogue.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TImageButton;
class TickTable;

// Card look: the choosers' cards on black with the current card grey, or
// the list windows' alternating panels with the current card in teal.
enum class CardLook { Chooser, ListWindow };

// Draws one card per row of a CatalogueModel.  Drivers: the check picture
// at the left edge, the photo (BMP bytes of ZDJECIE, stretched), names,
// weights and height.  Tracks: the check picture, the photo drawn by a
// database picture control (shrunk to fit, not zoomed), name, length, best
// time and driver, stripes, lap timeout and the home page text.
class CatalogueCardDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CatalogueCardDelegate(CatalogueKind kind, CardLook look, QObject* parent = nullptr);
    ~CatalogueCardDelegate() override;

    static constexpr int kCardWidth = 1280;
    // 139 for drivers, 186 for tracks.
    static int CardHeight(CatalogueKind kind);

    CatalogueKind Kind() const { return kind_; }
    CardLook Look() const { return look_; }

    // The check picture (Imageptasz): shown on every card in multi mode, with
    // the state left by the last click.
    void SetCheckVisible(bool visible) { checkVisible_ = visible; }
    bool CheckVisible() const { return checkVisible_; }
    void SetCheckTicked(bool ticked) { checkTicked_ = ticked; }
    bool CheckTicked() const { return checkTicked_; }

    // Parts of a card drawn in rectangle card.
    QRect CheckRect(const QRect& card) const;
    QRect PhotoRect(const QRect& card) const;
    // Where a track card draws its home page text, and the part of it the
    // row's text covers (empty rectangle when the row has none): the one
    // place both drawing and clicking use.
    QRect HomePageArea(const QRect& card) const;
    QRect HomePageRect(const QRect& card, const QModelIndex& index) const;

    // What a card keeps of a row's photo bytes: a driver's bitmap stretched
    // to the card's photo, a track's picture (bitmap, JPEG or icon) shrunk
    // to fit it with its proportions kept and never enlarged, as the
    // picture control draws it.  A null image when the bytes are no such
    // picture.
    QImage CardPicture(const QByteArray& bytes) const;
    // The size of the photo on a card.
    QSize PhotoSize() const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Layout of a track card's fields.
    static constexpr int kTrackTop = 8;
    static constexpr int kTrackStep = 45;
    static constexpr int kTrackColumnWidth = 400;
    static QFont HomePageFont();

    void PaintDriver(QPainter& p, const QRect& r, const CatalogueList& list, int row, bool current) const;
    void PaintTrack(QPainter& p, const QRect& r, const CatalogueList& list, int row, bool current) const;

    CatalogueKind kind_;
    CardLook look_;
    bool checkVisible_ = false;
    bool checkTicked_ = false;
};

// The card view (DBCtrlGrid1): one column of cards, no editing.
class CatalogueCardView : public QListView {
    Q_OBJECT
public:
    CatalogueCardView(CatalogueKind kind, CardLook look, QWidget* parent = nullptr);

    CatalogueCardDelegate* Delegate() const { return delegate_; }
    // The card rectangle of a row in viewport coordinates.
    QRect CardRect(int row) const;

    // Typing does not jump to rows here; the window decides what keys do.
    void keyboardSearch(const QString&) override {}

signals:
    // A left click released on the check picture, the home page text, and a
    // double click on a card (onPhoto: on its photo).
    void checkClicked(int row);
    void homePageClicked(int row);
    void cardDoubleClicked(int row, bool onPhoto);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CatalogueCardDelegate* delegate_;
    int pressedRow_ = -1;
};

// The table view (RxDBGrid1): read-only, black, white bold titles; the
// selection column (tag 1) is drawn from the shared tick table.
class CatalogueTableView : public QTableView {
    Q_OBJECT
public:
    explicit CatalogueTableView(QWidget* parent = nullptr);

    void SetTickTable(TickTable* ticks);
    TickTable* Ticks() const { return ticks_; }
    void keyboardSearch(const QString&) override {}

signals:
    // A click on a cell (tag of its column) and a double click on the table
    // (row -1 below the rows: the current row stays).
    void cellClicked(int row, int tag);
    void rowDoubleClicked(int row);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TickTable* ticks_ = nullptr;
};

// The whole client area of a catalogue window.
class CatalogueBrowser : public QWidget {
    Q_OBJECT
public:
    // chooser: the modal choosers (OK / Cancel bar, chooser card look, no
    // delete button); otherwise the list windows.
    CatalogueBrowser(CatalogueKind kind, bool chooser, QWidget* parent = nullptr);
    ~CatalogueBrowser() override;

    CatalogueKind Kind() const { return kind_; }
    bool IsChooser() const { return chooser_; }

    CatalogueList* List() const { return list_; }
    CatalogueModel* Model() const { return model_; }
    CatalogueCardView* Cards() const { return cards_; }  // null for vehicle profiles
    CatalogueTableView* Table() const { return table_; }
    QLineEdit* SearchBox() const { return search_; }      // tracks only

    TImageButton* AddButton() const { return add_; }
    TImageButton* EditButton() const { return edit_; }
    TImageButton* DeleteButton() const { return delete_; }  // list windows only
    TImageButton* OkButton() const { return ok_; }          // choosers only
    TImageButton* CancelButton() const { return cancel_; }
    QAbstractButton* PictureButton() const { return picture_; }
    QAbstractButton* ListButton() const { return listToggle_; }
    // The hidden "Edit" and "Add driver" buttons.
    QPushButton* HiddenEditButton() const { return hiddenEdit_; }
    QPushButton* HiddenAddButton() const { return hiddenAdd_; }

    // The "sel." column and the check picture (multi mode of the choosers).
    void SetSelectionVisible(bool visible);
    bool SelectionVisible() const { return selectionVisible_; }
    void SetTickTable(TickTable* ticks);
    // Shows the check picture state left by a click, repaints the ticks.
    void ShowTickState(bool ticked);

    // The project byte of the view mode (40 drivers, 41 tracks; -1 none).
    int ViewModeOffset() const;
    // Stores the mode in the project byte; 0 shows and focuses the cards,
    // anything else the table.
    void SetViewMode(int mode);
    int ViewMode() const { return mode_; }
    // Presses "List" when the stored byte is not 0, else "Picture", and
    // applies SetViewMode with the byte.
    void ApplyStoredViewMode();
    // The view shown (cards or table).
    QAbstractItemView* ShownView() const;

    // Whether characters typed in the table go to the search box (the track
    // chooser) or stay with the table (the tracks list window).
    void SetTableTypesIntoSearch(bool on) { tableTypesIntoSearch_ = on; }

    // Re-reads the list (database errors reach the caller) and forgets the
    // drawn photos.
    void Reload();

signals:
    void addClicked();
    void editClicked();
    void deleteClicked();
    void okClicked();
    void cancelClicked();
    // A click on the tick (table "sel." cell or the card's check picture):
    // the row clicked is current.
    void tickClicked();
    // A double click on a card (onPhoto: on its photo), on a table row; the
    // row is current.
    void cardDoubleClicked(bool onPhoto);
    void tableDoubleClicked();
    // A click on the card's home page text, on a table cell of tag 2.
    void cardHomePageClicked();
    void tableHomePageClicked();
    void viewModeChanged(int mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopBar();
    void BuildBottomBar();
    void BindCurrent(QAbstractItemView* view);
    void OnSearchChanged(const QString& text);
    bool SearchBoxKey(QKeyEvent* event);
    bool ListKey(QKeyEvent* event);
    void FocusShownList();

    CatalogueKind kind_;
    bool chooser_;
    bool selectionVisible_ = false;
    bool tableTypesIntoSearch_ = false;
    int mode_ = 0;

    CatalogueList* list_ = nullptr;
    CatalogueModel* model_ = nullptr;
    QWidget* topBar_ = nullptr;
    QWidget* bottomBar_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    CatalogueCardView* cards_ = nullptr;
    CatalogueTableView* table_ = nullptr;
    QLineEdit* search_ = nullptr;
    QLabel* searchPicture_ = nullptr;
    TImageButton* add_ = nullptr;
    TImageButton* edit_ = nullptr;
    TImageButton* delete_ = nullptr;
    TImageButton* ok_ = nullptr;
    TImageButton* cancel_ = nullptr;
    QAbstractButton* picture_ = nullptr;
    QAbstractButton* listToggle_ = nullptr;
    QButtonGroup* toggles_ = nullptr;
    QPushButton* hiddenEdit_ = nullptr;
    QPushButton* hiddenAdd_ = nullptr;
};

// Opens a track's home page (STRONA_WWW) with the desktop's handler when
// the text is not empty; true when something was opened.
bool OpenHomePage(const QString& address);
