#include "chat/REdit.h"

#include "chat/RtfTextDocument.h"
#include "codec/Rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace parlino {

namespace {

constexpr Qt::KeyboardModifiers kShiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// One kind of line break, so CR LF never makes two lines.
QString WithLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    // Qt reads these two noncharacters as frame markers; received text must stay text.
    text.replace(QChar(0xFDD0), QChar::ReplacementCharacter);
    text.replace(QChar(0xFDD1), QChar::ReplacementCharacter);
    return text;
}

bool IsBlank(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

TREdit::TREdit(FileSaver& files, QWidget* parent) : QTextEdit(parent), files_(files)
{
    // Pasted markup would bring tables and images the transcript's line model has no place for.
    setAcceptRichText(false);
    connect(this, &QTextEdit::textChanged, this, [this] { Raise(OnChange, this); });
    connect(this, &QTextEdit::cursorPositionChanged, this, &TREdit::SelectionChanged);
    connect(this, &QTextEdit::selectionChanged, this, &TREdit::SelectionChanged);
    // Queued, so the handlers see the scroll bar after it has moved.
    connect(
        verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { Raise(OnScrollV, this); },
        Qt::QueuedConnection);
    connect(
        horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this] { Raise(OnScrollH, this); },
        Qt::QueuedConnection);
}

QString TREdit::RTFText() const
{
    if (plainText_)
        return Text();
    return QString::fromLatin1(rtf::Write(RtfOfTextDocument(*document())));
}

void TREdit::SetRTFText(const QString& value)
{
    if (!plainText_) {
        const QByteArray bytes = value.toUtf8();
        if (const auto rtf = rtf::Read(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
            LoadRtfIntoTextDocument(*document(), *rtf);
            return;
        }
    }
    LoadPlainText(value);
}

void TREdit::LoadPlainText(const QString& text)
{
    document()->setUndoRedoEnabled(false);
    setPlainText(WithLineFeeds(text));
    document()->setUndoRedoEnabled(true);
}

void TREdit::SetIndentSpace(int indentSpace)
{
    if (indentSpace >= 0)
        indentSpace_ = indentSpace;
}

int TREdit::CaretRow() const
{
    return LineFromChar(SelStart());
}

int TREdit::CaretCol() const
{
    return SelStart() - LineIndex(CaretRow());
}

int TREdit::FirstVisibleLine() const
{
    // One pixel down, so a line whose top sits exactly at the edge counts as the first one.
    return cursorForPosition(QPoint(0, 1)).blockNumber();
}

int TREdit::VisibleLineCount() const
{
    if (!isVisible())
        return -1;
    return viewport()->height() / fontMetrics().height();
}

void TREdit::ScrollToLine(int line)
{
    line = std::min(std::max(line, 0), LineCount() - 1);
    ScrollLines(line - FirstVisibleLine());
    Raise(OnScrollV, this);
}

void TREdit::ScrollLines(int count)
{
    const int line = FirstVisibleLine() + count;
    const QTextBlock block = document()->findBlockByNumber(std::max(line, 0));
    if (count == 0 || !block.isValid())
        return;
    const double top = line <= 0 ? 0 : std::ceil(document()->documentLayout()->blockBoundingRect(block).top());
    verticalScrollBar()->setValue(static_cast<int>(top));
}

// A page is counted in display lines, as many as the view shows, so a paragraph that wraps is not
// skipped: paging down brings the line cut by the bottom edge to the top, paging up takes the top line
// down to the bottom.
void TREdit::ScrollPage(int direction)
{
    // Where each display line starts; the first one with the document's margin above it.
    std::vector<int> tops;
    const QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const qreal blockTop = layout->blockBoundingRect(block).top();
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            tops.push_back(tops.empty() ? 0 : static_cast<int>(std::ceil(blockTop + block.layout()->lineAt(i).y())));
    }
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    const int page = viewport()->height();
    if (direction > 0) {
        // The last line starting within the view below its top line; else the next line.
        const auto after = std::upper_bound(tops.begin(), tops.end(), top);
        const auto beyond = std::upper_bound(after, tops.end(), top + page);
        if (beyond != after)
            bar->setValue(*(beyond - 1));
        else if (after != tops.end())
            bar->setValue(*after);
    } else {
        // The first line starting within a page above the top; else the line before.
        const auto at = std::lower_bound(tops.begin(), tops.end(), top);
        const auto within = std::lower_bound(tops.begin(), at, top - page);
        if (within != at)
            bar->setValue(*within);
        else if (at != tops.begin())
            bar->setValue(*(at - 1));
    }
    Raise(OnScrollV, this);
}

int TREdit::UnindentCount() const
{
    return indentSpace_ > 0 ? CaretCol() % indentSpace_ : 0;
}

int TREdit::SpacesToNextStop() const
{
    return indentSpace_ > 0 ? indentSpace_ * (CaretCol() / indentSpace_ + 1) - CaretCol() : 0;
}

void TREdit::InsertTabSpaces()
{
    PostKeys(Qt::Key_Space, QStringLiteral(" "), SpacesToNextStop());
}

int TREdit::SelStart() const
{
    return textCursor().selectionStart();
}

int TREdit::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TREdit::SetSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min(std::max(position, 0), TextLength()));
    setTextCursor(cursor);
}

void TREdit::SelectAll()
{
    selectAll();
}

QString TREdit::SelText() const
{
    return WithLineFeeds(textCursor().selectedText()).replace(u'\n', QStringLiteral("\r\n"));
}

void TREdit::ReplaceSel(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(WithLineFeeds(text));
    setTextCursor(cursor);
}

QString TREdit::Text() const
{
    return toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

int TREdit::TextLength() const
{
    return document()->characterCount() - 1;
}

int TREdit::LineFromChar(int position) const
{
    return document()->findBlock(position).blockNumber();
}

int TREdit::LineIndex(int line) const
{
    const QTextBlock block = document()->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int TREdit::LineCount() const
{
    const int blocks = document()->blockCount();
    return document()->lastBlock().length() == 1 ? blocks - 1 : blocks;
}

QString TREdit::Line(int line) const
{
    return document()->findBlockByNumber(line).text().left(kMaxLineLength);
}

void TREdit::AddLine(const QString& text)
{
    QTextCursor cursor = textCursor();
    const int end = TextLength();
    if (cursor.hasSelection() || cursor.position() != end)
        cursor.setPosition(end);
    const QTextCharFormat format = cursor.charFormat();
    QString line = WithLineFeeds(text) + u'\n';
    if (document()->lastBlock().length() > 1)
        line.prepend(u'\n');
    cursor.insertText(line, format);
    if (cursor.position() != end + line.size())
        throw ERichEditError(tr("RichEdit line insertion error"));
    setTextCursor(cursor);
}

void TREdit::Clear()
{
    clear();
    document()->setModified(false);
}

void TREdit::SetSelFormat(const QTextCharFormat& format)
{
    setCurrentCharFormat(format);
}

void TREdit::ScrollCaret()
{
    ensureCursorVisible();
}

void TREdit::Copy()
{
    copy();
}

void TREdit::SaveToFile(const QString& fileName)
{
    const QByteArray bytes = plainText_ ? Text().toUtf8() : RTFText().toLatin1();
    switch (files_.Save(fileName, bytes)) {
    case SaveResult::Saved:
        return;
    case SaveResult::CannotCreate:
        throw ERichEditError(tr("Cannot create file %1").arg(fileName));
    case SaveResult::WriteFailed:
        throw ERichEditError(tr("Failed to Save Stream"));
    }
}

void TREdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    int key = KeyDown(event->key(), modifiers);
    Raise(OnKeyDown, this, key, modifiers);
    if (key == 0) {
        event->accept();
        return;
    }
    const QString text = event->text();
    QChar character = text.size() == 1 ? text.front() : QChar();
    if (!character.isNull()) {
        if (character == u'\t' && indentSpace_ != 0) {
            InsertTabSpaces();
            character = QChar();
        }
        Raise(OnKeyPress, this, character);
        if (character.isNull()) {
            event->accept();
            return;
        }
    }
    // A soft break would put two lines in one paragraph, which the line arithmetic counts as one.
    const Qt::KeyboardModifiers passed = IsEnter(key) ? modifiers & ~Qt::ShiftModifier : modifiers;
    const QString passedText = character.isNull() ? text : QString(character);
    if (key == event->key() && passed == modifiers && passedText == text) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent changed(QEvent::KeyPress, key, passed, passedText, event->isAutoRepeat());
    QTextEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

// The control's own key-down work; returns the key, 0 when consumed.
int TREdit::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier) {
        const int first = FirstVisibleLine();
        switch (key) {
        case Qt::Key_Up:
            ScrollToLine(first - 1);
            return 0;
        case Qt::Key_Down:
            ScrollToLine(first + 1);
            return 0;
        case Qt::Key_PageUp:
            ScrollPage(-1);
            return 0;
        case Qt::Key_PageDown:
            ScrollPage(1);
            return 0;
        default:
            break;
        }
    }
    if (key == Qt::Key_Insert && !(modifiers & kShiftCtrlAlt)) {
        overwriteState_ = !overwriteState_;
        setOverwriteMode(overwriteState_);
        Raise(OnModeChange, overwriteState_);
    }
    if (key == Qt::Key_Backspace)
        unindentPending_ = StartsUnindent();
    return key;
}

bool TREdit::StartsUnindent() const
{
    const int start = SelStart();
    return (CaretRow() > 1 || CaretCol() > 1) && backSpaceUnIndent_ && indentSpace_ > 0 && start > 0 &&
           document()->characterAt(start - 1) == u' ' && SelLength() == 0;
}

void TREdit::keyReleaseEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (key == Qt::Key_Backspace && unindentPending_) {
        FinishUnindent();
        event->accept();
        return;
    }
    if (IsEnter(key) && !(modifiers & Qt::AltModifier)) {
        if (autoIndent_ && CaretRow() != 0)
            IndentNewLine();
        event->accept();
        return;
    }
    int passed = key;
    Raise(OnKeyUp, this, passed, modifiers);
    if (passed == 0)
        event->accept();
    else
        QTextEdit::keyReleaseEvent(event);
}

// The first Backspace removed one blank; when the rest of the step before the caret is blank too,
// as many more Backspaces follow as take the caret back to the previous indent stop.
void TREdit::FinishUnindent()
{
    const int count = UnindentCount();
    const int column = CaretCol();
    if (Line(CaretRow()).mid(column - count, count) == QString(count, u' '))
        PostKeys(Qt::Key_Backspace, QStringLiteral("\b"), count);
}

void TREdit::IndentNewLine()
{
    int line = CaretRow() - 1;
    QString text = Line(line);
    while (line > 0 && std::all_of(text.cbegin(), text.cend(), IsBlank))
        text = Line(--line);
    const bool onlyBlanks = std::all_of(text.cbegin(), text.cend(), IsBlank);
    qsizetype length = 0;
    while (!onlyBlanks && length < text.size() && IsBlank(text[length]))
        ++length;
    ReplaceSel(text.left(length) + SelText());
}

void TREdit::SelectionChanged()
{
    const QTextCursor cursor = textCursor();
    const std::pair<int, int> selection{cursor.anchor(), cursor.position()};
    if (selection == lastSelection_)
        return;
    lastSelection_ = selection;
    Raise(OnPosChange, CaretRow(), CaretCol());
    Raise(OnSelectionChange, this);
}

void TREdit::PostKeys(int key, const QString& text, int count)
{
    for (int i = 0; i < count; ++i)
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

} // namespace parlino
