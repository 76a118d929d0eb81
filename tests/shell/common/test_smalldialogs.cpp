// The text prompt and the picture preview, driven through the scripted
// dialog layer.
#include "platform/dialogs.h"
#include "shell/common/upokazobrazek.h"
#include "shell/common/uwyborbonkod.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>

// Readable texts in failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace pt = platform::testing;

namespace {

class SmallDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { pt::SetScripted(true); }
    void TearDown() override { pt::SetScripted(true); }
};

// The ways a user leaves a dialog without confirming it.
struct Leave {
    const char* name;
    std::function<void(QDialog&, QPushButton* cancel)> act;
};

const Leave kLeaveWays[] = {
    {"cancel button", [](QDialog&, QPushButton* cancel) { cancel->click(); }},
    {"Escape", [](QDialog& d, QPushButton*) { QTest::keyClick(&d, Qt::Key_Escape); }},
    {"close box", [](QDialog& d, QPushButton*) { d.close(); }},
};

TEST_F(SmallDialogsTest, InputTextOkDoesNothingWhileTheTextIsBlank)
{
    bool openAfterBlankOk = false, openAfterBlankEnter = false, openAfterEmptyOk = false;
    QString caption, initial;
    pt::OnModal("TfwyborBonuKod", [&](QDialog& d) {
        auto& w = static_cast<TfwyborBonuKod&>(d);
        caption = w.windowTitle();
        initial = w.Edit1->text();
        w.Button1->click();
        openAfterBlankOk = w.isVisible();
        QTest::keyClick(w.Edit1, Qt::Key_Return);
        openAfterBlankEnter = w.isVisible();
        w.Edit1->clear();
        w.Button1->click();
        openAfterEmptyOk = w.isVisible();
        QTest::keyClicks(w.Edit1, "  Rotax Max 2 ");
        QTest::keyClick(w.Edit1, Qt::Key_Return);  // Enter answers OK
    });

    EXPECT_EQ(InputText("   ", "Profile name"), "  Rotax Max 2 ");
    EXPECT_EQ(caption, "Profile name");
    EXPECT_EQ(initial, "   ");
    EXPECT_TRUE(openAfterBlankOk);
    EXPECT_TRUE(openAfterBlankEnter);
    EXPECT_TRUE(openAfterEmptyOk);
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

TEST_F(SmallDialogsTest, InputTextReturnsTheInitialTextAsItStandsOnOk)
{
    pt::OnModal("TfwyborBonuKod", [](QDialog& d) { static_cast<TfwyborBonuKod&>(d).Button1->click(); });
    EXPECT_EQ(InputText(" KZ2 wet ", "Name"), " KZ2 wet ");
}

TEST_F(SmallDialogsTest, InputTextGivesEmptyWhenLeftWithoutOk)
{
    for (const Leave& way : kLeaveWays) {
        pt::OnModal("TfwyborBonuKod", [&](QDialog& d) {
            auto& w = static_cast<TfwyborBonuKod&>(d);
            w.Edit1->setText("typed but not confirmed");
            way.act(w, w.Button2);
        });
        EXPECT_EQ(InputText("Setup", "Name"), "") << way.name;
    }
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

class ShowPictureTest : public SmallDialogsTest {
protected:
    void SetUp() override
    {
        SmallDialogsTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        picture = dir.filePath("splash.bmp");
        QImage image(120, 60, QImage::Format_RGB888);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(picture, "BMP"));
    }
    QTemporaryDir dir;
    QString picture;
};

TEST_F(ShowPictureTest, OkGivesTrueWithThePictureShownAtNaturalSize)
{
    QSize shown;
    QString caption;
    pt::OnModal("Tfpokazobrazek", [&](QDialog& d) {
        auto& w = static_cast<Tfpokazobrazek&>(d);
        shown = w.Image1->pixmap().size();
        caption = w.windowTitle();
        w.Button1->click();
    });
    EXPECT_TRUE(ShowPicture(picture));
    EXPECT_EQ(shown, QSize(120, 60));
    EXPECT_EQ(caption, "Show picture");
}

TEST_F(ShowPictureTest, AnyOtherWayOutGivesFalse)
{
    for (const Leave& way : kLeaveWays) {
        pt::OnModal("Tfpokazobrazek", [&](QDialog& d) { way.act(d, static_cast<Tfpokazobrazek&>(d).Button2); });
        EXPECT_FALSE(ShowPicture(picture)) << way.name;
    }
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

TEST_F(ShowPictureTest, UnreadableFileRaisesBeforeTheWindowShows)
{
    const QString corrupt = dir.filePath("broken.bmp");
    {
        QFile f(corrupt);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM this is not a bitmap");
    }
    const QString missing = dir.filePath("missing.bmp");

    bool shown = false;
    pt::OnModal("Tfpokazobrazek", [&](QDialog& d) {
        shown = true;
        d.accept();
    });
    for (const QString& file : {corrupt, missing}) {
        try {
            ShowPicture(file);
            ADD_FAILURE() << "no error for " << file.toStdString();
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(file)) << e.what();
        }
    }
    EXPECT_FALSE(shown);
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

}  // namespace
