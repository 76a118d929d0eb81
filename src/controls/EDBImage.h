#pragma once
// TEDBImage: shows the picture stored in a blob of the caller's current row
// (bitmap, JPEG or icon content, recognised by its first bytes) at natural
// size, centred, shrunk or zoomed to fit with its proportions kept, and lets
// the user copy, cut, paste and clear it through the clipboard keys.
//
// Binding: there is no data-aware framework; the owner of the rows binds the
// control through this small seam:
//   - on every change of the current row, SetBlob(bytes of the blob field);
//     a null or empty array is a NULL field.  The picture is cleared and,
//     with AutoDisplay, loaded at once; otherwise Enter or a double click
//     loads it.  The modified flag is reset.
//   - changed() is emitted whenever the user changes the picture (paste,
//     cut, clear); IsModified() is then true until the next SetBlob/Reset.
//   - editingFinished() is emitted when the focus leaves the control while
//     it is modified: the moment to take Blob() into the row.
//   - Blob() gives the bytes to store: the bytes given by SetBlob while
//     unmodified (never re-encoded), else the new picture as BMP file bytes,
//     or a null array when the picture was cleared.
//   - SetDisplayLabel names the field for the "(label)" text shown while
//     nothing is loaded; without one the control's object name is shown.
#include <QByteArray>
#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QString>

#include "controls/uEDBR.h"

class TEDBImage : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool ShrinkToFit READ ShrinkToFit WRITE SetShrinkToFit)
    Q_PROPERTY(bool ZoomToFit READ ZoomToFit WRITE SetZoomToFit)
    Q_PROPERTY(bool AutoDisplay READ AutoDisplay WRITE SetAutoDisplay)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)

public:
    enum class TBorderStyle { None, Single };

    // 105 x 105, single border, centred, AutoDisplay on, takes the focus by
    // Tab and by click, painted in its own (base) colour.
    explicit TEDBImage(QWidget* parent = nullptr);

    // ---- binding ----
    void SetBlob(const QByteArray& bytes);
    QByteArray Blob() const;
    bool IsModified() const { return modified_; }
    // Back to the bytes last given by SetBlob (Ctrl+Z and Escape).
    void Reset();
    void SetDisplayLabel(const QString& label);
    QString DisplayLabel() const { return label_; }

    // Loads the picture from the bound bytes unless it is loaded already.
    void LoadPicture();
    bool PictureLoaded() const { return loaded_; }
    const QImage& Picture() const { return picture_; }

    void SetOnLoadCustomImage(LoadCustomImageHandler handler) { onLoadCustomImage_ = std::move(handler); }

    // ---- properties ----
    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool ShrinkToFit() const { return shrinkToFit_; }
    void SetShrinkToFit(bool value);
    bool ZoomToFit() const { return zoomToFit_; }
    void SetZoomToFit(bool value);
    bool AutoDisplay() const { return autoDisplay_; }
    void SetAutoDisplay(bool value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // ---- clipboard (the keys call these) ----
    void CopyToClipboard();
    // Copy, then clear; only when editable.
    void CutToClipboard();
    // Takes an image from the clipboard; only when editable.
    void PasteFromClipboard();
    // Clears the picture; only when editable.
    void ClearPicture();

signals:
    void changed();
    void editingFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Editable() const { return !readOnly_; }
    // A picture change made by the user: the row is modified.
    void PictureChanged(const QImage& picture);
    void SetPictureImage(const QImage& picture);

    QByteArray stored_;
    QImage picture_;
    QPixmap drawn_;  // picture_ at the size last drawn
    LoadCustomImageHandler onLoadCustomImage_;
    QString label_;
    bool loaded_ = false;
    bool modified_ = false;
    bool center_ = true;
    bool shrinkToFit_ = false;
    bool zoomToFit_ = false;
    bool autoDisplay_ = true;
    bool readOnly_ = false;
    TBorderStyle borderStyle_ = TBorderStyle::Single;
};
