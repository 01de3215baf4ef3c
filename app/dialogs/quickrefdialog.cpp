// The command quick reference window.
#include "quickrefdialog.h"

#include "dialogunits.h"

#include "engine/codepage.h"

#include <QCloseEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

const std::string &CQuickRefDlg::ReferenceText()
{
    static const std::string text = [] {
        QFile file(QStringLiteral(":/zentova/dialogs/quickref.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return std::string();
        return file.readAll().toStdString();
    }();
    return text;
}

CQuickRefDlg::CQuickRefDlg(QWidget *owner) : QDialog(owner), m_text(new QPlainTextEdit(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("コマンド早見表"));
    setFont(DialogFont(CP932("ＭＳ ゴシック"), 9));
    const DialogUnits du(font());
    setFixedSize(du.size(222, 269));

    // The text is shown as it is stored; the edit control itself breaks long lines.
    QString shown = QString::fromStdString(cp932::ToUtf8(ReferenceText()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setGeometry(du.rect(7, 7, 208, 236));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setPlainText(shown);

    auto *paste = new QPushButton(QStringLiteral("選択部分を貼り付け"), this);
    paste->setGeometry(du.rect(18, 248, 80, 14));
    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setGeometry(du.rect(159, 248, 45, 14));
    // No default button: Enter in the reference must not press either of them.
    paste->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(paste, &QPushButton::clicked, this, &CQuickRefDlg::pasteSelection);
    connect(close, &QPushButton::clicked, this, &CQuickRefDlg::reject);
}

void CQuickRefDlg::pasteSelection()
{
    QString selected = m_text->textCursor().selectedText();
    if (selected.isEmpty())
        return;
    // The text view marks its line ends as paragraph separators.
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    selected.replace(QChar::LineSeparator, QLatin1Char('\n'));
    emit pasteRequested(selected);
}

void CQuickRefDlg::accept() {}

void CQuickRefDlg::reject()
{
    close();
}

void CQuickRefDlg::closeEvent(QCloseEvent *event)
{
    if (!m_closedSent) {
        m_closedSent = true;
        emit closed();
    }
    event->accept();
}
