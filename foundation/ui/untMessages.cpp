#include "foundation/ui/untMessages.h"

#include "foundation/db/DbError.h"
#include "foundation/untPublic.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace {

class BoxPresenter : public MessagePresenter {
public:
    bool Show(Kind kind, const QString &caption, const QString &text) override
    {
        QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                          : QApplication::activeWindow());
        box.setWindowTitle(caption);
        box.setText(text);
        switch (kind) {
        case Kind::Info:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Warn:
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Ask:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
            box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
            box.setDefaultButton(QMessageBox::Yes);
            break;
        }
        if (auto *ok = box.button(QMessageBox::Ok)) ok->setText(QStringLiteral("确定"));
        return box.exec() == QMessageBox::Yes;
    }
};

BoxPresenter boxPresenter;
MessagePresenter *presenter = &boxPresenter;

bool Present(MessagePresenter::Kind kind, const QString &text)
{
    return presenter->Show(kind, SysSet.AppTitle, text);
}

} // namespace

void SetMessagePresenter(MessagePresenter *p)
{
    presenter = p ? p : &boxPresenter;
}

void MsgInfo(const QString &text)
{
    Present(MessagePresenter::Kind::Info, text);
}

void MsgWarn(const QString &text)
{
    Present(MessagePresenter::Kind::Warn, text);
}

bool MsgAsk(const QString &text)
{
    return Present(MessagePresenter::Kind::Ask, text);
}

QString ErrorBoxText(const QString &text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
    return text;
}

void MsgError(const QString &text)
{
    Present(MessagePresenter::Kind::Error, ErrorBoxText(text));
}

void Guard(const std::function<void()> &body)
{
    try {
        body();
    } catch (const DbError &e) {
        MsgError(e.text());
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    } catch (...) {
        MsgError(QStringLiteral("未知错误"));
    }
}
