#include "app/x11/x11_window_manager.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint32_t NoSizeNoMove = 3;
} // namespace

TEST(X11WindowManager, failsWithoutADisplayOrWithArgumentsItCannotHonour)
{
    X11WindowManager noDisplay(nullptr);
    EXPECT_EQ(noDisplay.SetWindowPos(0x4200001, -1, 0, 0, 0, 0, NoSizeNoMove), 0);

    int dummy = 0;
    X11WindowManager manager(&dummy); // never dereferenced: every call below is refused first
    EXPECT_EQ(manager.SetWindowPos(0, -1, 0, 0, 0, 0, NoSizeNoMove), 0) << "no window";
    EXPECT_EQ(manager.SetWindowPos(0x4200001, 0, 0, 0, 0, 0, NoSizeNoMove), 0) << "HWND_TOP";
    EXPECT_EQ(manager.SetWindowPos(0x4200001, -1, 10, 10, 0, 0, 1), 0) << "a move";
}
