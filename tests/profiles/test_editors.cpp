// The driver, track and vehicle set-up windows driven through the scripted
// dialog layer against a real database file.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "controls/MathCtrl.h"
#include "platform/dialogs.h"
#include "platform/jpegio.h"
#include "profiles/driverstore.h"
#include "profiles/ukierowca.h"
#include "profiles/unowycarSet.h"
#include "profiles/utor.h"
#include "shell/common/stale.h"
#include "shell/common/uwyborbonkod.h"
#include "support/testdb.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace pt = platform::testing;

namespace {

class EditorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pt::SetScripted(true);
        pt::ClearModalHandlers();
        SetProgramFolder(db.Folder());
    }
    void TearDown() override
    {
        pt::ClearModalHandlers();
        pt::SetScripted(true);
        SetProgramFolder(QString());
    }

    int Count(const QString& table) { return db.Scalar("select count(*) from " + table).toInt(); }
    QByteArray Blob(const QString& sql) { return db.Scalar(sql).toByteArray(); }

    // Inserts a row with a blob parameter :B.
    void ExecWithBlob(const QString& sql, const QByteArray& blob)
    {
        TIBQuery q(DM->TransEdit);
        q.SetSQL(sql);
        q.ParamByName(QStringLiteral("B"), blob);
        ASSERT_TRUE(DM->ExecEdit(q)) << DM->LastEditError().toStdString();
    }

    TestDatabase db;
};

QImage TestPicture(int w, int h, QColor colour = QColor(30, 140, 60))
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray BmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool StartsWith(const QStringList& messages, const QString& prefix)
{
    return messages.size() == 1 && messages[0].startsWith(prefix) && messages[0].size() > prefix.size();
}

// ------------------------------------------------------------------ driver

TEST_F(EditorsTest, NewDriverWithoutPhotoStoresThePlaceholderBitmap)
{
    QString caption;
    QSize client;
    pt::OnModal("Tfkierowca", [&](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        caption = f.windowTitle();
        client = f.size();
        QTest::keyClicks(f.Edit1, "Alonso");
        f.Edit5->setText(" 4711 ");
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditDriver(-1), 1);
    EXPECT_EQ(caption, "Driver");
    EXPECT_EQ(client, QSize(761, 479));

    const QByteArray photo = Blob("select ZDJECIE from KIEROWCY where ID_KIEROWCY=1");
    EXPECT_TRUE(photo.startsWith("BM"));
    EXPECT_EQ(QImage::fromData(photo, "BMP").size(), QSize(200, 200));
    EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=1").toString(), "Alonso");
    EXPECT_EQ(db.Scalar("select NR_SER_KROM from KROM_KIEROWCY where ID_KIEROWCY=1").toString(), " 4711 ");
    EXPECT_TRUE(pt::Messages().isEmpty());
}

TEST_F(EditorsTest, LeavingTheDriverEditorWithoutOkWritesNothing)
{
    const std::function<void(Tfkierowca&)> ways[] = {
        [](Tfkierowca& f) { f.SpeedButton2->click(); },
        [](Tfkierowca& f) { f.close(); },
    };
    for (const auto& leave : ways) {
        pt::OnModal("Tfkierowca", [&](QDialog& d) {
            auto& f = static_cast<Tfkierowca&>(d);
            f.Edit1->setText("Typed but not saved");
            leave(f);
        });
        EXPECT_EQ(EditDriver(-1), -1);
        EXPECT_EQ(Count("KIEROWCY"), 0);
    }
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (8, 'Stays', 0)");
    EXPECT_EQ(EditDriver(8), 8);
    EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=8").toString(), "Stays");
}

TEST_F(EditorsTest, ExistingDriverIsShownRoundedAndSavedBack)
{
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, IMIE, PSEUDONIM, WZROST, WAGA, NADWAGA, USUNIETY) "
            "values (3, 'Hakkinen', 'Mika', 'Flying Finn', 179, 72.456, 0.125, 1)");
    ExecWithBlob("update KIEROWCY set ZDJECIE = :B where ID_KIEROWCY=3", BmpBytes(TestPicture(30, 20)));
    for (const char* s : {"A1", "B2", "C3", "D4"})
        db.Exec(QStringLiteral("insert into KROM_KIEROWCY values (3, '%1')").arg(s));

    QStringList shown;
    QSize photo;
    pt::OnModal("Tfkierowca", [&](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        shown = QStringList{f.Edit1->text(), f.Edit2->text(), f.Edit3->text(), f.IntEdit1->text(),
                            f.FloatEdit1->text(), f.FloatEdit2->text(), f.Edit4->text(),
                            f.Edit5->text(), f.Edit6->text()};
        photo = f.Image1->Picture().size();
        f.Edit1->setText("Häkkinen");
        f.Edit5->clear();
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditDriver(3), 3);
    const QStringList expected{"Hakkinen", "Mika", "Flying Finn", "179", "72.46", "0.12", "A1", "B2", "C3"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(photo, QSize(30, 20));
    EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=3").toString(), "Häkkinen");
    EXPECT_EQ(db.Scalar("select USUNIETY from KIEROWCY where ID_KIEROWCY=3").toInt(), 0);
    EXPECT_EQ(Count("KROM_KIEROWCY"), 2);  // A1 and C3
    EXPECT_EQ(QImage::fromData(Blob("select ZDJECIE from KIEROWCY where ID_KIEROWCY=3"), "BMP").size(),
              QSize(30, 20));
}

TEST_F(EditorsTest, ChosenJpegPhotoTakesTheBitmapRoad)
{
    const QImage picture = TestPicture(64, 40, QColor(200, 60, 20));
    const char* names[] = {"portrait.jpg", "portrait.JPG.bmp"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const QString file = db.Folder() + name;
        WriteFile(file, EncodeJpeg(picture));
        QFile::remove(DriverJpegBitmapFile());
        db.Exec("delete from KIEROWCY");
        pt::ClearMessages();

        QSize afterCancelledDialog, afterChoice;
        pt::OnModal("Tfkierowca", [&](QDialog& d) {
            auto& f = static_cast<Tfkierowca&>(d);
            QTest::mouseClick(f.Image1, Qt::LeftButton);  // dialog cancelled: nothing changes
            afterCancelledDialog = f.Image1->Picture().size();
            pt::QueueFileName(file);
            QTest::mouseClick(f.Image1, Qt::LeftButton);
            afterChoice = f.Image1->Picture().size();
            f.SpeedButton1->click();
        });
        EXPECT_EQ(EditDriver(-1), 1);
        EXPECT_EQ(afterCancelledDialog, QSize(200, 200));
        EXPECT_EQ(afterChoice, picture.size());
        EXPECT_TRUE(QFile::exists(DriverJpegBitmapFile()));
        ASSERT_FALSE(pt::FileDialogs().isEmpty());
        EXPECT_EQ(pt::FileDialogs().last().filter, "graf|*.bmp;*.jpg");
        const QByteArray stored = Blob("select ZDJECIE from KIEROWCY where ID_KIEROWCY=1");
        EXPECT_TRUE(stored.startsWith("BM"));
        EXPECT_EQ(QImage::fromData(stored, "BMP").size(), picture.size());
        EXPECT_TRUE(pt::Messages().isEmpty());
    }
}

TEST_F(EditorsTest, AFailedDriverWriteIsReportedAndTheEditorStaysOpen)
{
    // A rule of the database the editor knows nothing of refuses the row.
    db.Exec("alter table KIEROWCY add constraint CHK_TEST_SURNAME check (NAZWISKO <> 'Refused')");
    const QString refused = QStringLiteral("Refused");
    bool openAfterFailure = false;
    QString keptSurname, keptSerial;
    int rowsMeanwhile = -1, serialRowsMeanwhile = -1;
    QStringList messages;
    pt::OnModal("Tfkierowca", [&](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        f.Edit1->setText(refused);
        f.Edit4->setText("999");
        f.SpeedButton1->click();
        openAfterFailure = f.isVisible();
        keptSurname = f.Edit1->text();
        keptSerial = f.Edit4->text();
        messages = pt::Messages();
        rowsMeanwhile = Count("KIEROWCY");
        serialRowsMeanwhile = Count("KROM_KIEROWCY");
        f.Edit1->setText("Fixed");
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditDriver(-1), 1);
    EXPECT_TRUE(openAfterFailure);
    EXPECT_TRUE(StartsWith(messages, "The driver could not be saved: ")) << messages.join('|').toStdString();
    EXPECT_EQ(keptSurname, refused);
    EXPECT_EQ(keptSerial, "999");
    EXPECT_EQ(rowsMeanwhile, 0);
    EXPECT_EQ(serialRowsMeanwhile, 0);
    // The second try stores one driver with its serial.
    EXPECT_EQ(Count("KIEROWCY"), 1);
    EXPECT_EQ(db.Scalar("select NR_SER_KROM from KROM_KIEROWCY where ID_KIEROWCY=1").toString(), "999");
}

// ------------------------------------------------------------------- track

TEST_F(EditorsTest, NewTrackGetsTheFirstTrackIdAndThePlaceholderAsJpeg)
{
    QString caption;
    QSize client;
    pt::OnModal("TfTor", [&](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        caption = f.windowTitle();
        client = f.size();
        f.Edit1->setText("Kielce");
        f.FloatEdit1->SetValue(1050.5);
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditTrack(-1), 100000);
    EXPECT_EQ(caption, "Track");
    EXPECT_EQ(client, QSize(787, 519));
    const QByteArray photo = Blob("select ZDJECIE from TORY where ID_TORU=100000");
    EXPECT_TRUE(photo.startsWith("\xFF\xD8"));
    EXPECT_EQ(DecodeJpeg(photo).size(), QSize(200, 200));
    EXPECT_TRUE(QFile::exists(TrackJpegFile()));
}

TEST_F(EditorsTest, TrackPhotoStoredAsBitmapIsShownAndSavedAsJpeg)
{
    db.Exec("insert into TORY (ID_TORU, NAZWA, DLUGOSC, DATA_REKORD, USUNIETY) "
            "values (100007, 'Slomczyn', 1234.567, '2020-01-01 10:00:00', 1)");
    ExecWithBlob("update TORY set ZDJECIE = :B where ID_TORU=100007", BmpBytes(TestPicture(40, 30)));

    QSize shown;
    bool heldAsBitmap = false;
    QString length;
    pt::OnModal("TfTor", [&](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        shown = f.Image1->Picture().size();
        heldAsBitmap = f.Photo().jpeg.isEmpty();
        length = f.FloatEdit1->text();
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditTrack(100007), 100007);
    EXPECT_EQ(shown, QSize(40, 30));
    EXPECT_TRUE(heldAsBitmap);
    EXPECT_EQ(length, "1234.57");
    const QByteArray stored = Blob("select ZDJECIE from TORY where ID_TORU=100007");
    EXPECT_TRUE(stored.startsWith("\xFF\xD8"));
    EXPECT_EQ(DecodeJpeg(stored).size(), QSize(40, 30));
    EXPECT_TRUE(db.Scalar("select DATA_REKORD from TORY where ID_TORU=100007").isNull());
    EXPECT_EQ(db.Scalar("select USUNIETY from TORY where ID_TORU=100007").toInt(), 0);
}

TEST_F(EditorsTest, PastePictureTakesOnlyABitmapFromTheClipboard)
{
    QClipboard* clipboard = QApplication::clipboard();
    QSize afterText, afterImage;
    pt::OnModal("TfTor", [&](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        clipboard->setText("just text");
        f.Button1->click();
        afterText = f.Image1->Picture().size();
        clipboard->setImage(TestPicture(90, 50));
        f.Button1->click();
        afterImage = f.Image1->Picture().size();
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditTrack(-1), 100000);
    EXPECT_EQ(afterText, QSize(200, 200));
    EXPECT_EQ(afterImage, QSize(90, 50));
    EXPECT_EQ(DecodeJpeg(Blob("select ZDJECIE from TORY where ID_TORU=100000")).size(), QSize(90, 50));
    clipboard->clear();
}

TEST_F(EditorsTest, EnterInATrackFieldPastesNothing)
{
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setImage(TestPicture(90, 50));
    QSize shown;
    pt::OnModal("TfTor", [&](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        for (QLineEdit* field : {f.Edit1, static_cast<QLineEdit*>(f.FloatEdit1), f.Edit5}) {
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
            QTest::keyClick(field, Qt::Key_Enter);
        }
        shown = f.Image1->Picture().size();
        f.Edit1->setText("Bydgoszcz");
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditTrack(-1), 100000);
    EXPECT_EQ(shown, QSize(200, 200));
    EXPECT_EQ(DecodeJpeg(Blob("select ZDJECIE from TORY where ID_TORU=100000")).size(), QSize(200, 200));
    clipboard->clear();
}

TEST_F(EditorsTest, AFailedTrackWriteIsReportedAndTheEditorStaysOpen)
{
    db.Exec("alter table TORY add constraint CHK_TEST_RECORD check (REKORD <> '99:99')");
    bool openAfterFailure = false;
    QString kept;
    QStringList messages;
    pt::OnModal("TfTor", [&](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        f.Edit1->setText("Wschowa");
        f.Edit2->setText("99:99");  // refused by a rule of the database
        f.SpeedButton1->click();
        openAfterFailure = f.isVisible();
        kept = f.Edit1->text() + "|" + f.Edit2->text();
        messages = pt::Messages();
        f.SpeedButton2->click();
    });
    EXPECT_EQ(EditTrack(-1), -1);
    EXPECT_TRUE(openAfterFailure);
    EXPECT_TRUE(StartsWith(messages, "The track could not be saved: ")) << messages.join('|').toStdString();
    EXPECT_EQ(kept, "Wschowa|99:99");
    EXPECT_EQ(Count("TORY"), 0);
}

// ------------------------------------------------------- checked fields

// Makes the editor the active window, so the focus can be looked at.
void ActivateDialog(QDialog& d)
{
    d.activateWindow();
    QApplication::setActiveWindow(&d);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&d, 2000));
}

// A numeric edit holding what its column cannot take keeps the editor open
// with that edit focused and its caption named; nothing is written.
TEST_F(EditorsTest, NumbersTheColumnsCannotTakeAreRefused)
{
    const QString wholeNumber = QStringLiteral("must be a whole number from -2147483648 to 2147483647.");
    // A set-up value is a 16-bit word of the logger's header, as the
    // session header form has it.
    const QString setupWord = QStringLiteral("must be a whole number from 0 to 65535.");
    const QString number = QStringLiteral("must be a number, such as 72.5.");
    struct Case {
        const char* editor;      // dialog class
        const char* edit;        // object name of the edit
        const char* text;
        QString message;
        const char* table;
    } cases[] = {
        {"Tfkierowca", "IntEdit1", "18-5", "\"Height\" " + wholeNumber, "KIEROWCY"},
        {"Tfkierowca", "FloatEdit1", "7.2.5", "\"Weight\" " + number, "KIEROWCY"},
        {"Tfkierowca", "FloatEdit2", "1e39", "\"Overweight\" " + number, "KIEROWCY"},
        {"TfTor", "FloatEdit1", "-", "\"Length\" " + number, "TORY"},
        {"TfTor", "IntEdit1", "99999999999", "\"Magnetic stripes\" " + wholeNumber, "TORY"},
        {"TfTor", "IntEdit3", "+", "\"Lap timeout\" " + wholeNumber, "TORY"},
        {"TfnowycarSet", "IntEdit4", "1-2", "\"Toe\" " + setupWord, "POJAZDY"},
        {"TfnowycarSet", "IntEdit30", "3000000000", "\"Power valve\" " + setupWord, "POJAZDY"},
        {"TfnowycarSet", "IntEdit4", "-27", "\"Toe\" " + setupWord, "POJAZDY"},
        {"TfnowycarSet", "IntEdit23", "65536", "\"Operating counter\" " + setupWord, "POJAZDY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((QString::fromLatin1(c.editor) + " " + c.edit).toStdString());
        pt::ClearMessages();
        bool open = false, focused = false;
        pt::OnModal(QString::fromLatin1(c.editor), [&](QDialog& d) {
            ActivateDialog(d);
            d.findChild<QLineEdit*>("Edit1")->setText("Named");
            auto* edit = d.findChild<QLineEdit*>(QString::fromLatin1(c.edit));
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromLatin1(c.text));
            d.findChild<QAbstractButton*>("SpeedButton1")->click();
            open = d.isVisible();
            focused = edit->hasFocus();
            d.reject();
        });
        if (QLatin1String(c.editor) == QLatin1String("Tfkierowca"))
            EditDriver(-1);
        else if (QLatin1String(c.editor) == QLatin1String("TfTor"))
            EditTrack(-1);
        else
            EditVehicle(-1);
        EXPECT_TRUE(open);
        EXPECT_TRUE(focused);
        EXPECT_EQ(pt::Messages(), QStringList{c.message});
        EXPECT_EQ(Count(QString::fromLatin1(c.table)), 0);
    }
}

// Of several bad edits the first in the form's order is named and focused.
TEST_F(EditorsTest, TheFirstBadEditIsTheOneNamed)
{
    QString focusedName;
    pt::OnModal("Tfkierowca", [&](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        ActivateDialog(d);
        f.FloatEdit2->setText("--");
        f.IntEdit1->setText("1.5");
        f.FloatEdit2->setFocus();
        f.SpeedButton1->click();
        focusedName = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        f.SpeedButton2->click();
    });
    EXPECT_EQ(EditDriver(-1), -1);
    EXPECT_EQ(focusedName, "IntEdit1");
    EXPECT_EQ(pt::Messages(), QStringList{"\"Height\" must be a whole number from -2147483648 to 2147483647."});
}

// Texts are limited to their columns' lengths as they are typed; a
// character outside the database's code page is named before anything is
// written; Polish text is stored and read back as typed.
TEST_F(EditorsTest, TextsFitTheirColumnsAndTheirCodePage)
{
    const QString polish = QStringLiteral("Łódź Żółć Ęą Śń");
    QString typedSurname, setName;
    QStringList messages;
    int rowsMeanwhile = -1;
    pt::OnModal("Tfkierowca", [&](QDialog& d) {
        auto& f = static_cast<Tfkierowca&>(d);
        QTest::keyClicks(f.Edit1, QString(120, u'x'));
        typedSurname = f.Edit1->text();
        f.Edit1->setText(polish);
        f.Edit3->setText(QStringLiteral("Szybki ☺"));
        f.SpeedButton1->click();
        messages << pt::Messages();
        pt::ClearMessages();
        f.Edit3->setText(QStringLiteral("Szybki"));
        f.Memo1->setPlainText(QStringLiteral("Start \U0001F3C1 finish"));
        f.SpeedButton1->click();
        messages << pt::Messages();
        rowsMeanwhile = Count("KIEROWCY");
        f.Memo1->setPlainText(polish);
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditDriver(-1), 1);
    EXPECT_EQ(typedSurname, QString(100, u'x'));
    EXPECT_EQ(messages, QStringList({
                            "\"Nick name\" holds the character \"☺\" (U+263A), which the database cannot store.",
                            "\"Description\" holds the character \"\U0001F3C1\" (U+1F3C1), which the database "
                            "cannot store.",
                        }));
    EXPECT_EQ(rowsMeanwhile, 0);
    EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=1").toString(), polish);
    EXPECT_EQ(db.Scalar("select OPIS from KIEROWCY where ID_KIEROWCY=1").toString(), polish);

    pt::ClearMessages();
    pt::OnModal("TfTor", [&](QDialog& d) {
        auto& f = static_cast<TfTor&>(d);
        f.Edit1->setText(QString(150, u'n'));
        setName = f.Edit1->text();
        f.Edit5->setText(QStringLiteral("+48 ☎ 600"));
        f.SpeedButton1->click();
        messages = pt::Messages();
        f.Edit5->setText(QStringLiteral("+48 600"));
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditTrack(-1), 100000);
    EXPECT_EQ(setName.size(), 100);
    EXPECT_EQ(messages, QStringList{"\"Phone\" holds the character \"☎\" (U+260E), which the database cannot store."});
    EXPECT_EQ(db.Scalar("select NAZWA from TORY").toString(), QString(100, u'n'));
}

// ------------------------------------------------------ unreadable photos

// A stored photo the editors cannot decode survives a save that only fixed
// a text; a picture the user chooses replaces it.
TEST_F(EditorsTest, UnreadablePhotoIsKeptUnlessANewOneIsChosen)
{
    const QByteArray unreadable("\xFF\xD8\xFF\xE0 truncated JPEG from another program", 41);
    const QString chosen = db.Folder() + "chosen.jpg";
    WriteFile(chosen, EncodeJpeg(TestPicture(64, 48)));
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (5, 'Kubica', 0)");
    db.Exec("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100005, 'Poznan', 0)");
    ExecWithBlob("update KIEROWCY set ZDJECIE = :B where ID_KIEROWCY=5", unreadable);
    ExecWithBlob("update TORY set ZDJECIE = :B where ID_TORU=100005", unreadable);

    struct Case {
        const char* name;
        std::function<int()> edit;
        const char* photoSql;
        bool choose;  // the user picks chosen.jpg before OK
    } cases[] = {
        {"driver, name fixed", [] { return EditDriver(5); }, "select ZDJECIE from KIEROWCY where ID_KIEROWCY=5", false},
        {"track, name fixed", [] { return EditTrack(100005); }, "select ZDJECIE from TORY where ID_TORU=100005", false},
        {"driver, new picture", [] { return EditDriver(5); }, "select ZDJECIE from KIEROWCY where ID_KIEROWCY=5", true},
        {"track, new picture", [] { return EditTrack(100005); }, "select ZDJECIE from TORY where ID_TORU=100005", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto act = [&c, &chosen](QLineEdit* name, TEditorPhoto* photo, QAbstractButton* ok) {
            name->setText(name->text() + "!");
            if (c.choose) {
                pt::QueueFileName(chosen);
                QTest::mouseClick(photo, Qt::LeftButton);
            }
            ok->click();
        };
        pt::OnModal("Tfkierowca", [&](QDialog& d) {
            auto& f = static_cast<Tfkierowca&>(d);
            act(f.Edit1, f.Image1, f.SpeedButton1);
        });
        pt::OnModal("TfTor", [&](QDialog& d) {
            auto& f = static_cast<TfTor&>(d);
            act(f.Edit1, f.Image1, f.SpeedButton1);
        });
        c.edit();
        const QByteArray stored = Blob(c.photoSql);
        if (c.choose)
            EXPECT_EQ(QImage::fromData(stored).size(), QSize(64, 48));
        else
            EXPECT_EQ(stored, unreadable);
        EXPECT_TRUE(pt::Messages().isEmpty()) << pt::Messages().join('|').toStdString();
    }
    EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=5").toString(), "Kubica!!");
}

// ----------------------------------------------------------------- vehicle

TEST_F(EditorsTest, ProfileNeedsANameAndKeepsItAsTyped)
{
    QStringList messagesAfterBlank;
    bool openAfterBlank = false;
    int rowsAfterBlank = -1;
    QString caption;
    QSize client;
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        caption = f.windowTitle();
        client = f.size();
        f.Edit1->setText("   ");
        f.SpeedButton1->click();
        openAfterBlank = f.isVisible();
        messagesAfterBlank = pt::Messages();
        rowsAfterBlank = Count("POJAZDY");
        f.Edit1->setText("  Rotax wet  ");
        f.SpeedButton1->click();
    });
    EXPECT_EQ(EditVehicle(-1), 1);
    EXPECT_EQ(caption, "Vehicle profile");
    EXPECT_EQ(client, QSize(734, 428));
    EXPECT_TRUE(openAfterBlank);
    EXPECT_EQ(messagesAfterBlank, QStringList{"Enter profil name"});
    EXPECT_EQ(rowsAfterBlank, 0);
    EXPECT_EQ(db.Scalar("select NAZWA from POJAZDY where ID_POJAZDU=1").toString(), "  Rotax wet  ");
}

TEST_F(EditorsTest, EverySetupEditRoundTripsThroughItsOwnColumn)
{
    auto valueOf = [](int control) { return control * 13 + 7; };
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        d.findChild<QLineEdit*>("Edit1")->setText("All distinct");
        for (int n = 1; n <= 30; ++n)
            d.findChild<TIntEdit*>(QStringLiteral("IntEdit%1").arg(n))->SetValue(valueOf(n));
        static_cast<TfnowycarSet&>(d).SpeedButton1->click();
    });
    ASSERT_EQ(EditVehicle(-1), 1);
    for (const SetupColumn& c : kSetupColumns) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(db.Scalar(QStringLiteral("select %1 from POJAZDY where ID_POJAZDU=1").arg(c.column)).toInt(),
                  valueOf(c.control));
    }
    EXPECT_EQ(db.Scalar("select RAMA_DOD_SZTYW_PRZOD from POJAZDY").toInt(), valueOf(18));
    EXPECT_EQ(db.Scalar("select RAMA_ZEBATKA_PRZOD from POJAZDY").toInt(), valueOf(19));

    std::array<int, 30> shown{};
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        for (int n = 1; n <= 30; ++n)
            shown[n - 1] = d.findChild<TIntEdit*>(QStringLiteral("IntEdit%1").arg(n))->Value();
        static_cast<TfnowycarSet&>(d).SpeedButton2->click();
    });
    EXPECT_EQ(EditVehicle(1), 1);
    for (int n = 1; n <= 30; ++n)
        EXPECT_EQ(shown[n - 1], valueOf(n)) << "IntEdit" << n;
}

class SessionSetupTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        QString columns, values;
        for (const SetupColumn& c : kSetupColumns) {
            columns += QStringLiteral(", ") + c.column;
            values += QStringLiteral(", %1").arg(c.control + 200);
        }
        db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (4, 'Verstappen', 0)");
        db.Exec("insert into TORY (ID_TORU, NAZWA, USUNIETY) values (100000, 'Genk', 0)");
        db.Exec("insert into NAGLOWKI (ID_NAG, ID_KIEROWCY, ID_TORU, DATA_START" + columns +
                ") values (12, 4, 100000, '2023-06-17 14:05:09'" + values + ")");
    }
};

TEST_F(SessionSetupTest, SaveAsCarProfileStoresTheEditedValuesUnderTheTrimmedName)
{
    bool nameHidden = false, okHidden = false, saveShown = false, cancelInOkPlace = false;
    int shownValue = 0;
    QString promptText, promptCaption;
    pt::OnModal("TfwyborBonuKod", [&](QDialog& d) {
        auto& w = static_cast<TfwyborBonuKod&>(d);
        promptText = w.Edit1->text();
        promptCaption = w.windowTitle();
        w.Edit1->setText("  Wet set-up  ");
        w.Button1->click();
    });
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        nameHidden = f.Edit1->isHidden() && f.Label1->isHidden();
        okHidden = f.SpeedButton1->isHidden();
        saveShown = f.Button1->isVisible();
        cancelInOkPlace = f.SpeedButton2->pos() == f.SpeedButton1->pos();
        shownValue = f.IntEdits[4]->Value();
        f.IntEdits[4]->SetValue(999);
        f.Button1->click();
    });
    EXPECT_EQ(ShowSessionSetup(12), 12);
    EXPECT_TRUE(nameHidden);
    EXPECT_TRUE(okHidden);
    EXPECT_TRUE(saveShown);
    EXPECT_TRUE(cancelInOkPlace);
    EXPECT_EQ(shownValue, 205);
    EXPECT_EQ(promptCaption, "Enter profile name");
    EXPECT_TRUE(promptText.endsWith(" : Verstappen : Genk")) << promptText.toStdString();

    EXPECT_EQ(db.Scalar("select NAZWA from POJAZDY where ID_POJAZDU=1").toString(), "Wet set-up");
    EXPECT_EQ(db.Scalar("select RAMA_WYS_ZAW_PRZOD from POJAZDY where ID_POJAZDU=1").toInt(), 999);
    EXPECT_EQ(db.Scalar("select RAMA_RZOSTAW_KOL from POJAZDY where ID_POJAZDU=1").toInt(), 201);
    // The session keeps its own set-up.
    EXPECT_EQ(db.Scalar("select RAMA_WYS_ZAW_PRZOD from NAGLOWKI where ID_NAG=12").toInt(), 205);
}

TEST_F(SessionSetupTest, EnterInAnEditAsksForNoProfile)
{
    bool stillOpen = false;
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        f.IntEdits[3]->setFocus();
        QTest::keyClick(f.IntEdits[3], Qt::Key_Return);
        QTest::keyClick(f.IntEdits[3], Qt::Key_Return);
        stillOpen = f.isVisible();
        f.SpeedButton2->click();
    });
    EXPECT_EQ(ShowSessionSetup(12), 12);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(pt::UnhandledModals().isEmpty()) << pt::UnhandledModals().join(", ").toStdString();
    EXPECT_EQ(Count("POJAZDY"), 0);
}

TEST_F(SessionSetupTest, ANameThatCannotBeStoredIsRefused)
{
    const QString answers[] = {QString(150, u'a'), QStringLiteral("Ωmega"), QStringLiteral("  Fine  ")};
    int answer = 0;
    QStringList messages;
    pt::OnModal("TfwyborBonuKod", [&](QDialog& d) {
        auto& w = static_cast<TfwyborBonuKod&>(d);
        w.Edit1->setMaxLength(32767);
        w.Edit1->setText(answers[answer++]);
        w.Button1->click();
    });
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        for (int i = 0; i < 3 && f.isVisible(); ++i) {
            f.Button1->click();
            messages << pt::Messages();
            pt::ClearMessages();
        }
    });
    EXPECT_EQ(ShowSessionSetup(12), 12);
    EXPECT_EQ(messages, QStringList({"\"Profil name\" holds 150 characters; at most 100 can be stored.",
                                     "\"Profil name\" holds the character \"Ω\" (U+03A9), which the database "
                                     "cannot store."}));
    EXPECT_EQ(db.Scalar("select NAZWA from POJAZDY").toString(), "Fine");
}

TEST_F(SessionSetupTest, CancellingTheNamePromptLeavesTheViewOpen)
{
    bool openAfterCancel = false;
    pt::OnModal("TfwyborBonuKod", [](QDialog& d) { static_cast<TfwyborBonuKod&>(d).Button2->click(); });
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        f.Button1->click();
        openAfterCancel = f.isVisible();
        f.SpeedButton2->click();
    });
    EXPECT_EQ(ShowSessionSetup(12), 12);
    EXPECT_TRUE(openAfterCancel);
    EXPECT_EQ(Count("POJAZDY"), 0);
    EXPECT_TRUE(pt::UnhandledModals().isEmpty());
}

TEST_F(EditorsTest, AFailedProfileWriteIsReportedAndTheWindowStaysOpen)
{
    db.Exec("alter table POJAZDY add constraint CHK_TEST_NAME check (NAZWA <> 'Refused')");
    bool openAfterFailure = false;
    QStringList messages;
    int value = 0;
    pt::OnModal("TfnowycarSet", [&](QDialog& d) {
        auto& f = static_cast<TfnowycarSet&>(d);
        f.Edit1->setText("Refused");  // refused by a rule of the database
        f.IntEdits[0]->SetValue(42);
        f.SpeedButton1->click();
        openAfterFailure = f.isVisible();
        messages = pt::Messages();
        value = f.IntEdits[0]->Value();
        f.SpeedButton2->click();
    });
    EXPECT_EQ(EditVehicle(-1), -1);
    EXPECT_TRUE(openAfterFailure);
    EXPECT_TRUE(StartsWith(messages, "The vehicle profile could not be saved: "))
        << messages.join('|').toStdString();
    EXPECT_EQ(value, 42);
    EXPECT_EQ(Count("POJAZDY"), 0);
}

}  // namespace
