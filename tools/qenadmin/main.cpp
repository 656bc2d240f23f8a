// qenadmin: the alliance operator's command-line tool.
#include "tools/qenadmin/Command.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace qenadmin {

namespace {
QList<Command> &Registry()
{
    static QList<Command> commands;
    return commands;
}

void PrintUsage()
{
    QTextStream err(stderr);
    err << "usage: qenadmin COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const Command &c : Commands())
        err << "  " << (c.name + QLatin1Char(' ') + c.usage).leftJustified(40) << c.summary << '\n';
}
} // namespace

Register::Register(Command command)
{
    Registry().append(std::move(command));
}

const QList<Command> &Commands()
{
    return Registry();
}

int Fail(const QString &message)
{
    QTextStream(stderr) << "qenadmin: " << message << '\n';
    return kUsageError;
}

void Print(const QString &text)
{
    QTextStream(stdout) << text << '\n';
}

} // namespace qenadmin

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("qen"));
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        qenadmin::PrintUsage();
        return args.isEmpty() ? qenadmin::kUsageError : 0;
    }
    const QString name = args.takeFirst();
    for (const qenadmin::Command &c : qenadmin::Commands())
        if (c.name == name) {
            try {
                return c.run(args);
            } catch (const std::exception &e) {
                QTextStream(stderr) << "qenadmin: " << QString::fromUtf8(e.what()) << '\n';
                return 1;
            }
        }
    qenadmin::PrintUsage();
    return qenadmin::Fail(QStringLiteral("unknown command: %1").arg(name));
}
