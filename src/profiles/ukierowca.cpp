#include "profiles/ukierowca.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

#include "controls/MathCtrl.h"
#include "platform/dialogs.h"
#include "profiles/driverstore.h"

// ------------------------------------------------------------ TEditorPhoto

TEditorPhoto::TEditorPhoto(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

void TEditorPhoto::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

QRect TEditorPhoto::PictureRect() const
{
    const QRect box = rect().adjusted(6, 6, -6, -6);
    if (picture_.isNull() || picture_.width() <= 0 || picture_.height() <= 0)
        return box;
    // Stretched to the box with its proportions kept, centred on the other side.
    const QSize fitted = picture_.size().scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.left() + (box.width() - fitted.width()) / 2,
                 box.top() + (box.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}

void TEditorPhoto::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QColor(underMouse() ? 0xff6a13 : 0x3a3d43));
    p.setBrush(QColor(0x121315));
    p.drawRoundedRect(frame, 4, 4);
    if (!picture_.isNull())
        p.drawImage(PictureRect(), picture_);
}

void TEditorPhoto::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

// ------------------------------------------------------------ TGlyphButton

TGlyphButton::TGlyphButton(artwork::ButtonId id, QWidget* parent) : QAbstractButton(parent), id_(id)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    resize(artwork::ButtonSize(id));
}

QSize TGlyphButton::sizeHint() const { return artwork::ButtonSize(id_); }

void TGlyphButton::paintEvent(QPaintEvent*)
{
    const artwork::ButtonArt& art = artwork::ButtonPictures(id_);
    const QPixmap* picture = &art.normal;
    if (!isEnabled())
        picture = &art.disabled;
    else if (isDown())
        picture = &art.down;
    else if (underMouse() || hasFocus())
        picture = &art.over;
    QPainter p(this);
    p.drawPixmap(0, 0, *picture);
}

void TGlyphButton::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void TGlyphButton::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

// ------------------------------------------------------------- editorlook

namespace editorlook {

QString StyleSheet()
{
    return QStringLiteral(
        "QDialog { background: #222327; }"
        "QLabel { color: #e6e6e6; }"
        "QLabel[role=\"caption\"] { color: #9ca0a8; }"
        "QLabel[role=\"title\"] { color: #ff8d45; font-weight: bold; }"
        "QLabel[role=\"bar\"] { background: #17181b; border-bottom: 1px solid #ff6a13; }"
        "QLineEdit, QPlainTextEdit { background: #16171a; color: #ececec; border: 1px solid #3a3d43;"
        "  border-radius: 3px; padding: 2px 6px; selection-background-color: #b8560f; }"
        "QLineEdit:focus, QPlainTextEdit:focus { border: 1px solid #ff6a13; }"
        "QLineEdit[role=\"white\"] { background: #ffffff; color: #111111; }"
        "QGroupBox { color: #ff8d45; font-weight: bold; border: 1px solid #3a3d43; border-radius: 4px;"
        "  margin-top: 9px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 2px; }"
        "QPushButton { background: #33353a; color: #e6e6e6; border: 1px solid #4a4d54; border-radius: 3px;"
        "  padding: 4px 12px; }"
        "QPushButton:hover { border-color: #ff6a13; }"
        "QPushButton:pressed { background: #1d1e21; }");
}

QLabel* Caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("role", QStringLiteral("caption"));
    return label;
}

QLabel* Title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("role", QStringLiteral("title"));
    return label;
}

QImage PlaceholderPhoto()
{
    return artwork::Art(artwork::ArtId::PlaceholderPhoto).toImage().convertToFormat(QImage::Format_RGB888);
}

}  // namespace editorlook

// -------------------------------------------------------------- Tfkierowca

namespace {
constexpr int kClientWidth = 761;
constexpr int kClientHeight = 479;
constexpr int kEditHeight = 28;
constexpr int kCaptionGap = 20;  // from a caption's top to its edit's top
}  // namespace

Tfkierowca::Tfkierowca(QWidget* parent) : QDialog(parent, platform::ToolWindowFlags())
{
    setWindowTitle(QStringLiteral("Driver"));
    setFixedSize(kClientWidth, kClientHeight);
    setStyleSheet(editorlook::StyleSheet());

    // Left: the photo with its heading, the buttons below it.
    editorlook::Title(QStringLiteral("Picture"), this)->setGeometry(16, 12, 260, 22);
    Image1 = new TEditorPhoto(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 40, 260, 372);
    Image1->setToolTip(QStringLiteral("Click to choose a picture"));
    Image1->SetPicture(editorlook::PlaceholderPhoto());

    SpeedButton1 = new TGlyphButton(artwork::ButtonId::Ok, this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->move(16, kClientHeight - 40 - 16);
    SpeedButton1->setToolTip(QStringLiteral("OK"));
    SpeedButton2 = new TGlyphButton(artwork::ButtonId::Cancel, this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->move(64, kClientHeight - 40 - 16);
    SpeedButton2->setToolTip(QStringLiteral("Cancel"));

    // Right: the fields.
    const int left = 296;
    const int width = kClientWidth - left - 16;  // 449
    const int gap = 12;
    auto field = [&](QWidget* edit, const QString& caption, int x, int y, int w) {
        editorlook::Caption(caption, this)->setGeometry(x, y, w, 18);
        edit->setGeometry(x, y + kCaptionGap, w, kEditHeight);
    };

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    field(Edit1, QStringLiteral("Surname"), left, 12, width);

    const int half = (width - gap) / 2;
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    field(Edit2, QStringLiteral("First name"), left, 68, half);
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    field(Edit3, QStringLiteral("Nick name"), left + half + gap, 68, width - half - gap);

    const int third = (width - 2 * gap) / 3;
    IntEdit1 = new TIntEdit(this);
    IntEdit1->setObjectName(QStringLiteral("IntEdit1"));
    field(IntEdit1, QStringLiteral("Height"), left, 124, third);
    FloatEdit1 = new TFloatEdit(this);
    FloatEdit1->setObjectName(QStringLiteral("FloatEdit1"));
    field(FloatEdit1, QStringLiteral("Weight"), left + third + gap, 124, third);
    FloatEdit2 = new TFloatEdit(this);
    FloatEdit2->setObjectName(QStringLiteral("FloatEdit2"));
    field(FloatEdit2, QStringLiteral("Overweight"), left + 2 * (third + gap), 124, width - 2 * (third + gap));

    QLineEdit** serials[] = {&Edit4, &Edit5, &Edit6};
    for (int i = 0; i < 3; ++i) {
        *serials[i] = new QLineEdit(this);
        (*serials[i])->setObjectName(QStringLiteral("Edit%1").arg(4 + i));
        const int x = left + i * (third + gap);
        field(*serials[i], QStringLiteral("KROM (serial no)"), x, 180, i == 2 ? width - 2 * (third + gap) : third);
    }

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    editorlook::Caption(QStringLiteral("Description"), this)->setGeometry(left, 236, width, 18);
    Memo1->setGeometry(left, 236 + kCaptionGap, width, kClientHeight - 16 - (236 + kCaptionGap));

    using namespace fieldcheck;
    checks_ = {Text(Edit1, QStringLiteral("Surname"), 100),
               Text(Edit2, QStringLiteral("First name"), 50),
               Text(Edit3, QStringLiteral("Nick name"), 20),
               WholeNumber(IntEdit1, QStringLiteral("Height")),
               Number(FloatEdit1, QStringLiteral("Weight")),
               Number(FloatEdit2, QStringLiteral("Overweight")),
               Text(Edit4, QStringLiteral("KROM (serial no)"), 50),
               Text(Edit5, QStringLiteral("KROM (serial no)"), 50),
               Text(Edit6, QStringLiteral("KROM (serial no)"), 50),
               Text(Memo1, QStringLiteral("Description"))};

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, IntEdit1);
    setTabOrder(IntEdit1, FloatEdit1);
    setTabOrder(FloatEdit1, FloatEdit2);
    setTabOrder(FloatEdit2, Edit4);
    setTabOrder(Edit4, Edit5);
    setTabOrder(Edit5, Edit6);
    setTabOrder(Edit6, Memo1);
    setTabOrder(Memo1, SpeedButton1);
    setTabOrder(SpeedButton1, SpeedButton2);
    Edit1->setFocus();

    connect(Image1, &TEditorPhoto::clicked, this, &Tfkierowca::Image1Click);
    connect(SpeedButton1, &QAbstractButton::clicked, this, &Tfkierowca::SpeedButton1Click);
    connect(SpeedButton2, &QAbstractButton::clicked, this, &Tfkierowca::SpeedButton2Click);

    platform::CentreOnScreen(*this);
}

void Tfkierowca::LoadDriver()
{
    DriverData data;
    QByteArray blob;
    if (!::LoadDriver(id_, data, &blob))
        return;  // no such row: the boxes stay empty
    Edit1->setText(data.surname);
    Edit2->setText(data.firstName);
    Edit3->setText(data.nickName);
    IntEdit1->SetValue(data.height);
    FloatEdit1->SetValue(data.weight);
    FloatEdit2->SetValue(data.overweight);
    Memo1->setPlainText(data.description);
    // A photo that is no readable bitmap leaves the placeholder in view, and
    // its bytes are kept for the save.
    const QImage photo = DriverPhotoFromBlob(blob);
    if (!photo.isNull())
        Image1->SetPicture(photo);
    else
        keptPhoto_ = blob;
    Edit4->setText(data.serials[0]);
    Edit5->setText(data.serials[1]);
    Edit6->setText(data.serials[2]);
}

void Tfkierowca::Image1Click()
{
    const QString fileName = platform::OpenFileName(this, QStringLiteral("graf|*.bmp;*.jpg"));
    if (fileName.isEmpty())
        return;
    QString error;
    const QImage picture = LoadDriverPictureFile(fileName, &error);
    if (picture.isNull()) {
        platform::ShowErrorBox(error);
        return;
    }
    Image1->SetPicture(picture);
    keptPhoto_.clear();
}

void Tfkierowca::SpeedButton1Click()
{
    if (!fieldcheck::CheckFields(checks_))
        return;  // the editor stays open at the field to correct
    QString error;
    std::optional<QByteArray> photo;
    if (!keptPhoto_.isEmpty()) {
        photo = keptPhoto_;  // not shown, not replaced: stored back unchanged
    } else if (!WriteDriverPhotoFile(Image1->Picture(), photo, &error)) {
        platform::ShowErrorBox(error);
        return;
    }
    DriverData data;
    data.surname = Edit1->text();
    data.firstName = Edit2->text();
    data.nickName = Edit3->text();
    data.height = IntEdit1->Value();
    data.weight = FloatEdit1->Value();
    data.overweight = FloatEdit2->Value();
    data.description = Memo1->toPlainText();
    data.serials = {Edit4->text(), Edit5->text(), Edit6->text()};

    const int saved = SaveDriver(id_, data, photo, &error);
    if (saved < 0) {
        // Nothing was written; the editor stays open with what was typed.
        platform::ShowMessage(QStringLiteral("The driver could not be saved: ") + error);
        return;
    }
    id_ = saved;
    accept();
}

void Tfkierowca::SpeedButton2Click() { reject(); }

int EditDriver(int id)
{
    Tfkierowca editor(QApplication::activeWindow());
    editor.SetId(id);
    if (id > 0) {
        try {
            editor.LoadDriver();
        } catch (const std::exception& e) {
            platform::ShowErrorBox(QString::fromUtf8(e.what()));
            return id;
        }
    }
    platform::ExecModal(editor);
    return editor.Id();
}
