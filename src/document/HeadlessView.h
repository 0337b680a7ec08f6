#pragma once
// A view without a window: the document's grid is an in-memory grid. The
// command-line tool, the fuzzer, the benchmarks and the tests use it.
#include "document/ZOKView.h"
#include "grid/MemoryGrid.h"

namespace zok2 {

class HeadlessView : public IZOKView {
public:
    explicit HeadlessView(int visibleRows = 20, int visibleColumns = 8) : grid(visibleRows, visibleColumns) {}
    void OnUpdate(CView*, long hint) override
    {
        ++updates;
        lastHint = hint;
    }
    CMSFlexGrid* Grid() override { return &grid; }

    MemoryGrid grid;
    int updates = 0;
    long lastHint = -1;
};

}  // namespace zok2
