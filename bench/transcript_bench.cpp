#include "bench/Offscreen.h"
#include "chat/REdit.h"
#include "platform/FileSaver.h"

#include <QTemporaryDir>
#include <QTextBlock>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace {

using parlino::DiskFileSaver;
using parlino::TREdit;

QTextCharFormat LineFormat(int line)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{QStringLiteral("MS Sans Serif")});
    format.setFontPointSize(10);
    format.setForeground(line % 2 ? QColor(255, 0, 0) : QColor(0, 0, 255));
    return format;
}

QString LineText(int line)
{
    return QStringLiteral("STATION%1 > message number %2 with a few words in it ").arg(line % 7).arg(line);
}

// What the chat window does for each message: format at the end, append, show the end.
void AppendAsChatDoes(TREdit& edit, int line)
{
    edit.SetSelStart(edit.TextLength());
    edit.SetSelFormat(LineFormat(line));
    edit.AddLine(LineText(line));
    edit.SetSelStart(edit.TextLength());
    edit.ScrollCaret();
}

void Fill(TREdit& edit, int lines)
{
    edit.Clear();
    for (int i = 0; i < lines; ++i)
        AppendAsChatDoes(edit, i);
}

void RemoveLastLine(TREdit& edit)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(edit.LineIndex(edit.LineCount() - 1));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

// The cost of adding line N to a transcript that holds N - 1 lines, shown on screen.
void BM_AppendLine(benchmark::State& state)
{
    DiskFileSaver files;
    TREdit edit(files);
    edit.resize(400, 300);
    edit.show();
    const int before = static_cast<int>(state.range(0)) - 1;
    Fill(edit, before);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        AppendAsChatDoes(edit, before);
        QCoreApplication::processEvents();
        state.PauseTiming();
        RemoveLastLine(edit);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendLine)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_SaveTranscript(benchmark::State& state)
{
    QTemporaryDir folder;
    DiskFileSaver files;
    TREdit edit(files);
    Fill(edit, static_cast<int>(state.range(0)));
    const QString path = folder.filePath(QStringLiteral("chat.rtf"));
    for (auto _ : state)
        edit.SaveToFile(path);
}
BENCHMARK(BM_SaveTranscript)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LoadTranscript(benchmark::State& state)
{
    DiskFileSaver files;
    TREdit edit(files);
    Fill(edit, static_cast<int>(state.range(0)));
    const QString rtf = edit.RTFText();
    for (auto _ : state)
        edit.SetRTFText(rtf);
}
BENCHMARK(BM_LoadTranscript)->Arg(10000)->Unit(benchmark::kMillisecond);

// Reports as usual and keeps the append times to compare them at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_name.function_name == "BM_AppendLine" && run.iterations > 0)
                appendTimes[run.run_name.args] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> appendTimes;
};

} // namespace

int main(int argc, char** argv)
{
    return parlino::RunOffscreen(argc, argv, [&] {
        benchmark::Initialize(&argc, argv);
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        const auto first = reporter.appendTimes.find("100");
        const auto last = reporter.appendTimes.find("10000");
        if (first != reporter.appendTimes.end() && last != reporter.appendTimes.end() && first->second > 0) {
            std::printf("Appending the 10,000th line costs %.2fx the 100th (target: within 2x)\n",
                        last->second / first->second);
        }
    });
}
