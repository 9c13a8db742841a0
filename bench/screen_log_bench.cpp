// Figure 5, on screen: the main dialog's activity log over a long run. It keeps the newest
// app::kActivityLogScreenLines lines. A line in a full log, where the oldest line makes room for
// it, is measured against a line in an empty log, and against one in a log as full without the
// cap: the cap must cost next to nothing, and a long run must not make lines dearer and dearer.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QPlainTextEdit>

#include "app/main_dialog_view.h"
#include "resources/resource_ids.h"
#include "ui/quillrun_dlg.h"

namespace quillrun::bench {
namespace {

// Lines are appended in rounds, to each log in turn, so that a burst of other work on the machine
// falls on all alike.
constexpr int kRounds = 10;
constexpr int kLinesPerRound = 1'000;
// The window repaints between ticks, which write a line or three each. Painting costs the same
// whatever the log holds (only the lines in view are painted), so it is done every few ticks,
// and the figure is mostly the appending itself.
constexpr int kLinesPerRepaint = 30;

double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string Line(int number) {
    return "14:03:27:  /srv/documents/box-" + std::to_string(number / 100 % 1000) + "/scan-" +
           std::to_string(number) + ".orx has been created.\r\n";
}

std::unique_ptr<ui::CQuillrunDlg> ShownDialog() {
    auto dialog = std::make_unique<ui::CQuillrunDlg>();
    dialog->show();
    QCoreApplication::processEvents();
    return dialog;
}

app::MainDialogView& View(ui::CQuillrunDlg& dialog) {
    return dialog;
}

// The processor time that appending a round of lines to the dialog's log takes.
double AppendRound(ui::CQuillrunDlg& dialog, int& number) {
    const double start = CpuSeconds();
    for (int line = 0; line < kLinesPerRound; ++line) {
        View(dialog).AppendLogText(Line(number++));
        if (line % kLinesPerRepaint == kLinesPerRepaint - 1) {
            QCoreApplication::processEvents();
        }
    }
    return CpuSeconds() - start;
}

int ShownLines(ui::CQuillrunDlg& dialog) {
    const auto* log = qobject_cast<QPlainTextEdit*>(dialog.control(kActivityLogEdit));
    return log->blockCount() - 1;  // the empty block after the last line end
}

// A dialog whose log already holds a full screen of lines; without the cap when uncapped.
std::unique_ptr<ui::CQuillrunDlg> FilledDialog(int& number, bool capped) {
    std::unique_ptr<ui::CQuillrunDlg> dialog = ShownDialog();
    if (!capped) {
        qobject_cast<QPlainTextEdit*>(dialog->control(kActivityLogEdit))->setMaximumBlockCount(0);
    }
    std::string lines;
    for (int line = 0; line < app::kActivityLogScreenLines; ++line) {
        lines += Line(number++);
    }
    View(*dialog).AppendLogText(lines);
    QCoreApplication::processEvents();
    return dialog;
}

void ScreenLogRounds(benchmark::State& state) {
    double full = 0;
    double uncapped = 0;
    double empty = 0;
    int fullLines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        int number = 0;
        const std::unique_ptr<ui::CQuillrunDlg> filled = FilledDialog(number, true);
        const std::unique_ptr<ui::CQuillrunDlg> growing = FilledDialog(number, false);
        state.ResumeTiming();
        full = uncapped = empty = 0;
        for (int round = 0; round < kRounds; ++round) {
            state.PauseTiming();
            const std::unique_ptr<ui::CQuillrunDlg> fresh = ShownDialog();
            state.ResumeTiming();
            // Each of the three goes first, second and third in turn.
            for (int turn = 0; turn < 3; ++turn) {
                switch ((round + turn) % 3) {
                    case 0:
                        full += AppendRound(*filled, number);
                        break;
                    case 1:
                        uncapped += AppendRound(*growing, number);
                        break;
                    default:
                        empty += AppendRound(*fresh, number);
                        break;
                }
            }
        }
        fullLines = ShownLines(*filled);
    }
    state.counters["full_cpu_s"] = full;
    state.counters["uncapped_cpu_s"] = uncapped;
    state.counters["empty_cpu_s"] = empty;
    if (fullLines != app::kActivityLogScreenLines) {
        state.SkipWithError("the log does not keep the newest lines only");
    }
}

BENCHMARK(ScreenLogRounds)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillrun::bench
