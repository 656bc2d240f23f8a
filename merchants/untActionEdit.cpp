#include "merchants/untActionEdit.h"

#include "foundation/ui/DBBind.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "merchants/untAction.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

TfrmActionEdit *frmActionEdit = nullptr;

namespace {

constexpr int BoxLeft = 150;
constexpr int BoxTop = 92;
constexpr int BoxStep = 24;

const char *const Codes[] = {"01", "02", "03", "04", "05", "06"};

QLabel *Caption(QWidget *parent, const QString &text, int top)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(60, top, 88, 24);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

TfrmActionEdit::TfrmActionEdit(QWidget *parent) : TDialogBase(parent)
{
    setObjectName(QStringLiteral("frmActionEdit"));
    setWindowTitle(QStringLiteral("用户管理"));
    SetClientSize(584, 332);

    pgEdit = new QTabWidget(this);
    pgEdit->setObjectName(QStringLiteral("pgEdit"));
    pgEdit->setGeometry(8, 8, 568, 280);
    pgEdit->tabBar()->setFocusPolicy(Qt::NoFocus);
    tbEdit = new QWidget;
    tbEdit->setObjectName(QStringLiteral("tbEdit"));
    pgEdit->addTab(tbEdit, QStringLiteral("增加"));

    lbUserNo = Caption(tbEdit, QStringLiteral("用户编号："), 20);
    edtUserNo = new QLineEdit(tbEdit);
    edtUserNo->setObjectName(QStringLiteral("edtUserNo"));
    edtUserNo->setGeometry(BoxLeft, 20, 220, 24);
    LimitGbk(edtUserNo, 10);

    lbUserName = Caption(tbEdit, QStringLiteral("用户名称："), 54);
    edtUserName = new QLineEdit(tbEdit);
    edtUserName->setObjectName(QStringLiteral("edtUserName"));
    edtUserName->setGeometry(BoxLeft, 54, 220, 24);
    LimitGbk(edtUserName, 20);

    lbAction = Caption(tbEdit, QStringLiteral("用户权限："), BoxTop - 2);
    const QString captions[] = {QStringLiteral("库存查询"), QStringLiteral("商户管理"),
                                QStringLiteral("商户大全"), QStringLiteral("信息设置"),
                                QStringLiteral("用户权限"), QStringLiteral("修改密码")};
    for (int i = 0; i < 6; ++i) {
        auto *box = new QCheckBox(captions[i], tbEdit);
        box->setObjectName(QStringLiteral("chk") + QLatin1String(Codes[i]));
        box->resize(160, 22);
        m_boxes << box;
    }
    chk01 = m_boxes[0];
    chk02 = m_boxes[1];
    chk03 = m_boxes[2];
    chk04 = m_boxes[3];
    chk05 = m_boxes[4];
    chk06 = m_boxes[5];
    PlaceBoxes(true);

    btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(404, 296, 80, 28);
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(496, 296, 80, 28);
    SetCancelButton(btnCancel);
    SetKeyPreview(true);

    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    // The edits show and change the current row of the users dialog's list.
    if (frmAction) {
        Query *list = &frmAction->rdUser;
        BindEdit(edtUserNo, list, QStringLiteral("UserNo"));
        BindEdit(edtUserName, list, QStringLiteral("UserName"));
        if (list->Active() && list->RecNo() >= 0) m_userNoAsRead = list->FieldText(QStringLiteral("UserNo"));
    }
}

void TfrmActionEdit::PlaceBoxes(bool withChk02)
{
    int slot = 0;
    for (QCheckBox *box : m_boxes) {
        if (box == chk02 && !withChk02) {
            box->move(-1000, box->y()); // out of view; keeps its state
            continue;
        }
        box->move(BoxLeft, BoxTop + slot * BoxStep);
        ++slot;
    }
}

void TfrmActionEdit::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    Guard([this] { FormShow(); });
}

void TfrmActionEdit::FormShow()
{
    if (!frmAction) return;
    const Query &list = frmAction->rdUser;
    if (EditMode == QLatin1String("Edit")) {
        const QString action = list.FieldText(QStringLiteral("Action"));
        for (int i = 0; i < 6; ++i)
            m_boxes[i]->setChecked(ContainsText(action, QLatin1String(Codes[i]), true));
        pgEdit->setTabText(0, QStringLiteral("修改"));
    } else {
        pgEdit->setTabText(0, QStringLiteral("增加"));
    }

    // Code 02 is granted only within the platform administrator's merchant; until that is known
    // the box can't be changed.
    chk02->setEnabled(false);
    Query &q = frmData->rdPublic;
    q.Close();
    q.SQL = {QStringLiteral("SELECT ISNULL(Admin,0) AS Admin FROM Sys_Shop WHERE ShopNo=:ShopNo")};
    q.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
    q.Open();
    const bool admin = !q.IsEmpty() && q.FieldBool(QStringLiteral("Admin"));
    q.Close();
    chk02->setEnabled(admin);
    PlaceBoxes(admin);
    edtUserNo->setFocus();
}

QString TfrmActionEdit::ActionText() const
{
    QString action;
    for (int i = 0; i < 6; ++i)
        if (m_boxes[i]->isChecked()) action += QLatin1String(Codes[i]) + QLatin1Char(',');
    return action;
}

bool TfrmActionEdit::UserNoTaken(const QString &userNo) const
{
    // Compared by the database itself, so the test agrees with the table's key.
    Query &q = frmData->rdPublic;
    q.Close();
    q.SQL = {QStringLiteral("SELECT COUNT(*) AS Num FROM Sys_User WHERE ShopNo=:ShopNo AND UserNo=:UserNo")};
    q.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
    q.SetParam(QStringLiteral("UserNo"), userNo);
    if (EditMode == QLatin1String("Edit")) {
        q.SQL << QStringLiteral("AND UserNo<>:OldUserNo"); // the edited user keeps its own number
        q.SetParam(QStringLiteral("OldUserNo"), m_userNoAsRead);
    }
    q.Open();
    const bool taken = q.FieldInt(QStringLiteral("Num")) > 0;
    q.Close();
    return taken;
}

void TfrmActionEdit::btnOkClick()
{
    Guard([this] {
        if (!frmAction) return;
        if (TrimText(edtUserNo->text()).isEmpty()) {
            MsgInfo(QStringLiteral("用户编号不能为空,请检查！"));
            edtUserNo->setFocus();
            return;
        }
        if (TrimText(edtUserName->text()).isEmpty()) {
            MsgInfo(QStringLiteral("用户名称不能为空,请检查！"));
            edtUserName->setFocus();
            return;
        }
        if (UserNoTaken(edtUserNo->text())) {
            MsgInfo(QStringLiteral("用户编号“%1”已被本商户的其他用户使用,请换一个编号！")
                        .arg(TrimText(edtUserNo->text())));
            edtUserNo->setFocus();
            return;
        }

        Query &list = frmAction->rdUser;
        const QString action = ActionText();
        if (EditMode == QLatin1String("Add")) {
            list.SetField(QStringLiteral("ShopNo"), SysSet.ShopNo);
            list.SetField(QStringLiteral("Password"), EncodePassword(QString()));
        }
        list.SetField(QStringLiteral("Action"), TrimText(action));
        list.Post();

        // A signed-in user who renames themselves stays the signed-in user: their own row stays
        // protected from deletion and the change of password still finds it.
        const QString userNo = list.FieldText(QStringLiteral("UserNo"));
        if (EditMode == QLatin1String("Edit") && userNo != m_userNoAsRead &&
            TfrmAction::IsSignedInUser(m_userNoAsRead))
            SysSet.UserNo = userNo;
        accept();
    });
}

void TfrmActionEdit::btnCancelClick()
{
    done(QDialog::Rejected);
}

void TfrmActionEdit::FormClose()
{
    if (frmAction) frmAction->CancelUser();
}

void TfrmActionEdit::done(int result)
{
    Guard([this] { FormClose(); });
    TDialogBase::done(result);
}
