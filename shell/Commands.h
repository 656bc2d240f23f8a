#pragma once
#include <QString>

class QWidget;

// The windows behind the command strings: "=" plus a form name opens a workspace window,
// "-" plus a form name a modal dialog.

// Creates the workspace window of that form name (its objectName is the form name), or
// returns nullptr for a name this build has no window for.
QWidget *CreateWorkspaceForm(const QString &formName, QWidget *parent);
// Runs the modal dialog of that form name; false for a name this build has no dialog for.
bool RunDialogForm(const QString &formName);

// Called by a workspace window as it closes: the shell drops its tab and shows the entry
// before it. Does nothing when no main window exists (a window opened on its own in a test).
void CloseCommand(const QString &formName);
