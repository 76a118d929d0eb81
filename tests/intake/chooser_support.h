#pragma once
// Scripted answers to the catalogue choosers (driver, track, vehicle) for
// tests and benchmarks that run the intake windows.
#include <QDialog>
#include <QString>

#include "platform/dialogs.h"
#include "profiles/cataloguewindows.h"

namespace choosertest {

// Answers the next showings of a chooser class with the row of id (OK), or
// Cancel for a negative id.
inline void AnswerChooser(const QString& className, int id)
{
    platform::testing::OnModal(className, [id](QDialog& dialog) {
        auto& chooser = static_cast<CatalogueChooserDialog&>(dialog);
        if (id < 0) {
            chooser.CancelClick();
            return;
        }
        CatalogueList* list = chooser.IBQuery1();
        for (int r = 0; r < list->RowCount(); ++r)
            if (list->IdAt(r) == id)
                list->SetCurrentRow(r);
        chooser.OkClick();
    });
}

}  // namespace choosertest
