#pragma once
// One suite for every implementation of the grid interface: instantiate it with
// a factory for each grid (the in-memory grid here, the widget grid with the view).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "grid/CMSFlexGrid.h"

namespace zok2::test {

using GridFactory = std::function<std::unique_ptr<CMSFlexGrid>()>;

class GridInterfaceTest : public ::testing::TestWithParam<GridFactory> {
protected:
    void SetUp() override { grid = GetParam()(); }
    std::unique_ptr<CMSFlexGrid> grid;
};

}  // namespace zok2::test
