#include "foundation/untPublic.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSysInfo>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {
QString Hex8(quint32 v)
{
    return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}
} // namespace

QString HostIdentity()
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return Hex8(edx) + Hex8(eax);
#endif
    // No CPUID (another architecture): the first 8 bytes of SHA-256 over the machine's
    // stable identity (systemd's machine id, else the host name), as two 8-digit halves so the
    // form stays 16 capital hex digits. It survives reboots but not a reinstalled system.
    QByteArray id;
    QFile file(QStringLiteral("/etc/machine-id"));
    if (file.open(QIODevice::ReadOnly)) id = file.readAll().trimmed();
    if (id.isEmpty()) id = QSysInfo::machineUniqueId();
    if (id.isEmpty()) id = QSysInfo::machineHostName().toUtf8();
    const QByteArray digest = QCryptographicHash::hash(id, QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.left(8).toHex()).toUpper();
}
