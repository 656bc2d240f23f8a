#include "signin/untReg.h"
#include "signin/TitleBand.h"

#include "foundation/db/StoredProc.h"
#include "foundation/ui/BusyCursor.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "shell/Pictures.h"
#include "signin/untLogin.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

TfrmReg *frmReg = nullptr;

namespace {

struct Field {
    const char *label;
    const char *name;
    int maxBytes;
    int width;
    const char *emptyMessage; // nullptr: not required
};

// Screen and tab order; the widths are those of the server's columns.
const Field kFields[] = {
    {"商户编号：", "edtShopNo", 10, 150, "商户编号不能为空,请检查！"},
    {"商户简称：", "edtShopName", 30, 220, "商户简称不能为空,请检查！"},
    {"商户全称：", "edtAllName", 60, 380, "商户全称不能为空,请检查！"},
    {"商户代表：", "edtLinkPer", 20, 150, "商户代表不能为空,请检查！"},
    {"联系电话：", "edtTel", 30, 220, "联系电话不能为空,请检查！"},
    {"联系地址：", "edtAddress", 100, 380, "联系地址不能为空,请检查！"},
    {"管理员账号：", "edtUserNo", 10, 150, "管理员账号不能为空,请检查！"},
    {"管理员密码：", "edtPassword", 30, 150, nullptr},
};

} // namespace

TfrmReg::TfrmReg(QWidget *parent) : TDialogBase(parent)
{
    setObjectName(QStringLiteral("frmReg"));
    setWindowTitle(SysSet.AppTitle);
    SetClientSize(584, 362);
    SetKeyPreview(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(247, 245, 245));
    setPalette(pal);
    setAutoFillBackground(true);

    const TitleBand band =
        MakeTitleBand(this, 584, 65, QStringLiteral("注册申请"), 12,
                      QStringLiteral("    请提交贵单位的有效信息,并经管理人员审核确认后方可登录使用本系统。"),
                      QRect(30, 30, 470, 30), LogoPicture(), QRect(522, 8, 48, 48));
    shpBack = band.shpBack;
    lbMark = band.lbMark;
    lbInfo = band.lbInfo;
    imgLogo = band.imgLogo;
    spTitle = band.spTitle;

    QLineEdit **edits[] = {&edtShopNo, &edtShopName, &edtAllName, &edtLinkPer,
                           &edtTel,    &edtAddress,  &edtUserNo,  &edtPassword};
    int y = 80;
    QWidget *previous = nullptr;
    for (std::size_t i = 0; i < std::size(kFields); ++i, y += 29) {
        const Field &f = kFields[i];
        auto *label = new QLabel(QString::fromUtf8(f.label), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(40, y, 110, 24);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(f.name));
        edit->setGeometry(155, y, f.width, 24);
        LimitGbk(edit, f.maxBytes);
        *edits[i] = edit;
        if (previous) setTabOrder(previous, edit);
        previous = edit;
    }
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet(
        QStringLiteral("lineedit-password-character: 42;")); // typed characters show as "*"
    lbShopNoNote = new QLabel(QStringLiteral("(10位以内字符)"), this);
    lbShopNoNote->setObjectName(QStringLiteral("lbShopNoNote"));
    lbShopNoNote->setGeometry(315, 80, 150, 24);
    QPalette note = lbShopNoNote->palette();
    note.setColor(QPalette::WindowText, QColor(128, 128, 128));
    lbShopNoNote->setPalette(note);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(14, 316, 556, 2);

    btnOk = new QPushButton(QStringLiteral("提交(&O)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(386, 326, 88, 28);
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(482, 326, 88, 28);
    for (QPushButton *b : {btnOk, btnCancel}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::StrongFocus);
    }
    setTabOrder(edtPassword, btnOk);
    setTabOrder(btnOk, btnCancel);
    SetCancelButton(btnCancel);
    connect(btnOk, &QPushButton::clicked, this, [this] { Guard([this] { btnOkClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    edtShopNo->setFocus();
}

void TfrmReg::btnOkClick()
{
    QLineEdit *const edits[] = {edtShopNo, edtShopName, edtAllName, edtLinkPer,
                                edtTel,    edtAddress,  edtUserNo,  edtPassword};
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        if (kFields[i].emptyMessage && TrimText(edits[i]->text()).isEmpty()) {
            MsgInfo(QString::fromUtf8(kFields[i].emptyMessage));
            edits[i]->setFocus();
            return;
        }
    const QString password = TrimText(edtPassword->text());
    // The filler stands for the empty password and is stored the same way: a password equal to
    // it would sign in with an empty password too.
    if (IsPasswordFiller(password)) {
        MsgInfo(QStringLiteral("该密码与空密码的存储形式相同,不能使用,请换一个管理员密码！"));
        edtPassword->setFocus();
        return;
    }

    BusyCursor busy;
    if (!frmData->rdConn.Connected()) {
        try {
            frmData->rdConn.Open();
        } catch (const std::exception &) {
            MsgWarn(QStringLiteral("服务器连接失败,请检查！"));
            return;
        }
    }

    QString runState;
    try {
        StoredProc &proc = frmData->rdProc;
        proc.Close();
        proc.StoredProcName = QStringLiteral("Sp_Sys_Reg");
        proc.SetParam(QStringLiteral("ShopNo"), TrimText(edtShopNo->text()));
        proc.SetParam(QStringLiteral("ShopName"), TrimText(edtShopName->text()));
        proc.SetParam(QStringLiteral("AllName"), TrimText(edtAllName->text()));
        proc.SetParam(QStringLiteral("LinkPer"), TrimText(edtLinkPer->text()));
        proc.SetParam(QStringLiteral("Tel"), TrimText(edtTel->text()));
        proc.SetParam(QStringLiteral("Address"), TrimText(edtAddress->text()));
        proc.SetParam(QStringLiteral("UserNo"), TrimText(edtUserNo->text()));
        proc.SetParam(QStringLiteral("Password"), EncodePassword(password));
        proc.SetParam(QStringLiteral("RunState"), QString(), StoredProc::Direction::InOut);
        proc.ExecProc();
        runState = proc.ParamText(QStringLiteral("RunState"));
    } catch (const std::exception &) {
        MsgWarn(QStringLiteral("提交失败,请重试！"));
        return;
    }

    if (RunStateAccepted(runState)) {
        MsgInfo(QStringLiteral("提交成功,请等待审核!"));
        accept();
    } else {
        MsgWarn(runState); // the server's own reason, as it wrote it
    }
}

void TfrmReg::btnCancelClick()
{
    reject();
}
