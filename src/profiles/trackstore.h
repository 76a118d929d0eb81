#pragma once
// The database and file side of the track editor: one TORY row, and the
// track photo's way through the temporary files of the program folder.  The
// photo is stored as JPEG file bytes; a photo stored as a bitmap by older
// versions still shows and is stored as JPEG on the next save.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

// What the editor shows of one track.
struct TrackData {
    QString name;          // NAZWA
    double length = 0;     // DLUGOSC
    QString description;   // OPIS
    QString record;        // REKORD ("Best time", free text)
    QString recordPerson;  // OSOBA_REKORD ("Best time driver")
    QString homePage;      // STRONA_WWW
    QString phone;         // TEL
    int stripes = 0;       // ILOSC_PASKOW
    int skipStripes = 0;   // ILE_POMINAC_PASKOW
    int lapTimeout = 0;    // LAP_TIMEOUT
};

// Lowest id a new track gets.
inline constexpr int kFirstTrackId = 100000;

// Reads a track; DLUGOSC rounded to two decimals (halves to even).  photo
// receives the ZDJECIE bytes (empty for NULL).  False when no row has the
// id; database errors reach the caller as DatabaseError.
bool LoadTrack(int id, TrackData& data, QByteArray* photo = nullptr);

// Writes a track in one transaction.  id below 1: a new track with the id
// max + 1, but never below kFirstTrackId; otherwise the row is updated.
// DATA_REKORD is written NULL and USUNIETY 0 every time.  photo holds the
// bytes of the JPEG file; without it ZDJECIE is written NULL.
// Returns the track's id (the new one for a new track), or -1 when nothing
// was written; error then holds the database's message.
int SaveTrack(int id, const TrackData& data, const std::optional<QByteArray>& photo,
              QString* error = nullptr);

// The statements as the editor holds them, line by line.
QStringList TrackInsertSql();
QStringList TrackUpdateSql();

// ------------------------------------------------------------------ photo

// The photo as the editor holds it: the picture, and the JPEG file bytes
// when the picture came from a JPEG (so that saving copies them unchanged).
struct TrackPhoto {
    QImage image;
    QByteArray jpeg;  // empty: a bitmap
    bool IsNull() const { return image.isNull(); }
};

// "tmp.jpg" and "tmp.bmp" in the scratch folder of the run.
QString TrackJpegFile();
QString TrackBitmapFile();

// The stored photo bytes read as JPEG through "tmp.jpg", else as bitmap
// through "tmp.bmp".  False (photo unchanged) when they are neither.
bool TrackPhotoFromBlob(const QByteArray& blob, TrackPhoto& photo);

// A chosen picture file by its extension: a JPEG stays a JPEG, a bitmap a
// bitmap.  False (photo unchanged) with the reason when it cannot be read.
bool LoadTrackPictureFile(const QString& fileName, TrackPhoto& photo, QString* error = nullptr);

// A pasted bitmap: the photo becomes a bitmap.
void SetTrackPhotoBitmap(TrackPhoto& photo, const QImage& bitmap);

// Writes the photo to "tmp.jpg" (an old file is removed first): a JPEG as
// it is, a bitmap compressed with the encoder's default settings; returns
// the file's bytes in bytes, which stays empty when the photo is null.
// False with the reason when the file could not be written.
bool WriteTrackPhotoFile(const TrackPhoto& photo, std::optional<QByteArray>& bytes,
                         QString* error = nullptr);
