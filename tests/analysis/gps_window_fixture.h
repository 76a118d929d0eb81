#pragma once
// Fixture of the GPS windows that draw from memGPS: simulated sessions
// imported into a test database, loaded into memGPS and the lap table of
// an analysis session (with a session panel on it), and the window shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <memory>
#include <vector>

#include "analysis/gps_support.h"
#include "analysis/upanelsesji.h"
#include "platform/application.h"
#include "shell/data/ubazy.h"
#include "support/testdb.h"

namespace gpstest {

// Whether light pixels (text) show in a band across the middle of a
// widget as it is painted.
inline bool LitInMiddle(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    int lit = 0;
    for (int y = image.height() / 2 - 12; y < image.height() / 2 + 12; ++y)
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x)
            lit += image.pixelColor(x, y).lightness() > 128;
    return lit > 50;
}

template <class Window>
class MapWindowTest : public ::testing::Test {
protected:
    TestDatabase db;
    std::vector<int> ids;
    AnalysisSession session;
    std::unique_ptr<TFPanelSesji> panel;
    std::unique_ptr<Window> window;

    void Open(const std::vector<kromsim::SessionOptions>& sessions)
    {
        ApplyDarkTheme(*qApp);
        ids = ImportSessions(sessions);
        ASSERT_EQ(ids.size(), sessions.size());
        panel = std::make_unique<TFPanelSesji>(session);
        DM->memGPS.Open();
        for (int id : ids)
            LoadSession(id, DM->memGPS, session.tree);
        window = std::make_unique<Window>(session);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        panel.reset();
        DM->memGPS.Close();
    }
};

}  // namespace gpstest
