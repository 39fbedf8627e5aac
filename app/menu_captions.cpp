#include "app/menu_captions.h"

#include "instruments/instrument_catalogue.h"
#include "scales/scale_catalogue.h"
#include "window/menu_bar.h"

std::string_view menuEntryCaption(std::int16_t i)
{
    if (MenuIndex::isFamily(i))
        return InstrumentCatalogue::familyCaption(i);
    if (MenuIndex::isInstrument(i))
        return InstrumentCatalogue::entryCaption(i - MenuIndex::FirstInstrument);
    if (MenuIndex::isGamme(i))
        return ScaleCatalogue::scaleCaption(i - MenuIndex::FirstGamme);
    if (MenuIndex::isNote(i))
        return ScaleCatalogue::rootCaption(i - MenuIndex::FirstNote);
    return {};
}
