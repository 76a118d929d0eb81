#pragma once
// What the client-API layer (fbbulk.h) and the queries built on it
// (ibquery.h) share: the database's error type and the turning of ":NAME"
// parameters into the engine's "?" markers.
#include <QString>
#include <QStringList>

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// An error reported by the database (or by misuse of a query); the text is
// the database's own message.  An error of the engine also carries the
// error codes of its status vector, in order, so that a caller can tell a
// lock conflict from other failures without reading the text.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    DatabaseError(const std::string& text, std::vector<long> codes)
        : std::runtime_error(text), codes_(std::move(codes)) {}

    const std::vector<long>& Codes() const { return codes_; }
    bool HasCode(long code) const;

private:
    std::vector<long> codes_;
};

// Whether another transaction held rows the failed statement needed: an
// update conflict, a lock conflict or a lock time-out.
bool IsLockConflict(const std::exception& error);
// Whether the failed statement met a primary or unique key value that is
// taken.  A write that waited in vain for another transaction's new row of
// that key fails this way too: the engine gives no other sign of the wait.
bool IsUniqueKeyViolation(const std::exception& error);

// A statement text with its ":NAME" parameters (outside quotes and
// comments) turned into "?" markers: the distinct names, upper-cased, in
// order of first appearance, and per marker the index of its name.
struct PositionalSql {
    QString text;
    QStringList names;
    std::vector<int> occurrences;
};
PositionalSql ToPositionalSql(const QString& sql);
