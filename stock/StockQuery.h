#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The alliance stock search statement, built from the search dialog's conditions alone so that
// it can be checked without a window or a database.

// The four conditions as typed; the builder trims them (codes <= 32 at both ends only).
struct StockConditions {
    QString goodsNo; // number or name: matched against six number and name columns
    QString model;
    QString base;    // origin
    QString factory; // brand
};

struct StockStatement {
    QStringList lines; // sent joined by CR LF
    // Parameter values in the order they are set; every one is bound as text.
    QList<QPair<QString, QString>> params;
};

// The sort orders of the search dialog, in list order.
constexpr int StockOrderCount = 14;
QStringList StockOrderItems();
// The ORDER BY piece of a sort index (with its leading blank); empty outside 0..13.
QString StockOrderBy(int sortIndex);

// True when every condition is empty after trimming.
bool StockConditionsEmpty(const StockConditions &conditions);

// At most 200 visible rows of the other merchants, the clauses of the non-empty conditions
// (number-or-name, model, brand, origin, in that order) and the ORDER BY line of the sort
// index. Patterns are "%" + trimmed text + "%": wildcards the user types are passed on.
StockStatement BuildStockQuery(const StockConditions &conditions, int sortIndex, const QString &shopNo);
