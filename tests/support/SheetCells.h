// The rig's printed sheet worked out by hand, so that print tests check where pictures land
// without asking the program's own layout code. Wine reports the private queue's A4
// landscape page at 300 dpi as 3508 x 2479 device pixels at offset (0, 0). The cells:
//   width  = trunc((3508 - 300) / 2.0) = 1604
//   height = trunc((2479 - 300) / 2.0) = trunc(1089.5) = 1089
//   origins (100, 100), (1604 + 200, 100), (100, 1089 + 200), (1804, 1289).
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include "support/PrintedPages.h"

constexpr int kSheetWidth = 3508, kSheetHeight = 2479, kSheetDpi = 300;
constexpr RECT kSheetCells[4] = {
    {100, 100, 1704, 1189}, {1804, 100, 3408, 1189}, {100, 1289, 1704, 2378}, {1804, 1289, 3408, 2378}};

// `box` (measured on the rendered page) against `expected`, each edge within `slack`.
inline void ExpectBoxNear(const RECT& box, const RECT& expected, int slack = 2) {
    EXPECT_NEAR(box.left, expected.left, slack);
    EXPECT_NEAR(box.top, expected.top, slack);
    EXPECT_NEAR(box.right, expected.right, slack);
    EXPECT_NEAR(box.bottom, expected.bottom, slack);
}

// One page, declared landscape, of the rig's sheet size (rendered at kSheetDpi).
inline ::testing::AssertionResult IsOneRigSheet(const RenderedPage& page) {
    if (page.pages != 1) return ::testing::AssertionFailure() << page.pages << " pages (0: no job, or not rendered)";
    if (!page.landscape) return ::testing::AssertionFailure() << "the page is not declared landscape";
    if (page.width != kSheetWidth || page.height != kSheetHeight)
        return ::testing::AssertionFailure() << "a page of " << page.width << " x " << page.height;
    return ::testing::AssertionSuccess();
}
