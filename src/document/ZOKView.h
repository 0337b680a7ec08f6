#pragma once
// What the document needs of its view: the grid that shows the current
// section, and the view's pending column widths and description text.
#include "framework/Document.h"

namespace zok2 {

class CMSFlexGrid;

// UpdateAllViews hint after a failed open: the document holds nothing to show.
constexpr long kHintOpenFailed = 1;

class IZOKView : public CView {
public:
    virtual CMSFlexGrid* Grid() = 0;
    // Stores the grid's column widths into the shown section's definitions.
    virtual void SaveColumnWidths() {}
    // Stores an edited description into the definition of its column.
    virtual void StoreDescription() {}
};

}  // namespace zok2
