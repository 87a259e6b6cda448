#include "ui/main/FolderTree.h"

#include "WindowTestSupport.h"
#include "ui/main/FolderPlaces.h"

#include <QAccessible>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace pagesmith;

namespace {

QStringList childTexts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QTreeWidgetItem* childNamed(const QTreeWidgetItem* node, const QString& text) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == text)
            return node->child(i);
    }
    return nullptr;
}

bool showsExpandButton(const QTreeWidgetItem* node) {
    return node->childCount() > 0 || node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}

// As a user opens or closes a node: a click on its expand button.
void clickExpandButton(FolderTree& tree, QTreeWidgetItem* node) {
    const QRect cell = tree.visualItemRect(node);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      QPoint(cell.left() - tree.indentation() / 2, cell.center().y()));
}

// The events a real double-click brings: a click, then the double-click and
// its release.
void doubleClick(FolderTree& tree, QTreeWidgetItem* node) {
    const QPoint centre = tree.visualItemRect(node).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

class FolderTreeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        // The desktop is a folder of this test, wherever the user's is.
        test::useHomeFolder(m_home.path());
        m_desktop = m_home.filePath(QStringLiteral("Desktop"));
        QDir desktop(m_desktop);
        for (const char* folder : {"b/x", "A10", "a2", ".hidden/inner", "empty"})
            QVERIFY(desktop.mkpath(QString::fromLatin1(folder)));
        QFile file(desktop.filePath(QStringLiteral("notes.tif")));
        QVERIFY(file.open(QIODevice::WriteOnly));
#ifndef _WIN32
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), m_desktop);
#endif
    }

    void startsAtTheDesktopExpandedOneLevelWithNothingSelected() {
#ifdef _WIN32
        // Windows keeps the desktop's place in the registry, where no test
        // moves it: the tree is given the test's desktop.
        FolderTree tree(m_desktop, systemPlaces());
#else
        FolderTree tree;
#endif
        QCOMPARE(tree.topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree.topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Desktop"));
        QCOMPARE(FolderTree::pathOf(root), m_desktop);
        QVERIFY(root->isExpanded());
        QVERIFY(tree.selectedItems().isEmpty());

        // The places first, then the desktop's own folders in natural order,
        // without hidden folders or files.
        const QStringList texts = childTexts(root);
        QVERIFY(texts.size() >= 5);
        QCOMPARE(FolderTree::pathOf(root->child(0)), QDir::homePath());
#ifdef _WIN32
        // "This PC", a place without a folder, holds a place for each drive.
        QTreeWidgetItem* thisPc = root->child(1);
        QCOMPARE(thisPc->text(0), QStringLiteral("This PC"));
        QCOMPARE(FolderTree::pathOf(thisPc), QString());
        QStringList drives;
        for (int i = 0; i < thisPc->childCount(); ++i)
            drives << FolderTree::pathOf(thisPc->child(i));
        QVERIFY2(drives.contains(QDir::rootPath()), qPrintable(drives.join(' ')));
        QVERIFY(childTexts(thisPc).contains(QRegularExpression(QStringLiteral(R"(^.+ \(C:\)$)"))));
#else
        QCOMPARE(FolderTree::pathOf(root->child(1)), QDir::rootPath());
#endif
        QCOMPARE(texts.mid(texts.size() - 4), QStringList({"a2", "A10", "b", "empty"}));
        // Only the first level has been read.
        for (int i = 0; i < root->childCount(); ++i) {
            if (FolderTree::pathOf(root->child(i)).isEmpty())
                continue; // This PC
            QCOMPARE(root->child(i)->childCount(), 0);
            QVERIFY(showsExpandButton(root->child(i)));
        }
        QVERIFY(!tree.accessibleName().isEmpty());
#ifdef _WIN32
        // Selecting This PC chooses no folder; a folder on a drive is found
        // through it.
        QSignalSpy selected(&tree, &FolderTree::folderSelected);
        tree.setCurrentItem(thisPc);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.at(0).at(0).toString(), QString());
        const QString windowsFolder =
            QDir::fromNativeSeparators(qEnvironmentVariable("SystemRoot"));
        QVERIFY(tree.selectFolder(windowsFolder));
        QCOMPARE(selected.size(), 2);
        QVERIFY(tree.currentItem()->parent()->parent() == thisPc);
#endif
    }

    // Folders made or removed under a node that has been read come and go;
    // a folder found empty loses its expand button and gets it back when a
    // sub-folder is made in it.
    void followsFoldersMadeAndRemoved() {
        QTemporaryDir scratch;
        const QString desktop = scratch.path();
        QDir disk(desktop);
        QVERIFY(disk.mkpath("b/x"));
        FolderTree tree(desktop, {});
        tree.show();
        QTreeWidgetItem* root = tree.topLevelItem(0);
        QTreeWidgetItem* b = childNamed(root, "b");
        clickExpandButton(tree, b);
        QCOMPARE(childTexts(b), QStringList({"x"}));
        tree.setCurrentItem(b);
        QSignalSpy selected(&tree, &FolderTree::folderSelected);

        QVERIFY(disk.mkpath("b/a") && disk.mkpath("c") && disk.mkpath("0"));
        QTRY_COMPARE(childTexts(b), QStringList({"a", "x"}));
        QTRY_COMPARE(childTexts(root), QStringList({"0", "b", "c"}));
        QVERIFY(disk.rmdir("b/x") && disk.rmdir("0"));
        QTRY_COMPARE(childTexts(b), QStringList({"a"}));
        QTRY_COMPARE(childTexts(root), QStringList({"b", "c"}));
        // Folders coming and going around the selected one choose no folder.
        QCOMPARE(selected.size(), 0);
        QCOMPARE(tree.currentItem(), b);

        QTreeWidgetItem* a = childNamed(b, "a");
        clickExpandButton(tree, a);
        QVERIFY(!showsExpandButton(a));
        QVERIFY(disk.mkpath("b/a/inner"));
        QTRY_VERIFY(showsExpandButton(a));
        QCOMPARE(childTexts(a), QStringList({"inner"}));

        // A folder removed with the folders read below it: nothing of it stays
        // watched.
        tree.clearSelection();
#ifdef _WIN32
        QSKIP("Windows refuses to remove a folder while the watcher holds it open");
#endif
        QVERIFY(QDir(disk.filePath("b")).removeRecursively());
        QTRY_COMPARE(childTexts(root), QStringList({"c"}));
        QCOMPARE(tree.watchedFolders(), QStringList({desktop}));
    }

    // A folder is reached through the place that holds it most closely,
    // opening the nodes on the way; hidden folders have no node.
    void selectFolderOpensTheNodesDownToIt() {
        FolderTree tree(m_desktop,
                        {{"Home", m_home.path(), QAbstractFileIconProvider::Folder, false, {}}});
        QSignalSpy selected(&tree, &FolderTree::folderSelected);
        QVERIFY(tree.selectFolder(m_desktop + "/b/x/"));
        QTreeWidgetItem* b = childNamed(tree.topLevelItem(0), "b");
        QVERIFY(b->isExpanded());
        QCOMPARE(tree.currentItem(), childNamed(b, "x"));
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.at(0).at(0).toString(), m_desktop + "/b/x");
        // Selected already: reported again, as the window asked for it.
        QVERIFY(tree.selectFolder(m_desktop + "/b/x"));
        QCOMPARE(selected.size(), 2);

        QVERIFY(tree.selectFolder(m_home.path()));
        QCOMPARE(tree.currentItem()->text(0), QStringLiteral("Home"));
        QVERIFY(!tree.selectFolder(m_desktop + "/.hidden/inner"));
        QVERIFY(!tree.selectFolder("/nowhere/at/all"));
        QCOMPARE(selected.size(), 3);
    }

    // A removable or network place that yields nothing shows collapsed, keeps
    // its button and is read again next time; a fixed folder that yields
    // nothing loses its button.
    void notSettledNodesAreReadAgain_data() {
        QTest::addColumn<bool>("removable");
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<bool>("keepsButton");
        QTest::newRow("empty fixed folder") << false << true << false;
        QTest::newRow("unreadable fixed folder") << false << false << false;
        QTest::newRow("empty removable place") << true << true << true;
        QTest::newRow("unreadable removable place") << true << false << true;
    }

    void notSettledNodesAreReadAgain() {
        QFETCH(bool, removable);
        QFETCH(bool, folderExists);
        QFETCH(bool, keepsButton);
        QTemporaryDir scratch;
        const QString place = scratch.filePath(QStringLiteral("place"));
        QVERIFY(QDir().mkpath(place));
        FolderTree tree(
            m_desktop,
            {{QStringLiteral("Place"), place, QAbstractFileIconProvider::Drive, removable, {}}});
        tree.show();
        QTreeWidgetItem* node = childNamed(tree.topLevelItem(0), QStringLiteral("Place"));
        QVERIFY(node);
        if (!folderExists)
            QVERIFY(QDir(place).removeRecursively());

        clickExpandButton(tree, node);
        QCOMPARE(node->childCount(), 0);
        QVERIFY(!node->isExpanded());
        QCOMPARE(showsExpandButton(node), keepsButton);
        if (!keepsButton)
            return;

        QVERIFY(QDir(place).mkpath(QStringLiteral("new")));
        clickExpandButton(tree, node);
        QVERIFY(node->isExpanded());
        QCOMPARE(childTexts(node), QStringList({"new"}));
    }

    void selectingANodeReportsItsFolderAndDoubleClickDoesNotExpand() {
        FolderTree tree(m_desktop, {});
        tree.show();
        QSignalSpy selected(&tree, &FolderTree::folderSelected);
        QTreeWidgetItem* b = childNamed(tree.topLevelItem(0), QStringLiteral("b"));
        doubleClick(tree, b);
        QVERIFY(b->isSelected());
        QVERIFY(!b->isExpanded());
        QCOMPARE(b->childCount(), 0);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.at(0).at(0).toString(), m_desktop + QStringLiteral("/b"));

        QTreeWidgetItem* root = tree.topLevelItem(0);
        doubleClick(tree, root);
        QVERIFY(root->isExpanded());
        QCOMPARE(selected.size(), 2);
        QCOMPARE(selected.at(1).at(0).toString(), m_desktop);
    }

private:
    QTemporaryDir m_home;
    QString m_desktop;
};

QTEST_MAIN(FolderTreeTest)
#include "FolderTreeTest.moc"
