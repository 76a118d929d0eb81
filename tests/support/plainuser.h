#pragma once
// Runs a piece of a test with the rights of an ordinary user, for cases
// that depend on folder permissions: root may create files anywhere, so as
// root the piece runs in a child process that has given up root (user and
// group "nobody"); otherwise it runs in place.
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

namespace plainuser {

inline constexpr uid_t kNobody = 65534;

// The result of work, or nothing when the rights could not be given up.
inline std::optional<bool> Run(const std::function<bool()>& work)
{
    if (::geteuid() != 0)
        return work();
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// Sets a file's or folder's permission bits (octal, as chmod takes them).
inline bool SetMode(const QString& path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Writes a file that everyone may write inside a folder where no new file
// may be made: makes it so under base (the test's temporary folder), runs
// write (which throws on failure) as an ordinary user and gives the folder
// back its rights.  Whether the write succeeded, or nothing when the rights
// could not be given up.
inline std::optional<bool> WriteInReadOnlyFolder(const QString& base, const QString& folder, const QString& file,
                                                 const std::function<void()>& write)
{
    if (!SetMode(base, 0755) || !SetMode(file, 0666) || !SetMode(folder, 0555))
        return std::nullopt;
    const std::optional<bool> written = Run([&] {
        try {
            write();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    });
    SetMode(folder, 0755);
    return written;
}

}  // namespace plainuser
