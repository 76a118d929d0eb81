// The track store against a real database file: the id rule, DATA_REKORD,
// soft delete, rounding, the failed write, and the photo stored as JPEG.
#include "profiles/trackstore.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "platform/jpegio.h"
#include "shell/common/stale.h"
#include "support/testdb.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class TrackStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(db.Folder()); }
    void TearDown() override { SetProgramFolder(QString()); }

    QVariant Column(const char* column, int id)
    {
        return db.Scalar(QStringLiteral("select %1 from TORY where ID_TORU=%2").arg(column).arg(id));
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
    image.fill(QColor(20, 90, 200));
    return image;
}

TrackData Track(const QString& name)
{
    TrackData t;
    t.name = name;
    return t;
}

TEST_F(TrackStoreTest, NewTrackIdsAreTheLargestPlusOneButNeverBelow100000)
{
    struct Case {
        const char* name;
        std::vector<int> existing;
        int expected;
    };
    const Case cases[] = {
        {"empty table", {}, 100000},
        {"small ids", {5, 17}, 100000},
        {"largest 99999", {99999}, 100000},
        {"largest 100000", {12, 100000}, 100001},
        {"largest above", {100004, 7}, 100005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.Exec("delete from TORY");
        for (int id : c.existing)
            db.Exec(QStringLiteral("insert into TORY (ID_TORU, USUNIETY) values (%1, 0)").arg(id));
        EXPECT_EQ(SaveTrack(-1, Track("New"), std::nullopt), c.expected);
    }

    // From then on each new track takes the next id.
    db.Exec("delete from TORY");
    EXPECT_EQ(SaveTrack(-1, Track("A"), std::nullopt), 100000);
    EXPECT_EQ(SaveTrack(0, Track("B"), std::nullopt), 100001);
    EXPECT_EQ(SaveTrack(100000, Track("A2"), std::nullopt), 100000);
    EXPECT_EQ(Column("NAZWA", 100000).toString(), "A2");
}

TEST_F(TrackStoreTest, EverySaveWritesDataRekordNullAndUsuniety0)
{
    db.Exec("insert into TORY (ID_TORU, NAZWA, DATA_REKORD, USUNIETY) "
            "values (100003, 'Bydgoszcz', '2019-05-04 12:00:00', 1)");
    ASSERT_EQ(SaveTrack(100003, Track("Bydgoszcz"), std::nullopt), 100003);
    EXPECT_TRUE(Column("DATA_REKORD", 100003).isNull());
    EXPECT_EQ(Column("USUNIETY", 100003).toInt(), 0);

    const int id = SaveTrack(-1, Track("Radom"), std::nullopt);
    EXPECT_TRUE(Column("DATA_REKORD", id).isNull());
    EXPECT_EQ(Column("USUNIETY", id).toInt(), 0);
}

TEST_F(TrackStoreTest, EveryFieldRoundTripsAndTheLengthShowsTwoDecimals)
{
    TrackData t;
    t.name = QStringLiteral("Tor Łódź");
    t.length = 1234.567;
    t.description = QStringLiteral("Fast, flat\nsecond line");
    t.record = QStringLiteral("0:48.12");
    t.recordPerson = QStringLiteral("Kowalski");
    t.homePage = QStringLiteral("www.kart.pl");
    t.phone = QStringLiteral("+48 22 000");
    t.stripes = 3;
    t.skipStripes = 1;
    t.lapTimeout = 120;
    const QByteArray photo = EncodeJpeg(TestPicture(16, 9));
    const int id = SaveTrack(-1, t, photo);
    ASSERT_EQ(id, 100000);

    TrackData back;
    QByteArray backPhoto;
    ASSERT_TRUE(LoadTrack(id, back, &backPhoto));
    EXPECT_EQ(back.name, t.name);
    EXPECT_DOUBLE_EQ(back.length, 1234.57);
    EXPECT_EQ(back.description, t.description);
    EXPECT_EQ(back.record, t.record);
    EXPECT_EQ(back.recordPerson, t.recordPerson);
    EXPECT_EQ(back.homePage, t.homePage);
    EXPECT_EQ(back.phone, t.phone);
    EXPECT_EQ(back.stripes, 3);
    EXPECT_EQ(back.skipStripes, 1);
    EXPECT_EQ(back.lapTimeout, 120);
    EXPECT_EQ(backPhoto, photo);
    EXPECT_FALSE(LoadTrack(1, back));
}

TEST_F(TrackStoreTest, AMemoLongerThanATextParameterIsStoredWhole)
{
    // 40,000 characters, most of them two bytes in UTF-8: beyond the 32,767
    // bytes a text parameter can carry.
    TrackData t = Track("Poznań");
    t.description = QString(QStringLiteral("Zakręt ł\n")).repeated(5000);
    const int id = SaveTrack(-1, t, std::nullopt);
    ASSERT_GT(id, 0);
    t.description.append(QStringLiteral("ż"));
    ASSERT_EQ(SaveTrack(id, t, std::nullopt), id);
    TrackData back;
    ASSERT_TRUE(LoadTrack(id, back));
    EXPECT_EQ(back.description, t.description);
}

TEST_F(TrackStoreTest, AFailedWriteStoresNothing)
{
    db.Exec("insert into TORY (ID_TORU, NAZWA, REKORD, USUNIETY) values (100000, 'Poznan', '1:01', 0)");
    const QString tooLong(31, u'1');  // REKORD holds 30 characters
    for (int id : {-1, 100000}) {
        SCOPED_TRACE(id);
        TrackData t = Track("Changed");
        t.record = tooLong;
        QString error;
        EXPECT_EQ(SaveTrack(id, t, std::nullopt, &error), -1);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(db.Scalar("select count(*) from TORY").toInt(), 1);
        EXPECT_EQ(Column("NAZWA", 100000).toString(), "Poznan");
        EXPECT_EQ(Column("REKORD", 100000).toString(), "1:01");
    }
}

TEST_F(TrackStoreTest, StoredPhotoIsReadAsJpegElseAsBitmap)
{
    const QImage picture = TestPicture(40, 30);
    const QByteArray jpeg = EncodeJpeg(picture);

    TrackPhoto fromJpeg;
    ASSERT_TRUE(TrackPhotoFromBlob(jpeg, fromJpeg));
    EXPECT_EQ(fromJpeg.image.size(), picture.size());
    EXPECT_EQ(fromJpeg.jpeg, jpeg);  // kept for an unchanged save
    EXPECT_TRUE(QFile::exists(TrackJpegFile()));

    TrackPhoto fromBmp;
    ASSERT_TRUE(TrackPhotoFromBlob(BmpBytes(picture), fromBmp));
    EXPECT_EQ(fromBmp.image.size(), picture.size());
    EXPECT_TRUE(fromBmp.jpeg.isEmpty());
    EXPECT_TRUE(QFile::exists(TrackBitmapFile()));
    // In a folder of the run's own, never the program folder.
    EXPECT_FALSE(QFile::exists(db.Folder() + "tmp.jpg"));
    EXPECT_FALSE(QFile::exists(db.Folder() + "tmp.bmp"));

    for (const QByteArray& rubbish : {QByteArray("neither"), QByteArray()}) {
        TrackPhoto kept;
        SetTrackPhotoBitmap(kept, picture);
        EXPECT_FALSE(TrackPhotoFromBlob(rubbish, kept));
        EXPECT_EQ(kept.image.size(), picture.size());
    }
}

TEST_F(TrackStoreTest, SavedPhotoIsAlwaysAJpegFile)
{
    const QImage picture = TestPicture(50, 20);
    std::optional<QByteArray> bytes;

    // A bitmap is compressed.
    TrackPhoto bitmap;
    SetTrackPhotoBitmap(bitmap, picture);
    ASSERT_TRUE(WriteTrackPhotoFile(bitmap, bytes));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(bytes->startsWith("\xFF\xD8"));
    EXPECT_EQ(DecodeJpeg(*bytes).size(), picture.size());

    // A JPEG is copied as it is.
    TrackPhoto jpeg;
    const QByteArray original = EncodeJpeg(picture, 40);
    ASSERT_TRUE(TrackPhotoFromBlob(original, jpeg));
    ASSERT_TRUE(WriteTrackPhotoFile(jpeg, bytes));
    EXPECT_EQ(*bytes, original);

    // No picture: no file.
    ASSERT_TRUE(WriteTrackPhotoFile(TrackPhoto{}, bytes));
    EXPECT_FALSE(bytes.has_value());
    EXPECT_FALSE(QFile::exists(TrackJpegFile()));
}

TEST_F(TrackStoreTest, ABitmapStoredInToryIsStoredAsJpegOnTheNextSave)
{
    const QImage picture = TestPicture(24, 24);
    {
        TIBQuery q(DM->TransEdit);
        q.SetSQL(QStringLiteral("insert into TORY (ID_TORU, NAZWA, ZDJECIE, USUNIETY) values (100001, 'Old', :Z, 0)"));
        q.ParamByName(QStringLiteral("Z"), BmpBytes(picture));
        ASSERT_TRUE(DM->ExecEdit(q));
    }
    TrackData t;
    QByteArray blob;
    ASSERT_TRUE(LoadTrack(100001, t, &blob));
    TrackPhoto photo;
    ASSERT_TRUE(TrackPhotoFromBlob(blob, photo));
    std::optional<QByteArray> jpeg;
    ASSERT_TRUE(WriteTrackPhotoFile(photo, jpeg));
    ASSERT_EQ(SaveTrack(100001, t, jpeg), 100001);
    const QByteArray stored = Column("ZDJECIE", 100001).toByteArray();
    EXPECT_TRUE(stored.startsWith("\xFF\xD8"));
    EXPECT_EQ(DecodeJpeg(stored).size(), picture.size());
}

TEST_F(TrackStoreTest, ChosenPictureKeepsItsKind)
{
    const QImage picture = TestPicture(12, 10);
    const QByteArray jpeg = EncodeJpeg(picture);
    const QString dir = db.Folder();
    {
        QFile f(dir + "track.jpg");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jpeg);
        QFile b(dir + "track.bmp");
        ASSERT_TRUE(b.open(QIODevice::WriteOnly));
        b.write(BmpBytes(picture));
    }
    TrackPhoto photo;
    ASSERT_TRUE(LoadTrackPictureFile(dir + "track.jpg", photo));
    EXPECT_EQ(photo.jpeg, jpeg);
    ASSERT_TRUE(LoadTrackPictureFile(dir + "track.bmp", photo));
    EXPECT_TRUE(photo.jpeg.isEmpty());
    EXPECT_EQ(photo.image.size(), picture.size());

    QString error;
    EXPECT_FALSE(LoadTrackPictureFile(dir + "missing.jpg", photo, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(photo.image.size(), picture.size());  // unchanged
}

}  // namespace
