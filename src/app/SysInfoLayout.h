// Where the System information page's controls go: its twips geometry at the screen's DPI, with
// rows that grow where a value needs more lines than one and groups that follow their rows.
#pragma once

#include <string>
#include <vector>

namespace quorvel::app {

// Twips to pixels at `dpi` dots per inch, rounded to the nearest pixel (15 twips per pixel at
// 96 DPI); edges are converted rather than sizes, so that neighbours meet at any DPI.
int TwipsToPixels(int twips, int dpi);

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

struct TextSize {
    int width = 0;
    int height = 0;
};

// The sizes of the page's texts in its fonts, in pixels; the view measures them.
class ITextMeasure {
  public:
    virtual ~ITextMeasure() = default;
    // `text` in the regular font (or the bold one), broken at its line breaks and, when
    // `wrapWidth` is positive, wrapped at that many pixels.
    virtual TextSize Measure(const std::string& text, bool bold, int wrapWidth) const = 0;
};

struct SysInfoTexts {
    struct Row {
        std::string caption;
        std::string value;
        bool shown = true;  // a row not shown takes no room
    };
    struct Group {
        std::string caption;
        std::vector<Row> rows;
    };
    std::vector<Group> groups;  // the groups of captions and values, top to bottom
    std::string summaryCaption;
    std::string summary;
    std::string note;           // the support note at the summary group's bottom, in bold
    bool optionsShown = false;  // the generation option buttons under the summary
};

struct SysInfoLayout {
    struct Row {
        Rect caption;
        Rect value;
    };
    struct Group {
        Rect frame;
        Rect caption;  // lies across the frame's top edge
        std::vector<Row> rows;
    };
    std::vector<Group> groups;
    Group summaryGroup;  // without rows
    Rect summary;
    Rect option40;  // the generation option buttons, side by side under the summary
    Rect option28;
    Rect note;
};

// Each group's values stand in one column right of its widest caption, and a value without a
// caption across the group; a value wider than the room up to the group's inner edge wraps, and
// its row and everything below move down. A row not shown takes no room. When the summary (and
// the option buttons, when shown) would reach the note, the rows and groups close up, in two
// steps as far as needed. The summary group takes the rest of the page, its note at the bottom
// and the option buttons (shown only for the manual generation choice) right under the summary.
SysInfoLayout LayOutSysInfo(const SysInfoTexts& texts, int dpiX, int dpiY,
                            const ITextMeasure& measure);

}  // namespace quorvel::app
