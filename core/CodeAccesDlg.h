#pragma once

#include <QDialog>
#include <QVariant>

class QLabel;
class QLineEdit;
class QPushButton;
class Ui;

// The access dialog: checks the application password of the company record, three
// attempts over the whole run, or takes a new password in new-password mode.
class CodeAccesDlg : public QDialog {
    Q_OBJECT
public:
    // motPasse: the company record's MotPasse (null or text).
    CodeAccesDlg(Ui& ui, const QVariant& motPasse, QWidget* parent = nullptr);

    bool Ok = false;
    bool NouvMDP = false;

    QString MDP() const;
    void NouveauMDP();

    // True once the third wrong password has been typed: the program must end.
    bool programEnded() const { return m_programEnded; }
    static int failedAttempts() { return s_failedAttempts; }
    // For tests: the counter otherwise lives for the whole run.
    static void resetFailedAttempts() { s_failedAttempts = 0; }

public Q_SLOTS:
    void confirm();
    void cancel();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void secondChanged();

    Ui& m_ui;
    QString m_motPasse;
    bool m_programEnded = false;
    QLabel* m_firstLabel;
    QLineEdit* m_firstLineEdit;
    QLabel* m_secondLabel;
    QLineEdit* m_secondLineEdit;
    QPushButton* m_okPushButton;
    QPushButton* m_annulerPushButton;

    static int s_failedAttempts;
};
