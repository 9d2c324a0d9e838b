// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace fileio {
class Failure;
}

namespace app {

// The default error box shows its text with a full stop when the last character sorts after ".".
std::string withFullStop(const std::string &text);

// The window's message boxes: the two an operation's failure ends in, and its questions. Each is a
// window-modal child of the owner window: it blocks that window only, stays above it, and shows
// its whole title. One is open at a time: the window starts nothing while isOpen().
class MessageBox {
public:
    enum class Kind {
        Report,      // ReportError: caption "Error", no icon
        ErrorBox,    // the default error box: the program's name, error icon
        Information, // what an operation stopped on request left: the program's name, information icon
        Question     // the program's name, question icon, Yes and No with No the default
    };
    enum class Answer { Yes, No };

    struct Shown {
        Kind kind;
        QString caption;
        QString text;
        QString details;
    };

    explicit MessageBox(QWidget *owner = nullptr) : m_owner(owner) {}

    // Which box a failure ends in: the operation's own ReportError, or the default box.
    static Kind kindOf(const fileio::Failure &failure);
    // Its text as that box shows it: the default box adds the full stop.
    static std::string boxText(const fileio::Failure &failure);

    // Shows the box the failure asks for and returns when it is closed. Non-empty `details` (see
    // failureDetails()) are offered behind "Show Details...".
    void show(const fileio::Failure &failure, const QString &details = {});
    void show(Kind kind, const QString &text, const QString &details = {});
    // Asks `text` and returns the answer; a box closed without one answers No.
    Answer ask(const QString &text);

    bool isOpen() const { return m_open; }
    // Closes the box that is open, as if without an answer (a question then answers No); false
    // when none was showing, also when its answer has just been given.
    bool closeOpenBox();

    // The boxes as they are shown, for inspection.
    static std::unique_ptr<QMessageBox> makeBox(Kind kind, const QString &text, const QString &details = {},
                                                QWidget *owner = nullptr);

    // Test hooks: boxes are recorded instead of shown, and questions take the queued answers (No
    // once the queue is empty).
    void setRecording(bool on) { m_recording = on; }
    void setNextAnswer(Answer answer) { m_answers.push_back(answer); }
    const std::vector<Shown> &recorded() const { return m_recorded; }
    void clearRecorded() { m_recorded.clear(); }

private:
    Answer run(Kind kind, const QString &text, const QString &details);

    QWidget *m_owner;
    bool m_open = false;
    QMessageBox *m_shown = nullptr; // while open
    bool m_recording = false;
    std::vector<Shown> m_recorded;
    std::deque<Answer> m_answers;
};

} // namespace app
