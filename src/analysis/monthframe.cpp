#include "analysis/monthframe.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QVariant>

namespace {

const char* const kTagProperty = "Tag";

}  // namespace

void DayPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 0, 45));
    p.setBrush(QColor(255, 255, 255, 165));
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
}

MonthFrame::MonthFrame(const Look& look, QWidget* parent) : QWidget(parent), look_(look)
{
    // Transparent: the frame leaves its background to whatever is behind it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setFixedSize(look.frame);
    sessions_ = std::make_unique<DaySessions>(look.statements);
}

MonthFrame::~MonthFrame() = default;

void MonthFrame::SetTag(QObject* control, int tag) { control->setProperty(kTagProperty, tag); }

int MonthFrame::Tag(const QObject* control) { return control ? control->property(kTagProperty).toInt() : 0; }

QWidget* MonthFrame::ChildByTag(int tag, QWidget* panel)
{
    if (!panel)
        return nullptr;
    for (QObject* child : panel->children())
        if (child->isWidgetType() && Tag(child) == tag)
            return static_cast<QWidget*>(child);
    return nullptr;
}

void MonthFrame::Build()
{
    const int panelsWidth = 7 * look_.panel.width();
    const int left = (look_.frame.width() - panelsWidth) / 2;

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("Title"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(look_.titlePixels);
    title_->setFont(titleFont);
    title_->setAlignment(Qt::AlignCenter);
    title_->setStyleSheet(QStringLiteral("color: #1e1f22;"));
    title_->setGeometry(0, 0, look_.frame.width(), look_.titleHeight);

    static const char16_t* const kWeekdays[7] = {u"Pon", u"Wto", u"Śro", u"Czw", u"Pią", u"Sob", u"Nie"};
    QFont headerFont;
    headerFont.setPixelSize(look_.headerPixels);
    headerFont.setBold(true);
    for (int d = 0; d < 7; ++d) {
        auto* header = new QLabel(QString::fromUtf16(kWeekdays[d]), this);
        header->setObjectName(QStringLiteral("Header%1").arg(d + 1));
        header->setFont(headerFont);
        header->setAlignment(Qt::AlignCenter);
        header->setStyleSheet(QStringLiteral("background-color: #8c8e93; color: white; border: 1px solid #74767b;"
                                             " border-radius: 2px;"));
        header->setGeometry(left + d * look_.panel.width() + 1, look_.titleHeight, look_.panel.width() - 2,
                            look_.headerHeight - 2);
    }

    const int top = look_.titleHeight + look_.headerHeight;
    for (int i = 1; i <= kDayPanels; ++i) {
        auto* panel = new DayPanel(this);
        panel->setObjectName(QStringLiteral("P%1").arg(i));
        const int column = (i - 1) % 7;
        const int row = (i - 1) / 7;
        panel->setGeometry(left + column * look_.panel.width(), top + row * look_.panel.height(),
                           look_.panel.width(), look_.panel.height());
        BuildDayPanel(panel);
        if (QCheckBox* box = tickBox(panel)) {
            // A white box with an orange tick on the light day card.
            QPalette pal = box->palette();
            pal.setColor(QPalette::Base, Qt::white);
            pal.setColor(QPalette::Text, QColor(0xc8, 0x5a, 0x0c));
            pal.setColor(QPalette::Window, QColor(0xd0, 0xd0, 0xd0));
            box->setPalette(pal);
            connect(box, &QCheckBox::toggled, this, [this, box](bool checked) { tickClicked(box, checked); });
        }
        panels_[size_t(i - 1)] = panel;
        panel->hide();
    }
}

QCheckBox* MonthFrame::tickBox(QFrame* panel) const
{
    return qobject_cast<QCheckBox*>(ChildByTag(kTickTag, panel));
}

TDateTime MonthFrame::DayDate(int day) const { return ::DayDate(year_, month_, day); }

void MonthFrame::ShowMonth(int year, int month)
{
    year_ = quint16(year);
    month_ = quint16(month);
    title_->setText(MonthTitle(year, month));
    const MonthLayout layout = LayoutOfMonth(year, month);
    for (int i = 1; i <= kDayPanels; ++i) {
        QCoreApplication::processEvents();
        QFrame* panel = Panel(i);
        const int day = layout.DayOfPanel(i);
        if (day == 0) {
            panel->hide();
            continue;
        }
        panel->show();
        SetTag(panel, day);
        const TDateTime date = DayDate(day);
        const int count = sessions_->Count(date);
        QCheckBox* box = tickBox(panel);
        box->setChecked(IsDayTicked(date));
        auto* countLabel = qobject_cast<QLabel*>(ChildByTag(look_.countTag, panel));
        box->setVisible(count >= 1);
        countLabel->setVisible(count >= 1);
        countLabel->setText(QString::number(count));
        if (look_.trackTag > 0) {
            auto* track = qobject_cast<QLabel*>(ChildByTag(look_.trackTag, panel));
            track->setText(sessions_->FirstTrack(date));
            track->setVisible(true);
        }
        qobject_cast<QLabel*>(ChildByTag(kDayTag, panel))->setText(QString::number(day));
    }
}

void MonthFrame::SyncTicks()
{
    const MonthLayout layout = LayoutOfMonth(year_, month_);
    for (int i = layout.first; i <= layout.last; ++i)
        tickBox(Panel(i))->setChecked(IsDayTicked(DayDate(Tag(Panel(i)))));
}

// One handler for every tick box: the day of the box's panel goes into or
// out of DM->memWybraneDni.  Setting a box from the table lands here too and
// leaves the table as it is.
void MonthFrame::tickClicked(QCheckBox* box, bool checked)
{
    const int day = Tag(box->parentWidget());
    if (day < 1)
        return;
    SetDayTicked(DayDate(day), checked);
}
