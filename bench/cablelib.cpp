// Removing selected entries from the velocity-factor library panel (confirmed,
// the table updated, the library saved and the window's pending events
// handled) beside the least work that does the same job: erasing the same
// entries from a plain vector in one pass and writing the rest to the file
// atomically. Arguments: the number of rows removed (20,000, the aim's size;
// 2,000 and 5,000 show how the time grows) and the selection's step: 1 selects
// every row of the library as one range (select all, or a shift-click), 2 every
// other row of one twice as long, as many separate ranges as rows removed
// (control-clicks).
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

// Every `step`-th row, `removed` of them, as one selection: one range for
// step 1, one range a row otherwise.
QItemSelection EveryStepRow(const QAbstractItemModel& model, int removed, int step)
{
    const int lastColumn = model.columnCount() - 1;
    QItemSelection selection;
    if (step == 1) {
        selection.select(model.index(0, 0), model.index(removed - 1, lastColumn));
        return selection;
    }
    for (int row = 0; row < removed * step; row += step) {
        selection.select(model.index(row, 0), model.index(row, lastColumn));
    }
    return selection;
}

void BM_PanelRemovesSelectedRows(benchmark::State& state)
{
    const int removed = static_cast<int>(state.range(0));
    const int step = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        WriteLibrary(removed * step);
        CZR815KDoc doc(Scratch().Path() / "param.ini");
        auto form = std::make_unique<CFormKU>(doc);
        form->resize(300, 400);
        form->show();
        form->OnInitialUpdate();
        form->GetDialogs().question = [](const QString&) { return true; };
        form->GetDialogs().error = [](const QString&) {};
        CReportCtrl& list = form->GetList();
        list.selectionModel()->select(EveryStepRow(*list.model(), removed, step), QItemSelectionModel::Select);
        QApplication::processEvents();
        state.ResumeTiming();

        form->OnCommand(ID_KU_REMOVE);
        QApplication::processEvents();

        state.PauseTiming();
        if (list.GetRowCount() != removed * (step - 1)) {
            state.SkipWithError("the selected rows were not all removed");
        }
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PanelRemovesSelectedRows)
    ->ArgsProduct({{2000, 5000, 20000}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_VectorEraseAndSave(benchmark::State& state)
{
    const int removed = static_cast<int>(state.range(0));
    const int step = static_cast<int>(state.range(1));
    const std::filesystem::path library = WriteLibrary(removed * step);
    const std::vector<CableEntry> all = Entries(removed * step);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<CableEntry> entries = all;
        state.ResumeTiming();
        size_t kept = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (static_cast<int>(i) % step != 0) {
                entries[kept++] = std::move(entries[i]);
            }
        }
        entries.resize(kept);
        benchmark::DoNotOptimize(WriteCableLibrary(library, entries));
    }
}
BENCHMARK(BM_VectorEraseAndSave)
    ->ArgsProduct({{2000, 5000, 20000}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
