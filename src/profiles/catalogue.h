#pragma once
// What the three catalogues (drivers, tracks, vehicle set-up profiles) put
// into their choosers and list windows: list statements, key fields, table
// columns, the delete questions and the soft delete itself.
#include <QString>

#include <functional>
#include <vector>

#include "profiles/cataloguelist.h"

enum class CatalogueKind { Drivers, Tracks, VehicleProfiles };

namespace catalogue {

// "select * from KIEROWCY where usuniety=0 order by nazwisko", ...
QString ListSQL(CatalogueKind kind);
// ID_KIEROWCY, ID_TORU, ID_POJAZDU.
QString IdField(CatalogueKind kind);
// A list of the catalogue with the display formats of its fields.
CatalogueList* NewList(CatalogueKind kind, QObject* parent);

// Table columns in order.  withSelection: the choosers' "sel." column
// (tag 1) in front; the track lists' "WWW" column carries tag 2.
std::vector<CatalogueColumn> TableColumns(CatalogueKind kind, bool withSelection);

// The name field the track search locates on.
inline constexpr const char* kSearchField = "NAZWA";

// "Do you want to delete selected driver?", ...
QString DeleteQuestion(CatalogueKind kind);
// The statements of a delete, in order, for the row id.
QStringList DeleteStatements(CatalogueKind kind, int id);

enum class DeleteResult {
    NoRow,     // the id is not above 0: nothing asked
    Declined,  // the answer was not Yes: nothing written
    Deleted,   // every statement ran and was committed
    Failed     // a statement failed: everything rolled back, the message shown
};

struct DeleteCallbacks {
    // The Yes/No question; true for Yes.
    std::function<bool(const QString& question)> confirm;
    // A plain message box.
    std::function<void(const QString& text)> showMessage;
};

// Soft delete of one catalogue row: asks the kind's question and then runs
// its statements in one transaction of the write transaction of the global
// data module, so a driver never loses its serial numbers without being
// deleted.  A failure shows "Error deleting record" with the database's
// message and leaves the database as it was.
DeleteResult DeleteRow(CatalogueKind kind, int id, const DeleteCallbacks& callbacks);

// The first line of the failure message.
inline constexpr const char* kDeleteFailedText = "Error deleting record";

// The write of a catalogue editor, as one transaction of the write
// transaction of the global data module: all or nothing.  id below 1 saves
// a new row, whose id is the table's largest plus one (maxStatement, a
// "select max(...) as maks from ..." text), never below firstId.
// write(rowId, isNew) runs the statements on TransEdit with ExecSQL.
// Returns the row's id, or -1 when nothing was written; error then holds
// the database's message.
int SaveRow(int id, const QString& maxStatement, int firstId,
            const std::function<void(int rowId, bool isNew)>& write, QString* error);

}  // namespace catalogue
