#include "foundation/ui/DBBind.h"

#include "foundation/db/Query.h"
#include "foundation/ui/untMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// Calls show() whenever the query's row or state changes, and show() once now.
template <typename W, typename F> void Follow(W *widget, Query *query, F show)
{
    auto refresh = [widget, show] {
        const QSignalBlocker block(widget);
        show();
    };
    QObject::connect(query, &Query::Reset, widget, refresh);
    QObject::connect(query, &Query::CurrentChanged, widget, refresh);
    QObject::connect(query, &Query::StateChanged, widget, refresh);
    QObject::connect(query, &Query::RowChanged, widget, [query, refresh](int row) {
        if (row == query->RecNo()) refresh();
    });
    refresh();
}

void Store(Query *query, const QString &field, const QVariant &value)
{
    Guard([&] {
        if (query->GetState() == Query::State::Browse) query->Edit();
        if (query->GetState() == Query::State::Edit || query->GetState() == Query::State::Insert)
            query->SetField(field, value);
    });
}

bool HasRow(const Query *query, const QString &field)
{
    return query->Active() && query->RecNo() >= 0 && query->FieldIndex(field) >= 0;
}

} // namespace

void BindEdit(QLineEdit *edit, Query *query, const QString &field)
{
    Follow(edit, query, [=] {
        const QString text = HasRow(query, field) ? query->FieldText(field) : QString();
        if (edit->text() != text) edit->setText(text);
    });
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [=](const QString &text) { Store(query, field, text); });
}

void BindCombo(QComboBox *combo, Query *query, const QString &field)
{
    Follow(combo, query, [=] {
        const QString text = HasRow(query, field) ? query->FieldText(field) : QString();
        const int i = combo->findText(text);
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(i);
    });
    QObject::connect(combo, &QComboBox::currentTextChanged, combo,
                     [=](const QString &text) { Store(query, field, text); });
}

void BindSpin(QSpinBox *spin, Query *query, const QString &field)
{
    Follow(spin, query,
           [=] { spin->setValue(HasRow(query, field) ? query->FieldInt(field) : spin->minimum()); });
    QObject::connect(spin, &QSpinBox::valueChanged, spin, [=](int value) { Store(query, field, value); });
}

void BindCheck(QCheckBox *check, Query *query, const QString &field)
{
    Follow(check, query, [=] { check->setChecked(HasRow(query, field) && query->FieldBool(field)); });
    QObject::connect(check, &QCheckBox::toggled, check, [=](bool on) { Store(query, field, on ? 1 : 0); });
}
