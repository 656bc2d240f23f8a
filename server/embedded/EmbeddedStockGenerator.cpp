#include "server/embedded/EmbeddedStockGenerator.h"

#include <QStringList>
#include <QVariant>
#include <cmath>

namespace EmbeddedServer::detail {

namespace {

// Vehicle makes with their models and the shape of their part numbers
// (D digit, L capital letter, A digit or capital letter, anything else literal).
struct Make {
    const char *name;
    const char *models[8];
    const char *oemPattern;
};

const Make Makes[] = {
    {"大众", {"朗逸", "宝来", "速腾", "迈腾", "帕萨特", "途观", "捷达", "高尔夫"}, "DLD DDD DDD"},
    {"丰田", {"卡罗拉", "凯美瑞", "汉兰达", "RAV4", "威驰", "雷凌", "普拉多", nullptr}, "DDDDD-AAAAA"},
    {"本田", {"雅阁", "思域", "飞度", "CR-V", "奥德赛", "缤智", "锋范", nullptr}, "DDDDD-LLL-ADD"},
    {"日产", {"轩逸", "天籁", "奇骏", "骐达", "逍客", nullptr}, "LDDDD-DLLDL"},
    {"别克", {"英朗", "君威", "君越", "GL8", "昂科威", nullptr}, "DDDDDDDD"},
    {"现代", {"伊兰特", "索纳塔", "途胜", "瑞纳", "名图", nullptr}, "DDDDD-DLLDD"},
    {"宝马", {"3系", "5系", "X1", "X3", "X5", nullptr}, "DD DD D DDD DDD"},
    {"奔驰", {"C级", "E级", "GLC", "GLA", nullptr}, "L DDD DDD DD DD"},
    {"奥迪", {"A4L", "A6L", "Q3", "Q5", nullptr}, "DLD DDD DDD L"},
    {"福特", {"福克斯", "蒙迪欧", "翼虎", "锐界", nullptr}, "LLDL-DDDDD-LL"},
    {"哈弗", {"H6", "H2", "M6", nullptr}, "DDDDDDDLLLDDL"},
    {"吉利", {"帝豪", "博越", "远景", nullptr}, "DDDDDDDDDD"},
};

// Brands with their home origin, a price factor and a short code used in goods numbers.
struct Brand {
    const char *name;
    const char *origin;
    double priceFactor;
    const char *code;
};

const Brand Brands[] = {
    {"博世", "德国", 1.00, "BS"},   {"马勒", "德国", 1.05, "ML"},    {"曼牌", "德国", 1.00, "MN"},
    {"采埃孚", "德国", 1.20, "ZF"}, {"舍弗勒", "德国", 1.10, "LUK"}, {"海拉", "德国", 1.10, "HL"},
    {"大陆", "德国", 1.05, "CT"},   {"法雷奥", "法国", 1.00, "VL"},  {"电装", "日本", 1.05, "DS"},
    {"NGK", "日本", 1.00, "NGK"},   {"爱信", "日本", 1.05, "AS"},    {"小糸", "日本", 1.20, "KT"},
    {"KYB", "日本", 0.95, "KYB"},   {"德尔福", "美国", 0.95, "DF"},  {"盖茨", "美国", 1.00, "GT"},
    {"天合", "美国", 1.00, "TRW"},  {"美孚", "美国", 1.00, "MB"},    {"壳牌", "英国", 1.00, "SL"},
    {"瓦尔塔", "德国", 1.10, "VT"}, {"冠盛", "国产", 0.60, "GS"},    {"万向", "国产", 0.65, "WX"},
    {"豫北", "国产", 0.60, "YB"},   {"骆驼", "国产", 0.55, "LT"},    {"风帆", "国产", 0.55, "FF"},
    {"信义", "国产", 0.55, "XY"},   {"嘉实多", "英国", 1.05, "CS"},  {"原厂", "", 1.35, "YC"},
};

// Part kinds: name, unit, price range of a mid-price brand, whether the part is made for particular
// models, and the brands that make it.
struct Part {
    const char *name;
    const char *unit;
    int priceLow;
    int priceHigh;
    bool fitsModels;
    const char *brands;
};

const Part Parts[] = {
    {"前刹车片", "套", 120, 680, true, "博世 天合 法雷奥 爱信 冠盛 原厂"},
    {"后刹车片", "套", 100, 520, true, "博世 天合 法雷奥 爱信 冠盛 原厂"},
    {"前刹车盘", "只", 180, 900, true, "博世 天合 法雷奥 冠盛 原厂"},
    {"机油滤清器", "个", 15, 90, true, "博世 马勒 曼牌 电装 原厂"},
    {"空气滤清器", "个", 25, 150, true, "博世 马勒 曼牌 电装 原厂"},
    {"空调滤清器", "个", 20, 120, true, "博世 马勒 曼牌 电装 原厂"},
    {"汽油滤清器", "个", 30, 200, true, "博世 马勒 曼牌 原厂"},
    {"火花塞", "只", 25, 120, true, "NGK 博世 电装 原厂"},
    {"点火线圈", "个", 150, 650, true, "博世 电装 德尔福 原厂"},
    {"前大灯总成", "只", 600, 4500, true, "海拉 法雷奥 小糸 原厂"},
    {"尾灯总成", "只", 300, 2200, true, "海拉 法雷奥 小糸 原厂"},
    {"雨刮片", "对", 40, 220, true, "博世 法雷奥 电装"},
    {"正时皮带", "条", 90, 480, true, "盖茨 大陆 原厂"},
    {"正时皮带套件", "套", 300, 1500, true, "盖茨 大陆 舍弗勒 原厂"},
    {"发电机皮带", "条", 40, 180, true, "盖茨 大陆 原厂"},
    {"水泵", "个", 180, 900, true, "爱信 舍弗勒 冠盛 原厂"},
    {"节温器", "个", 60, 350, true, "马勒 原厂"},
    {"前减震器", "只", 220, 1500, true, "采埃孚 KYB 原厂"},
    {"后减震器", "只", 180, 1200, true, "采埃孚 KYB 原厂"},
    {"下摆臂", "只", 150, 800, true, "天合 采埃孚 万向 原厂"},
    {"外球头", "个", 50, 300, true, "天合 万向 原厂"},
    {"转向横拉杆", "根", 80, 420, true, "天合 采埃孚 万向 原厂"},
    {"离合器片", "片", 180, 900, true, "舍弗勒 法雷奥 采埃孚 原厂"},
    {"离合器压盘", "个", 260, 1200, true, "舍弗勒 法雷奥 采埃孚 原厂"},
    {"发电机", "台", 700, 3200, true, "博世 法雷奥 电装 原厂"},
    {"起动机", "台", 600, 2800, true, "博世 法雷奥 电装 原厂"},
    {"氧传感器", "个", 180, 900, true, "博世 电装 NGK 德尔福 原厂"},
    {"水箱", "个", 350, 1800, true, "法雷奥 马勒 原厂"},
    {"冷凝器", "个", 300, 1500, true, "法雷奥 马勒 电装 原厂"},
    {"空调压缩机", "台", 1500, 6500, true, "电装 法雷奥 德尔福 原厂"},
    {"前保险杠", "个", 400, 2600, true, "原厂"},
    {"后视镜总成", "只", 260, 1800, true, "原厂"},
    {"轮毂轴承", "个", 120, 700, true, "舍弗勒 万向 冠盛 原厂"},
    {"喷油嘴", "个", 260, 1200, true, "博世 电装 德尔福 原厂"},
    {"节气门体", "个", 500, 2200, true, "博世 德尔福 原厂"},
    {"汽油泵总成", "个", 350, 1800, true, "博世 德尔福 原厂"},
    {"前挡风玻璃", "块", 500, 2400, true, "信义 原厂"},
    {"全合成机油 5W-30 4L", "桶", 180, 560, false, "美孚 壳牌 嘉实多"},
    {"刹车油 DOT4 1L", "瓶", 30, 120, false, "博世 美孚 壳牌"},
    {"防冻液 -35℃ 2kg", "桶", 45, 220, false, "美孚 壳牌 博世"},
    {"蓄电池 60Ah", "个", 350, 1500, false, "瓦尔塔 骆驼 风帆 博世"},
};

int BrandIndex(const QString &name)
{
    for (int i = 0; i < int(std::size(Brands)); ++i)
        if (QString::fromUtf8(Brands[i].name) == name) return i;
    return -1;
}

// Brand indices per part, parsed once from the tables above (unknown names are skipped).
const QList<QList<int>> &PartBrands()
{
    static const QList<QList<int>> table = [] {
        QList<QList<int>> result;
        for (const Part &part : Parts) {
            QList<int> indices;
            for (const QString &name :
                 QString::fromUtf8(part.brands).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (int index = BrandIndex(name); index >= 0) indices.append(index);
            result.append(indices);
        }
        return result;
    }();
    return table;
}

int ModelCount(const Make &make)
{
    int count = 0;
    while (count < 8 && make.models[count])
        ++count;
    return count;
}

QString WithoutSeparators(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('-'));
    return text;
}

double Round(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

QString StockGenerator::Pattern(const char *pattern)
{
    static const char Letters[] = "ABCDEFGHJKLMNPRSTUVWXYZ";
    static const char Alnum[] = "0123456789ABCDEFGHJKLMNPRSTUVWXYZ";
    QString result;
    for (const char *p = pattern; *p; ++p) {
        switch (*p) {
        case 'D':
            result += QLatin1Char(char('0' + m_rng.Below(10)));
            break;
        case 'L':
            result += QLatin1Char(Letters[m_rng.Below(int(sizeof Letters) - 1)]);
            break;
        case 'A':
            result += QLatin1Char(Alnum[m_rng.Below(int(sizeof Alnum) - 1)]);
            break;
        default:
            result += QLatin1Char(*p);
            break;
        }
    }
    return result;
}

StockItem StockGenerator::Next()
{
    StockItem item;
    const int partIndex = m_rng.Below(int(std::size(Parts)));
    const Part &part = Parts[partIndex];
    const QList<int> &brandChoices = PartBrands()[partIndex];
    const Brand &brand = Brands[brandChoices[m_rng.Below(int(brandChoices.size()))]];
    const Make &make = Makes[m_rng.Below(int(std::size(Makes)))];

    item.goodsName = QString::fromUtf8(part.name);
    item.unit = QString::fromUtf8(part.unit);
    item.factory = QString::fromUtf8(brand.name);

    // Origin: a brand's home country, but many foreign brands also make parts in China; original
    // parts come from the make's home market or from the joint-venture plant.
    const QString home = QString::fromUtf8(brand.origin);
    if (home.isEmpty()) {
        static const char *const MakeOrigins[] = {"德国", "日本", "日本", "日本", "美国", "韩国",
                                                  "德国", "德国", "德国", "美国", "国产", "国产"};
        const int makeIndex = int(&make - Makes);
        item.base = m_rng.Below(2) == 0 ? QString::fromUtf8(MakeOrigins[makeIndex]) : QStringLiteral("国产");
    } else if (home != QStringLiteral("国产") && m_rng.Below(10) < 3) {
        item.base = QStringLiteral("国产");
    } else {
        item.base = home;
    }

    item.goodsNo = QString::fromLatin1(brand.code) + QLatin1Char('-') + Pattern("DDDDD");
    if (m_rng.Below(4) == 0) item.goodsNo += QLatin1Char("ABCDEFGH"[m_rng.Below(8)]);
    item.goodsNoA = WithoutSeparators(item.goodsNo);

    if (part.fitsModels) {
        const QString makeName = QString::fromUtf8(make.name);
        const int models = ModelCount(make);
        const int first = m_rng.Below(models);
        const int fits = qMin(models, m_rng.Between(1, 3));
        QStringList names;
        for (int i = 0; i < fits; ++i)
            names.append(makeName + QString::fromUtf8(make.models[(first + i) % models]));
        item.model = names.join(QLatin1Char('/'));
        if (m_rng.Below(2) == 0) {
            const int from = m_rng.Between(2008, 2020);
            item.model += QStringLiteral(" %1-%2").arg(from).arg(from + m_rng.Between(2, 6));
        }
        item.oemNo = Pattern(make.oemPattern);
        item.oemNoA = WithoutSeparators(item.oemNo);
        if (m_rng.Below(5) < 2) item.moreNo = WithoutSeparators(Pattern(make.oemPattern));
    } else {
        item.model = QStringLiteral("通用");
    }

    // Most lines hold a few pieces, some a large lot.
    item.qty = m_rng.Below(10) == 0 ? m_rng.Between(50, 300) : m_rng.Between(1, 40);

    const double base = part.priceLow + (part.priceHigh - part.priceLow) * m_rng.Unit();
    const double sale = base * brand.priceFactor;
    item.priceSale = sale >= 100 ? Round(sale, 0) : Round(sale, 1);
    item.priceQen = Round(item.priceSale * (0.72 + 0.15 * m_rng.Unit()), 1);
    if (item.priceQen >= item.priceSale) item.priceQen = Round(item.priceSale - 0.1, 1);
    return item;
}

StockWriter::StockWriter(QSqlDatabase &db)
    : m_insert(Prepare(
          db, QStringLiteral("INSERT INTO Sys_Stock (ShopNo, ShopName, GoodsNo, OemNo, GoodsName, Model, "
                             "Base, Factory, Unit, Qty, PriceSale, PriceQen, State, GoodsNoA, OemNoA, "
                             "MoreNo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
{
}

void StockWriter::Write(const QString &shopNo, const QString &shopName, bool visible, const StockItem &item)
{
    m_insert.bindValue(0, shopNo);
    m_insert.bindValue(1, shopName);
    m_insert.bindValue(2, item.goodsNo);
    m_insert.bindValue(3, item.oemNo);
    m_insert.bindValue(4, item.goodsName);
    m_insert.bindValue(5, item.model);
    m_insert.bindValue(6, item.base);
    m_insert.bindValue(7, item.factory);
    m_insert.bindValue(8, item.unit);
    m_insert.bindValue(9, item.qty);
    m_insert.bindValue(10, item.priceSale);
    m_insert.bindValue(11, item.priceQen);
    m_insert.bindValue(12, visible ? 1 : 0);
    m_insert.bindValue(13, item.goodsNoA);
    m_insert.bindValue(14, item.oemNoA);
    m_insert.bindValue(15, item.moreNo);
    Exec(m_insert);
}

} // namespace EmbeddedServer::detail
