#include "winui/report_view.h"

#include <vector>

namespace winui {

bool ReportView::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return Control::Create(WC_LISTVIEWA, "", style | LVS_REPORT, rect, parent, id);
}

DWORD ReportView::ExtendedStyle() const {
    return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

void ReportView::SetExtendedStyle(DWORD style) const {
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

int ReportView::InsertColumn(int index, const std::string& title, int format, int width) const {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(title.c_str());
    return static_cast<int>(
        Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int ReportView::ColumnCount() const {
    const auto header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string ReportView::ColumnTitle(int index) const {
    char buffer[1024] = {}; // room for UTF-8 titles
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = sizeof buffer;
    if (!Send(LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column))) {
        return {};
    }
    return buffer;
}

int ReportView::ColumnWidth(int index) const {
    return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index)));
}

int ReportView::InsertItem(int row, const std::string& text, LPARAM data) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ReportView::SetItemText(int row, int column, const std::string& text) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string ReportView::ItemText(int row, int column) const {
    // Grow the buffer until the text fits: the list reports how many characters it copied.
    for (size_t size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size, '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const auto copied = static_cast<size_t>(
            Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < size) {
            return std::string(buffer.data(), copied);
        }
    }
    return {};
}

LPARAM ReportView::ItemData(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

int ReportView::ItemCount() const {
    return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

bool ReportView::DeleteItem(int row) const {
    return Send(LVM_DELETEITEM, static_cast<WPARAM>(row)) != 0;
}

void ReportView::DeleteAllItems() const {
    Send(LVM_DELETEALLITEMS);
}

int ReportView::SelectedIndex() const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ReportView::Select(int row) const {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

} // namespace winui
