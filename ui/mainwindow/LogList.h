#pragma once

#include <QColor>
#include <QStyledItemDelegate>
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

// Draws the log's lines in their colours, with grid lines, and shows the selection only while
// the list has the focus, so that the newest line's colour stays visible.
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

    // Inserts the four columns, sized from the list's width; false when the list is narrower
    // than its border.
    bool SetUpColumns();
    // Appends a line numbered from 0, selects it and scrolls it into view.
    void AddLine(const std::string& message, const std::string& result);
    // Deletes every line; the next one is numbered 0 again.
    void Clean();

private:
    QTreeWidget& list_;
};
