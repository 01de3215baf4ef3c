// The editor view.
#include "zentovaview.h"

#include "clipimagedialog.h"
#include "commandcoloring.h"
#include "commandtext.h"
#include "editorblocks.h"
#include "errorlistdialog.h"
#include "errormarks.h"
#include "insertiontools.h"
#include "mergedata.h"
#include "printcontroller.h"
#include "prompter.h"
#include "settingsstore.h"
#include "waitcursor.h"
#include "zentovadoc.h"

#include "draw/qt/userfolders.h"
#include "merge/datafile.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

#include <cmath>

namespace {

const QString kModifiedMark = QStringLiteral(" *");

// A fixed-pitch face that has the Japanese characters, half-width characters exactly half
// as wide as full-width ones, as the system's OEM font of a Japanese desktop.
QFont editorFont()
{
    QFont font(QStringList{QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                           QStringLiteral("Noto Sans Mono CJK JP"),
                           QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(14);
    return font;
}

} // namespace

CZentovaView::CZentovaView(CZentovaDoc &doc, SettingsStore &settings, Prompter &prompter,
                           QWidget *parent)
    : QPlainTextEdit(parent), m_document(doc), m_settings(settings), m_prompter(prompter),
      m_printer(std::make_unique<CPrintController>(m_state, this)),
      m_merge(new CMergeData(settings, prompter, this)),
      m_coloring(new CommandColoring(*document())), m_errorMarks(new ErrorMarks(*document()))
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(editorFont());
    doc.attachView(this);
    document()->setDocumentMargin(5);
    // One tab stop every 16 dialog units: four average characters.
    setTabStopDistance(4 * fontMetrics().averageCharWidth());

    m_state.profile = &settings;
    ReadUserFolders(m_state);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        m_state.screenPixelCount = static_cast<long long>(size.width()) * size.height();
        m_state.screenPixelRoot = std::sqrt(static_cast<double>(m_state.screenPixelCount));
    }

    connect(this, &QPlainTextEdit::textChanged, this, &CZentovaView::markModified);
    // The data file belongs to the command file: another file brings its own, a file
    // saved under a new name keeps the one chosen.
    connect(&doc, &CZentovaDoc::documentReplaced, m_merge,
            [this]() { m_merge->setDocument(m_document.pathName()); });
    connect(&doc, &CZentovaDoc::titleChanged, m_merge, [this]() {
        if (m_document.pathName() != m_merge->documentPath())
            m_merge->moveDocument(m_document.pathName());
    });
    connect(document(), &QTextDocument::contentsChange, this, &CZentovaView::textMoved);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CZentovaView::showCaretError);
    connect(m_errorMarks, &ErrorMarks::changed, this, [this]() {
        viewport()->update();
        showCaretError();
    });
}

CZentovaView::~CZentovaView() = default;

QString CZentovaView::editorText() const
{
    return editorblocks::Text(*document());
}

void CZentovaView::setEditorText(const QString &text)
{
    // The marks belong to the old text.
    m_errorMarks->clear();
    m_replacingText = true;
    setPlainText(QString());
    editorblocks::Fill(*document(), text);
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    m_replacingText = false;
    m_state.errorText.clear();
    emit commandStateChanged();
}

void CZentovaView::markModified()
{
    if (m_replacingText)
        return;
    m_document.setModifiedFlag(true);
    const QString &title = m_document.title();
    if (title.size() >= 2 && title.endsWith(kModifiedMark))
        return;
    m_document.setTitle(title + kModifiedMark);
}

void CZentovaView::InsertText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    editorblocks::Insert(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CZentovaView::insertCommandLine(const QString &line)
{
    // In front of the line that holds the start of the selection; the selection stays
    // in the text.
    QTextCursor cursor = textCursor();
    cursor.setPosition(editorblocks::LineStart(*document(), cursor.selectionStart()));
    setTextCursor(cursor);
    ensureCursorVisible();
    InsertText(line);
}

void CZentovaView::insertColorCommand()
{
    if (const std::optional<QColor> color = m_prompter.chooseColor(this))
        insertCommandLine(ColorCommandLine(*color));
}

void CZentovaView::insertFontCommand()
{
    const QString face = m_prompter.chooseFontFace(this);
    if (!face.isEmpty())
        insertCommandLine(QLatin1Char('/') + face + QLatin1Char('\n'));
}

void CZentovaView::insertImageCommand()
{
    insertPathCommand(QStringLiteral("!"), ImageFileFilter(m_state), m_settings.picturePath(),
                      &SettingsStore::setPicturePath);
}

void CZentovaView::insertCallCommand()
{
    insertPathCommand(QStringLiteral("<"), CallFileFilter(), m_settings.callPath(),
                      &SettingsStore::setCallPath);
}

void CZentovaView::insertPathCommand(const QString &prefix, const QString &filter,
                                     const QString &startFolder,
                                     void (SettingsStore::*remember)(const QString &))
{
    const QString file = m_prompter.openFileName(this, startFolder, filter);
    if (file.isEmpty())
        return;
    (m_settings.*remember)(SettingsStore::FolderOf(file));
    insertCommandLine(PathCommandLine(m_state, prefix, file, m_document.pathName()));
}

void CZentovaView::clipImage()
{
    CClipImageDlg dialog(
        m_state.clipSlots,
        [this](const QString &message) { m_prompter.tell(this, message, Prompter::Severity::Information); },
        this);
    dialog.exec();
    emit clipSlotsChanged();
}

void CZentovaView::selectLine(int lineNo)
{
    QTextCursor cursor(document());
    const int start = lineNo >= 1 ? editorblocks::LinePosition(*document(), lineNo) : -1;
    if (start >= 0) {
        cursor.setPosition(start);
        cursor.setPosition(editorblocks::LineEnd(*document(), start), QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::End);
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool CZentovaView::canInsertFromMimeData(const QMimeData *source) const
{
    if (source->hasUrls())
        for (const QUrl &url : source->urls())
            if (url.isLocalFile())
                return false;
    return QPlainTextEdit::canInsertFromMimeData(source);
}

void CZentovaView::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText())
        InsertText(source->text());
}

QMimeData *CZentovaView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(
        editorblocks::Text(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void CZentovaView::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly() && event->matches(QKeySequence::InsertParagraphSeparator)) {
        QTextCursor cursor = textCursor();
        cursor.insertBlock(QTextBlockFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (!isReadOnly() && deleteAcrossBlockBreak(event))
        return;
    QPlainTextEdit::keyPressEvent(event);
}

bool CZentovaView::deleteAcrossBlockBreak(QKeyEvent *event)
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return false;
    const bool backspace = event->key() == Qt::Key_Backspace &&
                           !(event->modifiers() & ~Qt::ShiftModifier);
    if (backspace && cursor.atBlockStart() && editorblocks::IsContinued(cursor.block()) &&
        cursor.block().previous().length() > 1) {
        cursor.setPosition(cursor.position() - 1);
        cursor.deletePreviousChar();
    } else if (event->matches(QKeySequence::Delete) && cursor.atBlockEnd() &&
               editorblocks::IsContinued(cursor.block().next()) &&
               cursor.block().next().length() > 1) {
        cursor.setPosition(cursor.position() + 1);
        cursor.deleteChar();
    } else {
        return false;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
    return true;
}

void CZentovaView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    m_sinceDoubleClick.start();
    m_doubleClickAt = event->position().toPoint();
}

void CZentovaView::mousePressEvent(QMouseEvent *event)
{
    const bool tripleClick =
        event->button() == Qt::LeftButton && m_sinceDoubleClick.isValid() &&
        m_sinceDoubleClick.elapsed() < QApplication::doubleClickInterval() &&
        (event->position().toPoint() - m_doubleClickAt).manhattanLength() <
            QApplication::startDragDistance();
    QPlainTextEdit::mousePressEvent(event);
    if (!tripleClick)
        return;
    m_sinceDoubleClick.invalidate();
    QTextCursor cursor = cursorForPosition(event->position().toPoint());
    const int start = editorblocks::LineStart(*document(), cursor.position());
    cursor.setPosition(start);
    cursor.setPosition(editorblocks::LineEnd(*document(), start), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void CZentovaView::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    // A new width has made the layout forget every block's line count.
    if (event->size().width() != event->oldSize().width())
        editorblocks::EstimateLineCounts(*document());
}

void CZentovaView::textMoved(int position, int, int)
{
    // Lines are counted again from the text's start when the text changed before the
    // block they were last counted from.
    const QTextBlock anchor = document()->findBlockByNumber(m_lineAnchor.blockNumber);
    if (!anchor.isValid() || position <= anchor.position())
        m_lineAnchor = {};
}

int CZentovaView::caretLine()
{
    return editorblocks::LineNumber(*document(), textCursor().position(), &m_lineAnchor);
}

void CZentovaView::showCaretError()
{
    const QString message = m_errorMarks->messageAt(textCursor().position());
    if (message == m_caretError)
        return;
    m_caretError = message;
    emit caretErrorChanged(m_caretError);
}

void CZentovaView::paintEvent(QPaintEvent *event)
{
    // Colours first, so that a block's colours are laid out with it: the blocks from the
    // first visible one on, until they hold the viewport's lines (counting each block's
    // rows if laid out, its lines otherwise; never laying one out just to measure it).
    int rows = viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 1;
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && rows > 0;
         block = block.next()) {
        m_coloring->colourRange(block, block);
        rows -= std::max(1, block.lineCount());
    }
    QPlainTextEdit::paintEvent(event);
    if (m_errorMarks->isEmpty())
        return;
    const QPointF offset = contentOffset();
    const QRect area = event->rect();
    QPainter painter(viewport());
    painter.setClipRect(area);
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        // Blocks that are painted have been laid out: measuring them costs nothing.
        if (block.layout()->lineCount() == 0)
            break;
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > area.bottom())
            break;
        if (rect.bottom() >= area.top())
            m_errorMarks->paintBlock(painter, block, rect.topLeft());
    }
}

bool CZentovaView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString message = m_errorMarks->messageAt(cursorForPosition(help->pos()).position());
        if (message.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), message, viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

bool CZentovaView::canReload() const
{
    return !m_document.pathName().isEmpty();
}

void CZentovaView::reload()
{
    if (!canReload())
        return;
    if (m_document.isModified() &&
        !m_prompter.askOkCancel(window(),
                                QStringLiteral("データの変更を破棄して再読込しますか？")))
        return;
    // After a failed re-read the text stays as it was and keeps its modified mark: the
    // edits are still unsaved.
    if (!m_document.reread())
        return;
    QString title = m_document.title();
    if (title.size() > 2 && title.endsWith(kModifiedMark)) {
        title.chop(kModifiedMark.size());
        m_document.setTitle(title);
    }
}

void CZentovaView::checkErrors()
{
    if (m_state.errorText.empty())
        return;
    CErrorListDlg dialog(m_state.errorText.str(), window());
    if (dialog.exec() == QDialog::Accepted && dialog.chosenLine() > 0) {
        selectLine(dialog.chosenLine());
        setFocus();
    }
}

void CZentovaView::endOfJob(bool hadErrors)
{
    emit commandStateChanged();
    // The error list opens after the job's windows have closed.
    if (hadErrors)
        QTimer::singleShot(0, this, &CZentovaView::checkErrors);
}

void CZentovaView::tellPrintFailure()
{
    const QString failure = m_printer->takeFailure();
    if (!failure.isEmpty())
        m_prompter.tell(window(), failure, Prompter::Severity::Error);
}

commandtext::Encoded CZentovaView::jobText() const
{
    const WaitCursor busy; // an edited text of many megabytes takes a moment
    return m_document.commandText();
}

void CZentovaView::printPreview()
{
    std::unique_ptr<DataFile> data = m_merge->load();
    if (!data && !m_merge->path().isEmpty())
        return;
    const commandtext::Encoded text = jobText();
    bool errors = m_printer->preview(text.bytes, m_document.pathName(), data.get());
    tellPrintFailure();
    // Characters printed as "?" are named in the error list, after the job's own errors.
    errors = commandtext::ListUnmappedLines(text, m_state.errorText) || errors;
    endOfJob(errors);
}

bool CZentovaView::print()
{
    std::unique_ptr<DataFile> data = m_merge->load();
    if (!data && !m_merge->path().isEmpty())
        return false;
    const commandtext::Encoded text = jobText();
    bool printed = false;
    bool errors = m_printer->print(text.bytes, m_document.pathName(), &printed, data.get());
    tellPrintFailure();
    if (printed || errors)
        errors = commandtext::ListUnmappedLines(text, m_state.errorText) || errors;
    endOfJob(errors);
    return printed;
}
