#pragma once
#include "foundation/ui/untDialog.h"

#include <QDate>

class QFrame;
class QLabel;
class QPushButton;

// The about box: title, version, rights line and legal notice. Enter and Esc close it.
class TfrmAbout : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // Shows the box modally, held in frmAbout while it is open.
    static void Execute();

    // "Copyright (C) 2017-" + the year of today + company name + the all-rights-reserved phrase.
    static QString RightsLine(const QDate &today, const QString &companyName);

    QLabel *imgLogo;
    QLabel *lbSoftName;
    QLabel *lbVer;
    QLabel *lbRights;
    QFrame *bvLine;
    QLabel *lbAlert;
    QPushButton *btnOk;

    void FormCreate();
    void btnOkClick();

protected:
    void FormKeyDown(int &key, Qt::KeyboardModifiers modifiers) override;
    void showEvent(QShowEvent *event) override;
};

extern TfrmAbout *frmAbout;
