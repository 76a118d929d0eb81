#pragma once
// The track editor: one track with its lap-timing settings, record,
// contact data and photo.
#include <QDialog>

#include "profiles/trackstore.h"
#include "profiles/ukierowca.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TIntEdit;
class TFloatEdit;

class TfTor : public QDialog {
    Q_OBJECT
public:
    explicit TfTor(QWidget* parent = nullptr);

    // The track shown (below 1: not yet stored); after a save of a new
    // track its new id.
    int Id() const { return id_; }
    void SetId(int id) { id_ = id; }

    // Fills the controls from the track with the id; a database error
    // reaches the caller.
    void LoadTrack();

    // The photo as held: a JPEG keeps its file bytes, a bitmap has none.
    const TrackPhoto& Photo() const { return photo_; }

    TEditorPhoto* Image1;
    QPushButton* Button1;    // "Paste picture "
    QLineEdit* Edit1;        // "Name"
    TFloatEdit* FloatEdit1;  // "Length"
    TIntEdit* IntEdit1;      // "Magnetic stripes"
    TIntEdit* IntEdit2;      // "Skip stripes"
    TIntEdit* IntEdit3;      // "Lap timeout"
    QLineEdit* Edit2;        // "Best time"
    QLineEdit* Edit3;        // "Best time driver"
    QLineEdit* Edit4;        // "Home page"
    QLineEdit* Edit5;        // "Phone"
    QPlainTextEdit* Memo1;   // "Description"
    TGlyphButton* SpeedButton1;  // OK
    TGlyphButton* SpeedButton2;  // Cancel

public slots:
    void Image1Click();
    void Button1Click();
    void SpeedButton1Click();
    void SpeedButton2Click();

private:
    void ShowPhoto(const TrackPhoto& photo);

    int id_ = -1;
    // What OK checks before it writes, in tab order.
    std::vector<fieldcheck::Field> checks_;
    TrackPhoto photo_;
    // The stored photo's bytes while they could not be shown and the user
    // chose no other picture: a save keeps them as they are.
    QByteArray keptPhoto_;
};

// Shows the editor for the track (id below 1: a new one) and returns its
// id: the new id after OK on a new track, otherwise the id received.
int EditTrack(int id);
