#include "merchants/untShop.h"

#include "foundation/ImageIndex.h"
#include "foundation/ui/BusyCursor.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/ui/KeyPreview.h"
#include "foundation/ui/ToolBar.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "merchants/untShopEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmShop *frmShop = nullptr;

namespace {

const QString Waiting = QStringLiteral("待审核");
const QString Online = QStringLiteral("已上线");
const QString Blocked = QStringLiteral("已屏蔽");

QRadioButton *Radio(QWidget *parent, const char *name, const QString &caption)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    return radio;
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TfrmShop::TfrmShop(QWidget *parent) : TDialogBase(parent), rdShop(&frmData->rdConn)
{
    frmShop = this;
    setObjectName(QStringLiteral("frmShop"));
    setWindowTitle(QStringLiteral("商户管理"));
    SetClientSize(1038, 559);
    rdShop.SetUpdateTable(QStringLiteral("Sys_Shop"), {QStringLiteral("ShopNo")});

    Toolbar = MakeToolBar(this, QStringLiteral("Toolbar"));
    tbEdit = AddToolButton(Toolbar, "tbEdit", QStringLiteral("修改"), QStringLiteral("修改--(Enter)"),
                           ImageIndex::Edit);
    tbDel = AddToolButton(Toolbar, "tbDel", QStringLiteral("删除"), QStringLiteral("删除--(Del)"),
                          ImageIndex::Delete);
    Toolbar->addSeparator();
    tbExit = AddToolButton(Toolbar, "tbExit", QStringLiteral("退出"), QStringLiteral("退出--(Esc)"),
                           ImageIndex::Exit);

    lbShow = new QLabel(QStringLiteral("显示："), this);
    rdAll = Radio(this, "rdAll", QStringLiteral("所有商户"));
    rdUp = Radio(this, "rdUp", Waiting);
    rdOn = Radio(this, "rdOn", Online);
    rdDown = Radio(this, "rdDown", Blocked);
    rdAll->setChecked(true);
    auto *filters = new QHBoxLayout;
    filters->setContentsMargins(8, 4, 8, 4);
    filters->setSpacing(16);
    filters->addWidget(lbShow);
    for (QRadioButton *radio : {rdAll, rdUp, rdOn, rdDown})
        filters->addWidget(radio);
    filters->addStretch();

    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    grdShop = new TDBGrid(&rdShop,
                          {MakeColumn(QStringLiteral("ShopNo"), QStringLiteral("商户编号"), 80),
                           MakeColumn(QStringLiteral("ShopName"), QStringLiteral("商户简称"), 100),
                           MakeColumn(QStringLiteral("AllName"), QStringLiteral("商户全称"), 200),
                           MakeColumn(QStringLiteral("LinkPer"), QStringLiteral("商户代表"), 100),
                           MakeColumn(QStringLiteral("Tel"), QStringLiteral("联系电话"), 100),
                           MakeColumn(QStringLiteral("Users"), QStringLiteral("授权用户"), 80, centred),
                           MakeColumn(QStringLiteral("State"), QStringLiteral("当前状态"), 80, centred),
                           MakeColumn(QStringLiteral("Address"), QStringLiteral("联系地址"), 240)},
                          this);
    grdShop->setObjectName(QStringLiteral("grdShop"));
    grdShop->View()->horizontalHeader()->setFont(DialogFont(14, true));
    grdShop->View()->horizontalHeader()->setFixedHeight(22);
    grdShop->SetFooterVisible(true);
    grdShop->Model()->SetFooter(0, QStringLiteral("合计"));
    grdShop->Model()->SetRowColors([](const Query &query, int row) {
        return RowColors{StateColor(query.Value(row, query.FieldIndex(QStringLiteral("State"))).toString()),
                         {}};
    });
    connect(&rdShop, &Query::Reset, this, &TfrmShop::ShowCount);
    connect(&rdShop, &Query::RowRemoved, this, &TfrmShop::ShowCount);
    connect(&rdShop, &Query::RowInserted, this, &TfrmShop::ShowCount);
    ShowCount();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Toolbar);
    layout->addLayout(filters);
    layout->addWidget(grdShop);

    // A filter runs when it becomes the chosen one; choosing the chosen one again does nothing.
    connect(rdAll, &QRadioButton::toggled, this, [this](bool on) {
        if (on) rdAllClick();
    });
    connect(rdUp, &QRadioButton::toggled, this, [this](bool on) {
        if (on) rdUpClick();
    });
    connect(rdOn, &QRadioButton::toggled, this, [this](bool on) {
        if (on) rdOnClick();
    });
    connect(rdDown, &QRadioButton::toggled, this, [this](bool on) {
        if (on) rdDownClick();
    });
    connect(tbEdit, &QToolButton::clicked, this, &TfrmShop::tbEditClick);
    connect(tbDel, &QToolButton::clicked, this, &TfrmShop::tbDelClick);
    connect(tbExit, &QToolButton::clicked, this, &TfrmShop::tbExitClick);
    connect(grdShop, &TDBGrid::DblClick, this, &TfrmShop::tbEditClick);
    SetCancelButton(tbExit);
    SetKeyPreview(true);

    FormCreate();
    grdShop->View()->setFocus();
}

TfrmShop::~TfrmShop()
{
    if (frmShop == this) frmShop = nullptr;
}

void TfrmShop::Execute()
{
    TfrmShop dialog;
    dialog.exec();
}

QColor TfrmShop::StateColor(const QString &state)
{
    if (state == Waiting) return QColor(0, 128, 128);
    if (state == Blocked) return QColor(255, 0, 0);
    return {};
}

void TfrmShop::ShowCount()
{
    grdShop->Model()->SetFooter(2, QString::number(rdShop.RecordCount()));
}

void TfrmShop::LoadList(const QString &statement)
{
    Guard([&] {
        BusyCursor busy;
        rdShop.Close();
        rdShop.SQL = QStringList{statement};
        rdShop.Open();
        rdShop.First();
    });
}

void TfrmShop::FormCreate()
{
    LoadList(QStringLiteral("SELECT * FROM Sys_Shop"));
}

void TfrmShop::rdAllClick()
{
    LoadList(QStringLiteral("SELECT * FROM Sys_Shop ORDER BY ShopNo"));
}

void TfrmShop::rdUpClick()
{
    LoadList(QStringLiteral("SELECT * FROM Sys_Shop WHERE State='待审核' ORDER BY ShopNo"));
}

void TfrmShop::rdOnClick()
{
    LoadList(QStringLiteral("SELECT * FROM Sys_Shop WHERE State='已上线' ORDER BY ShopNo"));
}

void TfrmShop::rdDownClick()
{
    LoadList(QStringLiteral("SELECT * FROM Sys_Shop WHERE State='已屏蔽' ORDER BY ShopNo"));
}

void TfrmShop::tbEditClick()
{
    Guard([this] {
        if (!rdShop.Active() || rdShop.IsEmpty()) return;
        rdShop.Edit();
        TfrmShopEdit editor;
        editor.exec();
    });
}

void TfrmShop::tbDelClick()
{
    Guard([this] {
        if (!rdShop.Active() || rdShop.IsEmpty()) return;
        // Merchant numbers compare without case in the database, so they do here too: a user who
        // signed in as "a001" must not be able to delete "A001".
        if (rdShop.FieldText(QStringLiteral("ShopNo")).compare(SysSet.ShopNo, Qt::CaseInsensitive) == 0) {
            MsgInfo(QStringLiteral("对不起,禁止删除当前登录商户!"));
            return;
        }
        if (rdShop.FieldBool(QStringLiteral("Admin"))) {
            MsgInfo(QStringLiteral("对不起,禁止删除平台管理商户!"));
            return;
        }
        if (!MsgAsk(QStringLiteral("将清除当前商户在平台中的所有数据,确认吗?"))) return;
        // The database removes the merchant's users, login hosts and stock with its row.
        BusyCursor busy;
        rdShop.Delete();
    });
}

void TfrmShop::tbExitClick()
{
    done(QDialog::Rejected);
}

void TfrmShop::FormClose()
{
    rdShop.Close();
}

void TfrmShop::done(int result)
{
    Guard([this] { FormClose(); });
    TDialogBase::done(result);
}

void TfrmShop::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (IsEnter(key)) {
        key = 0;
        tbEditClick();
    } else if (key == Qt::Key_Delete) {
        key = 0;
        tbDelClick();
    }
}

bool TfrmShop::eventFilter(QObject *watched, QEvent *event)
{
    // Enter runs the edit wherever the focus is: a focused filter button doesn't take it.
    if (event->type() == QEvent::KeyPress && KeyPreview::FirstDeliveryInside(this, watched) &&
        IsEnter(static_cast<QKeyEvent *>(event)->key()) &&
        qobject_cast<QRadioButton *>(QApplication::focusWidget())) {
        int key = static_cast<QKeyEvent *>(event)->key();
        FormKeyDown(key, static_cast<QKeyEvent *>(event)->modifiers());
        return true;
    }
    return TDialogBase::eventFilter(watched, event);
}
