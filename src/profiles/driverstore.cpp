#include "profiles/driverstore.h"

#include <QFile>

#include "platform/jpegio.h"
#include "profiles/catalogue.h"
#include "shell/common/stale.h"
#include "shell/data/ubazy.h"

namespace {

QImage LoadBitmapFile(const QString& path)
{
    QImage image;
    if (!image.load(path, "BMP"))
        return {};
    return image;
}

}  // namespace

QStringList DriverInsertSql()
{
    return {
        QStringLiteral("insert into kierowcy "),
        QStringLiteral("( "),
        QStringLiteral("ID_KIEROWCY,"),
        QStringLiteral("KOD_KIER,"),
        QStringLiteral("IMIE,"),
        QStringLiteral("NAZWISKO,"),
        QStringLiteral("PSEUDONIM,"),
        QStringLiteral("WZROST,"),
        QStringLiteral("WAGA,"),
        QStringLiteral("NADWAGA,"),
        QStringLiteral("OPIS,"),
        QStringLiteral("ZDJECIE,"),
        QStringLiteral("USUNIETY"),
        QStringLiteral(")"),
        QStringLiteral("values"),
        QStringLiteral("("),
        QStringLiteral(":ID_KIEROWCY,"),
        QStringLiteral(":KOD_KIER,"),
        QStringLiteral(":IMIE,"),
        QStringLiteral(":NAZWISKO,"),
        QStringLiteral(":PSEUDONIM,"),
        QStringLiteral(":WZROST,"),
        QStringLiteral(":WAGA,"),
        QStringLiteral(":NADWAGA,"),
        QStringLiteral(":OPIS,"),
        QStringLiteral(":ZDJECIE,"),
        QStringLiteral("0"),
        QStringLiteral(")"),
    };
}

QStringList DriverUpdateSql()
{
    return {
        QStringLiteral("update kierowcy  set"),
        QStringLiteral("IMIE = :IMIE,"),
        QStringLiteral("NAZWISKO = :NAZWISKO,"),
        QStringLiteral("PSEUDONIM = :PSEUDONIM,"),
        QStringLiteral("WZROST = :WZROST,"),
        QStringLiteral("WAGA = :WAGA,"),
        QStringLiteral("NADWAGA = :NADWAGA,"),
        QStringLiteral("OPIS = :OPIS,"),
        QStringLiteral("ZDJECIE = :ZDJECIE,"),
        QStringLiteral("USUNIETY = 0"),
        QStringLiteral("where "),
        QStringLiteral(" ID_KIEROWCY = :ID_KIEROWCY"),
    };
}

bool LoadDriver(int id, DriverData& data, QByteArray* photo)
{
    TIBQuery q(DM->TransBrowse);
    q.SetSQL(QStringLiteral("select * from kierowcy where id_kierowcy=") + QString::number(id));
    q.Open();
    if (q.Eof()) {
        q.Close();
        return false;
    }
    data.surname = q.FieldByName(QStringLiteral("NAZWISKO")).AsString();
    data.firstName = q.FieldByName(QStringLiteral("IMIE")).AsString();
    data.nickName = q.FieldByName(QStringLiteral("PSEUDONIM")).AsString();
    data.height = q.FieldByName(QStringLiteral("WZROST")).AsInteger();
    data.description = q.FieldByName(QStringLiteral("OPIS")).AsString();
    // The edits show at most two decimals.
    data.weight = RoundTo2Decimals(q.FieldByName(QStringLiteral("WAGA")).AsFloat());
    data.overweight = RoundTo2Decimals(q.FieldByName(QStringLiteral("NADWAGA")).AsFloat());
    if (photo)
        *photo = q.FieldByName(QStringLiteral("ZDJECIE")).AsBytes();
    q.Close();

    data.serials = {};
    q.SetSQL(QStringLiteral("select * from krom_kierowcy where id_kierowcy=") + QString::number(id));
    q.Open();
    for (size_t box = 0; box < data.serials.size() && !q.Eof(); ++box, q.Next())
        data.serials[box] = q.FieldByName(QStringLiteral("NR_SER_KROM")).AsString();
    q.Close();
    return true;
}

int SaveDriver(int id, const DriverData& data, const std::optional<QByteArray>& photo, QString* error)
{
    // The driver row and its serial rows go together or not at all.
    return catalogue::SaveRow(
        id, QStringLiteral("select max(id_kierowcy) as maks from kierowcy "), 1,
        [&](int driverId, bool isNew) {
            TIBQuery qZapisz(DM->TransEdit);
            qZapisz.SetSQL(isNew ? DriverInsertSql() : DriverUpdateSql());
            qZapisz.ParamByName(QStringLiteral("ID_KIEROWCY"), driverId);
            if (isNew)
                qZapisz.ParamByName(QStringLiteral("KOD_KIER"), QString::number(driverId));
            qZapisz.ParamByName(QStringLiteral("IMIE"), data.firstName);
            qZapisz.ParamByName(QStringLiteral("NAZWISKO"), data.surname);
            qZapisz.ParamByName(QStringLiteral("PSEUDONIM"), data.nickName);
            qZapisz.ParamByName(QStringLiteral("WZROST"), data.height);
            qZapisz.ParamByName(QStringLiteral("WAGA"), data.weight);
            qZapisz.ParamByName(QStringLiteral("NADWAGA"), data.overweight);
            qZapisz.ParamByName(QStringLiteral("OPIS"), data.description);
            if (photo)
                qZapisz.ParamByName(QStringLiteral("ZDJECIE"), *photo);
            qZapisz.ExecSQL();

            TIBQuery qSerial(DM->TransEdit);
            if (!isNew) {
                qSerial.SetSQL(QStringLiteral("delete from KROM_KIEROWCY where ID_KIEROWCY = :ID_KIEROWCY"));
                qSerial.ParamByName(QStringLiteral("ID_KIEROWCY"), driverId);
                qSerial.ExecSQL();
            }
            qSerial.SetSQL(QStringLiteral(
                "insert into KROM_KIEROWCY (ID_KIEROWCY,NR_SER_KROM) values (:ID_KIEROWCY, :NR_SER_KROM)"));
            for (const QString& serial : data.serials) {
                if (serial.trimmed().isEmpty())
                    continue;
                qSerial.ParamByName(QStringLiteral("ID_KIEROWCY"), driverId);
                qSerial.ParamByName(QStringLiteral("NR_SER_KROM"), serial);
                qSerial.ExecSQL();
            }
        },
        error);
}

// ------------------------------------------------------------------ photo

QString DriverPhotoFile() { return ScratchFolder() + QStringLiteral("tmp.bmp"); }

QString DriverJpegBitmapFile() { return ScratchFolder() + QStringLiteral("tmp2.bmp"); }

QImage DriverPhotoFromBlob(const QByteArray& blob)
{
    const QString path = DriverPhotoFile();
    if (!ReplaceFileBytes(path, blob, nullptr))
        return {};
    return LoadBitmapFile(path);
}

QImage LoadDriverPictureFile(const QString& fileName, QString* error)
{
    if (fileName.toUpper().contains(QLatin1String(".JPG"))) {
        QImage jpeg;
        if (!LoadJpegFile(fileName, jpeg, error))
            return {};
        // Held as a bitmap of the JPEG's size, passed through "tmp2.bmp".
        const QImage bitmap = jpeg.convertToFormat(QImage::Format_RGB888);
        const QString path = DriverJpegBitmapFile();
        if (QFile::exists(path))
            QFile::remove(path);
        if (!bitmap.save(path, "BMP")) {
            if (error)
                *error = QStringLiteral("Cannot write %1").arg(path);
            return {};
        }
        QImage loaded = LoadBitmapFile(path);
        if (loaded.isNull() && error)
            *error = QStringLiteral("Cannot read %1").arg(path);
        return loaded;
    }

    // Any other file by its extension.
    QImage image;
    if (!LoadPictureFile(fileName, image, nullptr, error))
        return {};
    return image;
}

bool WriteDriverPhotoFile(const QImage& photo, std::optional<QByteArray>& bytes, QString* error)
{
    bytes.reset();
    const QString path = DriverPhotoFile();
    if (!RemoveFileIfExists(path, error))
        return false;
    if (photo.isNull())
        return true;
    if (!photo.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) {
        if (error)
            *error = QStringLiteral("Cannot write %1").arg(path);
        return false;
    }
    QByteArray written;
    if (!ReadFileBytes(path, written, error))
        return false;
    bytes = std::move(written);
    return true;
}
