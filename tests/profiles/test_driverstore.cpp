// The driver store against a real database file: ids, soft delete, serial
// rows, rounding, the all-or-nothing write, and the photo's temporary files.
#include "profiles/driverstore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

#include "platform/jpegio.h"
#include "shell/common/stale.h"
#include "support/testdb.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class DriverStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(db.Folder()); }
    void TearDown() override { SetProgramFolder(QString()); }

    // The serial rows of a driver in the order the database returns them.
    QStringList Serials(int id)
    {
        TIBQuery q(DM->TransBrowse);
        q.SetSQL(QStringLiteral("select NR_SER_KROM from KROM_KIEROWCY where ID_KIEROWCY=%1").arg(id));
        q.Open();
        QStringList rows;
        for (; !q.Eof(); q.Next())
            rows << q.FieldByName(QStringLiteral("NR_SER_KROM")).AsString();
        return rows;
    }
    int Count(const QString& table) { return db.Scalar("select count(*) from " + table).toInt(); }

    static DriverData Driver(const QString& surname)
    {
        DriverData d;
        d.surname = surname;
        d.firstName = QStringLiteral("Ayrton");
        return d;
    }

    TestDatabase db;
};

QByteArray BmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QImage TestPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 30));
    for (int x = 0; x < w; ++x)
        image.setPixelColor(x, h / 2, Qt::white);
    return image;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST_F(DriverStoreTest, NewDriversGetTheLargestIdPlusOneAndTheirCodeOnlyOnInsert)
{
    EXPECT_EQ(SaveDriver(-1, Driver("First"), std::nullopt), 1);
    EXPECT_EQ(SaveDriver(0, Driver("Second"), std::nullopt), 2);
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (40, 'Gap', 0)");
    EXPECT_EQ(SaveDriver(-1, Driver("Third"), std::nullopt), 41);
    EXPECT_EQ(db.Scalar("select KOD_KIER from KIEROWCY where ID_KIEROWCY=41").toString().trimmed(), "41");

    // An update keeps its id and leaves KOD_KIER alone.
    db.Exec("update KIEROWCY set KOD_KIER='OLD' where ID_KIEROWCY=2");
    EXPECT_EQ(SaveDriver(2, Driver("Second, renamed"), std::nullopt), 2);
    EXPECT_EQ(db.Scalar("select KOD_KIER from KIEROWCY where ID_KIEROWCY=2").toString().trimmed(), "OLD");
    EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=2").toString(), "Second, renamed");
    EXPECT_EQ(Count("KIEROWCY"), 4);
}

TEST_F(DriverStoreTest, SavingASoftlyDeletedDriverMakesItLiveAgain)
{
    const int id = SaveDriver(-1, Driver("Prost"), std::nullopt);
    EXPECT_EQ(db.Scalar("select USUNIETY from KIEROWCY where ID_KIEROWCY=1").toInt(), 0);
    db.Exec("update KIEROWCY set USUNIETY=1 where ID_KIEROWCY=1");
    ASSERT_EQ(SaveDriver(id, Driver("Prost"), std::nullopt), id);
    EXPECT_EQ(db.Scalar("select USUNIETY from KIEROWCY where ID_KIEROWCY=1").toInt(), 0);
}

TEST_F(DriverStoreTest, EveryFieldRoundTrips)
{
    DriverData d;
    d.surname = QStringLiteral("Kubica");
    d.firstName = QStringLiteral("Robert");
    d.nickName = QStringLiteral("RK");
    d.height = 184;
    d.weight = 71.5;
    d.overweight = 2.25;
    d.description = QStringLiteral("Kraków\nline two");
    d.serials = {QStringLiteral("1001"), QString(), QStringLiteral("1003")};
    const QByteArray photo = BmpBytes(TestPicture(8, 6));
    const int id = SaveDriver(-1, d, photo);
    ASSERT_EQ(id, 1);

    DriverData back;
    QByteArray backPhoto;
    ASSERT_TRUE(LoadDriver(id, back, &backPhoto));
    EXPECT_EQ(back.surname, d.surname);
    EXPECT_EQ(back.firstName, d.firstName);
    EXPECT_EQ(back.nickName, d.nickName);
    EXPECT_EQ(back.height, 184);
    EXPECT_DOUBLE_EQ(back.weight, 71.5);
    EXPECT_DOUBLE_EQ(back.overweight, 2.25);
    EXPECT_EQ(back.description, d.description);
    // The boxes come back filled in the order of the rows, blanks skipped.
    EXPECT_EQ(back.serials[0], "1001");
    EXPECT_EQ(back.serials[1], "1003");
    EXPECT_EQ(back.serials[2], "");
    EXPECT_EQ(backPhoto, photo);

    // Without a photo file the photo is written NULL.
    ASSERT_EQ(SaveDriver(id, d, std::nullopt), id);
    EXPECT_TRUE(db.Scalar("select ZDJECIE from KIEROWCY where ID_KIEROWCY=1").isNull());
    EXPECT_FALSE(LoadDriver(99, back));
}

TEST_F(DriverStoreTest, WeightsAreShownRoundedToTwoDecimalsHalvesToEven)
{
    struct Case {
        const char* stored;
        double shown;
    };
    const Case cases[] = {{"72.456", 72.46}, {"0.125", 0.12}, {"1234.567", 1234.57}, {"0.135", 0.14}};
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, USUNIETY) values (1, 0)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        db.Exec(QStringLiteral("update KIEROWCY set WAGA=%1, NADWAGA=%1 where ID_KIEROWCY=1").arg(c.stored));
        DriverData d;
        ASSERT_TRUE(LoadDriver(1, d));
        EXPECT_DOUBLE_EQ(d.weight, c.shown);
        EXPECT_DOUBLE_EQ(d.overweight, c.shown);
    }
}

TEST_F(DriverStoreTest, SerialRowsAreReplacedAsAWhole)
{
    struct Case {
        const char* name;
        QStringList before;                // rows of the existing driver
        std::array<QString, 3> boxes;      // what the boxes hold on save
        QStringList after;
    };
    const Case cases[] = {
        {"blank boxes are skipped", {}, {"", "   ", "5005"}, {"5005"}},
        {"blanks around digits are kept", {}, {" 0042 ", "", "77"}, {" 0042 ", "77"}},
        {"all blank removes every row", {"1", "2"}, {"", "", ""}, {}},
        {"old rows give way to the boxes", {"1", "2", "3"}, {"9", "", "8"}, {"9", "8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.Exec("delete from KROM_KIEROWCY");
        db.Exec("delete from KIEROWCY");
        db.Exec("insert into KIEROWCY (ID_KIEROWCY, USUNIETY) values (7, 0)");
        for (const QString& s : c.before)
            db.Exec(QStringLiteral("insert into KROM_KIEROWCY values (7, '%1')").arg(s));
        DriverData d;
        d.serials = c.boxes;
        ASSERT_EQ(SaveDriver(7, d, std::nullopt), 7);
        EXPECT_EQ(Serials(7), c.after);
    }

    // A new driver with blank boxes gets no rows.
    DriverData fresh;
    const int id = SaveDriver(-1, fresh, std::nullopt);
    EXPECT_EQ(Serials(id), QStringList());
}

TEST_F(DriverStoreTest, MoreThanThreeSerialRowsShowAsTheFirstThreeAndShrinkOnSave)
{
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, USUNIETY) values (3, 0)");
    for (const char* s : {"A1", "B2", "C3", "D4", "E5"})
        db.Exec(QStringLiteral("insert into KROM_KIEROWCY values (3, '%1')").arg(s));
    DriverData d;
    ASSERT_TRUE(LoadDriver(3, d));
    EXPECT_EQ(d.serials[0], "A1");
    EXPECT_EQ(d.serials[1], "B2");
    EXPECT_EQ(d.serials[2], "C3");
    ASSERT_EQ(SaveDriver(3, d, std::nullopt), 3);
    EXPECT_EQ(Serials(3), QStringList({"A1", "B2", "C3"}));
}

TEST_F(DriverStoreTest, AFailedWriteLeavesNothingHalfWritten)
{
    const QString tooLong(101, u'x');       // NAZWISKO holds 100 characters
    const QString tooLongSerial(51, u'9');  // NR_SER_KROM holds 50
    db.Exec("insert into KIEROWCY (ID_KIEROWCY, NAZWISKO, USUNIETY) values (5, 'Senna', 0)");
    db.Exec("insert into KROM_KIEROWCY values (5, '111')");

    struct Case {
        const char* name;
        int id;
        QString surname;
        QString thirdSerial;
    };
    const Case cases[] = {
        {"new driver, surname too long", -1, tooLong, ""},
        {"new driver, serial too long", -1, "Hill", tooLongSerial},
        {"existing driver, surname too long", 5, tooLong, "222"},
        {"existing driver, serial too long", 5, "Hill", tooLongSerial},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriverData d;
        d.surname = c.surname;
        d.serials = {QStringLiteral("333"), QString(), c.thirdSerial};
        QString error;
        EXPECT_EQ(SaveDriver(c.id, d, std::nullopt, &error), -1);
        EXPECT_FALSE(error.isEmpty());
        // The database as it was: one driver, its one serial row.
        EXPECT_EQ(Count("KIEROWCY"), 1);
        EXPECT_EQ(db.Scalar("select NAZWISKO from KIEROWCY where ID_KIEROWCY=5").toString(), "Senna");
        EXPECT_EQ(Serials(5), QStringList({"111"}));
        EXPECT_EQ(Count("KROM_KIEROWCY"), 1);
    }
    // The write transaction is usable again afterwards.
    EXPECT_EQ(SaveDriver(-1, Driver("Hill"), std::nullopt), 6);
}

TEST_F(DriverStoreTest, StoredPhotoPassesThroughTmpBmp)
{
    const QImage picture = TestPicture(30, 20);
    const QImage shown = DriverPhotoFromBlob(BmpBytes(picture));
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(30, 20));
    EXPECT_TRUE(QFile::exists(DriverPhotoFile()));
    // In a folder of the run's own, never the program folder another
    // running program shares.
    EXPECT_FALSE(DriverPhotoFile().startsWith(db.Folder()));
    EXPECT_FALSE(QFile::exists(db.Folder() + "tmp.bmp"));

    // Not a bitmap (a JPEG, rubbish, NULL): nothing to show.
    EXPECT_TRUE(DriverPhotoFromBlob(EncodeJpeg(picture)).isNull());
    EXPECT_TRUE(DriverPhotoFromBlob(QByteArray("garbage")).isNull());
    EXPECT_TRUE(DriverPhotoFromBlob(QByteArray()).isNull());
}

TEST_F(DriverStoreTest, ChosenPicturesAreAlwaysHeldAsBitmaps)
{
    const QImage picture = TestPicture(64, 48);
    const QString dir = db.Folder();
    struct Case {
        const char* file;
        QByteArray content;
        bool jpegRoad;  // passes through tmp2.bmp
    };
    const Case cases[] = {
        {"photo.jpg", EncodeJpeg(picture), true},
        {"PHOTO.JPG", EncodeJpeg(picture), true},
        // ".JPG" earlier in the name takes the JPEG road although it ends in .bmp.
        {"holiday.jpg.bmp", EncodeJpeg(picture), true},
        {"photo.bmp", BmpBytes(picture), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        QFile::remove(DriverJpegBitmapFile());
        WriteFile(dir + c.file, c.content);
        QString error;
        const QImage loaded = LoadDriverPictureFile(dir + c.file, &error);
        ASSERT_FALSE(loaded.isNull()) << error.toStdString();
        EXPECT_EQ(loaded.size(), picture.size());
        EXPECT_FALSE(loaded.hasAlphaChannel());
        EXPECT_EQ(QFile::exists(DriverJpegBitmapFile()), c.jpegRoad);
    }

    // Unreadable files give the reason.
    WriteFile(dir + "broken.jpg", QByteArray("\xFF\xD8\xFF not really", 14));
    WriteFile(dir + "broken.bmp", QByteArray("BM nonsense"));
    for (const char* file : {"broken.jpg", "broken.bmp", "missing.bmp"}) {
        SCOPED_TRACE(file);
        QString error;
        EXPECT_TRUE(LoadDriverPictureFile(dir + file, &error).isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(DriverStoreTest, SavedPhotoIsA24BitBitmapInTmpBmp)
{
    const QString path = DriverPhotoFile();
    WriteFile(path, QByteArray("stale contents"));
    std::optional<QByteArray> bytes;
    ASSERT_TRUE(WriteDriverPhotoFile(TestPicture(10, 12), bytes));
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GE(bytes->size(), 30);
    EXPECT_TRUE(bytes->startsWith("BM"));
    EXPECT_EQ(static_cast<uchar>(bytes->at(28)), 24);  // bits per pixel
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), *bytes);
    f.close();

    // No picture: no file and nothing to store.
    ASSERT_TRUE(WriteDriverPhotoFile(QImage(), bytes));
    EXPECT_FALSE(bytes.has_value());
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
