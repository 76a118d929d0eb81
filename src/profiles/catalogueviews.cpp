#include "profiles/catalogueviews.h"

#include "platform/mdichild.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "controls/uEDBR.h"
#include "platform/dialogs.h"
#include "profiles/cataloguechoice.h"
#include "shell/projectrecord.h"

// ------------------------------------------------------------ MDI children

namespace catalogue {

namespace {
QPointer<QMdiArea>& Area()
{
    static QPointer<QMdiArea> area;
    return area;
}
}  // namespace

void SetMdiArea(QMdiArea* area) { Area() = area; }

QMdiArea* MdiArea() { return Area().data(); }

QWidget* ShowSingleChild(const char* className, const QSize& size, const std::function<QWidget*()>& create)
{
    QMdiArea* area = MdiArea();
    if (area) {
        if (QMdiSubWindow* sub = FindMdiSubWindow(area, QString::fromLatin1(className))) {
            if (sub->isMinimized())
                sub->showNormal();
            area->setActiveSubWindow(sub);
            sub->raise();
            return sub->widget();
        }
    } else {
        // No main window: a top-level window of that class still exists only once.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qstrcmp(w->metaObject()->className(), className) == 0 && w->isVisible()) {
                w->raise();
                w->activateWindow();
                return w;
            }
        }
    }

    QWidget* window = create();
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (area) {
        QMdiSubWindow* sub = area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(window->windowTitle());
        sub->resize(size);
        sub->show();
        area->setActiveSubWindow(sub);
    } else {
        window->resize(size);
        window->show();
    }
    return window;
}

}  // namespace catalogue

bool OpenHomePage(const QString& address)
{
    if (address.isEmpty())
        return false;
    return platform::OpenDocument(address);
}

// ------------------------------------------------------------------ colours

namespace {

const QColor kBlack(0, 0, 0);
const QColor kChooserCurrent(0x5a, 0x5d, 0x61);   // the choosers' grey current card
const QColor kListCurrent(68, 133, 139);
const QColor kListOdd(28, 30, 29);
const QColor kListEven(38, 40, 39);
const QColor kDriversListBack(51, 55, 56);
const QColor kCaptionInk(0x9a, 0xa0, 0xa8);
const QColor kCaptionOnCurrent(0xe4, 0xe8, 0xec);
const QColor kValueInk(0xf4, 0xf5, 0xf6);
const QColor kLinkInk(0xff, 0x8d, 0x45);
const QColor kSeparator(0x30, 0x33, 0x37);
const QColor kEmptyPhoto(0x0e, 0x0f, 0x11);
const QColor kEmptyPhotoFrame(0x2a, 0x2d, 0x31);
const QColor kSilverTop(0xd2, 0xd2, 0xd2);
const QColor kSilverBottom(0xae, 0xae, 0xae);

QFont CardFont(int pixels, bool bold)
{
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A caption in small grey letters with its value below in white bold.
void DrawField(QPainter& p, int x, int y, int width, const QString& caption, const QString& value,
               bool current, int valuePixels = 17)
{
    p.setFont(CardFont(12, false));
    p.setPen(current ? kCaptionOnCurrent : kCaptionInk);
    p.drawText(QRect(x, y, width, 14), Qt::AlignLeft | Qt::AlignVCenter, caption);
    p.setFont(CardFont(valuePixels, true));
    p.setPen(kValueInk);
    const QFontMetrics fm(p.font());
    p.drawText(QRect(x, y + 15, width, valuePixels + 8), Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(value, Qt::ElideRight, width));
}

// The banner across the top bar.
class BannerBar : public QWidget {
public:
    explicit BannerBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (banner_.size() != size())
            banner_ = artwork::Banner(width(), height());
        QPainter p(this);
        p.drawPixmap(0, 0, banner_);
    }

private:
    QPixmap banner_;
};

// The silver bar under the choosers' lists.
class SilverBar : public QWidget {
public:
    explicit SilverBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, kSilverTop);
        g.setColorAt(1, kSilverBottom);
        p.fillRect(rect(), g);
        p.fillRect(QRect(0, 0, width(), 1), QColor(0xee, 0xee, 0xee));
    }
};

TImageButton* NewImageButton(QWidget* parent, artwork::ButtonId id, const QString& hint, const char* name)
{
    auto* b = new TImageButton(parent);
    artwork::SetButtonPictures(*b, id);
    b->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setFixedSize(b->size());  // the button has taken its picture's size
    return b;
}

const char* kToggleStyle =
    "QToolButton { color: #d6d9de; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3a3e45,"
    " stop:1 #202226); border: 1px solid #4d525b; padding: 0 14px; font-weight: bold; }"
    "QToolButton:hover { border-color: #ff6a13; }"
    "QToolButton:checked { color: #ffffff; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
    " stop:0 #ff8d45, stop:1 #c44b06); border-color: #ff8d45; }"
    "QToolButton#Picture { border-top-left-radius: 5px; border-bottom-left-radius: 5px; }"
    "QToolButton#List { border-top-right-radius: 5px; border-bottom-right-radius: 5px; border-left: 0; }";

const char* kTableStyle =
    "QTableView { background: black; color: white; gridline-color: #2c2f33; border: 0;"
    " selection-background-color: #44858b; selection-color: white; font-size: 13px; }"
    "QTableView:focus { outline: 0; }"
    "QHeaderView::section { background: black; color: white; font-weight: bold; font-size: 13px;"
    " border: 0; border-right: 1px solid #2c2f33; border-bottom: 2px solid #ff6a13; padding: 5px 6px; }"
    "QTableCornerButton::section { background: black; border: 0; }";

const char* kSearchStyle =
    "QLineEdit#Editszukaj { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e2e2e2,"
    " stop:1 #bdbdbd); color: black; border: 1px solid #8a8a8a; border-radius: 3px; padding: 2px 6px;"
    " font-size: 14px; selection-background-color: #ff6a13; }";

// The "sel." cells: the tick of the row's entry in the shared table.
class SelectionDelegate : public QStyledItemDelegate {
public:
    SelectionDelegate(CatalogueTableView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.data(CatalogueModel::kTagRole).toInt() != 1) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect cell = option.rect;
        QPixmap bitmap(cell.size());
        const bool selected = option.state & QStyle::State_Selected;
        bitmap.fill(selected ? option.palette.color(QPalette::Highlight) : kBlack);
        TickTable* ticks = view_->Ticks();
        const int id = index.data(CatalogueModel::kIdRole).toInt();
        if (ticks && ticks->IsTicked(id)) {
            QPainter bp(&bitmap);
            const int columnWidth = view_->columnWidth(index.column());
            bp.drawPixmap((columnWidth - 29) / 2, 0, artwork::Art(artwork::ArtId::Tick));
        }
        painter->drawPixmap(cell.topLeft(), bitmap);
        if (option.state & QStyle::State_HasFocus) {
            painter->save();
            painter->setPen(QPen(QColor(0xff, 0xff, 0xff, 160), 1, Qt::DotLine));
            painter->drawRect(cell.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

private:
    CatalogueTableView* view_;
};

// Table cells: the text with some room; home page cells look like links.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // The cell's background over its whole width, the text a little in from the grid lines.
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.brush(QPalette::Highlight)
                                                : option.palette.brush(QPalette::Base));
        QStyleOptionViewItem inner(option);
        inner.rect.adjust(4, 0, -4, 0);
        QStyledItemDelegate::paint(painter, inner, index);
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(CatalogueModel::kTagRole).toInt() == 2) {
            option->palette.setColor(QPalette::Text, kLinkInk);
            option->font.setUnderline(true);
        }
    }
};

}  // namespace

// ----------------------------------------------------------- card delegate

CatalogueCardDelegate::CatalogueCardDelegate(CatalogueKind kind, CardLook look, QObject* parent)
    : QStyledItemDelegate(parent), kind_(kind), look_(look)
{
}

CatalogueCardDelegate::~CatalogueCardDelegate() = default;

int CatalogueCardDelegate::CardHeight(CatalogueKind kind) { return kind == CatalogueKind::Tracks ? 186 : 139; }

QSize CatalogueCardDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {kCardWidth, CardHeight(kind_)};
}

QRect CatalogueCardDelegate::CheckRect(const QRect& card) const
{
    return {card.left() + 6, card.top() + (card.height() - 19) / 2, 29, 19};
}

QRect CatalogueCardDelegate::PhotoRect(const QRect& card) const
{
    // The choosers keep the left edge for the check picture.
    const int left = card.left() + (look_ == CardLook::Chooser ? 42 : 12);
    if (kind_ == CatalogueKind::Tracks)
        return {left, card.top() + 1, 246, 184};
    // 160 x 140 in the choosers, 160 x 139 in the list window; the card is 139 high.
    const int h = look_ == CardLook::Chooser ? 140 : 139;
    return QRect(left, card.top(), 160, h).intersected(card);
}

QRect CatalogueCardDelegate::HomePageArea(const QRect& card) const
{
    // Below the second column of a track card, in line with its last field.
    const int x = PhotoRect(card).right() + 1 + 28 + kTrackColumnWidth + 30;
    return {x, card.top() + kTrackTop + 3 * kTrackStep + 8, card.right() - x - 16, 24};
}

QFont CatalogueCardDelegate::HomePageFont()
{
    QFont f = CardFont(15, true);
    f.setUnderline(true);
    return f;
}

QRect CatalogueCardDelegate::HomePageRect(const QRect& card, const QModelIndex& index) const
{
    if (kind_ != CatalogueKind::Tracks)
        return {};
    const auto* model = qobject_cast<const CatalogueModel*>(index.model());
    if (!model)
        return {};
    const QString www = model->List()->Text(index.row(), QStringLiteral("STRONA_WWW"));
    if (www.isEmpty())
        return {};
    // The part of the area the (elided) text covers, where it is drawn.
    const QRect area = HomePageArea(card);
    const QFontMetrics fm(HomePageFont());
    const int w = std::min(fm.horizontalAdvance(fm.elidedText(www, Qt::ElideRight, area.width())), area.width());
    return {area.left(), area.top(), std::max(w, 1), area.height()};
}

QSize CatalogueCardDelegate::PhotoSize() const { return PhotoRect(QRect(0, 0, kCardWidth, CardHeight(kind_))).size(); }

QImage CatalogueCardDelegate::CardPicture(const QByteArray& bytes) const
{
    const QSize box = PhotoSize();
    if (kind_ == CatalogueKind::Tracks) {
        const QImage picture = LoadPictureFromBlob(bytes);
        if (picture.isNull())
            return {};
        const QRect drawn = PictureDrawRect(QRect(QPoint(0, 0), box), picture.size(), true, true, false);
        if (drawn.size() == picture.size())
            return picture;
        return picture.scaled(drawn.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Driver photos are stored as bitmaps and drawn stretched.
    if (bytes.size() <= 2 || !bytes.startsWith("BM"))
        return {};
    const QImage picture = QImage::fromData(bytes, "BMP");
    if (picture.isNull())
        return {};
    return picture.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void CatalogueCardDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const auto* model = qobject_cast<const CatalogueModel*>(index.model());
    if (!model)
        return;
    const CatalogueList& list = *model->List();
    const QRect r = option.rect;
    const bool current = list.CurrentRow() == index.row();

    QColor back;
    if (look_ == CardLook::Chooser) {
        back = current ? kChooserCurrent : kBlack;
    } else {
        // Position on screen, 0 = the top card.
        const int position = r.top() >= 0 ? r.top() / std::max(1, r.height()) : -1;
        back = current ? kListCurrent : (position % 2 != 0 ? kListOdd : kListEven);
    }

    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->fillRect(r, back);
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), kSeparator);

    if (checkVisible_)
        painter->drawPixmap(CheckRect(r).topLeft(),
                            artwork::Art(checkTicked_ ? artwork::ArtId::CheckTicked : artwork::ArtId::CheckUnticked));

    const QRect photo = PhotoRect(r);
    const QImage picture = list.Picture(index.row(), QStringLiteral("ZDJECIE"));
    if (!picture.isNull()) {
        if (kind_ == CatalogueKind::Tracks) {
            // Centred on black, at the size it was kept.
            painter->fillRect(photo, kBlack);
            painter->drawImage(PictureDrawRect(photo, picture.size(), true, true, false), picture);
        } else {
            painter->drawImage(photo, picture);
        }
    } else {
        // No photo: an empty, framed area.
        painter->fillRect(photo, kEmptyPhoto);
        painter->setPen(kEmptyPhotoFrame);
        painter->drawRect(photo.adjusted(0, 0, -1, -1));
    }

    if (kind_ == CatalogueKind::Tracks)
        PaintTrack(*painter, r, list, index.row(), current);
    else
        PaintDriver(*painter, r, list, index.row(), current);
    painter->restore();
}

void CatalogueCardDelegate::PaintDriver(QPainter& p, const QRect& r, const CatalogueList& list, int row,
                                        bool current) const
{
    const int x = PhotoRect(r).right() + 1 + 28;
    const int colWidth = 320;
    const int top = r.top() + 10;
    const int step = 42;
    DrawField(p, x, top, colWidth - 20, QStringLiteral("First name"), list.DisplayText(row, QStringLiteral("IMIE")),
              current);
    DrawField(p, x, top + step, colWidth - 20, QStringLiteral("Surname"),
              list.DisplayText(row, QStringLiteral("NAZWISKO")), current);
    DrawField(p, x, top + 2 * step, colWidth - 20, QStringLiteral("Nick name"),
              list.DisplayText(row, QStringLiteral("PSEUDONIM")), current);
    const int x2 = x + colWidth;
    DrawField(p, x2, top, 200, QStringLiteral("Weight"), list.DisplayText(row, QStringLiteral("WAGA")), current);
    DrawField(p, x2, top + step, 200, QStringLiteral("Overweight"), list.DisplayText(row, QStringLiteral("NADWAGA")),
              current);
    DrawField(p, x2, top + 2 * step, 200, QStringLiteral("Height"), list.DisplayText(row, QStringLiteral("WZROST")),
              current);
}

void CatalogueCardDelegate::PaintTrack(QPainter& p, const QRect& r, const CatalogueList& list, int row,
                                       bool current) const
{
    const int x = PhotoRect(r).right() + 1 + 28;
    const int top = r.top() + kTrackTop;
    const int step = kTrackStep;
    const int colWidth = kTrackColumnWidth;
    DrawField(p, x, top, colWidth, QStringLiteral("Name"), list.DisplayText(row, QStringLiteral("NAZWA")), current,
              20);
    DrawField(p, x, top + step, colWidth, QStringLiteral("Length"), list.DisplayText(row, QStringLiteral("DLUGOSC")),
              current);
    DrawField(p, x, top + 2 * step, colWidth, QStringLiteral("Best time"),
              list.DisplayText(row, QStringLiteral("REKORD")), current);
    DrawField(p, x, top + 3 * step, colWidth, QStringLiteral("Best time driver"),
              list.DisplayText(row, QStringLiteral("OSOBA_REKORD")), current);
    const int x2 = x + colWidth + 30;
    DrawField(p, x2, top, 220, QStringLiteral("Magnetic stripes"),
              list.DisplayText(row, QStringLiteral("ILOSC_PASKOW")), current);
    DrawField(p, x2, top + step, 220, QStringLiteral("Skip stripes"),
              list.DisplayText(row, QStringLiteral("ILE_POMINAC_PASKOW")), current);
    DrawField(p, x2, top + 2 * step, 220, QStringLiteral("Lap timeout"),
              list.DisplayText(row, QStringLiteral("LAP_TIMEOUT")), current);
    const QString www = list.Text(row, QStringLiteral("STRONA_WWW"));
    if (!www.isEmpty()) {
        const QFont f = HomePageFont();
        p.setFont(f);
        p.setPen(current ? QColor(0xff, 0xff, 0xff) : kLinkInk);
        const QRect area = HomePageArea(r);
        p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(f).elidedText(www, Qt::ElideRight, area.width()));
    }
}

// --------------------------------------------------------------- card view

CatalogueCardView::CatalogueCardView(CatalogueKind kind, CardLook look, QWidget* parent)
    : QListView(parent), delegate_(new CatalogueCardDelegate(kind, look, this))
{
    setObjectName(QStringLiteral("DBCtrlGrid1"));
    setItemDelegate(delegate_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(CatalogueCardDelegate::CardHeight(kind) / 4);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    QPalette pal = palette();
    const QColor back =
        look == CardLook::ListWindow && kind == CatalogueKind::Drivers ? kDriversListBack : kBlack;
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Window, back);
    setPalette(pal);
    setAutoFillBackground(true);
}

QRect CatalogueCardView::CardRect(int row) const
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return {};
    return visualRect(model()->index(row, 0));
}

void CatalogueCardView::mousePressEvent(QMouseEvent* event)
{
    QListView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    pressedRow_ = event->button() == Qt::LeftButton && index.isValid() ? index.row() : -1;
}

void CatalogueCardView::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    const int pressed = pressedRow_;
    pressedRow_ = -1;
    if (!index.isValid() || index.row() != pressed)
        return;
    const QRect card = visualRect(index);
    if (delegate_->CheckVisible() && delegate_->CheckRect(card).contains(pos))
        emit checkClicked(index.row());
    else if (delegate_->HomePageRect(card, index).contains(pos))
        emit homePageClicked(index.row());
}

void CatalogueCardView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QListView::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    pressedRow_ = -1;  // the release of a double click is no click on the check picture
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    emit cardDoubleClicked(index.row(), delegate_->PhotoRect(visualRect(index)).contains(pos));
}

void CatalogueCardView::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    const bool overLink = index.isValid() && delegate_->HomePageRect(visualRect(index), index).contains(pos);
    if (overLink)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

// -------------------------------------------------------------- table view

CatalogueTableView::CatalogueTableView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("RxDBGrid1"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setFrameShape(QFrame::NoFrame);
    setWordWrap(false);
    setStyleSheet(QString::fromLatin1(kTableStyle));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);
    setItemDelegate(new CellDelegate(this));
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit cellClicked(index.row(), index.data(CatalogueModel::kTagRole).toInt());
    });
}

void CatalogueTableView::SetTickTable(TickTable* ticks)
{
    ticks_ = ticks;
    auto* m = qobject_cast<CatalogueModel*>(model());
    const int col = m ? m->ColumnOfTag(1) : -1;
    if (col >= 0)
        setItemDelegateForColumn(col, new SelectionDelegate(this));
}

void CatalogueTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    // Below the last row (or on an empty list) it counts as a double click
    // on the table: the current row stays.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        setCurrentIndex(index);
    emit rowDoubleClicked(index.isValid() ? index.row() : -1);
}

// ---------------------------------------------------------------- browser

CatalogueBrowser::CatalogueBrowser(CatalogueKind kind, bool chooser, QWidget* parent)
    : QWidget(parent), kind_(kind), chooser_(chooser)
{
    setObjectName(QStringLiteral("CatalogueBrowser"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBlack);
    setPalette(pal);

    list_ = catalogue::NewList(kind, this);
    list_->setObjectName(QStringLiteral("IBQuery1"));
    model_ = new CatalogueModel(list_, catalogue::TableColumns(kind, chooser), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    BuildTopBar();
    layout->addWidget(topBar_);

    stack_ = new QStackedWidget(this);
    if (kind != CatalogueKind::VehicleProfiles) {
        cards_ = new CatalogueCardView(kind, chooser ? CardLook::Chooser : CardLook::ListWindow, stack_);
        cards_->setModel(model_);
        cards_->setModelColumn(0);
        stack_->addWidget(cards_);
        BindCurrent(cards_);
        // The list keeps each photo only as the cards show it.
        CatalogueCardDelegate* delegate = cards_->Delegate();
        list_->SetPictureColumn(QStringLiteral("ZDJECIE"),
                                [delegate](const QByteArray& bytes) { return delegate->CardPicture(bytes); });
        connect(cards_, &CatalogueCardView::checkClicked, this, [this](int) { emit tickClicked(); });
        connect(cards_, &CatalogueCardView::homePageClicked, this, [this](int) { emit cardHomePageClicked(); });
        connect(cards_, &CatalogueCardView::cardDoubleClicked, this,
                [this](int, bool onPhoto) { emit cardDoubleClicked(onPhoto); });
        cards_->installEventFilter(this);
    }
    table_ = new CatalogueTableView(stack_);
    table_->setModel(model_);
    stack_->addWidget(table_);
    BindCurrent(table_);
    table_->installEventFilter(this);
    const auto& cols = model_->Columns();
    for (size_t c = 0; c < cols.size(); ++c) {
        int w = 160;
        if (cols[c].tag == 1)
            w = 48;
        else if (cols[c].field == QLatin1String("NAZWA") || cols[c].field == QLatin1String("NAZWISKO"))
            w = 260;
        else if (cols[c].field == QLatin1String("IMIE"))
            w = 200;
        table_->setColumnWidth(int(c), w);
    }
    connect(table_, &CatalogueTableView::cellClicked, this, [this](int, int tag) {
        if (tag == 1)
            emit tickClicked();
        if (tag == 2)
            emit tableHomePageClicked();
    });
    connect(table_, &CatalogueTableView::rowDoubleClicked, this, [this](int) { emit tableDoubleClicked(); });
    layout->addWidget(stack_, 1);

    BuildBottomBar();
    layout->addWidget(bottomBar_);
    bottomBar_->setVisible(chooser);

    hiddenEdit_ = new QPushButton(QStringLiteral("Edit"), this);
    hiddenEdit_->setObjectName(QStringLiteral("Button1"));
    hiddenEdit_->setAutoDefault(false);
    hiddenEdit_->hide();
    hiddenAdd_ = new QPushButton(QStringLiteral("Add driver"), this);
    hiddenAdd_->setObjectName(QStringLiteral("Button2"));
    hiddenAdd_->setAutoDefault(false);
    hiddenAdd_->hide();

    if (kind == CatalogueKind::VehicleProfiles) {
        stack_->setCurrentWidget(table_);
        mode_ = 1;
    }
    SetSelectionVisible(false);
}

CatalogueBrowser::~CatalogueBrowser() = default;

void CatalogueBrowser::BuildTopBar()
{
    topBar_ = new BannerBar(this);
    topBar_->setObjectName(QStringLiteral("Panel1"));
    topBar_->setFixedHeight(52);
    auto* h = new QHBoxLayout(topBar_);
    h->setContentsMargins(8, 6, 12, 6);
    h->setSpacing(6);

    add_ = NewImageButton(topBar_, artwork::ButtonId::ListAdd, QString(), "ImageButtonAdd");
    edit_ = NewImageButton(topBar_, artwork::ButtonId::ListEdit, QString(), "ImageButtonEdit");
    h->addWidget(add_);
    h->addWidget(edit_);
    connect(add_, &TImageButton::clicked, this, &CatalogueBrowser::addClicked);
    connect(edit_, &TImageButton::clicked, this, &CatalogueBrowser::editClicked);
    if (!chooser_) {
        delete_ = NewImageButton(topBar_, artwork::ButtonId::ListDelete, QStringLiteral("Delete record"),
                                 "ImageButtonDelete");
        h->addWidget(delete_);
        connect(delete_, &TImageButton::clicked, this, &CatalogueBrowser::deleteClicked);
    }

    if (kind_ != CatalogueKind::VehicleProfiles) {
        h->addSpacing(24);
        auto* pictureButton = new QToolButton(topBar_);
        pictureButton->setObjectName(QStringLiteral("Picture"));
        pictureButton->setText(QStringLiteral("Picture"));
        auto* listButton = new QToolButton(topBar_);
        listButton->setObjectName(QStringLiteral("List"));
        listButton->setText(QStringLiteral("List"));
        for (QToolButton* b : {pictureButton, listButton}) {
            b->setCheckable(true);
            b->setFixedHeight(30);
            b->setMinimumWidth(84);
            b->setFocusPolicy(Qt::NoFocus);
            b->setStyleSheet(QString::fromLatin1(kToggleStyle));
        }
        auto* pair = new QHBoxLayout;
        pair->setSpacing(0);
        pair->addWidget(pictureButton);
        pair->addWidget(listButton);
        h->addLayout(pair);
        toggles_ = new QButtonGroup(this);
        toggles_->setExclusive(true);
        toggles_->addButton(pictureButton);
        toggles_->addButton(listButton);
        pictureButton->setChecked(true);
        picture_ = pictureButton;
        listToggle_ = listButton;
        auto toggled = [this] { SetViewMode(picture_->isChecked() ? 0 : 1); };
        connect(pictureButton, &QToolButton::clicked, this, toggled);
        connect(listButton, &QToolButton::clicked, this, toggled);
    }

    if (kind_ == CatalogueKind::Tracks) {
        h->addSpacing(36);
        searchPicture_ = new QLabel(topBar_);
        searchPicture_->setObjectName(QStringLiteral("Image2"));
        searchPicture_->setPixmap(artwork::Art(artwork::ArtId::Search));
        searchPicture_->setFixedSize(34, 39);
        h->addWidget(searchPicture_);
        search_ = new QLineEdit(topBar_);
        search_->setObjectName(QStringLiteral("Editszukaj"));
        search_->setStyleSheet(QString::fromLatin1(kSearchStyle));
        search_->setFixedSize(280, 30);
        h->addWidget(search_);
        search_->installEventFilter(this);
        connect(search_, &QLineEdit::textChanged, this, &CatalogueBrowser::OnSearchChanged);
    }
    h->addStretch(1);
}

void CatalogueBrowser::BuildBottomBar()
{
    bottomBar_ = new SilverBar(this);
    bottomBar_->setObjectName(QStringLiteral("Panel2"));
    bottomBar_->setFixedHeight(54);
    auto* h = new QHBoxLayout(bottomBar_);
    h->setContentsMargins(10, 7, 10, 7);
    h->setSpacing(10);
    ok_ = NewImageButton(bottomBar_, artwork::ButtonId::Ok, QString(), "ImageOK");
    cancel_ = NewImageButton(bottomBar_, artwork::ButtonId::Cancel, QString(), "ImageCancel");
    h->addWidget(ok_);
    h->addWidget(cancel_);
    h->addStretch(1);
    connect(ok_, &TImageButton::clicked, this, &CatalogueBrowser::okClicked);
    connect(cancel_, &TImageButton::clicked, this, &CatalogueBrowser::cancelClicked);
}

void CatalogueBrowser::BindCurrent(QAbstractItemView* view)
{
    // The list's current row and the view's current row follow each other.
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    list_->SetCurrentRow(current.row());
            });
    auto follow = [this, view](int row) {
        if (row < 0 || row >= model_->rowCount())
            return;
        QModelIndex now = view->currentIndex();
        if (now.isValid() && now.row() == row)
            return;
        int column = now.isValid() ? now.column() : 0;
        if (auto* table = qobject_cast<QTableView*>(view)) {
            if (!now.isValid() || table->isColumnHidden(column)) {
                column = 0;
                while (column < model_->columnCount() && table->isColumnHidden(column))
                    ++column;
            }
        } else {
            column = 0;
        }
        const QModelIndex index = model_->index(row, column);
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
        view->scrollTo(index);
    };
    connect(list_, &CatalogueList::CurrentChanged, view, follow);
    connect(model_, &QAbstractItemModel::modelReset, view, [this, follow] { follow(list_->CurrentRow()); });
    // The old and the new current card are repainted in their colours.
    connect(list_, &CatalogueList::CurrentChanged, view->viewport(), qOverload<>(&QWidget::update));
}

void CatalogueBrowser::SetSelectionVisible(bool visible)
{
    selectionVisible_ = visible;
    const int col = model_->ColumnOfTag(1);
    if (col >= 0)
        table_->setColumnHidden(col, !visible);
    if (cards_) {
        cards_->Delegate()->SetCheckVisible(visible);
        cards_->viewport()->update();
    }
}

void CatalogueBrowser::SetTickTable(TickTable* ticks) { table_->SetTickTable(ticks); }

void CatalogueBrowser::ShowTickState(bool ticked)
{
    if (cards_) {
        cards_->Delegate()->SetCheckTicked(ticked);
        cards_->viewport()->update();
    }
    table_->viewport()->update();
}

int CatalogueBrowser::ViewModeOffset() const
{
    switch (kind_) {
    case CatalogueKind::Drivers: return ProjectRecord::OffDriverListView;
    case CatalogueKind::Tracks: return ProjectRecord::OffTrackListView;
    case CatalogueKind::VehicleProfiles: return -1;
    }
    return -1;
}

void CatalogueBrowser::SetViewMode(int mode)
{
    const int offset = ViewModeOffset();
    if (offset < 0)
        return;
    Project().SetByteAt(offset, std::uint8_t(mode));
    mode_ = mode;
    if (mode == 0) {
        stack_->setCurrentWidget(cards_);
        cards_->setFocus();
    } else {
        stack_->setCurrentWidget(table_);
        table_->setFocus();
        if (!selectionVisible_) {
            // The first visible column becomes the current one.
            const int row = std::max(list_->CurrentRow(), 0);
            int column = 0;
            while (column < model_->columnCount() && table_->isColumnHidden(column))
                ++column;
            if (row < model_->rowCount() && column < model_->columnCount())
                table_->selectionModel()->setCurrentIndex(model_->index(row, column),
                                                          QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
        }
    }
    if (picture_) {
        QSignalBlocker b1(picture_), b2(listToggle_);
        (mode == 0 ? picture_ : listToggle_)->setChecked(true);
    }
    emit viewModeChanged(mode);
}

void CatalogueBrowser::ApplyStoredViewMode()
{
    const int offset = ViewModeOffset();
    if (offset < 0)
        return;
    const int stored = Project().ByteAt(offset);
    (stored != 0 ? listToggle_ : picture_)->setChecked(true);
    SetViewMode(stored);
}

QAbstractItemView* CatalogueBrowser::ShownView() const
{
    return qobject_cast<QAbstractItemView*>(stack_->currentWidget());
}

void CatalogueBrowser::Reload()
{
    list_->Reload();
}

// ------------------------------------------------------------------ search

void CatalogueBrowser::OnSearchChanged(const QString& text)
{
    QAbstractItemView* view = ShownView();
    if (view)
        view->setUpdatesEnabled(false);
    SearchList(*list_, QString::fromLatin1(catalogue::kSearchField), text);
    if (view)
        view->setUpdatesEnabled(true);
}

void CatalogueBrowser::FocusShownList()
{
    if (cards_ && cards_->isVisible())
        cards_->setFocus();
    else if (table_->isVisible())
        table_->setFocus();
    else if (QAbstractItemView* v = ShownView())
        v->setFocus();
}

bool CatalogueBrowser::SearchBoxKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (event->key() == Qt::Key_Escape)
            search_->clear();
        FocusShownList();
        return true;
    default:
        return false;
    }
}

bool CatalogueBrowser::ListKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return false;  // left to the list
    if (key == Qt::Key_Escape) {
        search_->clear();
        return true;
    }
    const QString text = event->text();
    const bool backspace = key == Qt::Key_Backspace;
    if (!backspace && (text.isEmpty() || !text.at(0).isPrint()))
        return false;
    search_->setFocus();
    if (!backspace)
        search_->setText(search_->text() + text);
    search_->setCursorPosition(int(search_->text().size()));
    return true;
}

bool CatalogueBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && search_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == search_)
            return SearchBoxKey(key);
        if (watched == cards_ || (watched == table_ && tableTypesIntoSearch_))
            return ListKey(key);
    }
    return QWidget::eventFilter(watched, event);
}
