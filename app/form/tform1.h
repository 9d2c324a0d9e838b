// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"
#include "app/boxes/file_dialog.h"
#include "app/boxes/message_box.h"
#include "app/progress/operation_runner.h"
#include "app/progress/progress_texts.h"
#include "qt_translation.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace fileio {
class Failure;
}

namespace ops {
struct CutRequest;
class Stopped;
} // namespace ops

namespace app {

class AdvertisingPanel;
class ListBox;
class ProgressBar;
class ProgressBarSink;
class SpinEdit;

// The controls of TForm1, by their numbered names.
struct TForm1Controls {
    QTabWidget *TabbedNotebook1, *TabbedNotebook2;
    ProgressBar *ProgressBar1;
    // Cut
    QRadioButton *RadioButton1, *RadioButton2;
    SpinEdit *SpinEdit1;
    QLineEdit *Edit1, *Edit5, *Edit6;
    QComboBox *ComboBox1, *ComboBox2;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3;
    QLabel *Label2;
    QPushButton *Button1, *Button2;
    // Unite
    ListBox *ListBox1;
    QLineEdit *Edit2;
    QPushButton *Button3, *Button4, *Button5, *Button6, *Button7, *Button8, *Button9;
    // Security
    QLabel *Label1, *Label8;
    QLineEdit *Edit3, *Edit4;
    QPushButton *Button10, *Button11, *Button12, *Button13, *Button14;
    // About
    QLabel *Image1, *Label4;
    QPlainTextEdit *Memo2;
    QCheckBox *CheckBox4;
    QRadioButton *RadioButton3, *RadioButton4;
};

// The unit box's items: "byte", "Kb" and "Mb", then the size presets (ops/size_preset.h).
inline constexpr int kSizeUnitItems = 3;

// The main window: reads its controls, runs the operations with their values and shows what they
// report.
class TForm1 final : public QWidget {
public:
    // Starts in `language`: the program gives the desktop's (desktopLanguage()).
    explicit TForm1(Language language = Language::Russian);
    ~TForm1() override;

    FileDialog &openDialog() { return m_openDialog; }
    MessageBox &messageBox() { return m_messageBox; }
    Language language() const;
    const QtTranslation &qtTranslation() const { return m_qtTranslation; }
    OperationRunner &runner() { return m_runner; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLayout();
    void bindControls();
    void buildAboutPage();
    void connectHandlers();
    // Connects an operation's button: it runs the operation, and stops it while it runs.
    void connectAction(QPushButton *button, void (TForm1::*handler)());
    void FormCreate();

    // Cut page
    void RadioButton1Click();
    void RadioButton2Click();
    void ComboBox1Change(const QString &text);
    void ComboBox1Select(int index);
    void CheckBox3Click();
    void Button1Click();
    void Button2Click();
    // Unite page
    void Button3Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button5Click();
    void Button6Click();
    void ListBox1MouseDown();
    void ListBox1MouseUp();
    void ListBox1Move(int by);
    void Button4Click();
    // Security page
    void Button10Click();
    void Button14Click();
    void Button11Click();
    void Button13Click();
    void Button12Click();
    // About page
    void CheckBox4Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void Label4Click();
    // Captions, spoken names and Qt's own texts in `language`.
    void switchLanguage(Language language);

    // Puts the single file chosen for `use` into `target`; Cancel leaves it alone. A non-empty
    // `folder` is where the dialog opens, with an empty name.
    void chooseInto(QLineEdit &target, DialogUse use, FileDialog::Selection selection, const QString &folder = {});
    void appendFiles(const QStringList &files);
    // Runs an operation with the window busy, `button` reading "Stop" meanwhile, then shows what
    // it made or the failure it ended in. `counts` says which units count as made.
    void runOperation(QPushButton &button, Finished what, const OperationRunner::Operation &operation,
                      ProgressRelay::Counts counts = {});
    // Asks before a Cut replaces files; false when it may not run.
    bool mayReplace(ops::CutRequest &request);
    // Asks before a Cut deletes a source whose parts left out exist nowhere else.
    bool mayLoseLeftOut(ops::CutRequest &request);
    // What a stopped operation left, in the interface language.
    QString stoppedText(const ops::Stopped &stopped);
    void showFailure(const std::exception_ptr &ended);
    static bool isStop(const std::exception_ptr &ended);
    // What the failure's box offers behind "Show Details...".
    QString detailsOf(const fileio::Failure &failure);

    TForm1Controls m_ui{};
    FileDialog m_openDialog;
    MessageBox m_messageBox{this}; // boxes are children of the window
    QtTranslation m_qtTranslation;
    std::unique_ptr<ProgressBarSink> m_progress;
    OperationRunner m_runner;
    bool m_closeWhenStopped = false;           // the user asked to close while an operation ran
    QString m_confirmedOutput;                 // the Unite output the save dialog gave, asking first
    bool m_askingToClose = false;              // that question is open
    bool m_closeQuestionOutlived = false;      // the operation ended while it was
    AdvertisingPanel *m_advertising = nullptr; // belongs to its page
    int m_rememberedIndex = 0;                 // the drag-to-swap gesture's item
};

} // namespace app
