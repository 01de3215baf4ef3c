// Choosing, remembering and reading the data file of merge printing.
#include "mergedata.h"

#include "prompter.h"
#include "settingsstore.h"

#include "merge/datafile.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

const QString kFilter = QStringLiteral(
    "差し込みデータ (*.csv *.tsv);;すべてのファイル (*)");

// Why the file cannot be used, in the user's words.
QString problemText(const DataFileProblem &p)
{
    using Kind = DataFileProblem::Kind;
    const QString where = QStringLiteral("%1 行目 %2 列目: ").arg(p.line).arg(p.column);
    const QString detail = QString::fromStdString(p.detail);
    switch (p.kind) {
    case Kind::Unreadable:
        return QStringLiteral("ファイルを読み込めません。%1").arg(detail);
    case Kind::NoHeader:
        return QStringLiteral("ファイルが空です。1 行目に列の名前が必要です。");
    case Kind::BadName:
        return where + QStringLiteral("列の名前「%1」が英字 2 文字ではありません。").arg(detail);
    case Kind::DuplicateName:
        return where +
               QStringLiteral("列の名前「%1」は %2 列目と同じです。").arg(detail).arg(p.otherColumn);
    case Kind::SurplusField:
        return where + QStringLiteral("1 行目に名前のない列にデータがあります。");
    case Kind::UnclosedQuote:
        return where + QStringLiteral("ここで始まる \" が閉じられていません。");
    case Kind::FieldTooLong:
        return where + QStringLiteral("データが長すぎます (1 MB まで)。");
    }
    return QString();
}

} // namespace

CMergeData::CMergeData(SettingsStore &settings, Prompter &prompter, QWidget *owner)
    : QObject(owner), m_settings(settings), m_prompter(prompter), m_owner(owner)
{
}

std::unique_ptr<DataFile> CMergeData::read(const QString &path, bool tell)
{
    const QFileInfo info(path);
    DataFileProblem problem;
    std::unique_ptr<DataFile> data;
    QString text;
    if (!info.exists())
        text = QStringLiteral("ファイルが見つかりません。");
    else if (info.isDir())
        text = QStringLiteral("フォルダーは開けません。");
    else if (!(data = DataFile::Open(QFile::encodeName(path).toStdString(), problem)))
        text = problemText(problem);
    else if (data->RecordCount() == 0)
        text = QStringLiteral("1 行目の後にデータがありません。");
    if (text.isEmpty())
        return data;
    if (tell)
        m_prompter.tell(m_owner,
                        QStringLiteral("差し込みデータ %1\n\n%2")
                            .arg(QDir::toNativeSeparators(path), text),
                        Prompter::Severity::Error);
    return nullptr;
}

void CMergeData::setChoice(const QString &path, int records)
{
    m_path = path;
    m_records = records;
    emit changed();
}

void CMergeData::setDocument(const QString &documentPath)
{
    m_document = documentPath;
    const QString remembered =
        documentPath.isEmpty() ? QString() : m_settings.mergeDataFor(documentPath);
    // A remembered file that has gone is no choice; nothing is said about it until the
    // user chooses again.
    std::unique_ptr<DataFile> data = remembered.isEmpty() ? nullptr : read(remembered, false);
    setChoice(data ? remembered : QString(), data ? data->RecordCount() : 0);
}

void CMergeData::moveDocument(const QString &documentPath)
{
    m_document = documentPath;
    if (!m_path.isEmpty() && !documentPath.isEmpty())
        m_settings.setMergeDataFor(documentPath, m_path);
}

void CMergeData::choose()
{
    const QString start = m_path.isEmpty() ? (m_document.isEmpty() ? QString()
                                                                   : SettingsStore::FolderOf(m_document))
                                           : SettingsStore::FolderOf(m_path);
    const QString chosen = m_prompter.openFileName(m_owner, start, kFilter);
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(chosen).absoluteFilePath();
    std::unique_ptr<DataFile> data = read(path, true);
    if (!data)
        return;
    if (!data->Unheld().empty()) {
        const UnheldField &first = data->Unheld().front();
        m_prompter.tell(m_owner,
                        QStringLiteral("Shift-JIS で表せない文字があります (レコード %1 の "
                                       "%2 列目%3)。その文字は「?」で印刷されます。")
                            .arg(first.record)
                            .arg(first.column)
                            .arg(data->Unheld().size() > 1 ? QStringLiteral(" ほか") : QString()),
                        Prompter::Severity::Warning);
    }
    if (!m_document.isEmpty())
        m_settings.setMergeDataFor(m_document, path);
    setChoice(path, data->RecordCount());
}

void CMergeData::clear()
{
    if (!m_document.isEmpty())
        m_settings.setMergeDataFor(m_document, QString());
    setChoice(QString(), 0);
}

QString CMergeData::statusText() const
{
    if (m_path.isEmpty())
        return QString();
    return QStringLiteral("差し込み: %1 (%2 件)").arg(QFileInfo(m_path).fileName()).arg(m_records);
}

std::shared_ptr<const DataFile> CMergeData::loadQuietly()
{
    if (m_path.isEmpty())
        return nullptr;
    return read(m_path, false);
}

std::unique_ptr<DataFile> CMergeData::load()
{
    if (m_path.isEmpty())
        return nullptr;
    std::unique_ptr<DataFile> data = read(m_path, true);
    if (data && data->RecordCount() != m_records) {
        m_records = data->RecordCount();
        emit changed();
    }
    return data;
}
