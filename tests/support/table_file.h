#pragma once

#include <QFile>
#include <QTest>

#include <initializer_list>

// A Qt Test row per table line: cells split at '|' and trimmed, one column each (names must be literals:
// Qt keeps the pointers), named after the line number and first cell; blank and '#' lines are skipped.
inline void AddTableRows(const char* path, std::initializer_list<const char*> columns) {
    for (const char* column : columns)
        QTest::addColumn<QString>(column);
    QFile file(QString::fromUtf8(path));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), path);
    for (int number = 1; !file.atEnd(); ++number) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList cells = line.split(u'|');
        QVERIFY2(cells.size() == qsizetype(columns.size()),
                 qPrintable(QStringLiteral("line %1").arg(number)));
        QTestData& row = QTest::addRow("line %d: %s", number, qPrintable(cells[0].trimmed()));
        for (const QString& cell : cells)
            row << cell.trimmed();
    }
}
