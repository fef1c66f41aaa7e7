#pragma once

#include "Ui.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// The Ui of tests and of the command-line program: records what would have been shown
// and gives the answers queued in advance. With nothing queued, a message answers its
// first button (OK or Yes), a prompt and a file choice are cancelled.
class ScriptedUi : public Ui {
public:
    struct Shown {
        QString kind; // "message", "prompt", "open", "save", "folder"
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };

    Answer message(const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> prompt(const QString& text, const QString& title,
                                  const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString folderName(const QString& title, const QString& folder) override;

    void queueAnswer(Answer answer) { m_answers.enqueue(answer); }
    // A prompt's typed text; std::nullopt queues a cancel.
    void queueText(std::optional<QString> text) { m_texts.enqueue(text); }
    void queueFileName(const QString& path) { m_files.enqueue(path); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList messages() const;
    QString lastMessage() const;
    void clear() { m_shown.clear(); }

    // When set, each message is also written to this stream (the command-line program).
    void setEcho(FILE* stream) { m_echo = stream; }

private:
    QList<Shown> m_shown;
    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_texts;
    QQueue<QString> m_files;
    FILE* m_echo = nullptr;
};
