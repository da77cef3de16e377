#pragma once
// A list view in report mode (SysListView32 with LVS_REPORT): columns and rows of ANSI text.
// The object owns its window; deleting the object destroys the list.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "winui/window.h"

namespace winui {

class ReportView : public Control {
public:
    // Creates the list with `style` (LVS_REPORT is added) as a child of `parent`.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    DWORD ExtendedStyle() const;
    void SetExtendedStyle(DWORD style) const;

    // Returns the index of the new column, or -1.
    int InsertColumn(int index, const std::string& title, int format, int width) const;
    int ColumnCount() const;
    std::string ColumnTitle(int index) const;
    int ColumnWidth(int index) const;

    // Inserts a row with the text of its first column; returns its index, or -1.
    int InsertItem(int row, const std::string& text, LPARAM data = 0) const;
    bool SetItemText(int row, int column, const std::string& text) const;
    std::string ItemText(int row, int column) const;
    LPARAM ItemData(int row) const;
    int ItemCount() const;
    bool DeleteItem(int row) const;
    void DeleteAllItems() const;

    // The first selected row, or -1.
    int SelectedIndex() const;
    void Select(int row) const;
};

} // namespace winui
