// The Introduction page (fixed text) and the System information page (detection findings and
// the manual generation choice).
#include "app/win32/PagesView.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/win32/resource.h"

namespace quorvel::app::win32 {

namespace {

// Both pages span the page frame's width less a margin on either side.
constexpr int kPageWidthTw = 5655;
constexpr int kPageHeightTw = 6255;
constexpr int kMarginTw = 120;

HWND CreateStatic(HWND parent, const ViewContext& v, int id, const std::string& text, HFONT font,
                  RECT rc, DWORD style) {
    HWND h =
        CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | style, rc.left, rc.top,
                        rc.right - rc.left, rc.bottom - rc.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), v.instance, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
}

RECT TwipsRect(const ViewContext& v, int leftTw, int topTw, int widthTw, int heightTw) {
    return RECT{TwipsX(v, leftTw), TwipsY(v, topTw), TwipsX(v, leftTw + widthTw),
                TwipsY(v, topTw + heightTw)};
}

// The size `text` takes in `font`, wrapped at `width` pixels when width > 0. A memory DC like
// the screen's measures the same and, unlike a window's DC, costs no visible-region computation.
SIZE MeasureText(HFONT font, const std::string& text, int width) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rc{0, 0, width > 0 ? width : 0, 0};
    const UINT flags = DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextA(dc, text.c_str(), -1, &rc, flags);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

HBRUSH FaceColours(HDC dc, COLORREF text) {
    SetTextColor(dc, text);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// ---- Introduction -------------------------------------------------------------------------

constexpr const char* kIntroWhatHeading = "What is the Quorvel?";
constexpr const char* kIntroWhatText =
    "On Windows NT, 2000 and XP the nVidia Detonator driver offers no way of choosing a refresh "
    "rate. Every game that runs in OpenGL or Direct3D is therefore left flickering at 60 Hz, "
    "whatever your monitor can do. And as if that were not enough, driver version 40.41 brought "
    "yet another registry format for the refresh rates.";
constexpr const char* kIntroWhyHeading = "Why I programmed this tool...";
constexpr const char* kIntroWhyText =
    "After a driver update my own monitor was stuck at 60 Hz in every game. I looked for a tool "
    "that would give me my refresh rates back, but none of those I found worked with my system, "
    "so I wrote this one.";
constexpr const char* kIntroDoesHeading = "What does it do?";
constexpr const char* kIntroDoesText =
    "The Quorvel works with the compressed mode format that came with driver 28.32 and with the "
    "newer format that came with driver 40.41. It writes the refresh rates you choose into the "
    "hidden refresh-rate settings that the driver keeps in the registry. Choose one rate for "
    "each resolution on the settings page, press Apply and restart Windows.";
constexpr const char* kIntroEnjoy = "Okay, have fun and enjoy the new refresh rates! :-)";
constexpr const char* kIntroSignature = "Tobin Marlowe";

class IntroPageView : public IPageView {
  public:
    void Create(HWND pageFrame, const ViewContext& v) override {
        enum class Kind { Heading, Text, Signature };
        struct Item {
            const char* text;
            Kind kind;
            int gapBeforeTw;
        };
        static constexpr Item kItems[] = {
            {kIntroWhatHeading, Kind::Heading, 180}, {kIntroWhatText, Kind::Text, 90},
            {kIntroWhyHeading, Kind::Heading, 330},  {kIntroWhyText, Kind::Text, 90},
            {kIntroDoesHeading, Kind::Heading, 330}, {kIntroDoesText, Kind::Text, 90},
            {kIntroEnjoy, Kind::Text, 450},          {kIntroSignature, Kind::Signature, 300},
        };
        const int left = TwipsX(v, kMarginTw);
        const int width = TwipsX(v, kPageWidthTw - kMarginTw) - left;
        int top = 0;
        int id = IDC_INTRO_FIRST;
        for (const Item& item : kItems) {
            HFONT font = item.kind == Kind::Heading ? v.boldUnderlineFont : v.font;
            top += TwipsY(v, item.gapBeforeTw);
            const int height = MeasureText(font, item.text, width).cy;
            const DWORD align = item.kind == Kind::Signature ? SS_RIGHT : SS_LEFT;
            CreateStatic(pageFrame, v, id++, item.text, font,
                         RECT{left, top, left + width, top + height}, align | SS_NOPREFIX);
            top += height;
        }
    }
    bool OnCommand(frmMainframe&, int, int, HWND) override { return false; }
    HBRUSH OnCtlColor(const frmMainframe&, HDC, HWND) override { return nullptr; }
    void Sync(const frmMainframe&) override {}
};

// ---- System information -------------------------------------------------------------------

constexpr const char* kGroupDriver = "Driver information:";
constexpr const char* kGroupGeneral = "General:";
constexpr const char* kGroupSummary = "Summary:";
constexpr const char* kCaptionDeviceDesc = "Device description:";
constexpr const char* kCaptionDetVer = "Detonator version:";
constexpr const char* kCaptionFormatCapability = "Capability of using compressed mode format:";
constexpr const char* kCaptionFormatUsage = "Uses compressed mode format:";
constexpr const char* kCaptionFormatHexadecimal = "Uses hexadecimal compressed mode format:";
constexpr const char* kCaptionInstalledTable = "Installed table:";
constexpr const char* kCaptionOS = "Operating system:";
constexpr const char* kCaptionMonitor = "Monitor:";
constexpr const char* kSupportNote =
    "When you write to support, please mention every error or warning shown here and describe "
    "your system in detail.";

// Layout, in twips inside the page frame.
constexpr int kGroupLeftTw = kMarginTw;
constexpr int kGroupWidthTw = kPageWidthTw - 2 * kMarginTw;
constexpr int kInnerLeftTw = kGroupLeftTw + 120;
constexpr int kInnerWidthTw = kGroupWidthTw - 240;
constexpr int kFirstRowTw = 315;  // first row below a group's top edge
constexpr int kRowStepTw = 270;
constexpr int kRowHeightTw = 225;
constexpr int kValueLeftTw = 3600;  // value column, right of the longest caption
constexpr int kDeviceDescLeftTw = 1800;
constexpr int kDriverTopTw = 60;
constexpr int kDriverRows = 6;
constexpr int kDriverHeightTw = kFirstRowTw + (kDriverRows - 1) * kRowStepTw + kRowHeightTw + 135;
constexpr int kGeneralTopTw = kDriverTopTw + kDriverHeightTw + 105;
// The monitor's names on one line, its limits on the next.
constexpr int kMonitorHeightTw = kRowStepTw + kRowHeightTw;
constexpr int kGeneralHeightTw = kFirstRowTw + kRowStepTw + kMonitorHeightTw + 135;
constexpr int kSummaryTopTw = kGeneralTopTw + kGeneralHeightTw + 105;
constexpr int kSummaryHeightTw = kPageHeightTw - 60 - kSummaryTopTw;
constexpr int kSummaryTextHeightTw = 1290;
constexpr int kOptionsTopTw = kSummaryTopTw + kFirstRowTw + kSummaryTextHeightTw + 45;
constexpr int kOptionHeightTw = 255;
constexpr int kNoteHeightTw = 600;
constexpr int kNoteTopTw = kSummaryTopTw + kSummaryHeightTw - 135 - kNoteHeightTw;

class SysInfoPageView : public IPageView {
  public:
    void Create(HWND pageFrame, const ViewContext& v) override {
        frame_ = pageFrame;
        // The frames go in last, at the bottom of the z-order, so that they never paint over
        // the labels; their captions are separate labels lying across the frames' top edges,
        // because a group box draws its caption in its own font and, under visual styles, its
        // own colour.
        CreateGroupCaption(v, IDC_GRPDRIVER_CAPTION, kGroupDriver, kDriverTopTw);
        CreateGroupCaption(v, IDC_GRPGENERAL_CAPTION, kGroupGeneral, kGeneralTopTw);
        CreateGroupCaption(v, IDC_GRPSUMMARY_CAPTION, kGroupSummary, kSummaryTopTw);

        struct Row {
            int captionId;
            const char* caption;
            int valueId;
            Label frmMainframe::*label;
            int topTw;
            int valueLeftTw;
            int column;  // rows of one column share their value's left edge
        };
        const auto rowTop = [](int groupTopTw, int row) {
            return groupTopTw + kFirstRowTw + row * kRowStepTw;
        };
        // An adapter's name, the installed table's description and the monitor can be long:
        // their values start right after their short captions.
        const Row rows[] = {
            {IDC_CAPDEVICEDESC, kCaptionDeviceDesc, IDC_LBLDEVICEDESC, &frmMainframe::lblDeviceDesc,
             rowTop(kDriverTopTw, 0), kDeviceDescLeftTw, 0},
            {IDC_CAPDETVER, kCaptionDetVer, IDC_LBLDETVER, &frmMainframe::lblDetVer,
             rowTop(kDriverTopTw, 1), kValueLeftTw, 1},
            {IDC_CAPFORMATCAPABILITY, kCaptionFormatCapability, IDC_LBLFORMATCAPABILITY,
             &frmMainframe::lblFormatCapability, rowTop(kDriverTopTw, 2), kValueLeftTw, 1},
            {IDC_CAPFORMATUSAGE, kCaptionFormatUsage, IDC_LBLFORMATUSAGE,
             &frmMainframe::lblFormatUsage, rowTop(kDriverTopTw, 3), kValueLeftTw, 1},
            {IDC_CAPFORMATHEXADECIMAL, kCaptionFormatHexadecimal, IDC_LBLFORMATHEXADECIMAL,
             &frmMainframe::lblFormatHexadecimal, rowTop(kDriverTopTw, 4), kValueLeftTw, 1},
            {IDC_CAPINSTALLEDTABLE, kCaptionInstalledTable, IDC_LBLINSTALLEDTABLE,
             &frmMainframe::lblInstalledTable, rowTop(kDriverTopTw, 5), kDeviceDescLeftTw, 0},
            {IDC_CAPOS, kCaptionOS, IDC_LBLOS, &frmMainframe::lblOS, rowTop(kGeneralTopTw, 0),
             kValueLeftTw, 2},
            {IDC_CAPMONITOR, kCaptionMonitor, IDC_LBLMONITOR, &frmMainframe::lblMonitor,
             rowTop(kGeneralTopTw, 1), kDeviceDescLeftTw, 0},
        };
        // Each value column starts at its design position, or further right where the screen's
        // font sets a caption wider than its twips allow (Wine's Tahoma at 120 DPI does); the
        // General group keeps a column of its own so that its longer values keep their room.
        const int captionLeft = TwipsX(v, kInnerLeftTw);
        int columns[3] = {};
        for (const Row& row : rows) {
            const SIZE caption = MeasureText(v.font, row.caption, 0);
            columns[row.column] =
                std::max({columns[row.column], TwipsX(v, row.valueLeftTw),
                          captionLeft + TwipsX(v, 180) + static_cast<int>(caption.cx)});
        }
        const int right = TwipsX(v, kInnerLeftTw + kInnerWidthTw);
        for (const Row& row : rows) {
            const int left = columns[row.column];
            const int top = TwipsY(v, row.topTw);
            const int bottom = TwipsY(v, row.topTw + kRowHeightTw);
            CreateStatic(frame_, v, row.captionId, row.caption, v.font,
                         RECT{captionLeft, top, left, bottom}, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
            // The monitor's value has two lines: its names, then its limits.
            const bool monitor = row.valueId == IDC_LBLMONITOR;
            HWND value = CreateStatic(
                frame_, v, row.valueId, "", v.font,
                RECT{left, top, right, monitor ? TwipsY(v, row.topTw + kMonitorHeightTw) : bottom},
                SS_NOPREFIX | (monitor ? SS_LEFT : SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS));
            labels_[labelCount_++] = {value, row.label, std::nullopt};
        }
        labels_[labelCount_++] = {
            CreateStatic(frame_, v, IDC_LBLSUMMARY, "", v.font,
                         TwipsRect(v, kInnerLeftTw, kSummaryTopTw + kFirstRowTw, kInnerWidthTw,
                                   kSummaryTextHeightTw),
                         SS_LEFT | SS_NOPREFIX),
            &frmMainframe::lblSummary, std::nullopt};

        options_[0] = {CreateOption(v, IDC_OBTVERERROR40, WS_GROUP | WS_TABSTOP, kInnerLeftTw,
                                    kInnerWidthTw / 2),
                       &frmMainframe::obtVerError40, true, std::nullopt};
        options_[1] = {CreateOption(v, IDC_OBTVERERROR28, 0, kInnerLeftTw + kInnerWidthTw / 2,
                                    kInnerWidthTw - kInnerWidthTw / 2),
                       &frmMainframe::obtVerError28, false, std::nullopt};

        note_ = CreateStatic(frame_, v, IDC_LBLSUPPORTNOTE, kSupportNote, v.boldFont,
                             TwipsRect(v, kInnerLeftTw, kNoteTopTw, kInnerWidthTw, kNoteHeightTw),
                             SS_LEFT | SS_NOPREFIX | WS_GROUP);

        CreateGroup(v, IDC_GRPDRIVER, kDriverTopTw, kDriverHeightTw);
        CreateGroup(v, IDC_GRPGENERAL, kGeneralTopTw, kGeneralHeightTw);
        CreateGroup(v, IDC_GRPSUMMARY, kSummaryTopTw, kSummaryHeightTw);
    }

    bool OnCommand(frmMainframe& form, int, int code, HWND control) override {
        for (const Option& o : options_) {
            if (control == o.hwnd) {
                if (code == BN_CLICKED) {
                    form.ClickGenerationOption(o.detonator40);
                }
                return true;
            }
        }
        return false;
    }

    HBRUSH OnCtlColor(const frmMainframe& form, HDC dc, HWND control) override {
        if (!frame_ || GetParent(control) != frame_) {
            return nullptr;
        }
        for (std::size_t i = 0; i < labelCount_; ++i) {
            if (labels_[i].hwnd == control) {
                return FaceColours(dc, ToColorRef((form.*labels_[i].member).foreColor));
            }
        }
        if (control == note_) {
            return FaceColours(dc, ToColorRef(kRed));
        }
        return FaceColours(dc, GetSysColor(COLOR_BTNTEXT));
    }

    void Sync(const frmMainframe& form) override {
        for (std::size_t i = 0; i < labelCount_; ++i) {
            SyncLabel(labels_[i], form.*labels_[i].member);
        }
        for (Option& o : options_) {
            SyncOption(o, form.*o.member);
        }
    }

  private:
    struct ValueLabel {
        HWND hwnd = nullptr;
        Label frmMainframe::*member = nullptr;
        std::optional<Label> shown;
    };
    struct Option {
        HWND hwnd = nullptr;
        OptionButton frmMainframe::*member = nullptr;
        bool detonator40 = false;
        std::optional<OptionButton> shown;
    };

    static void SyncLabel(ValueLabel& l, const Label& wanted) {
        if (!l.shown || l.shown->caption != wanted.caption) {
            SetWindowTextA(l.hwnd, wanted.caption.c_str());
        } else if (l.shown->foreColor != wanted.foreColor) {
            InvalidateRect(l.hwnd, nullptr, TRUE);
        }
        if (!l.shown || l.shown->visible != wanted.visible) {
            ShowWindow(l.hwnd, wanted.visible ? SW_SHOWNA : SW_HIDE);
        }
        l.shown = wanted;
    }

    static void SyncOption(Option& o, const OptionButton& wanted) {
        if (!o.shown || o.shown->caption != wanted.caption) {
            SetWindowTextA(o.hwnd, wanted.caption.c_str());
        }
        if (!o.shown || o.shown->value != wanted.value) {
            SendMessageA(o.hwnd, BM_SETCHECK, wanted.value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (!o.shown || o.shown->visible != wanted.visible) {
            ShowWindow(o.hwnd, wanted.visible ? SW_SHOWNA : SW_HIDE);
        }
        o.shown = wanted;
    }

    void CreateGroupCaption(const ViewContext& v, int id, const char* text, int groupTopTw) {
        const SIZE size = MeasureText(v.boldUnderlineFont, text, 0);
        const int left = TwipsX(v, kGroupLeftTw) + 6;
        const int top = TwipsY(v, groupTopTw);
        // Two pixels either side keep the frame's line clear of the text.
        CreateStatic(frame_, v, id, text, v.boldUnderlineFont,
                     RECT{left, top, left + size.cx + 4, top + size.cy}, SS_CENTER | SS_NOPREFIX);
    }

    void CreateGroup(const ViewContext& v, int id, int topTw, int heightTw) {
        const RECT rc = TwipsRect(v, kGroupLeftTw, topTw, kGroupWidthTw, heightTw);
        HWND group =
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX,
                            rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, frame_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), v.instance, nullptr);
        // The line of an empty group box sits half a text height down, as with a caption.
        SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(v.boldUnderlineFont), FALSE);
        SetWindowPos(group, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    HWND CreateOption(const ViewContext& v, int id, DWORD extraStyle, int leftTw, int widthTw) {
        const RECT rc = TwipsRect(v, leftTw, kOptionsTopTw, widthTw, kOptionHeightTw);
        // Not an auto radio button: the check mark follows the form's state.
        HWND h =
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_RADIOBUTTON | extraStyle, rc.left,
                            rc.top, rc.right - rc.left, rc.bottom - rc.top, frame_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), v.instance, nullptr);
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(v.font), FALSE);
        return h;
    }

    HWND frame_ = nullptr;
    ValueLabel labels_[9];
    std::size_t labelCount_ = 0;
    Option options_[2];
    HWND note_ = nullptr;
};

}  // namespace

std::unique_ptr<IPageView> MakeIntroPageView() {
    return std::make_unique<IntroPageView>();
}

std::unique_ptr<IPageView> MakeSysInfoPageView() {
    return std::make_unique<SysInfoPageView>();
}

}  // namespace quorvel::app::win32
