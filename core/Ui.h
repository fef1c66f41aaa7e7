#pragma once

#include <QString>
#include <optional>

// Every message, question, prompt and file choice of the program goes through this
// service: the program shows Qt dialogs in French, tests record and answer in advance.
class Ui {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    virtual ~Ui() = default;

    virtual Answer message(const QString& text, const QString& title = QString(),
                           Icon icon = Icon::None, Buttons buttons = Buttons::Ok) = 0;
    // A text prompt; no value when the user cancels.
    virtual std::optional<QString> prompt(const QString& text, const QString& title,
                                          const QString& defaultText = QString()) = 0;
    // File and folder choices; the empty text when the user cancels.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString folderName(const QString& title, const QString& folder) = 0;

    // Yes/No question with the title "Confirmation" used by every window.
    bool confirm(const QString& text, const QString& title = QStringLiteral("Confirmation"))
    {
        return message(text, title, Icon::Question, Buttons::YesNo) == Answer::Yes;
    }
};
