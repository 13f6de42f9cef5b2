// The Introduction page (fixed text) and the System information page (detection findings and
// the manual generation choice).
#include "app/win32/PagesView.h"

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/SysInfoLayout.h"
#include "app/win32/resource.h"

namespace quorvel::app::win32 {

namespace {

// The Introduction page spans the page frame's width less a margin on either side.
constexpr int kPageWidthTw = 5655;
constexpr int kMarginTw = 120;

HWND CreateStatic(HWND parent, const ViewContext& v, int id, const std::string& text, HFONT font,
                  RECT rc, DWORD style) {
    return CreateControl(v, {parent, "STATIC", text.c_str(), style, 0, rc, id, font});
}

// The size `text` takes in `font`, broken at its line breaks and, when width > 0, wrapped at
// `width` pixels, as a static control draws it. A memory DC like the screen's measures the same
// and, unlike a window's DC, costs no visible-region computation.
SIZE MeasureText(HFONT font, const std::string& text, int width) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rc{0, 0, width > 0 ? width : 0, 0};
    const UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (width > 0 ? DT_WORDBREAK : 0);
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
constexpr const char* kSupportNote =
    "When you write to support, please mention every error or warning shown here and describe "
    "your system in detail.";

struct CaptionRow {
    int captionId;
    const char* caption;
    int valueId;
    Label frmMainframe::*value;
};
constexpr CaptionRow kDriverRows[] = {
    {IDC_CAPDEVICEDESC, "Device description:", IDC_LBLDEVICEDESC, &frmMainframe::lblDeviceDesc},
    {IDC_CAPDETVER, "Detonator version:", IDC_LBLDETVER, &frmMainframe::lblDetVer},
    {IDC_CAPFORMATCAPABILITY, "Capability of using compressed mode format:",
     IDC_LBLFORMATCAPABILITY, &frmMainframe::lblFormatCapability},
    {IDC_CAPFORMATUSAGE, "Uses compressed mode format:", IDC_LBLFORMATUSAGE,
     &frmMainframe::lblFormatUsage},
    {IDC_CAPFORMATHEXADECIMAL, "Uses hexadecimal compressed mode format:", IDC_LBLFORMATHEXADECIMAL,
     &frmMainframe::lblFormatHexadecimal},
    {IDC_CAPINSTALLEDTABLE, "Installed table:", IDC_LBLINSTALLEDTABLE,
     &frmMainframe::lblInstalledTable},
    {IDC_CAPAPPLIED, "", IDC_LBLAPPLIED, &frmMainframe::lblApplied},
};
// The monitor's value has two lines: its names, then its limits.
constexpr CaptionRow kGeneralRows[] = {
    {IDC_CAPOS, "Operating system:", IDC_LBLOS, &frmMainframe::lblOS},
    {IDC_CAPSCREENNOW, "Screen now:", IDC_LBLSCREENNOW, &frmMainframe::lblScreenNow},
    {IDC_CAPRATESINEFFECT, "Rates in effect:", IDC_LBLRATESINEFFECT,
     &frmMainframe::lblRatesInEffect},
    {IDC_CAPMONITOR, "Monitor:", IDC_LBLMONITOR, &frmMainframe::lblMonitor},
};
struct CaptionGroup {
    int frameId;
    int captionId;
    const char* caption;
    const CaptionRow* rows;
    std::size_t rowCount;
};
constexpr CaptionGroup kGroups[] = {
    {IDC_GRPDRIVER, IDC_GRPDRIVER_CAPTION, kGroupDriver, kDriverRows, std::size(kDriverRows)},
    {IDC_GRPGENERAL, IDC_GRPGENERAL_CAPTION, kGroupGeneral, kGeneralRows, std::size(kGeneralRows)},
};
constexpr std::size_t kValueCount = std::size(kDriverRows) + std::size(kGeneralRows) + 1;

// The page's texts measured as its labels draw them.
class LabelMeasure : public ITextMeasure {
  public:
    explicit LabelMeasure(const ViewContext& v) : v_(v) {}
    TextSize Measure(const std::string& text, bool bold, int wrapWidth) const override {
        const SIZE size = MeasureText(bold ? v_.boldFont : v_.font, text, wrapWidth);
        return TextSize{static_cast<int>(size.cx), static_cast<int>(size.cy)};
    }

  private:
    const ViewContext& v_;
};

void Place(HWND control, const Rect& r) {
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

class SysInfoPageView : public IPageView {
  public:
    void Create(HWND pageFrame, const ViewContext& v) override {
        frame_ = pageFrame;
        v_ = &v;
        // Made at their places by Layout once the form's texts are in. The frames go in last,
        // at the bottom of the z-order, so that they never paint over the labels; their
        // captions are separate labels lying across the frames' top edges, because a group box
        // draws its caption in its own font and, under visual styles, its own colour.
        std::size_t n = 0;
        for (const CaptionGroup& g : kGroups) {
            groups_.push_back({CreateStatic(frame_, v, g.captionId, g.caption, v.boldUnderlineFont,
                                            {}, SS_CENTER | SS_NOPREFIX),
                               nullptr,
                               {}});
            for (std::size_t i = 0; i < g.rowCount; ++i) {
                const CaptionRow& row = g.rows[i];
                groups_.back().captions.push_back(CreateStatic(frame_, v, row.captionId,
                                                               row.caption, v.font, {},
                                                               SS_LEFTNOWORDWRAP | SS_NOPREFIX));
                labels_[n++] = {
                    CreateStatic(frame_, v, row.valueId, "", v.font, {}, SS_LEFT | SS_NOPREFIX),
                    row.value, std::nullopt};
            }
        }
        summaryCaption_ = CreateStatic(frame_, v, IDC_GRPSUMMARY_CAPTION, kGroupSummary,
                                       v.boldUnderlineFont, {}, SS_CENTER | SS_NOPREFIX);
        labels_[n++] = {
            CreateStatic(frame_, v, IDC_LBLSUMMARY, "", v.font, {}, SS_LEFT | SS_NOPREFIX),
            &frmMainframe::lblSummary, std::nullopt};
        options_[0] = {CreateOption(v, IDC_OBTVERERROR40, WS_GROUP | WS_TABSTOP),
                       &frmMainframe::obtVerError40, true, std::nullopt};
        options_[1] = {CreateOption(v, IDC_OBTVERERROR28, 0), &frmMainframe::obtVerError28, false,
                       std::nullopt};
        note_ = CreateStatic(frame_, v, IDC_LBLSUPPORTNOTE, kSupportNote, v.boldFont, {},
                             SS_LEFT | SS_NOPREFIX | WS_GROUP);
        for (std::size_t i = 0; i < std::size(kGroups); ++i) {
            groups_[i].frame = CreateGroup(v, kGroups[i].frameId);
        }
        summaryFrame_ = CreateGroup(v, IDC_GRPSUMMARY);
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
        for (const ValueLabel& l : labels_) {
            if (l.hwnd == control) {
                return FaceColours(dc, ToColorRef((form.*l.member).foreColor));
            }
        }
        if (control == note_) {
            return FaceColours(dc, ToColorRef(kRed));
        }
        return FaceColours(dc, GetSysColor(COLOR_BTNTEXT));
    }

    void Sync(const frmMainframe& form) override {
        bool textChanged = false;
        // A row whose value is hidden takes no room: showing or hiding it moves the rows below.
        for (ValueLabel& l : labels_) {
            textChanged |= SyncLabel(l, form.*l.member);
        }
        for (Option& o : options_) {
            SyncOption(o, form.*o.member);
        }
        if (textChanged) {
            Layout(form);
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
    struct Group {
        HWND caption = nullptr;
        HWND frame = nullptr;
        std::vector<HWND> captions;
    };

    // Returns true when the text changed.
    static bool SyncLabel(ValueLabel& l, const Label& wanted) {
        const bool textChanged =
            !l.shown || l.shown->caption != wanted.caption || l.shown->visible != wanted.visible;
        if (textChanged) {
            SetWindowTextA(l.hwnd, wanted.caption.c_str());
        } else if (l.shown->foreColor != wanted.foreColor) {
            InvalidateRect(l.hwnd, nullptr, TRUE);
        }
        if (!l.shown || l.shown->visible != wanted.visible) {
            ShowWindow(l.hwnd, wanted.visible ? SW_SHOWNA : SW_HIDE);
        }
        l.shown = wanted;
        return textChanged;
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

    // Every control to its place for the texts the form holds now.
    void Layout(const frmMainframe& form) {
        SysInfoTexts texts;
        for (const CaptionGroup& g : kGroups) {
            texts.groups.push_back({g.caption, {}});
            for (std::size_t i = 0; i < g.rowCount; ++i) {
                const Label& value = form.*g.rows[i].value;
                texts.groups.back().rows.push_back(
                    {g.rows[i].caption, value.visible ? value.caption : "", value.visible});
            }
        }
        texts.summaryCaption = kGroupSummary;
        texts.summary = form.lblSummary.caption;
        texts.note = kSupportNote;
        texts.optionsShown = form.obtVerError40.visible;
        const SysInfoLayout layout = LayOutSysInfo(texts, v_->dpiX, v_->dpiY, LabelMeasure(*v_));
        std::size_t n = 0;
        for (std::size_t i = 0; i < groups_.size(); ++i) {
            const SysInfoLayout::Group& g = layout.groups[i];
            Place(groups_[i].caption, g.caption);
            Place(groups_[i].frame, g.frame);
            for (std::size_t r = 0; r < g.rows.size(); ++r) {
                Place(groups_[i].captions[r], g.rows[r].caption);
                ShowWindow(groups_[i].captions[r],
                           texts.groups[i].rows[r].shown ? SW_SHOWNA : SW_HIDE);
                Place(labels_[n++].hwnd, g.rows[r].value);
            }
        }
        Place(summaryCaption_, layout.summaryGroup.caption);
        Place(summaryFrame_, layout.summaryGroup.frame);
        Place(labels_[n].hwnd, layout.summary);
        Place(options_[0].hwnd, layout.option40);
        Place(options_[1].hwnd, layout.option28);
        Place(note_, layout.note);
    }

    HWND CreateGroup(const ViewContext& v, int id) {
        // The line of an empty group box sits half a text height down, as with a caption.
        HWND group = CreateControl(
            v,
            {frame_, "BUTTON", "", WS_CLIPSIBLINGS | BS_GROUPBOX, 0, {}, id, v.boldUnderlineFont});
        SetWindowPos(group, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return group;
    }

    HWND CreateOption(const ViewContext& v, int id, DWORD extraStyle) {
        // Not an auto radio button: the check mark follows the form's state.
        return CreateControl(
            v, {frame_, "BUTTON", "", BS_RADIOBUTTON | extraStyle, 0, {}, id, v.font, true});
    }

    HWND frame_ = nullptr;
    const ViewContext* v_ = nullptr;
    std::vector<Group> groups_;
    HWND summaryCaption_ = nullptr;
    HWND summaryFrame_ = nullptr;
    ValueLabel labels_[kValueCount];
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
