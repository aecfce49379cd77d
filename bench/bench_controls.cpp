// The skinned list against a plain Qt tree widget in the same run.
//   BM_ListPaint  paint 30 visible rows of a 7-column, 500-row list into an image;
//                 raw: a QTreeWidget with the same rows and columns painted the same way
//   BM_ListSort   sort 2000 rows by a numeric column with a caller's three-way comparison,
//                 alternately up and down; raw: std::stable_sort of pointers to the same
//                 values with a plain "less" (both strict weak orderings: ties compare equal)
#include "BenchRatio.h"

#include "controls/SkinListCtrl.h"

#include <QApplication>
#include <QImage>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kColumns = 7;

QString Cell(int row, int col) { return col == 0 ? QString::number(10001 + row) : QStringLiteral("值%1-%2").arg(row).arg(col); }

void BM_ListPaint(benchmark::State& state)
{
    CSkinListCtrl list;
    QTreeWidget raw;
    raw.setRootIsDecorated(false);
    raw.setUniformRowHeights(true);
    raw.setColumnCount(kColumns);
    list.SetRowHeight(22);
    list.SetHeaderInsets(12, 2, 2, 2, 2);
    for (int c = 0; c < kColumns; ++c)
        list.InsertColumn(c, QStringLiteral("列%1").arg(c), c ? CSkinListCtrl::FormatRight : CSkinListCtrl::FormatLeft, 80);
    QList<QTreeWidgetItem*> rawItems;
    for (int r = 0; r < 500; ++r) {
        list.InsertItem(r, Cell(r, 0));
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < kColumns; ++c) {
            if (c)
                list.SetItemText(r, c, Cell(r, c));
            item->setText(c, Cell(r, c));
        }
        rawItems << item;
    }
    raw.addTopLevelItems(rawItems);
    list.SetItemState(3, CSkinListCtrl::StateSelected, CSkinListCtrl::StateSelected);
    raw.setCurrentItem(rawItems[3]);
    for (QWidget* w : {static_cast<QWidget*>(&list), static_cast<QWidget*>(&raw)}) {
        w->resize(600, 22 * 30 + 24);
        w->show();
    }
    QApplication::processEvents();
    QImage img(600, 22 * 30 + 24, QImage::Format_ARGB32_Premultiplied);
    BenchRatio ratio;
    for (auto _ : state) {
        state.SetIterationTime(ratio.Lib([&] { list.viewport()->render(&img); }));
        ratio.Raw([&] { raw.viewport()->render(&img); });
    }
    ratio.Report(state);
}
BENCHMARK(BM_ListPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ListSort(benchmark::State& state)
{
    constexpr int n = 2000;
    std::vector<double> values(n);
    for (int i = 0; i < n; ++i)
        values[static_cast<size_t>(i)] = (i * 7919) % 1009 + (i % 3) * 0.5;
    CSkinListCtrl list;
    list.InsertColumn(0, "v");
    for (int i = 0; i < n; ++i) {
        list.InsertItem(i, QString::number(values[static_cast<size_t>(i)]));
        list.SetItemData(i, &values[static_cast<size_t>(i)]);
    }
    BenchRatio ratio;
    int dir = 0;
    for (auto _ : state) {
        dir ^= 1;
        auto cmp = [dir](void* a, void* b) {
            const double va = *static_cast<double*>(a), vb = *static_cast<double*>(b);
            const int up = va < vb ? -1 : vb < va ? 1 : 0;
            return dir ? up : -up;
        };
        state.SetIterationTime(ratio.Lib([&] { list.SortItems(cmp); }));
        std::vector<double*> rawRows;
        for (auto& v : values)
            rawRows.push_back(&v);
        ratio.Raw([&] {
            if (dir)
                std::stable_sort(rawRows.begin(), rawRows.end(), [](const double* a, const double* b) { return *a < *b; });
            else
                std::stable_sort(rawRows.begin(), rawRows.end(), [](const double* a, const double* b) { return *b < *a; });
        });
        if (*static_cast<double*>(list.GetItemData(0)) != *rawRows.front())
            state.SkipWithError("orders differ");
    }
    ratio.Report(state);
}
BENCHMARK(BM_ListSort)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
