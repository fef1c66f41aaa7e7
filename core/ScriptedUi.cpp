#include "ScriptedUi.h"

#include <cstdio>

Ui::Answer ScriptedUi::message(const QString& text, const QString& title, Icon icon,
                               Buttons buttons)
{
    m_shown.append({QStringLiteral("message"), text, title, icon, buttons});
    if (m_echo) {
        const QByteArray line = (title.isEmpty() ? text : title + QStringLiteral(": ") + text)
                                    .toUtf8();
        std::fprintf(m_echo, "%s\n", line.constData());
    }
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Retry;
    default: return Answer::Ok;
    }
}

std::optional<QString> ScriptedUi::prompt(const QString& text, const QString& title,
                                          const QString& defaultText)
{
    Q_UNUSED(defaultText);
    m_shown.append({QStringLiteral("prompt"), text, title, Icon::None, Buttons::OkCancel});
    if (!m_texts.isEmpty())
        return m_texts.dequeue();
    return std::nullopt;
}

QString ScriptedUi::openFileName(const QString& title, const QString& folder, const QString&)
{
    m_shown.append({QStringLiteral("open"), folder, title, Icon::None, Buttons::OkCancel});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedUi::saveFileName(const QString& title, const QString& folder, const QString&)
{
    m_shown.append({QStringLiteral("save"), folder, title, Icon::None, Buttons::OkCancel});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedUi::folderName(const QString& title, const QString& folder)
{
    m_shown.append({QStringLiteral("folder"), folder, title, Icon::None, Buttons::OkCancel});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QStringList ScriptedUi::messages() const
{
    QStringList out;
    for (const Shown& s : m_shown)
        if (s.kind == QLatin1String("message"))
            out.append(s.text);
    return out;
}

QString ScriptedUi::lastMessage() const
{
    const QStringList all = messages();
    return all.isEmpty() ? QString() : all.last();
}
