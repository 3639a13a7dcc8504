#pragma once

// The one fake drawing surface of the tests: it records every call the display makes, each
// stroke in the fore colour it was drawn in. Two surfaces show the same exactly when what they
// drew since their last clear agrees.

#include "lcd/cls_lcd.h"

#include <algorithm>
#include <ostream>
#include <vector>

class RecordingSurface : public DrawingSurface {
  public:
    struct Op {
        enum Kind { kClear, kLine, kBox } kind;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        OleColor color = 0;

        bool operator==(const Op& o) const {
            return kind == o.kind && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 &&
                   color == o.color;
        }
    };

    RecordingSurface(int innerWidth, int innerHeight) : width_(innerWidth), height_(innerHeight) {}

    int innerWidth() const override { return width_; }
    int innerHeight() const override { return height_; }
    // A clear has no fore colour; recording none keeps clears comparable.
    void clear() override { ops.push_back({Op::kClear, 0, 0, 0, 0, 0}); }
    void setBackColor(OleColor color) override { back = color; }
    void setForeColor(OleColor color) override { fore = color; }
    void line(int x1, int y1, int x2, int y2) override {
        ops.push_back({Op::kLine, x1, y1, x2, y2, fore});
    }
    void box(int x1, int y1, int x2, int y2) override {
        ops.push_back({Op::kBox, x1, y1, x2, y2, fore});
    }

    // What is on the surface now: everything after the last clear, that clear excluded.
    std::vector<Op> shown() const {
        const auto it = std::find_if(ops.rbegin(), ops.rend(),
                                     [](const Op& op) { return op.kind == Op::kClear; });
        return std::vector<Op>(it.base(), ops.end());
    }

    std::vector<Op> ops;
    OleColor back = 0xFFFFFF;
    OleColor fore = 0;

  private:
    int width_;
    int height_;
};

inline std::ostream& operator<<(std::ostream& os, const RecordingSurface::Op& op) {
    static const char* const kNames[] = {"clear", "line", "box"};
    os << kNames[op.kind];
    if (op.kind != RecordingSurface::Op::kClear) {
        os << "(" << op.x1 << "," << op.y1 << ")-(" << op.x2 << "," << op.y2 << ")";
    }
    return os << " #" << std::hex << op.color << std::dec;
}
