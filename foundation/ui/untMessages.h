#pragma once
#include <QString>
#include <functional>

class QWidget;

// Every message of the program goes through these, with the application title as caption.
void MsgInfo(const QString &text);
void MsgWarn(const QString &text);
bool MsgAsk(const QString &text); // true exactly when the user answers Yes
// The application-wide error box: error icon, OK, a full stop appended unless the text
// already ends in one or in a character below it in code order.
void MsgError(const QString &text);
QString ErrorBoxText(const QString &text);

// Shows the boxes. Tests install a recording presenter (tests/fixture) instead.
class MessagePresenter {
public:
    enum class Kind { Info, Warn, Ask, Error };
    virtual ~MessagePresenter() = default;
    // Returns true for Yes (only meaningful for Ask).
    virtual bool Show(Kind kind, const QString &caption, const QString &text) = 0;
};
// Installs a presenter (nullptr restores the real message boxes). Not owned.
void SetMessagePresenter(MessagePresenter *presenter);

// Runs a handler body; any exception ends it and is shown in the error box.
// Every event handler that can fail runs inside one of these.
void Guard(const std::function<void()> &body);
