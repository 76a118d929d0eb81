#pragma once
// The choosing logic of the driver, track and vehicle profile choosers,
// apart from their windows: the ticks kept in the data module's shared
// table (memWybraniKierowcy / memwybraneTory: key, wybrany), the result of
// OK, Cancel and a double click, and the incremental search by name.
#include <QString>

#include <optional>

class CatalogueList;
class MemTable;

// Ticks of one chooser showing in a shared table with the fields
// (key, "wybrany").  A True row is a ticked entry, a False row one that was
// ticked and then unticked in the same showing.
class TickTable {
public:
    // keyField: "id_kierowcy" or "id_toru".
    TickTable(MemTable& table, QString keyField);

    MemTable& Table() const { return *table_; }
    const QString& KeyField() const { return key_; }

    // Empties the table (close and reopen).
    void Reset();
    // A click on the tick of id: from the first row, locate id exactly; not
    // found: append (id, True); found: negate wybrany.  Returns wybrany of
    // that row afterwards; nothing changes and nullopt comes back for an id
    // below 1.
    std::optional<bool> Toggle(int id);
    // Whether id has a row with wybrany True.
    bool IsTicked(int id) const;
    bool IsEmpty() const;
    // Appends (id, True).
    void AppendTicked(int id);
    // From the first row, deletes every row whose wybrany is False.
    void PruneUnticked();

private:
    MemTable* table_;
    QString key_;
};

// The choice of one chooser showing over its list (and, for the driver and
// track choosers, their tick table).
class ChooserChoice {
public:
    // ticks may be null (the vehicle profile chooser has none).
    ChooserChoice(CatalogueList& list, TickTable* ticks);

    // Opening: empties the ticks, closes and opens the list, result -1.
    // Database errors of the list reach the caller.
    void Open();

    int Result() const { return result_; }

    // The tick of the current row (see TickTable::Toggle).
    std::optional<bool> TickCurrent();
    // OK: result := the current row's id (0 on an empty list); then the rows
    // with wybrany False are deleted from the ticks.
    void Ok();
    // Cancel: result := -1; the ticks keep every row of this showing.
    void Cancel();
    // A double click: with no ticks at all and a current id above 0 the
    // current row is ticked; then OK.
    void DoubleClick();

private:
    CatalogueList* list_;
    TickTable* ticks_;
    int result_ = -1;
};

// The incremental search: a text that is blank after trimming does
// nothing (false); otherwise the first row becomes current and the first row
// whose field starts with the text as typed, without case, is located.
// Without a match the first row stays current.  True when a row matched.
bool SearchList(CatalogueList& list, const QString& field, const QString& text);
