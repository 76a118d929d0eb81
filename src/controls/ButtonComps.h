#pragma once
// TImageButton: the program's toolbar button, drawn entirely from one picture
// per state (normal, mouse over, pressed, released over the control,
// disabled).  On every state change the button copies the state's picture
// into its current picture, takes that picture's size and repaints, so
// pictures of different sizes make the button change its size.
//
// The hint is the widget's tool tip (setToolTip); ShowHint false hides it.
#include <QPixmap>
#include <QWidget>

class TImageButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPixmap Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(QPixmap BitmapOver READ BitmapOver WRITE SetBitmapOver)
    Q_PROPERTY(QPixmap BitmapDown READ BitmapDown WRITE SetBitmapDown)
    Q_PROPERTY(QPixmap BitmapUp READ BitmapUp WRITE SetBitmapUp)
    Q_PROPERTY(QPixmap BitmapDisabled READ BitmapDisabled WRITE SetBitmapDisabled)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)

public:
    // 50 x 50, button-face background, hint shown, no pictures.
    explicit TImageButton(QWidget* parent = nullptr);

    const QPixmap& Bitmap() const { return bitmap_; }
    // The normal picture; it is also shown at once.
    void SetBitmap(const QPixmap& picture);

    // The other pictures are only stored (and the button repainted).
    const QPixmap& BitmapOver() const { return over_; }
    void SetBitmapOver(const QPixmap& picture);
    const QPixmap& BitmapDown() const { return down_; }
    void SetBitmapDown(const QPixmap& picture);
    const QPixmap& BitmapUp() const { return up_; }
    void SetBitmapUp(const QPixmap& picture);
    const QPixmap& BitmapDisabled() const { return disabled_; }
    void SetBitmapDisabled(const QPixmap& picture);

    // The state picture now shown (BitmapDisabled while disabled, when set).
    QPixmap ShownPicture() const;

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }

signals:
    // Left button pressed and released over the button: once per press.
    void clicked();
    void mouseDown();
    void mouseUp();
    void mouseEnter();
    void mouseLeave();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Current picture := picture, size to it, repaint.
    void ShowState(const QPixmap& picture);
    // The size of the picture that paint draws.
    void ApplySize();
    bool ShowsDisabledPicture() const { return !isEnabled() && !disabled_.isNull(); }

    QPixmap bitmap_;
    QPixmap over_;
    QPixmap down_;
    QPixmap up_;
    QPixmap disabled_;
    QPixmap current_;
    bool showHint_ = true;
    bool pressed_ = false;  // the left button went down on the button
};
