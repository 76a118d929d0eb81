#pragma once
// The database and file side of the driver editor: one KIEROWCY row with
// its logger serial numbers (KROM_KIEROWCY), and the driver photo's way
// through the temporary bitmap files of the program folder.  The photo is
// always held as a bitmap and stored as BMP file bytes.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the editor shows of one driver.
struct DriverData {
    QString surname;                 // NAZWISKO
    QString firstName;               // IMIE
    QString nickName;                // PSEUDONIM
    int height = 0;                  // WZROST
    double weight = 0;               // WAGA
    double overweight = 0;           // NADWAGA
    QString description;             // OPIS
    std::array<QString, 3> serials;  // the three "KROM (serial no)" boxes
};

// Reads a driver: the row, WAGA and NADWAGA rounded to two decimals (halves
// to even), the first three serial rows in the order the database returns
// them (further rows are not shown).  photo receives the ZDJECIE bytes
// (empty for NULL).  False when no row has the id; database errors reach
// the caller as DatabaseError.
bool LoadDriver(int id, DriverData& data, QByteArray* photo = nullptr);

// Writes a driver and its serial rows in one transaction, all or nothing.
// id below 1: a new driver with the id max + 1 (1 for the first), KOD_KIER
// its decimal text; otherwise the row is updated and its serial rows are
// replaced.  USUNIETY becomes 0 either way.  photo holds the bytes of the
// photo file; without it ZDJECIE is written NULL.  Serial boxes that are
// blank are skipped, the others stored as typed.
// Returns the driver's id (the new one for a new driver), or -1 when
// nothing was written; error then holds the database's message.
int SaveDriver(int id, const DriverData& data, const std::optional<QByteArray>& photo,
               QString* error = nullptr);

// The statements as the editor holds them, line by line.
QStringList DriverInsertSql();
QStringList DriverUpdateSql();

// ------------------------------------------------------------------ photo

// "tmp.bmp" (the photo between database and editor) and "tmp2.bmp" (a
// JPEG photo converted to a bitmap) in the scratch folder of the run.
QString DriverPhotoFile();
QString DriverJpegBitmapFile();

// The stored photo bytes written to "tmp.bmp" and read back as a bitmap; a
// null image when they are no readable bitmap (the caller keeps what it
// shows).
QImage DriverPhotoFromBlob(const QByteArray& blob);

// A chosen picture file as a bitmap.  A name that contains ".JPG" (upper-
// cased) anywhere is decoded as JPEG, drawn onto a bitmap of its size,
// saved to "tmp2.bmp" and read back from there; any other file is read by
// its extension.  A null image and the reason when it cannot be read.
QImage LoadDriverPictureFile(const QString& fileName, QString* error = nullptr);

// Writes the photo to "tmp.bmp" as a 24-bit bitmap (an old file is removed
// first) and returns the file's bytes in bytes; bytes stays empty when the
// photo is null.  False with the reason when the file could not be written.
bool WriteDriverPhotoFile(const QImage& photo, std::optional<QByteArray>& bytes,
                          QString* error = nullptr);
