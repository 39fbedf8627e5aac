#pragma once

#include "app/menu_tree.h"
#include "window/controls.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

// Controls without a screen: keeps what the behaviour wrote and logs every call in order.
class RecordingControls : public Controls
{
public:
    RecordingControls()
    {
        for (int k = 0; k < 60; ++k)
            keyColour[k] = std::string_view("WBWBWWBWBWBW")[k % 12] == 'B' ? Colour::MenuText
                                                                           : Colour::White;
        markerVisible.fill(true);
    }

    ColorValue keyBackColor(std::int16_t key) const override { return keyColour.at(key); }
    void setKeyBackColor(std::int16_t key, ColorValue colour) override
    {
        keyColour.at(key) = colour;
        log.push_back("colour " + std::to_string(key) + " " + std::to_string(colour));
    }
    void setKeyUnset(std::int16_t key) override { log.push_back("unset " + std::to_string(key)); }
    void setMarkerVisible(std::int16_t marker, bool visible) override
    {
        markerVisible.at(marker) = visible;
        log.push_back(std::string(visible ? "show" : "hide") + " marker " + std::to_string(marker));
    }
    void setVolMin(std::int16_t value) override { volProperty("min", volMin, value); }
    void setVolMax(std::int16_t value) override { volProperty("max", volMax, value); }
    void setVolValue(std::int16_t value) override { volProperty("value", vol, value); }
    std::int16_t volValue() const override { return vol; }
    void setCaption(CaptionLabel label, std::string_view caption) override
    {
        captions.at(static_cast<int>(label)) = std::string(caption);
        log.push_back("caption " + std::string(caption));
    }
    std::string menuCaption(std::int16_t i) const override
    {
        return std::string(menuEntryCaption(i));
    }
    void show() override { log.push_back("show"); }
    NativeHandle nativeHandle() const override { return 0x4200001; }
    void messageBox(std::string_view text) override
    {
        log.push_back("message " + std::string(text));
    }

    std::string caption(CaptionLabel label) const { return captions.at(static_cast<int>(label)); }
    std::vector<int> visibleMarkers() const
    {
        std::vector<int> shown;
        for (int k = 0; k < 60; ++k)
            if (markerVisible[k])
                shown.push_back(k);
        return shown;
    }

    std::array<ColorValue, 60> keyColour {};
    std::array<bool, 60> markerVisible {};
    std::array<std::string, 3> captions {};
    std::int16_t volMin = 0, volMax = 32767, vol = 0;
    std::vector<std::string> log;
    // Runs when a vol property is set, as the window system's change notification would.
    std::function<void()> onVolChange;

private:
    // Like the window system's scroll bar, a new range pulls the value inside it (unlogged)
    // before the change notification: start-up relies on it.
    void volProperty(const char* name, std::int16_t& property, std::int16_t value)
    {
        property = value;
        vol = std::clamp(vol, std::min(volMin, volMax), std::max(volMin, volMax));
        log.push_back(std::string("vol ") + name + " " + std::to_string(value));
        if (onVolChange)
            onVolChange();
    }
};
