// The file list with 10,000 rows: appending them in the describer's batches, sorting by each
// kind of column, and removing a scattered selection or everything; and a scattered selection
// of up to 100,000 rows read and acted on as the window does. Each runs on the model
// alone and with the window's list view attached (offscreen), whose bookkeeping for inserted,
// moved and removed rows is part of what the user waits for. The describer is measured on real files.
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "filelist/add_candidates.h"
#include "filelist/file_list_model.h"
#include "ui/file_list_view.h"

namespace {

using velmora::DescribedFile;
using velmora::FileListModel;
using velmora::ui::FileListView;

constexpr int kRows = 10'000;

std::vector<DescribedFile> Files(int count) {
  std::vector<DescribedFile> files(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    DescribedFile& file = files[static_cast<std::size_t>(i)];
    // Scrambled so that no column is already in order.
    // A different key for each of up to 100,003 rows (100,003 is prime).
    const auto key = static_cast<std::uint32_t>(static_cast<std::uint64_t>(i) * 2'654'435'761u % 100'003u);
    file.path = "/home/user/Music/album " + std::to_string(key % 97) + "/track " + std::to_string(key) + ".aiff";
    file.identity = velmora::FileIdentity{1, static_cast<std::uint64_t>(i) + 1};
    file.readable = true;
    file.info.sampleRate = static_cast<std::int32_t>(8000 + key % 40'000);
    file.info.frames = std::uint64_t{key} * 1000;
    file.info.channels = 1 + static_cast<std::int32_t>(key % 2);
  }
  return files;
}

const std::vector<DescribedFile>& SharedFiles() {
  static const std::vector<DescribedFile> files = Files(kRows);
  return files;
}

// The model, and the view over it when `withView` is set.
struct List {
  explicit List(bool withView) {
    if (!withView) return;
    view = std::make_unique<FileListView>(model, nullptr);
    // Set up as the window sets up its list.
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setHighlightSections(false);
    view->resize(700, 500);
    view->show();
  }

  void Fill(const std::vector<DescribedFile>& files = SharedFiles()) {
    for (std::size_t first = 0; first < files.size(); first += velmora::CandidateDescriber::kDefaultMaxBatch) {
      const std::size_t count = std::min(velmora::CandidateDescriber::kDefaultMaxBatch, files.size() - first);
      model.AddDescribed(std::span(files).subspan(first, count));
    }
  }

  FileListModel model;
  std::unique_ptr<FileListView> view;
};

void BM_AddRows(benchmark::State& state) {
  for (auto _ : state) {
    List list(state.range(0) != 0);
    list.Fill();
    QCoreApplication::processEvents();  // the view's layout and paint of what is visible
    state.PauseTiming();
    list.view.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// Each sort starts from the rows in the order they were added.
void BM_SortRows(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    List list(state.range(1) != 0);
    list.Fill();
    if (list.view) {
      // A selection of a hundred rows moves with them.
      for (int row = 0; row < kRows; row += 100) {
        list.view->selectionModel()->select(list.model.index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
      QCoreApplication::processEvents();
    }
    state.ResumeTiming();
    list.model.SortByColumn(column);
    QCoreApplication::processEvents();
    state.PauseTiming();
    list.view.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// Every other row selected and removed (5,000 separate runs), or all rows at once.
void BM_RemoveRows(benchmark::State& state) {
  const bool scattered = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    List list(state.range(1) != 0);
    list.Fill();
    std::vector<int> rows;
    for (int row = 0; row < kRows; row += scattered ? 2 : 1) rows.push_back(row);
    if (list.view) {
      QItemSelection selection;
      for (int row : rows) selection.select(list.model.index(row, 0), list.model.index(row, 4));
      list.view->selectionModel()->select(selection, QItemSelectionModel::Select);
    }
    QCoreApplication::processEvents();
    state.ResumeTiming();
    if (scattered) {
      list.model.RemoveRows(rows);
    } else {
      list.model.RemoveAll();
    }
    QCoreApplication::processEvents();
    state.PauseTiming();
    list.view.reset();
    state.ResumeTiming();
  }
}

// Half of the rows selected (every other one as added), and, when `sorted`, then sorted by name
// through the view, which scatters the selection over thousands of ranges.
struct ScatteredList : List {
  ScatteredList(int rows, bool sorted) : List(true) {
    Fill(Files(rows));
    QItemSelection selection;
    for (int row = 0; row < rows; row += 2) selection.select(model.index(row, 0), model.index(row, 4));
    view->selectionModel()->select(selection, QItemSelectionModel::Select);
    view->selectionModel()->setCurrentIndex(model.index(rows / 2, 0), QItemSelectionModel::NoUpdate);
    if (sorted) view->SortByColumn(FileListModel::NameColumn);
    // Shown and painted: the commands pay for the repaint they cause, not for the first one.
    QCoreApplication::processEvents();
    view->viewport()->repaint();
  }
};

// Reading the selected rows through the view, as every list command does first.
void BM_ReadScatteredSelection(benchmark::State& state) {
  const ScatteredList list(static_cast<int>(state.range(0)), true);
  for (auto _ : state) {
    const std::size_t count = list.view->SelectedRows().size();
    benchmark::DoNotOptimize(count);
  }
}

// The list commands with 50,000 of 100,000 rows selected, every other one, as the window runs
// them: sorting by name (op 0); sorting by duration after that (op 1); Delete (op 2), each with
// the repaint that follows; reading the selection as Convert selected and the context menu's
// enable rules do, after the sort by name (op 3); and, for scale, one repaint of the visible
// rows with that selection (op 4). Qt's own selection ranges made a sort and a repaint cost a
// test of each cell against each of the 50,000 ranges; the rows' flags cost one look per cell.
// While assistive technology is active the view keeps Qt's ranges as well: sorting by name
// then (op 5) pays for them as before.
void BM_ScatteredSelectionCommands(benchmark::State& state) {
  const int op = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    QAccessible::setActive(op == 5);
    auto owned = std::make_unique<ScatteredList>(100'000, op != 0 && op != 2 && op != 5);
    ScatteredList& list = *owned;
    state.ResumeTiming();
    switch (op) {
      case 0:
      case 5: list.view->SortByColumn(FileListModel::NameColumn); break;
      case 1: list.view->SortByColumn(FileListModel::DurationColumn); break;
      case 2: list.view->RemoveSelected(); break;
      case 3: {
        const std::vector<int> rows = list.view->SelectedRows();
        benchmark::DoNotOptimize(rows.size() == 1 && !list.model.Entry(rows.front()).OutputPath.empty());
        break;
      }
      default: list.view->viewport()->repaint();
    }
    if (op < 3 || op == 5) QCoreApplication::processEvents();
    state.PauseTiming();
    owned.reset();  // the list's teardown is no part of the command
    QAccessible::setActive(false);
    state.ResumeTiming();
  }
}

// Describing 2,000 small files (headers in the page cache) with 1 and 4 workers.
void BM_Describe(benchmark::State& state) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmora-describe-bench";
  std::filesystem::create_directories(folder);
  const std::vector<std::uint8_t> header = {
      'F', 'O', 'R', 'M', 0, 0, 0, 46, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M', 0, 0, 0, 18,
      0, 1, 0, 0, 0, 0, 0, 16, 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0,
      'S', 'S', 'N', 'D', 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::string> candidates;
  for (int i = 0; i < 2000; ++i) {
    const std::string path = (folder / ("f" + std::to_string(i) + ".aif")).string();
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
      std::fwrite(header.data(), 1, header.size(), out);
      std::fclose(out);
    }
    candidates.push_back(path);
  }
  for (auto _ : state) {
    velmora::CandidateDescriber describer(static_cast<int>(state.range(0)));
    std::size_t described = 0;
    describer.Run(candidates, [&](velmora::DescribedBatch&& batch) { described += batch.files.size(); });
    benchmark::DoNotOptimize(described);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(candidates.size()));
  std::filesystem::remove_all(folder);
}

BENCHMARK(BM_AddRows)->ArgName("view")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortRows)
    ->ArgNames({"column", "view"})
    ->ArgsProduct({{FileListModel::NameColumn, FileListModel::DurationColumn, FileListModel::FrequencyColumn},
                   {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveRows)->ArgNames({"scattered", "view"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadScatteredSelection)->ArgName("rows")->Arg(10'000)->Arg(30'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScatteredSelectionCommands)->ArgName("op")->DenseRange(0, 5)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Describe)->ArgName("workers")->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The view needs no display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
