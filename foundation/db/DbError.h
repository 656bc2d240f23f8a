#pragma once
#include <QString>
#include <stdexcept>

// The one error the data layer raises: it carries the driver's own text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};
