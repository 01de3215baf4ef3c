// The questions and messages the program puts to the user, behind one interface so that
// tests can answer them.
#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

// Modal questions, messages and file choices. The program's windows ask through the
// Prompter they were given; MessageBoxPrompter shows real dialogs, tests script answers.
class Prompter {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Severity { Information, Warning, Error };

    virtual ~Prompter() = default;

    // An OK / Cancel question; true for OK.
    virtual bool askOkCancel(QWidget *parent, const QString &text) = 0;
    // A Yes / No / Cancel question (the save-changes prompt).
    virtual Answer askYesNoCancel(QWidget *parent, const QString &text) = 0;
    // A message with an OK button.
    virtual void tell(QWidget *parent, const QString &text, Severity severity) = 0;
    // A file to open, starting in `folder` ("" for the dialog's own choice); "" when the
    // user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &folder,
                                 const QString &filter) = 0;
    // A file name to save under, suggesting `suggestedPath`; "" when the user cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &suggestedPath,
                                 const QString &filter) = 0;
    // A colour from the colour dialog; nothing when the user cancelled.
    virtual std::optional<QColor> chooseColor(QWidget *parent) = 0;
    // A face from the font selection dialog, exactly as listed; "" when the user
    // cancelled.
    virtual QString chooseFontFace(QWidget *parent) = 0;
};

// The real dialogs: message boxes titled "Zentova", the file dialogs, the colour dialog and
// the font selection dialog.
class MessageBoxPrompter : public Prompter {
public:
    bool askOkCancel(QWidget *parent, const QString &text) override;
    Answer askYesNoCancel(QWidget *parent, const QString &text) override;
    void tell(QWidget *parent, const QString &text, Severity severity) override;
    QString openFileName(QWidget *parent, const QString &folder, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &suggestedPath,
                         const QString &filter) override;
    std::optional<QColor> chooseColor(QWidget *parent) override;
    QString chooseFontFace(QWidget *parent) override;
};
