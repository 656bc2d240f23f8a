#pragma once
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QString;
class Query;

// Data-bound edits: each shows its field of the query's current row and, once the user changes
// it, writes the value into the row (putting the query into Edit state when it browses).
// The row itself is stored by the window (Query::Post) or dropped (Query::Cancel).
void BindEdit(QLineEdit *edit, Query *query, const QString &field);
void BindCombo(QComboBox *combo, Query *query, const QString &field); // the field holds the text
void BindSpin(QSpinBox *spin, Query *query, const QString &field);
void BindCheck(QCheckBox *check, Query *query, const QString &field); // a 0/1 flag
