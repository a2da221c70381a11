#include "chat/REdit.h"

#include "platform/fake/FakeFileSaver.h"
#include "tests/support/Wait.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace parlino {
namespace {

const QString kInitialContent = QStringLiteral(
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
    "{\\f2\\fswiss\\fcharset1 MS Sans Serif;}{\\f3\\fswiss\\fcharset1 MS Sans Serif;}}\r\n"
    "{\\colortbl\\red0\\green0\\blue0;}\r\n"
    "\\deflang1033\\pard\\plain\\f3\\fs16 \r\n"
    "\\par }\r\n");

class REditTest : public ::testing::Test
{
protected:
    void TypeAt(const QString& content, int position)
    {
        edit.setPlainText(content);
        edit.SetSelStart(position);
    }

    // Queued blanks and Backspaces arrive after the key that queued them.
    void Settle() { ASSERT_TRUE(test::DrainQueue()); }

    fake::FakeFileSaver files;
    TREdit edit{files};
};

TEST_F(REditTest, InitialContentIsOneEmptyLineInEightPointSansSerif)
{
    edit.SetRTFText(kInitialContent);
    EXPECT_EQ(edit.LineCount(), 1);
    EXPECT_EQ(edit.Line(0), QString());
    const QTextCharFormat format = edit.document()->firstBlock().charFormat();
    EXPECT_EQ(format.fontFamilies().toStringList().value(0), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(format.fontPointSize(), 8);

    edit.AddLine(QStringLiteral("BOB > hi "));
    EXPECT_EQ(edit.LineCount(), 2);
    EXPECT_EQ(edit.Line(0), QString());
    EXPECT_EQ(edit.Line(1), QStringLiteral("BOB > hi "));
}

TEST_F(REditTest, LinesAndPositionsAgree)
{
    edit.Clear();
    for (const char* line : {"first", "", "third line", "a\r\nb"})
        edit.AddLine(QLatin1String(line));
    ASSERT_EQ(edit.LineCount(), 5);
    const QStringList expected = {QStringLiteral("first"), QString(), QStringLiteral("third line"), QStringLiteral("a"),
                                  QStringLiteral("b")};
    for (int line = 0; line < edit.LineCount(); ++line) {
        EXPECT_EQ(edit.Line(line), expected[line]);
        const int start = edit.LineIndex(line);
        EXPECT_EQ(edit.LineFromChar(start), line);
        EXPECT_EQ(edit.LineFromChar(start + edit.Line(line).size()), line);
        edit.SetSelStart(start + 1);
        EXPECT_EQ(edit.CaretRow(), expected[line].isEmpty() ? line + 1 : line);
    }
    EXPECT_EQ(edit.LineIndex(99), -1);
    EXPECT_EQ(edit.Text(), QStringLiteral("first\r\n\r\nthird line\r\na\r\nb\r\n"));
    EXPECT_EQ(edit.TextLength(), edit.Text().size() - 5);
}

TEST_F(REditTest, ClearThenLineLeavesOnlyThatLine)
{
    edit.SetRTFText(kInitialContent);
    edit.Clear();
    EXPECT_EQ(edit.LineCount(), 0);
    EXPECT_FALSE(edit.document()->isModified());
    edit.AddLine(QStringLiteral("x"));
    EXPECT_EQ(edit.LineCount(), 1);
    EXPECT_EQ(edit.Line(0), QStringLiteral("x"));
    EXPECT_EQ(edit.SelStart(), edit.TextLength());
}

TEST_F(REditTest, AddedLineTakesTheFormatSetAtTheEnd)
{
    edit.Clear();
    edit.SetSelStart(edit.TextLength());
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    blue.setFontWeight(QFont::Bold);
    edit.SetSelFormat(blue);
    edit.AddLine(QStringLiteral("sent"));
    edit.SetSelStart(edit.TextLength());
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    edit.SetSelFormat(red);
    edit.AddLine(QStringLiteral("received"));

    const QTextBlock first = edit.document()->findBlockByNumber(0);
    const QTextBlock second = first.next();
    EXPECT_EQ(first.begin().fragment().charFormat().foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(first.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(second.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(REditTest, MarkupInTextStaysText)
{
    edit.Clear();
    const QStringList lines = {QStringLiteral("<b>x</b>"), QStringLiteral("{\\rtf1 x}"), QStringLiteral("\\par }{"),
                               QString::fromUtf8("\xC8\x99i \xE2\x82\xAC \xF0\x9F\x98\x80")};
    for (const QString& line : lines)
        edit.AddLine(line);
    const QString rtf = edit.RTFText();
    TREdit reread(files);
    reread.SetRTFText(rtf);
    ASSERT_EQ(reread.LineCount(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ(reread.Line(i), lines[i]);
}

TEST_F(REditTest, TextThatIsNotRtfLoadsAsPlainTextAndReadsBackAsRtf)
{
    edit.SetRTFText(QStringLiteral("hello\r\nworld"));
    EXPECT_EQ(edit.LineCount(), 2);
    EXPECT_EQ(edit.Line(1), QStringLiteral("world"));
    EXPECT_TRUE(edit.RTFText().startsWith(QStringLiteral("{\\rtf1\\ansi")));

    edit.SetPlainText(true);
    edit.SetRTFText(QStringLiteral("{\\rtf1 x}"));
    EXPECT_EQ(edit.Line(0), QStringLiteral("{\\rtf1 x}"));
    EXPECT_EQ(edit.RTFText(), QStringLiteral("{\\rtf1 x}"));
}

TEST_F(REditTest, SavingWritesRtfWhateverTheExtensionAndReportsFailures)
{
    edit.AddLine(QStringLiteral("line"));
    edit.SaveToFile(QStringLiteral("/t/chat.txt"));
    EXPECT_TRUE(files.files.value(QStringLiteral("/t/chat.txt")).startsWith("{\\rtf1"));

    struct Failure
    {
        SaveResult result;
        QString message;
    };
    for (const Failure& f : {Failure{SaveResult::CannotCreate, QStringLiteral("Cannot create file /t/x.rtf")},
                             Failure{SaveResult::WriteFailed, QStringLiteral("Failed to Save Stream")}}) {
        files.result = f.result;
        try {
            edit.SaveToFile(QStringLiteral("/t/x.rtf"));
            ADD_FAILURE() << "no error for " << f.message.toStdString();
        } catch (const ERichEditError& error) {
            EXPECT_EQ(error.Message(), f.message);
        }
    }
}

TEST_F(REditTest, DiskSaverReportsAMissingFolder)
{
    DiskFileSaver disk;
    TREdit saved(disk);
    EXPECT_THROW(saved.SaveToFile(QStringLiteral("/nonexistent-folder/x.rtf")), ERichEditError);
}

struct TabCase
{
    int column;
    int blanks;
};

TEST_F(REditTest, TabInsertsBlanksToTheNextIndentStop)
{
    edit.SetIndentSpace(4);
    QChar pressed;
    edit.OnKeyPress = [&pressed](QObject*, QChar& key) { pressed = key; };
    for (const TabCase& c : {TabCase{0, 4}, TabCase{5, 3}, TabCase{8, 4}, TabCase{3, 1}}) {
        TypeAt(QString(10, u'x'), c.column);
        QTest::keyClick(&edit, Qt::Key_Tab);
        Settle();
        EXPECT_EQ(edit.Line(0), QString(10, u'x').insert(c.column, QString(c.blanks, u' '))) << c.column;
        EXPECT_EQ(edit.CaretCol(), c.column + c.blanks);
    }
    EXPECT_EQ(pressed, QChar(u' '));

    edit.SetIndentSpace(-2);
    EXPECT_EQ(edit.IndentSpace(), 4);
    edit.SetIndentSpace(0);
    TypeAt(QStringLiteral("ab"), 1);
    QTest::keyClick(&edit, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(edit.Line(0), QStringLiteral("a\tb"));
}

struct BackspaceCase
{
    const char* name;
    QString content;
    int position;
    bool selectToEnd;
    QString after;
};

TEST_F(REditTest, BackspaceRemovesAWholeIndentStep)
{
    edit.SetIndentSpace(4);
    edit.SetBackSpaceUnIndent(true);
    const QString deep = QStringLiteral("x\ny\n");
    const std::vector<BackspaceCase> cases = {
        {"from column 8", deep + QString(8, u' ') + u'z', 12, false, deep + QString(4, u' ') + u'z'},
        {"from column 6", deep + QString(6, u' ') + u'z', 10, false, deep + QString(4, u' ') + u'z'},
        {"from column 5", deep + QString(5, u' ') + u'z', 9, false, deep + QString(4, u' ') + u'z'},
        {"from column 3", QStringLiteral("   z"), 3, false, QStringLiteral("z")},
        {"non-blank before", deep + QStringLiteral("  a z"), 7, false, deep + QStringLiteral("   z")},
        {"text within the step", deep + QStringLiteral("ab  z"), 8, false, deep + QStringLiteral("ab z")},
        {"selection", deep + QString(8, u' ') + u'z', 4, true, deep},
        {"first line column 1", QStringLiteral(" z"), 1, false, QStringLiteral("z")},
        {"second line column 1", QStringLiteral("x\n z"), 3, false, QStringLiteral("x\nz")},
    };
    for (const BackspaceCase& c : cases) {
        TypeAt(c.content, c.position);
        if (c.selectToEnd) {
            QTextCursor cursor = edit.textCursor();
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            edit.setTextCursor(cursor);
        }
        QTest::keyClick(&edit, Qt::Key_Backspace);
        Settle();
        EXPECT_EQ(edit.toPlainText(), c.after) << c.name;
    }

    edit.SetBackSpaceUnIndent(false);
    TypeAt(deep + QString(8, u' '), 12);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    Settle();
    EXPECT_EQ(edit.toPlainText(), deep + QString(7, u' '));
}

struct IndentCase
{
    const char* name;
    QString content;
    QString after;
};

TEST_F(REditTest, EnterCopiesTheIndentationOfTheNearestLineWithText)
{
    edit.SetAutoIndent(true);
    std::vector<int> keyUps;
    edit.OnKeyUp = [&keyUps](QObject*, int& key, Qt::KeyboardModifiers) { keyUps.push_back(key); };
    const std::vector<IndentCase> cases = {
        {"after an indented word", QStringLiteral("    word"), QStringLiteral("    word\n    ")},
        {"over blank lines", QStringLiteral("  a\n\n   "), QStringLiteral("  a\n\n   \n  ")},
        {"all blank", QStringLiteral("   \n"), QStringLiteral("   \n\n")},
        {"tabs", QStringLiteral("\t b"), QStringLiteral("\t b\n\t ")},
    };
    for (const IndentCase& c : cases) {
        TypeAt(c.content, static_cast<int>(c.content.size()));
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(edit.toPlainText(), c.after) << c.name;
        EXPECT_EQ(edit.SelStart(), c.after.size()) << c.name;
    }
    EXPECT_TRUE(keyUps.empty());

    TypeAt(QStringLiteral("    word"), 8);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(edit.Line(1), QString());
    EXPECT_EQ(std::count(keyUps.begin(), keyUps.end(), Qt::Key_Return), 1);
}

TEST_F(REditTest, InsertAloneTogglesOverwrite)
{
    std::vector<bool> modes;
    edit.OnModeChange = [&modes](bool overwrite) { modes.push_back(overwrite); };
    QTest::keyClick(&edit, Qt::Key_Insert);
    for (const Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier})
        QTest::keyClick(&edit, Qt::Key_Insert, modifier);
    EXPECT_EQ(modes, std::vector<bool>{true});
    EXPECT_TRUE(edit.OverwriteState());
    TypeAt(QStringLiteral("abc"), 0);
    QTest::keyClicks(&edit, QStringLiteral("xy"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("xyc"));
    QTest::keyClick(&edit, Qt::Key_Insert);
    EXPECT_EQ(modes, (std::vector<bool>{true, false}));
}

TEST_F(REditTest, PositionChangesReportRowAndColumnFromZero)
{
    std::vector<std::pair<int, int>> positions;
    edit.OnPosChange = [&positions](int row, int col) { positions.emplace_back(row, col); };
    edit.setPlainText(QStringLiteral("ab\ncde"));
    edit.SetSelStart(4);
    edit.SetSelStart(0);
    EXPECT_EQ(positions.back(), std::make_pair(0, 0));
    EXPECT_NE(std::find(positions.begin(), positions.end(), std::make_pair(1, 1)), positions.end());
}

TEST_F(REditTest, CtrlKeysScrollByLinesAndConsumeTheKey)
{
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    edit.setPlainText(lines.join(u'\n'));
    EXPECT_EQ(edit.VisibleLineCount(), -1);
    edit.resize(300, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    const int visible = edit.VisibleLineCount();
    EXPECT_EQ(visible, edit.viewport()->height() / edit.fontMetrics().height());
    int scrolls = 0;
    edit.OnScrollV = [&scrolls](QObject*) { ++scrolls; };
    std::vector<int> keysSeen;
    edit.OnKeyDown = [&keysSeen](QObject*, int& key, Qt::KeyboardModifiers) {
        if (key != Qt::Key_Control && key != Qt::Key_Shift)
            keysSeen.push_back(key);
    };
    edit.SetSelStart(0);

    QTest::keyClick(&edit, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(edit.FirstVisibleLine(), 0);
    EXPECT_EQ(scrolls, 1);
    QTest::keyClick(&edit, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(edit.FirstVisibleLine(), 1);
    QTest::keyClick(&edit, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(edit.FirstVisibleLine(), 1 + visible);
    QTest::keyClick(&edit, Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit.FirstVisibleLine(), 1);
    EXPECT_EQ(scrolls, 4);
    EXPECT_EQ(edit.SelStart(), 0);
    EXPECT_EQ(keysSeen, std::vector<int>(4, 0));

    edit.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_TRUE(test::WaitUntil([&scrolls] { return scrolls == 5; }));

    edit.ScrollToLine(100000);
    EXPECT_GT(edit.FirstVisibleLine(), 150);
    edit.ScrollToLine(-5);
    EXPECT_EQ(edit.FirstVisibleLine(), 0);
}

struct PageCase
{
    const char* name;
    int wordsPerLine;
};

// Whatever the lines, a page moves the view by at most its height: every display line is seen on the way.
TEST_F(REditTest, CtrlPageKeysSkipNoDisplayLine)
{
    edit.resize(300, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QScrollBar* bar = edit.verticalScrollBar();
    for (const PageCase& c : {PageCase{"one display line each", 1}, PageCase{"wrapped paragraphs", 40}}) {
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines.append(QStringList(c.wordsPerLine, QStringLiteral("word%1").arg(i)).join(u' '));
        edit.setPlainText(lines.join(u'\n'));
        // Laid out to the end, so the scroll bar knows the whole height.
        edit.document()->documentLayout()->blockBoundingRect(edit.document()->lastBlock());
        QCoreApplication::processEvents();
        bar->setValue(0);
        const int page = edit.viewport()->height();
        for (int steps = 0; bar->value() < bar->maximum(); ++steps) {
            ASSERT_LT(steps, 1000) << c.name;
            const int top = bar->value();
            QTest::keyClick(&edit, Qt::Key_PageDown, Qt::ControlModifier);
            ASSERT_GT(bar->value(), top) << c.name;
            ASSERT_LE(bar->value(), top + page) << c.name;
        }
        for (int steps = 0; bar->value() > 0; ++steps) {
            ASSERT_LT(steps, 1000) << c.name;
            const int top = bar->value();
            QTest::keyClick(&edit, Qt::Key_PageUp, Qt::ControlModifier);
            ASSERT_LT(bar->value(), top) << c.name;
            ASSERT_GE(bar->value(), top - page) << c.name;
        }
    }
}

} // namespace
} // namespace parlino
