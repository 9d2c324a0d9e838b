// SPDX-License-Identifier: GPL-3.0-or-later
// The key filter of the number fields, key by key.
#include "app/controls/character_filter.h"

#include <QKeyEvent>
#include <QTest>

class CharacterFilterTest : public QObject {
    Q_OBJECT
private slots:
    void passes_data();
    void passes();
};

void CharacterFilterTest::passes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pass");
    const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    QTest::newRow("digit") << int(Qt::Key_7) << none << "7" << true;
    QTest::newRow("space") << int(Qt::Key_Space) << none << " " << true;
    QTest::newRow("dash") << int(Qt::Key_Minus) << none << "-" << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << "\b" << true;
    QTest::newRow("letter") << int(Qt::Key_A) << none << "a" << false;
    QTest::newRow("comma") << int(Qt::Key_Comma) << none << "," << false;
    QTest::newRow("enter") << int(Qt::Key_Return) << none << "\r" << false;
    QTest::newRow("ctrl+v as control character") << int(Qt::Key_V) << ctrl << "\x16" << false;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << ctrl << "\x03" << false;
    QTest::newRow("ctrl+a") << int(Qt::Key_A) << ctrl << "\x01" << false;
    QTest::newRow("shift+insert pastes") << int(Qt::Key_Insert) << shift << "" << false;
    QTest::newRow("arrow types nothing") << int(Qt::Key_Left) << none << "" << true;
    QTest::newRow("ctrl+arrow") << int(Qt::Key_Left) << ctrl << "" << true;
    QTest::newRow("delete key") << int(Qt::Key_Delete) << none << "" << true;
    QTest::newRow("delete as X11 sends it") << int(Qt::Key_Delete) << none << "\x7f" << true;
    QTest::newRow("shift+delete cuts") << int(Qt::Key_Delete) << shift << "\x7f" << false;
    QTest::newRow("home") << int(Qt::Key_Home) << shift << "" << true;
    QTest::newRow("tab moves the focus") << int(Qt::Key_Tab) << none << "\t" << true;
}

void CharacterFilterTest::passes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, pass);
    app::CharacterFilter filter(app::kSkipListCharacters, nullptr);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(filter.passes(event), pass);
}

QTEST_MAIN(CharacterFilterTest)
#include "test_character_filter.moc"
