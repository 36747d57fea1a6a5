// Drawing a field view into its back buffer, the cost of every repaint of a field.
#include "render/drawing.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace peterin;

namespace {

// Every cell filled, in runs of colours that leave groups of various sizes, with the pair and
// its landing marks and the edit cursor on top.
void fillField(Field& field) {
    for (int r = -2; r < field.height; ++r) {
        for (int x = 0; x < field.width; ++x)
            setCell(field, x, r, static_cast<CellKind>(1 + (x / 2 + r / 3 + 9) % 8));
    }
}

void paintFull(benchmark::State& state, int columns, int rows, int cell, int phase) {
    Settings s;
    s.fieldWidth = columns;
    s.fieldHeight = rows;
    s.cellWidth = cell;
    s.cellHeight = cell;
    Field field;
    resizeField(field, columns, rows, 1);
    fillField(field);
    // The column under the pair is left open so its marks reach the bottom.
    for (int r = -2; r < rows; ++r)
        setCell(field, 2, r, CellKind::Empty);
    FieldPicture picture;
    picture.field = &field;
    picture.phase = phase;
    PairPicture pair;
    pair.x = 2;
    pair.row = 0;
    pair.cells[4] = CellKind::Red;
    pair.cells[3] = CellKind::Blue;
    picture.pair = pair;
    picture.landingMarks = true;
    picture.cursor = CellPos{1, 1};
    picture.editKind = CellKind::Yellow;
    QImage image(fieldViewWidth(s), fieldViewHeight(s), QImage::Format_RGB32);
    for (auto _ : state) {
        paintField(image, s, picture);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintDefaultField(benchmark::State& state) {
    paintFull(state, 6, 12, 40, 0);
}
void BM_PaintDefaultFieldVanishing(benchmark::State& state) {
    paintFull(state, 6, 12, 40, 3);
}
void BM_PaintHugeField(benchmark::State& state) {
    paintFull(state, 100, 100, 8, 0);
}

void BM_PaintWarning(benchmark::State& state) {
    QImage image(240, 30, QImage::Format_RGB32);
    for (auto _ : state) {
        paintWarning(image, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_PaintDefaultField)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintDefaultFieldVanishing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintHugeField)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintWarning)->Arg(7)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // the warning's text needs the font database
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
