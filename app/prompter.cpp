// Message boxes and file dialogs for the program's questions.
#include "prompter.h"

#include "fontselectdialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Zentova");

// Runs a file dialog starting at `path`; the chosen file, or "" when cancelled. File names
// typed without an extension get ".zent" when the zent filter is chosen.
QString chooseFile(QWidget *parent, const QString &path, const QString &filter,
                   QFileDialog::AcceptMode accept, QFileDialog::FileMode mode)
{
    QFileDialog dialog(parent, QString(), path, filter);
    dialog.setAcceptMode(accept);
    dialog.setFileMode(mode);
    dialog.setDefaultSuffix(QStringLiteral("zent"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
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
    return chooseFile(parent, folder, filter, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
}

QString MessageBoxPrompter::saveFileName(QWidget *parent, const QString &suggestedPath,
                                         const QString &filter)
{
    return chooseFile(parent, suggestedPath, filter, QFileDialog::AcceptSave,
                      QFileDialog::AnyFile);
}

std::optional<QColor> MessageBoxPrompter::chooseColor(QWidget *parent)
{
    // No colour chosen beforehand: the dialog starts at black.
    const QColor color = QColorDialog::getColor(Qt::black, parent);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString MessageBoxPrompter::chooseFontFace(QWidget *parent)
{
    CFontSelectDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFace();
}
