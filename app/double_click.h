#pragma once

#include <QObject>

#include <functional>

namespace app {

// Runs an action when the watched widget is double-clicked (an edit field standing for its button).
class DoubleClick final : public QObject {
public:
    DoubleClick(QObject *watched, std::function<void()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_action;
};

} // namespace app
