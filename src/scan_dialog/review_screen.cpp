// The review screen of the scan dialog: every finding with a tick, drawn from the skin like the other
// screens. The list is virtual (LVS_OWNERDATA): the model holds the ticks and the texts, and the list asks
// for the rows it draws, so tens of thousands of findings open and tick at once.
#include "scan_dialog/summary.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "engine/ignore_list.h"
#include "skin/skin_ini.h"
#include "skin/skin_records.h"

namespace {

constexpr DWORD kReviewListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
constexpr char kCaption[] = "Orvalin";

} // namespace

void Summary::ReadReviewScreenInfo() {
    ReadScreen("SCREENREVIEWINFO", "SCREENREVIEW_BUTTONINFO", "SCREENREVIEW_TEXTINFO", "",
               ScanScreen::Review);
    const std::string value = CSkinIni(m_strSkinFile).GetValue("SCREENREVIEW_LISTINFO", "1", "");
    m_listCtrl.Destroy();
    if (value.empty()) {
        return;
    }
    const ListRecord record = ParseListRecord(value);
    if (!m_listCtrl.Create(kReviewListStyle, record.rect, Hwnd(), 0)) {
        return;
    }
    m_listCtrl.SetExtendedStyle(m_listCtrl.ExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    // The ticks live in the model: the list asks for each row's box as it draws it.
    SendMessageA(m_listCtrl.Hwnd(), LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    int column = 0;
    for (const auto& [title, width] : record.columns) {
        m_listCtrl.InsertColumn(column++, title, LVCFMT_LEFT, width);
    }
}

void Summary::OpenReview(std::size_t row) {
    if (m_screen != ScanScreen::ScanComplete || WorkerRunning()) {
        return;
    }
    if (!m_review) {
        m_review.emplace(m_registryLib.m_arrErrorLog); // all ticked when it first opens
    }
    ReadReviewScreenInfo();
    RefreshReview();
    if (m_listCtrl.IsWindow() && row < m_review->Rows()) {
        const int index = static_cast<int>(row);
        ListView_SetItemState(m_listCtrl.Hwnd(), index, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
        ListView_EnsureVisible(m_listCtrl.Hwnd(), index, FALSE);
        SetFocus(m_listCtrl.Hwnd());
    }
}

void Summary::RefreshReview() {
    if (!m_review) {
        return;
    }
    if (m_listCtrl.IsWindow()) {
        SendMessageA(m_listCtrl.Hwnd(), LVM_SETITEMCOUNT, m_review->Rows(), LVSICF_NOSCROLL);
        InvalidateRect(m_listCtrl.Hwnd(), nullptr, TRUE);
    }
    SetText("TEXT_REVIEW_SELECTION", m_review->SelectionLine());
    EnableButton("BUTTON_REVIEW_REPAIR", m_review->TickedCount() > 0);
    EnableButton("BUTTON_REVIEW_IGNORE", m_review->TickedCount() > 0);
}

void Summary::ToggleReviewRow(int row) {
    if (!m_review || row < 0) {
        return;
    }
    m_review->Toggle(static_cast<std::size_t>(row));
    if (m_listCtrl.IsWindow()) {
        ListView_RedrawItems(m_listCtrl.Hwnd(), row, row);
    }
    SetText("TEXT_REVIEW_SELECTION", m_review->SelectionLine());
    EnableButton("BUTTON_REVIEW_REPAIR", m_review->TickedCount() > 0);
    EnableButton("BUTTON_REVIEW_IGNORE", m_review->TickedCount() > 0);
}

bool Summary::ReviewButton(const std::string& name) {
    if (name == "BUTTON_REVIEW") {
        OpenReview(0);
        return true;
    }
    if (m_screen != ScanScreen::Review || !m_review || name.rfind("BUTTON_REVIEW_", 0) != 0) {
        return false;
    }
    if (name == "BUTTON_REVIEW_ALL" || name == "BUTTON_REVIEW_NONE") {
        m_review->TickAll(name == "BUTTON_REVIEW_ALL");
        RefreshReview();
    } else if (name == "BUTTON_REVIEW_IGNORE") {
        IgnoreTickedRows();
    } else if (name == "BUTTON_REVIEW_BACK") {
        m_listCtrl.Destroy();
        m_screen = ScanScreen::ScanComplete;
        ShowScanResults();
    } else if (name == "BUTTON_REVIEW_REPAIR" && m_review->TickedCount() > 0) {
        m_registryLib.m_fixSelection = m_review->FixSelection();
        StartFix();
    }
    return true;
}

void Summary::IgnoreTickedRows() {
    const std::vector<engine::FindingName> names = m_review->TakeTickedForIgnore();
    engine::IgnoreList list;
    list.Load(*m_options.registry);
    int failed = 0;
    for (const engine::FindingName& name : names) {
        failed += list.Add(*m_options.registry, name) == ERROR_SUCCESS ? 0 : 1;
    }
    // Whatever was written or not, these rows are no finding of this run any more: never fixed by it.
    m_registryLib.m_nIgnored += static_cast<int>(names.size());
    if (failed > 0) {
        m_options.boxes->Show(
            Hwnd(),
            std::to_string(failed) +
                " entries could not be written to the ignore list; the next scan shows them again.",
            kCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    RefreshReview();
}

std::optional<LRESULT> Summary::OnListNotify(const NMHDR& header) {
    if (m_screen == ScanScreen::ScanComplete && header.code == NM_DBLCLK) {
        // A double-click on a category row opens the review at that category's first finding.
        const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
        if (row >= 0) {
            const std::string description = m_listCtrl.ItemText(row, 0);
            m_review.reset();
            OpenReview(ReviewModel(m_registryLib.m_arrErrorLog).FirstRowOf(description));
        }
        return 0;
    }
    if (m_screen != ScanScreen::Review || !m_review) {
        return std::nullopt;
    }
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header)).item;
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= m_review->Rows()) {
            return 0;
        }
        const std::size_t row = static_cast<std::size_t>(item.iItem);
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0 &&
            item.iSubItem >= 0 && item.iSubItem < ReviewModel::kColumnCount) {
            const std::string text = m_review->Texts(row)[static_cast<std::size_t>(item.iSubItem)];
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, text.data(), length);
            item.pszText[length] = '\0';
        }
        if ((item.mask & LVIF_STATE) != 0) {
            item.state = INDEXTOSTATEIMAGEMASK(m_review->Ticked(row) ? 2 : 1);
            item.stateMask = LVIS_STATEIMAGEMASK;
        }
        return 0;
    }
    case NM_CLICK: {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        LVHITTESTINFO hit{};
        hit.pt = activate.ptAction;
        if (ListView_SubItemHitTest(m_listCtrl.Hwnd(), &hit) >= 0 &&
            (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
            ToggleReviewRow(hit.iItem);
        }
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_SPACE) {
            ToggleReviewRow(ListView_GetNextItem(m_listCtrl.Hwnd(), -1, LVNI_FOCUSED));
            return 0;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}
