// The System information page's layout arithmetic.
#include "app/SysInfoLayout.h"

#include <algorithm>
#include <initializer_list>

namespace quorvel::app {

namespace {

// The page's geometry in twips, inside its page frame (5655 x 6255).
constexpr int kPageHeightTw = 6255;
constexpr int kGroupLeftTw = 120;
constexpr int kGroupRightTw = kGroupLeftTw + 5415;
constexpr int kInnerLeftTw = kGroupLeftTw + 120;
constexpr int kInnerRightTw = kGroupRightTw - 120;
constexpr int kFirstGroupTopTw = 60;
constexpr int kPageBottomMarginTw = 60;
constexpr int kRowHeightTw = 225;
constexpr int kCaptionGapTw = 120;       // between a caption and its value
constexpr int kGroupCaptionLeftTw = 90;  // the group caption's offset from the frame's edge
constexpr int kGroupCaptionPadTw = 30;   // either side: keeps the frame's line off the text
constexpr int kOptionHeightTw = 255;

// The vertical spacing: roomy, tight for a page whose texts would not fit otherwise, and for the
// longest texts the tightest, its first rows just clear of the group captions.
struct Spacing {
    int firstRowTw;  // from a group's top edge to its first row
    int rowGapTw;    // between one row's text and the next row
    int groupBottomMarginTw;
    int groupGapTw;
};
constexpr Spacing kRoomy{315, 45, 135, 105};
constexpr Spacing kTight{255, 0, 90, 60};
constexpr Spacing kTightest{225, 0, 60, 45};

}  // namespace

int TwipsToPixels(int twips, int dpi) {
    // In 32 bits (a page is a few thousand twips): a 64-bit division would bring libgcc's along.
    const int product = twips * dpi;
    return static_cast<int>(product >= 0 ? (product + 720) / 1440 : -((720 - product) / 1440));
}

namespace {

SysInfoLayout LayOut(const SysInfoTexts& texts, int dpiX, int dpiY, const ITextMeasure& measure,
                     const Spacing& spacing) {
    const auto x = [dpiX](int twips) { return TwipsToPixels(twips, dpiX); };
    const auto y = [dpiY](int twips) { return TwipsToPixels(twips, dpiY); };
    const int innerLeft = x(kInnerLeftTw);
    const int innerRight = x(kInnerRightTw);
    const int rowHeight = y(kRowHeightTw);
    const int rowGap = y(spacing.rowGapTw);

    const auto frameAt = [&](int top, const std::string& caption) {
        SysInfoLayout::Group g;
        g.frame = Rect{x(kGroupLeftTw), top, x(kGroupRightTw), top};
        const TextSize size = measure.Measure(caption, true, 0);
        const int left = g.frame.left + x(kGroupCaptionLeftTw);
        g.caption =
            Rect{left, top, left + size.width + 2 * x(kGroupCaptionPadTw), top + size.height};
        return g;
    };

    SysInfoLayout layout;
    int top = y(kFirstGroupTopTw);
    for (const SysInfoTexts::Group& group : texts.groups) {
        SysInfoLayout::Group g = frameAt(top, group.caption);
        int column = innerLeft;
        for (const SysInfoTexts::Row& row : group.rows) {
            column = std::max(column, innerLeft + measure.Measure(row.caption, false, 0).width +
                                          x(kCaptionGapTw));
        }
        int rowTop = top + y(spacing.firstRowTw);
        for (const SysInfoTexts::Row& row : group.rows) {
            // A value without a caption has the group's whole width.
            const int left = row.caption.empty() ? innerLeft : column;
            const int valueHeight = measure.Measure(row.value, false, innerRight - left).height;
            const int height = row.shown ? std::max(rowHeight, valueHeight) : -rowGap;
            g.rows.push_back({Rect{innerLeft, rowTop, left, rowTop + std::max(height, 0)},
                              Rect{left, rowTop, innerRight, rowTop + std::max(height, 0)}});
            rowTop += height + rowGap;
        }
        g.frame.bottom = rowTop - rowGap + y(spacing.groupBottomMarginTw);
        layout.groups.push_back(g);
        top = g.frame.bottom + y(spacing.groupGapTw);
    }

    SysInfoLayout::Group& s = layout.summaryGroup;
    s = frameAt(top, texts.summaryCaption);
    s.frame.bottom = y(kPageHeightTw - kPageBottomMarginTw);
    const int width = innerRight - innerLeft;
    const int summaryTop = top + y(spacing.firstRowTw);
    layout.summary = Rect{innerLeft, summaryTop, innerRight,
                          summaryTop + measure.Measure(texts.summary, false, width).height};
    const int noteBottom = s.frame.bottom - y(spacing.groupBottomMarginTw);
    layout.note = Rect{innerLeft, noteBottom - measure.Measure(texts.note, true, width).height,
                       innerRight, noteBottom};
    const int optionTop = layout.summary.bottom + rowGap;
    const int middle = innerLeft + width / 2;
    layout.option40 = Rect{innerLeft, optionTop, middle, optionTop + y(kOptionHeightTw)};
    layout.option28 = Rect{middle, optionTop, innerRight, optionTop + y(kOptionHeightTw)};
    return layout;
}

}  // namespace

SysInfoLayout LayOutSysInfo(const SysInfoTexts& texts, int dpiX, int dpiY,
                            const ITextMeasure& measure) {
    SysInfoLayout layout;
    for (const Spacing* spacing : {&kRoomy, &kTight, &kTightest}) {
        layout = LayOut(texts, dpiX, dpiY, measure, *spacing);
        if ((texts.optionsShown ? layout.option40.bottom : layout.summary.bottom) <=
            layout.note.top) {
            break;
        }
    }
    return layout;
}

}  // namespace quorvel::app
