#pragma once

#include <QLineEdit>
#include <functional>

// A line edit whose every typed or pasted text goes through a filter first: the
// company name turns to upper case, telephone and fax keep digits and blanks only.
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using Filter = std::function<QString(const QString&)>;
    explicit FilteredLineEdit(Filter filter, QWidget* parent = nullptr);

    static QString upperCase(const QString& text) { return text.toUpper(); }
    static QString digitsAndBlanks(const QString& text);

private:
    Filter m_filter;
};
