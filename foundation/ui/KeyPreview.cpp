#include "foundation/ui/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>

KeyPreview::KeyPreview(QWidget *form, Handler handler)
    : QObject(form), m_form(form), m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

bool KeyPreview::FirstDeliveryInside(QWidget *form, QObject *watched)
{
    if (!form || !watched->isWidgetType()) return false;
    auto *w = static_cast<QWidget *>(watched);
    if (w != form && !form->isAncestorOf(w)) return false;
    QWidget *focus = QApplication::focusWidget();
    return focus ? w == focus : w == form;
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !FirstDeliveryInside(m_form, watched)) return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    int key = ke->key();
    m_handler(key, ke->modifiers());
    return key == 0;
}
