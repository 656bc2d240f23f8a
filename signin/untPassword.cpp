#include "signin/untPassword.h"

#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

TfrmPassword *frmPassword = nullptr;

namespace {

// A padlock drawn for the title band.
QPixmap LockPicture()
{
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5a, 0x6b, 0x7d), 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(11, 4, 18, 22), 0, 180 * 16);
    p.drawLine(QPointF(11, 15), QPointF(11, 19));
    p.drawLine(QPointF(29, 15), QPointF(29, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe3, 0xa0, 0x1c));
    p.drawRoundedRect(QRectF(6, 18, 28, 20), 3, 3);
    p.setBrush(QColor(0x5a, 0x3c, 0x00));
    p.drawEllipse(QPointF(20, 26), 3, 3);
    p.drawRect(QRectF(19, 27, 2, 6));
    return pixmap;
}

QFrame *Rule(QWidget *parent, int left, int top, int width)
{
    auto *rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(left, top, width, 2);
    return rule;
}

QLineEdit *PasswordEdit(QWidget *parent, const QString &name, QLabel *label, int top)
{
    label->setFont(DialogFont(14, true));
    label->setGeometry(60, top, 90, 24);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(150, top, 190, 24);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // shown as "*"
    // No length limit of its own; only text the stored form can encode is taken.
    LimitGbk(edit, 32767);
    return edit;
}

} // namespace

TfrmPassword::TfrmPassword(QWidget *parent) : TDialogBase(parent)
{
    setObjectName(QStringLiteral("frmPassword"));
    SetClientSize(392, 208);

    auto *band = new QFrame(this);
    band->setGeometry(0, 0, 392, 60);
    band->setAutoFillBackground(true);
    QPalette white = band->palette();
    white.setColor(QPalette::Window, Qt::white);
    band->setPalette(white);
    lbTitle = new QLabel(QStringLiteral("修改密码"), band);
    lbTitle->setFont(DialogFont(14, true));
    lbTitle->setGeometry(14, 6, 200, 20);
    lbNote = new QLabel(
        QStringLiteral("    为了保证系统的安全可靠，请设置并保管好自已的密码。建议不定期的修改密码。"), band);
    lbNote->setFont(DialogFont(12));
    lbNote->setWordWrap(true);
    lbNote->setGeometry(14, 25, 318, 34);
    imgLogo = new QLabel(band);
    imgLogo->setGeometry(342, 10, 40, 40);
    imgLogo->setPixmap(LockPicture());
    Rule(this, 0, 60, 392);

    edtOldPass =
        PasswordEdit(this, QStringLiteral("edtOldPass"), new QLabel(QStringLiteral("原 密 码："), this), 72);
    Rule(this, 60, 103, 280);
    edtNewPass =
        PasswordEdit(this, QStringLiteral("edtNewPass"), new QLabel(QStringLiteral("新 密 码："), this), 112);
    edtConfirm =
        PasswordEdit(this, QStringLiteral("edtConfirm"), new QLabel(QStringLiteral("确认密码："), this), 142);
    Rule(this, 8, 172, 376);

    btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(222, 177, 80, 27);
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(306, 177, 80, 27);
    SetCancelButton(btnCancel);

    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TfrmPassword::Execute()
{
    TfrmPassword dialog;
    frmPassword = &dialog;
    dialog.exec();
    frmPassword = nullptr;
}

void TfrmPassword::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    Guard([this] { FormShow(); });
}

void TfrmPassword::FormShow()
{
    setWindowTitle(SysSet.AppTitle);
    edtOldPass->setFocus();
}

void TfrmPassword::btnOkClick()
{
    Guard([this] {
        const QString newPass = TrimText(edtNewPass->text());
        if (newPass != TrimText(edtConfirm->text())) {
            MsgWarn(QStringLiteral("新密码与确认密码不一致，请重新输入！"));
            edtNewPass->setFocus();
            return;
        }
        // The filler stands for the empty password: stored, it would let anyone in without one.
        if (IsPasswordFiller(newPass)) {
            MsgWarn(QStringLiteral("该密码为系统保留值，不能作为新密码，请重新输入！"));
            edtNewPass->setFocus();
            return;
        }
        // A longer password could never be typed into the login dialog again.
        if (GbkLength(newPass) > MaxPasswordBytes) {
            MsgWarn(QStringLiteral("新密码不能超过%1个字符(一个汉字占两个字符)，请重新输入！")
                        .arg(MaxPasswordBytes));
            edtNewPass->setFocus();
            return;
        }

        Query &q = frmData->rdPublic;
        q.Close();
        q.SQL = {QStringLiteral("SELECT PassWord FROM Sys_User WHERE ShopNo=:ShopNo AND UserNo=:UserNo")};
        q.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
        q.SetParam(QStringLiteral("UserNo"), SysSet.UserNo);
        q.Open();
        if (q.IsEmpty()) {
            q.Close();
            MsgWarn(QStringLiteral("对不起,系统中已无此用户,不能进行此操作！"));
            return;
        }
        const QString stored = TrimText(q.FieldText(QStringLiteral("PassWord")));
        q.Close();
        if (stored != EncodePassword(TrimText(edtOldPass->text()))) {
            MsgWarn(QStringLiteral("对不起,原密码错误,请重输！"));
            edtOldPass->setFocus();
            return;
        }

        q.Close();
        q.ClearParams();
        q.SQL = {QStringLiteral(
            "UPDATE Sys_User SET PassWord=:PassWord  WHERE ShopNo=:ShopNo AND UserNo=:UserNo")};
        q.SetParam(QStringLiteral("PassWord"), EncodePassword(newPass));
        q.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
        q.SetParam(QStringLiteral("UserNo"), SysSet.UserNo);
        q.ExecSQL();
        if (q.RowsAffected() == 0) { // deleted between the check and the write
            MsgWarn(QStringLiteral("对不起,系统中已无此用户,不能进行此操作！"));
            return;
        }

        MsgInfo(QStringLiteral("密码修改成功！请您记好新密码！"));
        done(QDialog::Accepted);
    });
}

void TfrmPassword::btnCancelClick()
{
    done(QDialog::Rejected);
}
