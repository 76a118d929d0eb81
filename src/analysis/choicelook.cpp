#include "analysis/choicelook.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QFrame>
#include <QHeaderView>
#include <QPushButton>

#include "controls/ButtonComps.h"
#include "platform/dbgrid.h"

namespace choicelook {

namespace {
const char* const kAccent = "#b8560f";
}

QWidget* BlackPanel(QWidget* parent, int height, bool top, QBoxLayout** content)
{
    auto* panel = new QWidget(parent);
    panel->setFixedHeight(height);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(p);
    auto* accent = new QFrame(panel);
    accent->setFixedHeight(2);
    accent->setStyleSheet(QStringLiteral("background-color: %1;").arg(QLatin1String(kAccent)));
    auto* inner = new QHBoxLayout;
    inner->setContentsMargins(10, 6, 12, 6);
    inner->setSpacing(8);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!top)
        layout->addWidget(accent);
    layout->addLayout(inner, 1);
    if (top)
        layout->addWidget(accent);
    *content = inner;
    return panel;
}

TImageButton* PictureButton(QWidget* parent, artwork::ButtonId id, const QString& name, const QString& tip)
{
    auto* button = new TImageButton(parent);
    button->setObjectName(name);
    artwork::SetButtonPictures(*button, id);
    // All five pictures have one size; fixing it lets layouts place the button.
    button->setFixedSize(button->size());
    button->setToolTip(tip);
    return button;
}

QPushButton* PanelButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);  // Enter in the grid opens nothing
    button->setMinimumHeight(28);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background-color: #2c2e32; border: 1px solid #4a4c51; border-radius: 3px;"
        " padding: 3px 14px; }"
        "QPushButton:hover { border-color: %1; }"
        "QPushButton:pressed { background-color: %1; }"
        "QPushButton:focus { border-color: %1; }").arg(QLatin1String(kAccent)));
    return button;
}

void SetGridLook(DBGrid& grid, const QColor& text)
{
    QFont cells = grid.font();
    cells.setPixelSize(13);
    grid.SetTextLook(text, cells);
    QFont titles = cells;
    titles.setPixelSize(13);
    grid.SetTitleLook(Qt::white, Qt::black, titles);
    grid.verticalHeader()->setDefaultSectionSize(22);
    grid.horizontalHeader()->setFixedHeight(26);
    grid.setFrameShape(QFrame::NoFrame);
    grid.SetTickPicture(artwork::Art(artwork::ArtId::Tick), 1);
}

ChooserParts BuildChooser(QDialog& dialog, MemTable& table, const QColor& text)
{
    ChooserParts parts;
    dialog.resize(1305, 675);
    parts.top = BlackPanel(&dialog, 50, true, &parts.topContent);
    parts.top->setObjectName(QStringLiteral("Panel1"));

    parts.grid = new DBGrid(&dialog);
    parts.grid->setObjectName(QStringLiteral("RxDBGrid1"));
    parts.grid->SetTable(&table);
    SetGridLook(*parts.grid, text);

    QBoxLayout* bottom = nullptr;
    parts.bottom = BlackPanel(&dialog, 56, false, &bottom);
    parts.bottom->setObjectName(QStringLiteral("Panel2"));
    parts.ok = PictureButton(parts.bottom, artwork::ButtonId::Ok, QStringLiteral("SpeedButton1"), QStringLiteral("OK"));
    parts.cancel =
        PictureButton(parts.bottom, artwork::ButtonId::Cancel, QStringLiteral("SpeedButton2"), QStringLiteral("Cancel"));
    bottom->addWidget(parts.ok);
    bottom->addWidget(parts.cancel);
    bottom->addStretch();

    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(parts.top);
    layout->addWidget(parts.grid, 1);
    layout->addWidget(parts.bottom);
    return parts;
}


}  // namespace choicelook
