#pragma once
// Fixture of the GPS windows that draw from memGPS: simulated sessions
// imported into a test database, loaded into memGPS and the lap table of a
// session panel, and the window shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

#include "analysis/gps_support.h"
#include "analysis/upanelsesji.h"
#include "platform/application.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace gpstest {

template <class Window>
class MapWindowTest : public ::testing::Test {
protected:
    TestDatabase db;
    std::vector<int> ids;
    std::unique_ptr<TFPanelSesji> panel;
    std::unique_ptr<Window> window;

    void Open(const std::vector<kromsim::SessionOptions>& sessions)
    {
        ApplyDarkTheme(*qApp);
        ids = ImportSessions(sessions);
        ASSERT_EQ(ids.size(), sessions.size());
        panel = std::make_unique<TFPanelSesji>();
        FPanelSesji = panel.get();
        DM->memGPS.Open();
        for (int id : ids)
            LoadSession(id, DM->memGPS, *panel);
        window = std::make_unique<Window>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        FPanelSesji = nullptr;
        panel.reset();
        DM->memGPS.Close();
    }
};

}  // namespace gpstest
