// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace fileio {
class Failure;
}

namespace app {

// The default error box shows its text with a full stop when the last character sorts after ".".
std::string withFullStop(const std::string &text);

// The two boxes an operation's failure ends in.
class MessageBox {
public:
    enum class Kind {
        Report,  // ReportError: no owner, caption "Error", no icon; the window stays usable
        ErrorBox // the default error box: application-modal, the program's name, error icon
    };

    struct Shown {
        Kind kind;
        QString caption;
        QString text;
    };

    // Which box a failure ends in: the operation's own ReportError, or the default box.
    static Kind kindOf(const fileio::Failure &failure);
    // Its text as that box shows it: the default box adds the full stop.
    static std::string boxText(const fileio::Failure &failure);

    // Shows the box the failure asks for and returns when it is closed.
    void show(const fileio::Failure &failure);
    void show(Kind kind, const QString &text);

    // The boxes as they are shown, for inspection.
    static std::unique_ptr<QMessageBox> makeBox(Kind kind, const QString &text);

    // Test hook: boxes are recorded instead of shown.
    void setRecording(bool on) { m_recording = on; }
    const std::vector<Shown> &recorded() const { return m_recorded; }
    void clearRecorded() { m_recorded.clear(); }

private:
    bool m_recording = false;
    std::vector<Shown> m_recorded;
};

} // namespace app
