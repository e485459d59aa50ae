// The result-list item model under Qt's own model checker, through the
// changes the main window model makes to a list: a scan (columns and rows
// anew), a repair (fewer rows), check boxes clicked and toggled.

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "app/ResultListModel.h"

namespace kestrane::test {

class ResultListModelTest : public QObject {
    Q_OBJECT
private slots:
    void staysAValidModelThroughScansAndRepairs() {
        ResultList list("lvsp", {});
        app::ResultListModel model(list, app::ResultListModel::Look::Category);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);

        // A scan: columns and rows arrive together, shown at the next sync.
        list.setColumns({{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250}});
        list.add("Gone", {"Missing Startup Application(Remove)", "C:\\gone.exe"});
        list.add("Old", {"Missing Startup Application(Remove)"});
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.sync();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Detail Info"));
        QCOMPARE(model.data(model.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("C:\\gone.exe"));
        QCOMPARE(model.data(model.index(1, 2), Qt::DisplayRole).toString(), QString());  // a missing sub-item
        QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));

        // A click on a check box changes the row itself.
        QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!list.rows()[1].checked);
        QVERIFY(!model.setData(model.index(1, 1), Qt::Checked, Qt::CheckStateRole));  // only the caption's box

        // The select toggle changes every box: the same shape, new contents.
        for (auto& row : list.rows())
            row.checked = false;
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        model.sync();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

        // A repair leaves fewer rows; until the next sync nothing reads past them.
        list.rows().erase(list.rows().begin());
        QCOMPARE(model.data(model.index(1, 0), Qt::DisplayRole), QVariant());
        model.sync();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Old"));

        // A scan of another shape: the header follows the columns shown.
        list.clear();
        list.setColumns({{"File Names", 180}});
        QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole), QVariant());
        model.sync();
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.rowCount(), 0);
    }

    void theSummaryLook() {
        ResultList lvall("lvall", {{"Scanned Items", 210}, {"Number of Errors", 100}, {"Category", 100}});
        lvall.add("Running While Startup", {"3", "Registry"});
        app::ResultListModel model(lvall, app::ResultListModel::Look::Summary);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.data(model.index(0, 1), Qt::FontRole).value<QFont>().bold());
        QCOMPARE(model.data(model.index(0, 1), Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
        QCOMPARE(model.data(model.index(0, 2), Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 0));
    }
};

}  // namespace kestrane::test

QTEST_MAIN(kestrane::test::ResultListModelTest)
#include "ResultListModelTest.moc"
