// "Tracks": the check list of the tracks in the track transfer files.
#include "profiles/ulistatorowimport.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "shell/data/ubazy.h"

namespace {

const QColor kAccent(0xff, 0x6a, 0x13);  // the program's racing orange
const QColor kSelection(0x44, 0x85, 0x8b);
const int kRowHeight = 22;

const char* kTitleStyle =
    "QHeaderView::section { background: black; color: white; font-weight: bold; font-size: 13px;"
    " border: 0; border-right: 1px solid #2c2f33; border-bottom: 2px solid #ff6a13; padding: 5px 6px; }";

// The button's five pictures, at their one size so that a layout can place it.
void SetFixedButtonPictures(TImageButton& button, artwork::ButtonId id)
{
    artwork::SetButtonPictures(button, id);
    button.setFixedSize(button.size());
}

}  // namespace

std::vector<GridColumn> TFListaTorowImport::Columns()
{
    return {
        {QStringLiteral("id_toru"), QStringLiteral("id_toru"), 90},
        {QStringLiteral("nazwaToru"), QStringLiteral("nazwaToru"), 360},
        {QStringLiteral("plik"), QStringLiteral("plik"), 250},
        {QStringLiteral("wybrany"), QStringLiteral("wybrany"), 90},
        {QStringLiteral("jestjuzwbazie"), QStringLiteral("jestjuzwbazie"), 120},
    };
}

TFListaTorowImport::TFListaTorowImport(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FListaTorowImport"));
    setWindowTitle(QStringLiteral("Tracks"));
    resize(926, 534);
    setAutoFillBackground(true);
    {
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::black);
        setPalette(p);
    }

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setFrameShape(QFrame::NoFrame);
    {
        QPalette p = DBGrid1->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive})
            p.setColor(group, QPalette::Highlight, kSelection);
        DBGrid1->setPalette(p);
    }
    QFont font = DBGrid1->font();
    font.setPixelSize(13);
    DBGrid1->SetTextLook(Qt::white, font);
    DBGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    DBGrid1->SetTickPicture(artwork::Art(artwork::ArtId::Tick), 1);
    DBGrid1->SetTable(&DM->memToryImport);
    DBGrid1->SetColumns(Columns());
    QHeaderView* header = DBGrid1->horizontalHeader();
    header->setStyleSheet(QString::fromLatin1(kTitleStyle));
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(false);
    header->setStretchLastSection(true);
    connect(DBGrid1, &DBGrid::CellClick, this, &TFListaTorowImport::DBGrid1CellClick);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(58);
    BitBtn1 = new TImageButton(Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    SetFixedButtonPictures(*BitBtn1, artwork::ButtonId::Ok);
    BitBtn1->setToolTip(QStringLiteral("OK"));
    BitBtn2 = new TImageButton(Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    SetFixedButtonPictures(*BitBtn2, artwork::ButtonId::Cancel);
    BitBtn2->setToolTip(QStringLiteral("Cancel"));
    auto* accent = new QFrame(Panel1);
    accent->setObjectName(QStringLiteral("Panel1Accent"));
    accent->setFixedHeight(2);
    accent->setStyleSheet(QStringLiteral("background-color: %1;").arg(kAccent.name()));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 7, 12, 7);
    buttons->setSpacing(10);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(accent);
    panelLayout->addLayout(buttons);
    connect(BitBtn1, &TImageButton::clicked, this, &TFListaTorowImport::BitBtn1Click);
    connect(BitBtn2, &TImageButton::clicked, this, &TFListaTorowImport::BitBtn2Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Panel1);

    platform::CentreOnScreen(*this);
}

TFListaTorowImport::~TFListaTorowImport() = default;

void TFListaTorowImport::BitBtn1Click()
{
    result_ = true;
    accept();
}

void TFListaTorowImport::BitBtn2Click()
{
    result_ = false;
    reject();
}

void TFListaTorowImport::DBGrid1CellClick(int row, const QString& field)
{
    MemTable& table = DM->memToryImport;
    if (field.compare(QLatin1String("wybrany"), Qt::CaseInsensitive) != 0 || !table.Active() || row < 0 ||
        row >= table.RecordCount())
        return;
    table.SetRecNo(row);
    table.Edit();
    MemField ticked = table.FieldByName(QStringLiteral("wybrany"));
    ticked.SetAsBoolean(!ticked.AsBoolean());
    table.Post();
}

bool ShowTrackImportList()
{
    TFListaTorowImport form;
    platform::ExecModal(form);
    return form.Result();
}
