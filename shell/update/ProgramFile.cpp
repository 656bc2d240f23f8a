#include "shell/update/ProgramFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool Fail(QString *error, const QString &why)
{
    if (error) *error = why;
    return false;
}

fs::path ToPath(const QString &path)
{
    return fs::path(path.toStdU16String());
}

QString Describe(const std::error_code &ec)
{
    return QString::fromLocal8Bit(ec.message().c_str());
}

// Makes a rename inside the directory durable (POSIX); harmless where not needed.
void SyncDirectoryOf(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

// The backup holds exactly the current program: a hard link where the file system has them (no
// copy, and the running program's file stays intact), otherwise a copy written beside and renamed.
bool KeepBackup(const QString &programPath, QString *error)
{
    const fs::path program = ToPath(programPath);
    const fs::path backup = ToPath(BackupPath(programPath));
    std::error_code ec;
    fs::remove(backup, ec);
    if (ec) return Fail(error, QStringLiteral("cannot remove the old backup: %1").arg(Describe(ec)));
    fs::create_hard_link(program, backup, ec);
    if (!ec) return true;

    const fs::path copy = ToPath(BackupPath(programPath) + QStringLiteral(".part"));
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(copy, backup, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(copy, ignored);
        return Fail(error, QStringLiteral("cannot keep the previous program: %1").arg(Describe(ec)));
    }
    return true;
}

} // namespace

QString StagingPath(const QString &programPath)
{
    return programPath + QStringLiteral(".part");
}

QString BackupPath(const QString &programPath)
{
    return programPath + QStringLiteral(".old");
}

bool SyncFile(int fd)
{
#ifdef Q_OS_UNIX
    return ::fsync(fd) == 0;
#else
    Q_UNUSED(fd);
    return true;
#endif
}

bool InstallStagedProgram(const QString &programPath, QString *error)
{
    const QString staged = StagingPath(programPath);
    auto discard = [&](const QString &why) {
        QFile::remove(staged);
        return Fail(error, why);
    };
    if (!QFileInfo::exists(staged)) return Fail(error, QStringLiteral("no staged program"));

    const bool hadProgram = QFileInfo::exists(programPath);
    const QFile::Permissions permissions =
        hadProgram ? QFile::permissions(programPath)
                   : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                         QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(staged, permissions))
        return discard(QStringLiteral("cannot set the new program's permissions"));

    if (hadProgram && !KeepBackup(programPath, error)) {
        QFile::remove(staged);
        return false;
    }

    std::error_code ec;
#ifdef Q_OS_WIN
    // A running executable can be renamed but not overwritten: move it aside first (the backup
    // above is a copy there), then move the new one in, and put the old one back if that fails.
    const fs::path aside = ToPath(programPath + QStringLiteral(".running"));
    fs::remove(aside, ec);
    if (hadProgram) fs::rename(ToPath(programPath), aside, ec);
    if (!ec) {
        fs::rename(ToPath(staged), ToPath(programPath), ec);
        if (ec && hadProgram) {
            std::error_code ignored;
            fs::rename(aside, ToPath(programPath), ignored);
        }
    }
#else
    // rename(2) replaces the program in one step; the running process keeps its own file open.
    fs::rename(ToPath(staged), ToPath(programPath), ec);
#endif
    if (ec) return discard(QStringLiteral("cannot replace the program: %1").arg(Describe(ec)));
    SyncDirectoryOf(programPath);
    return true;
}

bool RollbackProgram(const QString &programPath, QString *error)
{
    const QString backup = BackupPath(programPath);
    if (!QFileInfo::exists(backup)) return Fail(error, QStringLiteral("no previous program kept"));

    // Swap through a third name so each step is one rename and the program path is never empty.
    const QString current = programPath + QStringLiteral(".rollback");
    QFile::remove(current);
    std::error_code ec;
    fs::create_hard_link(ToPath(programPath), ToPath(current), ec);
    if (ec) fs::copy_file(ToPath(programPath), ToPath(current), fs::copy_options::overwrite_existing, ec);
    if (ec) return Fail(error, QStringLiteral("cannot keep the current program: %1").arg(Describe(ec)));
    fs::rename(ToPath(backup), ToPath(programPath), ec);
    if (ec) {
        QFile::remove(current);
        return Fail(error, QStringLiteral("cannot restore the previous program: %1").arg(Describe(ec)));
    }
    fs::rename(ToPath(current), ToPath(backup), ec);
    SyncDirectoryOf(programPath);
    return true;
}
