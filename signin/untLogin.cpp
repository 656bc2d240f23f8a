#include "signin/untLogin.h"
#include "signin/TitleBand.h"

#include "foundation/db/StoredProc.h"
#include "foundation/ui/BusyCursor.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "shell/Pictures.h"
#include "signin/untReg.h"

#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <memory>
#include <stdexcept>

TfrmLogin *frmLogin = nullptr;

TLinkLabel::TLinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(pal);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

namespace {

QLabel *MakeLabel(const QString &text, const QRect &geometry, const QFont &font, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    label->setGeometry(geometry);
    return label;
}

QFrame *MakeRule(const QRect &geometry, QWidget *parent)
{
    auto *rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(geometry);
    return rule;
}

} // namespace

TfrmLogin::TfrmLogin(QWidget *parent) : TDialogBase(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    // Fixed border without title-bar buttons: Esc or 取消 closes it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    SetClientSize(434, 217);
    SetKeyPreview(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(247, 245, 245));
    setPalette(pal);
    setAutoFillBackground(true);

    const TitleBand band = MakeTitleBand(
        this, 434, 65, QStringLiteral("系统登录"), 12,
        QStringLiteral("    请输入商户编号、用户编号及密码，验证合法后方可进入系统，新商户请先注册。"),
        QRect(30, 27, 330, 34), LogoPicture(), QRect(372, 8, 48, 48));
    shpBack = band.shpBack;
    lbMark = band.lbMark;
    lbInfo = band.lbInfo;
    imgLogo = band.imgLogo;
    spTitle = band.spTitle;

    const QFont bold = DialogFont(14, true);
    Label1 = MakeLabel(QStringLiteral("商户编号："), QRect(40, 84, 80, 24), bold, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    edtShopNo = new QLineEdit(this);
    edtShopNo->setObjectName(QStringLiteral("edtShopNo"));
    edtShopNo->setGeometry(122, 84, 150, 24);
    edtShopNo->setFont(bold);
    LimitGbk(edtShopNo, 10);
    Label4 = new TLinkLabel(QStringLiteral("注册申请"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(290, 86, 64, 20);
    connect(Label4, &TLinkLabel::clicked, this, [this] { Guard([this] { Label4Click(); }); });

    MakeRule(QRect(20, 115, 394, 2), this);

    Label2 = MakeLabel(QStringLiteral("用户编号："), QRect(40, 126, 80, 24), bold, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    edtUserNo = new QLineEdit(this);
    edtUserNo->setObjectName(QStringLiteral("edtUserNo"));
    edtUserNo->setGeometry(122, 126, 150, 24);
    edtUserNo->setFont(bold);
    LimitGbk(edtUserNo, 10);
    Label3 = MakeLabel(QStringLiteral("登录密码："), QRect(40, 158, 80, 24), bold, this);
    Label3->setObjectName(QStringLiteral("Label3"));
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setGeometry(122, 158, 150, 24);
    edtPassword->setFont(bold);
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(
        QStringLiteral("lineedit-password-character: 42;")); // typed characters show as "*"
    LimitGbk(edtPassword, 30);

    btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(300, 125, 90, 26);
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(300, 157, 90, 26);
    for (QPushButton *b : {btnOk, btnCancel}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::StrongFocus);
    }
    SetCancelButton(btnCancel);
    connect(btnOk, &QPushButton::clicked, this, [this] { Guard([this] { btnOkClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    MakeRule(QRect(20, 190, 394, 2), this);
    lbRights = MakeLabel(QStringLiteral("版权所有 © ") + SysSet.CompanyName, QRect(0, 194, 434, 20),
                         DialogFont(12), this);
    lbRights->setObjectName(QStringLiteral("lbRights"));
    lbRights->setAlignment(Qt::AlignCenter);
    QPalette grey = lbRights->palette();
    grey.setColor(QPalette::WindowText, QColor(120, 120, 120));
    lbRights->setPalette(grey);

    setTabOrder(edtShopNo, edtUserNo);
    setTabOrder(edtUserNo, edtPassword);
    setTabOrder(edtPassword, btnOk);
    setTabOrder(btnOk, btnCancel);
}

void TfrmLogin::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    if (!event->spontaneous()) Guard([this] { FormShow(); });
}

void TfrmLogin::FormShow()
{
    setWindowTitle(SysSet.AppTitle);
    edtShopNo->setText(SysSet.ShopNo);
    edtUserNo->setText(SysSet.UserNo);
    if (edtShopNo->text().isEmpty())
        edtShopNo->setFocus();
    else if (edtUserNo->text().isEmpty())
        edtUserNo->setFocus();
    else
        edtPassword->setFocus();
}

void TfrmLogin::btnOkClick()
{
    const QString shopNo = TrimText(edtShopNo->text());
    const QString userNo = TrimText(edtUserNo->text());
    if (shopNo.isEmpty()) {
        MsgInfo(QStringLiteral("商户编号不能为空,请检查!"));
        edtShopNo->setFocus();
        return;
    }
    if (userNo.isEmpty()) {
        MsgInfo(QStringLiteral("用户编号不能为空,请检查!"));
        edtUserNo->setFocus();
        return;
    }

    BusyCursor busy;
    StoredProc &proc = frmData->rdProc;
    if (!frmData->rdConn.Connected()) {
        try {
            frmData->rdConn.Open();
        } catch (const std::exception &) {
            MsgWarn(QStringLiteral("联盟服务器连接失败,请检查！"));
            return;
        }
    }

    QString shopName, allName, action;
    try {
        proc.Close();
        proc.StoredProcName = QStringLiteral("Sp_Sys_Login");
        const auto inOut = StoredProc::Direction::InOut;
        proc.SetParam(QStringLiteral("ShopNo"), shopNo);
        proc.SetParam(QStringLiteral("UserNo"), userNo);
        proc.SetParam(QStringLiteral("Password"), EncodePassword(TrimText(edtPassword->text())));
        proc.SetParam(QStringLiteral("HostId"), HostIdentity());
        proc.SetParam(QStringLiteral("HostName"), LocalComputerName());
        proc.SetParam(QStringLiteral("ShopName"), QString(), inOut);
        proc.SetParam(QStringLiteral("AllName"), QString(), inOut);
        proc.SetParam(QStringLiteral("Action"), QString(), inOut);
        proc.SetParam(QStringLiteral("RunState"), QString(), inOut);
        proc.ExecProc();

        const QString runState = proc.ParamText(QStringLiteral("RunState"));
        if (!RunStateAccepted(runState)) {
            MsgWarn(runState); // the server's own reason, as it wrote it
            return;
        }
        shopName = proc.ParamText(QStringLiteral("ShopName"));
        allName = proc.ParamText(QStringLiteral("AllName"));
        action = proc.ParamText(QStringLiteral("Action"));
    } catch (const std::exception &) {
        MsgWarn(QStringLiteral("登录失败,请重试！"));
        return;
    }

    SysSet.ShopNo = shopNo;
    SysSet.ShopName = shopName;
    SysSet.AllName = allName;
    SysSet.UserNo = userNo;
    SysSet.Action = action;
    // The server accepted the sign-in: a settings file that cannot be written only loses the
    // remembered numbers, so it is reported and the sign-in still completes.
    Guard([] { SaveLoginIds(); });
    SysSet.LoginOk = true;
    accept();
}

void TfrmLogin::btnCancelClick()
{
    reject();
}

void TfrmLogin::Label4Click()
{
    auto reg = std::make_unique<TfrmReg>();
    frmReg = reg.get();
    reg->exec();
    frmReg = nullptr;
}

bool RunStateAccepted(const QString &runState)
{
    return TrimText(runState) == QLatin1String("0");
}

bool RunLogin()
{
    TfrmLogin dialog;
    frmLogin = &dialog;
    dialog.exec();
    frmLogin = nullptr;
    return SysSet.LoginOk;
}
