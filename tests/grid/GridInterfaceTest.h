#pragma once
// One suite for every implementation of the grid interface: instantiate it with
// a factory for each grid (the in-memory grid here, the widget grid with the view).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "grid/CMSFlexGrid.h"

namespace zok2::test {

struct GridFactory {
    std::string name;
    std::function<std::unique_ptr<CMSFlexGrid>()> make;
};

inline void PrintTo(const GridFactory& factory, std::ostream* os) { *os << factory.name; }
inline std::string GridName(const ::testing::TestParamInfo<GridFactory>& info) { return info.param.name; }

class GridInterfaceTest : public ::testing::TestWithParam<GridFactory> {
protected:
    void SetUp() override { grid = GetParam().make(); }
    std::unique_ptr<CMSFlexGrid> grid;
};

}  // namespace zok2::test
