#pragma once
// The driver editor: one driver with its photo and up to three logger
// serial numbers.  Also the small pieces the three catalogue editors share:
// the photo box, the OK / Cancel picture buttons and the editors' look.
#include <QAbstractButton>
#include <QDialog>
#include <QImage>
#include <QWidget>

#include <vector>

#include "controls/fieldcheck.h"

#include "controls/artwork.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TIntEdit;
class TFloatEdit;

// A photo shown whole, stretched with its proportions kept and centred;
// a click on it is reported.
class TEditorPhoto : public QWidget {
    Q_OBJECT
public:
    explicit TEditorPhoto(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);

    // Where the picture is drawn inside the box.
    QRect PictureRect() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

// A 40 x 40 button drawn from the artwork's pictures (normal, over, down,
// disabled).
class TGlyphButton : public QAbstractButton {
    Q_OBJECT
public:
    TGlyphButton(artwork::ButtonId id, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    artwork::ButtonId id_;
};

namespace editorlook {
// The editors' style sheet (captions, edits, group boxes, buttons).
QString StyleSheet();
// A caption above or beside an edit.
QLabel* Caption(const QString& text, QWidget* parent);
// A section title ("Picture").
QLabel* Title(const QString& text, QWidget* parent);
// The 24-bit placeholder photo.
QImage PlaceholderPhoto();
}  // namespace editorlook

class Tfkierowca : public QDialog {
    Q_OBJECT
public:
    explicit Tfkierowca(QWidget* parent = nullptr);

    // The driver shown (below 1: not yet stored); after a save of a new
    // driver its new id.
    int Id() const { return id_; }
    void SetId(int id) { id_ = id; }

    // Fills the controls from the driver with the id; a database error
    // reaches the caller.
    void LoadDriver();

    TEditorPhoto* Image1;    // "Picture"
    QLineEdit* Edit1;        // "Surname"
    QLineEdit* Edit2;        // "First name"
    QLineEdit* Edit3;        // "Nick name"
    TIntEdit* IntEdit1;      // "Height"
    TFloatEdit* FloatEdit1;  // "Weight"
    TFloatEdit* FloatEdit2;  // "Overweight"
    QLineEdit* Edit4;        // "KROM (serial no)", first
    QLineEdit* Edit5;        // second
    QLineEdit* Edit6;        // third
    QPlainTextEdit* Memo1;   // "Description"
    TGlyphButton* SpeedButton1;  // OK
    TGlyphButton* SpeedButton2;  // Cancel

public slots:
    void Image1Click();
    void SpeedButton1Click();
    void SpeedButton2Click();

private:
    int id_ = -1;
    // What OK checks before it writes, in tab order.
    std::vector<fieldcheck::Field> checks_;
    // The stored photo's bytes while they could not be shown and the user
    // chose no other picture: a save keeps them as they are.
    QByteArray keptPhoto_;
};

// Shows the editor for the driver (id below 1: a new one) and returns its
// id: the new id after OK on a new driver, otherwise the id received.
int EditDriver(int id);
