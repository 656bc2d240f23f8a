#include "foundation/ui/untDialog.h"

#include "foundation/ui/KeyPreview.h"
#include "foundation/untPublic.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QValidator>

namespace {

bool CanTakeTabFocus(QWidget *w, QWidget *dialog)
{
    return w->window() == dialog->window() && (w == dialog || dialog->isAncestorOf(w)) &&
           w->isVisibleTo(dialog) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

void MoveFocus(QWidget *dialog, bool forward)
{
    QWidget *start = QApplication::focusWidget();
    if (!start || !dialog->isAncestorOf(start)) start = dialog;
    QWidget *w = start;
    do {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w != start && CanTakeTabFocus(w, dialog)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    } while (w != start);
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

void DialogKeyNav(QWidget *dialog, int &key)
{
    if (qobject_cast<QAbstractItemView *>(QApplication::focusWidget()))
        return; // the grid keeps Enter and the arrows
    if (IsEnter(key)) {
        MoveFocus(dialog, true);
    } else if (key == Qt::Key_Up) {
        MoveFocus(dialog, false);
        key = 0;
    } else if (key == Qt::Key_Down) {
        MoveFocus(dialog, true);
        key = 0;
    }
}

QFont DialogFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

TDialogBase::TDialogBase(QWidget *parent) : QDialog(parent)
{
    setFont(DialogFont());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    qApp->installEventFilter(this);
}

void TDialogBase::SetClientSize(int width, int height)
{
    setFixedSize(width, height);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width / 2, height / 2));
    }
}

void TDialogBase::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    DialogKeyNav(this, key);
}

bool TDialogBase::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !KeyPreview::FirstDeliveryInside(this, watched)) return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    if (IsEnter(ke->key()))
        if (auto *button = qobject_cast<QAbstractButton *>(QApplication::focusWidget())) {
            button->click(); // a focused button takes Enter before any key handler
            return true;
        }
    if (ke->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (!m_keyPreview) return false;
    int key = ke->key();
    FormKeyDown(key, ke->modifiers());
    return key == 0;
}

void TDialogBase::keyPressEvent(QKeyEvent *event)
{
    // Enter never presses a default button here; Esc is handled by the key filter.
    if (IsEnter(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDialogBase::showEvent(QShowEvent *event)
{
    if (QApplication::activeWindow() != this)
        m_previousActive = QApplication::activeWindow();
    for (QPushButton *b : findChildren<QPushButton *>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    QDialog::showEvent(event);
    activateWindow(); // a new dialog takes the keyboard, also where no window manager gives it
}

void TDialogBase::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A dialog without owner hands the focus back itself: where no window manager does it, the
    // window below would otherwise stay without keyboard focus.
    if (m_previousActive && m_previousActive->isVisible() &&
        (!QApplication::activeWindow() || QApplication::activeWindow() == this))
        m_previousActive->activateWindow();
}

void TDialogBase::reject()
{
    // Esc and the window's close button press the cancel button, whose handler closes.
    if (m_cancel && !m_rejecting && m_cancel->isEnabled()) {
        m_rejecting = true;
        m_cancel->click();
        m_rejecting = false;
        return;
    }
    QDialog::reject();
}

namespace {

class GbkValidator : public QValidator {
public:
    GbkValidator(int maxBytes, QObject *parent) : QValidator(parent), m_max(maxBytes) {}
    State validate(QString &input, int &) const override
    {
        if (!GbkCanHold(input)) return Invalid;
        return GbkLength(input) <= m_max ? Acceptable : Invalid;
    }

private:
    int m_max;
};

} // namespace

void LimitGbk(QLineEdit *edit, int maxBytes)
{
    edit->setMaxLength(maxBytes);
    edit->setValidator(new GbkValidator(maxBytes, edit));
}
