// The font selection dialog of the font insertion tool.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

class QLineEdit;
class QListWidget;

// Lists every face the `/` command can name, once each and sorted: the installed families
// and the Windows names command files use (faces covering Japanese also with "@" in front,
// for vertical writing), in a list that never scrolls sideways. Previews the chosen one: a
// Japanese sample for faces that cover Japanese, "AaBbYyZz" for the others. OK accepts
// only with a face chosen; selectedFace() is then the face exactly as listed.
class CFontSelectDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFontSelectDlg(QWidget *parent = nullptr);
    Q_DISABLE_COPY(CFontSelectDlg)

    QString selectedFace() const { return m_selectedFace; }
    // The sample the preview shows for the chosen face ("" with none chosen).
    QString previewSample() const;

    QListWidget *faceList() const { return m_list; }

public slots:
    void accept() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void selectionChanged();

    QLineEdit *m_edit;
    QListWidget *m_list;
    QWidget *m_previewFrame;
    QString m_selectedFace;
    // Every listed face, and whether it covers Japanese.
    QHash<QString, bool> m_japanese;
};
