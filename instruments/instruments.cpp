#include "instruments/instruments.h"

#include "instruments/instrument_catalogue.h"
#include "window/menu_bar.h"

#include <string>

void Instruments(WindowState& state, Controls& controls, std::int16_t menuIndex)
{
    // Only the instrument entries reach here from the menus; anything else would put Program
    // outside 0-119, so it is ignored and nothing changes.
    if (!MenuIndex::isInstrument(menuIndex))
        return;
    state.Program = static_cast<std::int16_t>(menuIndex - MenuIndex::FirstInstrument);

    // Family k (submenu k of the menu bar) holds programs 8(k-1) to 8(k-1)+7.
    const auto family
        = static_cast<std::int16_t>(state.Program / InstrumentCatalogue::EntriesPerFamily + 1);
    // The label is built from the captions as the menus show them, nothing trimmed.
    const std::string label
        = controls.menuCaption(family) + " - " + controls.menuCaption(menuIndex);
    controls.setCaption(CaptionLabel::Lbl_Instrument_Name, label);
}
