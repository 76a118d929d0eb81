#include "shell/data/dbcommon.h"

#include <ibase.h>

#include <algorithm>
#include <initializer_list>

// ------------------------------------------------------------ DatabaseError

bool DatabaseError::HasCode(long code) const
{
    return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

namespace {

bool HasAnyCode(const std::exception& error, std::initializer_list<long> codes)
{
    const auto* e = dynamic_cast<const DatabaseError*>(&error);
    return e && std::any_of(codes.begin(), codes.end(), [e](long code) { return e->HasCode(code); });
}

}  // namespace

bool IsLockConflict(const std::exception& error)
{
    return HasAnyCode(error, {isc_deadlock, isc_update_conflict, isc_lock_conflict, isc_lock_timeout});
}

bool IsUniqueKeyViolation(const std::exception& error)
{
    return HasAnyCode(error, {isc_unique_key_violation, isc_no_dup});
}

namespace {

bool IsIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

}  // namespace

PositionalSql ToPositionalSql(const QString& text)
{
    PositionalSql out;
    // Every ":NAME" outside quotes and comments becomes "?".
    out.text.reserve(text.size());
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            const int start = i;
            ++i;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {  // doubled quote inside a literal
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            out.text += QStringView(text).mid(start, i - start + 1);
            continue;
        }
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            const int start = i;
            while (i < n && text[i] != u'\n')
                ++i;
            out.text += QStringView(text).mid(start, i - start);
            if (i < n)
                out.text += text[i];
            continue;
        }
        if (c == u':' && i + 1 < n && IsIdentChar(text[i + 1]) && !text[i + 1].isDigit() &&
            (i == 0 || !IsIdentChar(text[i - 1]))) {
            int j = i + 1;
            while (j < n && IsIdentChar(text[j]))
                ++j;
            const QString name = text.mid(i + 1, j - i - 1).toUpper();
            int idx = static_cast<int>(out.names.indexOf(name));
            if (idx < 0) {
                idx = static_cast<int>(out.names.size());
                out.names.append(name);
            }
            out.occurrences.push_back(idx);
            out.text += u'?';
            i = j - 1;
            continue;
        }
        out.text += c;
    }
    return out;
}
