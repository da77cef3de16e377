// The review screen of the scan dialog: every finding with a tick, drawn from the skin like the other
// screens, and beside it the ignored entries, which can be taken back. The lists are virtual
// (LVS_OWNERDATA): the model holds the ticks and the texts, and the list asks for the rows it draws, so tens
// of thousands of rows open and tick at once.
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
// The most damaged ignore entries one message names; a list damaged throughout would not fit the screen.
constexpr std::size_t kDamagedShown = 10;

} // namespace

void Summary::ReadTickListScreen(const std::string& prefix, ScanScreen screen) {
    ReadScreen(prefix + "INFO", prefix + "_BUTTONINFO", prefix + "_TEXTINFO", "", screen);
    const std::string value = CSkinIni(m_strSkinFile).GetValue(prefix + "_LISTINFO", "1", "");
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
    ShowReview(row);
}

void Summary::ShowReview(std::size_t row) {
    m_ignored.reset();
    ReadTickListScreen("SCREENREVIEW", ScanScreen::Review);
    RefreshReview();
    if (m_listCtrl.IsWindow() && row < m_review->Rows()) {
        const int index = static_cast<int>(row);
        ListView_SetItemState(m_listCtrl.Hwnd(), index, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
        ListView_EnsureVisible(m_listCtrl.Hwnd(), index, FALSE);
    }
    // The button pressed to come here is gone with the last screen: the keyboard goes on in the list.
    if (m_listCtrl.IsWindow()) {
        SetFocus(m_listCtrl.Hwnd());
    }
}

void Summary::OpenIgnored() {
    m_ignored.emplace(m_ignoreList); // as the last scan read it, with what this review has added
    ReadTickListScreen("SCREENIGNORED", ScanScreen::Ignored);
    RefreshReview();
    if (m_listCtrl.IsWindow()) {
        SetFocus(m_listCtrl.Hwnd());
    }
}

TickedRows* Summary::ShownRows() {
    if (m_screen == ScanScreen::Review && m_review) {
        return &*m_review;
    }
    if (m_screen == ScanScreen::Ignored && m_ignored) {
        return &*m_ignored;
    }
    return nullptr;
}

void Summary::RefreshReview() {
    const TickedRows* rows = ShownRows();
    if (rows == nullptr) {
        return;
    }
    if (m_listCtrl.IsWindow()) {
        SendMessageA(m_listCtrl.Hwnd(), LVM_SETITEMCOUNT, rows->Rows(), LVSICF_NOSCROLL);
        InvalidateRect(m_listCtrl.Hwnd(), nullptr, TRUE);
    }
    ShowSelection(*rows);
}

void Summary::ShowSelection(const TickedRows& rows) {
    const bool any = rows.TickedCount() > 0;
    if (m_screen == ScanScreen::Ignored) {
        SetText("TEXT_IGNORED_SELECTION", rows.SelectionLine());
        EnableButton("BUTTON_IGNORED_TAKEBACK", any);
        return;
    }
    SetText("TEXT_REVIEW_SELECTION", rows.SelectionLine());
    EnableButton("BUTTON_REVIEW_REPAIR", any);
    EnableButton("BUTTON_REVIEW_IGNORE", any);
}

void Summary::ToggleReviewRow(int row) {
    TickedRows* rows = ShownRows();
    if (rows == nullptr || row < 0) {
        return;
    }
    rows->Toggle(static_cast<std::size_t>(row));
    if (m_listCtrl.IsWindow()) {
        ListView_RedrawItems(m_listCtrl.Hwnd(), row, row);
    }
    ShowSelection(*rows);
}

bool Summary::ReviewButton(const std::string& name) {
    if (name == "BUTTON_REVIEW") {
        OpenReview(0);
        return true;
    }
    TickedRows* rows = ShownRows();
    if (rows == nullptr) {
        return false;
    }
    const std::string prefix = m_screen == ScanScreen::Ignored ? "BUTTON_IGNORED_" : "BUTTON_REVIEW_";
    if (name.rfind(prefix, 0) != 0) {
        return false;
    }
    const std::string action = name.substr(prefix.size());
    if (action == "ALL" || action == "NONE") {
        rows->TickAll(action == "ALL");
        RefreshReview();
    } else if (m_screen == ScanScreen::Ignored) {
        if (action == "TAKEBACK") {
            TakeBackTickedRows();
        } else if (action == "BACK") {
            ShowReview(0);
        }
    } else if (action == "IGNORE") {
        IgnoreTickedRows();
    } else if (action == "SHOWIGNORED") {
        OpenIgnored();
    } else if (action == "BACK") {
        m_listCtrl.Destroy();
        m_screen = ScanScreen::ScanComplete;
        ShowScanResults();
    } else if (action == "REPAIR" && m_review->TickedCount() > 0) {
        m_registryLib.m_fixSelection = m_review->FixSelection();
        StartFix();
    }
    return true;
}

void Summary::IgnoreTickedRows() {
    const std::vector<engine::FindingName> names = m_review->TakeTickedForIgnore();
    int failed = 0;
    for (const engine::FindingName& name : names) {
        if (m_ignoreList.Add(*m_options.registry, name) == ERROR_SUCCESS) {
            m_ignoreList.PassOver(engine::FindingId(name)); // counted below, as the scan counts its own
        } else {
            ++failed;
        }
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

void Summary::TakeBackTickedRows() {
    int failed = 0;
    for (const std::string& id : m_ignored->TickedIds()) {
        // This run passed over it as often as the count says; taken back, the count no longer holds it.
        const int counted = m_ignoreList.PassedOver(id);
        if (m_ignoreList.Remove(*m_options.registry, id) == ERROR_SUCCESS) {
            m_registryLib.m_nIgnored = std::max(m_registryLib.m_nIgnored - counted, 0);
        } else {
            ++failed;
        }
    }
    m_ignored.emplace(m_ignoreList);
    if (failed > 0) {
        m_options.boxes->Show(Hwnd(),
                              std::to_string(failed) +
                                  " entries could not be taken back from the ignore list; the next scan "
                                  "still leaves them out.",
                              kCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    RefreshReview();
}

void Summary::ReportIgnoreListDamage() {
    const std::vector<std::string>& damaged = m_ignoreList.Damaged();
    const LONG loadError = m_ignoreList.LoadError();
    if (damaged.empty() && loadError == ERROR_SUCCESS) {
        return;
    }
    std::string text;
    if (loadError != ERROR_SUCCESS) {
        text =
            "The ignore list could not be read whole (error " + std::to_string(loadError) +
            "), so this scan may show entries you chose to ignore; nothing can be repaired until it can be "
            "read.";
    }
    if (!damaged.empty()) {
        text += std::string(text.empty() ? "" : "\n\n") + "The ignore list has " +
                std::to_string(damaged.size()) +
                (damaged.size() == 1 ? " damaged entry" : " damaged entries") +
                ", skipped by this scan (the entries they were to hide are shown):";
        for (std::size_t i = 0; i < std::min(damaged.size(), kDamagedShown); ++i) {
            text += "\n" + damaged[i];
        }
        if (damaged.size() > kDamagedShown) {
            text += "\nand " + std::to_string(damaged.size() - kDamagedShown) + " more";
        }
    }
    m_options.boxes->Show(Hwnd(), text, kCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool Summary::RefuseFixWithoutIgnoreList() {
    const LONG loadError = m_ignoreList.LoadError();
    if (loadError == ERROR_SUCCESS) {
        return false;
    }
    // Entries the user chose to keep could be among the findings: nothing is repaired, as the console's fix
    // refuses too.
    m_options.boxes->Show(Hwnd(),
                          "The ignore list could not be read whole (error " + std::to_string(loadError) +
                              "), so the findings may include entries you chose to ignore. Nothing was "
                              "repaired.",
                          kCaption, MB_OK | MB_ICONEXCLAMATION);
    return true;
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
    const TickedRows* rows = ShownRows();
    if (rows == nullptr) {
        return std::nullopt;
    }
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header)).item;
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows->Rows()) {
            return 0;
        }
        const std::size_t row = static_cast<std::size_t>(item.iItem);
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0 &&
            item.iSubItem >= 0 && static_cast<std::size_t>(item.iSubItem) < TickedRows::kColumnCount) {
            const std::string text = rows->Texts(row)[static_cast<std::size_t>(item.iSubItem)];
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, text.data(), length);
            item.pszText[length] = '\0';
        }
        if ((item.mask & LVIF_STATE) != 0) {
            item.state = INDEXTOSTATEIMAGEMASK(rows->Ticked(row) ? 2 : 1);
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
