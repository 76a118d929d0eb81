#include "controls/ButtonComps.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>

namespace {

QPixmap Solid(int w, int h, QColor colour)
{
    QPixmap p(w, h);
    p.fill(colour);
    return p;
}

// A button with a differently sized, differently coloured picture per state,
// shown in a window so that mouse events reach it like real ones.
struct ButtonFixture : public ::testing::Test {
    QWidget window;
    TImageButton* button = nullptr;

    void SetUp() override
    {
        window.resize(300, 300);
        button = new TImageButton(&window);
        button->move(10, 10);
        button->SetBitmap(Solid(40, 30, Qt::red));
        button->SetBitmapOver(Solid(50, 35, Qt::green));
        button->SetBitmapDown(Solid(45, 45, Qt::blue));
        button->SetBitmapUp(Solid(60, 20, Qt::yellow));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void Enter()
    {
        QEnterEvent e(QPointF(1, 1), QPointF(11, 11), QPointF(11, 11));
        QApplication::sendEvent(button, &e);
    }
    void Leave()
    {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(button, &e);
    }
    // Colour the button paints at its centre.
    QColor Painted() const
    {
        const QImage img = button->grab().toImage();
        return img.pixelColor(img.width() / 2, img.height() / 2);
    }
};

TEST(ImageButton, Defaults)
{
    TImageButton b;
    EXPECT_EQ(b.size(), QSize(50, 50));
    EXPECT_TRUE(b.ShowHint());
    EXPECT_TRUE(b.Bitmap().isNull());
    EXPECT_TRUE(b.ShownPicture().isNull());
}

TEST_F(ButtonFixture, EachStateShowsItsPictureAtItsSize)
{
    const struct {
        const char* step;
        std::function<void(ButtonFixture&)> act;
        QSize size;
        QColor colour;
    } steps[] = {
        {"normal", [](ButtonFixture&) {}, {40, 30}, Qt::red},
        {"enter", [](ButtonFixture& f) { f.Enter(); }, {50, 35}, Qt::green},
        {"press", [](ButtonFixture& f) { QTest::mousePress(f.button, Qt::LeftButton, {}, {5, 5}); },
         {45, 45}, Qt::blue},
        {"release over", [](ButtonFixture& f) { QTest::mouseRelease(f.button, Qt::LeftButton, {}, {5, 5}); },
         {60, 20}, Qt::yellow},
        {"leave", [](ButtonFixture& f) { f.Leave(); }, {40, 30}, Qt::red},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act(*this);
        EXPECT_EQ(button->size(), s.size);
        EXPECT_EQ(Painted(), s.colour);
    }
}

TEST_F(ButtonFixture, PressAndReleaseOverClicksOnce)
{
    QSignalSpy clicked(button, &TImageButton::clicked);
    QSignalSpy down(button, &TImageButton::mouseDown);
    QSignalSpy up(button, &TImageButton::mouseUp);
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(down.count(), 1);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(button->ShownPicture().size(), QSize(60, 20));  // the Up picture
}

TEST_F(ButtonFixture, ReleasedOffTheButtonShowsNormalAndDoesNotClick)
{
    QSignalSpy clicked(button, &TImageButton::clicked);
    QSignalSpy up(button, &TImageButton::mouseUp);
    QTest::mousePress(button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(button, {200, 200});
    QTest::mouseRelease(button, Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(button->size(), QSize(40, 30));
    EXPECT_EQ(Painted(), QColor(Qt::red));
}

TEST_F(ButtonFixture, OtherButtonsDoNothing)
{
    QSignalSpy clicked(button, &TImageButton::clicked);
    QSignalSpy down(button, &TImageButton::mouseDown);
    QTest::mouseClick(button, Qt::RightButton, {}, {5, 5});
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(down.count(), 0);
    EXPECT_EQ(button->size(), QSize(40, 30));
}

TEST_F(ButtonFixture, DisabledWithDisabledPicture)
{
    button->SetBitmapDisabled(Solid(20, 25, Qt::gray));
    button->setEnabled(false);
    EXPECT_EQ(button->size(), QSize(20, 25));
    EXPECT_EQ(Painted(), QColor(Qt::gray));

    button->setEnabled(true);
    EXPECT_EQ(button->size(), QSize(40, 30));
    EXPECT_EQ(Painted(), QColor(Qt::red));
}

TEST_F(ButtonFixture, DisabledWithoutDisabledPictureShowsCurrentAndIgnoresTheMouse)
{
    Enter();
    button->setEnabled(false);
    EXPECT_EQ(button->size(), QSize(50, 35));
    EXPECT_EQ(Painted(), QColor(Qt::green));

    QSignalSpy clicked(button, &TImageButton::clicked);
    QSignalSpy down(button, &TImageButton::mouseDown);
    QSignalSpy left(button, &TImageButton::mouseLeave);
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
    Leave();
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(down.count(), 0);
    EXPECT_EQ(left.count(), 0);
    EXPECT_EQ(Painted(), QColor(Qt::green));
}

TEST_F(ButtonFixture, ReleaseWithoutUpPicture)
{
    // Over the button: the mouse-over picture; off it: the normal one.
    button->SetBitmapUp(QPixmap());
    Enter();
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(button->size(), QSize(50, 35));
    QTest::mousePress(button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(button, Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(button->size(), QSize(40, 30));
}

TEST_F(ButtonFixture, BackgroundShowsAroundSmallerPicture)
{
    // A picture with a transparent part shows the button-face fill under it.
    QPixmap half(40, 30);
    half.fill(Qt::transparent);
    button->SetBitmap(half);
    const QImage img = button->grab().toImage();
    EXPECT_EQ(img.pixelColor(20, 15), button->palette().color(QPalette::Button));
}

TEST_F(ButtonFixture, HintFollowsShowHint)
{
    button->setToolTip("Delete record");
    // Hiding a tip takes a timer, so the hidden case goes first.
    for (bool showHint : {false, true}) {
        SCOPED_TRACE(showHint);
        button->SetShowHint(showHint);
        QHelpEvent help(QEvent::ToolTip, {5, 5}, button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &help);
        EXPECT_EQ(QToolTip::isVisible(), showHint);
    }
    QToolTip::hideText();
}

}  // namespace
