#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// qenadmin's subcommands register themselves with a static Register object.
namespace qenadmin {

// Exit status 2: a wrong call or input that can't be used.
constexpr int kUsageError = 2;

struct Command {
    QString name;
    QString usage;   // arguments, e.g. "TEXT"
    QString summary; // one line
    std::function<int(const QStringList &args)> run;
};

struct Register {
    explicit Register(Command command);
};

const QList<Command> &Commands();

// Prints to standard error and returns kUsageError.
int Fail(const QString &message);
void Print(const QString &text); // a line on standard output

} // namespace qenadmin
