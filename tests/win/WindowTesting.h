// Shared scaffolding of the window tests: whether windows can be created here, and the entry
// point that initialises the common controls first.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "modes/Catalogue.h"

namespace quorvel::testing {

// Without a display Wine cannot create windows at all; the window tests then skip.
inline bool& DisplayAvailable() {
    static bool available = false;
    return available;
}

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// The item of the hexadecimal-format page's lists with `text` ("85", "<None>").
inline int Item(const char* text) {
    for (std::size_t item = 0; item < modes::kHexListItems.size(); ++item) {
        if (std::strcmp(modes::kHexListItems[item], text) == 0) {
            return static_cast<int>(item);
        }
    }
    ADD_FAILURE() << "no list item " << text;
    return modes::kNoItem;
}

inline BOOL CALLBACK CollectWindow(HWND child, LPARAM out) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
    return TRUE;
}

// Every descendant of `root`, in the order Windows enumerates them.
inline std::vector<HWND> Descendants(HWND root) {
    std::vector<HWND> all;
    EnumChildWindows(root, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

inline int RunWindowTests(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    if (HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr)) {
        DisplayAvailable() = true;
        DestroyWindow(probe);
    }
    return RUN_ALL_TESTS();
}

}  // namespace quorvel::testing
