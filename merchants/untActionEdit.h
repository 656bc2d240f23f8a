#pragma once
#include "foundation/ui/untDialog.h"

#include <QList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Edits one user of frmAction's user list: number, name and the six permission boxes. The
// opener puts the list's current row into insert or edit state and sets EditMode first.
class TfrmActionEdit : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmActionEdit(QWidget *parent = nullptr);

    QString EditMode; // "Add" or "Edit"

    QTabWidget *pgEdit;
    QWidget *tbEdit;
    QLabel *lbUserNo;
    QLabel *lbUserName;
    QLabel *lbAction;
    QLineEdit *edtUserNo;
    QLineEdit *edtUserName;
    QCheckBox *chk01;
    QCheckBox *chk02;
    QCheckBox *chk03;
    QCheckBox *chk04;
    QCheckBox *chk05;
    QCheckBox *chk06;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void FormShow();
    void FormClose();
    void btnOkClick();
    void btnCancelClick();

    // The permission string of the ticked boxes: their codes in order, each followed by a comma.
    QString ActionText() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Places the permission boxes in one column; without chk02 the others close ranks.
    void PlaceBoxes(bool withChk02);
    bool UserNoTaken(const QString &userNo) const;

    QList<QCheckBox *> m_boxes;
    QString m_userNoAsRead; // the edited row's number before any change
    bool m_shown = false;
};

extern TfrmActionEdit *frmActionEdit;
