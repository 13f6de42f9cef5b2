// End to end under Wine: a driver installation loaded into Wine's real registry, rates picked
// through the real window's controls, "Apply" answered from a script, and the mode tables read
// back from the real registry.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "RegLoad.h"
#include "WindowTesting.h"
#include "host/TestSupport.h"
#include "app/frmMainframe.h"
#include "confirm/Confirm.h"
#include "app/win32/MainWindow.h"
#include "app/win32/SettingsPageView.h"
#include "app/win32/resource.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "platform/win32/Win32Platform.h"

namespace {

namespace platform = quorvel::platform;
namespace sim = quorvel::platform::sim;
using quorvel::app::frmMainframe;
using quorvel::app::win32::MainWindow;

const char* const kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
const char* const kDisplayKey =
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}\\0000";
// What the fixtures add to the machine, removed before and after every test.
const char* const kFixtureKeys[] = {
    "SYSTEM\\CurrentControlSet\\Services\\nv",
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{6B1D2F40-8C3E-4A57-9F12-3E5D7A9C0B84}",
    "SYSTEM\\CurrentControlSet\\Control\\Video\\{7A3F1C52-0D64-4B8E-9C1A-5E2B8D4F6A10}",
    "SOFTWARE\\Velkora",
};

using quorvel::testing::kModesDeltaNames;

void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) {
        return;
    }
    char name[256];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        DeleteTree(root, path + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

// The names of a key's string values holding `text`, in the order the registry lists them,
// and its UseCompressedModeFormat (-1 when absent).
struct KeyContents {
    std::vector<std::string> tableValues;
    long formatSwitch = -1;
};

KeyContents ReadKey(const std::string& path, const std::string& text) {
    KeyContents contents;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open " << path;
        return contents;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[512];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        if (type == REG_SZ && text == reinterpret_cast<const char*>(data)) {
            contents.tableValues.push_back(name);
        } else if (type == REG_DWORD && std::string(name) == "UseCompressedModeFormat") {
            contents.formatSwitch = static_cast<long>(*reinterpret_cast<DWORD*>(data));
        }
    }
    RegCloseKey(key);
    return contents;
}

class InstallWindowTest : public testing::Test,
                          protected quorvel::testing::TestPlatform<platform::win32::Win32Registry> {
  protected:
    void SetUp() override {
        if (!quorvel::testing::DisplayAvailable()) {
            GTEST_SKIP() << "no display: run under xvfb-run to test the window";
        }
        prompt.onUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        RemoveFixture();
    }

    void TearDown() override {
        window_.reset();
        Pump();
        RemoveFixture();
    }

    static void RemoveFixture() {
        for (const char* path : kFixtureKeys) {
            DeleteTree(HKEY_LOCAL_MACHINE, path);
        }
    }

    void Start(const char* fixture) {
        sim::SimRegistry machine;
        std::string error;
        ASSERT_TRUE(machine.ImportRegFile(std::string(QUORVEL_FIXTURES_DIR "/") + fixture, &error))
            << error;
        const auto failures = quorvel::tools::CopyToRegistry(machine, platform::kHkeyLocalMachine);
        ASSERT_TRUE(failures.empty()) << failures.front();

        // No check after the restart: its RunOnce entry would outlive the test in the prefix.
        quorvel::confirm::SetWanted(registry, false);
        form_.emplace(platform);
        form_->Form_Load();
        window_.emplace(*form_);
        ASSERT_TRUE(window_->Create(GetModuleHandleA(nullptr), SW_HIDE));
        Pump();
        ClickTab(3);
    }

    void Pump() { quorvel::testing::PumpMessages(); }

    HWND Main() const { return window_->Handle(); }

    HWND Find(int id) const {
        for (HWND child : quorvel::testing::Descendants(Main())) {
            if (GetDlgCtrlID(child) == id) {
                return child;
            }
        }
        return nullptr;
    }

    void ClickTab(int index) {
        HWND tabs = Find(IDC_TBSMAIN);
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
        NMHDR hdr{tabs, IDC_TBSMAIN, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(Main(), WM_NOTIFY, IDC_TBSMAIN, reinterpret_cast<LPARAM>(&hdr));
        Pump();
    }

    void Click(int id) {
        HWND button = Find(id);
        ASSERT_NE(button, nullptr) << id;
        SendMessageA(button, BM_CLICK, 0, 0);
        Pump();
    }

    // What a drop-down list does when the user picks an item.
    void Pick(std::size_t row, int item) {
        const int id = quorvel::app::win32::kRateListIdBase + static_cast<int>(row);
        HWND list = Find(id);
        ASSERT_NE(list, nullptr);
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        Pump();
    }

    // `displaySwitch` and `serviceSwitch`: the UseCompressedModeFormat each key should hold.
    void ExpectWritten(const std::string& table, long displaySwitch, long serviceSwitch) {
        const struct {
            const char* path;
            long formatSwitch;
        } keys[] = {{kDisplayKey, displaySwitch}, {kServiceKey, serviceSwitch}};
        for (const auto& key : keys) {
            const KeyContents contents = ReadKey(key.path, table);
            EXPECT_EQ(contents.tableValues, kModesDeltaNames) << key.path;
            EXPECT_EQ(contents.formatSwitch, key.formatSwitch) << key.path;
        }
    }

    std::optional<frmMainframe> form_;
    std::optional<MainWindow> window_;
};

TEST_F(InstallWindowTest, A4041DriverGetsTheHexadecimalTableAndTheFormatSwitch) {
    Start("driver-40.41-format-off.reg");
    ASSERT_TRUE(form_->fmeSettings40Visible);
    Pick(9, 5);    // 1024x768: "85"
    Pick(13, 12);  // 1600x1024: "200", above the high-area threshold
    prompt.Expect("Error", IDYES)
        .Expect("Almost there", IDYES)
        .Expect("The final frontier", IDYES)
        .Expect("Completion", IDNO);
    Click(quorvel::app::win32::kApply40Id);
    EXPECT_EQ(prompt.PendingCount(), 0u);
    ExpectWritten("S 1024x768=8055; 1600x1024=80C8;", 1, 1);
    EXPECT_TRUE(restart.Calls().empty());
    EXPECT_TRUE(IsWindow(Main()));
}

TEST_F(InstallWindowTest, A2832DriverGetsTheCompressedTableWithoutTheSwitchWhenRefused) {
    Start("driver-28.32-format-off.reg");
    ASSERT_TRUE(form_->fmeSettingsVisible);
    const int base = quorvel::app::win32::kRateOptionIdBase;
    Click(base + 6 * 7 + 4);  // 640x480 at 85 Hz
    Click(base + 7 * 7 + 3);  // 800x600 at 75 Hz
    prompt.Expect("Almost there", IDNO)
        .Expect("The final frontier", IDYES)
        .Expect("Completion", IDNO);
    Click(quorvel::app::win32::kApplyId);
    EXPECT_EQ(prompt.PendingCount(), 0u);
    // The service key keeps the 0 it had; the display key never had the value.
    ExpectWritten("S 640,480,-,-75;800,600,-,-72", -1, 0);
}

TEST_F(InstallWindowTest, NoToTheConfirmationWritesNothing) {
    Start("driver-28.32-format-off.reg");
    Click(quorvel::app::win32::kRateOptionIdBase + 9 * 7 + 6);  // 1024x768 at 120 Hz
    prompt.Expect("Error", IDYES).Expect("Almost there", IDYES).Expect("The final frontier", IDNO);
    Click(quorvel::app::win32::kApplyId);
    EXPECT_EQ(prompt.PendingCount(), 0u);
    for (const char* path : {kDisplayKey, kServiceKey}) {
        const KeyContents contents = ReadKey(path, "S 1024,768,-,-100");
        EXPECT_TRUE(contents.tableValues.empty()) << path;
    }
    EXPECT_EQ(ReadKey(kServiceKey, "").formatSwitch, 0);
}

}  // namespace

int main(int argc, char** argv) {
    return quorvel::testing::RunWindowTests(argc, argv);
}
