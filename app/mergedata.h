// The data file of merge printing chosen for the open document.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class DataFile;
class Prompter;
class QWidget;
class SettingsStore;

// Which data file the document prints its copies from, remembered per command file in
// the settings. The file is read again for every job, so that edits made to it in
// another program are printed; what cannot be read is told to the user in Japanese.
class CMergeData : public QObject {
    Q_OBJECT
public:
    CMergeData(SettingsStore &settings, Prompter &prompter, QWidget *owner);
    Q_DISABLE_COPY(CMergeData)

    // Another document is open (`documentPath` "" for a new one): its remembered data
    // file, if it can still be read, becomes the choice.
    void setDocument(const QString &documentPath);
    // The open document was saved under `documentPath`: the choice goes with it.
    void moveDocument(const QString &documentPath);
    const QString &documentPath() const { return m_document; }

    // Asks for a data file; one that can be read becomes the document's choice.
    void choose();
    // Merge printing off for the document.
    void clear();

    const QString &path() const { return m_path; }
    int recordCount() const { return m_records; }
    // The status bar's note: the data file and its records, "" without one.
    QString statusText() const;

    // The chosen file read for a job; null without a choice, or after telling the user
    // why it cannot be used (the choice stays).
    std::unique_ptr<DataFile> load();
    // The chosen file read without a word to the user, for the live preview: null without
    // a choice or when it cannot be used now.
    std::shared_ptr<const DataFile> loadQuietly();

signals:
    void changed();

private:
    std::unique_ptr<DataFile> read(const QString &path, bool tell);
    void setChoice(const QString &path, int records);

    SettingsStore &m_settings;
    Prompter &m_prompter;
    QWidget *m_owner;
    QString m_document;
    QString m_path;
    int m_records = 0;
};
