#include "app/NodeTree.h"

#include <QMouseEvent>

NodeTree::NodeTree(NodeClick nodeClick, QWidget* parent)
    : QTreeWidget(parent), m_nodeClick(std::move(nodeClick)) {
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item)
            return;
        if (m_buttonDown)
            m_changedWhileDown = true;
        else
            m_nodeClick(item);
    });
}

QTreeWidgetItem* NodeTree::nodeTextAt(const QPoint& point) const {
    QTreeWidgetItem* item = itemAt(point);
    return item && visualItemRect(item).contains(point) ? item : nullptr;
}

void NodeTree::mousePressEvent(QMouseEvent* event) {
    m_buttonDown = true;
    m_changedWhileDown = false;
    m_pressedOn = nodeTextAt(event->position().toPoint());
    QTreeWidget::mousePressEvent(event);
}

void NodeTree::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    m_buttonDown = false;
    QTreeWidgetItem* current = currentItem();
    const bool clickedAgain =
        current && m_pressedOn == current && nodeTextAt(event->position().toPoint()) == current;
    const bool run = current && (m_changedWhileDown || clickedAgain);
    m_changedWhileDown = false;
    m_pressedOn = nullptr;
    if (run)
        m_nodeClick(current);
}
