// "Data to read": the check list of the sessions in the key dump files.
#include "intake/ulistazodczytu.h"

#include <QDateTime>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

const TfListaZOdczytu::GridColumn TfListaZOdczytu::kColumns[9] = {
    {"wybrany", "Select", 42, true},
    {"nr_seryjny", "Serial no", 109, true},
    {"data", "Date", 184, true},
    {"nr_wyscigu", "No", 50, true},
    {"kierowca", "Driver", 168, true},
    {"tor", "Track", 153, true},
    {"ile_okrazen", "Laps", 116, false},
    {"nr_pliku", "", 124, true},
    {"numer_wpisu", "", 0, true},
};

namespace {

const QColor kGridColour(Qt::black);
const QColor kTextColour(0x00, 0xff, 0x00);    // lime
const QColor kStoredColour(0xff, 0x00, 0x00);  // red: already in the database
const QColor kLineColour(0x30, 0x32, 0x36);
// A dark accent for the current cell, so that the lime text and the orange
// tick stay readable on it.
const QColor kHighlightColour(0x5a, 0x33, 0x12);

const TfListaZOdczytu::GridColumn* ColumnOfField(const QString& field)
{
    for (const auto& c : TfListaZOdczytu::kColumns)
        if (field.compare(QLatin1String(c.field), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}


// The grid's font: a size smaller than the windows' own, so that the
// narrow columns hold their titles.
QFont GridFont()
{
    QFont font;
    font.setPointSizeF(font.pointSizeF() > 8.5 ? font.pointSizeF() - 1 : font.pointSizeF());
    return font;
}

// memPrzejazdy with the grid's titles and texts.
class SessionListModel : public MemTableModel {
public:
    using MemTableModel::MemTableModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const FieldDef& def = Table()->Def(index.column());
        if (role == Qt::DisplayRole) {
            if (def.type == FieldType::Boolean)
                return {};  // the Select column draws its tick
            const QVariant v = MemTableModel::data(index, role);
            if (def.type == FieldType::DateTime && v.isValid())
                return DateTimeToStr(v.toDateTime());
            return v;
        }
        if (role == Qt::TextAlignmentRole) {
            const bool number = def.type == FieldType::Integer || def.type == FieldType::Float;
            return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
        }
        return MemTableModel::data(index, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= Table()->FieldCount())
            return MemTableModel::headerData(section, orientation, role);
        const auto* column = ColumnOfField(Table()->Def(section).name);
        switch (role) {
        case Qt::DisplayRole:
            return column ? QString::fromLatin1(column->title) : QString();
        case Qt::FontRole: {
            QFont font = GridFont();
            font.setBold(!column || column->boldTitle);
            return font;
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return MemTableModel::headerData(section, orientation, role);
        }
    }
};

// Cells: lime on black, red for sessions already stored, the tick picture
// in the Select column.
class SessionCellDelegate : public QStyledItemDelegate {
public:
    SessionCellDelegate(MemTable& table, QObject* parent)
        : QStyledItemDelegate(parent),
          table_(table),
          cStored_(table.FieldIndex(QStringLiteral("jestwbazie"))),
          cTicked_(table.FieldIndex(QStringLiteral("wybrany")))
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool highlighted = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, highlighted ? option.palette.color(QPalette::Highlight) : kGridColour);

        const int row = index.row();
        const bool rowValid = row >= 0 && row < table_.RecordCount();
        if (index.column() == cTicked_) {
            if (rowValid && table_.BoolAt(row, cTicked_)) {
                const int x = (option.rect.width() - TfListaZOdczytu::kTickWidth) / 2;
                painter->drawPixmap(option.rect.x() + x, option.rect.y() + 1, artwork::Art(artwork::ArtId::Tick));
            }
        } else {
            const bool stored = rowValid && table_.BoolAt(row, cStored_);
            QColor colour = kTextColour;
            if (highlighted)
                colour = option.palette.color(QPalette::HighlightedText);
            else if (stored)
                colour = kStoredColour;
            painter->setPen(colour);
            painter->setFont(option.font);
            const QRect textRect = option.rect.adjusted(3, 0, -3, 0);
            const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
            const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                               Qt::ElideRight, textRect.width());
            painter->drawText(textRect, int(align), text);
        }

        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    MemTable& table_;
    int cStored_;
    int cTicked_;
};

QFrame* BlackPanel(QWidget* parent, int height)
{
    auto* panel = new QFrame(parent);
    panel->setFixedHeight(height);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, Qt::black);
    panel->setPalette(p);
    return panel;
}

void SetFixedButtonPictures(TImageButton& button, artwork::ButtonId id)
{
    artwork::SetButtonPictures(button, id);
    // All five pictures have one size; fixing it lets the panel's layout
    // place the button.
    button.setFixedSize(button.size());
}

}  // namespace

TfListaZOdczytu::TfListaZOdczytu(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Data to read"));
    resize(1040, 460);

    MemTable& table = DM->memPrzejazdy;

    Panel1 = BlackPanel(this, 10);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // Thin accent lines close the two panels off against the grid.
    auto* accent = new QFrame(Panel1);
    accent->setObjectName(QStringLiteral("Panel1Accent"));
    accent->setStyleSheet(QStringLiteral("background-color: #b8560f;"));
    auto* topLayout = new QVBoxLayout(Panel1);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addStretch();
    accent->setFixedHeight(2);
    topLayout->addWidget(accent);

    RxDBGrid1 = new QTableView(this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    model_ = new SessionListModel(&table, this);
    RxDBGrid1->setModel(model_);
    RxDBGrid1->setItemDelegate(new SessionCellDelegate(table, RxDBGrid1));
    RxDBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RxDBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    RxDBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    RxDBGrid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    RxDBGrid1->setWordWrap(false);
    RxDBGrid1->setFrameShape(QFrame::NoFrame);
    RxDBGrid1->setFont(GridFont());
    RxDBGrid1->verticalHeader()->hide();
    RxDBGrid1->verticalHeader()->setDefaultSectionSize(22);
    {
        QPalette p = RxDBGrid1->palette();
        p.setColor(QPalette::Base, kGridColour);
        p.setColor(QPalette::Window, kGridColour);
        p.setColor(QPalette::Text, kTextColour);
        p.setColor(QPalette::Highlight, kHighlightColour);
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::Mid, kLineColour);
        RxDBGrid1->setPalette(p);
    }
    // Black title cells with white text; the bold comes from each title.
    RxDBGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: black; color: white; padding: 1px 2px;"
                       " border: none; border-right: 1px solid %1; border-bottom: 1px solid %1; }")
            .arg(kLineColour.name()));

    // Columns: the fields of the list in the order of kColumns, the other
    // fields of the table hidden.
    QHeaderView* header = RxDBGrid1->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(20);
    header->setFixedHeight(24);
    for (int f = 0; f < table.FieldCount(); ++f)
        header->setSectionHidden(f, ColumnOfField(table.Def(f).name) == nullptr);
    int visual = 0;
    for (const GridColumn& c : kColumns) {
        const int logical = table.FieldIndex(QString::fromLatin1(c.field));
        if (logical < 0)
            continue;
        header->moveSection(header->visualIndex(logical), visual++);
        header->resizeSection(logical, c.width > 0 ? c.width : 60);
    }
    header->setStretchLastSection(true);

    connect(RxDBGrid1, &QTableView::clicked, this, &TfListaZOdczytu::RxDBGrid1CellClick);

    Panel2 = BlackPanel(this, 56);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    SpeedButton3 = new TImageButton(Panel2);
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    SetFixedButtonPictures(*SpeedButton3, artwork::ButtonId::Ok);
    SpeedButton3->setToolTip(QStringLiteral("OK"));
    SpeedButton4 = new TImageButton(Panel2);
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    SetFixedButtonPictures(*SpeedButton4, artwork::ButtonId::Cancel);
    SpeedButton4->setToolTip(QStringLiteral("Cancel"));
    auto* bottomAccent = new QFrame(Panel2);
    bottomAccent->setObjectName(QStringLiteral("Panel2Accent"));
    bottomAccent->setStyleSheet(QStringLiteral("background-color: #b8560f;"));
    bottomAccent->setFixedHeight(2);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 6, 12, 8);
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(SpeedButton3);
    buttons->addWidget(SpeedButton4);
    auto* bottomLayout = new QVBoxLayout(Panel2);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    bottomLayout->addWidget(bottomAccent);
    bottomLayout->addLayout(buttons);
    connect(SpeedButton3, &TImageButton::clicked, this, &TfListaZOdczytu::SpeedButton3Click);
    connect(SpeedButton4, &TImageButton::clicked, this, &TfListaZOdczytu::SpeedButton4Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(RxDBGrid1, 1);
    layout->addWidget(Panel2);

    platform::CentreOnScreen(*this);
}

TfListaZOdczytu::~TfListaZOdczytu() = default;

void TfListaZOdczytu::SpeedButton3Click()
{
    result_ = true;
    accept();
}

void TfListaZOdczytu::SpeedButton4Click()
{
    result_ = false;
    reject();
}

void TfListaZOdczytu::RxDBGrid1CellClick(const QModelIndex& index)
{
    MemTable& table = DM->memPrzejazdy;
    if (!index.isValid() || !table.Active() || index.row() >= table.RecordCount())
        return;
    if (table.Def(index.column()).tag != 1)
        return;
    table.SetRecNo(index.row());
    table.Edit();
    MemField field = table.FieldAt(index.column());
    field.SetAsBoolean(!field.AsBoolean());
    table.Post();
}

bool ChooseSessionsToRead()
{
    TfListaZOdczytu form;
    form.SetResult(false);
    platform::ExecModal(form);
    return form.Result();
}
