#include "ui/mainwindow/LogList.h"

#include <QAbstractItemView>
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

void LogLineDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (const std::optional<QColor> colour = LogLineColour(index)) {
        option->palette.setColor(QPalette::Text, *colour);
        option->palette.setColor(QPalette::HighlightedText, *colour);
    }
    const auto* view = qobject_cast<const QAbstractItemView*>(option->widget);
    if (view != nullptr && !view->hasFocus()) option->state &= ~QStyle::State_Selected;
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
    const int w = list_.width() - 4;
    if (w < 0) return false;
    const int number = (2 * w) / 20 - 10;
    const int message = (10 * w) / 20 + 30;
    const int time = (5 * w) / 20 - 20;
    const int result = w - number - message - time;

    list_.setColumnCount(4);
    list_.setHeaderLabels(
        {QString(), QStringLiteral("log"), QStringLiteral("time"), QStringLiteral("result")});
    list_.header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int widths[] = {number, message, time, result};
    for (int column = 0; column < 4; ++column) {
        list_.header()->resizeSection(column, std::max(widths[column], 0));
    }
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
    item->setSelected(true);
    list_.scrollToItem(item);
}

void LogList::Clean() {
    list_.clear();
}
