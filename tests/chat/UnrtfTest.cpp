#include "chat/REdit.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace parlino {
namespace {

// The lines unrtf prints after its banner, trailing blanks dropped.
QStringList UnrtfLines(const QString& path)
{
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), path});
    EXPECT_TRUE(unrtf.waitForFinished(30000));
    // unrtf writes the document's own code page, Windows-1252, which agrees with Latin-1 for these letters.
    const QStringList output = QString::fromLatin1(unrtf.readAllStandardOutput()).split(u'\n');
    QStringList lines;
    bool inText = false;
    for (const QString& line : output) {
        if (inText)
            lines.append(QString(line).remove(QRegularExpression(QStringLiteral("\\s+$"))));
        else if (line.startsWith(QStringLiteral("-----")))
            inText = true;
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// An independent reader sees the same text in what we save.
TEST(UnrtfTest, ReadsOurSavedTranscriptBackToTheSameText)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty())
        GTEST_SKIP() << "unrtf is not installed (Debian package unrtf); the independent reader check is skipped";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QStringList lines = {QStringLiteral("ALICE > <b>x</b>"), QStringLiteral("BOB > {\\rtf1 x} \\par }{"),
                               QString(),
                               QString::fromUtf8("caf\xC3\xA9 na\xC3\xAFve \xC3\xBC"
                                                 "ber"),
                               QStringLiteral("page\fbreak, bell\a, escape\x1B[0m")};
    // A control character comes out as a mark to see, never as a page break, a bell or an escape sequence.
    QStringList shown = lines;
    shown.last() = QStringLiteral("page?break, bell?, escape?[0m");
    DiskFileSaver disk;
    TREdit edit(disk);
    edit.Clear();
    for (const QString& line : lines)
        edit.AddLine(line);
    const QString path = folder.filePath(QStringLiteral("chat.txt"));
    edit.SaveToFile(path);
    EXPECT_EQ(UnrtfLines(path), shown);
}

} // namespace
} // namespace parlino
