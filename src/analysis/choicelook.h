#pragma once
// The look the session choosers share: black panels above and below the
// grid closed off by an accent line, the 40 x 40 OK and Cancel picture
// buttons, flat panel buttons and the grid's colours and font.
#include <QString>

#include "controls/artwork.h"

class DBGrid;
class MemTable;
class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;
class TImageButton;

namespace choicelook {

// A black panel of the given height with the accent line along its grid
// side (bottom for a top panel, top for a bottom panel); its content goes
// into the returned layout.
QWidget* BlackPanel(QWidget* parent, int height, bool top, QBoxLayout** content);
// A picture button of its pictures' size.
TImageButton* PictureButton(QWidget* parent, artwork::ButtonId id, const QString& name, const QString& tip);
// A flat text button for the black panels.
QPushButton* PanelButton(const QString& text, QWidget* parent);
// Black grid, white titles on black, cells in the given colour, the tick
// picture in the check columns.
void SetGridLook(DBGrid& grid, const QColor& text);

// The layout both session choosers share: a black top panel (its content
// layout for the window's buttons), the grid over the table and a black
// bottom panel with OK and Cancel at its left; the dialog 1305 x 675.
struct ChooserParts {
    QWidget* top = nullptr;
    QBoxLayout* topContent = nullptr;
    DBGrid* grid = nullptr;
    QWidget* bottom = nullptr;
    TImageButton* ok = nullptr;
    TImageButton* cancel = nullptr;
};
ChooserParts BuildChooser(QDialog& dialog, MemTable& table, const QColor& text);

}  // namespace choicelook
