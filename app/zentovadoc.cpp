// Reading and writing the command file.
#include "zentovadoc.h"

#include "commandtext.h"
#include "prompter.h"
#include "waitcursor.h"
#include "zentovaview.h"

#include "engine/textlines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString kUntitled = QStringLiteral("無題");
const QString kModifiedMark = QStringLiteral(" *");
const QString kFilter = QStringLiteral("Zentova ﾌｧｲﾙ (*.zent);;すべてのファイル (*)");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString tooLarge()
{
    return QStringLiteral("ファイルが大きすぎます。開けるのは %1 MB までのファイルです。")
        .arg(CZentovaDoc::kMaxFileSize / (1024 * 1024));
}

} // namespace

CZentovaDoc::CZentovaDoc(Prompter &prompter, QObject *parent)
    : QObject(parent), m_prompter(prompter), m_title(kUntitled)
{
}

QWidget *CZentovaDoc::window() const
{
    return m_view ? m_view->window() : nullptr;
}

void CZentovaDoc::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void CZentovaDoc::newDocument()
{
    m_path.clear();
    m_bytes.clear();
    m_savedText.clear();
    m_keptLines.clear();
    m_view->setEditorText(QString());
    m_modified = false;
    emit documentReplaced();
    setTitle(kUntitled);
}

bool CZentovaDoc::readFile(const QString &path, std::string &bytes)
{
    const QFileInfo info(path);
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("ファイルが見つかりません。");
    else if (info.isDir())
        problem = QStringLiteral("フォルダーは開けません。");
    else if (!info.isFile())
        problem = QStringLiteral("通常のファイルではないため開けません。");
    else if (info.size() > kMaxFileSize)
        problem = tooLarge();
    if (problem.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            problem = file.error() == QFileDevice::PermissionsError
                          ? QStringLiteral("ファイルを読む権限がありません。")
                          : QStringLiteral("ファイルを読み込めません。%1").arg(file.errorString());
        } else {
            // Read at most one byte past the limit: a file that grew past it since it was
            // looked at is refused the same way.
            QByteArray data = file.read(std::min(info.size(), kMaxFileSize) + 1);
            while (data.size() <= kMaxFileSize && file.error() == QFileDevice::NoError) {
                const QByteArray more =
                    file.read(std::min<qint64>(1 << 20, kMaxFileSize + 1 - data.size()));
                if (more.isEmpty())
                    break;
                data += more;
            }
            if (file.error() != QFileDevice::NoError)
                problem = QStringLiteral("ファイルを読み込めません。%1").arg(file.errorString());
            else if (data.size() > kMaxFileSize)
                problem = tooLarge();
            else
                bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
        }
    }
    if (problem.isEmpty())
        return true;
    m_prompter.tell(window(), shown(path) + QStringLiteral("\n\n") + problem,
                    Prompter::Severity::Error);
    return false;
}

void CZentovaDoc::takeBytes(std::string bytes)
{
    const WaitCursor busy; // a file of many megabytes takes a moment
    m_bytes = std::move(bytes);
    m_keptLines.clear();
    m_view->setEditorText(commandtext::FromBytes(m_bytes, &m_keptLines));
    // The editor's own form of the text (its line breaks), to compare with at saving.
    m_savedText = m_view->editorText();
    m_modified = false;
}

bool CZentovaDoc::openDocument(const QString &path)
{
    std::string bytes;
    if (!readFile(path, bytes))
        return false;
    takeBytes(std::move(bytes));
    m_path = QFileInfo(path).absoluteFilePath();
    emit documentReplaced();
    setTitle(QFileInfo(path).fileName());
    emit fileOpenedOrSaved(m_path);
    return true;
}

bool CZentovaDoc::reread()
{
    std::string bytes;
    if (!readFile(m_path, bytes))
        return false;
    takeBytes(std::move(bytes));
    return true;
}

bool CZentovaDoc::save()
{
    if (m_path.isEmpty())
        return saveAs();
    return saveTo(m_path);
}

bool CZentovaDoc::saveAs()
{
    const QString suggested = m_path.isEmpty() ? QString() : m_path;
    const QString path = m_prompter.saveFileName(window(), suggested, kFilter);
    if (path.isEmpty())
        return false;
    return saveTo(path);
}

bool CZentovaDoc::saveModified()
{
    if (!m_modified)
        return true;
    QString name = m_title;
    if (name.endsWith(kModifiedMark))
        name.chop(kModifiedMark.size());
    switch (m_prompter.askYesNoCancel(window(),
                                      QStringLiteral("%1 への変更を保存しますか?").arg(name))) {
    case Prompter::Answer::Yes:
        return save();
    case Prompter::Answer::No:
        return true;
    case Prompter::Answer::Cancel:
        break;
    }
    return false;
}

bool CZentovaDoc::saveTo(const QString &path)
{
    const QString text = m_view->editorText();
    std::string bytes;
    if (text == m_savedText) {
        bytes = m_bytes;
    } else {
        commandtext::Encoded encoded = commandtext::ToBytes(text, m_keptLines);
        if (!encoded.unmappedLines.isEmpty() &&
            !m_prompter.askOkCancel(
                window(),
                QStringLiteral("%1に Shift-JIS (コードページ 932) で保存できない"
                               "文字があります。\n"
                               "保存できない文字を \"?\" に置き換えて保存しますか？")
                    .arg(commandtext::LinesForMessage(encoded.unmappedLines))))
            return false;
        bytes = std::move(encoded.bytes);
    }

    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written)
        written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                  static_cast<qint64>(bytes.size());
    if (written)
        written = file.commit();
    else
        file.cancelWriting();
    if (!written) {
        m_prompter.tell(window(),
                        shown(path) + QStringLiteral("\n\nファイルに保存できません。%1")
                                          .arg(file.errorString()),
                        Prompter::Severity::Error);
        return false;
    }
    m_bytes = std::move(bytes);
    m_savedText = text;
    m_path = QFileInfo(path).absoluteFilePath();
    m_modified = false;
    setTitle(QFileInfo(path).fileName());
    emit fileOpenedOrSaved(m_path);
    return true;
}

commandtext::Encoded CZentovaDoc::commandText() const
{
    const QString text = m_view->editorText();
    if (text == m_savedText)
        return {NormalizeLineEnds(m_bytes), {}};
    return commandtext::ToBytes(text, m_keptLines);
}

commandtext::Source CZentovaDoc::commandTextSource() const
{
    commandtext::Source source;
    source.text = m_view->editorText();
    if (source.text == m_savedText) {
        source.unedited = true;
        source.text.clear();
        source.bytes = m_bytes;
    } else {
        source.kept = m_keptLines;
    }
    return source;
}

std::string CZentovaDoc::commandBytes() const
{
    return commandText().bytes;
}
