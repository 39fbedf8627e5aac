#include "app/win32/vol_bar.h"

VolBar::VolBar(HWND parent, VolBarModel& model, std::function<void()> changed)
    : m_changed(std::move(changed))
    , m_model(model)
{
    m_hwnd = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0,
        parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    sync(false);
}

void VolBar::sync(bool report)
{
    SCROLLINFO info { sizeof(info), SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL, 0, m_model.span(), 0,
        m_model.position(), 0 };
    SetScrollInfo(m_hwnd, SB_CTL, &info, TRUE);
    if (report)
        m_changed();
}

void VolBar::scrolled(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        return sync(m_model.step(-VolBarModel::LineStep));
    case SB_LINEDOWN:
        return sync(m_model.step(VolBarModel::LineStep));
    case SB_PAGEUP:
        return sync(m_model.step(-VolBarModel::PageStep));
    case SB_PAGEDOWN:
        return sync(m_model.step(VolBarModel::PageStep));
    case SB_TOP:
        return sync(m_model.moveTo(0));
    case SB_BOTTOM:
        return sync(m_model.moveTo(m_model.span()));
    case SB_THUMBPOSITION:
        return sync(m_model.moveTo(HIWORD(wParam)));
    default: // SB_THUMBTRACK: the control draws the thumb; the value waits for the let-go
        return;
    }
}
