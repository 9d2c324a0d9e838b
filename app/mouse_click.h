#pragma once

#include <QObject>

#include <functional>

namespace app {

// Runs an action when the watched widget is clicked with the left button: pressed and released
// over it, as a picture or a link label takes a click.
class MouseClick final : public QObject {
public:
    MouseClick(QObject *watched, std::function<void()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_action;
};

} // namespace app
