// Keyboard navigation of the data-entry dialogs with real key events.
#include "foundation/ui/untDialog.h"
#include "tests/fixture/Fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

class SmallDialog : public TDialogBase {
public:
    QLineEdit *edtA, *edtB, *edtC;
    QTableWidget *grid;
    QPushButton *btnOk, *btnCancel;
    int okClicks = 0, cancelClicks = 0, returnsInB = 0;
    QList<int> previewed;

    SmallDialog()
    {
        auto *layout = new QVBoxLayout(this);
        edtA = new QLineEdit(this);
        edtB = new QLineEdit(this);
        edtC = new QLineEdit(this);
        grid = new QTableWidget(3, 2, this);
        btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
        btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
        for (QWidget *w : {(QWidget *)edtA, (QWidget *)edtB, (QWidget *)edtC, (QWidget *)grid,
                           (QWidget *)btnOk, (QWidget *)btnCancel})
            layout->addWidget(w);
        connect(btnOk, &QPushButton::clicked, this, [this] { ++okClicks; });
        connect(btnCancel, &QPushButton::clicked, this, [this] {
            ++cancelClicks;
            close();
        });
        connect(edtB, &QLineEdit::returnPressed, this, [this] { ++returnsInB; });
        SetCancelButton(btnCancel);
        SetKeyPreview(true);
    }

protected:
    void FormKeyDown(int &key, Qt::KeyboardModifiers modifiers) override
    {
        previewed << key;
        TDialogBase::FormKeyDown(key, modifiers);
    }
};

} // namespace

class TestDialogKeys : public QObject {
    Q_OBJECT

    std::unique_ptr<SmallDialog> dlg;

    QWidget *Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods);
        return QApplication::focusWidget();
    }

private slots:
    void init()
    {
        dlg = std::make_unique<SmallDialog>();
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        dlg->edtA->setFocus();
        QCOMPARE(QApplication::focusWidget(), dlg->edtA);
    }
    void cleanup() { dlg.reset(); }

    void enterAndDownMoveForwardUpMovesBack()
    {
        QCOMPARE(Press(Qt::Key_Return), dlg->edtB);
        QCOMPARE(Press(Qt::Key_Down), dlg->edtC);
        QCOMPARE(Press(Qt::Key_Up), dlg->edtB);
        QCOMPARE(Press(Qt::Key_Enter), dlg->edtC);                     // keypad Enter as well
        QCOMPARE(Press(Qt::Key_Return, Qt::ShiftModifier), dlg->grid); // modifiers are not looked at
        QCOMPARE(dlg->okClicks, 0); // Enter in an edit never presses a button
    }

    void upInFirstControlWrapsToLast()
    {
        QCOMPARE(Press(Qt::Key_Up), dlg->btnCancel);
        QCOMPARE(Press(Qt::Key_Down), dlg->edtA);
    }

    void enterStillReachesTheControl()
    {
        dlg->edtB->setFocus();
        Press(Qt::Key_Return);
        QCOMPARE(dlg->returnsInB, 1);
        QCOMPARE(QApplication::focusWidget(), dlg->edtC);
    }

    void arrowsAreConsumedEnterIsNot()
    {
        Press(Qt::Key_Down);
        Press(Qt::Key_Return);
        Press(Qt::Key_A);
        QCOMPARE(dlg->previewed, QList<int>({Qt::Key_Down, Qt::Key_Return, Qt::Key_A}));
        QCOMPARE(dlg->edtB->text(), QStringLiteral("")); // 'a' went to edtC after Enter moved on
        QCOMPARE(dlg->edtC->text(), QStringLiteral("a"));
    }

    void gridKeepsItsKeys()
    {
        dlg->grid->setFocus();
        dlg->grid->setCurrentCell(0, 0);
        QCOMPARE(Press(Qt::Key_Down), dlg->grid);
        QCOMPARE(dlg->grid->currentRow(), 1);
        QCOMPARE(Press(Qt::Key_Up), dlg->grid);
        QCOMPARE(dlg->grid->currentRow(), 0);
        QCOMPARE(Press(Qt::Key_Return), dlg->grid);
    }

    void enterOnButtonPressesItAndEscPressesCancel()
    {
        dlg->btnOk->setFocus();
        Press(Qt::Key_Return);
        QCOMPARE(dlg->okClicks, 1);
        QCOMPARE(QApplication::focusWidget(), dlg->btnOk); // the button took the key, no move
        dlg->edtB->setFocus();
        QTest::keyClick(dlg->edtB, Qt::Key_Escape);
        QCOMPARE(dlg->cancelClicks, 1);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->okClicks, 1);
    }

    void noButtonIsDefault()
    {
        for (QPushButton *b : dlg->findChildren<QPushButton *>()) {
            QVERIFY(!b->autoDefault());
            QVERIFY(!b->isDefault());
        }
    }
};

QEN_TEST_MAIN(TestDialogKeys)
#include "test_dialogkeys.moc"
