#include "foundation/db/DbError.h"
#include "foundation/untPublic.h"
#include "server/embedded/EmbeddedServer.h"
#include "server/embedded/EmbeddedStockGenerator.h"
#include "server/embedded/EmbeddedSupport.h"

#include <QList>
#include <QVariant>

// The platform administrator and the demo alliance of the embedded default.
namespace EmbeddedServer {

namespace {

using detail::Exec;
using detail::Prepare;

const char *const OwnerCodes = "01,03,04,05,06,";
const char *const ClerkCodes = "01,03,";
const quint64 DemoSeed = 20240318;

struct DemoUser {
    const char *userNo;
    const char *userName;
    const char *password;
    const char *action;
};

struct DemoShop {
    const char *shopNo;
    const char *shopName;
    const char *allName;
    const char *address;
    const char *linkPer;
    const char *tel;
    const char *per01, *tel01, *qq01;
    const char *per02, *tel02, *qq02;
    const char *state;
    int locked;
    int users;
    int stockRows;
    DemoUser staff[3];
};

// The demo sign-ins listed in the README depend on these rows.
const DemoShop DemoShops[] = {
    {"A001",
     "骏达汽配",
     "广州市骏达汽车配件有限公司",
     "广州市白云区机场路1288号锦都汽配城A区32号",
     "陈志强",
     "020-86123456",
     "李晓东",
     "13902211456",
     "285614732",
     "黄美玲",
     "13760345128",
     "1047729361",
     "已上线",
     0,
     5,
     5000,
     {{"01", "陈志强", "123456", OwnerCodes}, {"02", "李晓东", "", ClerkCodes}, {}}},
    {"A002",
     "申安汽配",
     "上海申安汽车零部件有限公司",
     "上海市闵行区七莘路2588号莘庄汽配城B座105室",
     "王建华",
     "021-64521873",
     "赵磊",
     "13817625094",
     "402917365",
     "孙丽",
     "13636587210",
     "775102846",
     "已上线",
     0,
     5,
     4500,
     {{"01", "王建华", "123456", OwnerCodes}, {"02", "赵磊", "", ClerkCodes}, {}}},
    {"A003",
     "京通汽配",
     "北京京通伟业汽车配件销售中心",
     "北京市丰台区南四环西路128号方仕国际汽配城3层312",
     "刘海涛",
     "010-63781245",
     "张鹏",
     "13611097582",
     "596230481",
     "",
     "",
     "",
     "已上线",
     0,
     3,
     4000,
     {{"01", "刘海涛", "123456", OwnerCodes}, {"02", "张鹏", "888888", ClerkCodes}, {}}},
    {"A004",
     "蓉发汽配",
     "成都蓉发汽车零部件有限公司",
     "成都市金牛区量力汽配城西区15栋8号",
     "杨洪",
     "028-87654120",
     "何静",
     "13880912374",
     "812734056",
     "罗斌",
     "13540286719",
     "1583920467",
     "已上线",
     0,
     3,
     3500,
     {{"01", "杨洪", "123456", OwnerCodes}, {}, {}}},
    {"A005",
     "汉盛汽配",
     "武汉汉盛汽车配件贸易有限公司",
     "武汉市汉阳区江城大道汽配城C区6号",
     "周文斌",
     "027-84659012",
     "吴涛",
     "13971128365",
     "326570918",
     "",
     "",
     "",
     "已上线",
     0,
     2,
     3000,
     {{"01", "周文斌", "123456", OwnerCodes}, {}, {}}},
    {"A006",
     "钱塘汽配",
     "杭州钱塘汽车用品配件商行",
     "杭州市上城区九堡镇汽配城二期18幢106号",
     "徐立新",
     "0571-86927341",
     "沈佳",
     "13857164290",
     "930215847",
     "",
     "",
     "",
     "已上线",
     1,
     2,
     3000,
     {{"01", "徐立新", "123456", OwnerCodes}, {}, {}}},
    {"B001",
     "中原汽配",
     "郑州中原鑫达汽车配件有限公司",
     "郑州市二七区大学南路汽配大世界D区22号",
     "马国庆",
     "0371-68912735",
     "高峰",
     "13937152608",
     "471628395",
     "",
     "",
     "",
     "待审核",
     0,
     1,
     2500,
     {{"01", "马国庆", "123456", OwnerCodes}, {}, {}}},
    {"B002",
     "秦川汽配",
     "西安秦川汽车配件经营部",
     "西安市未央区太华北路汽配城一期5排12号",
     "郭涛",
     "029-86351278",
     "",
     "",
     "",
     "",
     "",
     "",
     "待审核",
     0,
     1,
     2000,
     {{"01", "郭涛", "123456", OwnerCodes}, {}, {}}},
    {"C001",
     "湘江汽配",
     "长沙湘江汽车配件有限公司",
     "长沙市雨花区汽配城北区9栋203号",
     "彭志刚",
     "0731-85127643",
     "谭军",
     "13907318254",
     "648203175",
     "",
     "",
     "",
     "已屏蔽",
     0,
     2,
     2500,
     {{"01", "彭志刚", "123456", OwnerCodes}, {}, {}}},
};

// Computers that have signed in before, so that the locked merchant A006 has one that may sign in.
struct DemoHost {
    const char *shopNo, *hostId, *hostName, *lastUser, *lastDate;
};

const DemoHost DemoHosts[] = {
    {"A001", "BFEBFBFF000906EA", "JUNDA-QT01", "01", "2024-03-15 09:12:45"},
    {"A001", "178BFBFF00A50F00", "JUNDA-CK02", "02", "2024-03-16 14:30:08"},
    {"A006", "BFEBFBFF000806EC", "QT-FRONTDESK", "01", "2024-03-12 08:55:31"},
};

QString Utf8(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

void InsertShop(QSqlQuery &insert, const QList<QVariant> &values)
{
    for (int i = 0; i < values.size(); ++i)
        insert.bindValue(i, values[i]);
    Exec(insert);
}

QSqlQuery PrepareShopInsert(QSqlDatabase &db)
{
    return Prepare(
        db, QStringLiteral("INSERT INTO Sys_Shop (ShopNo, ShopName, AllName, Address, LinkPer, Tel, Per01, "
                           "Tel01, QQ01, Per02, Tel02, QQ02, State, Locked, Admin, Users) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
}

QSqlQuery PrepareUserInsert(QSqlDatabase &db)
{
    return Prepare(db, QStringLiteral("INSERT INTO Sys_User (ShopNo, UserNo, UserName, Password, Action) "
                                      "VALUES (?, ?, ?, ?, ?)"));
}

void InsertUser(QSqlQuery &insert, const QString &shopNo, const QString &userNo, const QString &userName,
                const QString &password, const QString &action)
{
    insert.bindValue(0, shopNo);
    insert.bindValue(1, userNo);
    insert.bindValue(2, userName);
    insert.bindValue(3, EncodePassword(password));
    insert.bindValue(4, action);
    Exec(insert);
}

} // namespace

void CreateAdministrator(QSqlDatabase &db, const QString &adminPassword)
{
    detail::Transaction transaction(db);
    QSqlQuery shop = PrepareShopInsert(db);
    InsertShop(shop, {QStringLiteral("0000"), QStringLiteral("联盟平台"), QStringLiteral("联盟平台管理中心"),
                      QStringLiteral("广州市天河区体育西路191号中石化大厦B塔2606室"),
                      QStringLiteral("平台管理员"), QStringLiteral("020-38825566"),
                      QStringLiteral("客服中心"), QStringLiteral("400-820-6688"), QStringLiteral("800061688"),
                      QString(), QString(), QString(), QStringLiteral("已上线"), 0, 1, 10});
    QSqlQuery user = PrepareUserInsert(db);
    InsertUser(user, QStringLiteral("0000"), QStringLiteral("01"), QStringLiteral("系统管理员"),
               adminPassword, QStringLiteral("01,02,03,04,05,06,"));
    transaction.Commit();
}

void CreateDemoData(QSqlDatabase &db)
{
    detail::Transaction transaction(db);
    QSqlQuery shopInsert = PrepareShopInsert(db);
    QSqlQuery userInsert = PrepareUserInsert(db);
    for (const DemoShop &shop : DemoShops) {
        InsertShop(shopInsert, {Utf8(shop.shopNo), Utf8(shop.shopName), Utf8(shop.allName),
                                Utf8(shop.address), Utf8(shop.linkPer), Utf8(shop.tel), Utf8(shop.per01),
                                Utf8(shop.tel01), Utf8(shop.qq01), Utf8(shop.per02), Utf8(shop.tel02),
                                Utf8(shop.qq02), Utf8(shop.state), shop.locked, 0, shop.users});
        for (const DemoUser &user : shop.staff)
            if (user.userNo)
                InsertUser(userInsert, Utf8(shop.shopNo), Utf8(user.userNo), Utf8(user.userName),
                           Utf8(user.password), Utf8(user.action));
    }

    QSqlQuery hostInsert =
        Prepare(db, QStringLiteral("INSERT INTO Sys_Login (ShopNo, HostId, HostName, LastUser, "
                                   "LastDate) VALUES (?, ?, ?, ?, ?)"));
    for (const DemoHost &host : DemoHosts) {
        hostInsert.bindValue(0, Utf8(host.shopNo));
        hostInsert.bindValue(1, Utf8(host.hostId));
        hostInsert.bindValue(2, Utf8(host.hostName));
        hostInsert.bindValue(3, Utf8(host.lastUser));
        hostInsert.bindValue(4, Utf8(host.lastDate));
        Exec(hostInsert);
    }

    // Stock of every demo merchant, visible exactly when the merchant is online.
    detail::StockGenerator generator(DemoSeed);
    detail::StockWriter writer(db);
    for (const DemoShop &shop : DemoShops) {
        const QString shopNo = Utf8(shop.shopNo);
        const QString shopName = Utf8(shop.shopName);
        const bool visible = Utf8(shop.state) == QStringLiteral("已上线");
        for (int i = 0; i < shop.stockRows; ++i)
            writer.Write(shopNo, shopName, visible, generator.Next());
    }
    transaction.Commit();
}

void AddStock(QSqlDatabase &db, int count, quint32 seed)
{
    if (count <= 0) return;
    detail::Transaction transaction(db);

    // Online member merchants; the platform administrator holds no stock unless it is the only one.
    QList<QPair<QString, QString>> shops;
    for (const char *filter : {"AND IFNULL(Admin, 0) = 0", ""}) {
        QSqlQuery query =
            Prepare(db, QStringLiteral("SELECT ShopNo, ShopName FROM Sys_Shop WHERE State = '已上线' %1 "
                                       "ORDER BY ShopNo")
                            .arg(QString::fromLatin1(filter)));
        Exec(query);
        while (query.next())
            shops.append({query.value(0).toString(), query.value(1).toString()});
        if (!shops.isEmpty()) break;
    }
    if (shops.isEmpty()) throw DbError(QStringLiteral("没有已上线的商户,无法添加库存。"));

    detail::StockGenerator generator(seed);
    detail::StockWriter writer(db);
    for (int i = 0; i < count; ++i) {
        const auto &shop = shops[generator.Random().Below(int(shops.size()))];
        writer.Write(shop.first, shop.second, true, generator.Next());
    }
    transaction.Commit();
}

} // namespace EmbeddedServer
