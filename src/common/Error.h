#pragma once
// The error that escapes a step and reaches the user as a message box with its text.
#include <QString>
#include <stdexcept>

namespace ondrava {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace ondrava
