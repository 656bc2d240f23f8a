#include "shell/untAbout.h"

#include "foundation/ui/untMessages.h"
#include "foundation/untPublic.h"
#include "shell/untUpdater.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

TfrmAbout *frmAbout = nullptr;

namespace {

// The program's logo from its resources, else a plain drawn mark.
QPixmap LogoPicture()
{
    const QPixmap logo(QStringLiteral(":/logo.png"));
    if (!logo.isNull()) return logo.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x5f, 0xa8));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(15, 15), 8, 8);
    p.drawLine(QPointF(19, 19), QPointF(26, 26));
    return pixmap;
}

QLabel *Label(QWidget *parent, int left, int top)
{
    auto *label = new QLabel(parent);
    label->move(left, top);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent) : TDialogBase(parent)
{
    setFont(DialogFont(12));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    SetClientSize(392, 153);

    imgLogo = new QLabel(this);
    imgLogo->setGeometry(16, 19, 32, 32);
    imgLogo->setPixmap(LogoPicture());

    lbSoftName = Label(this, 62, 9);
    lbSoftName->setFont(DialogFont(12, true));
    lbVer = Label(this, 62, 30);
    lbRights = Label(this, 62, 49);

    bvLine = new QFrame(this);
    bvLine->setFrameShape(QFrame::HLine);
    bvLine->setFrameShadow(QFrame::Sunken);
    bvLine->setGeometry(0, 72, 385, 2);

    lbAlert = new QLabel(this);
    lbAlert->setGeometry(8, 81, 372, 51);
    lbAlert->setWordWrap(true);
    lbAlert->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbAlert->setText(
        QStringLiteral("警告：本程序受著作权法保护。未经著作权人书面许可，任何单位或个人不得"
                       "复制、修改、出租或传播本程序的全部或部分内容，违者将依法承担法律责任。"));

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setGeometry(309, 125, 75, 25);
    connect(btnOk, &QPushButton::clicked, this, &TfrmAbout::btnOkClick);
    SetCancelButton(btnOk);
    SetKeyPreview(true);

    Guard([this] { FormCreate(); });
}

QString TfrmAbout::RightsLine(const QDate &today, const QString &companyName)
{
    return QStringLiteral("Copyright (C) 2017-") +
           QStringLiteral("%1").arg(today.year(), 4, 10, QChar(u'0')) + companyName +
           QStringLiteral(" 保留所有权利。");
}

void TfrmAbout::Execute()
{
    TfrmAbout dialog;
    frmAbout = &dialog;
    dialog.exec();
    frmAbout = nullptr;
}

void TfrmAbout::FormCreate()
{
    setWindowTitle(QStringLiteral("关于") + SysSet.AppTitle);
    lbSoftName->setText(SysSet.AppTitle);
    lbVer->setText(QStringLiteral("版本：") + TUpdater::VersionNumber);
    lbRights->setText(RightsLine(QDate::currentDate(), SysSet.CompanyName));
    for (QLabel *label : {lbSoftName, lbVer, lbRights})
        label->adjustSize();
}

void TfrmAbout::btnOkClick()
{
    accept();
}

void TfrmAbout::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    // btnOk is both the default and the cancel button: Enter closes wherever the focus is.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        btnOk->click();
        key = 0;
    }
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    // Centred on the window it was opened over (the main window).
    QWidget *over = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (over && over != this && over->isVisible())
        move(over->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    btnOk->setFocus();
}
