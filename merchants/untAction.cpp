#include "merchants/untAction.h"

#include "foundation/ImageIndex.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "merchants/untActionEdit.h"

#include <QCheckBox>
#include <QDateTime>
#include <QIcon>
#include <QItemSelectionModel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

TfrmAction *frmAction = nullptr;

namespace {

QPushButton *ToolButton(QWidget *parent, const QString &caption, int image, int left, int top)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(left, top, 80, 28);
    if (frmData) button->setIcon(QIcon(QPixmap::fromImage(frmData->Image.Image(image))));
    return button;
}

// Date and time as the server holds them, whatever type the engine reports them in.
QString DateTimeText(const QVariant &value)
{
    if (value.isNull()) return {};
    const QDateTime when = value.toDateTime();
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : value.toString();
}

// The value as the database compares user numbers: trailing blanks ignored, ASCII case folded.
QString UserKey(QString userNo)
{
    while (!userNo.isEmpty() && userNo.back().unicode() <= 32)
        userNo.chop(1);
    for (QChar &c : userNo)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return userNo;
}

} // namespace

TfrmAction::TfrmAction(QWidget *parent)
    : TDialogBase(parent), rdUser(&frmData->rdConn, this), rdLogin(&frmData->rdConn, this)
{
    setObjectName(QStringLiteral("frmAction"));
    setWindowTitle(QStringLiteral("用户权限"));
    SetClientSize(584, 332);
    rdUser.setObjectName(QStringLiteral("rdUser"));
    rdLogin.setObjectName(QStringLiteral("rdLogin"));
    rdUser.SetUpdateTable(QStringLiteral("Sys_User"), {QStringLiteral("ShopNo"), QStringLiteral("UserNo")});
    rdLogin.SetUpdateTable(QStringLiteral("Sys_Login"), {QStringLiteral("ShopNo"), QStringLiteral("HostId")});

    pgEdit = new QTabWidget(this);
    pgEdit->setObjectName(QStringLiteral("pgEdit"));
    pgEdit->setGeometry(8, 8, 568, 280);

    tbUser = new QWidget;
    tbUser->setObjectName(QStringLiteral("tbUser"));
    grdUser = new TDBGrid(&rdUser,
                          {MakeColumn(QStringLiteral("UserNo"), QStringLiteral("用户编号"), 90),
                           MakeColumn(QStringLiteral("UserName"), QStringLiteral("用户名称"), 150)},
                          tbUser);
    grdUser->setObjectName(QStringLiteral("grdUser"));
    grdUser->setGeometry(6, 6, 550, 236);
    pgEdit->addTab(tbUser, QStringLiteral("用户管理"));

    tbLogin = new QWidget;
    tbLogin->setObjectName(QStringLiteral("tbLogin"));
    chkLocked = new QCheckBox(QStringLiteral("仅允许以下计算机登录系统(表格双击可删除)"), tbLogin);
    chkLocked->setObjectName(QStringLiteral("chkLocked"));
    chkLocked->setGeometry(8, 6, 540, 24);
    GridColumn lastDate = MakeColumn(QStringLiteral("LastDate"), QStringLiteral("最近登录日期"), 140);
    lastDate.format = DateTimeText;
    grdLogin =
        new TDBGrid(&rdLogin,
                    {MakeColumn(QStringLiteral("HostId"), QStringLiteral("计算机标识"), 120),
                     MakeColumn(QStringLiteral("HostName"), QStringLiteral("计算机名称"), 120),
                     MakeColumn(QStringLiteral("LastUser"), QStringLiteral("最近登录人员"), 145), lastDate},
                    tbLogin);
    grdLogin->setObjectName(QStringLiteral("grdLogin"));
    // At 12 pixels the 16-character identity fits its 120-pixel column.
    for (TDBGrid *grid : {grdUser, grdLogin})
        grid->View()->setFont(DialogFont(12));
    grdLogin->setGeometry(6, 34, 550, 208);
    pgEdit->addTab(tbLogin, QStringLiteral("登录管理"));

    btnAdd = ToolButton(this, QStringLiteral("增加"), ImageIndex::Add, 8, 296);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnEdit = ToolButton(this, QStringLiteral("修改"), ImageIndex::Edit, 94, 296);
    btnEdit->setObjectName(QStringLiteral("btnEdit"));
    btnDel = ToolButton(this, QStringLiteral("删除"), ImageIndex::Delete, 180, 296);
    btnDel->setObjectName(QStringLiteral("btnDel"));
    btnCancel = ToolButton(this, QStringLiteral("返回"), ImageIndex::Exit, 496, 296);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    SetCancelButton(btnCancel);

    connect(pgEdit, &QTabWidget::currentChanged, this, [this] { pgEditChange(); });
    connect(chkLocked, &QCheckBox::toggled, this, [this] { chkLockedClick(); });
    connect(btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { btnEditClick(); });
    connect(btnDel, &QPushButton::clicked, this, [this] { btnDelClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(grdUser, &TDBGrid::DblClick, this, [this] { btnEditClick(); });
    connect(grdLogin, &TDBGrid::DblClick, this, [this] { grdLoginDblClick(); });

    pgEdit->setCurrentWidget(tbUser);
    Guard([this] { FormCreate(); });
}

TfrmAction::~TfrmAction()
{
    if (frmAction == this) frmAction = nullptr;
}

void TfrmAction::Execute()
{
    TfrmAction dialog;
    frmAction = &dialog;
    dialog.exec();
    frmAction = nullptr;
}

void TfrmAction::FormCreate()
{
    auto openList = [](Query &list, const QString &statement) {
        list.Close();
        list.SQL = {statement};
        list.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
        list.Open();
        list.First();
    };
    openList(rdUser, QStringLiteral("SELECT * FROM Sys_User WHERE ShopNo=:ShopNo ORDER BY UserNo"));
    openList(rdLogin, QStringLiteral("SELECT * FROM Sys_Login WHERE ShopNo=:ShopNo ORDER BY HostId"));

    Query &q = frmData->rdPublic;
    q.Close();
    q.SQL = {QStringLiteral("SELECT ISNULL(Locked,0) AS Locked FROM Sys_Shop WHERE ShopNo=:ShopNo")};
    q.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
    q.Open();
    const bool locked = q.FieldBool(QStringLiteral("Locked"));
    q.Close();
    // A change of state stores it, so a stored 1 is written once more here.
    chkLocked->setChecked(locked);
}

void TfrmAction::pgEditChange()
{
    const bool users = pgEdit->currentIndex() == 0;
    btnAdd->setVisible(users);
    btnEdit->setVisible(users);
    btnDel->setVisible(users);
}

void TfrmAction::chkLockedClick()
{
    const bool on = chkLocked->isChecked();
    bool stored = false;
    Guard([&] {
        Query &q = frmData->rdPublic;
        q.Close();
        q.SQL = {QStringLiteral("UPDATE Sys_Shop SET Locked=:Locked WHERE ShopNo=:ShopNo")};
        q.SetParamBool(QStringLiteral("Locked"), on);
        q.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
        q.ExecSQL();
        stored = true;
    });
    if (!stored) {
        // The box shows what is stored, not what was refused.
        const QSignalBlocker block(chkLocked);
        chkLocked->setChecked(!on);
    }
}

void TfrmAction::RunEditor(const QString &mode)
{
    TfrmActionEdit editor;
    editor.EditMode = mode;
    frmActionEdit = &editor;
    editor.exec();
    frmActionEdit = nullptr;
}

void TfrmAction::btnAddClick()
{
    Guard([this] {
        rdUser.Append();
        RunEditor(QStringLiteral("Add"));
    });
}

void TfrmAction::btnEditClick()
{
    Guard([this] {
        if (!rdUser.Active() || rdUser.IsEmpty()) return; // nothing to edit
        rdUser.Edit();
        RunEditor(QStringLiteral("Edit"));
    });
}

bool TfrmAction::IsSignedInUser(const QString &userNo)
{
    return UserKey(userNo) == UserKey(SysSet.UserNo);
}

void TfrmAction::btnDelClick()
{
    Guard([this] {
        if (!rdUser.Active() || rdUser.IsEmpty()) return;
        if (IsSignedInUser(rdUser.FieldText(QStringLiteral("UserNo")))) {
            MsgInfo(QStringLiteral("对不起,禁止删除当前登录用户!"));
            return;
        }
        if (MsgAsk(QStringLiteral("确认要删除当前用户吗?"))) rdUser.Delete();
    });
}

void TfrmAction::grdLoginDblClick()
{
    Guard([this] {
        if (!rdLogin.Active() || rdLogin.IsEmpty()) return;
        if (rdLogin.FieldText(QStringLiteral("HostId")) == HostIdentity()) {
            MsgInfo(QStringLiteral("对不起,禁止删除当前登录机器信息!"));
            return;
        }
        if (MsgAsk(QStringLiteral("确认要删除当前登录记录吗?"))) rdLogin.Delete();
    });
}

void TfrmAction::CancelUser()
{
    // Dropping a new row moves the grid's selection, and moving the selection stores a pending
    // row: the grid must not follow until the row is gone.
    const QSignalBlocker block(grdUser->View()->selectionModel());
    rdUser.Cancel();
}

void TfrmAction::btnCancelClick()
{
    done(QDialog::Rejected);
}

void TfrmAction::FormClose()
{
    rdUser.Close();
    rdLogin.Close();
}

void TfrmAction::done(int result)
{
    Guard([this] { FormClose(); });
    TDialogBase::done(result);
}
