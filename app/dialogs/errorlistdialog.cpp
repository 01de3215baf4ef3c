// The error list dialog.
#include "errorlistdialog.h"

#include "dialogunits.h"

#include "engine/codepage.h"
#include "engine/textlines.h"

#include <QListWidget>
#include <QPushButton>

#include <climits>

CErrorListDlg::CErrorListDlg(const std::string &errorLines, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("エラー内容"));
    setFont(DialogFont(CP932("ＭＳ ゴシック"), 9));
    const DialogUnits du(font());
    setFixedSize(du.size(222, 163));

    m_list->setGeometry(du.rect(7, 7, 208, 130));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setSortingEnabled(false);

    std::string_view rest = errorLines;
    for (std::string_view line = TakeLine(rest); line != kEndMarker; line = TakeLine(rest)) {
        m_entries.emplace_back(line);
        m_list->addItem(QString::fromStdString(cp932::ToUtf8(line)));
    }

    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setGeometry(du.rect(169, 142, 46, 14));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // A click, or an arrow key, selects an entry; getting the focus only sets the current
    // entry without selecting it, so opening the dialog picks nothing.
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CErrorListDlg::pick);
}

int CErrorListDlg::LineNumberOf(const std::vector<std::string> &entries, int index)
{
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return 0;
    if (index % 2 == 1)
        --index;
    const std::string &entry = entries[static_cast<std::size_t>(index)];
    const std::size_t open = entry.find('(');
    if (open == std::string::npos)
        return 0;
    // Decimal digits up to the first other character; a number too long for an int is
    // no line of the text.
    long long number = 0;
    for (std::size_t i = open + 1; i < entry.size() && entry[i] >= '0' && entry[i] <= '9'; ++i) {
        number = number * 10 + (entry[i] - '0');
        if (number > INT_MAX)
            return 0;
    }
    return static_cast<int>(number);
}

void CErrorListDlg::pick()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const int line = LineNumberOf(m_entries, m_list->row(selected.first()));
    if (line <= 0)
        return;
    m_chosenLine = line;
    accept();
}
