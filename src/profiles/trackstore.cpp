#include "profiles/trackstore.h"

#include "platform/jpegio.h"
#include "profiles/catalogue.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace {

// The values both statements share.
void BindTrack(TIBQuery& q, int id, const TrackData& data, const std::optional<QByteArray>& photo)
{
    q.ParamByName(QStringLiteral("ID_TORU"), id);
    q.ParamByName(QStringLiteral("NAZWA"), data.name);
    q.ParamByName(QStringLiteral("DLUGOSC"), data.length);
    q.ParamByName(QStringLiteral("OPIS"), data.description);
    if (photo)
        q.ParamByName(QStringLiteral("ZDJECIE"), *photo);
    q.ParamByName(QStringLiteral("REKORD"), data.record);
    q.ParamByName(QStringLiteral("OSOBA_REKORD"), data.recordPerson);
    q.ParamByName(QStringLiteral("STRONA_WWW"), data.homePage);
    q.ParamByName(QStringLiteral("TEL"), data.phone);
    q.ParamByName(QStringLiteral("ILOSC_PASKOW"), data.stripes);
    q.ParamByName(QStringLiteral("ILE_POMINAC_PASKOW"), data.skipStripes);
    q.ParamByName(QStringLiteral("LAP_TIMEOUT"), data.lapTimeout);
    // DATA_REKORD is named in both statements but never given a value.
}

}  // namespace

QStringList TrackInsertSql()
{
    return {
        QStringLiteral("insert into TORY"),
        QStringLiteral("( "),
        QStringLiteral("USUNIETY,"),
        QStringLiteral("ID_TORU,"),
        QStringLiteral("NAZWA,"),
        QStringLiteral("OPIS,"),
        QStringLiteral("DLUGOSC,"),
        QStringLiteral("DATA_REKORD,"),
        QStringLiteral("OSOBA_REKORD,"),
        QStringLiteral("REKORD,"),
        QStringLiteral("ZDJECIE,"),
        QStringLiteral(" ILE_POMINAC_PASKOW, ILOSC_PASKOW, LAP_TIMEOUT, STRONA_WWW, TEL"),
        QStringLiteral(")"),
        QStringLiteral("values"),
        QStringLiteral("("),
        QStringLiteral(" 0,"),
        QStringLiteral(":ID_TORU,"),
        QStringLiteral(" :NAZWA,"),
        QStringLiteral(" :OPIS,"),
        QStringLiteral(" :DLUGOSC,"),
        QStringLiteral(" :DATA_REKORD,"),
        QStringLiteral(" :OSOBA_REKORD,"),
        QStringLiteral(" :REKORD,"),
        QStringLiteral(" :ZDJECIE,"),
        QStringLiteral(" :ILE_POMINAC_PASKOW, "),
        QStringLiteral(" :ILOSC_PASKOW, "),
        QStringLiteral(" :LAP_TIMEOUT, "),
        QStringLiteral(" :STRONA_WWW,  "),
        QStringLiteral(" :TEL"),
        QStringLiteral(")"),
    };
}

QStringList TrackUpdateSql()
{
    return {
        QStringLiteral("update TORY set"),
        QStringLiteral("NAZWA = :NAZWA,"),
        QStringLiteral("OPIS = :OPIS,"),
        QStringLiteral("DLUGOSC = :DLUGOSC,"),
        QStringLiteral("DATA_REKORD = :DATA_REKORD,"),
        QStringLiteral("OSOBA_REKORD = :OSOBA_REKORD,"),
        QStringLiteral("REKORD = :REKORD,"),
        QStringLiteral("ZDJECIE = :ZDJECIE,"),
        QStringLiteral("ILE_POMINAC_PASKOW = :ILE_POMINAC_PASKOW,"),
        QStringLiteral(" ILOSC_PASKOW = :ILOSC_PASKOW,"),
        QStringLiteral(" LAP_TIMEOUT = :LAP_TIMEOUT,"),
        QStringLiteral(" STRONA_WWW = :STRONA_WWW,"),
        QStringLiteral(" TEL = :TEL,"),
        QStringLiteral(" USUNIETY = 0"),
        QStringLiteral("where "),
        QStringLiteral("ID_TORU = :ID_TORU"),
    };
}

bool LoadTrack(int id, TrackData& data, QByteArray* photo)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from tory where ID_TORU=") + QString::number(id));
    q.Open();
    if (q.Eof()) {
        q.Close();
        return false;
    }
    data.name = q.FieldByName(QStringLiteral("NAZWA")).AsString();
    data.length = RoundTo2Decimals(q.FieldByName(QStringLiteral("DLUGOSC")).AsFloat());
    data.description = q.FieldByName(QStringLiteral("OPIS")).AsString();
    data.record = q.FieldByName(QStringLiteral("REKORD")).AsString();
    data.recordPerson = q.FieldByName(QStringLiteral("OSOBA_REKORD")).AsString();
    data.homePage = q.FieldByName(QStringLiteral("STRONA_WWW")).AsString();
    data.phone = q.FieldByName(QStringLiteral("TEL")).AsString();
    data.stripes = q.FieldByName(QStringLiteral("ILOSC_PASKOW")).AsInteger();
    data.skipStripes = q.FieldByName(QStringLiteral("ILE_POMINAC_PASKOW")).AsInteger();
    data.lapTimeout = q.FieldByName(QStringLiteral("LAP_TIMEOUT")).AsInteger();
    if (photo)
        *photo = q.FieldByName(QStringLiteral("ZDJECIE")).AsBytes();
    q.Close();
    return true;
}

int SaveTrack(int id, const TrackData& data, const std::optional<QByteArray>& photo, QString* error)
{
    return catalogue::SaveRow(
        id, QStringLiteral("select max(ID_TORU) as maks from tory "), kFirstTrackId,
        [&](int trackId, bool isNew) {
            TIBQuery qZapisz(DM->TransEdit);
            qZapisz.SetSQL(isNew ? TrackInsertSql() : TrackUpdateSql());
            BindTrack(qZapisz, trackId, data, photo);
            qZapisz.ExecSQL();
        },
        error);
}

// ------------------------------------------------------------------ photo

QString TrackJpegFile() { return ScratchFolder() + QStringLiteral("tmp.jpg"); }

QString TrackBitmapFile() { return ScratchFolder() + QStringLiteral("tmp.bmp"); }

bool TrackPhotoFromBlob(const QByteArray& blob, TrackPhoto& photo)
{
    // JPEG first.
    const QString jpegPath = TrackJpegFile();
    if (ReplaceFileBytes(jpegPath, blob, nullptr)) {
        QImage image;
        if (LoadJpegFile(jpegPath, image)) {
            photo.image = image;
            photo.jpeg = blob;  // what the file now holds
            return true;
        }
    }
    // Then as a bitmap (rows stored that way still show).
    const QString bmpPath = TrackBitmapFile();
    if (!ReplaceFileBytes(bmpPath, blob, nullptr))
        return false;
    QImage bitmap;
    if (!bitmap.load(bmpPath, "BMP"))
        return false;
    SetTrackPhotoBitmap(photo, bitmap);
    return true;
}

bool LoadTrackPictureFile(const QString& fileName, TrackPhoto& photo, QString* error)
{
    QImage image;
    QByteArray jpeg;
    if (!LoadPictureFile(fileName, image, &jpeg, error))
        return false;
    photo.image = image;
    photo.jpeg = jpeg;
    return true;
}

void SetTrackPhotoBitmap(TrackPhoto& photo, const QImage& bitmap)
{
    photo.image = bitmap;
    photo.jpeg.clear();
}

bool WriteTrackPhotoFile(const TrackPhoto& photo, std::optional<QByteArray>& bytes, QString* error)
{
    bytes.reset();
    const QString path = TrackJpegFile();
    if (!RemoveFileIfExists(path, error))
        return false;
    if (photo.IsNull())
        return true;
    if (!photo.jpeg.isEmpty()) {
        if (!ReplaceFileBytes(path, photo.jpeg, error))
            return false;
    } else if (!SaveJpegFile(path, photo.image, 75, error)) {
        return false;
    }
    QByteArray written;
    if (!ReadFileBytes(path, written, error))
        return false;
    bytes = written;
    return true;
}
