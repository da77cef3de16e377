#include "skin/skin_screen.h"

#include <algorithm>

#include "skin/skin_image.h"
#include "skin/skin_ini.h"

CSkinScreen::~CSkinScreen() {
    CSkinScreen::Free();
}

void CSkinScreen::Free() {
    m_bmpNormal.Reset();
    m_bmpOver.Reset();
    m_bmpDown.Reset();
    m_bmpDisabled.Reset();
    std::vector<std::unique_ptr<CSkinText>> texts;
    {
        const std::lock_guard lock(m_textsLock);
        texts.swap(m_arrTexts);
    }
    // Moved out first: a button's click may be what is freeing the screen, and the list must already be
    // empty when the button goes.
    std::vector<std::unique_ptr<CSkinButton>> buttons;
    buttons.swap(m_arrButtons);
    buttons.clear();
    texts.clear();
}

void CSkinScreen::ButtonPressed(const std::string&) {}

void CSkinScreen::OnButtonIndex(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_arrButtons.size()) {
        return;
    }
    // A copy: the handler may free the button list.
    const std::string name = m_arrButtons[static_cast<size_t>(index)]->Name();
    ButtonPressed(name);
}

CSkinButton* CSkinScreen::FindButton(const std::string& name) const {
    for (const auto& button : m_arrButtons) {
        if (button->Name() == name) {
            return button.get();
        }
    }
    return nullptr;
}

CSkinText* CSkinScreen::FindText(const std::string& name) const {
    const std::lock_guard lock(m_textsLock);
    for (const auto& text : m_arrTexts) {
        if (text->Name() == name) {
            return text.get();
        }
    }
    return nullptr;
}

size_t CSkinScreen::TextCount() const {
    const std::lock_guard lock(m_textsLock);
    return m_arrTexts.size();
}

void CSkinScreen::EnableButton(const std::string& name, bool enable) {
    if (CSkinButton* button = FindButton(name)) {
        button->Enable(enable);
    }
}

void CSkinScreen::ShowButton(const std::string& name, bool hide) {
    if (CSkinButton* button = FindButton(name)) {
        button->Show(hide ? SW_HIDE : SW_SHOW);
    }
}

void CSkinScreen::EnableAllButtons(bool enable) {
    for (const auto& button : m_arrButtons) {
        button->Enable(enable);
    }
}

void CSkinScreen::SetText(const std::string& name, const std::string& text) {
    // The lock keeps the text alive while it is updated; invalidating sends nothing, so no thread waits
    // for the window.
    const std::lock_guard lock(m_textsLock);
    for (const auto& item : m_arrTexts) {
        if (item->Name() == name) {
            item->SetText(text);
            item->Invalidate(true);
            return;
        }
    }
}

base::Bitmap& CSkinScreen::Slot(Image which) {
    switch (which) {
    case Image::Over:
        return m_bmpOver;
    case Image::Down:
        return m_bmpDown;
    case Image::Disabled:
        return m_bmpDisabled;
    case Image::Normal:
        break;
    }
    return m_bmpNormal;
}

HBITMAP CSkinScreen::GetImage(Image which) const {
    return const_cast<CSkinScreen*>(this)->Slot(which).Get();
}

bool CSkinScreen::LoadImage(Image which, const std::string& path, SIZE* size) {
    SIZE loaded{};
    std::string problem;
    const bool ok = LoadPicture(path, Slot(which), loaded, &problem);
    NotePictureProblem(problem);
    if (size) {
        *size = loaded;
    }
    return ok;
}

CSkinButton* CSkinScreen::AddButton(HWND parent, const ButtonRecord& record) {
    auto button = std::make_unique<CSkinButton>(*this);
    if (!button->Create(record.rect, parent)) {
        return nullptr;
    }
    button->SetImages(record.rect, m_bmpNormal.Get(), m_bmpOver.Get(), m_bmpDown.Get(), m_bmpDisabled.Get());
    button->SetIndex(static_cast<int>(m_arrButtons.size()));
    button->SetName(record.name);
    button->SetFixed(record.fixed);
    m_arrButtons.push_back(std::move(button));
    return m_arrButtons.back().get();
}

CSkinText* CSkinScreen::AddText(HWND parent, const TextRecord& record) {
    auto text = std::make_unique<CSkinText>();
    if (!text->Create(record.text, record.rect, parent)) {
        return nullptr;
    }
    text->SetBackground(record.rect, m_bmpNormal.Get());
    text->SetName(record.name);
    text->SetText(record.text);
    text->SetColour(record.colour);
    const LOGFONTA description = MakeTextLogFont(record);
    const base::Font font(CreateFontIndirectA(&description));
    text->SetFont(font.Get());
    const std::lock_guard lock(m_textsLock);
    m_arrTexts.push_back(std::move(text));
    return m_arrTexts.back().get();
}

void CSkinScreen::ReadButtonInfo(HWND parent, const CSkinIni& ini, const std::string& section) {
    const std::optional<FocusMark> mark =
        ParseFocusMark(ini.GetValue("FOCUSMARK", "COLOUR", ""), ini.GetValue("FOCUSMARK", "WIDTH", ""));
    for (const std::string& value : ini.GetNumberedValues(section)) {
        if (CSkinButton* button = AddButton(parent, ParseButtonRecord(value))) {
            button->SetFocusMark(mark);
        }
    }
    OrderButtonsByPosition();
}

void CSkinScreen::OrderButtonsByPosition() const {
    if (m_arrButtons.empty()) {
        return;
    }
    // Tab follows the window order of the siblings: the buttons take the place of the first of them, in
    // reading order (top to bottom, then left to right), whatever order the skin lists them in.
    std::vector<const CSkinButton*> ordered;
    for (const auto& button : m_arrButtons) {
        ordered.push_back(button.get());
    }
    const auto origin = [](const CSkinButton* button) {
        RECT rect{};
        GetWindowRect(button->Hwnd(), &rect);
        return std::pair{rect.top, rect.left};
    };
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&](const CSkinButton* a, const CSkinButton* b) { return origin(a) < origin(b); });
    const auto isButton = [&](HWND window) {
        return std::any_of(ordered.begin(), ordered.end(), [&](auto* b) { return b->Hwnd() == window; });
    };
    HWND first = GetWindow(m_arrButtons.front()->Hwnd(), GW_HWNDFIRST);
    while (first && !isButton(first)) {
        first = GetWindow(first, GW_HWNDNEXT);
    }
    HWND after = first ? GetWindow(first, GW_HWNDPREV) : nullptr;
    for (const CSkinButton* button : ordered) {
        SetWindowPos(button->Hwnd(), after ? after : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        after = button->Hwnd();
    }
}

void CSkinScreen::ReadTextInfo(HWND parent, const CSkinIni& ini, const std::string& section,
                               char italicLetter) {
    for (const std::string& value : ini.GetNumberedValues(section)) {
        AddText(parent, ParseTextRecord(value, italicLetter));
    }
}

void CSkinScreen::PaintBackground(HDC dc, const RECT& client) const {
    DrawBitmap(dc, m_bmpNormal.Get(), client.left, client.top, client.right, client.bottom);
}

void CSkinScreen::InvalidateControls() const {
    for (const auto& button : m_arrButtons) {
        button->Invalidate(true);
    }
    const std::lock_guard lock(m_textsLock);
    for (const auto& text : m_arrTexts) {
        text->Invalidate(true);
    }
}
