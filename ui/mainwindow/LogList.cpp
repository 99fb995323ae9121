#include "ui/mainwindow/LogList.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QTime>
#include <QTreeWidget>
#include <algorithm>

std::optional<QColor> LogLineColour(const QModelIndex& index) {
    if (!index.isValid() || index.parent().isValid()) return std::nullopt;
    const QAbstractItemModel* model = index.model();
    if (index.row() != model->rowCount() - 1) return std::nullopt;
    const QString result =
        model->index(index.row(), LogList::kResultColumn).data(Qt::DisplayRole).toString();
    return result == QLatin1String("ok") ? kLogOkColour : kLogFailedColour;
}

namespace {

void FitColumns(QTreeWidget& list, int width) {
    std::array<int, 4> widths = LogColumnWidths(width);
    // The header keeps every column at least this wide; the message column, the widest, gives
    // up what the others take beyond their share, so that the four still fill the width.
    const int least = list.header()->minimumSectionSize();
    int excess = 0;
    for (int& columnWidth : widths) {
        if (columnWidth < least) {
            excess += least - columnWidth;
            columnWidth = least;
        }
    }
    widths[LogList::kMessageColumn] = std::max(least, widths[LogList::kMessageColumn] - excess);
    for (int column = 0; column < 4; ++column) list.header()->resizeSection(column, widths[column]);
}

// Sizes the columns again whenever the list's viewport changes width.
class ColumnFit : public QObject {
public:
    explicit ColumnFit(QTreeWidget& list) : QObject(&list), list_(list) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) FitColumns(list_, list_.viewport()->width());
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeWidget& list_;
};

}  // namespace

std::array<int, 4> LogColumnWidths(int w) {
    const int number = (2 * w) / 20 - 10;
    const int message = (10 * w) / 20 + 30;
    const int time = (5 * w) / 20 - 20;
    return {number, message, time, w - number - message - time};
}

void LogLineDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (const std::optional<QColor> colour = LogLineColour(index)) {
        option->palette.setColor(QPalette::Text, *colour);
        option->palette.setColor(QPalette::HighlightedText, *colour);
    }
    option->state &= ~QStyle::State_Selected;
}

void LogLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Midlight));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}

bool LogList::SetUpColumns() {
    if (list_.width() - 4 < 0) return false;
    list_.setColumnCount(4);
    list_.setHeaderLabels(
        {QString(), QStringLiteral("log"), QStringLiteral("time"), QStringLiteral("result")});
    list_.header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Until the list is shown its viewport has not been laid out: it spans the list inside
    // its frame.
    FitColumns(list_, list_.contentsRect().width());
    list_.viewport()->installEventFilter(new ColumnFit(list_));
    list_.setSelectionMode(QAbstractItemView::NoSelection);
    list_.setSelectionBehavior(QAbstractItemView::SelectRows);
    list_.setItemDelegate(new LogLineDelegate(&list_));
    return true;
}

void LogList::AddLine(const std::string& message, const std::string& result) {
    const int n = list_.topLevelItemCount();
    const QStringList texts = {QString::number(n), QString::fromStdString(message),
                               QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                               QString::fromStdString(result)};
    auto* item = new QTreeWidgetItem(texts);
    // Cut-off texts show in full as a tip.
    for (int column = 0; column < texts.size(); ++column) item->setToolTip(column, texts[column]);
    list_.addTopLevelItem(item);
    list_.viewport()->update();
    list_.scrollToItem(item);
}

void LogList::Clean() {
    list_.clear();
}
