#pragma once

#include "platform/Component.h"
#include "platform/FileSaver.h"

#include <QTextEdit>

#include <functional>
#include <stdexcept>
#include <utility>

namespace parlino {

class ERichEditError : public std::runtime_error
{
public:
    explicit ERichEditError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

using TPosChange = std::function<void(int InRow, int InCol)>;
using TModeChange = std::function<void(bool IsStateOverwrite)>;

// The rich-text edit of the transcript. Lines are the paragraphs of the text, both counted from 0, and a
// position counts every character plus one for each line break; rows, columns, positions and line texts
// all use that one arithmetic. Keys are Qt key codes; a handler that sets the key to 0 consumes it.
class TREdit : public QTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QString RTFText READ RTFText WRITE SetRTFText)
    Q_PROPERTY(int IndentSpace READ IndentSpace WRITE SetIndentSpace)
    Q_PROPERTY(bool BackSpaceUnIndent READ BackSpaceUnIndent WRITE SetBackSpaceUnIndent)
    Q_PROPERTY(bool AutoIndent READ AutoIndent WRITE SetAutoIndent)

public:
    using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
    using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;

    static constexpr int kMaxLineLength = 4096;

    explicit TREdit(FileSaver& files, QWidget* parent = nullptr);

    // The whole content as RTF, or as plain text while PlainText is on. Text that is not RTF loads as plain text.
    QString RTFText() const;
    void SetRTFText(const QString& value);
    bool PlainText() const { return plainText_; }
    void SetPlainText(bool plainText) { plainText_ = plainText; }

    int IndentSpace() const { return indentSpace_; }
    void SetIndentSpace(int indentSpace);
    bool BackSpaceUnIndent() const { return backSpaceUnIndent_; }
    void SetBackSpaceUnIndent(bool on) { backSpaceUnIndent_ = on; }
    bool AutoIndent() const { return autoIndent_; }
    void SetAutoIndent(bool on) { autoIndent_ = on; }
    bool OverwriteState() const { return overwriteState_; }

    int CaretRow() const;
    int CaretCol() const;
    int FirstVisibleLine() const;
    // -1 while hidden.
    int VisibleLineCount() const;
    void ScrollToLine(int line);
    int UnindentCount() const;
    int SpacesToNextStop() const;
    void InsertTabSpaces();

    int SelStart() const;
    int SelLength() const;
    // Collapses the selection at the position.
    void SetSelStart(int position);
    void SelectAll();
    QString SelText() const;
    void ReplaceSel(const QString& text);
    // Line breaks as CR LF.
    QString Text() const;
    int TextLength() const;
    int LineFromChar(int position) const;
    // -1 for a line that does not exist.
    int LineIndex(int line) const;
    // An empty last line does not count.
    int LineCount() const;
    QString Line(int line) const;
    // Appends a line in the format set at the end; CR, LF and CR LF inside the text start further lines.
    void AddLine(const QString& text);
    void Clear();
    // At an empty selection this is the format of the next inserted text.
    void SetSelFormat(const QTextCharFormat& format);
    void ScrollLines(int count);
    void ScrollCaret();
    void Copy();
    // Always Rich Text Format unless PlainText is on, whatever the extension.
    void SaveToFile(const QString& fileName);

    TNotifyEvent OnChange;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnSelectionChange;
    TPosChange OnPosChange;
    TModeChange OnModeChange;
    TNotifyEvent OnScrollV;
    TNotifyEvent OnScrollH;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Scrolls one page down (direction 1) or up (-1).
    void ScrollPage(int direction);
    bool StartsUnindent() const;
    void FinishUnindent();
    void IndentNewLine();
    void SelectionChanged();
    void PostKeys(int key, const QString& text, int count);
    void LoadPlainText(const QString& text);

    FileSaver& files_;
    bool plainText_ = false;
    int indentSpace_ = 0;
    bool backSpaceUnIndent_ = false;
    bool autoIndent_ = false;
    bool overwriteState_ = false;
    bool unindentPending_ = false;
    std::pair<int, int> lastSelection_{0, 0};
};

} // namespace parlino
