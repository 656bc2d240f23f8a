#include "stock/untStockFind.h"

#include "foundation/SettingsIni.h"
#include "foundation/db/Query.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "foundation/ui/BusyCursor.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <functional>

TfrmStockFind *frmStockFind = nullptr;

namespace {

// Hands the keys pressed in a condition edit to the dialog's shared handler. It sees them after
// the dialog's key preview has moved the focus on, as the edit's own key handler would.
class EditKeyDown : public QObject {
public:
    EditKeyDown(QObject *parent, std::function<void(int &)> handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        int key = static_cast<QKeyEvent *>(event)->key();
        m_handler(key);
        return key == 0;
    }

private:
    std::function<void(int &)> m_handler;
};

QLabel *Caption(QWidget *parent, const QString &text, int top)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(16, top, 72, 24);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// Condition edits take GBK text only, no wider than the column they search.
QLineEdit *ConditionEdit(QWidget *parent, const char *name, int top, int gbkBytes)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(92, top, 211, 24);
    LimitGbk(edit, gbkBytes);
    return edit;
}

const QString NoConditionText = QStringLiteral("^_^查询条件不能为空哦,请重试！");
const QString ConnectFailedText = QStringLiteral("联盟服务器连接失败,请检查！");
const QString SearchFailedText = QStringLiteral("对不起,查询执行错误,请重试！");

} // namespace

TfrmStockFind::TfrmStockFind(Query *stock, QWidget *parent) : TDialogBase(parent), m_stock(stock)
{
    setObjectName(QStringLiteral("frmStockFind"));
    setWindowTitle(QStringLiteral("商品速查(输入条件后回车即可)"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetClientSize(319, 203);

    lbGoodsNo = Caption(this, QStringLiteral("编号名称："), 12);
    edtGoodsNo = ConditionEdit(this, "edtGoodsNo", 12, 100); // the widest column searched: GoodsName
    lbModel = Caption(this, QStringLiteral("适用车型："), 42);
    edtModel = ConditionEdit(this, "edtModel", 42, 255);
    lbBase = Caption(this, QStringLiteral("产       地："), 72);
    edtBase = ConditionEdit(this, "edtBase", 72, 50);
    lbFactory = Caption(this, QStringLiteral("品       牌："), 102);
    edtFactory = ConditionEdit(this, "edtFactory", 102, 50);

    lbOrder = Caption(this, QStringLiteral("排序方式："), 132);
    edtOrder = new QComboBox(this);
    edtOrder->setObjectName(QStringLiteral("edtOrder"));
    edtOrder->setGeometry(92, 132, 211, 24);
    edtOrder->setEditable(false);
    edtOrder->addItems(StockOrderItems());
    edtOrder->setMaxVisibleItems(StockOrderCount);
    edtOrder->setFocusPolicy(Qt::ClickFocus); // no tab stop
    edtOrder->setCurrentIndex(0);

    bvLine = new QFrame(this);
    bvLine->setFrameShape(QFrame::HLine);
    bvLine->setFrameShadow(QFrame::Sunken);
    bvLine->setGeometry(8, 164, 303, 2);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(148, 172, 75, 25);
    btnCancel = new QPushButton(QStringLiteral("返回"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(228, 172, 75, 25);
    btnCancel->setFocusPolicy(Qt::ClickFocus); // no tab stop

    QWidget::setTabOrder(edtGoodsNo, edtModel);
    QWidget::setTabOrder(edtModel, edtBase);
    QWidget::setTabOrder(edtBase, edtFactory);
    QWidget::setTabOrder(edtFactory, edtOrder);
    QWidget::setTabOrder(edtOrder, btnOk);
    QWidget::setTabOrder(btnOk, btnCancel);

    auto *keyDown = new EditKeyDown(this, [this](int &key) { Guard([&] { edtGoodsNoKeyDown(key); }); });
    for (QLineEdit *edit : {edtGoodsNo, edtModel, edtBase, edtFactory})
        edit->installEventFilter(keyDown);

    connect(btnOk, &QPushButton::clicked, this, [this] { Guard([this] { btnOkClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { Guard([this] { btnCancelClick(); }); });
    connect(edtOrder, &QComboBox::currentIndexChanged, this, [this] { Guard([this] { edtOrderChange(); }); });
    SetCancelButton(btnCancel);
    SetKeyPreview(true);
}

StockConditions TfrmStockFind::Conditions() const
{
    return {edtGoodsNo->text(), edtModel->text(), edtBase->text(), edtFactory->text()};
}

TfrmStockFind::~TfrmStockFind()
{
    edtOrder->blockSignals(true); // the list emptied while it is destroyed is no choice of the user
}

void TfrmStockFind::RunSearch(int Trigger)
{
    const StockConditions conditions = Conditions();
    if (StockConditionsEmpty(conditions)) {
        if (Trigger == 0) {
            MsgInfo(NoConditionText);
            edtGoodsNo->setFocus();
        }
        return;
    }

    if (!frmData->rdConn.Connected()) {
        bool opened = false;
        {
            BusyCursor busy;
            try {
                frmData->rdConn.Open();
                opened = true;
            } catch (...) {
            }
        }
        if (!opened) {
            MsgWarn(ConnectFailedText);
            return;
        }
    }

    // Any failure from here on gets the one fixed message and leaves the browser's query closed.
    bool found = false;
    if (m_stock) {
        BusyCursor busy;
        try {
            m_stock->Close();
            const StockStatement statement =
                BuildStockQuery(conditions, edtOrder->currentIndex(), SysSet.ShopNo);
            m_stock->SQL = statement.lines;
            m_stock->ClearParams();
            for (const auto &[name, value] : statement.params)
                m_stock->SetParam(name, value);
            m_stock->Open();
            m_stock->First();
            found = true;
        } catch (...) {
            m_stock->Close();
        }
    }
    if (!found) {
        MsgWarn(SearchFailedText);
        edtGoodsNo->setFocus();
        return;
    }
    accept();
}

void TfrmStockFind::btnOkClick()
{
    RunSearch(0);
}

void TfrmStockFind::btnCancelClick()
{
    done(QDialog::Rejected);
}

void TfrmStockFind::edtGoodsNoKeyDown(int &key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) RunSearch(1);
}

void TfrmStockFind::edtOrderChange()
{
    settingsIni->WriteInteger(QStringLiteral("Set"), QStringLiteral("Order"), edtOrder->currentIndex());
}

void TfrmStockFind::FormShow()
{
    const int order = settingsIni->ReadInteger(QStringLiteral("Set"), QStringLiteral("Order"), 0);
    const QSignalBlocker block(edtOrder); // restoring the choice is no change to store
    edtOrder->setCurrentIndex(order >= 0 && order < StockOrderCount ? order : -1);
}

void TfrmStockFind::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    if (event->spontaneous()) return;
    // Centred over the window that opened it (the main window), on the screen otherwise.
    if (QWidget *owner = QApplication::activeWindow(); owner && owner != this)
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    Guard([this] { FormShow(); });
}
