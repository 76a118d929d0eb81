#include "controls/MathCtrl.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

// Every case runs with a known decimal separator; the locale is put back after.
class MathCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = QLocale();
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

// A shown window with the edit under test and a second widget to move the
// focus to.
struct FocusWindow {
    QWidget window;
    QLineEdit* other;
    explicit FocusWindow(QWidget* edit)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        other = new QLineEdit(&window);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST_F(MathCtrlTest, InitialState)
{
    TIntEdit i;
    EXPECT_EQ(i.text(), "0");
    EXPECT_EQ(i.Value(), 0);
    EXPECT_EQ(i.MinValue(), 0);
    EXPECT_EQ(i.MaxValue(), 0);
    EXPECT_EQ(i.DefaultValue(), 0);
    EXPECT_EQ(i.Increment(), 0);

    TFloatEdit f;
    EXPECT_EQ(f.text(), "0");
    EXPECT_EQ(f.Value(), 0.0);
    EXPECT_TRUE(f.IncludeBounds());
    EXPECT_EQ(f.Increment(), 0.0);
}

TEST_F(MathCtrlTest, IntWriteClampsToRange)
{
    const int big = std::numeric_limits<int>::max();
    const struct {
        int min, max, written;
        const char* shown;
    } cases[] = {
        {0, 10, 15, "10"},   {0, 10, -3, "0"},     {0, 10, 7, "7"},  {0, 10, 10, "10"},
        {0, 0, 12345, "12345"}, {0, 0, -5, "-5"}, {5, 5, 99, "99"}, {0, 0, big, "2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.min << ".." << c.max << " <- " << c.written);
        TIntEdit e;
        e.SetMinValue(c.min);
        e.SetMaxValue(c.max);
        e.SetValue(c.written);
        EXPECT_EQ(e.text(), c.shown);
    }
}

TEST_F(MathCtrlTest, FloatWriteClampsToRange)
{
    const struct {
        double min, max;
        bool includeBounds;
        double written;
        const char* shown;
    } cases[] = {
        {0, 10, false, 10, "5"},    {0, 10, false, 0, "5"},     {0, 10, false, 9.9, "9.9"},
        {0, 10, false, 11, "5"},    {2, 4, false, 1, "3"},      {0, 10, true, 15, "10"},
        {0, 10, true, -1, "0"},     {0, 10, true, 10, "10"},    {0, 0, false, 42.5, "42.5"},
        {0, 0, true, -7.25, "-7.25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.min << ".." << c.max << " bounds "
                                          << c.includeBounds << " <- " << c.written);
        TFloatEdit e;
        e.SetMinValue(c.min);
        e.SetMaxValue(c.max);
        e.SetIncludeBounds(c.includeBounds);
        e.SetValue(c.written);
        EXPECT_EQ(e.text(), c.shown);
    }
}

TEST_F(MathCtrlTest, FloatTextIsShortestRoundTrip)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{9.9, "9.9"}, {5, "5"}, {-0.5, "-0.5"}, {0.1 + 0.2, "0.30000000000000004"},
                 {72.46, "72.46"}};
    for (const auto& c : cases) {
        TFloatEdit e;
        e.SetValue(c.value);
        EXPECT_EQ(e.text(), c.text);
        EXPECT_EQ(e.Value(), c.value);  // reads back exactly
    }
    // Large and small values come out with an exponent and read back too.
    TFloatEdit e;
    e.SetValue(1e20);
    EXPECT_EQ(e.Value(), 1e20);
    e.SetValue(1e-7);
    EXPECT_EQ(e.Value(), 1e-7);
}

TEST_F(MathCtrlTest, FloatUsesTheSystemDecimalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    TFloatEdit e;
    e.SetValue(2.5);
    EXPECT_EQ(e.text(), "2,5");
    e.setText("1,25");
    EXPECT_EQ(e.Value(), 1.25);

    e.clear();
    QTest::keyClicks(&e, "3,5.1");
    EXPECT_EQ(e.text(), "3,51");
}

TEST_F(MathCtrlTest, DefaultValueOnlyInsideTheRange)
{
    TIntEdit i;
    i.SetMaxValue(10);
    i.SetDefaultValue(50);
    EXPECT_EQ(i.DefaultValue(), 0);
    i.SetDefaultValue(7);
    EXPECT_EQ(i.DefaultValue(), 7);
    i.clear();
    EXPECT_EQ(i.Value(), 7);

    TFloatEdit f;
    f.SetMaxValue(10);
    f.SetDefaultValue(50);
    EXPECT_EQ(f.DefaultValue(), 0.0);
    f.SetDefaultValue(2.5);
    f.clear();
    EXPECT_EQ(f.Value(), 2.5);

    // Without limits any default is taken.
    TIntEdit free;
    free.SetDefaultValue(-40);
    EXPECT_EQ(free.DefaultValue(), -40);
}

TEST_F(MathCtrlTest, NarrowingTheRangeRewritesTextAndDefault)
{
    TIntEdit i;
    i.SetMaxValue(10);
    i.SetDefaultValue(7);
    i.SetValue(8);
    i.SetMaxValue(5);
    EXPECT_EQ(i.text(), "5");
    EXPECT_EQ(i.DefaultValue(), 5);

    TFloatEdit f;
    f.SetMaxValue(10);
    f.SetValue(9.5);
    f.SetMaxValue(4);
    EXPECT_EQ(f.text(), "4");
    f.SetIncludeBounds(false);  // 4 is a bound itself: to the middle
    EXPECT_EQ(f.text(), "2");
}

TEST_F(MathCtrlTest, ArrowKeysStepByIncrement)
{
    TIntEdit i;
    i.SetMaxValue(10);
    i.SetValue(9);
    QTest::keyClick(&i, Qt::Key_Up);
    EXPECT_EQ(i.text(), "9");  // increment 0
    i.SetIncrement(3);
    QTest::keyClick(&i, Qt::Key_Up);
    EXPECT_EQ(i.text(), "10");
    QTest::keyClick(&i, Qt::Key_Down);
    EXPECT_EQ(i.text(), "7");

    TIntEdit top;
    top.SetValue(std::numeric_limits<int>::max());
    top.SetIncrement(1);
    QTest::keyClick(&top, Qt::Key_Up);
    EXPECT_EQ(top.Value(), std::numeric_limits<int>::max());

    TFloatEdit f;
    f.SetIncrement(0.5);
    QTest::keyClick(&f, Qt::Key_Up);
    QTest::keyClick(&f, Qt::Key_Up);
    QTest::keyClick(&f, Qt::Key_Up);
    EXPECT_EQ(f.text(), "1.5");
    QTest::keyClick(&f, Qt::Key_Down);
    EXPECT_EQ(f.text(), "1");
}

TEST_F(MathCtrlTest, TypedCharactersAreFiltered)
{
    const struct {
        bool decimal;
        const char* typed;
        const char* kept;
    } cases[] = {
        {false, "12a3", "123"}, {false, "-5", "-5"}, {false, "+7", "+7"}, {false, "1.5", "15"},
        {false, "1 2", "12"},   {true, "1.5", "1.5"}, {true, "1,5", "15"}, {true, "2e3", "23"},
        {true, "-0.25x", "-0.25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.typed << (c.decimal ? " (decimal)" : ""));
        std::unique_ptr<QLineEdit> e;
        if (c.decimal)
            e = std::make_unique<TFloatEdit>();
        else
            e = std::make_unique<TIntEdit>();
        e->clear();
        QTest::keyClicks(e.get(), c.typed);
        EXPECT_EQ(e->text(), c.kept);
    }
}

TEST_F(MathCtrlTest, EditingKeysStillWork)
{
    TIntEdit e;
    e.setText("123");
    QTest::keyClick(&e, Qt::Key_Backspace);
    EXPECT_EQ(e.text(), "12");
    QTest::keyClick(&e, Qt::Key_Home);
    QTest::keyClick(&e, Qt::Key_Delete);
    EXPECT_EQ(e.text(), "2");
}

TEST_F(MathCtrlTest, EmptyTextReadsDefault)
{
    TIntEdit i;
    i.SetDefaultValue(3);
    i.clear();
    EXPECT_EQ(i.Value(), 3);
    EXPECT_EQ(i.text(), "");

    TFloatEdit f;
    f.SetDefaultValue(1.5);
    f.clear();
    EXPECT_EQ(f.Value(), 1.5);
}

TEST_F(MathCtrlTest, FocusOutClampsNonEmptyText)
{
    auto* edit = new TIntEdit;
    edit->SetMaxValue(10);
    FocusWindow w(edit);

    edit->setFocus();
    edit->setText("15");
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "10");

    edit->setFocus();
    edit->setText("+04");
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "4");  // normalised

    edit->setFocus();
    edit->clear();
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "");  // empty stays empty

    auto* f = new TFloatEdit;
    f->SetMaxValue(10);
    f->SetIncludeBounds(false);
    FocusWindow wf(f);
    f->setFocus();
    f->setText("10");
    wf.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(f->text(), "5");
}

TEST_F(MathCtrlTest, BadTextReadsDefaultAndTakesTheFocus)
{
    const char* badInt[] = {"1-2", "-", "+", "99999999999", "1+"};
    for (const char* text : badInt) {
        SCOPED_TRACE(text);
        auto* edit = new TIntEdit;
        edit->SetDefaultValue(7);
        FocusWindow w(edit);
        w.other->setFocus();
        ASSERT_FALSE(edit->hasFocus());
        edit->setText(text);
        EXPECT_EQ(edit->Value(), 7);
        EXPECT_TRUE(edit->hasFocus());
    }
    const char* badFloat[] = {"1.2.3", "-", "1-2", "1e999", "."};
    for (const char* text : badFloat) {
        SCOPED_TRACE(text);
        auto* edit = new TFloatEdit;
        edit->SetDefaultValue(2.5);
        FocusWindow w(edit);
        w.other->setFocus();
        edit->setText(text);
        EXPECT_EQ(edit->Value(), 2.5);
        EXPECT_TRUE(edit->hasFocus());
    }
}

TEST_F(MathCtrlTest, LeavingWithBadTextKeepsItAndComesBack)
{
    auto* edit = new TIntEdit;
    FocusWindow w(edit);
    edit->setFocus();
    edit->setText("1-2");
    w.other->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), "1-2");
    EXPECT_TRUE(edit->hasFocus());
}

// Two edits that both hold text to correct: moving from one to the other
// leaves the focus there instead of handing it back and forth for ever.
TEST_F(MathCtrlTest, TwoBadEditsDoNotPassTheFocusBackAndForth)
{
    auto* a = new TIntEdit;
    FocusWindow w(a);
    auto* b = new TFloatEdit(&w.window);
    w.window.layout()->addWidget(b);
    a->setText("1-2");
    b->setText("1.2.3");
    a->setFocus();
    QCoreApplication::processEvents();
    int changes = 0;
    QObject::connect(qApp, &QApplication::focusChanged, &w.window, [&changes] { ++changes; });
    b->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b->hasFocus());
    // Leaving for a plain widget still brings it back.
    w.other->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(b->hasFocus());
}

}  // namespace
