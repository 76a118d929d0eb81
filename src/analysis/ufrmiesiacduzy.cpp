#include "analysis/ufrmiesiacduzy.h"

#include <QCheckBox>
#include <QLabel>

Tfmiesiacduzy::Tfmiesiacduzy(QWidget* parent)
    : MonthFrame({QSize(760, 532), QSize(107, 78), 40, 21, 24, 13, kCountTag, kTrackTag, DaySessions::Frame::Large},
                 parent)
{
    Build();
}

void Tfmiesiacduzy::BuildDayPanel(QFrame* panel)
{
    auto* day = new QLabel(panel);
    SetTag(day, kDayTag);
    QFont dayFont(QStringLiteral("Comic Sans MS"));
    dayFont.setPixelSize(16);
    dayFont.setBold(true);
    day->setFont(dayFont);
    day->setStyleSheet(QStringLiteral("color: #a8a8a8;"));
    day->setGeometry(7, 4, 30, 20);

    auto* track = new QLabel(panel);
    SetTag(track, kTrackTag);
    QFont trackFont;
    trackFont.setPixelSize(11);
    track->setFont(trackFont);
    track->setWordWrap(true);
    track->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    track->setStyleSheet(QStringLiteral("color: #1e1f22;"));
    track->setGeometry(4, 30, panel->width() - 8, panel->height() - 34);

    auto* count = new QLabel(panel);
    SetTag(count, kCountTag);
    QFont countFont(QStringLiteral("Arial"));
    countFont.setPixelSize(13);
    countFont.setBold(true);
    count->setFont(countFont);
    count->setAlignment(Qt::AlignCenter);
    count->setStyleSheet(QStringLiteral("color: white; background-color: #d2691e; border-radius: 8px;"));
    count->setGeometry((panel->width() - 28) / 2, 6, 28, 17);
    count->hide();

    auto* tick = new QCheckBox(panel);
    SetTag(tick, kTickTag);
    tick->setGeometry(panel->width() - 22, 4, 18, 18);
    tick->setToolTip(QStringLiteral("Select the day"));
    tick->hide();
}
