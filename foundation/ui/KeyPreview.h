#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

// Gives a window's key handler every key pressed in it before the focused control sees it.
// The handler may set the key to 0 to consume it. Works for dialogs and for workspace windows
// hosted inside another window alike.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int &key, Qt::KeyboardModifiers modifiers)>;
    KeyPreview(QWidget *form, Handler handler);

    // Whether a key pressed on watched belongs to form and is seen for the first time (a key the
    // focused control ignores travels on to its parents).
    static bool FirstDeliveryInside(QWidget *form, QObject *watched);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_form;
    Handler m_handler;
};
