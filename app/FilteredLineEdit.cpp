#include "FilteredLineEdit.h"

FilteredLineEdit::FilteredLineEdit(Filter filter, QWidget* parent)
    : QLineEdit(parent), m_filter(std::move(filter))
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString filtered = m_filter(text);
        if (filtered == text)
            return;
        // Keep the cursor where the user was, less what the filter took out before it.
        const int before = m_filter(text.left(cursorPosition())).size();
        setText(filtered);
        setCursorPosition(before);
    });
}

QString FilteredLineEdit::digitsAndBlanks(const QString& text)
{
    QString out;
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u' ')
            out += c;
    return out;
}
