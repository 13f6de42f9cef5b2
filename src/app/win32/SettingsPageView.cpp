// The settings pages' controls: the compressed-format option grid, the hexadecimal-format
// drop-down lists, and the warning frame and buttons both pages share.
#include "app/win32/SettingsPageView.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/PageColours.h"

namespace quorvel::app::win32 {

namespace {

using modes::Area;
using modes::kCatalogue;
using modes::kCompressedRateCount;
using modes::kResolutionCount;

constexpr const char* kGroupCaption = "Refresh rate settings:";
constexpr const char* kResolutionHeader = "Res. (in Px):";
constexpr const char* kRateHeader = "Refresh rate (in Hz): (Red means: Common 4:3 resolution)";
constexpr const char* kListHeader = "Refr. Rates (in Hz):";
constexpr const char* kLegend = "(Red means: Common 4:3 resolution)";
constexpr const char* kAttentionCaption = "ATTENTION:";
constexpr const char* kDeselectCaption = "Deselect all";
constexpr const char* kApplyCaption = "Apply";
constexpr std::array<const char*, kCompressedRateCount> kRateCaptions = {"60", "70",  "72", "75",
                                                                         "85", "100", "120"};

constexpr Colour kPageColour = kFaceColour;
constexpr Colour kTextColour = kFindingColour;
// Rates the monitor's limits rule out: the grey of disabled text, or, on a row whose colour is
// that grey or near it (the shadow stripes in the classic scheme), the face colour.
Colour RuledOutColour(Colour back) {
    const auto luminance = [](COLORREF c) {
        return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
    };
    constexpr int kMinContrast = 48;
    const int difference = luminance(GetSysColor(COLOR_GRAYTEXT)) - luminance(ToColorRef(back));
    return difference > kMinContrast || difference < -kMinContrast ? Colour::System(COLOR_GRAYTEXT)
                                                                   : Colour::System(COLOR_BTNFACE);
}
// Long enough to read what a ruled-out mode needs.
constexpr int kToolTipShowMs = 20000;

// Page geometry in twips; the page is 5655 x 6255.
constexpr int kPageInnerLeft = 120;
constexpr int kPageInnerWidth = 5415;
constexpr int kPageBottom = 6195;
constexpr int kLineThickness = 15;

// One solid brush per colour for the life of the page; system colours use the system's own
// brushes, which follow a change of the colour scheme.
class BrushCache {
  public:
    BrushCache() = default;
    BrushCache(const BrushCache&) = delete;
    BrushCache& operator=(const BrushCache&) = delete;
    ~BrushCache() {
        for (auto& entry : rgb_) {
            DeleteObject(entry.second);
        }
    }

    HBRUSH Get(const Colour& c) {
        if (c.kind == Colour::Kind::System) {
            return GetSysColorBrush(static_cast<int>(c.value));
        }
        for (const auto& entry : rgb_) {
            if (entry.first == c.value) {
                return entry.second;
            }
        }
        rgb_.emplace_back(c.value, CreateSolidBrush(static_cast<COLORREF>(c.value)));
        return rgb_.back().second;
    }

  private:
    // A page uses a handful of colours: a list searched from the front.
    std::vector<std::pair<std::uint32_t, HBRUSH>> rgb_;
};

// Under visual styles (comctl32 6 on XP) option buttons and group boxes draw their text in the
// theme's colour and ignore WM_CTLCOLORSTATIC's; switching the theme off for just these controls
// keeps them real controls with red captions. uxtheme.dll does not exist before XP, where every
// control is classic anyway.
void UseClassicLook(HWND control) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const SetWindowThemeFn setWindowTheme = []() -> SetWindowThemeFn {
        HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
        if (!uxtheme) {
            return nullptr;
        }
        // Through void(*)(): GetProcAddress's FARPROC has another signature.
        return reinterpret_cast<SetWindowThemeFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(uxtheme, "SetWindowTheme")));
    }();
    if (setWindowTheme && control) {
        setWindowTheme(control, L"", L"");
    }
}

// Creates the page's children at twips positions; edges are rounded from twips so that
// neighbouring controls meet without gaps at any DPI.
class Builder {
  public:
    Builder(HWND parent, const ViewContext& v) : parent_(parent), v_(v) {}

    HWND Make(const char* cls, const char* text, DWORD style, const TwipsRect& r, int id,
              HFONT font, DWORD exStyle = 0) const {
        return MakeIn(parent_, cls, text, style, r, id, font, exStyle);
    }

    HWND MakeIn(HWND parent, const char* cls, const char* text, DWORD style, const TwipsRect& r,
                int id, HFONT font, DWORD exStyle = 0) const {
        return CreateControl(v_, {parent, cls, text, style, exStyle, ToPixels(v_, r), id, font});
    }

    // A thin line in the window-frame colour.
    HWND Line(const TwipsRect& r) const { return Make("STATIC", "", SS_BLACKRECT, r, 0, nullptr); }

    HWND Label(const char* text, DWORD style, const TwipsRect& r, HFONT font) const {
        return Make("STATIC", text, SS_NOPREFIX | style, r, 0, font);
    }

    // Group boxes are made last, at the bottom of the z-order, and clip their siblings, so they
    // never paint over the controls they surround. A group box does not erase its inside, and
    // the page clips its children out of its own painting: WS_EX_TRANSPARENT keeps the inside
    // in the page's painting.
    HWND GroupBox(const char* caption, const TwipsRect& r, HFONT font) const {
        HWND box =
            Make("BUTTON", caption, BS_GROUPBOX | WS_CLIPSIBLINGS, r, 0, font, WS_EX_TRANSPARENT);
        UseClassicLook(box);
        return box;
    }

    const ViewContext& v() const { return v_; }

  private:
    HWND parent_;
    const ViewContext& v_;
};

// What both pages have: the colour table of their controls, the "ATTENTION:" frame with the
// blinking warning, "Deselect all" and "Apply".
class SettingsPage : public IPageView {
  protected:
    struct Paint {
        Colour fore;
        Colour back;
    };

    void SetPaint(HWND control, Colour fore, Colour back) {
        if (control) {
            paints_.emplace_back(control, Paint{fore, back});
        }
    }

    const Paint* PaintOf(HWND control) const {
        for (const auto& entry : paints_) {
            if (entry.first == control) {
                return &entry.second;
            }
        }
        return nullptr;
    }

    HBRUSH Colourise(HDC dc, Colour fore, Colour back) {
        SetTextColor(dc, ToColorRef(fore));
        SetBkColor(dc, ToColorRef(back));
        return brushes_.Get(back);
    }

    HBRUSH CtlColor(const Label& warning, HDC dc, HWND control) {
        if (control == warning_) {
            return Colourise(dc, warning.foreColor, kPageColour);
        }
        const Paint* paint = PaintOf(control);
        return paint ? Colourise(dc, paint->fore, paint->back) : nullptr;
    }

    // `topTw` is the frame's top edge; the frame and the buttons reach down to the page's bottom
    // margin.
    void CreateWarningArea(const Builder& b, int topTw, int warningId, int deselectId,
                           int applyId) {
        const ViewContext& v = b.v();
        warning_ = b.Make("STATIC", kWarningText, SS_LEFT | SS_NOPREFIX,
                          {kPageInnerLeft, topTw + 225, 3735, kPageBottom - topTw - 330}, warningId,
                          v.boldFont);
        deselect_ = b.Make("BUTTON", kDeselectCaption, BS_PUSHBUTTON | WS_TABSTOP,
                           {4095, topTw + 75, 1560, 375}, deselectId, v.font);
        apply_ = b.Make("BUTTON", kApplyCaption, BS_PUSHBUTTON | WS_TABSTOP,
                        {4095, topTw + 540, 1560, kPageBottom - topTw - 540}, applyId, v.font);
        SetPaint(b.GroupBox(kAttentionCaption, {0, topTw, 3975, kPageBottom - topTw},
                            v.boldUnderlineFont),
                 kRed, kPageColour);
        syncedWarning_.reset();
    }

    // While its page is out of sight (behind another tab, or the window hidden or minimised)
    // the blink draws nothing; the label catches up with the form when the page appears.
    void SyncWarning(const Label& label) {
        if (!warning_ || !IsOnScreen(GetParent(warning_))) {
            return;
        }
        if (!syncedWarning_ || syncedWarning_->caption != label.caption) {
            SetWindowTextA(warning_, label.caption.c_str());
        }
        if (syncedWarning_ && syncedWarning_->foreColor != label.foreColor) {
            InvalidateRect(warning_, nullptr, TRUE);
        }
        const bool shown = (GetWindowLongPtrA(warning_, GWL_STYLE) & WS_VISIBLE) != 0;
        if ((!syncedWarning_ || syncedWarning_->visible != label.visible) &&
            shown != label.visible) {
            if (label.visible) {
                ShowWarning();
            } else {
                HideWarning();
            }
        }
        syncedWarning_ = label;
    }

    // The blink changes nothing but the label's own pixels and its visible style. ShowWindow
    // goes through SetWindowPos (under Wine several times the cost of drawing the label), lets
    // a shown label wait for a WM_PAINT cycle of its own and, to hide it, makes the page and the
    // "ATTENTION:" frame under it repaint what it uncovers. WM_SETREDRAW sets or clears
    // WS_VISIBLE alone; the label then draws itself at once, or its area is blanked in the
    // page's colour. Each side still gets the WM_SHOWWINDOW that ShowWindow would send.
    void ShowWarning() {
        SendMessageA(warning_, WM_SHOWWINDOW, TRUE, 0);
        SendMessageA(warning_, WM_SETREDRAW, TRUE, 0);
        if (const ScopedDC dc{warning_}) {
            SendMessageA(warning_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                         PRF_CLIENT | PRF_ERASEBKGND);
        }
    }

    void HideWarning() {
        RECT rc;
        GetClientRect(warning_, &rc);
        if (const ScopedDC dc{warning_}) {
            FillRect(dc, &rc, brushes_.Get(kPageColour));
        }
        SendMessageA(warning_, WM_SHOWWINDOW, FALSE, 0);
        SendMessageA(warning_, WM_SETREDRAW, FALSE, 0);
    }

    // One tool tip control for the page; each tool asks the main window for its text when the
    // tip is about to show (through the page frame, which forwards the notification).
    static constexpr int kToolTipWidthTw = 7200;

    void CreateToolTips(HWND pageFrame, const ViewContext& v) {
        frame_ = pageFrame;
        tips_ =
            CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, pageFrame, nullptr, v.instance, nullptr);
        if (tips_) {
            SendMessageA(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kToolTipShowMs);
            // A width makes the tip keep the line breaks of a list's reasons, one rate a line.
            SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, TwipsX(v, kToolTipWidthTw));
        }
    }

    void AddTool(HWND tool) const {
        if (!tips_ || !tool) {
            return;
        }
        TOOLINFOA info{};
        // The first version of the structure: comctl32 of every age takes it.
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = frame_;
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }

    // A click on one of the two buttons, delegated to its handler.
    bool ButtonCommand(HWND control, int code, void (frmMainframe::*onDeselect)(),
                       void (frmMainframe::*onApply)(), frmMainframe& form) const {
        if (control != deselect_ && control != apply_) {
            return false;
        }
        if (code == BN_CLICKED) {
            (form.*(control == apply_ ? onApply : onDeselect))();
        }
        return true;
    }

    BrushCache brushes_;
    // Each control is painted once: a list searched from the front.
    std::vector<std::pair<HWND, Paint>> paints_;
    HWND frame_ = nullptr;
    HWND tips_ = nullptr;
    HWND warning_ = nullptr;
    HWND deselect_ = nullptr;
    HWND apply_ = nullptr;
    std::optional<Label> syncedWarning_;
};

// --- Compressed-format page -------------------------------------------------------------------

// Grid geometry in twips. The rate header is wider than the rate columns at every DPI, so it
// has two lines (tall enough for Tahoma's 17-pixel lines at 120 DPI); the rows are a little
// closer than one line and a rule apart to make room for it above the warning.
constexpr int kGridHeaderTop = 225;
constexpr int kGridHeaderHeight = 420;
constexpr int kGridRowTop = kGridHeaderTop + kGridHeaderHeight + kLineThickness;
constexpr int kGridRowPitch = 220;
constexpr int kGridRowHeight = kGridRowPitch - kLineThickness;
constexpr int kGridResolutionWidth = 975;  // "Res. (in Px):" at 144 DPI
constexpr int kGridDividerLeft = kPageInnerLeft + kGridResolutionWidth;
constexpr int kGridRatesLeft = kGridDividerLeft + kLineThickness;
constexpr int kGridRatesWidth = kPageInnerLeft + kPageInnerWidth - kGridRatesLeft;
constexpr int kGridOptionLeft = 60;
constexpr int kGridOptionWidth = 620;
constexpr int kGridBottom = kGridRowTop + static_cast<int>(kResolutionCount) * kGridRowPitch;
constexpr int kGridGroupHeight = kGridBottom + 120;
constexpr int kGridWarningTop = kGridGroupHeight + 75;

class CompressedPageView final : public SettingsPage {
  public:
    void Create(HWND pageFrame, const ViewContext& v) override {
        const Builder b(pageFrame, v);
        CreateToolTips(pageFrame, v);
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            const int top = kGridRowTop + static_cast<int>(row) * kGridRowPitch;
            const Colour back = RowColour(row, kCatalogue[row].common43Compressed);
            // Each row's own container makes its seven buttons one exclusive group.
            HWND panel = CreatePanel(pageFrame, v, kGridRatesLeft, top, kGridRatesWidth,
                                     kGridRowHeight, back);
            // The panel's height is rounded where the row lies on the page; its buttons take
            // that height rather than their own rounding of the row's.
            RECT inPanel;
            GetClientRect(panel, &inPanel);
            for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
                const std::size_t k = row * kCompressedRateCount + index;
                const DWORD style = BS_AUTORADIOBUTTON | (index == 0 ? WS_GROUP | WS_TABSTOP : 0);
                const int left = kGridOptionLeft + static_cast<int>(index) * kGridOptionWidth;
                RECT place = ToPixels(v, {left, 0, kGridOptionWidth, kGridRowHeight});
                place.bottom = inPanel.bottom;
                options_[k] =
                    CreateControl(v, {panel, "BUTTON", kRateCaptions[index], style, 0, place,
                                      kRateOptionIdBase + static_cast<int>(k), v.font});
                UseClassicLook(options_[k]);
                SetPaint(options_[k], RateCaptionColour(row, index), back);
                AddTool(options_[k]);
            }
            b.Line({kPageInnerLeft, top + kGridRowHeight, kPageInnerWidth, kLineThickness});
            SetPaint(
                b.Label(modes::ResolutionText(kCatalogue[row]).c_str(), SS_CENTER | SS_CENTERIMAGE,
                        {kPageInnerLeft, top, kGridResolutionWidth, kGridRowHeight}, v.font),
                kTextColour, back);
        }
        b.Line({kPageInnerLeft, kGridRowTop - kLineThickness, kPageInnerWidth, kLineThickness});
        b.Line({kGridDividerLeft, kGridHeaderTop, kLineThickness, kGridBottom - kGridHeaderTop});
        SetPaint(b.Label(kResolutionHeader, SS_LEFTNOWORDWRAP,
                         {kPageInnerLeft, kGridHeaderTop, kGridResolutionWidth, 210}, v.font),
                 kTextColour, kPageColour);
        SetPaint(b.Label(kRateHeader, SS_LEFT,
                         {kGridRatesLeft + kGridOptionLeft, kGridHeaderTop,
                          kGridRatesWidth - kGridOptionLeft, kGridHeaderHeight},
                         v.font),
                 kTextColour, kPageColour);
        CreateWarningArea(b, kGridWarningTop, kWarningId, kDeselectId, kApplyId);
        SetPaint(b.GroupBox(kGroupCaption, {0, 0, 5655, kGridGroupHeight}, v.boldUnderlineFont),
                 kTextColour, kPageColour);
        synced_.reset();
        marked_.fill(false);
    }

    bool OnCommand(frmMainframe& form, int id, int code, HWND control) override {
        if (ButtonCommand(control, code, &frmMainframe::cmdDeselect_Click,
                          &frmMainframe::cmdApply_Click, form)) {
            return true;
        }
        const int k = id - kRateOptionIdBase;
        if (k < 0 || k >= static_cast<int>(options_.size()) || options_[k] != control) {
            return false;
        }
        if (code == BN_CLICKED) {
            const std::size_t row = static_cast<std::size_t>(k) / kCompressedRateCount;
            const std::size_t index = static_cast<std::size_t>(k) % kCompressedRateCount;
            RecordRow(row);
            form.ClickRateOption(row, index);
        }
        return true;
    }

    HBRUSH OnCtlColor(const frmMainframe& form, HDC dc, HWND control) override {
        const int k = OptionIndex(control);
        const Paint* paint = PaintOf(control);
        if (k >= 0 && paint && !RuledOut(form, k).empty()) {
            return Colourise(dc, RuledOutColour(paint->back), paint->back);
        }
        return CtlColor(form.lblWarning, dc, control);
    }

    std::string ToolTip(const frmMainframe& form, HWND tool) const override {
        const int k = OptionIndex(tool);
        return k < 0 ? std::string() : RuledOut(form, k);
    }

    void Sync(const frmMainframe& form) override {
        for (std::size_t k = 0; k < options_.size(); ++k) {
            const bool marked = !RuledOut(form, static_cast<int>(k)).empty();
            if (marked != marked_[k]) {
                marked_[k] = marked;
                InvalidateRect(options_[k], nullptr, TRUE);
            }
        }
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            bool changed = false;
            for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
                const bool want = form.opt[row][index];
                if (synced_ && (*synced_)[row][index] == want) {
                    continue;
                }
                HWND button = options_[row * kCompressedRateCount + index];
                if (IsChecked(button) != want) {
                    SendMessageA(button, BM_SETCHECK, want ? BST_CHECKED : BST_UNCHECKED, 0);
                    changed = true;
                }
            }
            if (changed) {
                KeepOneTabStop(row);
            }
        }
        synced_ = form.opt;
        SyncWarning(form.lblWarning);
    }

  private:
    int OptionIndex(HWND control) const {
        const int k = GetDlgCtrlID(control) - kRateOptionIdBase;
        return control && k >= 0 && k < static_cast<int>(options_.size()) && options_[k] == control
                   ? k
                   : -1;
    }

    static const std::string& RuledOut(const frmMainframe& form, int k) {
        return form.monitor.OptionRuledOut(static_cast<std::size_t>(k) / kCompressedRateCount,
                                           static_cast<std::size_t>(k) % kCompressedRateCount);
    }

    static bool IsChecked(HWND button) {
        return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    // BM_SETCHECK gives a radio button WS_TABSTOP when it checks it and takes it away when it
    // clears it, so the row's tab stop is put back on the selected button, or on the first one
    // when nothing is selected: Tab reaches every row exactly once.
    void KeepOneTabStop(std::size_t row) {
        HWND* buttons = &options_[row * kCompressedRateCount];
        std::size_t stop = 0;
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            if (IsChecked(buttons[index])) {
                stop = index;
            }
        }
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            const LONG_PTR style = GetWindowLongPtrA(buttons[index], GWL_STYLE);
            const LONG_PTR wanted = index == stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
            if (wanted != style) {
                SetWindowLongPtrA(buttons[index], GWL_STYLE, wanted);
            }
        }
    }

    // A click has changed the row's buttons by itself: remember what they show now.
    void RecordRow(std::size_t row) {
        if (!synced_) {
            return;
        }
        for (std::size_t index = 0; index < kCompressedRateCount; ++index) {
            (*synced_)[row][index] = IsChecked(options_[row * kCompressedRateCount + index]);
        }
    }

    std::array<HWND, kResolutionCount * kCompressedRateCount> options_{};
    std::optional<modes::CompressedSelection> synced_;
    std::array<bool, kResolutionCount * kCompressedRateCount> marked_{};  // drawn grey
};

// --- Hexadecimal-format page ------------------------------------------------------------------

constexpr int kColumnWidth = 2640;
constexpr std::array<int, 2> kColumnLeft = {kPageInnerLeft, 2895};
constexpr int kColumnDividerLeft = 2820;
constexpr int kListTableTop = 255;
constexpr int kListHeaderTop = 285;
constexpr int kListRowTop = 510 + kLineThickness;
constexpr int kListRowPitch = 330;
// A row's band: its resolution left of the table's rule, its list on a panel of the band's
// colour right of it, so that the list lies in the band rather than on it.
constexpr int kListResolutionWidth = 975;  // "Res. (in Px):" at 144 DPI
constexpr int kListBandLeft = kListResolutionWidth + kLineThickness;
constexpr int kListLeft = kListBandLeft + 45;
constexpr int kListWidth = 1380;
constexpr int kListDropHeight = 3600;
constexpr int kListTableBottom =
    kListRowTop + static_cast<int>(modes::kHexLeftColumnRows) * kListRowPitch;
constexpr int kListGroupHeight = kListTableBottom + kLineThickness + 120;
constexpr int kListWarningTop = kListGroupHeight + 90;

class HexPageView final : public SettingsPage {
  public:
    void Create(HWND pageFrame, const ViewContext& v) override {
        const Builder b(pageFrame, v);
        CreateToolTips(pageFrame, v);
        const int itemHeight = TextHeight(pageFrame, v.font) + 2;
        // The lists first: the tab order follows the catalogue. They draw their items
        // themselves, so that the rates the monitor's limits rule out come out grey.
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            const auto [column, n] = Place(row);
            const int top = kListRowTop + static_cast<int>(n) * kListRowPitch;
            HWND band = CreatePanel(pageFrame, v, kColumnLeft[column] + kListBandLeft, top,
                                    kColumnWidth - kListBandLeft, kListRowPitch,
                                    RowColour(n, kCatalogue[row].common43Hex));
            HWND list = b.MakeIn(
                band, "COMBOBOX", "",
                CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                {kListLeft - kListBandLeft, 0, kListWidth, kListDropHeight},
                kRateListIdBase + static_cast<int>(row), v.font);
            for (const char* item : modes::kHexListItems) {
                SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            // An owner-drawn list does not size its items after its font.
            SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
            SendMessageA(list, CB_SETITEMHEIGHT, 0, itemHeight);
            CentreOnBand(list);
            AddTool(list);
            lists_[row] = list;
        }
        for (std::size_t column = 0; column < 2; ++column) {
            const int left = kColumnLeft[column];
            const int rows =
                static_cast<int>(column == 0 ? modes::kHexLeftColumnRows
                                             : kResolutionCount - modes::kHexLeftColumnRows);
            const int bottom = kListRowTop + rows * kListRowPitch;
            b.Line({left, kListTableTop, kColumnWidth, kLineThickness});
            b.Line({left, kListRowTop - kLineThickness, kColumnWidth, kLineThickness});
            b.Line({left, bottom, kColumnWidth, kLineThickness});
            b.Line({left + kListResolutionWidth, kListTableTop, kLineThickness,
                    bottom - kListTableTop});
            SetPaint(b.Label(kResolutionHeader, SS_LEFTNOWORDWRAP,
                             {left, kListHeaderTop, kListResolutionWidth, 210}, v.font),
                     kTextColour, kPageColour);
            SetPaint(
                b.Label(kListHeader, SS_LEFTNOWORDWRAP,
                        {left + kListLeft, kListHeaderTop, kColumnWidth - kListLeft, 210}, v.font),
                kTextColour, kPageColour);
        }
        b.Line({kColumnDividerLeft, kListTableTop, kLineThickness,
                kListTableBottom + kLineThickness - kListTableTop});
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            const auto [column, n] = Place(row);
            const int top = kListRowTop + static_cast<int>(n) * kListRowPitch;
            const Colour back = RowColour(n, kCatalogue[row].common43Hex);
            SetPaint(
                b.Label(modes::HexBandCaption(row).c_str(), SS_LEFT | SS_CENTERIMAGE,
                        {kColumnLeft[column], top, kListResolutionWidth, kListRowPitch}, v.font),
                kTextColour, back);
        }
        const int rightBottom =
            kListRowTop +
            static_cast<int>(kResolutionCount - modes::kHexLeftColumnRows) * kListRowPitch;
        // Wider than the column at every DPI: two lines.
        SetPaint(b.Label(kLegend, SS_LEFT, {kColumnLeft[1], rightBottom + 90, kColumnWidth, 420},
                         v.font),
                 kTextColour, kPageColour);
        CreateWarningArea(b, kListWarningTop, kWarning40Id, kDeselect40Id, kApply40Id);
        SetPaint(b.GroupBox(kGroupCaption, {0, 0, 5655, kListGroupHeight}, v.boldUnderlineFont),
                 kTextColour, kPageColour);
        synced_.reset();
        marked_ = {};
    }

    bool OnCommand(frmMainframe& form, int id, int code, HWND control) override {
        if (ButtonCommand(control, code, &frmMainframe::cmdDeselect40_Click,
                          &frmMainframe::cmdApply40_Click, form)) {
            return true;
        }
        const int row = id - kRateListIdBase;
        if (row < 0 || row >= static_cast<int>(lists_.size()) || lists_[row] != control) {
            return false;
        }
        if (code == CBN_SELCHANGE) {
            // CB_ERR (-1) is no item, as the form's kNoItem.
            const int item = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
            if (synced_) {
                (*synced_)[row] = item;
            }
            form.PickListItem(static_cast<std::size_t>(row), item);
        }
        return true;
    }

    HBRUSH OnCtlColor(const frmMainframe& form, HDC dc, HWND control) override {
        return CtlColor(form.lblWarning40, dc, control);
    }

    bool OnDrawItem(const frmMainframe& form, const DRAWITEMSTRUCT& d) override {
        const int row = ListRow(d.hwndItem);
        if (d.CtlType != ODT_COMBOBOX || row < 0) {
            return false;
        }
        const bool selected = (d.itemState & ODS_SELECTED) != 0;
        FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (d.itemID < modes::kHexListItems.size()) {
            const bool ruledOut =
                !form.monitor.ItemRuledOut(static_cast<std::size_t>(row), d.itemID).empty();
            const bool grey = ruledOut || (d.itemState & ODS_DISABLED) != 0;
            SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT
                                            : grey   ? COLOR_GRAYTEXT
                                                     : COLOR_WINDOWTEXT));
            SetBkMode(d.hDC, TRANSPARENT);
            RECT text = d.rcItem;
            text.left += 2;
            DrawTextA(d.hDC, modes::kHexListItems[d.itemID], -1, &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        if (d.itemState & ODS_FOCUS) {
            DrawFocusRect(d.hDC, &d.rcItem);
        }
        return true;
    }

    std::string ToolTip(const frmMainframe& form, HWND tool) const override {
        const int row = ListRow(tool);
        return row < 0 ? std::string() : form.monitor.ListToolTip(static_cast<std::size_t>(row));
    }

    void Sync(const frmMainframe& form) override {
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            bool changed = false;
            for (std::size_t item = 0; item < modes::kHexListItems.size(); ++item) {
                const bool marked = !form.monitor.ItemRuledOut(row, item).empty();
                changed = changed || marked != marked_[row][item];
                marked_[row][item] = marked;
            }
            if (changed) {
                InvalidateRect(lists_[row], nullptr, TRUE);
            }
        }
        for (std::size_t row = 0; row < kResolutionCount; ++row) {
            const int want = form.cmb[row];
            if (synced_ && (*synced_)[row] == want) {
                continue;
            }
            if (SendMessageA(lists_[row], CB_GETCURSEL, 0, 0) != want) {
                SendMessageA(lists_[row], CB_SETCURSEL, static_cast<WPARAM>(want), 0);
            }
        }
        synced_ = form.cmb;
        SyncWarning(form.lblWarning40);
    }

  private:
    struct Position {
        std::size_t column;
        std::size_t n;  // row within the column
    };

    int ListRow(HWND control) const {
        const int row = GetDlgCtrlID(control) - kRateListIdBase;
        return control && row >= 0 && row < static_cast<int>(lists_.size()) &&
                       lists_[row] == control
                   ? row
                   : -1;
    }

    static int TextHeight(HWND window, HFONT font) {
        const ScopedDC dc(window, font);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        return metrics.tmHeight;
    }

    static Position Place(std::size_t row) {
        return row < modes::kHexLeftColumnRows ? Position{0, row}
                                               : Position{1, row - modes::kHexLeftColumnRows};
    }

    // A drop-down list's height follows its font; centre it on its band once the font is set.
    static void CentreOnBand(HWND list) {
        RECT rc;
        RECT band;
        if (!list || !GetWindowRect(list, &rc) || !GetClientRect(GetParent(list), &band)) {
            return;
        }
        POINT origin{rc.left, rc.top};
        ScreenToClient(GetParent(list), &origin);
        const int top = (band.bottom - (rc.bottom - rc.top)) / 2;
        SetWindowPos(list, nullptr, origin.x, top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    std::array<HWND, kResolutionCount> lists_{};
    std::optional<modes::HexSelection> synced_;
    std::array<std::array<bool, modes::kHexRateCount + 1>, kResolutionCount> marked_{};
};

}  // namespace

std::unique_ptr<IPageView> MakeCompressedPageView() {
    return std::make_unique<CompressedPageView>();
}

std::unique_ptr<IPageView> MakeHexPageView() {
    return std::make_unique<HexPageView>();
}

}  // namespace quorvel::app::win32
