// SPDX-License-Identifier: GPL-3.0-or-later
#include "tform1.h"

#include "accessibility.h"
#include "app/panel/advertising_panel.h"
#include "app/progress/busy_guard.h"
#include "app/controls/character_filter.h"
#include "app/controls/click_filter.h"
#include "app/boxes/failure_details.h"
#include "app/controls/file_drop.h"
#include "app/panel/links.h"
#include "app/controls/list_box.h"
#include "natural_order.h"
#include "app/progress/progress_bar.h"
#include "app/progress/progress_bar_sink.h"
#include "app/controls/spin_edit.h"
#include "time_of_day.h"
#include "app/panel/url_opener.h"
#include "window_texts.h"

#include "fileio/atomic_output.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "ops/codify.h"
#include "ops/cut.h"
#include "ops/erase.h"
#include "ops/report_error.h"
#include "ops/size_preset.h"
#include "ops/skip_list.h"
#include "ops/split_plan.h"
#include "ops/unite.h"
#include "partset/cut_set.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTabWidget>
#include <QTime>
#include <QWindow>

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace app {

namespace {

// File names go to the operations as the bytes the system holds.
std::string fileName(const QString &text)
{
    return QFile::encodeName(text).toStdString();
}

std::string plain(const QString &text)
{
    return text.toStdString();
}

// A list item's path is its text and its hint: the list elides a long text, the hint shows it whole.
void setPath(QListWidgetItem &item, const QString &path)
{
    item.setText(path);
    item.setToolTip(path);
}

} // namespace

TForm1::TForm1(Language language)
{
    buildLayout();
    if (language == Language::English) {
        // The layout's captions are Russian. The title stays the layout's own: only a switch of
        // language has ever set the other.
        m_ui.RadioButton4->setChecked(true);
        applyCaptions(*this, language);
        const ControlRow &window = controlTable().front();
        setCaption(*this, window, window.startupCaption());
    }
    applyAccessibleNames(*this, language);
    m_qtTranslation.apply(language);
    m_progress = std::make_unique<ProgressBarSink>(*m_ui.ProgressBar1);
    // The close question, if open, has nothing left to ask once the operation has ended.
    m_runner.setOnEnded([this] {
        if (m_askingToClose && m_messageBox.closeOpenBox())
            m_closeQuestionOutlived = true;
    });
    connectHandlers();
    FormCreate();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() = default;

Language TForm1::language() const
{
    return m_ui.RadioButton4->isChecked() ? Language::English : Language::Russian;
}

void TForm1::connectHandlers()
{
    auto &ui = m_ui;
    connect(ui.RadioButton1, &QRadioButton::clicked, this, &TForm1::RadioButton1Click);
    connect(ui.RadioButton2, &QRadioButton::clicked, this, &TForm1::RadioButton2Click);
    connect(ui.ComboBox1, &QComboBox::editTextChanged, this, &TForm1::ComboBox1Change);
    connect(ui.ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Select);
    connect(ui.CheckBox3, &QCheckBox::toggled, this, &TForm1::CheckBox3Click);
    ui.Edit1->installEventFilter(new CharacterFilter(kDigits, ui.Edit1));
    ui.Edit6->installEventFilter(new CharacterFilter(kSkipListCharacters, ui.Edit6));
    connect(ui.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    new ClickFilter(ui.Edit5, ClickFilter::Gesture::DoubleClick, [this] { Button1Click(); });
    connectAction(ui.Button2, &TForm1::Button2Click);

    connect(ui.Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui.ListBox1, &ListBox::doubleClicked, this, &TForm1::Button3Click);
    connect(ui.Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(ui.Button8, &QPushButton::clicked, this, &TForm1::Button8Click);
    connect(ui.Button9, &QPushButton::clicked, this, &TForm1::Button9Click);
    connect(ui.Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(ui.Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    new ClickFilter(ui.Edit2, ClickFilter::Gesture::DoubleClick, [this] { Button6Click(); });
    connect(ui.ListBox1, &ListBox::mouseDown, this, &TForm1::ListBox1MouseDown);
    connect(ui.ListBox1, &ListBox::mouseUp, this, &TForm1::ListBox1MouseUp);
    connect(ui.ListBox1, &ListBox::deletePressed, this, &TForm1::Button7Click);
    connect(ui.ListBox1, &ListBox::movePressed, this, &TForm1::ListBox1Move);
    connectAction(ui.Button4, &TForm1::Button4Click);

    connect(ui.Button10, &QPushButton::clicked, this, &TForm1::Button10Click);
    new ClickFilter(ui.Edit3, ClickFilter::Gesture::DoubleClick, [this] { Button10Click(); });
    connect(ui.Button14, &QPushButton::clicked, this, &TForm1::Button14Click);
    new ClickFilter(ui.Edit4, ClickFilter::Gesture::DoubleClick, [this] { Button14Click(); });
    connectAction(ui.Button11, &TForm1::Button11Click);
    connectAction(ui.Button13, &TForm1::Button13Click);
    connectAction(ui.Button12, &TForm1::Button12Click);

    connect(ui.CheckBox4, &QCheckBox::toggled, this, &TForm1::CheckBox4Click);
    // toggled(true) only: clicking the language already shown does nothing.
    connect(ui.RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton3Click();
    });
    connect(ui.RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton4Click();
    });
    new ClickFilter(ui.Label4, ClickFilter::Gesture::Click, [this] { Label4Click(); });

    // Files dropped from a file manager count as chosen in the dialog.
    for (QLineEdit *edit : {ui.Edit5, ui.Edit2, ui.Edit3, ui.Edit4}) {
        new FileDrop(edit, [this, edit](const QStringList &files) {
            m_openDialog.adopt({files.first()});
            edit->setText(files.first());
        });
    }
    new FileDrop(ui.ListBox1->viewport(), [this](const QStringList &files) {
        m_openDialog.adopt(files);
        appendFiles(files);
    });
    // The filtered fields take no dropped text, as they take no pasted keys.
    ui.Edit1->setAcceptDrops(false);
    ui.Edit6->setAcceptDrops(false);
}

void TForm1::connectAction(QPushButton *button, void (TForm1::*handler)())
{
    connect(button, &QPushButton::clicked, this, [this, handler] {
        // Also while the guard flushes what came meanwhile: nothing starts then.
        if (BusyGuard::active())
            m_runner.requestStop();
        else
            (this->*handler)();
    });
}

void TForm1::FormCreate()
{
    const QString time = timeOfDayText(QTime::currentTime());
    m_ui.ComboBox2->addItem(QLatin1Char('(') + time + QLatin1Char(')'));
    m_ui.ComboBox2->setCurrentIndex(-1);
    m_ui.ComboBox2->setEditText(QString());
    m_advertising->loadPage();
}

// Closing while an operation runs asks first; yes stops it, and the window closes once it has.
// An operation that ends while the question is open closes it, and the window closes as asked.
void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_runner.running()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (m_askingToClose || m_messageBox.isOpen())
        return;
    bool yes = m_runner.hasEnded(); // nothing left to ask
    if (!yes) {
        const QScopedValueRollback asking(m_askingToClose, true);
        m_closeQuestionOutlived = false;
        yes =
            m_messageBox.ask(closeWhileBusyQuestion(language())) == MessageBox::Answer::Yes || m_closeQuestionOutlived;
    }
    if (yes) {
        m_closeWhenStopped = true;
        m_runner.requestStop();
    }
}

// Enter presses the Cut and Unite pages' own buttons, or the button that has the focus there; on
// the Security page it presses nothing, so that no scrambling or erasing starts by accident.
void TForm1::keyPressEvent(QKeyEvent *event)
{
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QWidget *page = m_ui.TabbedNotebook2->currentWidget();
    QWidget *focused = focusWidget();
    const bool onPage = focused && (page->isAncestorOf(focused) || focused == m_ui.TabbedNotebook2->tabBar());
    if (!enter || !onPage) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->isAutoRepeat())
        return;
    QPushButton *button = qobject_cast<QPushButton *>(focused);
    if (!button || !page->isAncestorOf(button))
        button = page == m_ui.Button2->parentWidget() ? m_ui.Button2
            : page == m_ui.Button4->parentWidget()    ? m_ui.Button4
                                                      : nullptr;
    if (button && page != m_ui.Button12->parentWidget())
        button->click();
}

// Cut page

void TForm1::RadioButton1Click()
{
    m_ui.Edit1->setEnabled(false);
    m_ui.ComboBox1->setEnabled(false);
    m_ui.SpinEdit1->setEnabled(true);
}

void TForm1::RadioButton2Click()
{
    m_ui.Edit1->setEnabled(true);
    m_ui.ComboBox1->setEnabled(true);
    m_ui.SpinEdit1->setEnabled(false);
}

void TForm1::ComboBox1Change(const QString &text)
{
    if (!ops::unitNamed(plain(text)))
        m_ui.ComboBox1->setEditText(QString::fromLatin1(ops::unitText(ops::SizeUnit::Byte)));
}

// The unit box lists the size presets after its units: choosing one writes its bytes into the
// size field, and the unit, which its name is none of, reads "byte".
void TForm1::ComboBox1Select(int index)
{
    const std::span<const ops::SizePreset> presets = ops::sizePresets();
    const auto preset = static_cast<std::size_t>(index - kSizeUnitItems);
    if (index < kSizeUnitItems || preset >= presets.size())
        return;
    m_ui.Edit1->setText(QString::number(presets[preset].bytes));
    m_ui.ComboBox1->setEditText(QString::fromLatin1(ops::unitText(ops::SizeUnit::Byte)));
}

void TForm1::CheckBox3Click()
{
    m_ui.ComboBox2->setEnabled(m_ui.CheckBox3->isChecked());
}

void TForm1::Button1Click()
{
    chooseInto(*m_ui.Edit5, DialogUse::OpenFile, FileDialog::Selection::One);
}

void TForm1::Button2Click()
{
    auto &ui = m_ui;
    ops::CutPage page;
    page.source = fileName(ui.Edit5->text());
    page.skipText = plain(ui.Edit6->text());
    page.mode.bySize = ui.RadioButton2->isChecked();
    page.mode.sizeText = plain(ui.Edit1->text());
    page.mode.unitText = plain(ui.ComboBox1->currentText());
    page.mode.count = ui.SpinEdit1->valueOfText();
    page.markerOn = ui.CheckBox3->isChecked();
    page.marker = fileName(ui.ComboBox2->currentText());
    page.writePartList = ui.CheckBox1->isChecked();
    page.deleteSource = ui.CheckBox2->isChecked();
    if (m_messageBox.isOpen() || m_runner.running())
        return;
    ops::CutRequest request;
    try {
        request = ops::fromCutPage(page);
    } catch (const fileio::Failure &) {
        showFailure(std::current_exception());
        return;
    }
    if (!mayReplace(request) || !mayLoseLeftOut(request))
        return;
    // A source that could not be removed goes unreported, as designed.
    // The parts left out are not told as made.
    const ops::SkipList skipped = request.onlyListed ? ops::SkipList() : request.skip;
    runOperation(
        *ui.Button2, Finished::Cut,
        [&](ops::ProgressSink &progress) { static_cast<void>(partset::cutSet(request, progress)); },
        [&skipped](std::int64_t part) { return !skipped.contains(part); });
}

// Unite page

void TForm1::Button3Click()
{
    const QStringList files = m_openDialog.choose(this, dialogTitle(DialogUse::OpenFiles, language()),
                                                  FileDialog::Selection::Several, dialogFilter(language()));
    appendFiles(files);
}

void TForm1::appendFiles(const QStringList &files)
{
    for (const QString &file : files)
        setPath(*new QListWidgetItem(m_ui.ListBox1), file);
}

void TForm1::Button7Click()
{
    const int row = m_ui.ListBox1->currentRow();
    if (row >= 0 && m_ui.ListBox1->currentItem()->isSelected())
        delete m_ui.ListBox1->takeItem(row);
}

void TForm1::Button8Click()
{
    m_ui.ListBox1->clear();
}

void TForm1::Button9Click()
{
    // Once: the list is not kept sorted, so later additions go to its end. The chosen file stays
    // chosen wherever it lands.
    ListBox &list = *m_ui.ListBox1;
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    const QCollator collator = naturalOrder(language());
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(texts[a], texts[b]) < 0; });
    const int chosen = list.currentRow();
    const bool selected = chosen >= 0 && list.currentItem()->isSelected();
    for (int i = 0; i < list.count(); ++i)
        setPath(*list.item(i), texts[order[i]]);
    if (chosen >= 0) {
        const int row = int(std::find(order.begin(), order.end(), chosen) - order.begin());
        list.setCurrentRow(row, selected ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate);
    }
}

void TForm1::Button5Click()
{
    m_ui.Edit2->setText(QStringLiteral("*.*"));
    m_ui.ListBox1->clear();
}

void TForm1::Button6Click()
{
    // Beside the parts, with no name filled in: the file chosen last is an input or the key, and
    // confirming it would make it the output.
    const QListWidgetItem *first = m_ui.ListBox1->item(0);
    const QString folder = first ? QFileInfo(first->text()).absolutePath() : QDir::currentPath();
    chooseInto(*m_ui.Edit2, DialogUse::SaveFile, FileDialog::Selection::AnyName, folder);
    // The save dialog asked before it gave a name of a file that exists: Unite asks no more.
    m_confirmedOutput = m_ui.Edit2->text();
}

void TForm1::ListBox1MouseDown()
{
    const ListBox &list = *m_ui.ListBox1;
    if (list.count() >= 2 && list.currentRow() >= 0 && list.currentItem()->isSelected())
        m_rememberedIndex = list.currentRow();
}

void TForm1::ListBox1MouseUp()
{
    ListBox &list = *m_ui.ListBox1;
    const int selected = list.currentRow();
    if (list.count() < 2 || selected < 0 || !list.currentItem()->isSelected())
        return;
    // Items removed since the press may have taken the remembered one away.
    if (m_rememberedIndex >= list.count() || m_rememberedIndex == selected)
        return;
    const QString remembered = list.item(m_rememberedIndex)->text();
    setPath(*list.item(m_rememberedIndex), list.item(selected)->text());
    setPath(*list.item(selected), remembered);
}

// The keyboard's way to change the join order: the chosen file changes places with its neighbour
// and stays chosen.
void TForm1::ListBox1Move(int by)
{
    ListBox &list = *m_ui.ListBox1;
    const int row = list.currentRow();
    const int to = row + by;
    if (row < 0 || !list.currentItem()->isSelected() || to < 0 || to >= list.count())
        return;
    const QString moved = list.item(row)->text();
    setPath(*list.item(row), list.item(to)->text());
    setPath(*list.item(to), moved);
    list.setCurrentRow(to);
}

void TForm1::Button4Click()
{
    std::vector<std::string> inputs;
    for (int i = 0; i < m_ui.ListBox1->count(); ++i)
        inputs.push_back(fileName(m_ui.ListBox1->item(i)->text()));
    const std::string output = fileName(m_ui.Edit2->text());
    // However the name came (typed, dropped, chosen), an existing file is replaced only when the
    // user said so; one that appears meanwhile is refused.
    auto existing = fileio::AtomicOutput::Existing::Refuse;
    if (fileio::fileExists(output) && !inputs.empty() && !m_messageBox.isOpen()) {
        if (m_ui.Edit2->text() != m_confirmedOutput
            && m_messageBox.ask(replaceOutputQuestion(m_ui.Edit2->text(), language())) != MessageBox::Answer::Yes)
            return;
        existing = fileio::AtomicOutput::Existing::Replace;
    }
    runOperation(*m_ui.Button4, Finished::Unite,
                 [&](ops::ProgressSink &progress) { ops::Unite(inputs, output, progress, nullptr, {}, existing); });
}

// Security page

void TForm1::Button10Click()
{
    chooseInto(*m_ui.Edit3, DialogUse::OpenFile, FileDialog::Selection::One);
}

void TForm1::Button14Click()
{
    chooseInto(*m_ui.Edit4, DialogUse::OpenFile, FileDialog::Selection::One);
}

void TForm1::Button11Click()
{
    const std::string data = fileName(m_ui.Edit3->text());
    const std::string key = fileName(m_ui.Edit4->text());
    runOperation(*m_ui.Button11, Finished::Encipher,
                 [&](ops::ProgressSink &progress) { ops::Codify(data, key, ops::CodifyDirection::Add, progress); });
}

void TForm1::Button13Click()
{
    const std::string data = fileName(m_ui.Edit3->text());
    const std::string key = fileName(m_ui.Edit4->text());
    runOperation(*m_ui.Button13, Finished::Decipher, [&](ops::ProgressSink &progress) {
        ops::Codify(data, key, ops::CodifyDirection::Subtract, progress);
    });
}

void TForm1::Button12Click()
{
    const std::string path = fileName(m_ui.Edit3->text());
    // Nothing undoes it: the user says yes first. A name that is no file is Erase's to report.
    if (fileio::fileExists(path) && !m_messageBox.isOpen()
        && m_messageBox.ask(eraseQuestion(m_ui.Edit3->text(), language())) != MessageBox::Answer::Yes)
        return;
    // A removal that fails goes unreported, as designed.
    runOperation(*m_ui.Button12, Finished::Erase,
                 [&](ops::ProgressSink &progress) { static_cast<void>(ops::Erase(path, progress)); });
}

// About page

void TForm1::CheckBox4Click()
{
    // Told to the window as it is: setWindowFlag() would hide it and make it anew, and the new
    // window came back without the keyboard's focus, and a screen reader's pointing at the old.
    const Qt::WindowFlags flags = windowFlags().setFlag(Qt::WindowStaysOnTopHint, m_ui.CheckBox4->isChecked());
    overrideWindowFlags(flags);
    if (QWindow *window = windowHandle())
        window->setFlags(flags);
}

void TForm1::RadioButton3Click()
{
    switchLanguage(Language::Russian);
}

void TForm1::RadioButton4Click()
{
    switchLanguage(Language::English);
}

void TForm1::switchLanguage(Language language)
{
    applyCaptions(*this, language);
    applyAccessibleNames(*this, language);
    m_qtTranslation.apply(language);
}

void TForm1::Label4Click()
{
    OpenUrl(links::sponsorPage());
}

// Shared

void TForm1::chooseInto(QLineEdit &target, DialogUse use, FileDialog::Selection selection, const QString &folder)
{
    const QStringList files =
        m_openDialog.choose(this, dialogTitle(use, language()), selection, dialogFilter(language()), folder);
    if (!files.isEmpty())
        target.setText(files.first());
}

// Files of the names a Cut writes that are there already are replaced only when the user says so,
// asked once for all of them.
bool TForm1::mayReplace(ops::CutRequest &request)
{
    const std::vector<std::string> existing = partset::existingSetOutputs(request);
    if (existing.empty() || m_messageBox.isOpen())
        return existing.empty();
    QStringList files;
    for (const std::string &file : existing)
        files << QFile::decodeName(QByteArray::fromStdString(file));
    request.replaceExisting = m_messageBox.ask(replaceQuestion(files, language())) == MessageBox::Answer::Yes;
    return request.replaceExisting;
}

// Deleting the source of a Cut that leaves parts out loses their bytes: the user says yes first.
bool TForm1::mayLoseLeftOut(ops::CutRequest &request)
{
    if (!request.deleteSource || m_messageBox.isOpen())
        return true;
    const std::optional<ops::CutPreview> preview = ops::previewCut(request);
    if (!preview || preview->leftOut.empty())
        return true;
    const QList<qint64> leftOut(preview->leftOut.begin(), preview->leftOut.end());
    const qint64 count = preview->partCount - preview->partsMade;
    const QString question = leftOutQuestion(m_ui.Edit5->text(), leftOut, count, language());
    request.deleteLeavingPartsOut = m_messageBox.ask(question) == MessageBox::Answer::Yes;
    return request.deleteLeavingPartsOut;
}

void TForm1::runOperation(QPushButton &button, Finished what, const OperationRunner::Operation &operation,
                          ProgressRelay::Counts counts)
{
    if (m_messageBox.isOpen() || m_runner.running())
        return; // one at a time: nothing starts behind a box or beside another operation
    ProgressBar &bar = *m_ui.ProgressBar1;
    const Language shown = language();
    const auto watch = [&](const ProgressRelay::State &state, double seconds) {
        const double share = state.share();
        bar.setText(runningText(share, secondsLeft(share, seconds), shown));
    };
    OperationRunner::Outcome outcome;
    {
        BusyGuard busy(*m_ui.TabbedNotebook2, [this] { m_runner.requestStop(); }, {&button, stopCaption(shown)});
        outcome = m_runner.run(operation, *m_progress, watch, std::move(counts));
    }
    bar.setText(QString());
    if (std::exchange(m_closeWhenStopped, false)) {
        // An operation that failed by itself meanwhile still says so before the window goes.
        if (outcome.failure && !isStop(outcome.failure))
            showFailure(outcome.failure);
        close();
        return;
    }
    if (outcome.failure) {
        showFailure(outcome.failure);
        return;
    }
    // Codify and Erase count bytes.
    const bool inBytes = what != Finished::Cut && what != Finished::Unite;
    const std::int64_t bytes = inBytes ? outcome.made.units : outcome.made.bytes;
    bar.setTextUntilInput(finishedText(what, outcome.made.units, bytes, outcome.seconds, shown));
}

bool TForm1::isStop(const std::exception_ptr &ended)
{
    try {
        std::rethrow_exception(ended);
    } catch (const ops::Stopped &) {
        return true;
    } catch (...) {
        return false;
    }
}

void TForm1::showFailure(const std::exception_ptr &ended)
{
    try {
        std::rethrow_exception(ended);
    } catch (const ops::Stopped &stopped) {
        m_messageBox.show(MessageBox::Kind::Information, stoppedText(stopped));
    } catch (const fileio::Failure &failure) {
        m_messageBox.show(failure, detailsOf(failure));
    } catch (const std::exception &unforeseen) {
        // Anything else an operation lets through still ends in the default box.
        m_messageBox.show(fileio::Failure(unforeseen.what()));
    }
}

QString TForm1::stoppedText(const ops::Stopped &stopped)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(stopped.path()));
    switch (stopped.left()) {
    case ops::Stopped::Left::PartlyErased:
        return partlyErasedNote(file, stopped.bytes(), language());
    case ops::Stopped::Left::SourceKept:
        return sourceKeptNote(file, language());
    case ops::Stopped::Left::AsItWas:
    case ops::Stopped::Left::PartlyWritten: // a join onto a stream, which the window never makes
        break;
    }
    return stoppedNote(language());
}

QString TForm1::detailsOf(const fileio::Failure &failure)
{
    return failureDetails(failure.path(), failure.sysErrno(), failure.why(), language());
}

} // namespace app
