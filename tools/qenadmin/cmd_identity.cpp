// encode-password and host-id: what an operator needs to reset a password or pre-register a
// computer by hand.
#include "foundation/untPublic.h"
#include "tools/qenadmin/Command.h"

namespace {

const qenadmin::Register encodePassword({
    QStringLiteral("encode-password"),
    QStringLiteral("TEXT"),
    QStringLiteral("print the stored password form of TEXT"),
    [](const QStringList &args) {
        if (args.size() != 1)
            return qenadmin::Fail(QStringLiteral("encode-password takes exactly one argument: TEXT"));
        if (!GbkCanHold(args.first()))
            return qenadmin::Fail(QStringLiteral("the password holds characters that GBK cannot encode"));
        qenadmin::Print(EncodePassword(args.first()));
        return 0;
    },
});

const qenadmin::Register hostId({
    QStringLiteral("host-id"),
    QString(),
    QStringLiteral("print this computer's identity"),
    [](const QStringList &args) {
        if (!args.isEmpty()) return qenadmin::Fail(QStringLiteral("host-id takes no arguments"));
        qenadmin::Print(HostIdentity());
        return 0;
    },
});

} // namespace
