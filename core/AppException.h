#pragma once

#include <QString>
#include <exception>

// The one failure type of the program: a number and a description, as the windows
// test them (see the numbers in Database) and as ReportError shows them.
class AppException : public std::exception {
public:
    AppException(long number, QString description)
        : m_number(number), m_description(std::move(description)),
          m_what(m_description.toUtf8())
    {
    }

    long number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    // Numbers that keep their meaning across the program.
    static constexpr long TypeMismatch = 13;
    static constexpr long FileNotFound = 53;

private:
    long m_number;
    QString m_description;
    QByteArray m_what;
};
