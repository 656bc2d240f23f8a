#include "stock/StockQuery.h"

#include "foundation/untPublic.h"

namespace {

struct SortOrder {
    const char *item;
    const char *orderBy;
};

// Item 10 sorts by name, then origin (Base) rather than brand: the established order, kept on purpose.
const SortOrder SortOrders[StockOrderCount] = {
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

QString Pattern(const QString &trimmed)
{
    return QLatin1Char('%') + trimmed + QLatin1Char('%');
}

} // namespace

QStringList StockOrderItems()
{
    QStringList items;
    for (const SortOrder &order : SortOrders)
        items << QString::fromUtf8(order.item);
    return items;
}

QString StockOrderBy(int sortIndex)
{
    if (sortIndex < 0 || sortIndex >= StockOrderCount) return {};
    return QString::fromLatin1(SortOrders[sortIndex].orderBy);
}

bool StockConditionsEmpty(const StockConditions &c)
{
    return (TrimText(c.goodsNo) + TrimText(c.model) + TrimText(c.factory) + TrimText(c.base)).isEmpty();
}

StockStatement BuildStockQuery(const StockConditions &conditions, int sortIndex, const QString &shopNo)
{
    const QString goodsNo = TrimText(conditions.goodsNo);
    const QString model = TrimText(conditions.model);
    const QString factory = TrimText(conditions.factory);
    const QString base = TrimText(conditions.base);

    StockStatement s;
    s.lines << QStringLiteral(
        "SELECT TOP 200 ShopNo,ShopName,GoodsNo,OemNo,GoodsName,Model,Base,Factory,Unit,Qty,"
        "PriceSale,PriceQen FROM Sys_Stock WHERE State=1 AND ShopNo<>:ShopNo ");
    s.params << qMakePair(QStringLiteral("ShopNo"), shopNo);
    if (!goodsNo.isEmpty()) {
        s.lines << QStringLiteral(
            "AND (GoodsNo Like :GoodsNo OR OemNo Like :OemNo OR GoodsNoA Like :GoodsNoA OR "
            "OemNoA Like :OemNoA OR MoreNo Like :MoreNo OR GoodsName Like :GoodsName) ");
        for (const char *name : {"GoodsNo", "OemNo", "GoodsNoA", "OemNoA", "MoreNo", "GoodsName"})
            s.params << qMakePair(QString::fromLatin1(name), Pattern(goodsNo));
    }
    if (!model.isEmpty()) {
        s.lines << QStringLiteral("AND Model LIKE :Model ");
        s.params << qMakePair(QStringLiteral("Model"), Pattern(model));
    }
    // Brand before origin, although the origin edit stands above the brand edit.
    if (!factory.isEmpty()) {
        s.lines << QStringLiteral("AND Factory LIKE :Factory ");
        s.params << qMakePair(QStringLiteral("Factory"), Pattern(factory));
    }
    if (!base.isEmpty()) {
        s.lines << QStringLiteral("AND Base LIKE :Base ");
        s.params << qMakePair(QStringLiteral("Base"), Pattern(base));
    }
    if (const QString orderBy = StockOrderBy(sortIndex); !orderBy.isEmpty()) s.lines << orderBy;
    return s;
}
