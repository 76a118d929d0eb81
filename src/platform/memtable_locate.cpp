#include "platform/memtable_impl.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

// Locate, find and sort of MemTable.

bool MemTable::Locate(const QString& fields, const QVariantList& values, int options)
{
    d->requireActive();
    Post();
    const int row = d->find(fields, values, options);
    if (row < 0)
        return false;
    const int before = d->cur;
    d->cur = row;
    d->eof = d->bof = false;
    currentMoved(before);
    return true;
}

int MemTable::Find(const QString& fields, const QVariantList& values, int options) const
{
    return d->find(fields, values, options);
}

void MemTable::SortOn(const QString& fields) { SortOn(fields, 0); }

void MemTable::SortOn(const QString& fields, int options)
{
    d->requireActive();
    Post();
    const std::vector<int> fl = d->fieldList(fields);
    const Qt::CaseSensitivity textCase = (options & soCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const int direction = (options & soDescending) ? -1 : 1;
    std::vector<int> perm(size_t(d->rows));
    std::iota(perm.begin(), perm.end(), 0);
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        for (int c : fl) {
            const int r = d->compare(c, a, b, textCase) * direction;
            if (r != 0)
                return r < 0;
        }
        return false;
    });
    reordered(perm);
}

void MemTable::Reorder(std::span<const int> order)
{
    d->requireActive();
    Post();
    std::vector<uint8_t> seen(size_t(d->rows), 0);
    bool ok = order.size() == size_t(d->rows);
    for (size_t i = 0; i < order.size() && ok; ++i) {
        ok = order[i] >= 0 && order[i] < d->rows && !seen[size_t(order[i])];
        if (ok)
            seen[size_t(order[i])] = 1;
    }
    if (!ok)
        fail(QStringLiteral("The new order of %1 does not name every row once").arg(d->where()));
    reordered(std::vector<int>(order.begin(), order.end()));
}

void MemTable::reordered(const std::vector<int>& perm)
{
    d->detach(false);
    for (Column& c : d->cols)
        c.permute(perm);
    ++d->structVersion;
    d->toFirst();
    NotifyReset();
}

