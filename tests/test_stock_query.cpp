// The stock search statement: which lines and parameter values each set of conditions gives,
// and how the embedded engine receives it.
#include "fixture/Fixture.h"
#include "foundation/db/Statement.h"
#include "stock/StockQuery.h"

using Params = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Params)
Q_DECLARE_METATYPE(StockConditions)

namespace {

const QString Base = QStringLiteral(
    "SELECT TOP 200 ShopNo,ShopName,GoodsNo,OemNo,GoodsName,Model,Base,Factory,Unit,Qty,PriceSale,PriceQen "
    "FROM Sys_Stock WHERE State=1 AND ShopNo<>:ShopNo ");
const QString NumberOrName = QStringLiteral(
    "AND (GoodsNo Like :GoodsNo OR OemNo Like :OemNo OR GoodsNoA Like :GoodsNoA OR OemNoA Like :OemNoA OR "
    "MoreNo Like :MoreNo OR GoodsName Like :GoodsName) ");
const QString ModelClause = QStringLiteral("AND Model LIKE :Model ");
const QString FactoryClause = QStringLiteral("AND Factory LIKE :Factory ");
const QString BaseClause = QStringLiteral("AND Base LIKE :Base ");

Params NumberOrNameParams(const QString &pattern)
{
    Params p;
    for (const char *name : {"GoodsNo", "OemNo", "GoodsNoA", "OemNoA", "MoreNo", "GoodsName"})
        p << qMakePair(QString::fromLatin1(name), pattern);
    return p;
}

QPair<QString, QString> P(const char *name, const QString &value)
{
    return qMakePair(QString::fromLatin1(name), value);
}

} // namespace

class TestStockQuery : public QObject {
    Q_OBJECT

private slots:
    // Each condition alone adds only its own clause and parameters.
    void oneConditionAddsOnlyItsClause_data()
    {
        QTest::addColumn<StockConditions>("conditions");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<Params>("params");
        const QString orderBy = QStringLiteral(" ORDER BY GoodsNo");
        const auto shop = P("ShopNo", QStringLiteral("A001"));
        QTest::newRow("number or name")
            << StockConditions{QStringLiteral("06A"), {}, {}, {}} << QStringList{Base, NumberOrName, orderBy}
            << (Params{shop} + NumberOrNameParams(QStringLiteral("%06A%")));
        QTest::newRow("model") << StockConditions{{}, QStringLiteral("朗逸"), {}, {}}
                               << QStringList{Base, ModelClause, orderBy}
                               << Params{shop, P("Model", QStringLiteral("%朗逸%"))};
        QTest::newRow("origin") << StockConditions{{}, {}, QStringLiteral("德国"), {}}
                                << QStringList{Base, BaseClause, orderBy}
                                << Params{shop, P("Base", QStringLiteral("%德国%"))};
        QTest::newRow("brand") << StockConditions{{}, {}, {}, QStringLiteral("博世")}
                               << QStringList{Base, FactoryClause, orderBy}
                               << Params{shop, P("Factory", QStringLiteral("%博世%"))};
        // The model-only example: three lines, ShopNo and the pattern %A6%.
        QTest::newRow("A6 example") << StockConditions{{}, QStringLiteral("A6"), {}, {}}
                                    << QStringList{Base, ModelClause, orderBy}
                                    << Params{shop, P("Model", QStringLiteral("%A6%"))};
    }

    void oneConditionAddsOnlyItsClause()
    {
        QFETCH(StockConditions, conditions);
        QFETCH(QStringList, lines);
        QFETCH(Params, params);
        const StockStatement s = BuildStockQuery(conditions, 0, QStringLiteral("A001"));
        QCOMPARE(s.lines, lines);
        QCOMPARE(s.params, params);
        QVERIFY(!StockConditionsEmpty(conditions));
    }

    // All four: number-or-name, model, then brand before origin, whatever the screen order.
    void allFourInTheirOrder()
    {
        const StockStatement s = BuildStockQuery({QStringLiteral("刹车片"), QStringLiteral("速腾"),
                                                  QStringLiteral("国产"), QStringLiteral("冠盛")},
                                                 5, QStringLiteral("B001"));
        QCOMPARE(s.lines, (QStringList{Base, NumberOrName, ModelClause, FactoryClause, BaseClause,
                                       QStringLiteral(" ORDER BY ShopNo")}));
        Params expected{P("ShopNo", QStringLiteral("B001"))};
        expected << NumberOrNameParams(QStringLiteral("%刹车片%"));
        expected << P("Model", QStringLiteral("%速腾%")) << P("Factory", QStringLiteral("%冠盛%"))
                 << P("Base", QStringLiteral("%国产%"));
        QCOMPARE(s.params, expected);
    }

    // Trimming removes codes <= 32 at both ends only; inner blanks, a full-width blank and the
    // user's own wildcards stay in the pattern.
    void patterns_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("ab c with outer blanks") << " ab c "
                                                << "%ab c%";
        QTest::newRow("tabs and line breaks") << "\t\r\nab\x01"
                                              << "%ab%";
        QTest::newRow("full-width blank stays")
            << QStringLiteral("\u3000滤清器\u3000") << QStringLiteral("%\u3000滤清器\u3000%");
        QTest::newRow("wildcards passed on") << " 06_%[A-C] "
                                             << "%06_%[A-C]%";
    }

    void patterns()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pattern);
        const StockStatement s = BuildStockQuery({typed, {}, {}, {}}, 0, QStringLiteral("A001"));
        QCOMPARE(s.params.size(), 7);
        for (int i = 1; i < 7; ++i)
            QCOMPARE(s.params[i].second, pattern);
        // The same rule for the other three conditions.
        const StockStatement all = BuildStockQuery({{}, typed, typed, typed}, 0, QStringLiteral("A001"));
        QCOMPARE(all.params.size(), 4);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(all.params[i].second, pattern);
    }

    void emptyConditions_data()
    {
        QTest::addColumn<StockConditions>("conditions");
        QTest::addColumn<bool>("empty");
        QTest::newRow("nothing") << StockConditions{} << true;
        QTest::newRow("blanks and controls only") << StockConditions{"  ", "\t", " \r\n", "\x1f"} << true;
        QTest::newRow("a full-width blank is text")
            << StockConditions{{}, {}, QStringLiteral("\u3000"), {}} << false;
        QTest::newRow("brand only") << StockConditions{{}, {}, {}, " x "} << false;
    }

    void emptyConditions()
    {
        QFETCH(StockConditions, conditions);
        QFETCH(bool, empty);
        QCOMPARE(StockConditionsEmpty(conditions), empty);
        if (empty) {
            // Nothing but the base line and the sort line, should the builder be called anyway.
            const StockStatement s = BuildStockQuery(conditions, 0, QStringLiteral("A001"));
            QCOMPARE(s.lines.size(), 2);
            QCOMPARE(s.params.size(), 1);
        }
    }

    // The fourteen sort orders, and none for an index outside them.
    void sortOrders_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("orderBy");
        const char *const table[][2] = {
            {"按编号排序", " ORDER BY GoodsNo"},
            {"按名称排序", " ORDER BY GoodsName"},
            {"按车型排序", " ORDER BY Model"},
            {"按产地排序", " ORDER BY Base"},
            {"按品牌排序", " ORDER BY Factory"},
            {"按商家排序", " ORDER BY ShopNo"},
            {"按编号\\名称排序", " ORDER BY GoodsNo,GoodsName"},
            {"按编号\\车型排序", " ORDER BY GoodsNo,Model"},
            {"按编号\\品牌排序", " ORDER BY GoodsNo,Factory"},
            {"按名称\\车型排序", " ORDER BY GoodsName,Model"},
            {"按名称\\品牌排序", " ORDER BY GoodsName,Base"},
            {"按名称\\商家排序", " ORDER BY GoodsName,ShopNo"},
            {"按商家\\编号排序", " ORDER BY ShopNo,GoodsNo"},
            {"按商家\\名称排序", " ORDER BY ShopNo,GoodsName"},
        };
        for (int i = 0; i < 14; ++i)
            QTest::addRow("%d", i) << i << QString::fromUtf8(table[i][0]) << QString::fromLatin1(table[i][1]);
        QTest::newRow("-1") << -1 << QString() << QString();
        QTest::newRow("14") << 14 << QString() << QString();
        QTest::newRow("99") << 99 << QString() << QString();
    }

    void sortOrders()
    {
        QFETCH(int, index);
        QFETCH(QString, item);
        QFETCH(QString, orderBy);
        const StockStatement s =
            BuildStockQuery({QStringLiteral("x"), {}, {}, {}}, index, QStringLiteral("A001"));
        if (orderBy.isEmpty()) {
            QCOMPARE(s.lines, (QStringList{Base, NumberOrName}));
            QVERIFY(!s.lines.join(QString()).contains(QLatin1String("ORDER BY")));
        } else {
            QCOMPARE(s.lines, (QStringList{Base, NumberOrName, orderBy}));
            QCOMPARE(StockOrderItems().at(index), item);
            QVERIFY(!item.contains(QChar(0xFF3C))); // the ASCII backslash, not the full-width one
        }
        QCOMPARE(StockOrderBy(index), orderBy);
    }

    void orderItemsCount() { QCOMPARE(StockOrderItems().size(), StockOrderCount); }

    // The embedded engine gets the row limit at the very end, after the ORDER BY line, and one
    // positional parameter per name in the text, in order.
    void embeddedForm_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tail");
        QTest::newRow("sorted") << 10 << " ORDER BY GoodsName,Base LIMIT 200";
        QTest::newRow("unsorted") << -1 << "AND Base LIKE ? LIMIT 200";
    }

    void embeddedForm()
    {
        QFETCH(int, index);
        QFETCH(QString, tail);
        const StockStatement s = BuildStockQuery(
            {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}, index,
            QStringLiteral("A001"));
        const auto positional =
            Statement::ToPositional(Statement::AdaptForEmbedded(s.lines.join(QLatin1String("\r\n"))));
        QVERIFY2(positional.text.endsWith(tail), qPrintable(positional.text));
        QVERIFY(positional.text.startsWith(QLatin1String("SELECT ShopNo,ShopName,")));
        QVERIFY(!positional.text.contains(QLatin1String("TOP")));
        QStringList names;
        for (const auto &p : s.params)
            names << p.first;
        QCOMPARE(positional.names, names);
    }
};

QEN_TEST_MAIN(TestStockQuery)
#include "test_stock_query.moc"
