#include "analysis/uframmiesiac.h"

#include <QCheckBox>
#include <QLabel>

TfMiesiac::TfMiesiac(QWidget* parent)
    : MonthFrame({QSize(331, 267), QSize(47, 35), 32, 21, 22, 11, kCountTag, 0, DaySessions::Frame::Small}, parent)
{
    Build();
}

void TfMiesiac::BuildDayPanel(QFrame* panel)
{
    auto* day = new QLabel(panel);
    SetTag(day, kDayTag);
    QFont dayFont(QStringLiteral("Comic Sans MS"));
    dayFont.setPixelSize(11);
    dayFont.setBold(true);
    day->setFont(dayFont);
    day->setStyleSheet(QStringLiteral("color: #a8a8a8;"));  // silver, a shade darker to read on the light card
    day->setGeometry(4, 2, 22, 14);

    auto* count = new QLabel(panel);
    SetTag(count, kCountTag);
    QFont countFont(QStringLiteral("Arial"));
    countFont.setPixelSize(11);
    countFont.setBold(true);
    count->setFont(countFont);
    count->setAlignment(Qt::AlignCenter);
    count->setStyleSheet(QStringLiteral("color: white; background-color: #d2691e; border-radius: 6px;"));
    count->setGeometry(13, 19, 21, 13);
    count->hide();

    auto* tick = new QCheckBox(panel);
    SetTag(tick, kTickTag);
    tick->setGeometry(panel->width() - 19, 1, 17, 17);
    tick->setToolTip(QStringLiteral("Select the day"));
    tick->hide();
}
