// Renders every drawn picture of the program onto PNG contact sheets, with
// names and sizes, plus mock-ups of the places they are used (the main
// window's top panel, the splash with its version label, the project
// chooser), so the artwork can be judged as a whole.
//
//   QT_QPA_PLATFORM=offscreen artsheet [output folder]   (default /tmp/artsheets)
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>
#include <vector>

#include "controls/artwork.h"

using namespace artwork;

namespace {

const QColor kSheet(0x0b, 0x0b, 0x0c);
const QColor kCaption(0xc8, 0xcc, 0xd2);
const QColor kSubtle(0x7a, 0x80, 0x88);

QFont Font(int px, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

QString SizeText(QSize s)
{
    return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
}

void Label(QPainter& p, int x, int y, const QString& name, const QString& detail = {})
{
    p.setFont(Font(12, true));
    p.setPen(kCaption);
    p.drawText(x, y, name);
    if (!detail.isEmpty()) {
        const int w = p.fontMetrics().horizontalAdvance(name);
        p.setFont(Font(11));
        p.setPen(kSubtle);
        p.drawText(x + w + 8, y, detail);
    }
}

void Title(QPainter& p, int x, int y, const QString& text)
{
    p.setFont(Font(18, true));
    p.setPen(Qt::white);
    p.drawText(x, y, text);
}

// A white bold caption centred over a tab, as the main window's labels draw it.
void TabCaption(QPainter& p, const QRect& tab, const QString& text)
{
    QFont f = Font(14, true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(tab.adjusted(0, 7, 0, 0), Qt::AlignCenter, text);
}

// The main window's top panel with one tab selected and that tab's row.
void TopPanel(QPainter& p, int x0, int y0, int width, int tab)
{
    p.drawPixmap(x0, y0, Banner(width));
    p.drawPixmap(x0, y0 + 52, Strip(width, 76));
    p.drawPixmap(x0 + 4, y0, Art(ArtId::Logo));
    static const char* captions[] = {"Project", "Profiles", "Analysis", "Communication"};
    for (int i = 0; i < 4; ++i) {
        const QRect r(x0 + 200 + i * 184, y0, 182, 53);
        p.drawPixmap(r.topLeft(), Art(i + 1 == tab ? ArtId::TabSelected : ArtId::TabNormal));
        TabCaption(p, r, QString::fromLatin1(captions[i]));
    }
    const ButtonArt& tile = ButtonPictures(ButtonId::Tile);
    const ButtonArt& cascade = ButtonPictures(ButtonId::Cascade);
    const int tileLeft = width - tile.normal.width() - 2;
    p.drawPixmap(x0 + tileLeft, y0 + 6, tile.normal);
    p.drawPixmap(x0 + tileLeft - cascade.normal.width(), y0 + 6, cascade.over);

    std::vector<QPixmap> row;
    switch (tab) {
    case 1:
        row = {ButtonPictures(ButtonId::NewProject).normal, ButtonPictures(ButtonId::OpenProject).over,
               ButtonPictures(ButtonId::SaveProject).normal};
        break;
    case 2:
        row = {ButtonPictures(ButtonId::Drivers).normal, ButtonPictures(ButtonId::Tracks).normal,
               ButtonPictures(ButtonId::Vehicle).down};
        break;
    case 3:
        row = {ButtonPictures(ButtonId::Template).normal, Art(ArtId::LapTimesOn), Art(ArtId::WholeSessionOff),
               Art(ArtId::LapOverlayOn)};
        break;
    default:
        row = {ButtonPictures(ButtonId::ReadKey).normal, ButtonPictures(ButtonId::SaveToKey).disabled};
        break;
    }
    int left = 20;
    for (const QPixmap& pm : row) {
        p.drawPixmap(x0 + left, y0 + 68, pm);
        left += pm.width() + 20;
    }
}

QImage MainWindowSheet()
{
    const int width = 1280;
    QImage img(width + 40, 4 * 148 + 300, QImage::Format_RGB32);
    img.fill(kSheet);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    Title(p, 20, 30, QStringLiteral("Main window top panel (banner 52 + strip 76), one panel per selected tab"));
    int y = 48;
    for (int tab = 1; tab <= 4; ++tab) {
        TopPanel(p, 20, y, width, tab);
        y += 148;
    }
    Label(p, 20, y + 4, QStringLiteral("Workspace"), QStringLiteral("client area behind the child windows"));
    p.drawPixmap(20, y + 14, Workspace(QSize(width, 220)));
    return img;
}

QImage ButtonsSheet()
{
    const int count = int(ButtonId::Count);
    int height = 70;
    for (int i = 0; i < count; ++i)
        height += ButtonSize(ButtonId(i)).height() + 40;
    QImage img(820, height, QImage::Format_RGB32);
    img.fill(kSheet);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    Title(p, 20, 30, QStringLiteral("Image buttons: normal, over, down, up, disabled"));
    static const char* states[] = {"normal", "over", "down", "up", "disabled"};
    int y = 60;
    for (int i = 0; i < count; ++i) {
        const auto id = ButtonId(i);
        const ButtonArt& b = ButtonPictures(id);
        Label(p, 20, y + 14, ButtonName(id), SizeText(ButtonSize(id)));
        const QPixmap* pics[] = {&b.normal, &b.over, &b.down, &b.up, &b.disabled};
        for (int s = 0; s < 5; ++s) {
            const int x = 240 + s * 115;
            p.drawPixmap(x, y + 22, *pics[s]);
            if (i == 0) {
                p.setFont(Font(11));
                p.setPen(kSubtle);
                p.drawText(x, y + 4, QString::fromLatin1(states[s]));
            }
        }
        y += ButtonSize(id).height() + 40;
    }
    return img;
}

QImage PicturesSheet()
{
    QImage img(1240, 1180, QImage::Format_RGB32);
    img.fill(kSheet);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    Title(p, 20, 30, QStringLiteral("Pictures"));

    // splash with the version label the splash window puts at its lower right
    Label(p, 20, 62, QStringLiteral("Splash"), SizeText(ArtSize(ArtId::Splash)) + QStringLiteral(", with a \"v 1.00\" label"));
    const QPoint splashAt(20, 72);
    p.drawPixmap(splashAt, Art(ArtId::Splash));
    p.setFont(Font(11));
    p.setPen(QColor(0x9a, 0xa0, 0xa8));
    p.drawText(QRect(splashAt, QSize(568, 328)).adjusted(0, 0, -10, -8), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("v 1.00"));

    // chooser with its buttons and captions in place
    Label(p, 620, 62, QStringLiteral("ChooserBackground"),
          SizeText(ArtSize(ArtId::ChooserBackground)) + QStringLiteral(", buttons and captions placed"));
    const QPoint chooserAt(620, 72);
    p.drawPixmap(chooserAt, Art(ArtId::ChooserBackground));
    const ButtonId chooser[] = {ButtonId::ChooserOpen, ButtonId::ChooserNew, ButtonId::ChooserExit};
    static const char* captions[] = {"Open project", "New project", "Exit"};
    for (int i = 0; i < 3; ++i) {
        const ButtonArt& b = ButtonPictures(chooser[i]);
        p.drawPixmap(ChooserButtonRect(i).topLeft() + chooserAt, i == 1 ? b.over : b.normal);
        p.setFont(Font(13, true));
        p.setPen(QColor(0xe6, 0xe8, 0xeb));
        p.drawText(ChooserCaptionRect(i).translated(chooserAt), Qt::AlignCenter, QString::fromLatin1(captions[i]));
    }

    // everything else at natural size, in rows
    int x = 20, y = 440;
    Label(p, x, y, QStringLiteral("PlaceholderPhoto"), SizeText(ArtSize(ArtId::PlaceholderPhoto)));
    p.drawPixmap(x, y + 10, Art(ArtId::PlaceholderPhoto));
    x = 260;
    Label(p, x, y, QStringLiteral("Logo"), SizeText(ArtSize(ArtId::Logo)) + QStringLiteral(" (on the banner)"));
    p.drawPixmap(x, y + 10, Banner(260));
    p.drawPixmap(x, y + 10, Art(ArtId::Logo));
    p.drawPixmap(x + 300, y + 10, Art(ArtId::Logo));
    Label(p, x + 300, y + 80, QStringLiteral("Logo alone"));

    y = 560;
    for (ArtId id : {ArtId::TabNormal, ArtId::TabSelected}) {
        Label(p, x, y, ArtName(id), SizeText(ArtSize(id)));
        p.drawPixmap(x, y + 10, Art(id));
        x += 220;
    }
    x = 700;
    Label(p, x, y, QStringLiteral("Search"), SizeText(ArtSize(ArtId::Search)));
    p.drawPixmap(x, y + 10, Art(ArtId::Search));
    x = 800;
    for (ArtId id : {ArtId::Tick, ArtId::CheckTicked, ArtId::CheckUnticked}) {
        Label(p, x, y, ArtName(id), SizeText(ArtSize(id)));
        p.drawPixmap(x, y + 14, Art(id));
        // enlarged, to judge the drawing
        p.drawPixmap(QRect(x, y + 40, 29 * 4, 19 * 4), Art(id));
        x += 140;
    }

    y = 700;
    x = 260;
    const ArtId toggles[] = {ArtId::LapTimesOff,     ArtId::LapTimesOn,   ArtId::WholeSessionOff,
                             ArtId::WholeSessionOn,  ArtId::LapOverlayOff, ArtId::LapOverlayOn};
    for (ArtId id : toggles) {
        Label(p, x, y, ArtName(id));
        p.setFont(Font(11));
        p.setPen(kSubtle);
        p.drawText(x, y + 14, SizeText(ArtSize(id)));
        p.drawPixmap(x, y + 22, Art(id));
        p.drawPixmap(QRect(x, y + 80, 96, 90), Art(id));
        x += 150;
    }

    y = 900;
    Label(p, 20, y, QStringLiteral("Banner(800)"), QStringLiteral("800 x 52; Banner(w, h) for the list windows' bars"));
    p.drawPixmap(20, y + 10, Banner(800));
    Label(p, 20, y + 90, QStringLiteral("List window top bar"), QStringLiteral("Banner(700, 52) with add, edit, delete"));
    p.drawPixmap(20, y + 100, Banner(700, 52));
    int bx = 10 + 20;
    for (ButtonId id : {ButtonId::ListAdd, ButtonId::ListEdit, ButtonId::ListDelete}) {
        p.drawPixmap(bx, y + 106, ButtonPictures(id).normal);
        bx += 46;
    }
    p.drawPixmap(QPoint(560, y + 106), Art(ArtId::Search));
    Label(p, 860, y, QStringLiteral("Silver bar"), QStringLiteral("OK and Cancel on the choosers' bottom bar"));
    QRect silver(860, y + 10, 300, 60);
    p.fillRect(silver, QColor(0xc0, 0xc0, 0xc0));
    p.drawPixmap(870, y + 20, ButtonPictures(ButtonId::Ok).normal);
    p.drawPixmap(920, y + 20, ButtonPictures(ButtonId::Cancel).normal);
    return img;
}

// Small pictures enlarged three times, to judge the drawing itself.
QImage ZoomSheet()
{
    const int scale = 3;
    QImage img(1320, 1000, QImage::Format_RGB32);
    img.fill(kSheet);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Title(p, 20, 30, QStringLiteral("Enlarged x3: normal and over"));
    int x = 20, y = 50, rowHeight = 0;
    auto place = [&](const QString& name, const QPixmap& pm) {
        const QSize s = pm.size() * scale;
        if (x + s.width() > img.width() - 20) {
            x = 20;
            y += rowHeight + 30;
            rowHeight = 0;
        }
        Label(p, x, y + 12, name);
        p.drawPixmap(QRect(QPoint(x, y + 18), s), pm);
        x += std::max(s.width(), 110) + 16;
        rowHeight = std::max(rowHeight, s.height() + 18);
    };
    for (int i = 0; i < int(ButtonId::Count); ++i) {
        const auto id = ButtonId(i);
        if (ButtonSize(id).width() > 60)
            continue;
        place(ButtonName(id), ButtonPictures(id).normal);
        place(QStringLiteral("(over)"), ButtonPictures(id).over);
    }
    for (ArtId id : {ArtId::LapTimesOff, ArtId::LapTimesOn, ArtId::WholeSessionOff, ArtId::WholeSessionOn,
                     ArtId::LapOverlayOff, ArtId::LapOverlayOn, ArtId::Tick, ArtId::CheckTicked,
                     ArtId::CheckUnticked, ArtId::Search})
        place(ArtName(id), Art(id));
    return img;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/artsheets");
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "artsheet: cannot create %s\n", qPrintable(out));
        return 1;
    }
    const std::pair<const char*, QImage> sheets[] = {
        {"main-window.png", MainWindowSheet()},
        {"buttons.png", ButtonsSheet()},
        {"pictures.png", PicturesSheet()},
        {"zoom.png", ZoomSheet()},
    };
    int failures = 0;
    for (const auto& [name, image] : sheets) {
        const QString path = QDir(out).filePath(QString::fromLatin1(name));
        if (image.save(path)) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "artsheet: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
