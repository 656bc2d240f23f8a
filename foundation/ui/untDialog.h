#pragma once
#include <QDialog>
#include <QPointer>

#include <QAbstractButton>
class QLineEdit;

// Moves the focus as the data-entry dialogs do: Enter and Down to the next control in the tab
// order, Up to the previous one (wrapping at both ends). Up and Down are consumed (key set to 0);
// Enter is left for the focused control's own handler. Nothing happens while a data grid has the
// focus: the grid keeps its keys.
void DialogKeyNav(QWidget *dialog, int &key);

// Base of every dialog: fixed border, centred, the dialog font, no default button, Esc presses
// the cancel button, Enter presses a focused button, and with key preview on, FormKeyDown sees
// every key before the focused control (a key set to 0 there is consumed).
class TDialogBase : public QDialog {
    Q_OBJECT
public:
    explicit TDialogBase(QWidget *parent = nullptr);

    void SetCancelButton(QAbstractButton *button) { m_cancel = button; }
    void SetKeyPreview(bool on) { m_keyPreview = on; }
    // Fixed client size, centred on the screen.
    void SetClientSize(int width, int height);

protected:
    // Key preview handler; the default passes the key to DialogKeyNav.
    virtual void FormKeyDown(int &key, Qt::KeyboardModifiers modifiers);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void reject() override;

private:
    QPointer<QWidget> m_previousActive; // the window that had the focus before this one
    QPointer<QAbstractButton> m_cancel;
    bool m_keyPreview = false;
    bool m_rejecting = false;
};

// The font of the dialogs: 微软雅黑 at the given pixel size, falling back to a Simplified
// Chinese face where it is missing.
QFont DialogFont(int pixelSize = 14, bool bold = false);

// Limits an edit to GBK text of at most maxBytes bytes (the width of its column); text GBK
// cannot hold is refused as it is typed or pasted.
void LimitGbk(QLineEdit *edit, int maxBytes);
