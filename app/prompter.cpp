// Message boxes and file dialogs for the program's questions.
#include "prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Zentova");

// File names typed without an extension get ".zent" when the zent filter is chosen.
void useDefaultSuffix(QFileDialog &dialog)
{
    dialog.setDefaultSuffix(QStringLiteral("zent"));
}

} // namespace

bool MessageBoxPrompter::askOkCancel(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

Prompter::Answer MessageBoxPrompter::askYesNoCancel(QWidget *parent, const QString &text)
{
    switch (QMessageBox::question(parent, kTitle, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void MessageBoxPrompter::tell(QWidget *parent, const QString &text, Severity severity)
{
    switch (severity) {
    case Severity::Information:
        QMessageBox::information(parent, kTitle, text);
        break;
    case Severity::Warning:
        QMessageBox::warning(parent, kTitle, text);
        break;
    case Severity::Error:
        QMessageBox::critical(parent, kTitle, text);
        break;
    }
}

QString MessageBoxPrompter::openFileName(QWidget *parent, const QString &folder,
                                         const QString &filter)
{
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    useDefaultSuffix(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompter::saveFileName(QWidget *parent, const QString &suggestedPath,
                                         const QString &filter)
{
    QFileDialog dialog(parent, QString(), suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    useDefaultSuffix(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
