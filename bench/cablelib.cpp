// Removing 20,000 selected entries from the velocity-factor library panel
// (confirmed, the table updated, the library saved and the window's pending
// events handled) beside the least work that does the same job: erasing the
// same entries from a plain vector in one pass and writing the rest to the
// file atomically. Two selections: every row of a 20,000-row library, and
// every other row of a 40,000-row one (20,000 separate selection ranges).
//
// The library file goes to a scratch folder under $ONDALIS_BENCH_DIR, else the
// system's temporary folder; it is removed at exit.
#include "cablelib/FormKU.h"
#include "cablelib/core/CableLibrary.h"
#include "model/CommandIds.h"
#include "model/ZR815KDoc.h"
#include "support/QtBenchMain.h"
#include "support/ScratchFolder.h"

#include <QApplication>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRemovedRows = 20000;

std::vector<CableEntry> Entries(int count)
{
    std::vector<CableEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        entries.push_back({"RG-" + std::to_string(i), "1." + std::to_string(100 + i % 900)});
    }
    return entries;
}

// The library path, written with `count` entries, and a param.ini naming it.
std::filesystem::path WriteLibrary(int count)
{
    const std::filesystem::path library = Scratch().Path() / "cables.tku";
    WriteCableLibrary(library, Entries(count));
    std::ofstream(Scratch().Path() / "param.ini") << "[KLM-204]\nOPEN_KU=" << library.string() << "\n";
    return library;
}

// Every `step`-th row, kRemovedRows of them, as one selection.
QItemSelection EveryStepRow(const QAbstractItemModel& model, int step)
{
    QItemSelection selection;
    for (int row = 0; row < kRemovedRows * step; row += step) {
        selection.select(model.index(row, 0), model.index(row, model.columnCount() - 1));
    }
    return selection;
}

void BM_PanelRemovesSelectedRows(benchmark::State& state)
{
    const int step = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        WriteLibrary(kRemovedRows * step);
        CZR815KDoc doc(Scratch().Path() / "param.ini");
        auto form = std::make_unique<CFormKU>(doc);
        form->resize(300, 400);
        form->show();
        form->OnInitialUpdate();
        form->GetDialogs().question = [](const QString&) { return true; };
        form->GetDialogs().error = [](const QString&) {};
        CReportCtrl& list = form->GetList();
        list.selectionModel()->select(EveryStepRow(*list.model(), step), QItemSelectionModel::Select);
        QApplication::processEvents();
        state.ResumeTiming();

        form->OnCommand(ID_KU_REMOVE);
        QApplication::processEvents();

        state.PauseTiming();
        if (list.GetRowCount() != kRemovedRows * (step - 1)) {
            state.SkipWithError("the selected rows were not all removed");
        }
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PanelRemovesSelectedRows)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VectorEraseAndSave(benchmark::State& state)
{
    const int step = static_cast<int>(state.range(0));
    const std::filesystem::path library = WriteLibrary(kRemovedRows * step);
    const std::vector<CableEntry> all = Entries(kRemovedRows * step);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<CableEntry> entries = all;
        state.ResumeTiming();
        size_t kept = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (static_cast<int>(i) % step != 0 || static_cast<int>(i) >= kRemovedRows * step) {
                entries[kept++] = std::move(entries[i]);
            }
        }
        entries.resize(kept);
        benchmark::DoNotOptimize(WriteCableLibrary(library, entries));
    }
}
BENCHMARK(BM_VectorEraseAndSave)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
