#pragma once

#include <QTreeWidget>

#include <functional>

// The document-type tree. The node click runs once for every choice of a
// node and always for the node shown as current, however it was chosen: a
// click, a press on one node and a release on another, or the keys. A click
// on the current node runs it again.
class NodeTree : public QTreeWidget {
public:
    using NodeClick = std::function<void(QTreeWidgetItem*)>;
    explicit NodeTree(NodeClick nodeClick, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The node whose text (not its expand sign) lies under the point.
    QTreeWidgetItem* nodeTextAt(const QPoint& point) const;

    NodeClick m_nodeClick;
    bool m_buttonDown = false;
    // While a button is down the current node can still move; the click
    // waits for the release.
    bool m_changedWhileDown = false;
    QTreeWidgetItem* m_pressedOn = nullptr;
};
