// The report-view list: columns, rows, texts and selection.
#include <gtest/gtest.h>

#include <windows.h>

#include "winui/report_view.h"

namespace {

class Host : public winui::Window {};

TEST(ReportView, ColumnsRowsAndSelection) {
    Host host;
    ASSERT_TRUE(host.CreateCustom(0, "host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr, 0));
    winui::ReportView list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_SINGLESEL, RECT{0, 0, 280, 180},
                            host.Hwnd(), 1010));
    EXPECT_EQ(GetWindowLongPtrA(list.Hwnd(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    list.SetExtendedStyle(list.ExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.ExtendedStyle() & 0x21u, 0x21u);

    EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "Next Run", LVCFMT_LEFT, 90), 1);
    EXPECT_EQ(list.ColumnCount(), 2);
    EXPECT_EQ(list.ColumnTitle(1), "Next Run");
    EXPECT_EQ(list.ColumnWidth(0), 120);

    EXPECT_EQ(list.InsertItem(0, "first", 11), 0);
    EXPECT_EQ(list.InsertItem(1, "second", 22), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, "tomorrow"));
    const std::string longText(600, 'x');
    EXPECT_TRUE(list.SetItemText(0, 1, longText));
    EXPECT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.ItemText(1, 0), "second");
    EXPECT_EQ(list.ItemText(1, 1), "tomorrow");
    EXPECT_EQ(list.ItemText(0, 1), longText);
    EXPECT_EQ(list.ItemData(1), 22);

    EXPECT_EQ(list.SelectedIndex(), -1);
    list.Select(1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.ItemText(0, 0), "second");
    list.DeleteAllItems();
    EXPECT_EQ(list.ItemCount(), 0);
}

} // namespace
