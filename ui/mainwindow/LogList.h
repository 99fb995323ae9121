#pragma once

#include <QColor>
#include <QStyledItemDelegate>
#include <array>
#include <optional>
#include <string>

class QModelIndex;
class QTreeWidget;

// The colours of the log: only the newest line is coloured, green when its result is exactly
// "ok", red otherwise.
inline const QColor kLogOkColour(143, 190, 0);
inline const QColor kLogFailedColour(255, 0, 0);

// The text colour of the log line at `index`; empty for the default colour.
std::optional<QColor> LogLineColour(const QModelIndex& index);

// The widths of the four columns for a list whose lines are `w` pixels wide; they add up to `w`.
std::array<int, 4> LogColumnWidths(int w);

// Draws the log's lines in their colours, with grid lines. The log is a record, not a
// selection: no line is ever drawn selected, so the newest line keeps its colour.
class LogLineDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The log list of the main window: numbered lines of message, time of day and result.
class LogList {
public:
    static constexpr int kNumberColumn = 0;
    static constexpr int kMessageColumn = 1;
    static constexpr int kTimeColumn = 2;
    static constexpr int kResultColumn = 3;

    explicit LogList(QTreeWidget& list) : list_(list) {}

    // Inserts the four columns, sized to the width the list shows its lines in, again whenever
    // that changes (a vertical scroll bar appears), so that no horizontal scroll bar ever
    // covers the newest line; false when the list is narrower than its border.
    bool SetUpColumns();
    // Appends a line numbered from 0 and scrolls it into view.
    void AddLine(const std::string& message, const std::string& result);
    // Deletes every line; the next one is numbered 0 again.
    void Clean();

private:
    QTreeWidget& list_;
};
