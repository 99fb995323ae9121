#pragma once

#include <string>
#include <vector>

#include "common/MessageBox.h"

struct ShownBox {
    std::string text;
    std::string caption;
    BoxIcon icon;
};

// Keeps the boxes a load shows, for a report that prints them afterwards.
class RecordedBoxes : public IMessageBox {
public:
    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override {
        boxes.push_back(ShownBox{text, caption, icon});
        return buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::No;
    }

    std::vector<ShownBox> boxes;
};
