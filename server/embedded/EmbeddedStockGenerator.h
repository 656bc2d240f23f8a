#pragma once
#include "server/embedded/EmbeddedSupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Realistic generated stock of vehicle parts: part names, goods and OEM numbers, fitting vehicle
// models, brands, origins, units, quantities and prices. The rows depend only on the seed.
namespace EmbeddedServer::detail {

struct StockItem {
    QString goodsNo;
    QString oemNo;
    QString goodsName;
    QString model;
    QString base;
    QString factory;
    QString unit;
    double qty = 0;
    double priceSale = 0;
    double priceQen = 0; // always below priceSale
    QString goodsNoA;
    QString oemNoA;
    QString moreNo;
};

class StockGenerator {
public:
    explicit StockGenerator(quint64 seed) : m_rng(seed) {}
    StockItem Next();
    Rng &Random() { return m_rng; }

private:
    QString Pattern(const char *pattern);
    Rng m_rng;
};

// A prepared insert into Sys_Stock, reused for every row.
class StockWriter {
public:
    explicit StockWriter(QSqlDatabase &db);
    void Write(const QString &shopNo, const QString &shopName, bool visible, const StockItem &item);

private:
    QSqlQuery m_insert;
};

} // namespace EmbeddedServer::detail
