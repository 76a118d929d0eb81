// Chart settings dialog: the ten edits read the display ranges of the
// project record, OK stores each as its low 16 bits (a range without width
// refused), Cancel stores nothing.
#include <QApplication>
#include <QGroupBox>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/ButtonComps.h"
#include "controls/MathCtrl.h"
#include "platform/dialogs.h"
#include "shell/projectrecord.h"
#include "shell/uustawieniawykresu.h"

namespace {

using Dialog = Tfustawieniawykresu;

struct Field {
    const char* name;
    TIntEdit* Dialog::*edit;
    int offset;
    bool isUnsigned;
};

const Field kFields[] = {
    {"RPM min", &Dialog::IntEdit1, ProjectRecord::OffRpmMin, false},
    {"RPM max", &Dialog::IntEdit2, ProjectRecord::OffRpmMax, false},
    {"Temp1 min", &Dialog::IntEdit3, ProjectRecord::OffTemp1Min, false},
    {"Temp1 max", &Dialog::IntEdit4, ProjectRecord::OffTemp1Max, false},
    {"Temp2 min", &Dialog::IntEdit5, ProjectRecord::OffTemp2Min, false},
    {"Temp2 max", &Dialog::IntEdit6, ProjectRecord::OffTemp2Max, false},
    {"Acc min", &Dialog::IntEdit7, ProjectRecord::OffAccMin, false},
    {"Acc max", &Dialog::IntEdit8, ProjectRecord::OffAccMax, false},
    {"V GPS min", &Dialog::IntEdit9, ProjectRecord::OffVGpsMin, true},
    {"V GPS max", &Dialog::IntEdit10, ProjectRecord::OffVGpsMax, true},
};

class ChartSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::testing::SetScripted(true);
        Project() = ProjectRecord();
        // Distinct values, some beyond the signed range of the GPS pair.
        int v = -7;
        for (const Field& f : kFields) {
            Project().SetInt16At(f.offset, f.isUnsigned ? 40000 + v : v * 111);
            ++v;
        }
    }

    // Shows the dialog through the modal layer and lets act run inside it.
    static void Run(const std::function<void(Dialog&)>& act)
    {
        platform::testing::OnModal(QStringLiteral("Tfustawieniawykresu"),
                                   [&](QDialog& d) { act(static_cast<Dialog&>(d)); });
        ShowChartSettings();
        EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty());
    }
};

TEST_F(ChartSettings, LooksAsSpecified)
{
    Dialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Chart settings"));
    EXPECT_EQ(d.size(), QSize(294, 565));
    EXPECT_TRUE(d.windowFlags() & Qt::Tool);
    const QStringList captions = {QStringLiteral(" RPM range "), QStringLiteral(" Temp1 range "),
                                  QStringLiteral(" Temp2 range "), QStringLiteral(" Acc range "),
                                  QStringLiteral(" V GPS range ")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d.GroupBoxes[i]->title(), captions[i]);
        if (i > 0) {
            EXPECT_GT(d.GroupBoxes[i]->y(), d.GroupBoxes[i - 1]->geometry().bottom());
        }
    }
    for (const Field& f : kFields) {
        TIntEdit* e = d.*f.edit;
        EXPECT_EQ(e->MinValue(), 0) << f.name;
        EXPECT_EQ(e->MaxValue(), 0) << f.name;
        EXPECT_EQ(e->DefaultValue(), 0) << f.name;
        EXPECT_EQ(e->Increment(), 0) << f.name;
    }
    EXPECT_LT(d.BitBtn1->x(), d.BitBtn2->x());  // OK left, Cancel right
    EXPECT_LE(d.BitBtn1->geometry().bottom(), 564);
}

TEST_F(ChartSettings, EditsShowTheRangesOfTheRecord)
{
    const ProjectRecord r = Project();
    Run([&](Dialog& d) {
        for (const Field& f : kFields)
            EXPECT_EQ((d.*f.edit)->Value(), f.isUnsigned ? r.UInt16At(f.offset) : r.Int16At(f.offset)) << f.name;
        d.BitBtn2Click();
    });
}

TEST_F(ChartSettings, OkStoresValuesTheirFieldsHoldAndRefusesOthers)
{
    struct Case {
        const Field& field;
        const char* entered;
        int stored;             // as the field reads (signed or unsigned)
        const char* message;    // nullptr: stored
    } cases[] = {
        {kFields[1], "15000", 15000, nullptr},
        {kFields[9], "120", 120, nullptr},
        {kFields[6], "-3", -3, nullptr},
        {kFields[0], "-32768", -32768, nullptr},
        {kFields[8], "65535", 65535, nullptr},
        {kFields[5], "", 0, nullptr},  // an empty box reads 0
        {kFields[1], "70000", 0, "\"RPM range, Maximum\" must be a whole number from -32768 to 32767."},
        {kFields[8], "-5", 0, "\"V GPS range, Minimum\" must be a whole number from 0 to 65535."},
        {kFields[0], "-40000", 0, "\"RPM range, Minimum\" must be a whole number from -32768 to 32767."},
        {kFields[5], "65535", 0, "\"Temp2 range, Maximum\" must be a whole number from -32768 to 32767."},
        {kFields[3], "18-5", 0, "\"Temp1 range, Maximum\" must be a whole number from -32768 to 32767."},
        {kFields[7], "-", 0, "\"Acc range, Maximum\" must be a whole number from -32768 to 32767."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entered);
        SCOPED_TRACE(c.field.name);
        ProjectRecord expected = Project();
        if (!c.message)
            expected.SetInt16At(c.field.offset, c.stored);
        platform::testing::ClearMessages();
        bool open = false, focused = false;
        Run([&](Dialog& d) {
            d.activateWindow();
            QApplication::setActiveWindow(&d);
            (d.*c.field.edit)->setText(QString::fromLatin1(c.entered));
            QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
            open = d.isVisible();
            focused = (d.*c.field.edit)->hasFocus();
            if (open)
                d.reject();
        });
        EXPECT_EQ(Project(), expected);  // the other values are stored as they were shown
        if (c.message) {
            EXPECT_TRUE(open);
            EXPECT_TRUE(focused);
            EXPECT_EQ(platform::testing::Messages(), QStringList{QString::fromUtf8(c.message)});
        } else {
            EXPECT_FALSE(open);
            const int got =
                c.field.isUnsigned ? Project().UInt16At(c.field.offset) : Project().Int16At(c.field.offset);
            EXPECT_EQ(got, c.stored);
            EXPECT_TRUE(platform::testing::Messages().isEmpty());
        }
    }
}

// A range without width is refused with a message naming it, at its
// Maximum; a minimum above the maximum is stored (the chart is inverted).
TEST_F(ChartSettings, OkRefusesARangeWithoutWidth)
{
    struct Case {
        size_t min;  // index of the pair's Minimum in kFields
        const char* minText;
        const char* maxText;
        const char* message;  // nullptr: stored
    } cases[] = {
        {0, "5000", "5000", "\"RPM range\": Minimum and Maximum must differ."},
        {2, "0", "0", "\"Temp1 range\": Minimum and Maximum must differ."},
        {4, "", "0", "\"Temp2 range\": Minimum and Maximum must differ."},  // an empty box reads 0
        {6, "-3", "-3", "\"Acc range\": Minimum and Maximum must differ."},
        {8, "120", "120", "\"V GPS range\": Minimum and Maximum must differ."},
        {0, "15000", "0", nullptr},
        {8, "0", "120", nullptr},
    };
    for (const Case& c : cases) {
        const Field& minField = kFields[c.min];
        const Field& maxField = kFields[c.min + 1];
        SCOPED_TRACE(minField.name);
        SCOPED_TRACE(c.minText);
        const ProjectRecord before = Project();
        platform::testing::ClearMessages();
        bool open = false, focused = false;
        Run([&](Dialog& d) {
            d.activateWindow();
            QApplication::setActiveWindow(&d);
            (d.*minField.edit)->setText(QString::fromLatin1(c.minText));
            (d.*maxField.edit)->setText(QString::fromLatin1(c.maxText));
            QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
            open = d.isVisible();
            focused = (d.*maxField.edit)->hasFocus();
            if (open)
                d.reject();
        });
        if (c.message) {
            EXPECT_TRUE(open);
            EXPECT_TRUE(focused);
            EXPECT_EQ(platform::testing::Messages(), QStringList{QString::fromUtf8(c.message)});
            EXPECT_EQ(Project(), before);
        } else {
            EXPECT_FALSE(open);
            EXPECT_TRUE(platform::testing::Messages().isEmpty());
            EXPECT_EQ(Project().UInt16At(minField.offset) & 0xFFFF, QString::fromLatin1(c.minText).toInt() & 0xFFFF);
            EXPECT_EQ(Project().UInt16At(maxField.offset), QString::fromLatin1(c.maxText).toInt());
        }
        Project() = before;
    }
}

TEST_F(ChartSettings, CancelStoresNothing)
{
    const ProjectRecord before = Project();
    Run([](Dialog& d) {
        for (const Field& f : kFields)
            (d.*f.edit)->setText(QStringLiteral("123"));
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
    });
    EXPECT_EQ(Project(), before);
    Run([](Dialog& d) {
        d.IntEdit1->setText(QStringLiteral("5"));
        d.reject();  // Escape or the close box
    });
    EXPECT_EQ(Project(), before);
}

}  // namespace
