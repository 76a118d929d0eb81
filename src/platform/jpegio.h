#pragma once
// JPEG reading and writing through the IJG libjpeg API.  Every JPEG picture
// of the program (track photos, driver photos chosen as JPEG files, the
// calendar pictures) goes through here, never through an image plugin.
//
// A corrupt, truncated or empty stream gives an error text and a null image;
// libjpeg's fatal errors are caught, so a bad file never ends the process.
#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes JPEG file bytes.  Colour, grey-scale and CMYK / YCCK (Adobe)
// pictures all come back as Format_RGB32.  On failure: a null image and,
// when error is given, the reason.  A stream that ends early is a failure,
// also when only its end marker is missing: libjpeg cannot tell the two apart.
QImage DecodeJpeg(const QByteArray& bytes, QString* error = nullptr);

// Reads a file and decodes it; false (with the reason) when the file cannot
// be read or is not a readable JPEG.  image is left unchanged on failure.
bool LoadJpegFile(const QString& path, QImage& image, QString* error = nullptr);

// A picture file read by its extension (any case): .jpg, .jpeg, .jpe and
// .jfif through the decoder above, .dib as a bitmap, any other through the
// image reader of that format, never guessed from the contents.  jpeg, when
// given, receives the file bytes of a JPEG and is emptied for any other
// picture.  False with the reason (image and jpeg unchanged) when the file
// cannot be read or its extension names no known picture format.
bool LoadPictureFile(const QString& path, QImage& image, QByteArray* jpeg = nullptr, QString* error = nullptr);

// Encodes any picture as a baseline JPEG with the encoder's default settings
// and the given quality (75 is the library's own default).  The picture is
// converted to 24-bit RGB first; an alpha channel is dropped.  A null image
// or an encoder failure gives an empty array.
QByteArray EncodeJpeg(const QImage& image, int quality = 75, QString* error = nullptr);

// Encodes and writes a file; the file is replaced only when the whole picture
// was written (nothing half-written is left behind).
bool SaveJpegFile(const QString& path, const QImage& image, int quality = 75,
                  QString* error = nullptr);
