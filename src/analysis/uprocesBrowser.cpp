#include "analysis/uprocesBrowser.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>

#include "analysis/calendar.h"
#include "analysis/choicelook.h"
#include "analysis/uframmiesiac.h"
#include "analysis/ufrmiesiacduzy.h"
#include "controls/ButtonComps.h"
#include "controls/artwork.h"
#include "platform/dialogs.h"
#include "platform/memtable.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace {

const QColor kAccent(0xe8, 0x6a, 0x10);
const int kNodeRole = Qt::UserRole + 1;

// Small frames: three to a row, 341 apart, rows 277 apart, from (10, 10).
constexpr int kSmallLeft = 10;
constexpr int kSmallStepX = 341;
constexpr int kSmallStepY = 277;
constexpr int kSmallLastLeft = 692;

// The tree's pictures: a calendar page, larger for a year than for a
// month; the selected node's page turns orange.
QPixmap TreePicture(bool year, bool selected)
{
    const qreal dpr = 2;
    QPixmap pm(int(16 * dpr), int(16 * dpr));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page = year ? QRectF(1.5, 2.5, 13, 12) : QRectF(3.5, 4.5, 9, 9);
    p.setPen(QPen(selected ? kAccent.lighter(120) : QColor(0x9a, 0x9c, 0xa1), 1));
    p.setBrush(selected ? QColor(0x4a, 0x2c, 0x14) : QColor(0x2c, 0x2e, 0x32));
    p.drawRoundedRect(page, 1.5, 1.5);
    const QRectF band(page.left(), page.top(), page.width(), year ? 3.5 : 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? kAccent : QColor(0x8a, 0x8c, 0x90));
    p.drawRoundedRect(band, 1.5, 1.5);
    // The days: a few dots on the page.
    p.setBrush(selected ? QColor(0xff, 0xd0, 0xa8) : QColor(0xb0, 0xb2, 0xb6));
    const int cols = year ? 4 : 3, rows = year ? 3 : 2;
    const qreal dx = (page.width() - 2) / cols, dy = (page.height() - band.height() - 2) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            p.drawEllipse(QPointF(page.left() + 1 + dx * (c + 0.5), band.bottom() + 1 + dy * (r + 0.5)), 0.9, 0.9);
    return pm;
}

QIcon TreeIcon(bool year)
{
    QIcon icon;
    icon.addPixmap(TreePicture(year, false), QIcon::Normal);
    icon.addPixmap(TreePicture(year, true), QIcon::Selected);
    return icon;
}

void Reopen(MemTable& t)
{
    t.Close();
    t.Open();
}

void Transparent(QScrollArea* box)
{
    box->setFrameShape(QFrame::NoFrame);
    box->setAutoFillBackground(false);
    box->viewport()->setAutoFillBackground(false);
}

}  // namespace

// ---------------------------------------------------------- wait animation

WaitAnimation::WaitAnimation(QWidget* parent) : QWidget(parent), timer_(new QTimer(this))
{
    timer_->setInterval(80);
    connect(timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % 12;
        update();
    });
}

void WaitAnimation::SetActive(bool on)
{
    if (on) {
        step_ = 0;
        timer_->start();
    } else {
        timer_->stop();
    }
    update();
}

bool WaitAnimation::Active() const { return timer_->isActive(); }

void WaitAnimation::paintEvent(QPaintEvent*)
{
    if (!Active())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = 26;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 12; ++i) {
        // The head of the chase is the brightest dot; the tail fades.
        const int age = (step_ - i + 12) % 12;
        QColor c = kAccent;
        c.setAlphaF(std::max(0.12, 1.0 - age / 9.0));
        p.setBrush(c);
        const qreal a = i * M_PI / 6;
        p.drawEllipse(centre + QPointF(radius * std::sin(a), -radius * std::cos(a)), 4.5 - age * 0.2, 4.5 - age * 0.2);
    }
}

void WheelFreeScrollArea::wheelEvent(QWheelEvent* event) { event->ignore(); }

// ---------------------------------------------------------------- browser

TfprocesBrowser::TfprocesBrowser(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Calendar"));
    resize(1280, 860);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(210);
    TreeView1 = new QTreeWidget(Panel1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setIconSize(QSize(16, 16));
    TreeView1->setFrameShape(QFrame::NoFrame);
    SpeedButton1 = choicelook::PictureButton(Panel1, artwork::ButtonId::Ok, QStringLiteral("SpeedButton1"), QStringLiteral("OK"));
    SpeedButton2 = choicelook::PictureButton(Panel1, artwork::ButtonId::Cancel, QStringLiteral("SpeedButton2"),
                                             QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->setSpacing(8);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    buttons->addStretch();
    auto* left = new QVBoxLayout(Panel1);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->addWidget(TreeView1, 1);
    auto* accent = new QFrame(Panel1);
    accent->setFixedHeight(2);
    accent->setStyleSheet(QStringLiteral("background-color: #b8560f;"));
    left->addWidget(accent);
    left->addLayout(buttons);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setAutoFillBackground(true);
    Animate1 = new WaitAnimation(Panel2);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    ScrollBox1 = new WheelFreeScrollArea(Panel2);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    Transparent(ScrollBox1);
    ScrollBox1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    yearPage_ = new QWidget;
    yearPage_->setFixedSize(kSmallLastLeft + 331 + kSmallLeft, 10 + 3 * kSmallStepY + 267 + 10);
    ScrollBox1->setWidget(yearPage_);
    yearPage_->setAutoFillBackground(false);  // after setWidget, which turns it on
    ScrollBox2 = new WheelFreeScrollArea(Panel2);
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    Transparent(ScrollBox2);
    ScrollBox2->setAlignment(Qt::AlignCenter);  // the large frame sits in the middle of the box
    auto* right = new QGridLayout(Panel2);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(Animate1, 0, 0);
    right->addWidget(ScrollBox1, 0, 0);
    right->addWidget(ScrollBox2, 0, 0);
    setRightColour(Qt::white);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Panel2, 1);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TfprocesBrowser::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setSingleShot(true);
    Timer2->setInterval(200);
    connect(Timer2, &QTimer::timeout, this, [this] { done_ = true; });

    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { ShowCurrentNode(); });
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { ShowCurrentNode(); });
    connect(SpeedButton1, &TImageButton::clicked, this, &TfprocesBrowser::SpeedButton1Click);
    connect(SpeedButton2, &TImageButton::clicked, this, &TfprocesBrowser::SpeedButton2Click);

    // The wheel over the year view's scroll bars is the browser's too.
    for (QScrollBar* bar : {ScrollBox1->verticalScrollBar(), ScrollBox1->horizontalScrollBar()})
        bar->installEventFilter(this);
}

TfprocesBrowser::~TfprocesBrowser()
{
    if (wheelWatched_)
        wheelWatched_->removeEventFilter(this);
}

TfprocesBrowser::Node TfprocesBrowser::NodeOf(const QTreeWidgetItem* item)
{
    if (!item)
        return {};
    const QList<QVariant> v = item->data(0, kNodeRole).toList();
    if (v.size() != 3)
        return {};
    return {v[0].toInt(), v[1].toInt(), v[2].toInt()};
}

void TfprocesBrowser::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Every wheel turn over the window reaches its window handle once.
    if (!wheelWatched_ && windowHandle()) {
        wheelWatched_ = windowHandle();
        wheelWatched_->installEventFilter(this);
    }
    if (!large_) {
        // Built shortly after the window is on screen.
        ScrollBox1->hide();
        ScrollBox2->hide();
        Timer1->start();
    }
}

bool TfprocesBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        const bool onBar = watched == ScrollBox1->verticalScrollBar() || watched == ScrollBox1->horizontalScrollBar();
        if (watched == wheelWatched_ && ScrollBox1->isVisible()) {
            QScrollBar* bar = ScrollBox1->verticalScrollBar();
            bar->setValue(bar->value() - static_cast<QWheelEvent*>(event)->angleDelta().y());
        }
        if (onBar)
            return true;  // scrolled above already
    }
    return QDialog::eventFilter(watched, event);
}

void TfprocesBrowser::Timer1Timer()
{
    Timer1->stop();
    if (!large_) {
        large_ = new Tfmiesiacduzy;
        large_->setObjectName(QStringLiteral("miesiacduzy"));
        ScrollBox2->setWidget(large_);
        large_->setAutoFillBackground(false);  // the season colour shows through
    }
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
    int x = kSmallLeft, y = 10;
    for (int m = 1; m <= 12; ++m) {
        if (!small_[size_t(m - 1)]) {
            auto* frame = new TfMiesiac(yearPage_);
            frame->setObjectName(QStringLiteral("miesiac%1").arg(m));
            frame->move(x, y);
            frame->show();
            small_[size_t(m - 1)] = frame;
        }
        x += kSmallStepX;
        if (x > kSmallLastLeft) {
            y += kSmallStepY;
            x = kSmallLeft;
        }
    }
    fillTree();
    if (TreeView1->topLevelItemCount() == 0)
        return;
    QTreeWidgetItem* first = TreeView1->topLevelItem(0);
    first->setExpanded(true);
    if (TreeView1->currentItem() == first)
        ShowCurrentNode();
    else
        TreeView1->setCurrentItem(first);
}

void TfprocesBrowser::fillTree()
{
    TreeView1->clear();
    const QIcon yearIcon = TreeIcon(true);
    const QIcon monthIcon = TreeIcon(false);
    for (int year : CalendarYears()) {
        auto* yearItem = new QTreeWidgetItem(TreeView1, QStringList(QString::number(year)));
        yearItem->setIcon(0, yearIcon);
        yearItem->setData(0, kNodeRole, QVariantList{1, year, 0});
        for (int m = 1; m <= 12; ++m) {
            auto* monthItem = new QTreeWidgetItem(yearItem, QStringList(QStringLiteral("%1 - %2").arg(m).arg(MonthName(m, 0))));
            monthItem->setIcon(0, monthIcon);
            monthItem->setData(0, kNodeRole, QVariantList{2, m, year});
        }
    }
}

void TfprocesBrowser::setRightColour(const QColor& colour)
{
    QPalette p = Panel2->palette();
    p.setColor(QPalette::Window, colour);
    Panel2->setPalette(p);
}

void TfprocesBrowser::waitUntilDone()
{
    while (!done_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TfprocesBrowser::ShowCurrentNode()
{
    if (busy_)
        return;
    Panel1->setEnabled(false);
    busy_ = true;
    const Node node = NodeOf(TreeView1->currentItem());
    try {
        buildNode(node);
        last_ = node;
    } catch (const std::exception& e) {
        // A view that could not be read is not shown as if complete: it is
        // built again when its node is chosen next.  The browser itself is
        // ready for the next choice.
        Timer2->stop();
        done_ = true;
        Animate1->SetActive(false);
        ScrollBox1->hide();
        ScrollBox2->hide();
        ScrollBox1->Tag = 0;
        ScrollBox2->Tag = 0;
        last_ = {};
        Panel1->setEnabled(true);
        busy_ = false;
        platform::ShowErrorBox(QString::fromUtf8(e.what()));
        return;
    }
    Panel1->setEnabled(true);
    TreeView1->setFocus();
    busy_ = false;
}

void TfprocesBrowser::buildNode(const Node& node)
{
    if (node.kind != 0 && !(node == last_)) {
        done_ = false;
        Animate1->SetActive(true);
        Animate1->show();
        QCoreApplication::processEvents();
        Timer2->start();
        if (node.kind == 1) {
            const int year = node.number;
            ScrollBox1->horizontalScrollBar()->setValue(0);
            ScrollBox1->verticalScrollBar()->setValue(0);
            setRightColour(Qt::white);
            ScrollBox2->hide();
            if (ScrollBox1->Tag == year) {
                done_ = true;
                for (TfMiesiac* frame : small_)
                    frame->SyncTicks();
            } else {
                ScrollBox1->hide();
                for (int m = 1; m <= 12; ++m)
                    small_[size_t(m - 1)]->ShowMonth(year, m);
            }
            waitUntilDone();
            ScrollBox1->show();
            ScrollBox1->Tag = year;
        } else {
            const int key = node.year * 100 + node.number;
            ScrollBox2->horizontalScrollBar()->setValue(0);
            ScrollBox2->verticalScrollBar()->setValue(0);
            setRightColour(SeasonColour(node.number));
            ScrollBox1->hide();
            if (ScrollBox2->Tag == key) {
                large_->SyncTicks();
                done_ = true;
            } else {
                ScrollBox2->hide();
                large_->ShowMonth(node.year, node.number);
            }
            waitUntilDone();
            ScrollBox2->show();
            ScrollBox2->Tag = key;
        }
        Animate1->SetActive(false);
    }
}

void TfprocesBrowser::SpeedButton1Click() { accept(); }

void TfprocesBrowser::SpeedButton2Click()
{
    Reopen(DM->memWybraneDni);
    reject();
}

void ShowCalendarWizard()
{
    Reopen(DM->memWybraneDni);
    TfprocesBrowser form;
    form.setWindowState(form.windowState() | Qt::WindowMaximized);
    platform::ExecModal(form);
}
