#include "shell/data/ubazy.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QSqlError>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>

TDM* DM = nullptr;

namespace {

QAtomicInt g_instance;

QString ConnectionPrefix()
{
    return QStringLiteral("pitrova_%1_").arg(g_instance.fetchAndAddRelaxed(1));
}

std::vector<FieldDef> Fields(std::initializer_list<FieldDef> list) { return list; }

FieldDef Int(const char* name) { return {QString::fromLatin1(name), FieldType::Integer}; }
FieldDef Flt(const char* name) { return {QString::fromLatin1(name), FieldType::Float}; }
FieldDef Str(const char* name, int size) { return {QString::fromLatin1(name), FieldType::String, size}; }
FieldDef Dtm(const char* name) { return {QString::fromLatin1(name), FieldType::DateTime}; }
FieldDef Bool(const char* name, int tag = 0)
{
    return {QString::fromLatin1(name), FieldType::Boolean, 0, tag};
}

// Whether something accepts TCP connections on the loopback port, waiting at
// most timeoutMs.  A refused connection answers within a millisecond.
bool ServerAnswers(quint16 port, int timeoutMs)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        ok = true;
    } else if (errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
            ok = err == 0;
        }
    }
    ::close(fd);
    return ok;
}

struct ConnectionTarget {
    QString host;  // empty: embedded
    quint16 port = 3050;
    QString path;
    bool localhost = false;
};

// "path" | "host:path" | "host/port:path".  A single letter before the
// colon is a drive letter, and a path starting with the separator has no
// host part.
ConnectionTarget ParseConnectionString(const QString& name)
{
    ConnectionTarget t;
    const qsizetype colon = name.indexOf(u':');
    if (colon <= 1 || name.startsWith(u'/')) {
        t.path = name;
        return t;
    }
    QString host = name.left(colon);
    t.path = name.mid(colon + 1);
    const qsizetype slash = host.indexOf(u'/');
    if (slash >= 0) {
        bool ok = false;
        const uint port = host.mid(slash + 1).toUInt(&ok);
        if (ok && port > 0 && port < 65536)
            t.port = static_cast<quint16>(port);
        host = host.left(slash);
    }
    t.host = host;
    t.localhost = host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
                  host == QLatin1String("127.0.0.1");
    return t;
}

// Device and inode of a file; nothing when it cannot be looked at.
std::optional<std::pair<quint64, quint64>> FileIdOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::make_pair(static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino));
}

}  // namespace

TDM::TDM() : TDM(ConnectionPrefix()) {}

TDM::TDM(const QString& connectionPrefix)
    : TransBrowse(connectionPrefix + QStringLiteral("browse"), TTransaction::Mode::ReadOnly),
      TransEdit(connectionPrefix + QStringLiteral("edit")),
      memWybraneSesje(QStringLiteral("memWybraneSesje"), Fields({Int("id_nag")})),
      memPrzejazdy(QStringLiteral("memPrzejazdy"),
                   Fields({Str("nr_seryjny", 30), Str("kierowca", 100), Str("tor", 100), Dtm("data"),
                           Int("nr_wyscigu"), Int("ile_okrazen"), Bool("wybrany", 1), Str("plik", 100),
                           Int("nr_pliku"), Int("numer_wpisu"), Bool("jestwbazie")})),
      memGPS(QStringLiteral("memGPS"),
             Fields({Int("typ_probki"), Int("obroty"), Int("accx"), Int("accy"), Int("gpsx"), Int("gpsy"),
                     Int("gyro1"), Int("gyro2"), Int("sektor"), Flt("temp1"), Flt("temp2"), Int("data"),
                     Str("datas", 15), Int("xobr"), Int("yobr"), Int("okrazenie"), Int("id_nag"),
                     Int("gpsx_wyl"), Int("gpsy_wyl"), Int("predkosc_gps"), Bool("brakOkrazenia")})),
      memWybraniKierowcy(QStringLiteral("memWybraniKierowcy"),
                         Fields({Int("id_kierowcy"), Bool("wybrany")})),
      memwybraneTory(QStringLiteral("memwybraneTory"), Fields({Int("id_toru"), Bool("wybrany")})),
      memToryImport(QStringLiteral("memToryImport"),
                    // plik holds any file name whole (255 is the longest a folder takes);
                    // digest is the listed file's SHA-256, kept out of the check list.
                    Fields({Int("id_toru"), Str("nazwaToru", 100), Str("plik", 255), Bool("wybrany", 1),
                            Bool("jestjuzwbazie", 2), Str("digest", 64)})),
      memWybraneDni(QStringLiteral("memWybraneDni"), Fields({Dtm("dzien")})),
      memMinMax(QStringLiteral("memMinMax"),
                Fields({Int("nr_nag"), Flt("obroty_min"), Flt("obroty_max"), Flt("temp1_min"),
                        Flt("temp1_max"), Flt("accx_min"), Flt("accx_max"), Flt("accy_min"),
                        Flt("accy_max"), Flt("temp2_min"), Flt("temp2_max"), Flt("predkosc_gps_min"),
                        Flt("predkosc_gps_max")}))
{
    // Millions of samples: narrow integer arrays, one value for the columns
    // every sample shares (datas, xobr, yobr, brakOkrazenia).
    memGPS.SetCompact(true);
}

TDM::~TDM()
{
    closeConnections();
    QSqlDatabase::removeDatabase(TransBrowse.ConnectionName());
    QSqlDatabase::removeDatabase(TransEdit.ConnectionName());
    if (DM == this)
        DM = nullptr;
}

bool TDM::Connected() const { return connected_; }

void TDM::closeConnections()
{
    for (TTransaction* t : {&TransBrowse, &TransEdit}) {
        if (!QSqlDatabase::contains(t->ConnectionName()))
            continue;
        QSqlDatabase db = QSqlDatabase::database(t->ConnectionName(), false);
        if (db.isOpen()) {
            t->Rollback();
            db.close();
        }
        t->Reset();
    }
    connected_ = false;
    attachedFile_.reset();
}

bool TDM::openConnections(const QString& path, const QString& host)
{
    for (TTransaction* t : {&TransBrowse, &TransEdit}) {
        QSqlDatabase db = QSqlDatabase::contains(t->ConnectionName())
                              ? QSqlDatabase::database(t->ConnectionName(), false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), t->ConnectionName());
        if (!db.isValid()) {
            lastOpenError_ = QStringLiteral("The Firebird driver (QIBASE) is not available");
            closeConnections();
            return false;
        }
        // Firebird's own "host:path" form; an empty host is the embedded engine.
        db.setHostName(QString());
        db.setDatabaseName(host.isEmpty() ? path : host + u':' + path);
        db.setUserName(QString::fromLatin1(kDbUser));
        db.setPassword(QString::fromLatin1(kDbPassword));
        if (!db.open()) {
            const QSqlError e = db.lastError();
            lastOpenError_ = e.databaseText().isEmpty() ? e.text() : e.databaseText();
            if (lastOpenError_.trimmed().isEmpty())
                lastOpenError_ = QStringLiteral("Cannot open database %1").arg(db.databaseName());
            closeConnections();
            return false;
        }
    }
    connected_ = true;
    return true;
}

bool TDM::OpenDatabase(const QString& name)
{
    lastOpenError_.clear();
    closeConnections();
    const ConnectionTarget target = ParseConnectionString(name.trimmed());
    if (target.path.isEmpty()) {
        lastOpenError_ = QStringLiteral("No database file given");
        return false;
    }
    QString host = target.host;
    if (target.localhost && !ServerAnswers(target.port, 500))
        host.clear();  // no server on this machine: the embedded engine opens the file
    else if (!host.isEmpty() && target.port != 3050)
        host += QStringLiteral("/%1").arg(target.port);
    if (!openConnections(target.path, host))
        return false;
    databaseName_ = host.isEmpty() ? target.path : host + u':' + target.path;
    if (host.isEmpty() || target.localhost) {
        if (const auto id = FileIdOf(target.path))
            attachedFile_ = FileIdentity{target.path, id->first, id->second};
    }
    return true;
}

bool TDM::AttachedFileInPlace() const
{
    if (!connected_ || !attachedFile_)
        return true;
    const auto id = FileIdOf(attachedFile_->path);
    return id && id->first == attachedFile_->device && id->second == attachedFile_->inode;
}

void TDM::CheckAttachedFile() const
{
    if (!AttachedFileInPlace())
        throw DatabaseFileGone(QStringLiteral("the database file %1 is gone: it was deleted or replaced while the "
                                              "program was running, and nothing more can be stored in it.")
                                   .arg(QDir::toNativeSeparators(attachedFile_->path))
                                   .toStdString());
}

bool TDM::ExecEdit(TIBQuery& query)
{
    TTransaction& t = query.Transaction();
    if (!t.Active())
        t.StartTransaction();  // a failure to start reaches the caller
    try {
        query.ExecSQL();
        if (t.Active())
            t.Commit();
        lastEditError_.clear();
        return true;
    } catch (const std::exception& e) {
        lastEditError_ = QString::fromUtf8(e.what());
        t.Rollback();
        return false;
    }
}

bool TDM::ExecEditAll(const std::function<void()>& work)
{
    if (!TransEdit.Active())
        TransEdit.StartTransaction();  // a failure to start reaches the caller
    try {
        work();
        if (TransEdit.Active())
            TransEdit.Commit();
        lastEditError_.clear();
        return true;
    } catch (const std::exception& e) {
        lastEditError_ = QString::fromUtf8(e.what());
        TransEdit.Rollback();
        return false;
    }
}

int TDM::NextPositionId()
{
    return NextId(QStringLiteral("select max(ID_POZYCJI) as maks from POZYCJE"));
}

int TDM::NextId(const QString& maxStatement)
{
    TIBQuery quniwers(TransBrowse);
    quniwers.SetSQL(maxStatement);
    quniwers.Open();
    const int next = quniwers.FieldByName(QStringLiteral("maks")).AsInteger() + 1;  // NULL reads 0
    quniwers.Close();
    return next;
}

void EnsureFirebirdLockFolder()
{
    if (::geteuid() == 0 || !qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        return;
    // One folder per user for every program that opens the database files,
    // so that all of them see each other's locks.
    const QString dir = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::geteuid());
    QDir().mkpath(dir);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
}
