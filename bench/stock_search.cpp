// Stock search timings: the statement alone on the embedded engine against the client's whole
// path (build the statement, open the browser's query, fill the grid model), on generated stock
// of 10^4, 10^5 and 10^6 rows. Prints medians and the peak memory; see bench/README.md.
//
//   bench_stock_search [--sizes 10000,100000,1000000] [--runs N] [--data DIR]
//
// Databases are built once (in a child process, so that the peak memory is the search's own)
// and kept in DIR, by default stock-data/ beside the executable.
#include "foundation/db/Connection.h"
#include "foundation/db/DbError.h"
#include "foundation/db/GridModel.h"
#include "foundation/db/Statement.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "server/embedded/EmbeddedServer.h"
#include "stock/StockQuery.h"
#include "stock/untStock.h"
#include "stock/untStockFind.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>

namespace {

QTextStream out(stdout);

constexpr quint32 Seed = 20240501;
const QString SearchingShop = QStringLiteral("A001");

// ---- the engine alone: the SQLite library the Qt driver uses, called directly ----------------

struct Sqlite {
    decltype(&sqlite3_open_v2) open_v2;
    decltype(&sqlite3_close) close;
    decltype(&sqlite3_prepare_v2) prepare_v2;
    decltype(&sqlite3_bind_text) bind_text;
    decltype(&sqlite3_step) step;
    decltype(&sqlite3_column_count) column_count;
    decltype(&sqlite3_column_text) column_text;
    decltype(&sqlite3_finalize) finalize;
    decltype(&sqlite3_errmsg) errmsg;
    decltype(&sqlite3_libversion) libversion;

    static Sqlite Load()
    {
        void *lib = dlopen("libsqlite3.so.0", RTLD_NOW);
        if (!lib) qFatal("cannot load libsqlite3.so.0: %s", dlerror());
        Sqlite s;
        auto get = [lib](auto &fn, const char *name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            if (!fn) qFatal("libsqlite3 lacks %s", name);
        };
        get(s.open_v2, "sqlite3_open_v2");
        get(s.close, "sqlite3_close");
        get(s.prepare_v2, "sqlite3_prepare_v2");
        get(s.bind_text, "sqlite3_bind_text");
        get(s.step, "sqlite3_step");
        get(s.column_count, "sqlite3_column_count");
        get(s.column_text, "sqlite3_column_text");
        get(s.finalize, "sqlite3_finalize");
        get(s.errmsg, "sqlite3_errmsg");
        get(s.libversion, "sqlite3_libversion");
        return s;
    }
};

// Prepares, binds, steps through every row reading every column, finalizes. Returns the rows.
int RunOnEngine(const Sqlite &api, sqlite3 *db, const StockStatement &statement)
{
    const Statement::Positional p =
        Statement::ToPositional(Statement::AdaptForEmbedded(statement.lines.join(QLatin1String("\r\n"))));
    const QByteArray sql = p.text.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (api.prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        qFatal("prepare: %s", api.errmsg(db));
    QList<QByteArray> values; // alive until the statement is finalized
    for (int i = 0; i < p.names.size(); ++i) {
        for (const auto &[name, value] : statement.params)
            if (name.compare(p.names[i], Qt::CaseInsensitive) == 0) {
                values << value.toUtf8();
                break;
            }
        api.bind_text(stmt, i + 1, values.last().constData(), int(values.last().size()), SQLITE_STATIC);
    }
    int rows = 0;
    const int columns = api.column_count(stmt);
    int rc;
    while ((rc = api.step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            api.column_text(stmt, c);
        ++rows;
    }
    if (rc != SQLITE_DONE) qFatal("step: %s", api.errmsg(db));
    api.finalize(stmt);
    return rows;
}

// ---- building the databases ---------------------------------------------------------------------

// The demo merchants (their users and states) with exactly count generated stock rows.
void BuildDatabase(const QString &path, int count)
{
    const QString temporary = path + QStringLiteral(".part");
    QFile::remove(temporary);
    {
        QSqlDatabase db = OpenEmbeddedDatabase(QStringLiteral("build"), temporary, true);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("DELETE FROM Sys_Stock"))) qFatal("cannot clear the demo stock");
        EmbeddedServer::AddStock(db, count, Seed);
        q.exec(QStringLiteral("VACUUM"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("build"));
    if (!QFile::rename(temporary, path)) qFatal("cannot move %s into place", qPrintable(path));
}

QString DatabasePath(const QString &dir, int count)
{
    return dir + QStringLiteral("/stock-%1.db").arg(count);
}

// ---- measuring ----------------------------------------------------------------------------------

double Median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Ms(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// Wall time and this thread's processor time of one call, in ms. The processor time leaves out
// the time other processes take the core away, which on a shared machine is most of the noise.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing Time(const std::function<void()> &f)
{
    timespec c0{}, c1{};
    QElapsedTimer t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c0);
    t.start();
    f();
    const double wall = double(t.nsecsElapsed()) / 1e6;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c1);
    return {wall, double(c1.tv_sec - c0.tv_sec) * 1e3 + double(c1.tv_nsec - c0.tv_nsec) / 1e6};
}

int AutoRuns(int size)
{
    return size <= 10000 ? 31 : size <= 100000 ? 15 : 5;
}

long PeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A message box here means the search failed: stop with its text instead of waiting for a click.
class FailOnMessage : public MessagePresenter {
public:
    bool Show(Kind, const QString &, const QString &text) override
    {
        qFatal("search failed: %s", qPrintable(text));
        return false;
    }
};

struct Case {
    QString title;
    StockConditions conditions;
};

QString Fixed(double v, int decimals = 2)
{
    return QString::number(v, 'f', decimals);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("qen-bench"));

    QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("--build")) { // the child process
        BuildDatabase(args[2], args[1].toInt());
        return 0;
    }
    QList<int> sizes{10000, 100000, 1000000};
    int runs = 0; // by size
    QString dataDir = QCoreApplication::applicationDirPath() + QStringLiteral("/stock-data");
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--sizes")) {
            sizes.clear();
            for (const QString &s : args[i + 1].split(QLatin1Char(',')))
                sizes << s.toInt();
        } else if (args[i] == QLatin1String("--runs")) {
            runs = std::max(1, args[i + 1].toInt());
        } else if (args[i] == QLatin1String("--data")) {
            dataDir = args[i + 1];
        }
    }
    QDir().mkpath(dataDir);

    for (int size : sizes) {
        const QString path = DatabasePath(dataDir, size);
        if (QFile::exists(path)) continue;
        out << "building " << path << " ..." << Qt::endl;
        const double ms = Ms([&] {
            if (QProcess::execute(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--build"), QString::number(size), path}) != 0)
                qFatal("building %s failed", qPrintable(path));
        });
        out << "  built in " << Fixed(ms / 1000, 1) << " s" << Qt::endl;
    }

    FailOnMessage failOnMessage;
    SetMessagePresenter(&failOnMessage);
    InitPublic();
    SysSet.ShopNo = SearchingShop;
    const Sqlite api = Sqlite::Load();
    out << "SQLite " << api.libversion() << ", Qt " << qVersion() << "; medians of "
        << (runs > 0 ? QString::number(runs) : QStringLiteral("31/15/5")) << " runs; times in ms" << Qt::endl;
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11")
               .arg(QStringLiteral("rows"), 8)
               .arg(QStringLiteral("search"), -24)
               .arg(QStringLiteral("found"), 5)
               .arg(QStringLiteral("engine"), 9)
               .arg(QStringLiteral("client"), 9)
               .arg(QStringLiteral("overhead"), 8)
               .arg(QStringLiteral("engine wall"), 10)
               .arg(QStringLiteral("client wall"), 10)
               .arg(QStringLiteral("adapt"), 8)
               .arg(QStringLiteral("grid"), 8)
               .arg(QStringLiteral("peak MB"), 8)
        << Qt::endl;
    out << "(engine, client, overhead: processor time of the thread; wall: elapsed time; adapt: the "
           "statement's embedded form; grid: every cell's text once)"
        << Qt::endl;

    for (int size : sizes) {
        const QString path = DatabasePath(dataDir, size);
        TfrmData data;
        data.rdConn.SetEmbeddedPath(path);
        data.rdConn.Open();

        // A part number that occurs once: the OEM number of a row of another merchant.
        QSqlQuery pick(data.rdConn.Db());
        pick.prepare(QStringLiteral("SELECT OemNo FROM Sys_Stock WHERE ShopNo<>? AND OemNo<>'' ORDER BY Id "
                                    "LIMIT 1 OFFSET ?"));
        pick.addBindValue(SearchingShop);
        pick.addBindValue(size / 2);
        if (!pick.exec() || !pick.next()) qFatal("no stock in %s", qPrintable(path));
        const QString rareNo = pick.value(0).toString();
        pick.finish();

        const QList<Case> cases{
            {QStringLiteral("rare part number"), {rareNo, {}, {}, {}}},
            {QStringLiteral("common name 刹车片"), {QStringLiteral("刹车片"), {}, {}, {}}},
            {QStringLiteral("name+model 滤清器/朗逸"),
             {QStringLiteral("滤清器"), QStringLiteral("朗逸"), {}, {}}},
        };

        sqlite3 *engine = nullptr;
        // Opened as Qt's driver opens its own (no connection mutex, private cache).
        if (api.open_v2(path.toUtf8().constData(), &engine,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE,
                        nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));

        TfrmStock browser;
        GridModel *model = browser.grdStock->Model();
        for (const Case &c : cases) {
            const StockStatement statement = BuildStockQuery(c.conditions, 0, SearchingShop);
            TfrmStockFind dialog(&browser.rdStock);
            dialog.edtGoodsNo->setText(c.conditions.goodsNo);
            dialog.edtModel->setText(c.conditions.model);
            dialog.edtOrder->setCurrentIndex(0);

            int engineRows = 0;
            QList<double> gridMs;
            auto client = [&] {
                dialog.RunSearch(0); // build, open, first row; the model resets with the query
                // Every cell's text once, as drawing the whole result would ask for it.
                gridMs << Ms([&] {
                    for (int row = 0; row < model->rowCount(); ++row)
                        for (int column = 0; column < model->columnCount(); ++column)
                            model->data(model->index(row, column), Qt::DisplayRole);
                });
            };
            // Part of the client's path: the statement text as the embedded engine receives it.
            const QString text = statement.lines.join(QLatin1String("\r\n"));
            constexpr int AdaptRounds = 1000;
            const double adaptMs = Ms([&] {
                                       for (int i = 0; i < AdaptRounds; ++i)
                                           Statement::ToPositional(Statement::AdaptForEmbedded(text));
                                   }) /
                                   AdaptRounds;
            // One round of each to warm the page cache and the statement caches.
            engineRows = RunOnEngine(api, engine, statement);
            client();
            if (browser.rdStock.RecordCount() != engineRows) qFatal("client and engine disagree");

            gridMs.clear();
            QList<double> engineCpu, clientCpu, engineWall, clientWall;
            const int rounds = runs > 0 ? runs : AutoRuns(size);
            for (int r = 0; r < rounds; ++r) { // alternating which goes first
                auto engineRun = [&] {
                    const Timing t = Time([&] { RunOnEngine(api, engine, statement); });
                    engineCpu << t.cpu;
                    engineWall << t.wall;
                };
                auto clientRun = [&] {
                    const Timing t = Time(client);
                    clientCpu << t.cpu;
                    clientWall << t.wall;
                };
                if (r % 2) {
                    clientRun();
                    engineRun();
                } else {
                    engineRun();
                    clientRun();
                }
            }
            const double e = Median(engineCpu), k = Median(clientCpu);
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11")
                       .arg(size, 8)
                       .arg(c.title, -24)
                       .arg(engineRows, 5)
                       .arg(Fixed(e), 9)
                       .arg(Fixed(k), 9)
                       .arg(Fixed((k - e) / e * 100, 1) + QLatin1Char('%'), 8)
                       .arg(Fixed(Median(engineWall)), 10)
                       .arg(Fixed(Median(clientWall)), 10)
                       .arg(Fixed(adaptMs, 3), 8)
                       .arg(Fixed(Median(gridMs), 3), 8)
                       .arg(Fixed(PeakRssKb() / 1024.0, 1), 8)
                << Qt::endl;
        }
        api.close(engine);
        browser.rdStock.Close();
    }
    FinalizePublic();
    return 0;
}
