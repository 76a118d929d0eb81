#pragma once
// What the window tests of the session choice share: scripted modal
// windows, clicks on picture buttons and grid cells, and a fixture that
// leaves no modal window unhandled.
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

#include "analysis/analysissession.h"
#include "choice_support.h"
#include "controls/ButtonComps.h"
#include "platform/dbgrid.h"
#include "platform/dialogs.h"

namespace choice_test {

inline void Click(TImageButton* b) { emit b->clicked(); }

// A mouse click on the grid cell of a table row and field.
inline void ClickCell(DBGrid* grid, int row, const char* field)
{
    const int column = grid->Table()->FieldIndex(QString::fromLatin1(field));
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// Runs script on the next showing of a modal window of the class.
template <typename Form>
void OnForm(const char* className, std::function<void(Form&)> script)
{
    platform::testing::OnModal(QString::fromLatin1(className), [script](QDialog& d) {
        auto* f = qobject_cast<Form*>(&d);
        ASSERT_NE(f, nullptr);
        script(*f);
    });
}

// Widget tests: scripted dialogs, no handler left behind, every modal
// window handled.
class ChoiceGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::testing::SetScripted(true);
        platform::testing::ClearModalHandlers();
    }
    void TearDown() override
    {
        platform::testing::ClearModalHandlers();
        EXPECT_TRUE(platform::testing::UnhandledModals().isEmpty())
            << platform::testing::UnhandledModals().join(", ").toStdString();
    }
    TestDatabase db;
    // The analysis session the choosers remember their range in.
    AnalysisSession session;
};

}  // namespace choice_test
