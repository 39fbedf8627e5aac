#pragma once

#include "window/menu_bar.h"
#include "window/vol_bar_model.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

class Kelvora;
class KeyButton;
class QAction;
struct MenuItem;
class TextLabel;
class VolBar;

// The main window `Kelvora` on screen, built from the window definition: the controls, the menu
// bar, and the events forwarded to the behaviour. It decides nothing itself.
class KelvoraWindow : public QMainWindow, public VolBarControls
{
    Q_OBJECT
public:
    KelvoraWindow();

    // Events go to `kelvora` from now on; closing the window runs its unload once.
    void attach(Kelvora& kelvora);
    // Runs the unload once, when the window closes or the application quits otherwise, and
    // forwards nothing after it.
    void finish();
    // Touch point `finger` was lifted: a key got its lift, or the window did while a menu was open.
    void fingerLifted(int finger);

    // The client area below the menu bar and the widgets on it, for tests.
    [[nodiscard]] QWidget* clientArea() const { return m_client; }
    [[nodiscard]] KeyButton* key(int index) const { return m_keys.at(index); }
    [[nodiscard]] QWidget* marker(int index) const { return m_markers.at(index); }
    [[nodiscard]] VolBar* volBar() const { return m_vol; }
    [[nodiscard]] TextLabel* label(std::string_view name) const;
    // The action of a menu entry (16-164), or the menu action of the "Instruments" menu (0) or of
    // a family submenu (1-15).
    [[nodiscard]] QAction* menuAction(std::int16_t menuIndex) const;

    ColorValue keyBackColor(std::int16_t key) const override;
    void setKeyBackColor(std::int16_t key, ColorValue colour) override;
    void setKeyUnset(std::int16_t key) override;
    void setMarkerVisible(std::int16_t marker, bool visible) override;
    void setCaption(CaptionLabel which, std::string_view caption) override;
    std::string menuCaption(std::int16_t menuIndex) const override;
    void show() override;
    NativeHandle nativeHandle() const override;
    void messageBox(std::string_view text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createClientArea();
    void createControls();
    void createKey(int index);
    void createMarker(int index);
    void createTextLabel(int definitionIndex);
    void createVolBar(int definitionIndex);
    void createMenus();
    void addMenuItems(QWidget* menu, const std::vector<MenuItem>& items);
    void showVolBar(bool report) override;

    Kelvora* m_kelvora = nullptr;
    QWidget* m_client = nullptr;
    std::array<KeyButton*, 60> m_keys {};
    std::array<QWidget*, 60> m_markers {};
    std::array<TextLabel*, 5> m_labels {};
    VolBar* m_vol = nullptr;
    std::array<QAction*, MenuIndex::Count> m_menuActions {};
};
