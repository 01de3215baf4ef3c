// The version dialog.
#pragma once

#include <QDialog>

// "Zentovaのﾊﾞｰｼﾞｮﾝ情報": the program's icon, its name and version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
    Q_DISABLE_COPY(CAboutDlg)
};
