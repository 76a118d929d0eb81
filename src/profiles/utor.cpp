#include "profiles/utor.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

#include "controls/MathCtrl.h"
#include "platform/dialogs.h"

namespace {
constexpr int kClientWidth = 787;
constexpr int kClientHeight = 519;
constexpr int kBarHeight = 44;
constexpr int kEditHeight = 28;
constexpr int kCaptionGap = 20;  // from a caption's top to its edit's top
}  // namespace

TfTor::TfTor(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setWindowTitle(QStringLiteral("Track"));
    setFixedSize(kClientWidth, kClientHeight);
    setStyleSheet(editorlook::StyleSheet());

    // Top bar: the photo's heading and the paste button.
    auto* bar = new QLabel(this);
    bar->setProperty("role", QStringLiteral("bar"));
    bar->setGeometry(0, 0, kClientWidth, kBarHeight);
    editorlook::Title(QStringLiteral("Picture"), this)->setGeometry(16, 11, 120, 22);
    Button1 = new QPushButton(QStringLiteral("Paste picture "), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(196, 8, 120, 28);
    Button1->setFocusPolicy(Qt::TabFocus);

    // Left: the photo, the description under it across the window.
    Image1 = new TEditorPhoto(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, kBarHeight + 12, 300, 225);
    Image1->setToolTip(QStringLiteral("Click to choose a picture"));
    SetTrackPhotoBitmap(photo_, editorlook::PlaceholderPhoto());
    Image1->SetPicture(photo_.image);

    const int memoTop = Image1->geometry().bottom() + 12;
    editorlook::Caption(QStringLiteral("Description"), this)->setGeometry(16, memoTop, 300, 18);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(16, memoTop + kCaptionGap, kClientWidth - 32,
                       kClientHeight - 16 - 40 - 12 - (memoTop + kCaptionGap));

    SpeedButton1 = new TGlyphButton(artwork::ButtonId::Ok, this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->move(16, kClientHeight - 40 - 16);
    SpeedButton1->setToolTip(QStringLiteral("OK"));
    SpeedButton2 = new TGlyphButton(artwork::ButtonId::Cancel, this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->move(64, kClientHeight - 40 - 16);
    SpeedButton2->setToolTip(QStringLiteral("Cancel"));

    // Right of the photo: the fields.
    const int left = 336;
    const int width = kClientWidth - left - 16;  // 435
    const int gap = 12;
    auto field = [&](QWidget* edit, const QString& caption, int x, int y, int w) {
        editorlook::Caption(caption, this)->setGeometry(x, y, w, 18);
        edit->setGeometry(x, y + kCaptionGap, w, kEditHeight);
    };
    int y = kBarHeight + 12;

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    field(Edit1, QStringLiteral("Name"), left, y, width);
    y += 56;

    const int quarter = (width - 3 * gap) / 4;
    FloatEdit1 = new TFloatEdit(this);
    FloatEdit1->setObjectName(QStringLiteral("FloatEdit1"));
    field(FloatEdit1, QStringLiteral("Length"), left, y, quarter);
    IntEdit1 = new TIntEdit(this);
    IntEdit1->setObjectName(QStringLiteral("IntEdit1"));
    field(IntEdit1, QStringLiteral("Magnetic stripes"), left + (quarter + gap), y, quarter);
    IntEdit2 = new TIntEdit(this);
    IntEdit2->setObjectName(QStringLiteral("IntEdit2"));
    field(IntEdit2, QStringLiteral("Skip stripes"), left + 2 * (quarter + gap), y, quarter);
    IntEdit3 = new TIntEdit(this);
    IntEdit3->setObjectName(QStringLiteral("IntEdit3"));
    field(IntEdit3, QStringLiteral("Lap timeout"), left + 3 * (quarter + gap), y, width - 3 * (quarter + gap));
    y += 56;

    const int narrow = 150;
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    field(Edit2, QStringLiteral("Best time"), left, y, narrow);
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    field(Edit3, QStringLiteral("Best time driver"), left + narrow + gap, y, width - narrow - gap);
    y += 56;

    Edit4 = new QLineEdit(this);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    field(Edit4, QStringLiteral("Home page"), left, y, width - narrow - gap);
    Edit5 = new QLineEdit(this);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    field(Edit5, QStringLiteral("Phone"), left + width - narrow, y, narrow);

    using namespace fieldcheck;
    checks_ = {Text(Edit1, QStringLiteral("Name"), 100),
               Number(FloatEdit1, QStringLiteral("Length")),
               WholeNumber(IntEdit1, QStringLiteral("Magnetic stripes")),
               WholeNumber(IntEdit2, QStringLiteral("Skip stripes")),
               WholeNumber(IntEdit3, QStringLiteral("Lap timeout")),
               Text(Edit2, QStringLiteral("Best time"), 30),
               Text(Edit3, QStringLiteral("Best time driver"), 50),
               Text(Edit4, QStringLiteral("Home page"), 100),
               Text(Edit5, QStringLiteral("Phone"), 50),
               Text(Memo1, QStringLiteral("Description"))};

    setTabOrder(Edit1, FloatEdit1);
    setTabOrder(FloatEdit1, IntEdit1);
    setTabOrder(IntEdit1, IntEdit2);
    setTabOrder(IntEdit2, IntEdit3);
    setTabOrder(IntEdit3, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Edit5);
    setTabOrder(Edit5, Memo1);
    setTabOrder(Memo1, SpeedButton1);
    setTabOrder(SpeedButton1, SpeedButton2);
    Edit1->setFocus();

    connect(Image1, &TEditorPhoto::clicked, this, &TfTor::Image1Click);
    connect(Button1, &QPushButton::clicked, this, &TfTor::Button1Click);
    connect(SpeedButton1, &QAbstractButton::clicked, this, &TfTor::SpeedButton1Click);
    connect(SpeedButton2, &QAbstractButton::clicked, this, &TfTor::SpeedButton2Click);

    platform::CentreOnScreen(*this);
}

void TfTor::ShowPhoto(const TrackPhoto& photo)
{
    photo_ = photo;
    Image1->SetPicture(photo_.image);
    keptPhoto_.clear();
}

void TfTor::LoadTrack()
{
    TrackData data;
    QByteArray blob;
    if (!::LoadTrack(id_, data, &blob))
        return;  // no such row: the boxes stay empty
    Edit1->setText(data.name);
    FloatEdit1->SetValue(data.length);
    Memo1->setPlainText(data.description);
    Edit2->setText(data.record);
    Edit3->setText(data.recordPerson);
    Edit4->setText(data.homePage);
    Edit5->setText(data.phone);
    IntEdit1->SetValue(data.stripes);
    IntEdit2->SetValue(data.skipStripes);
    IntEdit3->SetValue(data.lapTimeout);
    // Neither a JPEG nor a bitmap: the placeholder stays in view, and the
    // bytes are kept for the save.
    TrackPhoto photo;
    if (TrackPhotoFromBlob(blob, photo))
        ShowPhoto(photo);
    else
        keptPhoto_ = blob;
}

void TfTor::Image1Click()
{
    const QString fileName = platform::OpenFileName(this, QStringLiteral("graf|*.bmp;*.jpg"));
    if (fileName.isEmpty())
        return;
    TrackPhoto photo;
    QString error;
    if (!LoadTrackPictureFile(fileName, photo, &error)) {
        platform::ShowErrorBox(error);
        return;
    }
    ShowPhoto(photo);
}

void TfTor::Button1Click()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || mime->formats().isEmpty() || !mime->hasImage())
        return;
    const QImage bitmap = qvariant_cast<QImage>(mime->imageData());
    if (bitmap.isNull())
        return;
    TrackPhoto photo;
    SetTrackPhotoBitmap(photo, bitmap);
    ShowPhoto(photo);
}

void TfTor::SpeedButton1Click()
{
    if (!fieldcheck::CheckFields(checks_))
        return;  // the editor stays open at the field to correct
    QString error;
    std::optional<QByteArray> jpeg;
    if (!keptPhoto_.isEmpty()) {
        jpeg = keptPhoto_;  // not shown, not replaced: stored back unchanged
    } else if (!WriteTrackPhotoFile(photo_, jpeg, &error)) {
        platform::ShowErrorBox(error);
        return;
    }
    TrackData data;
    data.name = Edit1->text();
    data.length = FloatEdit1->Value();
    data.description = Memo1->toPlainText();
    data.record = Edit2->text();
    data.recordPerson = Edit3->text();
    data.homePage = Edit4->text();
    data.phone = Edit5->text();
    data.stripes = IntEdit1->Value();
    data.skipStripes = IntEdit2->Value();
    data.lapTimeout = IntEdit3->Value();

    const int saved = SaveTrack(id_, data, jpeg, &error);
    if (saved < 0) {
        // Nothing was written; the editor stays open with what was typed.
        platform::ShowMessage(QStringLiteral("The track could not be saved: ") + error);
        return;
    }
    id_ = saved;
    accept();
}

void TfTor::SpeedButton2Click() { reject(); }

int EditTrack(int id)
{
    TfTor editor(QApplication::activeWindow());
    editor.SetId(id);
    if (id > 0) {
        try {
            editor.LoadTrack();
        } catch (const std::exception& e) {
            platform::ShowErrorBox(QString::fromUtf8(e.what()));
            return id;
        }
    }
    platform::ExecModal(editor);
    return editor.Id();
}
