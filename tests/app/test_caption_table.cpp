// The caption table as data: it names real controls, and each language column is complete.
#include "app/caption_table.h"
#include "app/tform1.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTabWidget>
#include <QTest>

class CaptionTableTest : public QObject {
    Q_OBJECT
private slots:
    void everyRowNamesAControlWithACaption();
    void rowsAreUniqueAndRussianComesFirst();
    void fileNameFieldsAreEmptyInEnglish();
};

void CaptionTableTest::everyRowNamesAControlWithACaption()
{
    app::TForm1 form;
    for (const app::CaptionRow &row : app::captionTable()) {
        if (row.target == app::CaptionRow::Target::WindowTitle)
            continue;
        QWidget *widget = form.findChild<QWidget *>(QString::fromLatin1(row.object));
        QVERIFY2(widget, row.object);
        if (row.target == app::CaptionRow::Target::Page) {
            auto *pages = qobject_cast<QTabWidget *>(widget);
            QVERIFY(pages && row.page < pages->count());
        } else {
            QVERIFY2(qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLabel *>(widget)
                         || qobject_cast<QLineEdit *>(widget),
                     row.object);
        }
    }
}

void CaptionTableTest::rowsAreUniqueAndRussianComesFirst()
{
    QSet<QString> seen;
    for (const app::CaptionRow &row : app::captionTable()) {
        const QString key = QString::fromLatin1(row.object) + QString::number(row.page) + QString::number(int(row.target));
        QVERIFY2(!seen.contains(key), row.object);
        seen.insert(key);
        QVERIFY(row.text(app::Language::Russian) == row.russian);
        QVERIFY(row.text(app::Language::English) == row.english);
    }
    QCOMPARE(seen.size(), 26);
}

void CaptionTableTest::fileNameFieldsAreEmptyInEnglish()
{
    for (const app::CaptionRow &row : app::captionTable()) {
        const QString name = QString::fromLatin1(row.object);
        if (name == QLatin1String("Edit5") || name == QLatin1String("Edit3")) {
            QCOMPARE(QString::fromUtf8(row.english), QString());
            QCOMPARE(QString::fromUtf8(row.russian), QStringLiteral("Файл"));
        }
    }
}

QTEST_MAIN(CaptionTableTest)
#include "test_caption_table.moc"
